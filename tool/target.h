// Finding windows: the searches the targeting commands use, shared with
// the commands that watch for a dialog, and making a window current.
#pragma once

#include "tool/context.h"

#include <cstdint>
#include <string>

// What a title search looks for and what it found; wndmatch's lParam.
struct TitleSearch {
    CWinSys* ws;
    std::string pattern; // upper case; empty matches every text
    std::string cls;     // empty: any class
    WsHandle found = 0;
};

// Enumeration callback of the title search; lParam is a TitleSearch*.  0
// when hwnd's text holds the pattern and its class equals the class text
// (when that is not empty) and it is visible; the handle is then stored as
// the found window.  1 otherwise.
int wndmatch(WsHandle hwnd, intptr_t lParam);

// The caption tests of findwnd.
constexpr int kCaptionHoldsVisible = 0; // holds the title, and the window is visible
constexpr int kCaptionBeginsWith = 1;   // begins with the title
constexpr int kCaptionEquals = 2;       // equals the title
constexpr int kCaptionHolds = 3;        // holds the title
// Any other test accepts every caption.

// Handle of the n-th window (0..65534, ascending) whose class equals cls
// ignoring case and whose caption, with every '&' removed, passes the
// caption test (above, all ignoring case).  0 when there is none.
WsHandle findwnd(CWinSys& ws, const char* cls, const char* title, int test, int n);

// The title search of Wnd: the first visible window whose text holds
// pattern (upper case) and whose class equals cls (any class when empty),
// top-level windows by enumeration first, then every handle value.  0 when
// there is none.
WsHandle FindByTitle(CWinSys& ws, const char* pattern, const char* cls);

// The first dialog (class "#32770", 0..65535 ascending) with a caption
// that begins with title ignoring case; 0 when there is none.
WsHandle finddlg(CWinSys& ws, const char* title);

// Makes hwnd the current window: focus, capture, then waitMs for the
// window to come forward (no wait for 0).  hwnd is not checked.
void MakeCurrent(CommandContext& ctx, WsHandle hwnd, uint32_t waitMs);

// The line Wnd prints for the window it switched to: its handle and text.
void PrintNewWindow(CommandContext& ctx, WsHandle h, const std::string& text);

// How long a switch of window waits for it to come forward.
constexpr uint32_t kSwitchWaitMs = 1000;
