// The reports against real windows of another process (the fixture
// application, under Wine or on Windows), each figure against its baseline
// measured in the same run:
//  - Dialog: the controls found by GetDlgItem for every id 0..65535 (the
//    baseline) and by one walk of the dialog's children, for the fixture's
//    two dialogs; the lines must be the same;
//  - Dialog over 2,000 and 20,000 children, against the bare enumeration
//    of the same children (GW_CHILD, then GW_HWNDNEXT); the ratio must not
//    grow with the number of children by more than 2x (the walk is linear);
//  - ListCtrl: reading a list view of 10,000 rows x 3 columns, per cell,
//    one request per round trip and batched, against one plain
//    cross-process message (LVM_GETITEMCOUNT, the baseline); the lines must
//    be the same for every batch.
//
//  - Capture of the window with 20,000 children (with its owner), against
//    the bare GetClassNameA sweep of 0..0xFFFF, and loading the capture
//    back as a simulated desktop.
//
//   bench_wine_reports [REPEATS]     (default 3; the median is shown)
#include "fixtures/fixture_process.h"
#include "tool/capture.h"
#include "tool/report.h"
#include "tool/walks.h"
#include "txt/ctxtarray_lc.h"
#include "winsys/sim/simdesktop.h"
#include "winsys/winsys.h"
#include "winsys/wsdefs.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Median seconds of repeats runs of f.
template <typename F> double Median(int repeats, F f) {
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const auto start = Clock::now();
        f();
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::vector<std::string> Rows(const CTxtArray& rows) {
    std::vector<std::string> out;
    for (int i = 0; i < rows.GetSize(); ++i)
        out.push_back(rows.GetAtTxt(i) ? rows.GetAtTxt(i) : "");
    return out;
}

bool DialogFigures(CWinSys& ws, const char* name, WsHandle dlg, int repeats) {
    std::vector<std::string> slow, fast;
    const double before =
        Median(1, [&] { slow = DialogLines(ws, dlg, DlgItemsEveryId(ws, dlg, kLastControlId)); });
    const double after = Median(
        repeats, [&] { fast = DialogLines(ws, dlg, ChildrenById(ws, dlg, kLastControlId)); });
    std::printf("Dialog %-15s GetDlgItem 0..65535: %8.3f s   child walk: %8.4f s   "
                "after/before: %.5f   same lines: %s (%zu)\n",
                name, before, after, after / before, slow == fast ? "yes" : "NO", fast.size());
    return slow == fast && !fast.empty();
}

// Seconds of Dialog over frame's children, against its bare enumeration;
// returns the ratio.
double ManyChildrenFigures(CWinSys& ws, WsHandle frame, int repeats) {
    int enumerated = 0;
    const double bare = Median(repeats, [&] {
        enumerated = 0;
        for (WsHandle c = ws.GetWindow(frame, gw::CHILD); c != 0; c = ws.GetWindow(c, gw::HWNDNEXT))
            ++enumerated;
    });
    size_t lines = 0;
    const double dialog = Median(repeats, [&] {
        lines = DialogLines(ws, frame, ChildrenById(ws, frame, kLastControlId)).size();
    });
    std::printf("Dialog over %5d children: %8.3f s   bare enumeration: %8.4f s   "
                "dialog/enumeration: %7.1f   lines: %zu\n",
                enumerated, dialog, bare, dialog / bare, lines);
    return dialog / bare;
}

// Seconds of capturing frame (a window of 20,000 children) against the bare
// GetClassNameA sweep of 0..0xFFFF, and of loading the capture back; false
// when the capture or its load fails.
bool CaptureFigures(CWinSys& ws, WsHandle frame, int repeats) {
    char cls[256];
    const double sweep = Median(repeats, [&] {
        for (WsHandle h = 0; h <= 0xFFFF; ++h) ws.GetClassNameA(h, cls, int(sizeof cls));
    });
    std::string scene;
    CaptureCounts counts;
    const double capture = Median(repeats, [&] {
        CCapturingContext ctx(ws);
        scene = CaptureScene(ctx, frame, &counts);
    });
    bool loaded = false;
    const double load = Median(repeats, [&] {
        std::string error;
        loaded = CSimDesktop::FromJson(scene, "capture", &error) != nullptr;
        if (!loaded) std::fprintf(stderr, "the capture does not load: %s\n", error.c_str());
    });
    std::printf("Capture of %zu windows: %8.3f s   GetClassNameA 0..0xFFFF: %8.3f s   "
                "capture/sweep: %6.2f   load: %8.3f s (%zu bytes)\n",
                counts.windows, capture, sweep, capture / sweep, load, scene.size());
    return loaded && counts.windows > 20000;
}

} // namespace

int main(int argc, char* argv[]) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    CFixtureProcess fixture(OSTRELLE_FIXTURE_EXE, "bench_fixture.log", 900, "--big-list");
    if (!fixture.Started() || !fixture.WaitReady(300)) {
        std::fprintf(stderr, "the fixture did not start\n");
        return 2;
    }
    CWinSys& ws = WinSys();
    bool ok = DialogFigures(ws, "Fixture Dialog", fixture.Role("dialog"), repeats);
    ok = DialogFigures(ws, "Report Targets", fixture.Role("reports"), repeats) && ok;
    const double small = ManyChildrenFigures(ws, fixture.Role("many2000"), repeats);
    const double large = ManyChildrenFigures(ws, fixture.Role("many20000"), repeats);
    const double growth = large / small;
    std::printf("Dialog per child, 20,000 against 2,000 children (each against its bare "
                "enumeration): %.2fx (at most 2x)\n",
                growth);
    ok = growth <= 2.0 && ok;
    ok = CaptureFigures(ws, fixture.Role("many20000"), repeats) && ok;

    const WsHandle lv = fixture.Role("big.listview");
    const int rows = int(ws.SendMessageA(lv, lvm::GETITEMCOUNT, 0, 0));
    constexpr int kColumns = 3;
    constexpr int kMessages = 2000;
    // The baseline: one plain cross-process message, measured right
    // before each reading so that both see the same load on the machine.
    auto message = [&] {
        return Median(repeats,
                      [&] {
                          for (int i = 0; i < kMessages; ++i)
                              ws.SendMessageA(lv, lvm::GETITEMCOUNT, 0, 0);
                      }) /
               kMessages;
    };
    std::vector<std::string> first;
    for (int batch : {1, 8, kLcBatch, 256}) {
        const double baseline = message();
        CTxtArray lines;
        const double t = Median(repeats, [&] {
            CTxt error;
            LoadFromLCBatched(WinSys(), lines, lv, error, kColumns, batch);
        });
        const double cell = t / (double(rows) * kColumns);
        const std::vector<std::string> got = Rows(lines);
        if (first.empty()) first = got;
        const bool same = got == first && int(got.size()) == rows;
        ok = ok && same;
        std::printf("ListCtrl %d x %d, %3d cells per round trip%s: %6.3f s   per cell: %6.1f us   "
                    "one message: %5.1f us   cell/message: %4.2f   same lines: %s\n",
                    rows, kColumns, batch, batch == kLcBatch ? " (used)" : "       ", t, cell * 1e6,
                    baseline * 1e6, cell / baseline, same ? "yes" : "NO");
    }
    if (!first.empty())
        std::printf("first row: %s   last row: %s\n", first.front().c_str(), first.back().c_str());
    return ok ? 0 : 1;
}
