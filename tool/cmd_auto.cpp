// Automation commands: Type, Child, WaitWnd, WaitGone, Sleep, Select,
// Check, MenuItem.
#include "asciicase.h"
#include "textutil/strfld.h"
#include "textutil/utf8.h"
#include "tool/commands.h"
#include "tool/keys.h"
#include "tool/report.h"
#include "tool/target.h"
#include "tool/textmatch.h"
#include "tool/walks.h"
#include "tool/wintext.h"
#include "winsys/wsdefs.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kDefaultWaitSeconds = 30;
constexpr uint32_t kMaxWaitSeconds = 86400;
constexpr uint32_t kMaxSleepMs = 86400000;
constexpr uint32_t kLookEveryMs = 100; // between two looks of a wait
constexpr int kMaxDepth = 256;         // descendants deeper are not looked at
constexpr int kMaxMenuDepth = 32;
constexpr uint32_t kKeyDownWaitMs = 50; // after each key-down Type posts

std::string Hex8(WsHandle h) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%08X", unsigned(h));
    return b;
}

std::string Field(const char* args, int n) {
    char field[kTextSize];
    strfld(args, ',', n, 0, field, kTextSize);
    return field;
}

// A count in decimal digits only, at most max; fallback when text is
// empty.  False for anything else.
bool ReadCount(const std::string& text, uint32_t fallback, uint32_t max, uint32_t* value) {
    if (text.empty()) return *value = fallback, true;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + uint64_t(c - '0');
        if (v > max) return false;
    }
    *value = uint32_t(v);
    return true;
}

Outcome BadNumber(const char* what, const std::string& text) {
    return Failed(Fault::kInvalidArgument, std::string(what) + " '" + text + "'");
}

// Looks until found() holds or seconds have passed on the desktop's clock
// (one look for 0); at most one look per kLookEveryMs, so a clock that
// stands still cannot make it wait for ever.
template <typename Found> bool WaitUntil(CWinSys& ws, uint32_t seconds, Found found) {
    const uint32_t start = ws.GetTickCount();
    const uint64_t limitMs = uint64_t(seconds) * 1000;
    for (uint64_t look = 0;; ++look) {
        if (found()) return true;
        if (uint64_t(ws.GetTickCount() - start) >= limitMs || look * kLookEveryMs >= limitMs)
            return false;
        ws.Sleep(kLookEveryMs);
    }
}

// ---- Child ----------------------------------------------------------------

// What Child looks for.
struct ChildSpec {
    enum Form { kClass, kId, kEquals, kHolds } form = kClass;
    std::string text; // class name or caption text ('&' removed)
    int id = 0;
    int n = 1; // the n-th match, from 1
};

bool ReadChildSpec(const char* args, ChildSpec* wanted) {
    std::string text = args;
    if (text.empty()) return false;
    if (text[0] == '#') {
        wanted->form = ChildSpec::kId;
        const std::string number = text.substr(1);
        if (StartsWithCi(number.c_str(), "0x")) {
            if (number.size() < 3 ||
                number.find_first_not_of("0123456789abcdefABCDEF", 2) != std::string::npos)
                return false;
            wanted->id = int(hextoint(number.c_str() + 2));
            return true;
        }
        uint32_t id = 0;
        if (number.empty() || !ReadCount(number, 0, 0x7FFFFFFF, &id)) return false;
        wanted->id = int(id);
        return true;
    }
    if (text[0] == '=' || text[0] == '~') {
        wanted->form = text[0] == '=' ? ChildSpec::kEquals : ChildSpec::kHolds;
        std::vector<char> bare(text.begin() + 1, text.end());
        bare.push_back('\0');
        StripAmpersands(bare.data());
        wanted->text = bare.data();
        return true;
    }
    // CLASS:N when what follows the last ':' is a number; class names may
    // hold ':' themselves.
    const size_t colon = text.rfind(':');
    uint32_t n = 0;
    if (colon != std::string::npos && colon + 1 < text.size() &&
        ReadCount(text.substr(colon + 1), 0, 0xFFFFFF, &n)) {
        if (n == 0 || colon == 0) return false;
        wanted->n = int(n);
        text.resize(colon);
    }
    wanted->text = text;
    return true;
}

