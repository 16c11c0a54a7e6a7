// Window targeting: Wnd, WndClass, FindDlg and the searches behind them.
#include "textutil/strfld.h"
#include "tool/caption.h"
#include "tool/commands.h"
#include "tool/input.h"
#include "tool/target.h"
#include "tool/walks.h"
#include "txt/ctxt.h"
#include "winsys/wsdefs.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kTextSize = 1000; // window texts and class names

// Reads hwnd's caption into buf.
void Caption(CWinSys& ws, WsHandle hwnd, char (&buf)[kTextSize]) {
    buf[0] = '\0';
    ws.GetWindowTextA(hwnd, buf, kTextSize);
}

// Does mode's caption test (see findwnd) on h.
bool CaptionPasses(CWinSys& ws, WsHandle h, const char* title, int mode) {
    char caption[kTextSize];
    Caption(ws, h, caption);
    StripAmpersands(caption);
    switch (mode) {
    case 0:
        return strfindci(caption, title) >= 0 && ws.IsWindowVisible(h);
    case 1:
        return strcmpci(title, caption, 2) == 0;
    case 2:
        return strcmpci(caption, title, 1) == 0;
    case 3:
        return strfindci(caption, title) >= 0;
    default:
        return true;
    }
}

} // namespace

void MakeCurrent(CommandContext& ctx, WsHandle hwnd, uint32_t waitMs) {
    ctx.state.hWnd = hwnd;
    FocusAndCapture(ctx.ws, hwnd);
    if (waitMs > 0) ctx.ws.Sleep(waitMs);
}

int wndmatch(WsHandle hwnd, intptr_t lParam) {
    TitleSearch& search = *reinterpret_cast<TitleSearch*>(lParam);
    CWinSys& ws = *search.ws;
    char text[kTextSize];
    Caption(ws, hwnd, text);
    UpperInPlace(text);
    if (strfindci(text, search.pattern.c_str()) < 0) return 1;
    if (!search.cls.empty()) {
        char cls[kTextSize] = "";
        ws.GetClassNameA(hwnd, cls, kTextSize);
        if (strcmpci(cls, search.cls.c_str(), 1) != 0) return 1;
    }
    if (!ws.IsWindowVisible(hwnd)) return 1;
    search.found = hwnd;
    return 0;
}

WsHandle findwnd(CWinSys& ws, const char* cls, const char* title, int mode, int n) {
    int count = 0;
    auto found = ScanHandles(0, kLastHandle - 1, [&](WsHandle h) {
        char name[kTextSize] = "";
        if (ws.GetClassNameA(h, name, kTextSize) < 1) return false;
        if (strcmpci(name, cls, 1) != 0) return false;
        return CaptionPasses(ws, h, title, mode) && ++count == n;
    });
    return found.value_or(0);
}

WsHandle finddlg(CWinSys& ws, const char* title) {
    auto found = ScanHandles(0, kLastHandle, [&](WsHandle h) {
        char cls[kTextSize] = "";
        if (ws.GetClassNameA(h, cls, kTextSize) < 2) return false;
        if (strcmpci(cls, "#32770", 1) != 0) return false;
        char caption[kTextSize];
        Caption(ws, h, caption);
        return caption[0] != '\0' && strcmpci(title, caption, 2) == 0;
    });
    return found.value_or(0);
}

void CmdWnd(CommandContext& ctx, const CommandCall& call) {
    CommandState& st = ctx.state;
    if (strcmpci("0x", call.args, 2) == 0) {
        const WsHandle h = hexvalue(call.args + 2);
        if (h != 0) MakeCurrent(ctx, h, kSwitchWaitMs);
    } else {
        char pattern[kTextSize], cls[kTextSize];
        strfld(call.args, ',', 1, 0, pattern, kTextSize);
        strfld(call.args, ',', 2, 0, cls, kTextSize);
        UpperInPlace(pattern);
        st.titlePattern = pattern;
        st.classText = cls;
        TitleSearch search{&ctx.ws, pattern, cls};
        const intptr_t lParam = reinterpret_cast<intptr_t>(&search);
        // A match stops the enumeration; an enumeration that failed (the
        // platform answers 0 for that too) found nothing and falls back to
        // the scan like one that ran through.
        ctx.ws.EnumWindows(wndmatch, lParam);
        WsHandle h = search.found;
        if (h == 0)
            h = ScanHandles(0, kLastHandle, [&](WsHandle v) {
                    return wndmatch(v, lParam) == 0;
                }).value_or(0);
        if (h == 0) {
            std::printf("Title '%s' not found (Class=%s)\n", pattern, cls);
            return;
        }
        MakeCurrent(ctx, h, kSwitchWaitMs);
    }
    char text[kTextSize];
    std::memset(text, 0, sizeof text);
    ctx.ws.SendMessageA(st.hWnd, wm::GETTEXT, kTextSize, reinterpret_cast<intptr_t>(text));
    text[kTextSize - 1] = '\0';
    std::printf("New Window: 0x%08X (%s)\n", unsigned(st.hWnd), text);
}

void CmdWndClass(CommandContext& ctx, const CommandCall& call) {
    CTxt title, cls;
    strfldtxt(call.args, ',', 1, 0, &title);
    strfldtxt(call.args, ',', 2, 0, &cls);
    const WsHandle h = findwnd(ctx.ws, cls, title, 1, 1);
    if (h == 0) {
        std::printf("Title '%s' and CLass '%s' not found\n", (const char*)title, (const char*)cls);
        return;
    }
    MakeCurrent(ctx, h, kSwitchWaitMs);
    char text[kTextSize];
    Caption(ctx.ws, h, text);
    std::printf("New Window: 0x%08X (%s)\n", unsigned(h), text);
}

void CmdFindDlg(CommandContext& ctx, const CommandCall& call) {
    ctx.state.dlgTitle = call.args;
    const WsHandle h = finddlg(ctx.ws, ctx.state.dlgTitle.c_str());
    std::printf("window=%6d (%08X)\r\n", int(h), unsigned(h));
}
