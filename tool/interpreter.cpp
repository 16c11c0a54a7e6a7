#include "tool/interpreter.h"

#include "diag/logtrace.h"
#include "platform/unitext.h"
#include "textutil/utf8.h"
#include "textutil/strfld.h"
#include "tool/commands.h"
#include "tool/textmatch.h"
#include "winsys/eventlog.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// How a row's words are compared with the command word (ignoring case).
enum class Match {
    kAbbreviation, // the word may be an abbreviation, or begin with the row's word
    kExact,        // the word must be the row's word
    kComment,      // the word begins with ';' or a space
};

// The rows the interpreter handles itself.
Outcome RowHelp(CommandContext& ctx, const CommandCall&) {
    PrintHelp(ctx.out);
    return Done();
}
Outcome RowIgnore(CommandContext&, const CommandCall&) {
    return Done();
}
Outcome RowExit(CommandContext&, const CommandCall&) {
    return Done();
}
Outcome RowUnknown(CommandContext& ctx, const CommandCall& call) {
    ctx.out.Puts("Unknown Command\n");
    return Failed(Fault::kUnknownCommand, std::string("'") + call.word + "'");
}

struct Row {
    const char* words[3]; // null-terminated alternatives, tested in order
    Match match;
    CommandFn fn;
};

// Tested in this order; the first row that matches decides.  Where one
// row's words name variants of a command (Cmd and Post), each word has a
// row of its own, so the handler knows its variant without reading the
// word again.
const Row kTable[] = {
    {{"?"}, Match::kAbbreviation, RowHelp},
    {{"help"}, Match::kAbbreviation, RowHelp},
    {{nullptr}, Match::kComment, RowIgnore},
    {{"Exit", "Quit"}, Match::kAbbreviation, RowExit},
    {{"Desc"}, Match::kAbbreviation, CmdDesc},
    {{"Btn"}, Match::kAbbreviation, CmdBtn},
    {{"Dialog", "Dlg"}, Match::kAbbreviation, CmdDialog},
    {{"WaitFor"}, Match::kAbbreviation, CmdWaitFor},
    {{"ComboBox", "CB"}, Match::kAbbreviation, CmdComboBox},
    {{"ListBox", "LB"}, Match::kAbbreviation, CmdListBox},
    {{"ListCtrl", "LC"}, Match::kAbbreviation, CmdListCtrl},
    {{"Enable"}, Match::kAbbreviation, CmdEnable},
    {{"Disable"}, Match::kAbbreviation, CmdDisable},
    {{"GetFont"}, Match::kExact, CmdGetFont},
    {{"LMouse"}, Match::kExact, CmdLMouse},
    {{"Menu"}, Match::kExact, CmdMenu},
    {{"RMouse"}, Match::kExact, CmdRMouse},
    {{"FindDlg"}, Match::kExact, CmdFindDlg},
    {{"CmdScan"}, Match::kExact, CmdCmdScan},
    {{"ScanUp"}, Match::kExact, CmdScanUp},
    {{"ScanDn"}, Match::kExact, CmdScanDn},
    {{"Cmd"}, Match::kExact, CmdCmd},
    {{"Post"}, Match::kExact, CmdPost},
    {{"Chk"}, Match::kExact, CmdChk},
    {{"Date"}, Match::kExact, CmdDate},
    {{"Clk"}, Match::kExact, CmdClk},
    {{"SetStyle"}, Match::kExact, CmdSetStyle},
    {{"WndClass"}, Match::kExact, CmdWndClass},
    {{"Wnd"}, Match::kExact, CmdWnd},
    {{"Size"}, Match::kExact, CmdSize},
    {{"Title"}, Match::kExact, CmdTitle},
    {{"Test1"}, Match::kExact, CmdTest1},
    {{"Test2"}, Match::kExact, CmdTest2},
    {{"Test3"}, Match::kExact, CmdTest3},
    {{"Pos"}, Match::kExact, CmdPos},
    {{"Move"}, Match::kExact, CmdMove},
    {{"Key"}, Match::kExact, CmdKey},
    {{"Char"}, Match::kExact, CmdChar},
    {{"SysKey"}, Match::kExact, CmdSysKey},
    {{"Type"}, Match::kExact, CmdType},
    {{"Child"}, Match::kExact, CmdChild},
    {{"WaitWnd"}, Match::kExact, CmdWaitWnd},
    {{"WaitGone"}, Match::kExact, CmdWaitGone},
    {{"Sleep"}, Match::kExact, CmdSleep},
    {{"Select"}, Match::kExact, CmdSelect},
    {{"Check"}, Match::kExact, CmdCheck},
    {{"MenuItem"}, Match::kExact, CmdMenuItem},
    {{"Capture"}, Match::kExact, CmdCapture},
};

