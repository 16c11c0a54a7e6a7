// Reading window texts and class names: the one way the commands do it.
#pragma once

#include "winsys/winsys.h"

#include <cstdint>
#include <string>
#include <vector>

// The size of the buffers window texts and class names are read into.
constexpr int kTextSize = 1000;
// The size the reports read class names, control and item texts into.
constexpr int kShortTextSize = 100;

// h's class name (GetClassNameA into size bytes: at most size - 1
// characters); empty for no window.
std::string ClassOf(CWinSys& ws, WsHandle h, int size = kTextSize);

// h's caption (GetWindowTextA into size bytes); empty for no window.
std::string CaptionOf(CWinSys& ws, WsHandle h, int size = kTextSize);

// h's text by WM_GETTEXT into buf, cleared first: buf.size() - 1 bytes asked
// for, the text ended at the last of them.  Returns what the window answered.
intptr_t ReadText(CWinSys& ws, WsHandle h, std::vector<char>& buf);

// h's text by WM_GETTEXT into a cleared buffer of size bytes.
std::string TextOf(CWinSys& ws, WsHandle h, int size = kTextSize);
