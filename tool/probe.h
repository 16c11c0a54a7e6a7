// The clipboard reader and the control action routine that the menu, font,
// synthetic-input and trading-application probes are built on.
#pragma once

#include "diag/logtrace.h"
#include "tool/input.h"
#include "winsys/winsys.h"

class CTxt;

// The longest clipboard text read: what one report line holds.
constexpr int kMaxClipboardText = kLogTraceMaxText;

// Reads the clipboard's text (CF_TEXT), opening the clipboard with owner as
// its owner.  text is emptied first and then holds the clipboard's text: up
// to its terminating zero, and never beyond the block that holds it (a text
// without a terminator inside its block is read up to the block's end), nor
// beyond kMaxClipboardText characters.  A clipboard owner that was to
// render the text on demand and does not within the layer's send bound
// leaves no text (-2), and the layer tells of it as of an unanswered send.
// Returns the text's length, or -1 when the clipboard does not open, -2 when
// it holds no text, -3 when the text does not lock.  The clipboard is closed
// again and the text unlocked on every path.  This form uses the process-wide
// window system (WinSys()); the other, the one given.
int GetClipboardTxt(WsHandle owner, CTxt& text);
int GetClipboardTxt(CWinSys& ws, WsHandle owner, CTxt& text);

// The actions of CtrlAction.
constexpr int kActionClick = 1;     // a left click at a,b (1 for a value of 0 or less)
constexpr int kActionFocus = 4;     // SetFocus, then SetCapture
constexpr int kActionDateEntry = 5; // a = packed date YYYYMMDD, b = pause in ms
// The pause after each date segment when none is given.
constexpr int kDatePauseMs = 1000;

// Drives a control the way a user would, on window's low 16 bits:
// - kActionClick: posts WM_LBUTTONDOWN, waits 10 ms, posts WM_LBUTTONUP
//   (both with MK_LBUTTON and the point), waits 10 ms;
// - kActionFocus: SetFocus, then SetCapture;
// - kActionDateEntry: kActionFocus, a click at 1,1, then the date a typed
//   as month ("%02d"), day ("%02d") and year ("%04d"): one posted WM_CHAR
//   per digit, 10 ms after each, and after each segment a posted
//   WM_KEYDOWN VK_RIGHT and a pause of b ms (kDatePauseMs when b <= 0).
// Returns 0; -1 (nothing done) when window's low 16 bits are 0; -2 for a
// date entry whose date is not valid (after the focus and the click); -3
// (nothing done) for any other action.  This form uses the process-wide
// window system (WinSys()); the other, the one given.
int CtrlAction(WsHandle window, int action, int a, int b);
int CtrlAction(CWinSys& ws, WsHandle window, int action, int a, int b);
