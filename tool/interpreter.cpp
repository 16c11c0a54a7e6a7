#include "tool/interpreter.h"

#include "textutil/strfld.h"
#include "tool/commands.h"

#include <cstdio>

namespace {

// Markers for the rows the interpreter handles itself.
void RowHelp(CommandContext&, const CommandCall&) {
    PrintHelp();
}
void RowIgnore(CommandContext&, const CommandCall&) {}
void RowExit(CommandContext&, const CommandCall&) {}
void RowUnknown(CommandContext&, const CommandCall&) {
    std::printf("Unknown Command\n");
}

struct Row {
    const char* words[3]; // null-terminated alternatives, tested in order
    int mode;             // strcmpci mode: 0 abbreviation, 1 exact
    CommandFn fn;
};

// Tested in this order; the first row that matches decides.
const Row kTable[] = {
    {{"?"}, 0, RowHelp},
    {{"help"}, 0, RowHelp},
    {{nullptr}, -1, RowIgnore}, // ';' or ' ' first: a comment
    {{"Exit", "Quit"}, 0, RowExit},
    {{"Desc"}, 0, CmdDesc},
    {{"Btn"}, 0, CmdBtn},
    {{"Dialog", "Dlg"}, 0, CmdDialog},
    {{"WaitFor"}, 0, CmdWaitFor},
    {{"ComboBox", "CB"}, 0, CmdComboBox},
    {{"ListBox", "LB"}, 0, CmdListBox},
    {{"ListCtrl", "LC"}, 0, CmdListCtrl},
    {{"Enable"}, 0, CmdEnable},
    {{"Disable"}, 0, CmdDisable},
    {{"GetFont"}, 1, CmdGetFont},
    {{"LMouse"}, 1, CmdLMouse},
    {{"Menu"}, 1, CmdMenu},
    {{"RMouse"}, 1, CmdRMouse},
    {{"FindDlg"}, 1, CmdFindDlg},
    {{"CmdScan"}, 1, CmdCmdScan},
    {{"ScanUp", "ScanDn"}, 1, CmdScanUpDn},
    {{"Cmd", "Post"}, 1, CmdCmdPost},
    {{"Chk"}, 1, CmdChk},
    {{"Date"}, 1, CmdDate},
    {{"Clk"}, 1, CmdClk},
    {{"SetStyle"}, 1, CmdSetStyle},
    {{"WndClass"}, 1, CmdWndClass},
    {{"Wnd"}, 1, CmdWnd},
    {{"Size"}, 1, CmdSize},
    {{"Title"}, 1, CmdTitle},
    {{"Test1"}, 1, CmdTest1},
    {{"Test2"}, 1, CmdTest2},
    {{"Test3"}, 1, CmdTest3},
    {{"Pos"}, 1, CmdPos},
    {{"Move"}, 1, CmdMove},
    {{"Key", "Char", "SysKey"}, 1, CmdKey},
};

bool RowMatches(const Row& row, const char* word) {
    if (!row.words[0]) return word[0] == ';' || word[0] == ' ';
    for (const char* w : row.words) {
        if (!w) break;
        if (strcmpci(word, w, row.mode) == 0) return true;
    }
    return false;
}

CommandFn Lookup(const char* word) {
    for (const Row& row : kTable)
        if (RowMatches(row, word)) return row.fn;
    return RowUnknown;
}

} // namespace

void PrintHelp() {
    std::printf("Btn,Title                 = Click on Button with Title\n");
    std::printf("Cmd,Min[,Max[,nmSec]]     = Send WM_COMMAND with ID nMin to Max(0x=hex),mSec "
                "(0=confirm)\n");
    std::printf("CmdScan,Cmd[,Mod]         = Broadcast Up Cmd to ALL windows, Mod=1000 default\n");
    std::printf("Post,Min[,Max[,nmSec]]    = Post WM_COMMAND with ID nMin to Max(0x=hex),mSec "
                "(0=confirm)\n");
    std::printf("Char,C                    = Send WM_CHAR (C=Alt-X, Tab, CT,LF\n");
    std::printf("Clk,{C|L|M|R}{+|-|D},X,Y  = Click WM_?BUTTON{UP|DOWN|DBLCLK} at X,Y\n");
    std::printf("ComboBox[,hWnd]           = Show ComboBox Details of current window\n");
    std::printf("Desc                      = Show Descendants\n");
    std::printf("Enable|Disable,Hex        = Enable/Disable Window\n");
    std::printf("FindDlg,Title             = Find Dialog with Title\n");
    std::printf("Dialog[,hWnd]             = Show Dialog Details for hWnd and set as current "
                "dialog\n");
    std::printf("ListBox[,hWnd]            = Show ListBox Details of current window\n");
    std::printf("ListCtrl[,hWnd]           = Show ListBox Details of current window\n");
    std::printf("RMouse,hWnd,X,Y           = Send Right Mouse Clickm hW=0 = current window\n");
    std::printf("LMouse,hWnd,X,Y           = Send Left Mouse Clickm hW=0 = current window\n");
    std::printf("Move,{XOff,YOff}          = Move window\n");
    std::printf("Pos,{Top|Bottom{{X,Y,CX,CY}} = Make child window Top/Bottom\n");
    std::printf("ScanUp,Cmd[,Mod]          = Broadcast Up Cmd to ALL windows, Mod=1000 default\n");
    std::printf("ScanDn,Cmd[,Mod]          = Broadcast Dn Cmd to ALL windows, Mod=1000 default\n");
    std::printf("Title,TITLE TEXT          = Set Windows Title\n");
    std::printf("Wnd,{0xXXX|Title[,Class]} = Switch to new window (find by HWND or Title match\n");
    std::printf("CmdScan,Cmd,Thread,Min,Max= Send Post WM_COMMAND to all windows for specified "
                "Thread\n");
    std::printf("Menu,SearchPattern        = Search all menus for pattern\n");
    std::printf("\n");
    std::printf("Exit                      = Exit\n");
}

int RunCommands(CommandContext& ctx, FILE* in) {
    const bool interactive = (in == stdin);
    for (;;) {
        char line[1000];
        char word[100];
        char args[1000];
        if (interactive) {
            char hex[9];
            std::snprintf(hex, sizeof hex, "%08X", unsigned(ctx.state.hWnd));
            std::printf("hWnd=%-4.4s Cmd> ", hex + 4);
            std::fflush(stdout);
        }
        if (freadline(line, sizeof line, in) < 0) return 0;
        if (!interactive) std::printf(">%s\n", line);
        strfld(line, ',', 1, 1, word, sizeof word);
        strfld(line, ',', 2, 99, args, sizeof args);
        CommandFn fn = Lookup(word);
        if (fn == RowExit) return 0;
        fn(ctx, CommandCall{line, word, args});
        std::fflush(stdout);
    }
}