bool ChildFits(CWinSys& ws, WsHandle h, const ChildSpec& wanted) {
    switch (wanted.form) {
    case ChildSpec::kClass:
        return EqualsCi(ClassOf(ws, h).c_str(), wanted.text.c_str());
    case ChildSpec::kId:
        return ws.GetWindowLongA(h, gwl::ID) == wanted.id;
    case ChildSpec::kEquals:
    case ChildSpec::kHolds: {
        std::string caption = CaptionOf(ws, h);
        StripAmpersands(caption.data());
        caption.resize(std::strlen(caption.c_str()));
        return wanted.form == ChildSpec::kEquals ? EqualsCi(caption.c_str(), wanted.text.c_str())
                                                 : HoldsCi(caption.c_str(), wanted.text.c_str());
    }
    }
    return false;
}

// The descendants of h in the order Desc lists them (each window, then its
// children, in z-order), until one is the wanted's n-th fit: that one, or 0.
struct ChildSearch {
    CWinSys& ws;
    const ChildSpec& wanted;
    int fits = 0;
    int looked = 0;
};

WsHandle FindDescendant(ChildSearch& search, WsHandle h, int depth) {
    if (depth >= kMaxDepth) return 0;
    WsHandle child = search.ws.GetTopWindow(h);
    for (int n = 0; child != 0 && n < kMaxChildren && search.looked < (1 << 20); ++n) {
        ++search.looked;
        if (ChildFits(search.ws, child, search.wanted) && ++search.fits == search.wanted.n)
            return child;
        if (const WsHandle found = FindDescendant(search, child, depth + 1)) return found;
        child = search.ws.GetWindow(child, gw::HWNDNEXT);
    }
    return 0;
}

// ---- Select ---------------------------------------------------------------

// The messages of one kind of list.
struct ListKind {
    const char* cls;
    uint32_t count, lenMsg, textMsg, setSel, selChange;
};
const ListKind kListBox{"ListBox",   lb::GETCOUNT,  lb::GETTEXTLEN,
                        lb::GETTEXT, lb::SETCURSEL, lbn::SELCHANGE};
const ListKind kComboBox{"ComboBox",    cb::GETCOUNT,  cb::GETLBTEXTLEN,
                         cb::GETLBTEXT, cb::SETCURSEL, cbn::SELCHANGE};

// Tells h's parent of a change, as the control does: WM_COMMAND with the
// control's id and the code, and its handle.
void NotifyParent(CWinSys& ws, WsHandle h, uint32_t code) {
    const WsHandle parent = ws.GetParent(h);
    if (parent == 0) return;
    const uint32_t id = uint32_t(ws.GetDlgCtrlID(h)) & 0xFFFF;
    ws.SendMessageA(parent, wm::COMMAND, uintptr_t((code << 16) | id), intptr_t(h));
}

// ---- MenuItem -------------------------------------------------------------

// A menu text as the path compares it: '&' removed, the accelerator text
// after a tab cut off.
std::string MenuText(std::string text) {
    const size_t tab = text.find('\t');
    if (tab != std::string::npos) text.resize(tab);
    StripAmpersands(text.data());
    text.resize(std::strlen(text.c_str()));
    return text;
}

// The position in menu of the item whose text is name; -1 for none.
int MenuPosition(CWinSys& ws, WsHandle menu, const std::string& name) {
    const int count = ws.GetMenuItemCount(menu);
    for (int pos = 0; pos < count && pos < 0x10000; ++pos) {
        char text[kTextSize] = "";
        ws.GetMenuStringA(menu, uint32_t(pos), text, kTextSize, mf::BYPOSITION);
        if (text[0] && EqualsCi(MenuText(text).c_str(), name.c_str())) return pos;
    }
    return -1;
}

// Returns once h's thread has taken the message posted last: the first
// send is answered when the thread next asks for a message, the second when
// it asks again, after it has taken (and translated) the one posted.
void TakeQueued(CWinSys& ws, WsHandle h) {
    for (int k = 0; k < 2; ++k) ws.SendMessageA(h, wm::NULL_, 0, 0);
}

} // namespace

