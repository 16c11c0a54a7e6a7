// The scene loader on any bytes: a desktop or a clear error, never a crash or
// a hang; a desktop that loads answers a walk over its windows and every
// behaviour its scene gives them, within its message budget.
#include "fuzz_support.h"
#include "fuzz_windows.h"
#include "winsys/sim/simdesktop.h"

#include <string>
#include <vector>

namespace {

constexpr size_t kMaxWalk = 2000; // windows visited, whatever the scene

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    std::unique_ptr<CSimDesktop> d = CSimDesktop::FromJson(text, "fuzz", &error);
    if (!d) {
        OSTRELLE_FUZZ_CHECK(!error.empty());
        return 0;
    }
    d->CaptureLog(true);
    char buf[1024];
    for (WsHandle w : AllWindows(*d, kMaxWalk)) {
        OSTRELLE_FUZZ_CHECK(d->IsWindow(w));
        OSTRELLE_FUZZ_CHECK(d->GetWindowTextA(w, buf, sizeof buf) < int(sizeof buf));
        d->GetClassNameA(w, buf, sizeof buf);
        d->GetParent(w);
        const sim::Window* win = d->WindowAt(w);
        OSTRELLE_FUZZ_CHECK(win != nullptr);
        // Copies: the behaviours may change the window while they run.
        const std::vector<sim::Behaviour> behaviours = win->behaviours;
        for (const sim::Behaviour& b : behaviours) {
            const uintptr_t wParam = b.wParam ? uintptr_t(*b.wParam) : b.id ? *b.id : 0;
            d->SendMessageA(w, b.msg, wParam, b.lParam ? intptr_t(*b.lParam) : 0);
            d->PostMessageA(w, b.msg, wParam, b.lParam ? intptr_t(*b.lParam) : 0);
        }
        d->ClearLog();
    }
    return 0;
}
