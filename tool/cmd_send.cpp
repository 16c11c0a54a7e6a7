// Message-sending commands: Btn, Cmd, Post, CmdScan, ScanUp, ScanDn, Clk,
// LMouse, RMouse, Key, Char, SysKey.
#include "asciicase.h"
#include "platform/unitext.h"
#include "textutil/strfld.h"
#include "textutil/utf8.h"
#include "tool/commands.h"
#include "tool/input.h"
#include "tool/target.h"
#include "tool/textmatch.h"
#include "tool/walks.h"
#include "tool/wintext.h"
#include "winsys/wsdefs.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kLineSize = 1000;      // replies and rewritten argument texts
constexpr int kLastButtonId = 65534; // the ids Btn looks at

// The mouse position as lParam: y in the high, x in the low 16 bits.
intptr_t Position(int x, int y) {
    return intptr_t((uint32_t(y & 0xFFFF) << 16) | uint32_t(x & 0xFFFF));
}

// Reads a reply to a prompt into buf, folded to upper case; the end of the
// replies reads as an empty reply.  The prompt is shown first.
void ReadReply(CommandContext& ctx, char (&buf)[kLineSize]) {
    ctx.out.Flush();
    if (freadline(buf, kLineSize, ctx.replies) < 0) buf[0] = '\0';
    AsciiUpperInPlace(buf);
}

