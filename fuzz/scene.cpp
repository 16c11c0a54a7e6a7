// The scene loader on any bytes: a desktop or a clear error, never a crash or
// a hang; a desktop that loads answers a walk over its windows and every
// behaviour its scene gives them, within its message budget.
#include "fuzz_support.h"
#include "winsys/sim/simdesktop.h"
#include "winsys/wsdefs.h"

#include <string>
#include <vector>

namespace {

constexpr size_t kMaxWalk = 2000; // windows visited, whatever the scene

int Collect(WsHandle hwnd, intptr_t list) {
    reinterpret_cast<std::vector<WsHandle>*>(list)->push_back(hwnd);
    return 1;
}

// Every window: the top-level ones and, breadth first, their children.
std::vector<WsHandle> Windows(CSimDesktop& d) {
    std::vector<WsHandle> all;
    d.EnumWindows(&Collect, reinterpret_cast<intptr_t>(&all));
    for (size_t i = 0; i < all.size() && all.size() < kMaxWalk; ++i) {
        size_t guard = 0;
        for (WsHandle c = d.GetWindow(all[i], gw::CHILD); c && guard < kMaxWalk;
             c = d.GetWindow(c, gw::HWNDNEXT), ++guard)
            all.push_back(c);
    }
    return all;
}

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
    for (WsHandle w : Windows(*d)) {
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
