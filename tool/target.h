// Finding windows: the searches the targeting commands use, shared with
// the commands that watch for a dialog.
#pragma once

#include <cstdint>

// Enumeration callback of the title search: 0 when hwnd's text holds the
// title pattern and its class equals the class text of the command state
// (when that is not empty) and it is visible; the handle is then stored as
// the found window.  1 otherwise.  lParam is ignored.
int wndmatch(uint32_t hwnd, intptr_t lParam);

// Handle of the n-th window (0..65534, ascending) whose class equals cls
// ignoring case and whose caption, with every '&' removed, passes mode:
// 0 holds title and is visible, 1 begins with title, 2 equals title, 3
// holds title, other modes accept any caption.  0 when there is none.
uint32_t findwnd(const char* cls, const char* title, int mode, int n);

// The first dialog (class "#32770", 0..65535 ascending) with a caption
// that begins with title ignoring case; 0 when there is none.
uint32_t finddlg(const char* title);

// Makes hwnd the current window: focus, capture, then 1,000 ms for the
// window to come forward.  hwnd is not checked.
void MakeCurrent(uint32_t hwnd);
