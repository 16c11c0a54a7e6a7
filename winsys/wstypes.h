// The types that cross the window-system layer.
#pragma once

#include <cstdint>

using WsHandle = uint32_t; // window, menu, device context, font; 0 is none
using WsMem = uint64_t;    // process handle, clipboard data, remote address; 0 is none

// A rectangle in screen coordinates (right and bottom exclusive).
struct WsRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct WsSize {
    int32_t cx = 0, cy = 0;
};
