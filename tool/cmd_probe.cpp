// Menu search, font, clipboard, synthetic input and the trading
// application's strategy probes: Menu, GetFont, Chk, Date, Test1, Test2,
// Test3, with the clipboard reader and the control action routine.
#include "datetime/vktdatetime.h"
#include "diag/logtrace.h"
#include "textutil/strfld.h"
#include "tool/commands.h"
#include "tool/probe.h"
#include "tool/textmatch.h"
#include "tool/walks.h"
#include "tool/wintext.h"
#include "txt/ctxt.h"
#include "winsys/wsdefs.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kMenuTextSize = 80; // menu item texts
constexpr int kMaxMenuItems = 0x10000;
constexpr uint32_t kMenuWaitMs = 2000;
constexpr uint32_t kCopyCommand = 57634;     // the application framework's Edit/Copy
constexpr uint32_t kStrategyCommand = 17981; // selects a strategy window's text
constexpr int kMinStrategyText = 10;         // shorter clipboard texts count as nothing
const char kInputsMarker[] = "Inputs:";
const char kTradeStationClass[] = "ORPLAT.EXE TRADESTATION";
const char kStrategyClass[] = "ORContainerMDIChildFrame:8455";
const char kStrategyTitle[] = ": Strategy";
const char kAfxClassPrefix[] = "Afx:";
const char kUntitledTitle[] = "Untitled Strategy";
const char kMdiClientPrefix[] = "MDIClient";

// ---- Resources held for the length of a scope ------------------------------

// The clipboard, open for as long as the object lives.
class ClipboardOpen {
public:
    ClipboardOpen(CWinSys& ws, WsHandle owner) : ws_(ws), open_(ws.OpenClipboard(owner)) {}
    ~ClipboardOpen() {
        if (open_) ws_.CloseClipboard();
    }
    ClipboardOpen(const ClipboardOpen&) = delete;
    ClipboardOpen& operator=(const ClipboardOpen&) = delete;
    explicit operator bool() const { return open_; }

private:
    CWinSys& ws_;
    bool open_;
};

