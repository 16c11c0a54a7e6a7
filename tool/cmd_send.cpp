// Message-sending commands: Btn, Cmd, Post, CmdScan, ScanUp, ScanDn, Clk,
// LMouse, RMouse, Key, Char, SysKey.
#include "textutil/strfld.h"
#include "tool/caption.h"
#include "tool/commands.h"
#include "tool/input.h"
#include "tool/target.h"
#include "tool/walks.h"
#include "winsys/wsdefs.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kLineSize = 1000;       // replies and rewritten argument texts
constexpr int kTextSize = 1000;       // captions
constexpr int kClassSize = 100;       // class names
constexpr int kLastControlId = 65534; // the ids Btn looks at

// The mouse position as lParam: y in the high, x in the low 16 bits.
intptr_t Position(int x, int y) {
    return intptr_t((uint32_t(y & 0xFFFF) << 16) | uint32_t(x & 0xFFFF));
}

// Reads a reply to a prompt into buf, folded to upper case; the end of the
// replies reads as an empty reply.  The prompt is shown first.
void ReadReply(CommandContext& ctx, char (&buf)[kLineSize]) {
    std::fflush(stdout);
    if (freadline(buf, kLineSize, ctx.replies) < 0) buf[0] = '\0';
    UpperInPlace(buf);
}

// Field n of the argument text as a command identifier: hexadecimal after
// "0x" (either case), else decimal.
uint32_t IdField(const char* args, int n) {
    char field[kLineSize];
    strfld(args, ',', n, 0, field, kLineSize);
    if (strcmpci("0x", field, 2) == 0) return hextoint(field + 2);
    return uint32_t(strfldint(args, ',', n));
}

// The range first..last of fields n and n+1: a first of 0 becomes 1, a
// last below first becomes first.
void IdRange(const char* args, int n, uint32_t* first, uint32_t* last) {
    *first = IdField(args, n);
    if (*first == 0) *first = 1;
    *last = IdField(args, n + 1);
    if (*last < *first) *last = *first;
}

uint32_t ThreadOf(CWinSys& ws, WsHandle hwnd) {
    return ws.GetWindowThreadProcessId(hwnd, nullptr);
}

void Mouse(CommandContext& ctx, const CommandCall& call, uint32_t down, uint32_t up,
           uint32_t flag) {
    WsHandle h = hexvalue(call.args);
    if (h == 0) h = ctx.state.hWnd;
    const int x = strfldint(call.args, ',', 2);
    const int y = strfldint(call.args, ',', 3);
    std::printf("window=%08X, X=%d, Y=%d\r\n", unsigned(h), x, y);
    FocusAndCapture(ctx.ws, h);
    PostClick(ctx.ws, h, down, up, flag, Position(x, y));
}

// The paging prompt of ScanUp and ScanDn: acts on the reply and returns
// false for 'Q'.  h and modulo are changed as the reply says; h stays
// within one step of the scan range so that the scan goes on inside it or
// ends.
bool Page(CommandContext& ctx, bool up, int64_t* h, int* modulo) {
    std::printf("Enter=Continue (Q=Quit, Bn=Back N, Mn=Modulo N, Jn=Jump to N) ?: ");
    char reply[kLineSize];
    ReadReply(ctx, reply);
    const int n = std::atoi(reply + (reply[0] ? 1 : 0));
    switch (reply[0]) {
    case 'B':
        *h += up ? -int64_t(n) : int64_t(n);
        break;
    case 'M':
        *h += up ? -int64_t(*modulo) : int64_t(*modulo);
        *modulo = std::max(n, 1);
        break;
    case 'J':
        *h = n;
        break;
    case 'Q':
        return false;
    default:
        break;
    }
    *h = std::clamp<int64_t>(*h, -1, int64_t(kLastHandle) + 1);
    return true;
}

} // namespace

