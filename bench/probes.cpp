// The probes that try every handle value, on the simulated desktop with no
// target running, each against the bare sweep of the calls it is made of,
// timed in the same run:
//
//   Test1 (0..65534)  against SendMessageA of the copy command and an
//                     OpenClipboard to each value
//   Menu (0..65535)   against IsMenu of each value (its 2,000 ms wait runs
//                     on the virtual clock)
#include "bench/simcommand.h"
#include "winsys/wsdefs.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A desktop without the trading application and without menus: a few
// windows of another program.
const char* const kScene = R"JSON({"windows": [
  {"handle": "0x0300", "class": "Notepad", "text": "Untitled - Notepad", "children": [
    {"handle": "0x0301", "class": "Edit", "text": "some text"}]},
  {"handle": "0x0400", "class": "#32770", "text": "Find"}]})JSON";

std::unique_ptr<CSimDesktop> Scene() {
    return SimScene(kScene);
}

void Run(CommandFn fn, const char* word, benchmark::State& state) {
    RunSimCommand(state, kScene, fn, word, "");
}

void BM_CopyAndClipboard_Sweep(benchmark::State& state) {
    auto d = Scene();
    for (auto _ : state) {
        int opened = 0;
        for (WsHandle h = 0; h < 0xFFFF; ++h) {
            d->SendMessageA(h, wm::COMMAND, 57634, 0);
            if (d->OpenClipboard(h)) {
                ++opened;
                d->CloseClipboard();
            }
        }
        benchmark::DoNotOptimize(opened);
    }
}
BENCHMARK(BM_CopyAndClipboard_Sweep);

void BM_Test1(benchmark::State& state) {
    Run(CmdTest1, "Test1", state);
}
BENCHMARK(BM_Test1);

void BM_IsMenu_Sweep(benchmark::State& state) {
    auto d = Scene();
    for (auto _ : state) {
        int menus = 0;
        for (WsHandle h = 0; h <= 0xFFFF; ++h) menus += d->IsMenu(h);
        benchmark::DoNotOptimize(menus);
    }
}
BENCHMARK(BM_IsMenu_Sweep);

void BM_Menu(benchmark::State& state) {
    Run(CmdMenu, "Menu", state);
}
BENCHMARK(BM_Menu);

} // namespace

BENCHMARK_MAIN();