bool RowMatches(const Row& row, const char* word) {
    if (row.match == Match::kComment) return word[0] == ';' || word[0] == ' ';
    for (const char* w : row.words) {
        if (!w) break;
        if (row.match == Match::kExact ? EqualsCi(word, w) : EitherStartsWithCi(word, w))
            return true;
    }
    return false;
}

CommandFn Lookup(const char* word) {
    for (const Row& row : kTable)
        if (RowMatches(row, word)) return row.fn;
    return RowUnknown;
}

// While it lives, the reporter's console lines go to an output sink.
class ConsoleToSink {
public:
    explicit ConsoleToSink(COutput& out)
        : previous_(LogTraceSetConsole({&ConsoleToSink::Write, &out})) {}
    ~ConsoleToSink() { LogTraceSetConsole(previous_); }
    ConsoleToSink(const ConsoleToSink&) = delete;
    ConsoleToSink& operator=(const ConsoleToSink&) = delete;

private:
    static void Write(void* context, const char* data, size_t size) {
        static_cast<COutput*>(context)->Write(data, size);
    }
    LogTraceConsoleTarget previous_;
};

// While it lives, a report line cut at the reporter's limit is told once per
// run on the context's error sink, and never waits for anyone.
class CutToSink {
public:
    explicit CutToSink(CommandContext& ctx) : previousCtx_(current_) {
        current_ = &ctx;
        LogTraceSetAlert(&CutToSink::Alert);
    }
    ~CutToSink() {
        current_ = previousCtx_;
        LogTraceSetAlert(current_ ? &CutToSink::Alert : nullptr);
    }
    CutToSink(const CutToSink&) = delete;
    CutToSink& operator=(const CutToSink&) = delete;

private:
    static void Alert(const char*, const char*) {
        if (!current_ || current_->lineCutSaid) return;
        current_->lineCutSaid = true;
        current_->err.Printf("tolvane: a report line was cut to %d characters\n", kLogTraceMaxText);
        current_->err.Flush();
    }
    static inline CommandContext* current_ = nullptr;
    CommandContext* previousCtx_;
};

// A command that went through but left a send unanswered did not get what
// it asked for.
Outcome WithUnansweredSends(const CommandContext& ctx, uint64_t before, Outcome outcome) {
    if (!outcome.Done() || ctx.sends.count == before) return outcome;
    char detail[128];
    std::snprintf(detail, sizeof detail, "window %08X did not answer %s", unsigned(ctx.sends.hwnd),
                  evlog::MessageName(ctx.sends.msg).c_str());
    return Failed(Fault::kNoAnswer, detail);
}

void Keep(CommandContext& ctx, int lineNumber, const char* word, const Outcome& outcome) {
    ++ctx.linesRun;
    LineOutcome kept{ctx.inputName, lineNumber, word, outcome};
    if (ctx.onLine) ctx.onLine(kept);
    if (outcome.Done()) return;
    ++ctx.failedLines;
    if (ctx.failures.size() < CommandContext::kMaxFailures) ctx.failures.push_back(std::move(kept));
}

// A line that is not valid UTF-8 was written in the ANSI code page, as
// scripts were before they were UTF-8: it is converted, and cut to the
// line's buffer before a character that would not fit.
void ReadAsUtf8(char* line, size_t size) {
    if (Utf8Valid(line)) return;
    const std::u16string wide = Utf16FromAnsi(line);
    std::string text = Utf8FromUtf16(wide.data(), wide.size());
    Utf8Cut(text, size - 1);
    std::memcpy(line, text.c_str(), text.size() + 1);
}

// RunLine, leaving the command word in word.
Outcome RunSplit(CommandContext& ctx, const char* line, char (&word)[100], bool* exitInput) {
    char args[1000];
    strfld(line, ',', 1, 1, word, sizeof word);
    strfld(line, ',', 2, 99, args, sizeof args);
    const CommandFn fn = Lookup(word);
    if (exitInput) *exitInput = fn == RowExit;
    return RunHandler(ctx, fn, CommandCall{line, word, args});
}

} // namespace

