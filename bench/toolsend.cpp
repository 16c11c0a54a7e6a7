// The sending commands on the simulated desktop, each against the bare
// sweep of window-system calls it is made of, timed in the same run:
//
//   Btn's walk of a dozen controls       against GetDlgItem of the ids 0..65534
//   ScanUp, ScanDn, CmdScan over 0..65535 against GetWindowThreadProcessId of
//                                          the same handles
//   the Clk grid (40,000 sends)          against 40,000 bare SendMessageA
//   Wnd, WndClass, FindDlg not found, one against GetClassNameA of the
//   WaitFor pass                           handles 0..65535
//   Wnd of a Cyrillic title not found    against Wnd of an ASCII one
#include "bench/simcommand.h"
#include "tool/report.h"
#include "winsys/wsdefs.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A dialog of a dozen controls, and the windows of two threads.
const char* const kScene = R"JSON({
  "processes": [{"pid": 100, "threads": [104, 108]}],
  "windows": [
    {"handle": "0x0300", "class": "#32770", "text": "Bench dialog", "thread": 104, "children": [
      {"handle": "0x0301", "class": "Button", "text": "&OK", "id": 1},
      {"handle": "0x0302", "class": "Button", "text": "Cancel", "id": 2},
      {"handle": "0x0303", "class": "Button", "text": "Apply", "id": 3},
      {"handle": "0x0304", "class": "Edit", "id": 1001},
      {"handle": "0x0305", "class": "Edit", "id": 1002},
      {"handle": "0x0306", "class": "Static", "text": "Name", "id": 1003},
      {"handle": "0x0307", "class": "Static", "text": "Value", "id": 1004},
      {"handle": "0x0308", "class": "ComboBox", "id": 1005},
      {"handle": "0x0309", "class": "ListBox", "id": 1006},
      {"handle": "0x030A", "class": "Button", "text": "&Remember", "id": 1007, "style": "0x50010003"},
      {"handle": "0x030B", "class": "Button", "text": "Help", "id": 9},
      {"handle": "0x030C", "class": "Static", "id": 65535}]},
    {"handle": "0x0401", "class": "Pad", "thread": 104},
    {"handle": "0x0403", "class": "Pad", "text": "\u041e\u0442\u0447\u0451\u0442 \u2014 \u5831\u544a \u2713"},
    {"handle": "0x0404", "class": "Pad", "text": "\u03a3\u03bf\u03c6\u03af\u03b1"},
    {"handle": "0x0402", "class": "Pad", "thread": 108}
  ]})JSON";

std::unique_ptr<CSimDesktop> Scene() {
    return SimScene(kScene);
}

void Run(CommandFn fn, const char* word, const char* args, WsHandle current,
         benchmark::State& state) {
    RunSimCommand(state, kScene, fn, word, args, current);
}

void BM_GetDlgItem_Sweep(benchmark::State& state) {
    auto d = Scene();
    for (auto _ : state) {
        int found = 0;
        for (int id = 0; id <= 65534; ++id) found += d->GetDlgItem(0x0300, id) != 0;
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_GetDlgItem_Sweep);

// A title no button has: the walk and the class and caption tests, no click.
void BM_Btn_ChildWalk(benchmark::State& state) {
    Run(CmdBtn, "Btn", "Nothing like this", 0x0300, state);
}
BENCHMARK(BM_Btn_ChildWalk);

void BM_Thread_Sweep(benchmark::State& state) {
    auto d = Scene();
    for (auto _ : state) {
        int found = 0;
        for (WsHandle h = 0; h <= 0xFFFF; ++h)
            found += d->GetWindowThreadProcessId(h, nullptr) == 104;
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_Thread_Sweep);

void BM_ScanUp(benchmark::State& state) {
    Run(CmdScanUp, "ScanUp", "7,100000", 0x0401, state);
}
BENCHMARK(BM_ScanUp);

void BM_ScanDn(benchmark::State& state) {
    Run(CmdScanDn, "ScanDn", "7,100000", 0x0401, state);
}
BENCHMARK(BM_ScanDn);

void BM_CmdScan(benchmark::State& state) {
    Run(CmdCmdScan, "CmdScan", "7,0,0,0xFFFF", 0x0401, state);
}
BENCHMARK(BM_CmdScan);

// The searches over every handle value, for something that is not there,
// against the bare GetClassNameA sweep of the same desktop.
void BM_Class_Sweep(benchmark::State& state) {
    auto d = Scene();
    for (auto _ : state) benchmark::DoNotOptimize(ClassSweep(*d));
}
BENCHMARK(BM_Class_Sweep);

void BM_Wnd_NotFound(benchmark::State& state) {
    Run(CmdWnd, "Wnd", "No such title 7Q", 0, state);
}
BENCHMARK(BM_Wnd_NotFound);

void BM_WndClass_NotFound(benchmark::State& state) {
    Run(CmdWndClass, "WndClass", "No such title 7Q,Static", 0, state);
}
BENCHMARK(BM_WndClass_NotFound);

void BM_FindDlg_NotFound(benchmark::State& state) {
    Run(CmdFindDlg, "FindDlg", "No such dialog 7Q", 0, state);
}
BENCHMARK(BM_FindDlg_NotFound);

void BM_WaitFor_Pass(benchmark::State& state) {
    auto d = Scene();
    for (auto _ : state) benchmark::DoNotOptimize(WaitPass(*d, "No such title 7Q"));
}
BENCHMARK(BM_WaitFor_Pass);

// The title scan of Wnd for a Cyrillic title no window has (every caption
// folded by the Unicode case table), against BM_Wnd_NotFound's ASCII title.
void BM_Wnd_UnicodeTitle(benchmark::State& state) {
    Run(CmdWnd, "Wnd",
        "\xD0\x9D\xD0\xB5\xD1\x82 \xD1\x82\xD0\xB0\xD0\xBA\xD0\xBE\xD0\xB3\xD0\xBE 7Q", 0, state);
}
BENCHMARK(BM_Wnd_UnicodeTitle);

void BM_Send_40000(benchmark::State& state) {
    auto d = Scene();
    for (auto _ : state)
        for (int i = 0; i < 40000; ++i)
            benchmark::DoNotOptimize(d->SendMessageA(0x0402, wm::LBUTTONDOWN, 1, i));
}
BENCHMARK(BM_Send_40000);

void BM_ClkGrid(benchmark::State& state) {
    Run(CmdClk, "Clk", "L-", 0x0402, state);
}
BENCHMARK(BM_ClkGrid);

} // namespace

BENCHMARK_MAIN();
