// Every window of a desktop, for the targets that walk one.
#pragma once

#include "winsys/winsys.h"
#include "winsys/wsdefs.h"

#include <cstddef>
#include <vector>

// The top-level windows and, breadth first, their children: at most max.
inline std::vector<WsHandle> AllWindows(CWinSys& ws, size_t max) {
    std::vector<WsHandle> all;
    ws.EnumWindows(
        [](WsHandle hwnd, intptr_t list) {
            reinterpret_cast<std::vector<WsHandle>*>(list)->push_back(hwnd);
            return 1;
        },
        reinterpret_cast<intptr_t>(&all));
    for (size_t i = 0; i < all.size() && all.size() < max; ++i)
        for (WsHandle c = ws.GetWindow(all[i], gw::CHILD); c && all.size() < max;
             c = ws.GetWindow(c, gw::HWNDNEXT))
            all.push_back(c);
    if (all.size() > max) all.resize(max);
    return all;
}