void CmdBtn(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const WsHandle parent = ctx.state.hWnd;
    for (const DlgChild& child : ChildrenById(ws, parent, kLastControlId)) {
        char cls[kClassSize] = "";
        if (ws.GetClassNameA(child.hwnd, cls, kClassSize) < 1) continue;
        if (strcmpci(cls, "Button", 1) != 0) continue;
        char caption[kTextSize] = "";
        ws.GetWindowTextA(child.hwnd, caption, kTextSize);
        char bare[kTextSize];
        std::memcpy(bare, caption, sizeof bare);
        StripAmpersands(bare);
        if (strcmpci(call.args, bare, 2) != 0) continue;
        std::printf("Clicking on Button '%s' (%08X)", caption, unsigned(child.hwnd));
        ws.SetFocus(parent);
        ws.SetFocus(child.hwnd);
        ws.SendMessageA(parent, wm::COMMAND, uintptr_t(child.id & 0xFFFF), intptr_t(child.hwnd));
    }
}

void CmdCmdPost(CommandContext& ctx, const CommandCall& call) {
    const bool post = strcmpci(call.word, "Post", 1) == 0;
    uint32_t first, last;
    IdRange(call.args, 1, &first, &last);
    const int pause = strfldint(call.args, ',', 3);
    CWinSys& ws = ctx.ws;
    ws.SetFocus(ctx.state.hWnd);
    for (uint64_t id = first; id <= last; ++id) {
        std::printf("Sending ID %5d", int(uint32_t(id)));
        if (pause > 0) {
            std::printf("\r\n");
        } else {
            std::printf(" Continue (N=No, Q=Quit) ?: ");
            char reply[kLineSize];
            ReadReply(ctx, reply);
            if (reply[0] == 'N') continue;
            if (reply[0] == 'Q') return;
        }
        const WsHandle target = ctx.state.hDlg ? ctx.state.hDlg : ctx.state.hWnd;
        const uintptr_t wParam = uintptr_t(id & 0xFFFF);
        const intptr_t lParam = intptr_t(ctx.state.hWnd);
        if (post)
            ws.PostMessageA(target, wm::COMMAND, wParam, lParam);
        else
            ws.SendMessageA(target, wm::COMMAND, wParam, lParam);
        if (pause > 0) ws.Sleep(uint32_t(pause));
    }
}

void CmdCmdScan(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const uint32_t command = uint32_t(strfldint(call.args, ',', 1));
    uint32_t thread = uint32_t(strfldint(call.args, ',', 2));
    if (thread == 0) thread = ThreadOf(ws, ctx.state.hWnd);
    uint32_t first, last;
    IdRange(call.args, 3, &first, &last);
    for (uint64_t v = first; v <= last; ++v) {
        const WsHandle h = WsHandle(v);
        if (thread != 0 && ThreadOf(ws, h) != thread) continue;
        std::printf("window=%6d (%08X)\r\n", int(h), unsigned(h));
        ws.PostMessageA(h, wm::COMMAND, command, intptr_t(h));
    }
}

void CmdScanUpDn(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const bool up = strcmpci(call.word, "ScanUp", 1) == 0;
    const uint32_t command = uint32_t(strfldint(call.args, ',', 1));
    const uint32_t thread = ThreadOf(ws, ctx.state.hWnd);
    std::printf("Thread=%08X\r\n", unsigned(thread));
    int modulo = strfldint(call.args, ',', 2);
    if (modulo < 1) modulo = 1000;
    for (int64_t h = up ? 0 : kLastHandle; h >= 0 && h <= kLastHandle; h += up ? 1 : -1) {
        const WsHandle hwnd = WsHandle(h);
        if (thread != 0 && ThreadOf(ws, hwnd) != thread) continue;
        std::printf("window=%6d (%08X)\r\n", int(hwnd), unsigned(hwnd));
        ws.PostMessageA(hwnd, wm::COMMAND, command, intptr_t(hwnd));
        if (!ctx.state.dlgTitle.empty()) {
            if (const WsHandle d = finddlg(ws, ctx.state.dlgTitle.c_str())) {
                std::printf("FOUND window=%6d (%08X)\r\n", int(d), unsigned(d));
                char ignored[kLineSize];
                ReadReply(ctx, ignored);
            }
        }
        if (h > 0 && h % modulo == 0 && !Page(ctx, up, &h, &modulo)) return;
    }
}

