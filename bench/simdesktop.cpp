// The simulated desktop under the tool's scans: every handle from 0 to
// 0xFFFF asked for its class and text, as Wnd, WndClass, FindDlg, Menu and
// the probes do; and WaitFor's pass of WM_GETTEXT to every handle.
#include "bench/simcommand.h"
#include "winsys/sim/simdesktop.h"
#include "winsys/wsdefs.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::unique_ptr<CSimDesktop> Demo() {
    std::string error;
    auto d = CSimDesktop::FromFile(OSTRELLE_SOURCE_DIR "/examples/demo-scene.json", &error);
    if (!d) std::abort();
    return d;
}

// The baseline of the scans: the bare sweep of GetClassNameA they are built
// on.
void BareClassSweep(benchmark::State& state) {
    auto d = Demo();
    for (auto _ : state) benchmark::DoNotOptimize(ClassSweep(*d));
    state.SetItemsProcessed(state.iterations() * 0x10000);
}
BENCHMARK(BareClassSweep);

void ClassAndTextScan(benchmark::State& state) {
    auto d = Demo();
    for (auto _ : state) {
        int found = 0;
        for (WsHandle h = 0; h <= 0xFFFF; ++h) {
            char cls[1000], text[1000];
            if (d->GetClassNameA(h, cls, sizeof cls) < 1) continue;
            d->GetWindowTextA(h, text, sizeof text);
            ++found;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * 0x10000);
}
BENCHMARK(ClassAndTextScan);

void GetTextPass(benchmark::State& state) {
    auto d = Demo();
    for (auto _ : state) {
        for (WsHandle h = 0; h < 0xFFFF; ++h) {
            char text[1000] = "";
            d->SendMessageA(h, wm::GETTEXT, sizeof text, reinterpret_cast<intptr_t>(text));
        }
    }
    state.SetItemsProcessed(state.iterations() * 0xFFFF);
}
BENCHMARK(GetTextPass);

void MenuScan(benchmark::State& state) {
    auto d = Demo();
    for (auto _ : state) {
        int menus = 0;
        for (WsHandle h = 0; h <= 0xFFFF; ++h) menus += d->IsMenu(h);
        benchmark::DoNotOptimize(menus);
    }
    state.SetItemsProcessed(state.iterations() * 0x10000);
}
BENCHMARK(MenuScan);

} // namespace

BENCHMARK_MAIN();
