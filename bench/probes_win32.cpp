// The probes that try every handle value, on the real desktop (under Wine)
// with no target running, each against the bare sweep of the calls it is
// made of, timed in the same run.  There is no benchmark library for the
// cross build: this program times each workload a few times and prints the
// best time of each and its ratio to the baseline.
//
//   bench_probes_win32.exe [ROUNDS]     (default 5)
//
// Test1 runs through the logging layer (no log written), as the tool runs
// it; the baselines call the platform's layer directly.  Menu's fixed wait
// of 2,000 ms is shown apart.
#include "tool/commands.h"
#include "winsys/eventlog.h"
#include "winsys/logwinsys.h"
#include "winsys/winsys.h"
#include "winsys/wsdefs.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

double NowMs() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(f.QuadPart);
}

// The best of rounds runs of work, in milliseconds.
double Best(int rounds, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < rounds; ++i) {
        const double start = NowMs();
        work();
        best = std::min(best, NowMs() - start);
    }
    return best;
}

void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::min(100, std::atoi(argv[1]))) : 5;
    CWinSys& platform = *PlatformWinSys();
    CEventLog log; // writes nowhere
    CLoggingWinSys ws(platform, log);
    CommandContext ctx(ws);
    // A strategy text left on the clipboard would make Test1 report windows.
    EmptyTheClipboard();

    const double sweep = Best(rounds, [&] {
        for (WsHandle h = 0; h < 0xFFFF; ++h) {
            platform.SendMessageA(h, wm::COMMAND, 57634, 0);
            if (platform.OpenClipboard(h)) {
                platform.GetClipboardData(cf::TEXT);
                platform.CloseClipboard();
            }
        }
    });
    const double test1 = Best(rounds, [&] { CmdTest1(ctx, CommandCall{"Test1", "Test1", ""}); });
    const double isMenu = Best(rounds, [&] {
        int menus = 0;
        for (WsHandle h = 0; h <= 0xFFFF; ++h) menus += platform.IsMenu(h);
        if (menus < 0) std::printf("?");
    });
    const double menu = Best(rounds, [&] { CmdMenu(ctx, CommandCall{"Menu", "Menu", ""}); });
    const double wait = 2000.0;

    std::printf("rounds: %d (best of each)\n", rounds);
    std::printf("copy-and-clipboard sweep (0..65534): %9.1f ms\n", sweep);
    std::printf("Test1:                               %9.1f ms  ratio %.2f\n", test1,
                test1 / sweep);
    std::printf("IsMenu sweep (0..65535):             %9.1f ms\n", isMenu);
    std::printf("Menu:                                %9.1f ms  (%.1f ms without its %.0f ms "
                "wait) ratio %.2f\n",
                menu, menu - wait, wait, (menu - wait) / isMenu);
    return 0;
}
