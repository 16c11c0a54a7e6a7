// What the tests against real windows share: the platform's layer and a
// window's handle as the layer names it.
#pragma once

#include "winsys/winsys.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

inline CWinSys& Ws() {
    CWinSys* ws = PlatformWinSys();
    EXPECT_NE(ws, nullptr);
    return *ws;
}

inline WsHandle H(HWND h) {
    return WsHandle(reinterpret_cast<uintptr_t>(h));
}