Outcome CmdType(CommandContext& ctx, const CommandCall& call) {
    // The whole argument text, commas and spaces included.
    const char* comma = std::strchr(call.line, ',');
    const char* text = comma ? comma + 1 : "";
    std::vector<TypedMessage> messages;
    std::string error;
    if (!TypedMessages(ctx.ws, text, &messages, &error))
        return Failed(Fault::kInvalidArgument, error);
    const WsHandle h = ctx.state.hWnd;
    if (Outcome there = WindowThere(ctx, h); !there.Done()) return there;
    for (const TypedMessage& m : messages) {
        // A character beyond ASCII goes as the UTF-16 units it is made of.
        if (m.msg == wm::CHAR && m.wParam >= 0x80) {
            std::string utf8;
            Utf8Append(utf8, uint32_t(m.wParam));
            for (const char16_t unit : Utf16FromUtf8(utf8)) {
                ctx.ws.PostMessageW(h, m.msg, unit, m.lParam);
                TakeQueued(ctx.ws, h);
            }
            continue;
        }
        ctx.ws.PostMessageA(h, m.msg, m.wParam, m.lParam);
        // The receiver's loop posts the character of a key-down behind
        // whatever is queued already, and a sent message is handled before
        // the queued ones.  So each message is taken before the next is
        // posted.
        TakeQueued(ctx.ws, h);
        // Both sends can be answered by one request of the receiver,
        // before it takes the message, and a receiver that asks for
        // messages while it handles one answers them early: a key-down is
        // given time to be taken and translated before anything follows.
        if (m.msg == wm::KEYDOWN || m.msg == wm::SYSKEYDOWN) ctx.ws.Sleep(kKeyDownWaitMs);
    }
    // One request of the target can answer both sends before it takes the
    // message posted last: it is given the same time, then asked again, so
    // that what reads the window next finds the text typed.
    if (!messages.empty()) {
        ctx.ws.Sleep(kKeyDownWaitMs);
        TakeQueued(ctx.ws, h);
    }
    return WindowThere(ctx, h);
}

Outcome CmdChild(CommandContext& ctx, const CommandCall& call) {
    ChildSpec wanted;
    if (!ReadChildSpec(call.args, &wanted))
        return Failed(Fault::kInvalidArgument, std::string("child '") + call.args + "'");
    const WsHandle parent = ctx.state.hWnd;
    // A class name may end in ':' and digits itself
    // ("ORContainerMDIChildFrame:8455"): a class of the whole text wins.
    WsHandle found = 0;
    if (wanted.form == ChildSpec::kClass && wanted.text != call.args && parent) {
        const ChildSpec whole{ChildSpec::kClass, call.args, 0, 1};
        ChildSearch search{ctx.ws, whole};
        found = FindDescendant(search, parent, 0);
    }
    ChildSearch search{ctx.ws, wanted};
    if (found == 0 && parent) found = FindDescendant(search, parent, 0);
    if (found == 0) {
        ctx.out.Printf("Child '%s' not found under 0x%08X\n", call.args, unsigned(parent));
        if (Outcome there = WindowThere(ctx, parent); !there.Done()) return there;
        return Failed(Fault::kNoSuchControl,
                      std::string("child '") + call.args + "' under " + Hex8(parent));
    }
    ctx.state.hWnd = found;
    PrintNewWindow(ctx, found, TextOf(ctx.ws, found));
    return Done();
}

