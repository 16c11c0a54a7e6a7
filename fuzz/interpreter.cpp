// Any script (its first lines) run by the tool's interpreter against the
// demo desktop, with its virtual clock: the run finishes (libFuzzer's
// timeout holds it to seconds), and afterwards nothing the commands took is left open or grown
// past its bound: device contexts, process handles, the clipboard, other
// processes' memory, window texts.
#include "fuzz_support.h"
#include "fuzz_windows.h"
#include "tool/context.h"
#include "tool/desktop.h"
#include "textutil/strfld.h"
#include "tool/interpreter.h"
#include "winsys/sim/simdesktop.h"

#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kTextBound = 1000; // a window text set from a line of at most 999 characters
// Lines of a script that are run.  Each command's cost is its own (a title
// search tries all 65536 handle values, some 30 ms under the sanitizers), so
// a longer script only repeats costs and would pass the timeout by length
// alone; a hang shows within a few lines.
constexpr int kMaxLines = 40;

// The command word of a line (field 1), as the interpreter takes it.
std::string Word(const std::string& line) {
    char word[100];
    strfld(line.c_str(), ',', 1, 1, word, sizeof word);
    return word;
}

// Most identifiers or handles a ranged command (Cmd, Post, CmdScan) may
// cover here: every 16-bit command id, every handle the scans try.
constexpr uint64_t kMaxRange = 0x10000;
// The longest wait of WaitWnd and WaitGone the target runs, in seconds.
constexpr int kMaxWaitSeconds = 60;

// Field n of args as the ranged commands read it: hexadecimal after "0x",
// else decimal.
uint32_t RangeField(const char* args, int n) {
    char field[1000];
    strfld(args, ',', n, 0, field, sizeof field);
    if (strcmpci("0x", field, 2) == 0) return hextoint(field + 2);
    return uint32_t(strfldint(args, ',', n));
}

// How many values the range of fields n and n+1 covers (a first of 0 is 1,
// a last below first is first).
uint64_t RangeCount(const char* args, int n) {
    uint32_t first = RangeField(args, n);
    if (first == 0) first = 1;
    const uint32_t last = RangeField(args, n + 1);
    return last < first ? 1 : uint64_t(last) - first + 1;
}

// True for a line the target leaves out: work that is long by request, not
// by fault, and would pass any timeout (reported, to be bounded in the
// commands):
//  - Cmd, Post and CmdScan over more than kMaxRange values: a script may ask
//    for all 2^32 of them, hours of sends;
//  - ScanUp and ScanDn once a FindDlg has named a dialog: they then search
//    all 65536 handles for it at each of the 65536 handles they scan;
//  - WaitWnd and WaitGone for more than kMaxWaitSeconds: a day of looks,
//    ten a second, is millions of enumerations even on the virtual clock.
bool LongByRequest(const std::string& line, bool dialogNamed) {
    char args[1000];
    strfld(line.c_str(), ',', 2, 99, args, sizeof args);
    const std::string word = Word(line);
    const char* w = word.c_str();
    if (strcmpci(w, "Cmd", 1) == 0 || strcmpci(w, "Post", 1) == 0)
        return RangeCount(args, 1) > kMaxRange;
    if (strcmpci(w, "CmdScan", 1) == 0) return RangeCount(args, 3) > kMaxRange;
    if (strcmpci(w, "ScanUp", 1) == 0 || strcmpci(w, "ScanDn", 1) == 0) return dialogNamed;
    if (strcmpci(w, "WaitWnd", 1) == 0) return strfldint(args, ',', 2) > kMaxWaitSeconds;
    if (strcmpci(w, "WaitGone", 1) == 0) return strfldint(args, ',', 1) > kMaxWaitSeconds;
    return false;
}

// The script the target runs: the first kMaxLines lines as the interpreter
// reads them (LF ends a line; CR ends it and drops the byte after it), each
// ended by LF, without the lines LongByRequest leaves out.
std::string RunnableScript(const uint8_t* data, size_t size) {
    std::vector<std::string> lines;
    std::string current;
    bool open = false; // current holds a line that no line end has closed yet
    for (size_t i = 0; i < size && lines.size() < size_t(kMaxLines); ++i) {
        const char c = char(data[i]);
        if (c != '\n' && c != '\r') {
            current += c;
            open = true;
            continue;
        }
        if (c == '\r') ++i;
        lines.push_back(current);
        current.clear();
        open = false;
    }
    const bool lastOpen = open && lines.size() < size_t(kMaxLines);
    if (lastOpen) lines.push_back(current);
    std::string script;
    bool dialogNamed = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (LongByRequest(lines[i], dialogNamed)) continue;
        if (strcmpci(Word(lines[i]).c_str(), "FindDlg", 1) == 0) dialogNamed = true;
        script += lines[i];
        if (!(lastOpen && i + 1 == lines.size())) script += '\n';
    }
    return script;
}

void CheckNothingLeft(CSimDesktop& d) {
    OSTRELLE_FUZZ_CHECK(d.OpenDCs() == 0);
    OSTRELLE_FUZZ_CHECK(d.OpenProcessHandles() == 0);
    OSTRELLE_FUZZ_CHECK(!d.ClipboardIsOpen());
    std::set<uint32_t> pids;
    for (WsHandle w : AllWindows(d, 100000)) {
        const sim::Window* win = d.WindowAt(w);
        OSTRELLE_FUZZ_CHECK(win != nullptr && win->text.size() <= size_t(kTextBound));
        pids.insert(win->pid);
    }
    for (uint32_t pid : pids)
        if (const sim::Process* p = d.FindProcess(pid)) OSTRELLE_FUZZ_CHECK(p->memory.empty());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The demo desktop, no event log file; a prompt reads standard input,
    // which holds nothing.  The files some commands write (ListBox.txt,
    // ListCtrl.txt) go to the working folder (scripts/fuzz runs each target
    // in a folder of its own).
    for (const char* name : {"TOLVANE_DESKTOP", "TOLVANE_EVENT_LOG", "TOLVANE_SIM_LOG"})
        unsetenv(name);
    if (!std::freopen("/dev/null", "rb", stdin)) FuzzFail("stdin", __FILE__, __LINE__);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = FuzzFile("script.txt", RunnableScript(data, size));
    std::string error;
    std::unique_ptr<CDesktop> desktop = CDesktop::Open(&error);
    OSTRELLE_FUZZ_CHECK(desktop != nullptr);
    auto* sim = dynamic_cast<CSimDesktop*>(&desktop->WinSys());
    OSTRELLE_FUZZ_CHECK(sim != nullptr);
    CCapturingContext ctx(desktop->WinSys());
    FILE* script = std::fopen(path.c_str(), "rb");
    OSTRELLE_FUZZ_CHECK(script != nullptr);
    OSTRELLE_FUZZ_CHECK(RunCommands(ctx, script) == 0);
    std::fclose(script);
    CheckNothingLeft(*sim);
    return 0;
}
