// Synthetic input the commands share: a window given the keyboard and the
// mouse, and a mouse click posted to it.
#pragma once

#include "winsys/winsys.h"

#include <cstdint>

// The wait after each synthetic input message.
constexpr uint32_t kInputWaitMs = 10;

// SetFocus, then SetCapture, on h.
inline void FocusAndCapture(CWinSys& ws, WsHandle h) {
    ws.SetFocus(h);
    ws.SetCapture(h);
}

// A click of one mouse button: down posted with flag (its MK_* bit) and
// point as lParam, kInputWaitMs, up posted the same way, kInputWaitMs.
inline void PostClick(CWinSys& ws, WsHandle h, uint32_t down, uint32_t up, uint32_t flag,
                      intptr_t point) {
    ws.PostMessageA(h, down, flag, point);
    ws.Sleep(kInputWaitMs);
    ws.PostMessageA(h, up, flag, point);
    ws.Sleep(kInputWaitMs);
}