// Field n of the argument text as a command identifier: hexadecimal after
// "0x" (either case), else decimal.
uint32_t IdField(const char* args, int n) {
    char field[kLineSize];
    strfld(args, ',', n, 0, field, kLineSize);
    if (StartsWithCi(field, "0x")) return hextoint(field + 2);
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

Outcome Mouse(CommandContext& ctx, const CommandCall& call, uint32_t down, uint32_t up,
              uint32_t flag) {
    WsHandle h = hexvalue(call.args);
    if (h == 0) h = ctx.state.hWnd;
    const int x = strfldint(call.args, ',', 2);
    const int y = strfldint(call.args, ',', 3);
    ctx.out.Printf("window=%08X, X=%d, Y=%d\r\n", unsigned(h), x, y);
    FocusAndCapture(ctx.ws, h);
    PostClick(ctx.ws, h, down, up, flag, Position(x, y));
    return WindowThere(ctx, h);
}

// The paging prompt of ScanUp and ScanDn: acts on the reply and returns
// false for 'Q'.  h and modulo are changed as the reply says; h stays
// within one step of the scan range so that the scan goes on inside it or
// ends.
bool Page(CommandContext& ctx, bool up, int64_t* h, int* modulo) {
    ctx.out.Puts("Enter=Continue (Q=Quit, Bn=Back N, Mn=Modulo N, Jn=Jump to N) ?: ");
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

// Sends (or posts) the command identifiers of the range in the argument
// text to the current dialog, else the current window.
Outcome SendIds(CommandContext& ctx, const CommandCall& call, bool post) {
    uint32_t first, last;
    IdRange(call.args, 1, &first, &last);
    const int pause = strfldint(call.args, ',', 3);
    CWinSys& ws = ctx.ws;
    ws.SetFocus(ctx.state.hWnd);
    const WsHandle target = ctx.state.hDlg ? ctx.state.hDlg : ctx.state.hWnd;
    for (uint64_t id = first; id <= last; ++id) {
        ctx.out.Printf("Sending ID %5d", int(uint32_t(id)));
        if (pause > 0) {
            ctx.out.Puts("\r\n");
        } else {
            ctx.out.Puts(" Continue (N=No, Q=Quit) ?: ");
            char reply[kLineSize];
            ReadReply(ctx, reply);
            if (reply[0] == 'N') continue;
            if (reply[0] == 'Q') break;
        }
        const uintptr_t wParam = uintptr_t(id & 0xFFFF);
        const intptr_t lParam = intptr_t(ctx.state.hWnd);
        if (post)
            ws.PostMessageA(target, wm::COMMAND, wParam, lParam);
        else
            ws.SendMessageA(target, wm::COMMAND, wParam, lParam);
        if (pause > 0) ws.Sleep(uint32_t(pause));
    }
    return WindowThere(ctx, target);
}

// The values a scan of 0..kLastHandle tries, upwards or downwards: every
// one, or (walking windows) only those that name a window, the values
// between charged to the desktop as calls of GetWindowThreadProcessId.  A
// step from any value, so that the paging prompt may move the scan.
class ValueStepper {
public:
    ValueStepper(CWinSys& ws, bool walkWindows, bool up) : ws_(ws), up_(up) {
        if (walkWindows) values_ = WindowValues(ws, 0, kLastHandle);
    }
    int64_t First() { return After(up_ ? -1 : int64_t(kLastHandle) + 1); }
    // The value tried after h (-1 or kLastHandle + 1 past the end).
    int64_t After(int64_t h) {
        if (!values_) return up_ ? h + 1 : h - 1;
        const auto& v = *values_;
        int64_t next;
        if (up_) {
            auto it = std::upper_bound(v.begin(), v.end(), h,
                                       [](int64_t a, WsHandle b) { return a < int64_t(b); });
            next = it == v.end() ? int64_t(kLastHandle) + 1 : int64_t(*it);
        } else {
            auto it = std::lower_bound(v.begin(), v.end(), h,
                                       [](WsHandle a, int64_t b) { return int64_t(a) < b; });
            next = it == v.begin() ? -1 : int64_t(*(it - 1));
        }
        // None between when the prompt left h past the end already.
        const int64_t distance = up_ ? next - h : h - next;
        const uint64_t between = distance > 0 ? uint64_t(distance - 1) : 0;
        leftOut_ += between;
        if (leftOut_ > kWindowValuesCalls) {
            ws_.ChargeCalls(leftOut_ - kWindowValuesCalls);
            leftOut_ = kWindowValuesCalls;
        }
        return next;
    }

private:
    CWinSys& ws_;
    bool up_;
    std::optional<std::vector<WsHandle>> values_;
    uint64_t leftOut_ = 0; // values skipped, not yet charged
};

// Posts the command to every window of the current window's thread, from
// the lowest handle value up or from the highest down.
Outcome ScanThread(CommandContext& ctx, const CommandCall& call, bool up) {
    CWinSys& ws = ctx.ws;
    const uint32_t command = uint32_t(strfldint(call.args, ',', 1));
    const uint32_t thread = ThreadOf(ws, ctx.state.hWnd);
    ctx.out.Printf("Thread=%08X\r\n", unsigned(thread));
    int modulo = strfldint(call.args, ',', 2);
    if (modulo < 1) modulo = 1000;
    // A thread's windows are among the values that name a window: only
    // those are tried, in the sweep's order (every value for thread 0).
    ValueStepper step(ws, thread != 0, up);
    for (int64_t h = step.First(); h >= 0 && h <= kLastHandle; h = step.After(h)) {
        const WsHandle hwnd = WsHandle(h);
        if (thread != 0 && ThreadOf(ws, hwnd) != thread) continue;
        ctx.out.Printf("window=%6d (%08X)\r\n", int(hwnd), unsigned(hwnd));
        ws.PostMessageA(hwnd, wm::COMMAND, command, intptr_t(hwnd));
        if (!ctx.state.dlgTitle.empty()) {
            if (const WsHandle d = finddlg(ws, ctx.state.dlgTitle.c_str())) {
                ctx.out.Printf("FOUND window=%6d (%08X)\r\n", int(d), unsigned(d));
                char ignored[kLineSize];
                ReadReply(ctx, ignored);
            }
        }
        if (h > 0 && h % modulo == 0 && !Page(ctx, up, &h, &modulo)) break;
    }
    return Done();
}

// The keystroke of Key, Char and SysKey: the argument text's keyword or
// character (a code point), and the lParam it goes with.
struct Keystroke {
    uint32_t code;
    intptr_t lParam;
};

// The first character of text as a code point (0 for an empty text).
uint32_t FirstChar(const char* text) {
    uint32_t cp = 0;
    Utf8Decode(text, std::strlen(text), &cp);
    return cp;
}

Keystroke ReadKeystroke(const char* args) {
    // The argument text, rewritten step by step; each step sees the ones
    // before it.
    char text[kLineSize];
    std::snprintf(text, sizeof text, "%s", args);
    if (EqualsCi(text, "Tab")) text[0] = '\t';
    if (EqualsCi(text, "Space")) text[0] = ' ';
    intptr_t lParam = 0;
    if (EitherStartsWithCi(text, "Alt-")) {
        if (std::strlen(text) < 5) {
            text[0] = '\0';
        } else if ((unsigned char)text[4] < 0x80) {
            text[0] = AsciiUpper(text[4]);
        } else {
            // The whole character, in upper case, in place of "Alt-".
            std::string upper;
            Utf8Append(upper, UnicodeUpper(FirstChar(text + 4)));
            std::snprintf(text, sizeof text, "%s", upper.c_str());
        }
        lParam = 0x20000000; // the context code: ALT held
    }
    if (EitherStartsWithCi(text, "CR")) text[0] = '\r';
    if (EitherStartsWithCi(text, "LF")) text[0] = '\n';
    if ((unsigned char)text[0] < 0x80) return Keystroke{(unsigned char)text[0], lParam};
    return Keystroke{FirstChar(text), lParam};
}

// Posts msg with the keystroke: an ASCII character as the byte it is, any
// other as its UTF-16 code units.
void PostKey(CWinSys& ws, WsHandle hwnd, uint32_t msg, const Keystroke& key) {
    if (key.code < 0x80) {
        ws.PostMessageA(hwnd, msg, key.code, key.lParam);
        return;
    }
    std::string text;
    Utf8Append(text, key.code);
    for (char16_t unit : Utf16FromUtf8(text)) ws.PostMessageW(hwnd, msg, unit, key.lParam);
}

// Posts down and (when up is not 0) up with the argument text's keystroke.
Outcome PostKeystroke(CommandContext& ctx, const CommandCall& call, uint32_t down, uint32_t up) {
    const Keystroke key = ReadKeystroke(call.args);
    const WsHandle hwnd = ctx.state.hWnd;
    PostKey(ctx.ws, hwnd, down, key);
    if (up) PostKey(ctx.ws, hwnd, up, key);
    return WindowThere(ctx, hwnd);
}

} // namespace

Outcome CmdBtn(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const WsHandle parent = ctx.state.hWnd;
    int clicked = 0;
    for (const DlgChild& child : ChildrenById(ws, parent, kLastButtonId)) {
        char cls[kShortTextSize] = "";
        if (ws.GetClassNameA(child.hwnd, cls, kShortTextSize) < 1) continue;
        if (!EqualsCi(cls, "Button")) continue;
        const std::string caption = CaptionOf(ws, child.hwnd);
        char bare[kTextSize];
        std::snprintf(bare, sizeof bare, "%s", caption.c_str());
        StripAmpersands(bare);
        if (!StartsWithCi(bare, call.args)) continue;
        ctx.out.Printf("Clicking on Button '%s' (%08X)", caption.c_str(), unsigned(child.hwnd));
        ws.SetFocus(parent);
        ws.SetFocus(child.hwnd);
        ws.SendMessageA(parent, wm::COMMAND, uintptr_t(child.id & 0xFFFF), intptr_t(child.hwnd));
        ++clicked;
    }
    if (Outcome there = WindowThere(ctx, parent); !there.Done()) return there;
    if (clicked == 0)
        return Failed(Fault::kNoSuchControl, std::string("no button '") + call.args + "'");
    return Done();
}

Outcome CmdCmd(CommandContext& ctx, const CommandCall& call) {
    return SendIds(ctx, call, false);
}

Outcome CmdPost(CommandContext& ctx, const CommandCall& call) {
    return SendIds(ctx, call, true);
}

Outcome CmdCmdScan(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const uint32_t command = uint32_t(strfldint(call.args, ',', 1));
    uint32_t thread = uint32_t(strfldint(call.args, ',', 2));
    if (thread == 0) thread = ThreadOf(ws, ctx.state.hWnd);
    uint32_t first, last;
    IdRange(call.args, 3, &first, &last);
    auto post = [&](WsHandle h) {
        if (thread != 0 && ThreadOf(ws, h) != thread) return false;
        ctx.out.Printf("window=%6d (%08X)\r\n", int(h), unsigned(h));
        ws.PostMessageA(h, wm::COMMAND, command, intptr_t(h));
        return false;
    };
    // A thread's windows within the values a window answers to are found
    // among the windows; any other range is swept.
    if (thread != 0 && last <= kLastHandle)
        ScanWindowsCharged(ws, first, last, 1, post);
    else
        ScanHandles(first, last, post);
    return Done();
}

Outcome CmdScanUp(CommandContext& ctx, const CommandCall& call) {
    return ScanThread(ctx, call, true);
}

Outcome CmdScanDn(CommandContext& ctx, const CommandCall& call) {
    return ScanThread(ctx, call, false);
}

Outcome CmdClk(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const WsHandle hwnd = ctx.state.hWnd;
    const int x = strfldint(call.args, ',', 2);
    const int y = strfldint(call.args, ',', 3);
    const char what = AsciiUpper(call.args[0]);
    if (what == 'C') {
        ws.PostMessageA(hwnd, wm::CHAR, 0x43, 0);
        ws.PostMessageA(hwnd, wm::CHAR, 0x44, 0);
        return WindowThere(ctx, hwnd);
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
    const Outcome invalid = Failed(Fault::kInvalidArgument,
                                   std::string("'") + call.args + "' is not {C|L|M|R}{+|-|D},X,Y");
    if (!button) return invalid;
    uint32_t msg = 0;
    switch (AsciiUpper(call.args[1])) {
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
        return invalid;
    }
    if (x != 0 || y != 0) {
        ws.SendMessageA(hwnd, msg, button->flag, Position(x, y));
        return WindowThere(ctx, hwnd);
    }
    // The grid: 200 by 200 positions 5 apart.
    for (int gx = 0; gx < 1000; gx += 5) {
        ctx.out.Printf("%d,", gx);
        for (int gy = 0; gy < 1000; gy += 5)
            ws.SendMessageA(hwnd, msg, button->flag, Position(gx, gy));
    }
    return WindowThere(ctx, hwnd);
}

Outcome CmdLMouse(CommandContext& ctx, const CommandCall& call) {
    return Mouse(ctx, call, wm::LBUTTONDOWN, wm::LBUTTONUP, mk::LBUTTON);
}

Outcome CmdRMouse(CommandContext& ctx, const CommandCall& call) {
    return Mouse(ctx, call, wm::RBUTTONDOWN, wm::RBUTTONUP, mk::RBUTTON);
}

Outcome CmdKey(CommandContext& ctx, const CommandCall& call) {
    return PostKeystroke(ctx, call, wm::KEYDOWN, wm::KEYUP);
}

Outcome CmdChar(CommandContext& ctx, const CommandCall& call) {
    return PostKeystroke(ctx, call, wm::CHAR, 0);
}

Outcome CmdSysKey(CommandContext& ctx, const CommandCall& call) {
    return PostKeystroke(ctx, call, wm::SYSKEYDOWN, wm::SYSKEYUP);
}