Outcome CmdWaitWnd(CommandContext& ctx, const CommandCall& call) {
    const std::string title = Field(call.args, 1);
    uint32_t seconds = 0;
    if (!ReadCount(Field(call.args, 2), kDefaultWaitSeconds, kMaxWaitSeconds, &seconds))
        return BadNumber("seconds", Field(call.args, 2));
    if (title.empty()) return Failed(Fault::kInvalidArgument, "no title to wait for");
    // The title search of Wnd, over the top-level windows only: one
    // enumeration per look.
    TitleSearch search{&ctx.ws, title, ""};
    AsciiUpperInPlace(search.pattern.data());
    const bool found = WaitUntil(ctx.ws, seconds, [&] {
        ctx.ws.EnumWindows(wndmatch, reinterpret_cast<intptr_t>(&search));
        return search.found != 0;
    });
    if (!found) {
        ctx.out.Printf("WaitWnd: '%s' not found within %u s\n", title.c_str(), unsigned(seconds));
        return Failed(Fault::kWindowNotFound,
                      "title '" + title + "' within " + std::to_string(seconds) + " s");
    }
    MakeCurrent(ctx, search.found, kSwitchWaitMs);
    PrintNewWindow(ctx, search.found, TextOf(ctx.ws, search.found));
    return Done();
}

Outcome CmdWaitGone(CommandContext& ctx, const CommandCall& call) {
    uint32_t seconds = 0;
    if (!ReadCount(Field(call.args, 1), kDefaultWaitSeconds, kMaxWaitSeconds, &seconds))
        return BadNumber("seconds", Field(call.args, 1));
    CWinSys& ws = ctx.ws;
    const WsHandle h = ctx.state.hWnd;
    if (!WaitUntil(ws, seconds, [&] { return !ws.IsWindow(h) || !ws.IsWindowVisible(h); })) {
        ctx.out.Printf("WaitGone: window 0x%08X still there after %u s\n", unsigned(h),
                       unsigned(seconds));
        return Failed(Fault::kStillThere, Hex8(h) + " after " + std::to_string(seconds) + " s");
    }
    ctx.out.Printf("Window 0x%08X is gone\n", unsigned(h));
    return Done();
}

Outcome CmdSleep(CommandContext& ctx, const CommandCall& call) {
    uint32_t ms = 0;
    const std::string text = Field(call.args, 1);
    if (text.empty() || !ReadCount(text, 0, kMaxSleepMs, &ms))
        return BadNumber("milliseconds", text);
    ctx.ws.Sleep(ms);
    return Done();
}

Outcome CmdSelect(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const WsHandle h = ctx.state.hWnd;
    if (Outcome there = WindowThere(ctx, h); !there.Done()) return there;
    const std::string cls = ClassOf(ws, h);
    const ListKind* kind = EqualsCi(cls.c_str(), kListBox.cls)    ? &kListBox
                           : EqualsCi(cls.c_str(), kComboBox.cls) ? &kComboBox
                                                                  : nullptr;
    if (!kind)
        return Failed(Fault::kNotAListBox,
                      Hex8(h) + " is a '" + cls + "', not a list box or combo box");
    const std::string item = call.args;
    const intptr_t count = ws.SendMessageA(h, kind->count, 0, 0);
    intptr_t index = -1;
    uint32_t asked = 0;
    if (item.size() > 1 && item[0] == '#' && ReadCount(item.substr(1), 0, 0x7FFFFFFF, &asked)) {
        if (intptr_t(asked) >= count)
            return Failed(Fault::kNoSuchItem, "index " + std::to_string(asked) + " of " +
                                                  std::to_string(count < 0 ? 0 : count) + " items");
        index = intptr_t(asked);
    } else {
        for (intptr_t i = 0; i < count && i < 0x10000 && index < 0; ++i)
            if (EqualsCi(WholeItemText(ws, h, kind->lenMsg, kind->textMsg, int(i)).c_str(),
                         item.c_str()))
                index = i;
        if (index < 0) return Failed(Fault::kNoSuchItem, "no item '" + item + "'");
    }
    const uint32_t style = uint32_t(ws.GetWindowLongA(h, gwl::STYLE));
    if (kind == &kListBox && (style & (lbs::MULTIPLESEL | lbs::EXTENDEDSEL))) {
        // The item selected alone.
        ws.SendMessageA(h, lb::SETSEL, 0, -1);
        ws.SendMessageA(h, lb::SETSEL, 1, index);
    } else {
        ws.SendMessageA(h, kind->setSel, uintptr_t(index), 0);
    }
    NotifyParent(ws, h, kind->selChange);
    const std::string text = WholeItemText(ws, h, kind->lenMsg, kind->textMsg, int(index));
    ctx.out.Printf("Selected %d (%s)\n", int(index), text.c_str());
    return WindowThere(ctx, h);
}

