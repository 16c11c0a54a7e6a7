// Window placement and style commands: Pos, Move, Size, Title, SetStyle,
// Enable, Disable.
#include "textutil/strfld.h"
#include "tool/textmatch.h"
#include "tool/commands.h"
#include "winsys/wsdefs.h"

#include <cstdio>

namespace {

// Flags of the moves that keep the size: show, keep the z-order, keep the size.
constexpr unsigned kMoveOnly = swp::SHOWWINDOW | swp::NOZORDER | swp::NOSIZE;

// After Pos and Move: the focus to the window, then to its parent if it has one.
void FocusWindowThenParent(CommandContext& ctx) {
    CWinSys& ws = ctx.ws;
    ws.SetFocus(ctx.state.hWnd);
    if (const WsHandle parent = ws.GetParent(ctx.state.hWnd)) ws.SetFocus(parent);
}

Outcome EnableOrDisable(CommandContext& ctx, const CommandCall& call, bool enable) {
    // The handle as given, 0 included: unlike the reports, no fallback to
    // the current window.
    const WsHandle h = hexvalue(call.args);
    ctx.state.hDlg = h;
    ctx.ws.EnableWindow(h, enable);
    return WindowThere(ctx, h);
}

} // namespace

Outcome CmdPos(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const WsHandle hwnd = ctx.state.hWnd;
    const unsigned kZOrderOnly = swp::NOMOVE | swp::NOSIZE;
    bool keyword = false;
    // Each keyword must be the whole argument text.  Bottom goes to the
    // bottom of the z-order (the help text promises Top/Bottom).
    const struct {
        const char* word;
        WsHandle insertAfter;
    } kKeywords[] = {
        {"Top", insert::TOP}, {"TopMost", insert::TOPMOST}, {"Bottom", insert::BOTTOM}};
    for (const auto& k : kKeywords) {
        if (!EqualsCi(call.args, k.word)) continue;
        ws.SetWindowPos(hwnd, k.insertAfter, 0, 0, 0, 0, kZOrderOnly);
        keyword = true;
    }
    if (!keyword) {
        const int x = strfldint(call.args, ',', 1), y = strfldint(call.args, ',', 2);
        const int cx = strfldint(call.args, ',', 3), cy = strfldint(call.args, ',', 4);
        ws.SetWindowPos(hwnd, 0, x, y, cx, cy, kMoveOnly);
        // The window lays itself out for CX by CY without being resized.
        ws.SendMessageA(hwnd, wm::SIZE, 0,
                        intptr_t((uint32_t(cy) << 16) | (uint32_t(cx) & 0xFFFF)));
    }
    FocusWindowThenParent(ctx);
    return WindowThere(ctx, hwnd);
}

Outcome CmdMove(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const WsHandle hwnd = ctx.state.hWnd;
    WsRect r;
    ws.GetWindowRect(hwnd, &r);
    CWinSys::OffsetRect(&r, strfldint(call.args, ',', 1), strfldint(call.args, ',', 2));
    ws.SetWindowPos(hwnd, 0, r.left, r.top, r.right - r.left, r.bottom - r.top, kMoveOnly);
    FocusWindowThenParent(ctx);
    return WindowThere(ctx, hwnd);
}

Outcome CmdSize(CommandContext& ctx, const CommandCall& call) {
    const int x = strfldint(call.args, ',', 1), y = strfldint(call.args, ',', 2);
    const int cx = strfldint(call.args, ',', 3), cy = strfldint(call.args, ',', 4);
    ctx.ws.SetWindowPos(ctx.state.hWnd, 0, x, y, cx, cy, swp::NOZORDER);
    ctx.out.Printf("Window Size: -> X=%d, Y=%d, CX=%d, CY=%d\n", x, y, cx, cy);
    return WindowThere(ctx, ctx.state.hWnd);
}

Outcome CmdTitle(CommandContext& ctx, const CommandCall& call) {
    ctx.ws.SendMessageA(ctx.state.hWnd, wm::SETTEXT, 0, reinterpret_cast<intptr_t>(call.args));
    return WindowThere(ctx, ctx.state.hWnd);
}

Outcome CmdSetStyle(CommandContext& ctx, const CommandCall& call) {
    ctx.ws.SetWindowLongA(ctx.state.hWnd, gwl::STYLE, int32_t(hexvalue(call.args)));
    return WindowThere(ctx, ctx.state.hWnd);
}

Outcome CmdEnable(CommandContext& ctx, const CommandCall& call) {
    return EnableOrDisable(ctx, call, true);
}

Outcome CmdDisable(CommandContext& ctx, const CommandCall& call) {
    return EnableOrDisable(ctx, call, false);
}