void PrintHelp(COutput& out) {
    out.Puts("Btn,Title                 = Click on Button with Title\n");
    out.Puts("Cmd,Min[,Max[,nmSec]]     = Send WM_COMMAND with ID nMin to Max(0x=hex),mSec "
             "(0=confirm)\n");
    out.Puts("CmdScan,Cmd[,Mod]         = Broadcast Up Cmd to ALL windows, Mod=1000 default\n");
    out.Puts("Post,Min[,Max[,nmSec]]    = Post WM_COMMAND with ID nMin to Max(0x=hex),mSec "
             "(0=confirm)\n");
    out.Puts("Char,C                    = Send WM_CHAR (C=Alt-X, Tab, CT,LF\n");
    out.Puts("Clk,{C|L|M|R}{+|-|D},X,Y  = Click WM_?BUTTON{UP|DOWN|DBLCLK} at X,Y\n");
    out.Puts("ComboBox[,hWnd]           = Show ComboBox Details of current window\n");
    out.Puts("Desc                      = Show Descendants\n");
    out.Puts("Enable|Disable,Hex        = Enable/Disable Window\n");
    out.Puts("FindDlg,Title             = Find Dialog with Title\n");
    out.Puts("Dialog[,hWnd]             = Show Dialog Details for hWnd and set as current "
             "dialog\n");
    out.Puts("ListBox[,hWnd]            = Show ListBox Details of current window\n");
    out.Puts("ListCtrl[,hWnd]           = Show ListBox Details of current window\n");
    out.Puts("RMouse,hWnd,X,Y           = Send Right Mouse Clickm hW=0 = current window\n");
    out.Puts("LMouse,hWnd,X,Y           = Send Left Mouse Clickm hW=0 = current window\n");
    out.Puts("Move,{XOff,YOff}          = Move window\n");
    out.Puts("Pos,{Top|Bottom{{X,Y,CX,CY}} = Make child window Top/Bottom\n");
    out.Puts("ScanUp,Cmd[,Mod]          = Broadcast Up Cmd to ALL windows, Mod=1000 default\n");
    out.Puts("ScanDn,Cmd[,Mod]          = Broadcast Dn Cmd to ALL windows, Mod=1000 default\n");
    out.Puts("Title,TITLE TEXT          = Set Windows Title\n");
    out.Puts("Wnd,{0xXXX|Title[,Class]} = Switch to new window (find by HWND or Title match\n");
    out.Puts("CmdScan,Cmd,Thread,Min,Max= Send Post WM_COMMAND to all windows for specified "
             "Thread\n");
    out.Puts("Menu,SearchPattern        = Search all menus for pattern\n");
    out.Puts("\n");
    out.Puts("Exit                      = Exit\n");
}

Outcome RunLine(CommandContext& ctx, const char* line, bool* exitInput) {
    char word[100];
    return RunSplit(ctx, line, word, exitInput);
}

Outcome RunHandler(CommandContext& ctx, CommandFn fn, const CommandCall& call) {
    const uint64_t unanswered = ctx.sends.count;
    ConsoleToSink console(ctx.out);
    CutToSink cut(ctx);
    return WithUnansweredSends(ctx, unanswered, fn(ctx, call));
}

int RunCommands(CommandContext& ctx, FILE* in) {
    const bool interactive = (in == stdin);
    for (int lineNumber = 1;; ++lineNumber) {
        char line[1000];
        if (interactive) {
            char hex[9];
            std::snprintf(hex, sizeof hex, "%08X", unsigned(ctx.state.hWnd));
            ctx.out.Printf("hWnd=%-4.4s Cmd> ", hex + 4);
            ctx.out.Flush();
        }
        if (freadline(line, sizeof line, in) < 0) return 0;
        ReadAsUtf8(line, sizeof line);
        if (!interactive) ctx.out.Printf(">%s\n", line);
        bool exitInput = false;
        char word[100];
        const Outcome outcome = RunSplit(ctx, line, word, &exitInput);
        ctx.out.Flush();
        if (exitInput) return 0;
        Keep(ctx, lineNumber, word, outcome);
        if (ctx.strict && !outcome.Done()) {
            ctx.stopped = true;
            return 0;
        }
    }
}