Outcome CmdCheck(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    uint32_t wanted = 0;
    if (!ReadCount(Field(call.args, 1), 1, 2, &wanted))
        return BadNumber("check state", Field(call.args, 1));
    const WsHandle h = ctx.state.hWnd;
    if (Outcome there = WindowThere(ctx, h); !there.Done()) return there;
    const uint32_t type = uint32_t(ws.GetWindowLongA(h, gwl::STYLE)) & bs::TYPEMASK;
    if (!EqualsCi(ClassOf(ws, h).c_str(), "Button") || !IsCheckType(type))
        return Failed(Fault::kNotACheckBox, Hex8(h));
    if (wanted == 2 && type != bs::THREESTATE && type != bs::AUTO3STATE)
        return Failed(Fault::kInvalidArgument, "state 2 on " + Hex8(h) + ", not a three-state box");
    intptr_t state = ws.SendMessageA(h, bm::GETCHECK, 0, 0);
    // A three-state box may need two clicks; a click that changes nothing
    // is not repeated.
    for (int clicks = 0; state != intptr_t(wanted) && clicks < 2; ++clicks) {
        ws.SendMessageA(h, bm::CLICK, 0, 0);
        const intptr_t now = ws.SendMessageA(h, bm::GETCHECK, 0, 0);
        if (now == state) break;
        state = now;
    }
    ctx.out.Printf("Check: 0x%08X is %d\n", unsigned(h), int(state));
    if (state != intptr_t(wanted))
        return Failed(Fault::kNotChanged,
                      Hex8(h) + " is " + std::to_string(state) + ", not " + std::to_string(wanted));
    return WindowThere(ctx, h);
}

Outcome CmdMenuItem(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const WsHandle h = ctx.state.hWnd;
    if (Outcome there = WindowThere(ctx, h); !there.Done()) return there;
    const std::string path = call.args;
    std::vector<std::string> levels;
    for (size_t start = 0;;) {
        const size_t gt = path.find('>', start);
        levels.push_back(MenuText(path.substr(start, gt == std::string::npos ? gt : gt - start)));
        if (gt == std::string::npos) break;
        start = gt + 1;
    }
    for (const std::string& level : levels)
        if (level.empty() || levels.size() > size_t(kMaxMenuDepth))
            return Failed(Fault::kInvalidArgument, "menu path '" + path + "'");
    WsHandle menu = ws.GetMenu(h);
    if (menu == 0 || !ws.IsMenu(menu))
        return Failed(Fault::kNoMenu, Hex8(h) + " has no menu this process can read (under "
                                                "Wine another process's menus do not answer)");
    for (size_t k = 0; k < levels.size(); ++k) {
        const int pos = MenuPosition(ws, menu, levels[k]);
        if (pos < 0) return Failed(Fault::kNoSuchItem, "'" + levels[k] + "' in '" + path + "'");
        const uint32_t state = ws.GetMenuState(menu, uint32_t(pos), mf::BYPOSITION);
        if (state != 0xFFFFFFFF && (state & (mf::GRAYED | mf::DISABLED)))
            return Failed(Fault::kItemDisabled, "'" + levels[k] + "' in '" + path + "'");
        const WsHandle sub = ws.GetSubMenu(menu, pos);
        const bool last = k + 1 == levels.size();
        if (!last && sub == 0)
            return Failed(Fault::kNoSuchItem, "'" + levels[k] + "' has no submenu");
        if (!last) {
            menu = sub;
            continue;
        }
        const uint32_t id = ws.GetMenuItemID(menu, pos);
        if (sub != 0 || id == 0xFFFFFFFF)
            return Failed(Fault::kNoSuchItem, "'" + levels[k] + "' opens a submenu");
        ws.PostMessageA(h, wm::COMMAND, uintptr_t(id & 0xFFFF), 0);
        ctx.out.Printf("Menu item '%s' (id %u)\n", path.c_str(), unsigned(id));
    }
    return WindowThere(ctx, h);
}