void CmdClk(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const WsHandle hwnd = ctx.state.hWnd;
    const int x = strfldint(call.args, ',', 2);
    const int y = strfldint(call.args, ',', 3);
    const char what = char(std::toupper((unsigned char)call.args[0]));
    if (what == 'C') {
        ws.PostMessageA(hwnd, wm::CHAR, 0x43, 0);
        ws.PostMessageA(hwnd, wm::CHAR, 0x44, 0);
        return;
    }
    // Per button: its flag and its down, up and double-click messages.
    struct Button {
        char letter;
        uint32_t flag, down, up, dblclk;
    };
    static const Button kButtons[] = {
        {'L', mk::LBUTTON, wm::LBUTTONDOWN, wm::LBUTTONUP, wm::LBUTTONDBLCLK},
        {'M', mk::MBUTTON, wm::MBUTTONDOWN, wm::MBUTTONUP, wm::MBUTTONDBLCLK},
        {'R', mk::RBUTTON, wm::RBUTTONDOWN, wm::RBUTTONUP, wm::RBUTTONDBLCLK}};
    const Button* button = nullptr;
    for (const Button& b : kButtons)
        if (b.letter == what) button = &b;
    if (!button) return;
    uint32_t msg = 0;
    switch (std::toupper((unsigned char)call.args[1])) {
    case '-':
        msg = button->down;
        break;
    case '+':
        msg = button->up;
        break;
    case 'D':
        msg = button->dblclk;
        break;
    default:
        return;
    }
    if (x != 0 || y != 0) {
        ws.SendMessageA(hwnd, msg, button->flag, Position(x, y));
        return;
    }
    // The grid: 200 by 200 positions 5 apart.
    for (int gx = 0; gx < 1000; gx += 5) {
        std::printf("%d,", gx);
        for (int gy = 0; gy < 1000; gy += 5)
            ws.SendMessageA(hwnd, msg, button->flag, Position(gx, gy));
    }
}

void CmdLMouse(CommandContext& ctx, const CommandCall& call) {
    Mouse(ctx, call, wm::LBUTTONDOWN, wm::LBUTTONUP, mk::LBUTTON);
}

void CmdRMouse(CommandContext& ctx, const CommandCall& call) {
    Mouse(ctx, call, wm::RBUTTONDOWN, wm::RBUTTONUP, mk::RBUTTON);
}

void CmdKey(CommandContext& ctx, const CommandCall& call) {
    // The argument text, rewritten step by step; each step sees the ones
    // before it.
    char text[kLineSize];
    std::snprintf(text, sizeof text, "%s", call.args);
    if (strcmpci(text, "Tab", 1) == 0) text[0] = '\t';
    if (strcmpci(text, "Space", 1) == 0) text[0] = ' ';
    intptr_t lParam = 0;
    if (strcmpci(text, "Alt-", 0) == 0) {
        text[0] = std::strlen(text) < 5 ? '\0' : char(std::toupper((unsigned char)text[4]));
        lParam = 0x20000000; // the context code: ALT held
    }
    if (strcmpci(text, "CR", 0) == 0) text[0] = '\r';
    if (strcmpci(text, "LF", 0) == 0) text[0] = '\n';
    const uintptr_t c = (unsigned char)text[0];

    CWinSys& ws = ctx.ws;
    const WsHandle hwnd = ctx.state.hWnd;
    if (strcmpci(call.word, "Char", 1) == 0) {
        ws.PostMessageA(hwnd, wm::CHAR, c, lParam);
    } else if (strcmpci(call.word, "SysKey", 1) == 0) {
        ws.PostMessageA(hwnd, wm::SYSKEYDOWN, c, lParam);
        ws.PostMessageA(hwnd, wm::SYSKEYUP, c, lParam);
    } else {
        ws.PostMessageA(hwnd, wm::KEYDOWN, c, lParam);
        ws.PostMessageA(hwnd, wm::KEYUP, c, lParam);
    }
}
