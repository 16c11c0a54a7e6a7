// The reports against real windows of another process (the fixture
// application, under Wine or on Windows), each figure against its baseline
// measured in the same run:
//  - Dialog: the controls found by GetDlgItem for every id 0..65535 (the
//    baseline) and by one walk of the dialog's children, for the fixture's
//    two dialogs; the lines must be the same;
//  - Dialog over 2,000 and 20,000 children, against a bare enumeration of
//    the same children (GW_CHILD, then GW_HWNDNEXT) that makes per child
//    the same system calls Dialog's lines need (id, class, style,
//    rectangle, WM_GETTEXT), raw Win32; the two run in turns.  Dialog must
//    take at most 2x that baseline at both sizes, and its time per child
//    must not grow from 2,000 to 20,000 children by more than 1.25x what
//    the baseline's does.  The plain enumeration (no calls per child) and
//    each call alone over the children are shown beside, for information;
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
#include "tool/wintext.h"
#include "txt/ctxtarray_lc.h"
#include "winsys/sim/simdesktop.h"
#include "winsys/winsys.h"
#include "winsys/wsdefs.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
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

// Median seconds of repeats runs of f and of g, run in turns (f, g, f, g
// ...) so that both see the same load on the machine.
template <typename F, typename G> std::pair<double, double> MedianInTurns(int repeats, F f, G g) {
    std::vector<double> fs, gs;
    for (int i = 0; i < repeats; ++i) {
        fs.push_back(Median(1, f));
        gs.push_back(Median(1, g));
    }
    std::sort(fs.begin(), fs.end());
    std::sort(gs.begin(), gs.end());
    return {fs[fs.size() / 2], gs[gs.size() / 2]};
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

// The children of frame in z-order (GW_CHILD, then GW_HWNDNEXT), raw Win32.
std::vector<HWND> Children(HWND frame) {
    std::vector<HWND> children;
    for (HWND c = ::GetWindow(frame, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    return children;
}

// The calls Dialog's lines need of one child, raw Win32 with no tool
// machinery: its id, class, style, rectangle and text (WM_GETTEXT across
// the process, bounded as the tool's sends are).
struct ChildCall {
    const char* name;
    void (*call)(HWND);
};
const ChildCall kChildCalls[] = {
    {"id", [](HWND c) { ::GetWindowLongW(c, GWL_ID); }},
    {"class",
     [](HWND c) {
         wchar_t cls[kShortTextSize];
         ::GetClassNameW(c, cls, kShortTextSize);
     }},
    {"style", [](HWND c) { ::GetWindowLongW(c, GWL_STYLE); }},
    {"rect",
     [](HWND c) {
         RECT r;
         ::GetWindowRect(c, &r);
     }},
    {"text",
     [](HWND c) {
         wchar_t text[kShortTextSize];
         DWORD_PTR answer = 0;
         ::SendMessageTimeoutW(c, WM_GETTEXT, kShortTextSize - 1, reinterpret_cast<LPARAM>(text),
                               SMTO_ABORTIFHUNG, kDefaultSendTimeoutMs, &answer);
     }},
};

// The baseline of Dialog over many children: the bare enumeration of the
// same children making, per child, the same system calls Dialog's output
// needs (kChildCalls); the number of children.
size_t BareSameCalls(HWND frame) {
    size_t n = 0;
    for (HWND c = ::GetWindow(frame, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT), ++n)
        for (const ChildCall& k : kChildCalls) k.call(c);
    return n;
}

// Dialog over frame's children against its baselines: the seconds per
// child of Dialog and of the same-calls baseline, and their ratio.
struct ManyFigures {
    double dialogPerChild;
    double baselinePerChild;
    double ratio; // Dialog against the same calls, bare
};

ManyFigures ManyChildrenFigures(CWinSys& ws, WsHandle frame, int repeats) {
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(frame)));
    size_t enumerated = 0;
    const double plain = Median(repeats, [&] { enumerated = Children(hwnd).size(); });
    size_t lines = 0;
    const auto [bare, dialog] = MedianInTurns(
        repeats, [&] { BareSameCalls(hwnd); },
        [&] { lines = DialogLines(ws, frame, ChildrenById(ws, frame, kLastControlId)).size(); });
    const double n = double(std::max<size_t>(enumerated, 1));
    std::printf("Dialog over %5zu children: %8.3f s   same calls, bare: %8.3f s   "
                "dialog/bare: %5.2f (at most 2)   lines: %zu\n",
                enumerated, dialog, bare, dialog / bare, lines);
    // Where the time per child goes: each call alone over the children.
    const std::vector<HWND> children = Children(hwnd);
    std::printf("   per child: Dialog %6.1f us   same calls %6.1f us   plain enumeration %5.1f us "
                "(dialog/plain %5.1f)",
                dialog / n * 1e6, bare / n * 1e6, plain / n * 1e6, dialog / plain);
    for (const ChildCall& k : kChildCalls) {
        const double t = Median(repeats, [&] {
            for (HWND c : children) k.call(c);
        });
        std::printf("   %s %5.1f us", k.name, t / n * 1e6);
    }
    std::printf("\n");
    return ManyFigures{dialog / n, bare / n, dialog / bare};
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
    const ManyFigures small = ManyChildrenFigures(ws, fixture.Role("many2000"), repeats);
    const ManyFigures large = ManyChildrenFigures(ws, fixture.Role("many20000"), repeats);
    const double dialogGrowth = large.dialogPerChild / small.dialogPerChild;
    const double bareGrowth = large.baselinePerChild / small.baselinePerChild;
    std::printf("Dialog per child, 20,000 against 2,000 children: %.2fx   the same calls, "
                "bare: %.2fx   growth beyond the baseline's: %.2fx (at most 1.25x)\n",
                dialogGrowth, bareGrowth, dialogGrowth / bareGrowth);
    ok = dialogGrowth / bareGrowth <= 1.25 && small.ratio <= 2.0 && large.ratio <= 2.0 && ok;
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
