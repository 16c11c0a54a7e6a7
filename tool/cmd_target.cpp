// Window targeting: Wnd, WndClass, FindDlg and the searches behind them.
#include "asciicase.h"
#include "textutil/strfld.h"
#include "tool/commands.h"
#include "tool/input.h"
#include "tool/target.h"
#include "tool/textmatch.h"
#include "tool/walks.h"
#include "tool/wintext.h"
#include "txt/ctxt.h"

#include <cstdio>
#include <cstring>

namespace {

// Does the caption test test (see findwnd) on h.
bool CaptionPasses(CWinSys& ws, WsHandle h, const char* title, int test) {
    char caption[kTextSize];
    std::snprintf(caption, sizeof caption, "%s", CaptionOf(ws, h).c_str());
    StripAmpersands(caption);
    switch (test) {
    case kCaptionHoldsVisible:
        return HoldsCi(caption, title) && ws.IsWindowVisible(h);
    case kCaptionBeginsWith:
        return StartsWithCi(caption, title);
    case kCaptionEquals:
        return EqualsCi(caption, title);
    case kCaptionHolds:
        return HoldsCi(caption, title);
    default:
        return true;
    }
}

} // namespace

void PrintNewWindow(CommandContext& ctx, WsHandle h, const std::string& text) {
    ctx.out.Printf("New Window: 0x%08X (%s)\n", unsigned(h), text.c_str());
}

void MakeCurrent(CommandContext& ctx, WsHandle hwnd, uint32_t waitMs) {
    ctx.state.hWnd = hwnd;
    FocusAndCapture(ctx.ws, hwnd);
    if (waitMs > 0) ctx.ws.Sleep(waitMs);
}

int wndmatch(WsHandle hwnd, intptr_t lParam) {
    TitleSearch& search = *reinterpret_cast<TitleSearch*>(lParam);
    CWinSys& ws = *search.ws;
    if (!HoldsCi(CaptionOf(ws, hwnd).c_str(), search.pattern.c_str())) return 1;
    if (!search.cls.empty() && !EqualsCi(ClassOf(ws, hwnd).c_str(), search.cls.c_str())) return 1;
    if (!ws.IsWindowVisible(hwnd)) return 1;
    search.found = hwnd;
    return 0;
}

WsHandle findwnd(CWinSys& ws, const char* cls, const char* title, int test, int n) {
    int count = 0;
    auto found = ScanWindows(ws, 0, kLastHandle - 1, [&](WsHandle h) {
        char name[kTextSize] = "";
        if (ws.GetClassNameA(h, name, kTextSize) < 1) return false;
        if (!EqualsCi(name, cls)) return false;
        return CaptionPasses(ws, h, title, test) && ++count == n;
    });
    return found.value_or(0);
}

WsHandle finddlg(CWinSys& ws, const char* title) {
    auto found = ScanWindows(ws, 0, kLastHandle, [&](WsHandle h) {
        char cls[kTextSize] = "";
        if (ws.GetClassNameA(h, cls, kTextSize) < 2) return false;
        if (!EqualsCi(cls, "#32770")) return false;
        const std::string caption = CaptionOf(ws, h);
        return !caption.empty() && StartsWithCi(caption.c_str(), title);
    });
    return found.value_or(0);
}

WsHandle FindByTitle(CWinSys& ws, const char* pattern, const char* cls) {
    TitleSearch search{&ws, pattern, cls};
    const intptr_t lParam = reinterpret_cast<intptr_t>(&search);
    // A match stops the enumeration; an enumeration that failed (the
    // platform answers 0 for that too) found nothing and falls back to the
    // scan like one that ran through.
    ws.EnumWindows(wndmatch, lParam);
    if (search.found != 0) return search.found;
    return ScanWindows(ws, 0, kLastHandle, [&](WsHandle v) { return wndmatch(v, lParam) == 0; })
        .value_or(0);
}

Outcome CmdWnd(CommandContext& ctx, const CommandCall& call) {
    CommandState& st = ctx.state;
    Outcome outcome = Done();
    if (StartsWithCi(call.args, "0x")) {
        const WsHandle h = hexvalue(call.args + 2);
        char detail[64];
        std::snprintf(detail, sizeof detail, "0x%08X", unsigned(h));
        if (h != 0) MakeCurrent(ctx, h, kSwitchWaitMs);
        if (h == 0)
            outcome =
                Failed(Fault::kInvalidArgument, std::string("no handle in '") + call.args + "'");
        else if (!ctx.ws.NamesWindow(h))
            outcome = Failed(Fault::kWindowNotFound, detail);
    } else {
        char pattern[kTextSize], cls[kTextSize];
        strfld(call.args, ',', 1, 0, pattern, kTextSize);
        strfld(call.args, ',', 2, 0, cls, kTextSize);
        // The title is shown upper case, as it is searched for.
        AsciiUpperInPlace(pattern);
        const WsHandle h = FindByTitle(ctx.ws, pattern, cls);
        if (h == 0) {
            ctx.out.Printf("Title '%s' not found (Class=%s)\n", pattern, cls);
            return Failed(Fault::kWindowNotFound,
                          std::string("title '") + pattern + "' (class '" + cls + "')");
        }
        MakeCurrent(ctx, h, kSwitchWaitMs);
    }
    PrintNewWindow(ctx, st.hWnd, TextOf(ctx.ws, st.hWnd));
    return outcome;
}

Outcome CmdWndClass(CommandContext& ctx, const CommandCall& call) {
    CTxt title, cls;
    strfldtxt(call.args, ',', 1, 0, &title);
    strfldtxt(call.args, ',', 2, 0, &cls);
    const WsHandle h = findwnd(ctx.ws, cls, title, kCaptionBeginsWith, 1);
    if (h == 0) {
        ctx.out.Printf("Title '%s' and CLass '%s' not found\n", (const char*)title,
                       (const char*)cls);
        return Failed(Fault::kWindowNotFound, std::string("title '") + (const char*)title +
                                                  "' of class '" + (const char*)cls + "'");
    }
    MakeCurrent(ctx, h, kSwitchWaitMs);
    PrintNewWindow(ctx, h, CaptionOf(ctx.ws, h));
    return Done();
}

Outcome CmdFindDlg(CommandContext& ctx, const CommandCall& call) {
    ctx.state.dlgTitle = call.args;
    const WsHandle h = finddlg(ctx.ws, ctx.state.dlgTitle.c_str());
    ctx.out.Printf("window=%6d (%08X)\r\n", int(h), unsigned(h));
    if (h == 0) return Failed(Fault::kWindowNotFound, "dialog '" + ctx.state.dlgTitle + "'");
    return Done();
}

Outcome WindowThere(CommandContext& ctx, WsHandle h) {
    if (ctx.ws.NamesWindow(h)) return Done();
    char detail[32];
    std::snprintf(detail, sizeof detail, "window 0x%08X", unsigned(h));
    return Failed(Fault::kWindowNotFound, detail);
}
