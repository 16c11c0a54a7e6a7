// Any script (its first lines) run by the tool's interpreter against the
// demo desktop, with its virtual clock: the run finishes (libFuzzer's
// timeout holds it to seconds), and afterwards nothing the commands took is left open or grown
// past its bound: device contexts, process handles, the clipboard, other
// processes' memory, window texts.
#include "fuzz_support.h"
#include "fuzz_windows.h"
#include "tool/context.h"
#include "tool/desktop.h"
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

// The script up to the end of its kMaxLines-th line (CR and LF both count).
std::string FirstLines(const uint8_t* data, size_t size) {
    int ends = 0;
    size_t n = 0;
    for (; n < size && ends < kMaxLines; ++n)
        if (data[n] == '\n' || data[n] == '\r') ++ends;
    return std::string(reinterpret_cast<const char*>(data), n);
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
    // The demo desktop, no event log file; the files some commands write
    // (ListBox.txt, ListCtrl.txt) go to a folder of our own; a confirmation
    // prompt reads standard input, which holds nothing.
    for (const char* name : {"TOLVANE_DESKTOP", "TOLVANE_EVENT_LOG", "TOLVANE_SIM_LOG"})
        unsetenv(name);
    if (chdir(FuzzTempDir().c_str()) != 0) FuzzFail("chdir", __FILE__, __LINE__);
    if (!std::freopen("/dev/null", "rb", stdin)) FuzzFail("stdin", __FILE__, __LINE__);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = FuzzFile("script.txt", FirstLines(data, size));
    std::string error;
    std::unique_ptr<CDesktop> desktop = CDesktop::Open(&error);
    OSTRELLE_FUZZ_CHECK(desktop != nullptr);
    auto* sim = dynamic_cast<CSimDesktop*>(&desktop->WinSys());
    OSTRELLE_FUZZ_CHECK(sim != nullptr);
    CommandContext ctx(desktop->WinSys());
    FILE* script = std::fopen(path.c_str(), "rb");
    OSTRELLE_FUZZ_CHECK(script != nullptr);
    OSTRELLE_FUZZ_CHECK(RunCommands(ctx, script) == 0);
    std::fclose(script);
    CheckNothingLeft(*sim);
    return 0;
}