// A clipboard block, locked for as long as the object lives.
class LockedBlock {
public:
    LockedBlock(CWinSys& ws, WsMem mem)
        : ws_(ws), mem_(mem), data_(static_cast<const char*>(ws.GlobalLock(mem))) {}
    ~LockedBlock() {
        if (data_) ws_.GlobalUnlock(mem_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    const char* data() const { return data_; }

private:
    CWinSys& ws_;
    WsMem mem_;
    const char* data_;
};

// A window's device context, given back when the object goes.
class WindowDC {
public:
    WindowDC(CWinSys& ws, WsHandle hwnd) : ws_(ws), hwnd_(hwnd), dc_(ws.GetDC(hwnd)) {}
    ~WindowDC() {
        if (dc_) ws_.ReleaseDC(hwnd_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WsHandle get() const { return dc_; }

private:
    CWinSys& ws_;
    WsHandle hwnd_;
    WsHandle dc_;
};

// An object selected into a device context; the one it replaced is
// selected back when the object goes.
class Selection {
public:
    Selection(CWinSys& ws, WsHandle dc, WsHandle object)
        : ws_(ws), dc_(dc), old_(ws.SelectObject(dc, object)) {}
    ~Selection() {
        if (old_) ws_.SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    CWinSys& ws_;
    WsHandle dc_;
    WsHandle old_;
};

// ---- Small reads -------------------------------------------------------------

// True when hwnd's class name (at least two characters) begins with, or
// (exact) equals, name, without regard to case.
bool ClassIs(CWinSys& ws, WsHandle hwnd, const char* name, bool exact) {
    const std::string cls = ClassOf(ws, hwnd);
    if (cls.size() < 2) return false;
    return exact ? EqualsCi(cls.c_str(), name) : StartsWithCi(cls.c_str(), name);
}

// True when a clipboard read of n characters into clip is a strategy text.
bool IsStrategyText(int n, CTxt& clip) {
    return n >= kMinStrategyText && HoldsCi(clip, kInputsMarker);
}

// ---- Control actions -------------------------------------------------------------

void Click(CWinSys& ws, WsHandle h, int a, int b) {
    const uint32_t x = uint32_t(a > 0 ? a : 1), y = uint32_t(b > 0 ? b : 1);
    PostClick(ws, h, wm::LBUTTONDOWN, wm::LBUTTONUP, mk::LBUTTON, int32_t((y << 16) | x));
}

// Types one segment of a date: a character at a time, then a step to the
// next field and the pause.
void TypeSegment(CWinSys& ws, WsHandle h, const char* digits, uint32_t pauseMs) {
    for (const char* c = digits; *c; ++c) {
        ws.PostMessageA(h, wm::CHAR, uintptr_t((unsigned char)*c), 0);
        ws.Sleep(kInputWaitMs);
    }
    ws.PostMessageA(h, wm::KEYDOWN, vk::RIGHT, 0);
    ws.Sleep(pauseMs);
}

int DateEntry(CWinSys& ws, WsHandle h, int date, int pause) {
    FocusAndCapture(ws, h);
    Click(ws, h, 0, 0);
    CVKTDateTime dt;
    dt.SetDT((unsigned long)date, 0);
    if (!dt.IsValid()) return -2;
    const uint32_t pauseMs = uint32_t(pause > 0 ? pause : kDatePauseMs);
    char segment[16];
    std::snprintf(segment, sizeof segment, "%02d", int(dt.month));
    TypeSegment(ws, h, segment, pauseMs);
    std::snprintf(segment, sizeof segment, "%02d", int(dt.day));
    TypeSegment(ws, h, segment, pauseMs);
    std::snprintf(segment, sizeof segment, "%04d", dt.GetYear());
    TypeSegment(ws, h, segment, pauseMs);
    return 0;
}

// ---- Menu ----------------------------------------------------------------------

// The id of the item at position i of menu m, and its text (cut to
// kMenuTextSize - 1 characters) in text.
uint32_t MenuItem(CWinSys& ws, WsHandle m, int i, char (&text)[kMenuTextSize]) {
    const uint32_t id = ws.GetMenuItemID(m, i);
    text[0] = '\0';
    ws.GetMenuStringA(m, uint32_t(i), text, kMenuTextSize, mf::BYPOSITION);
    return id;
}

// Reports the items of submenu s, the item at position i of menu h: all of
// them, or with a pattern only those whose text holds it.  Returns how many
// it reported.
int ReportSubmenu(CWinSys& ws, WsHandle h, int i, WsHandle s, const char* pattern) {
    int reported = 0;
    const int n = std::min(ws.GetMenuItemCount(s), kMaxMenuItems);
    for (int j = 0; j < n; ++j) {
        char text[kMenuTextSize];
        const uint32_t id = MenuItem(ws, s, j, text);
        if (pattern[0] == '\0' || HoldsCi(text, pattern)) {
            LOGTRACE("Tolvix", 1, "        [%3d] = %d (%08X, %s, W=%08X)", i, int(id), unsigned(id),
                     text, unsigned(h));
            ++reported;
        }
    }
    return reported;
}

// Reports menu h: its header and items without a pattern, and the items of
// its submenus one level down.  Returns how many submenu items it reported.
int ReportMenu(CWinSys& ws, WsHandle h, const char* pattern) {
    int reported = 0;
    const bool all = pattern[0] == '\0';
    const int count = ws.GetMenuItemCount(h);
    if (all) LOGTRACE("Tolvix", 1, "Menu %04X (%d Items)", unsigned(h), count);
    const int n = std::min(count, kMaxMenuItems);
    for (int i = 0; i < n; ++i) {
        char text[kMenuTextSize];
        const uint32_t id = MenuItem(ws, h, i, text);
        if (all) LOGTRACE("Tolvix", 1, "    [%3d] = %d (%08X, %s)", i, int(id), unsigned(id), text);
        if (const WsHandle s = ws.GetSubMenu(h, i)) reported += ReportSubmenu(ws, h, i, s, pattern);
    }
    return reported;
}

} // namespace

// ---- The clipboard reader and the control action routine ---------------------

int GetClipboardTxt(CWinSys& ws, WsHandle owner, CTxt& text) {
    text.Empty();
    ClipboardOpen open(ws, owner);
    if (!open) return -1;
    const WsMem data = ws.GetClipboardData(cf::TEXT);
    if (!data) return -2;
    LockedBlock locked(ws, data);
    if (!locked.data()) return -3;
    // A text without a terminator ends where its block ends; a longer one
    // than a report line holds is cut there.
    const size_t size = std::min(ws.GlobalSize(data), size_t(kMaxClipboardText));
    text.SetTxt(std::string(locked.data(), strnlen(locked.data(), size)).c_str());
    return text.GetLength();
}

int GetClipboardTxt(WsHandle owner, CTxt& text) {
    return GetClipboardTxt(WinSys(), owner, text);
}

int CtrlAction(CWinSys& ws, WsHandle window, int action, int a, int b) {
    const WsHandle h = window & 0xFFFF;
    if (h == 0) return -1;
    switch (action) {
    case kActionClick:
        Click(ws, h, a, b);
        return 0;
    case kActionFocus:
        FocusAndCapture(ws, h);
        return 0;
    case kActionDateEntry:
        return DateEntry(ws, h, a, b);
    default:
        return -3;
    }
}

int CtrlAction(WsHandle window, int action, int a, int b) {
    return CtrlAction(WinSys(), window, action, a, b);
}

// ---- The commands ----------------------------------------------------------------

Outcome CmdMenu(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    ws.Sleep(kMenuWaitMs);
    int menus = 0, items = 0;
    ScanHandles(0, kLastHandle, [&](WsHandle h) {
        if (ws.IsMenu(h)) {
            ++menus;
            items += ReportMenu(ws, h, call.args);
        }
        return false;
    });
    if (menus == 0) return Failed(Fault::kNothingToRead, "no menu on the desktop answers");
    if (call.args[0] != '\0' && items == 0)
        return Failed(Fault::kNoSuchControl, std::string("no menu item holds '") + call.args + "'");
    return Done();
}

Outcome CmdGetFont(CommandContext& ctx, const CommandCall&) {
    CWinSys& ws = ctx.ws;
    const WsHandle hwnd = ctx.state.hWnd;
    const uint64_t before = ctx.sends.count;
    // 0 is an answer: the window has no font of its own and draws with the
    // system font, which its device context holds already.
    const WsHandle font = WsHandle(ws.SendMessageA(hwnd, wm::GETFONT, 0, 0));
    if (ctx.sends.count != before) {
        ctx.out.Printf("GetFont: window %08X does not answer\r\n", unsigned(hwnd));
        return Failed(Fault::kNoAnswer, "WM_GETFONT not answered");
    }
    WindowDC dc(ws, hwnd);
    if (!dc.get()) {
        ctx.out.Printf("GetFont: no device context for window %08X\r\n", unsigned(hwnd));
        if (Outcome there = WindowThere(ctx, hwnd); !there.Done()) return there;
        return Failed(Fault::kNothingToRead, "no device context");
    }
    Selection selected(ws, dc.get(), font);
    WsSize size;
    if (!ws.GetTextExtentPointA(dc.get(), "ABC", 3, &size)) {
        ctx.out.Printf("GetFont: no text extent in window %08X\r\n", unsigned(hwnd));
        return Failed(Fault::kNothingToRead, "no text extent");
    }
    ctx.out.Printf("CharX=%d, CharY=%d\r\n", int(size.cx), int(size.cy));
    return WindowThere(ctx, hwnd);
}

Outcome CmdChk(CommandContext& ctx, const CommandCall&) {
    if (CtrlAction(ctx.ws, ctx.state.hWnd, kActionClick, 1, 1) == -1)
        ctx.out.Printf("Chk: no window (%08X)\r\n", unsigned(ctx.state.hWnd));
    return WindowThere(ctx, ctx.state.hWnd & 0xFFFF);
}

Outcome CmdDate(CommandContext& ctx, const CommandCall&) {
    const WsHandle h = ctx.state.hWnd;
    if (CtrlAction(ctx.ws, h, kActionFocus, 0, 0) == -1) {
        ctx.out.Printf("Date: no window (%08X)\r\n", unsigned(h));
        return WindowThere(ctx, 0);
    }
    CtrlAction(ctx.ws, h, kActionClick, 0, 0);
    CtrlAction(ctx.ws, h, kActionDateEntry, 20051218, 0);
    return WindowThere(ctx, h & 0xFFFF);
}

Outcome CmdTest1(CommandContext& ctx, const CommandCall&) {
    CWinSys& ws = ctx.ws;
    const intptr_t sender = intptr_t(ctx.state.hWnd);
    CTxt clip;
    int found = 0;
    ScanWindowsFromZero(ws, kLastHandle - 1, [&](WsHandle h) {
        ws.SendMessageA(h, wm::COMMAND, kCopyCommand, sender);
        const int n = GetClipboardTxt(ws, h, clip);
        if (n < kMinStrategyText) return false;
        const std::string title = CaptionOf(ws, h);
        if (IsStrategyText(n, clip)) {
            LOGTRACE("TEST1", 1, "Wnd=%08X, Tit=%s, %s", unsigned(h), title.c_str(),
                     (const char*)clip);
            ctx.out.Printf("\r\nFound test in window %08X\r\n", unsigned(h));
            ++found;
        }
        return false;
    });
    if (found == 0) return Failed(Fault::kNothingToRead, "no window copied a strategy text");
    return Done();
}

Outcome CmdTest2(CommandContext& ctx, const CommandCall&) {
    CWinSys& ws = ctx.ws;
    const auto frame = ScanHandles(
        0, kLastHandle, [&](WsHandle h) { return ClassIs(ws, h, kTradeStationClass, true); });
    if (!frame) {
        ctx.out.Puts("TradeStation not opened\r\n");
        return Failed(Fault::kWindowNotFound,
                      std::string("no window of class ") + kTradeStationClass);
    }
    ctx.out.Printf("TradeStation=%08X\r\n", unsigned(*frame));
    const WsHandle w = ScanHandles(0, kLastHandle, [&](WsHandle h) {
                           if (!ClassIs(ws, h, kStrategyClass, true)) return false;
                           const std::string title = CaptionOf(ws, h);
                           return !title.empty() && HoldsCi(title.c_str(), kStrategyTitle);
                       }).value_or(0);
    ctx.out.Printf("TradeStation Strategy=%08X\r\n", unsigned(w));
    // Without a strategy window there is nothing to copy, and a text already
    // on the clipboard is not this command's to report or to throw away.
    if (w == 0) return Failed(Fault::kWindowNotFound, "no strategy window");
    ws.SendMessageA(w, wm::COMMAND, kCopyCommand, intptr_t(ctx.state.hWnd));
    CTxt clip;
    const int n = GetClipboardTxt(ws, w, clip);
    if (!IsStrategyText(n, clip))
        return Failed(Fault::kNothingToRead, "the strategy window copied no strategy text");
    ctx.out.Printf("\r\nFound test in window %08X\r\n", unsigned(w));
    if (ClipboardOpen open(ws, w); open) ws.EmptyClipboard();
    return Done();
}

Outcome CmdTest3(CommandContext& ctx, const CommandCall&) {
    CWinSys& ws = ctx.ws;
    const WsHandle h = ScanHandles(0, kLastHandle, [&](WsHandle v) {
                           if (!ClassIs(ws, v, kAfxClassPrefix, false)) return false;
                           const std::string title = CaptionOf(ws, v);
                           if (title.empty() || !StartsWithCi(title.c_str(), kUntitledTitle))
                               return false;
                           return ClassIs(ws, ws.GetParent(v) & 0xFFFF, kMdiClientPrefix, false);
                       }).value_or(0);
    LOGTRACE("TEST3", 1, "hAfx=%08X", unsigned(h));
    if (h == 0) return Failed(Fault::kWindowNotFound, "no untitled strategy window");
    const intptr_t sender = intptr_t(ctx.state.hWnd);
    ws.SendMessageA(h, wm::COMMAND, kStrategyCommand, sender);
    ws.SendMessageA(h, wm::COMMAND, kCopyCommand, sender);
    CTxt clip;
    const int n = GetClipboardTxt(ws, h, clip);
    if (!IsStrategyText(n, clip))
        return Failed(Fault::kNothingToRead, "the strategy window copied no strategy text");
    ctx.out.Printf("\r\nFound test in window %08X:\r\n%s\r\n", unsigned(h), (const char*)clip);
    LOGTRACE("TEST3", 1, "Clip: %s", (const char*)clip);
    return Done();
}
