// The simulated desktop's window-system operations: identity, tree, focus,
// placement, menus, text metrics, clipboard, other processes and the clock.
#include "winsys/sim/simdesktop.h"
#include "textutil/utf8.h"
#include "winsys/eventlog.h"
#include "winsys/wsdefs.h"

#include <algorithm>
#include <cstring>

namespace sim {

using namespace evlog;

namespace {

// The scan codes of the US keyboard layout, by virtual key; 0 for none.
uint32_t ScanCodeOf(uint32_t vkey) {
    static const char kRows[][11] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    static const uint32_t kRowStart[] = {0x10, 0x1E, 0x2C};
    if (vkey >= 'A' && vkey <= 'Z')
        for (size_t r = 0; r < 3; ++r)
            if (const char* at = std::strchr(kRows[r], int(vkey)))
                return kRowStart[r] + uint32_t(at - kRows[r]);
    if (vkey >= '1' && vkey <= '9') return 0x02 + (vkey - '1');
    if (vkey == '0') return 0x0B;
    if (vkey >= vk::F1 && vkey < vk::F1 + 10) return 0x3B + (vkey - vk::F1);
    if (vkey == vk::F1 + 10) return 0x57;
    if (vkey == vk::F1 + 11) return 0x58;
    static const uint32_t kOthers[][2] = {
        {vk::BACK, 0x0E},    {vk::TAB, 0x0F},    {vk::RETURN, 0x1C}, {vk::SHIFT, 0x2A},
        {vk::CONTROL, 0x1D}, {vk::MENU, 0x38},   {vk::ESCAPE, 0x01}, {vk::SPACE, 0x39},
        {vk::PRIOR, 0x49},   {vk::NEXT, 0x51},   {vk::END, 0x4F},    {vk::HOME, 0x47},
        {vk::LEFT, 0x4B},    {vk::UP, 0x48},     {vk::RIGHT, 0x4D},  {vk::DOWN, 0x50},
        {vk::INSERT, 0x52},  {vk::DELETE_, 0x53}};
    for (const auto& [key, scan] : kOthers)
        if (key == vkey) return scan;
    return 0;
}

// The character a key-down of vkey is translated into with no modifier
// held (US layout); 0 for a key that gives none.
uint32_t TranslatedChar(uint32_t vkey) {
    if (vkey >= 'A' && vkey <= 'Z') return vkey - 'A' + 'a';
    if (vkey >= '0' && vkey <= '9') return vkey;
    switch (vkey) {
    case vk::BACK:
    case vk::TAB:
    case vk::RETURN:
    case vk::ESCAPE:
    case vk::SPACE:
        return vkey;
    default:
        return 0;
    }
}

// Copies text into buf (size bytes) as GetWindowTextA does, cut before a
// character that would not fit whole; returns the length copied.
int CopyOut(const std::string& text, char* buf, int size) {
    if (!buf || size <= 0) return 0;
    int n = int(Utf8CutLength(text, std::min<size_t>(size_t(size) - 1, 0x7FFFFFFF)));
    std::memcpy(buf, text.data(), size_t(n));
    buf[n] = '\0';
    return n;
}

WsMem RoundUp(WsMem v, WsMem unit) {
    return (v + unit - 1) / unit * unit;
}

} // namespace

CSimCore::CSimCore(CEventLog& log) : log_(log) {
    systemFont_.handle = 0x018A0001;
    systemFont_.name = "System";
    description_ = "Desktop: simulated (empty)";
}

CSimCore::~CSimCore() = default;

void CSimCore::Tick() {
    micros_ += costMicros_;
    RunTimers();
}

void CSimCore::RunTimers() {
    while (!timers_.empty() && timers_.front().atMicros <= micros_) {
        const Timer t = timers_.front();
        timers_.erase(timers_.begin());
        Window* w = Win(t.hwnd);
        if (!w || bool(w->style & ws::VISIBLE) == t.show) continue;
        w->style = t.show ? (w->style | ws::VISIBLE) : (w->style & ~ws::VISIBLE);
        Log("show " + Hex8(t.hwnd) + (t.show ? " 1" : " 0"));
    }
}

void CSimCore::AddTimer(WsHandle hwnd, uint64_t atMs, bool show) {
    const Timer t{atMs * 1000, hwnd, show};
    auto at =
        std::upper_bound(timers_.begin(), timers_.end(), t,
                         [](const Timer& a, const Timer& b) { return a.atMicros < b.atMicros; });
    timers_.insert(at, t);
}

// Counts a message sent or posted from inside a handler; true once the
// handlers of one outside call have used up their budget.
bool CSimCore::OverBudget() {
    if (log_.Depth() == 0) {
        handlerMessages_ = 0;
        return false;
    }
    return ++handlerMessages_ > kMaxHandlerMessages;
}

Window* CSimCore::Win(WsHandle hwnd) {
    if (hwnd == 0) return nullptr;
    auto it = windows_.find(Full(hwnd));
    return it == windows_.end() ? nullptr : it->second.get();
}

WsHandle CSimCore::Full(WsHandle h) const {
    if (h >> 16 != 0 || windows_.count(h) || menus_.count(h)) return h;
    auto it = aliases_.find(h);
    return it == aliases_.end() ? h : it->second;
}

void CSimCore::MakeAliases(bool pairs) {
    // As on Windows, the low 16 bits of a window's or menu's handle name it
    // too, where no other handle has the same low bits (scenes that ask);
    // with pairs, as under Wine, so does the low word with its lowest bit
    // flipped.
    const WsHandle mask = pairs ? 0xFFFE : 0xFFFF;
    std::unordered_map<WsHandle, int> uses;
    for (const auto& w : windows_) ++uses[w.first & mask];
    for (const auto& m : menus_) ++uses[m.first & mask];
    aliases_.clear();
    auto add = [&](WsHandle h) {
        if (uses[h & mask] != 1) return;
        if (h >> 16 != 0) aliases_[h & 0xFFFF] = h;
        if (pairs) aliases_[(h & 0xFFFF) ^ 1] = h;
    };
    for (const auto& w : windows_) add(w.first);
    for (const auto& m : menus_) add(m.first);
}

const Window* CSimCore::WindowAt(WsHandle hwnd) const {
    auto it = windows_.find(Full(hwnd));
    return it == windows_.end() ? nullptr : it->second.get();
}

const Process* CSimCore::FindProcess(uint32_t pid) const {
    auto it = processes_.find(pid);
    return it == processes_.end() ? nullptr : &it->second;
}

const Menu* CSimCore::FindMenu(WsHandle menu) const {
    auto it = menus_.find(Full(menu));
    return it == menus_.end() ? nullptr : &it->second;
}

std::vector<WsHandle>& CSimCore::SiblingsOf(const Window& w) {
    if (w.parent) return Win(w.parent)->children;
    return topLevel_;
}

bool CSimCore::VisibleChain(const Window& w) const {
    const Window* p = &w;
    for (int depth = 0; p && depth < 1000; ++depth) {
        if (!(p->style & ws::VISIBLE)) return false;
        if (!p->parent) return true;
        p = WindowAt(p->parent);
    }
    return false;
}

void CSimCore::SetText(Window& w, const std::string& text) {
    if (w.text == text) return;
    w.text = text;
    Log("text " + Hex8(w.hwnd) + " " + Quote(text));
}

void CSimCore::MoveTree(Window& w, int dx, int dy) {
    OffsetRect(&w.rect, dx, dy);
    for (WsHandle c : w.children)
        if (Window* cw = Win(c)) MoveTree(*cw, dx, dy);
}

// --- Identity and text ------------------------------------------------------

bool CSimCore::IsWindow(WsHandle hwnd) {
    Tick();
    return Win(hwnd) != nullptr;
}

int CSimCore::GetClassNameA(WsHandle hwnd, char* buf, int size) {
    Tick();
    Window* w = Win(hwnd);
    if (!w) {
        CopyOut("", buf, size);
        return 0;
    }
    return CopyOut(w->cls, buf, size);
}

int CSimCore::GetWindowTextA(WsHandle hwnd, char* buf, int size) {
    Tick();
    Window* w = Win(hwnd);
    return CopyOut(w ? w->text : std::string(), buf, size);
}

bool CSimCore::IsWindowVisible(WsHandle hwnd) {
    Tick();
    Window* w = Win(hwnd);
    return w && VisibleChain(*w);
}

bool CSimCore::IsWindowEnabled(WsHandle hwnd) {
    Tick();
    Window* w = Win(hwnd);
    return w && !(w->style & ws::DISABLED);
}

bool CSimCore::GetWindowRect(WsHandle hwnd, WsRect* rect) {
    Tick();
    Window* w = Win(hwnd);
    if (rect) *rect = w ? w->rect : WsRect{};
    return w != nullptr;
}

int32_t CSimCore::GetWindowLongA(WsHandle hwnd, int index) {
    Tick();
    Window* w = Win(hwnd);
    if (!w) return 0;
    switch (index) {
    case gwl::STYLE:
        return int32_t(w->style);
    case gwl::EXSTYLE:
        return int32_t(w->exStyle);
    case gwl::ID:
        // A top-level window's id field holds its menu, as on the platform.
        return !w->parent && w->menu ? int32_t(w->menu) : w->id;
    default:
        return 0;
    }
}

int32_t CSimCore::SetWindowLongA(WsHandle hwnd, int index, int32_t value) {
    Tick();
    Window* w = Win(hwnd);
    if (!w) return 0;
    int32_t old = 0;
    switch (index) {
    case gwl::STYLE:
        old = int32_t(w->style);
        w->style = uint32_t(value);
        break;
    case gwl::EXSTYLE:
        old = int32_t(w->exStyle);
        w->exStyle = uint32_t(value);
        break;
    case gwl::ID:
        old = w->id;
        w->id = value;
        break;
    default:
        return 0;
    }
    return old;
}

// --- Tree -------------------------------------------------------------------

int CSimCore::EnumWindows(WsEnumProc proc, intptr_t lParam) {
    Tick();
    if (!proc) return 0;
    // The callback may change the desktop: walk a copy of the order.
    const std::vector<WsHandle> order = topLevel_;
    for (WsHandle h : order) {
        if (!Win(h)) continue;
        if (proc(h, lParam) == 0) return 0;
    }
    return 1;
}

int CSimCore::EnumAllWindows(WsEnumProc proc, intptr_t lParam) {
    Tick();
    if (!proc) return 0;
    // Every window the scene holds, the children among them; the callback
    // may change the desktop, so the handles are taken first.
    std::vector<WsHandle> all;
    all.reserve(windows_.size());
    for (const auto& entry : windows_) all.push_back(entry.first);
    for (WsHandle h : all) {
        if (!Win(h)) continue;
        if (proc(h, lParam) == 0) return 0;
    }
    return 1;
}

WsHandle CSimCore::GetParent(WsHandle hwnd) {
    Tick();
    Window* w = Win(hwnd);
    if (!w) return 0;
    return w->parent ? w->parent : w->owner;
}

WsHandle CSimCore::GetTopWindow(WsHandle hwnd) {
    Tick();
    if (hwnd == 0) return topLevel_.empty() ? 0 : topLevel_.front();
    Window* w = Win(hwnd);
    if (!w || w->children.empty()) return 0;
    return w->children.front();
}

WsHandle CSimCore::GetWindow(WsHandle hwnd, unsigned cmd) {
    Tick();
    Window* w = Win(hwnd);
    if (!w) return 0;
    if (cmd == gw::OWNER) return w->owner;
    if (cmd == gw::CHILD) return w->children.empty() ? 0 : w->children.front();
    const std::vector<WsHandle>& sib = SiblingsOf(*w);
    auto it = std::find(sib.begin(), sib.end(), hwnd);
    if (it == sib.end()) return 0;
    switch (cmd) {
    case gw::HWNDFIRST:
        return sib.front();
    case gw::HWNDLAST:
        return sib.back();
    case gw::HWNDNEXT:
        return it + 1 == sib.end() ? 0 : *(it + 1);
    case gw::HWNDPREV:
        return it == sib.begin() ? 0 : *(it - 1);
    default:
        return 0;
    }
}

WsHandle CSimCore::GetDlgItem(WsHandle dialog, int id) {
    Tick();
    Window* w = Win(dialog);
    if (!w) return 0;
    for (WsHandle c : w->children)
        if (Window* cw = Win(c); cw && cw->id == id) return c;
    return 0;
}

int CSimCore::GetDlgCtrlID(WsHandle hwnd) {
    Tick();
    Window* w = Win(hwnd);
    return w && w->parent ? w->id : 0;
}

uint32_t CSimCore::GetWindowThreadProcessId(WsHandle hwnd, uint32_t* pid) {
    Tick();
    Window* w = Win(hwnd);
    if (pid) *pid = w ? w->pid : 0;
    return w ? w->thread : 0;
}

// --- Focus and input ----------------------------------------------------------

WsHandle CSimCore::SetFocus(WsHandle hwnd) {
    Tick();
    if (hwnd == 0) {
        WsHandle old = focus_;
        focus_ = 0;
        return old;
    }
    if (!Win(hwnd)) return 0;
    WsHandle old = focus_;
    focus_ = hwnd;
    return old;
}

WsHandle CSimCore::SetCapture(WsHandle hwnd) {
    Tick();
    if (!Win(hwnd)) return 0;
    WsHandle old = captureWnd_;
    captureWnd_ = hwnd;
    return old;
}

WsHandle CSimCore::GetFocus() {
    Tick();
    return focus_;
}

WsHandle CSimCore::GetCapture() {
    Tick();
    return captureWnd_;
}

bool CSimCore::ReleaseCapture() {
    Tick();
    captureWnd_ = 0;
    return true;
}

intptr_t CSimCore::SendMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    Tick();
    Window* w = Win(hwnd);
    if (!w) return 0;
    // A caller outside the desktop is logged by the layer above; messages
    // that handlers send on are logged here, beneath the one being handled.
    const bool fromHandler = log_.Depth() > 0;
    if (fromHandler) {
        if (log_.Depth() >= kMaxNesting) {
            Log("send " + Hex8(hwnd) + " " + MessageText(msg, wParam, lParam) +
                " dropped (nesting)");
            return 0;
        }
        if (OverBudget()) {
            Log("send " + Hex8(hwnd) + " " + MessageText(msg, wParam, lParam) +
                " dropped (too many)");
            return 0;
        }
        log_.BeginSend("send " + Hex8(hwnd) + " " + MessageText(msg, wParam, lParam));
        log_.Enter();
        const intptr_t result = Deliver(*w, msg, wParam, lParam);
        log_.Leave();
        log_.EndSend(result);
        return result;
    }
    OverBudget();
    // A caller outside waits at most the send bound, and not at all for a
    // hung thread; a desktop that cannot wait for ever gives up at once too.
    const uint32_t bound = SendTimeout();
    if (w->hung) {
        ReportUnanswered(hwnd, msg, 0);
        return 0;
    }
    const uint32_t delay = HandlerDelay(*w, msg, wParam, lParam);
    log_.Enter();
    intptr_t result = Deliver(*w, msg, wParam, lParam);
    log_.Leave();
    const bool late = bound > 0 && delay > bound;
    micros_ += uint64_t(late ? bound : delay) * 1000;
    if (late) {
        ReportUnanswered(hwnd, msg, bound);
        result = 0;
    }
    return result;
}

bool CSimCore::PostMessageW(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    // A character below 0x80 is the same byte either way.
    if (!IsCharMessage(msg) || wParam < 0x80) return PostMessageA(hwnd, msg, wParam, lParam);
    const bool outer = wideChar_;
    wideChar_ = true;
    const bool ok = PostMessageA(hwnd, msg, wParam, lParam);
    wideChar_ = outer;
    return ok;
}

bool CSimCore::PostMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    Tick();
    Window* w = Win(hwnd);
    if (!w) return false;
    const bool fromHandler = log_.Depth() > 0;
    if (CarriesPointer(msg)) {
        // The platform refuses to post a message whose lParam points into
        // the sender's memory.
        if (fromHandler) Log("post " + Hex8(hwnd) + " " + MessageName(msg) + " refused");
        return false;
    }
    if (fromHandler) {
        if (log_.Depth() >= kMaxNesting) {
            Log("post " + Hex8(hwnd) + " " + MessageText(msg, wParam, lParam) +
                " dropped (nesting)");
            return false;
        }
        if (OverBudget()) {
            Log("post " + Hex8(hwnd) + " " + MessageText(msg, wParam, lParam) +
                " dropped (too many)");
            return false;
        }
        Log("post " + Hex8(hwnd) + " " + MessageText(msg, wParam, lParam));
    } else {
        OverBudget();
    }
    if (w->hung) return true; // queued, and never handled
    log_.Enter();
    Deliver(*w, msg, wParam, lParam);
    // The receiver's message loop translates a key-down into the character
    // it stands for, with the keyboard state of its thread: nothing posted
    // changes that state, so no modifier is held.
    if (msg == wm::KEYDOWN || msg == wm::SYSKEYDOWN) {
        const uint32_t c = TranslatedChar(uint32_t(wParam));
        const uint32_t charMsg = msg == wm::KEYDOWN ? wm::CHAR : wm::SYSCHAR;
        if (Window* me = Win(hwnd); me && c != 0) {
            Log("translated " + Hex8(hwnd) + " " + MessageText(charMsg, c, lParam));
            Deliver(*me, charMsg, c, lParam);
        }
    }
    log_.Leave();
    return true;
}

// --- Placement ----------------------------------------------------------------

bool CSimCore::SetWindowPos(WsHandle hwnd, WsHandle insertAfter, int x, int y, int cx, int cy,
                            unsigned flags) {
    Tick();
    Window* w = Win(hwnd);
    if (!w) return false;
    if (!(flags & swp::NOZORDER)) {
        std::vector<WsHandle>& sib = SiblingsOf(*w);
        auto it = std::find(sib.begin(), sib.end(), hwnd);
        if (it != sib.end() && insertAfter != hwnd) {
            sib.erase(it);
            if (insertAfter == insert::TOP || insertAfter == insert::TOPMOST ||
                insertAfter == insert::NOTOPMOST) {
                sib.insert(sib.begin(), hwnd);
            } else if (insertAfter == insert::BOTTOM) {
                sib.push_back(hwnd);
            } else {
                auto at = std::find(sib.begin(), sib.end(), insertAfter);
                sib.insert(at == sib.end() ? sib.begin() : at + 1, hwnd);
            }
            if (insertAfter == insert::TOPMOST) w->exStyle |= 0x8; // WS_EX_TOPMOST
            if (insertAfter == insert::NOTOPMOST) w->exStyle &= ~0x8u;
        }
    }
    if (!(flags & swp::NOMOVE)) {
        // x, y are in the parent's coordinates; a child's origin is its
        // parent's top left corner.
        int ox = 0, oy = 0;
        if (w->parent)
            if (Window* p = Win(w->parent)) ox = p->rect.left, oy = p->rect.top;
        MoveTree(*w, ox + x - w->rect.left, oy + y - w->rect.top);
    }
    if (!(flags & swp::NOSIZE)) {
        w->rect.right = w->rect.left + cx;
        w->rect.bottom = w->rect.top + cy;
    }
    if (flags & swp::SHOWWINDOW) w->style |= ws::VISIBLE;
    if (flags & swp::HIDEWINDOW) w->style &= ~ws::VISIBLE;
    return true;
}

bool CSimCore::EnableWindow(WsHandle hwnd, bool enable) {
    Tick();
    Window* w = Win(hwnd);
    if (!w) return false;
    bool wasDisabled = (w->style & ws::DISABLED) != 0;
    if (enable)
        w->style &= ~ws::DISABLED;
    else
        w->style |= ws::DISABLED;
    return wasDisabled;
}

// --- Menus --------------------------------------------------------------------

bool CSimCore::IsMenu(WsHandle menu) {
    Tick();
    return menus_.count(Full(menu)) != 0;
}

WsHandle CSimCore::GetMenu(WsHandle hwnd) {
    Tick();
    Window* w = Win(hwnd);
    return w ? w->menu : 0;
}

int CSimCore::GetMenuItemCount(WsHandle menu) {
    Tick();
    auto it = menus_.find(Full(menu));
    return it == menus_.end() ? -1 : int(it->second.items.size());
}

uint32_t CSimCore::GetMenuItemID(WsHandle menu, int pos) {
    Tick();
    auto it = menus_.find(Full(menu));
    if (it == menus_.end() || pos < 0 || size_t(pos) >= it->second.items.size()) return 0xFFFFFFFF;
    const MenuItem& item = it->second.items[size_t(pos)];
    if (item.submenu) return 0xFFFFFFFF;
    return item.separator ? 0 : item.id;
}

const MenuItem* CSimCore::MenuItemOf(const Menu& menu, uint32_t item, unsigned flags) const {
    if (flags & mf::BYPOSITION) return item < menu.items.size() ? &menu.items[item] : nullptr;
    // By command: this menu first, then its submenus, depth first.
    std::vector<const Menu*> stack{&menu};
    for (int guard = 0; !stack.empty() && guard < 10000; ++guard) {
        const Menu* m = stack.back();
        stack.pop_back();
        for (const MenuItem& mi : m->items) {
            if (!mi.submenu && !mi.separator && mi.id == item) return &mi;
            if (const Menu* sub = FindMenu(mi.submenu)) stack.push_back(sub);
        }
    }
    return nullptr;
}

int CSimCore::GetMenuStringA(WsHandle menu, uint32_t item, char* buf, int size, unsigned flags) {
    Tick();
    if (buf && size > 0) buf[0] = '\0';
    auto it = menus_.find(Full(menu));
    if (it == menus_.end()) return 0;
    const MenuItem* found = MenuItemOf(it->second, item, flags);
    if (!found) return 0;
    if (!buf || size <= 0) return int(found->text.size());
    return CopyOut(found->text, buf, size);
}

uint32_t CSimCore::GetMenuState(WsHandle menu, uint32_t item, unsigned flags) {
    Tick();
    auto it = menus_.find(Full(menu));
    if (it == menus_.end()) return 0xFFFFFFFF;
    const MenuItem* found = MenuItemOf(it->second, item, flags);
    if (!found) return 0xFFFFFFFF;
    uint32_t state = found->grayed ? mf::GRAYED : 0;
    if (found->separator) state |= mf::SEPARATOR;
    if (const Menu* sub = FindMenu(found->submenu))
        state |= mf::POPUP | (uint32_t(std::min<size_t>(sub->items.size(), 0xFF)) << 8);
    return state;
}

WsHandle CSimCore::GetSubMenu(WsHandle menu, int pos) {
    Tick();
    auto it = menus_.find(Full(menu));
    if (it == menus_.end() || pos < 0 || size_t(pos) >= it->second.items.size()) return 0;
    return it->second.items[size_t(pos)].submenu;
}

// --- Keyboard -----------------------------------------------------------------

uint32_t CSimCore::MapVirtualKeyA(uint32_t code, uint32_t mapType) {
    Tick();
    if (mapType != mapvk::VK_TO_VSC) return 0;
    return ScanCodeOf(code);
}

// --- Text metrics -------------------------------------------------------------

WsHandle CSimCore::GetDC(WsHandle hwnd) {
    Tick();
    if (hwnd != 0 && !Win(hwnd)) return 0;
    if (dcs_.size() >= kMaxDCs) return 0;
    WsHandle dc = nextDC_;
    nextDC_ += 0x10;
    dcs_[dc] = DC{hwnd, systemFont_.handle};
    return dc;
}

int CSimCore::ReleaseDC(WsHandle hwnd, WsHandle dc) {
    Tick();
    auto it = dcs_.find(dc);
    if (it == dcs_.end() || it->second.hwnd != hwnd) return 0;
    dcs_.erase(it);
    return 1;
}

WsHandle CSimCore::SelectObject(WsHandle dc, WsHandle object) {
    Tick();
    auto it = dcs_.find(dc);
    if (it == dcs_.end()) return 0;
    if (object != systemFont_.handle && !fonts_.count(object)) return 0;
    WsHandle old = it->second.font;
    it->second.font = object;
    return old;
}

bool CSimCore::GetTextExtentPointA(WsHandle dc, const char* text, int count, WsSize* size) {
    Tick();
    auto it = dcs_.find(dc);
    if (it == dcs_.end() || !size || count < 0 || (count > 0 && !text)) return false;
    const Font* f = &systemFont_;
    if (auto fi = fonts_.find(it->second.font); fi != fonts_.end()) f = &fi->second;
    size->cx = int32_t(int64_t(f->width) * count);
    if (f->abcWidth >= 0 && count == 3 && std::memcmp(text, "ABC", 3) == 0) size->cx = f->abcWidth;
    size->cy = f->height;
    return true;
}

// --- Clipboard ----------------------------------------------------------------

bool CSimCore::OpenClipboard(WsHandle owner) {
    Tick();
    if (owner != 0 && !Win(owner)) return false;
    bool ok = !clipOpen_ || clipOpener_ == owner;
    if (ok) {
        clipOpen_ = true;
        clipOpener_ = owner;
    }
    return ok;
}

bool CSimCore::EmptyClipboard() {
    Tick();
    if (!clipOpen_) return false;
    clip_ = Clip{};
    clipOwner_ = clipOpener_;
    return true;
}

bool CSimCore::CloseClipboard() {
    Tick();
    if (!clipOpen_) return false;
    clipOpen_ = false;
    clipOpener_ = 0;
    return true;
}

WsMem CSimCore::GetClipboardData(unsigned format) {
    Tick();
    if (!clipOpen_ || format != cf::TEXT || !clip_.block) return 0;
    if (clip_.delayed) {
        // The platform asks the owner to render (WM_RENDERFORMAT); this one
        // never does: the read waits the send bound and gets nothing.
        // The platform's reader stays stuck in that wait; later reads get
        // nothing at once.
        const uint32_t bound = SendTimeout();
        micros_ += uint64_t(bound) * 1000;
        clip_ = Clip{};
        ReportUnanswered(clipOwner_, wm::RENDERFORMAT, bound);
        return 0;
    }
    return clip_.handle;
}

void* CSimCore::GlobalLock(WsMem mem) {
    Tick();
    if (mem == 0) return nullptr;
    auto it = locked_.find(mem);
    if (it == locked_.end()) {
        // Only the clipboard's current data can be locked afresh.
        if (mem != clip_.handle || !clip_.block) return nullptr;
        it = locked_.emplace(mem, std::make_pair(clip_.block, 0)).first;
    }
    ++it->second.second;
    return it->second.first->data();
}

bool CSimCore::GlobalUnlock(WsMem mem) {
    Tick();
    auto it = locked_.find(mem);
    if (it == locked_.end()) return false;
    if (--it->second.second > 0) return true;
    locked_.erase(it);
    return false;
}

size_t CSimCore::GlobalSize(WsMem mem) {
    Tick();
    if (mem == 0) return 0;
    if (auto it = locked_.find(mem); it != locked_.end()) return it->second.first->size();
    return mem == clip_.handle && clip_.block ? clip_.block->size() : 0;
}

std::shared_ptr<CSimCore::ClipBlock> CSimCore::TextBlock(const std::string& text, bool terminated) {
    auto block = std::make_shared<ClipBlock>(text.begin(), text.end());
    if (terminated) block->push_back('\0');
    return block;
}

void CSimCore::PutOnClipboard(Window& owner, const std::string& text) {
    // What an application does: open, empty, set, close.  It fails when
    // someone else holds the clipboard open.
    if (clipOpen_ && clipOpener_ != owner.hwnd) {
        Log("clipboard-set " + Hex8(owner.hwnd) + " busy");
        return;
    }
    clip_.block = TextBlock(text, true);
    clip_.handle = nextClipHandle_;
    nextClipHandle_ += 0x10;
    clipOwner_ = owner.hwnd;
    Log("clipboard-set " + Hex8(owner.hwnd) + " " + Quote(text));
}

std::string CSimCore::ClipboardText() const {
    if (!clip_.block) return std::string();
    const ClipBlock& b = *clip_.block;
    return std::string(b.data(), strnlen(b.data(), b.size()));
}

// --- Other processes ----------------------------------------------------------

Process* CSimCore::ProcOf(WsMem handle, uint32_t need) {
    auto it = processHandles_.find(handle);
    if (it == processHandles_.end() || (it->second.access & need) != need) return nullptr;
    auto p = processes_.find(it->second.pid);
    return p == processes_.end() ? nullptr : &p->second;
}

WsMem CSimCore::OpenProcess(uint32_t access, bool, uint32_t pid) {
    Tick();
    auto it = processes_.find(pid);
    if (it == processes_.end()) return 0;
    if (!it->second.openable) return 0;
    if (processHandles_.size() >= kMaxProcessHandles) return 0;
    WsMem h = nextProcessHandle_;
    nextProcessHandle_ += 4;
    processHandles_[h] = ProcessHandle{pid, access};
    return h;
}

bool CSimCore::CloseHandle(WsMem process) {
    Tick();
    auto it = processHandles_.find(process);
    if (it == processHandles_.end()) return false;
    processHandles_.erase(it);
    return true;
}

uint32_t CSimCore::ProcessIdOf(WsMem process) {
    auto it = processHandles_.find(process);
    return it == processHandles_.end() ? 0 : it->second.pid;
}

int CSimCore::ProcessBits(WsMem process) {
    Tick();
    Process* p = ProcOf(process, 0);
    return p ? p->bits : 0;
}

int CSimCore::GetProcessImageNameA(WsMem process, char* buf, int size) {
    Tick();
    const Process* p = ProcOf(process, 0);
    if (!buf || size <= 0) return 0;
    buf[0] = '\0';
    return p ? CopyOut(p->name, buf, size) : 0;
}

WsMem CSimCore::VirtualAllocEx(WsMem process, WsMem address, size_t size, uint32_t type,
                               uint32_t protect) {
    Tick();
    Process* p = ProcOf(process, procaccess::VM_OPERATION);
    if (!p || address != 0 || size == 0 || size > kMaxBlock || !(type & mem::COMMIT)) return 0;
    if (protect != page::READWRITE && protect != page::READONLY && protect != page::NOACCESS)
        return 0;
    size_t total = 0;
    for (const auto& [base, block] : p->memory) total += block.bytes.size();
    size_t rounded = size_t(RoundUp(size, 0x1000));
    const size_t allowed = std::min(kMaxProcessMemory, p->memoryLimit.value_or(kMaxProcessMemory));
    if (total + rounded > allowed) return 0;
    const WsMem limit = p->bits == 32 ? 0x7FFF0000ull : 0x00007FF000000000ull;
    WsMem base = p->nextAddress;
    if (base + rounded > limit) return 0;
    p->nextAddress = RoundUp(base + rounded, 0x10000);
    Block& b = p->memory[base];
    b.bytes.assign(rounded, 0); // fresh committed memory reads as zeros
    b.protect = protect;
    return base;
}

bool CSimCore::VirtualFreeEx(WsMem process, WsMem address, size_t size, uint32_t type) {
    Tick();
    Process* p = ProcOf(process, procaccess::VM_OPERATION);
    if (!p || type != mem::RELEASE || size != 0) return false;
    auto it = p->memory.find(address);
    if (it == p->memory.end()) return false;
    p->memory.erase(it);
    return true;
}

// The block holding [address, address+size), or null.
static Block* BlockAt(Process& p, WsMem address, size_t size) {
    auto it = p.memory.upper_bound(address);
    if (it == p.memory.begin()) return nullptr;
    --it;
    WsMem base = it->first;
    size_t len = it->second.bytes.size();
    if (address < base || address - base > len || size > len - (address - base)) return nullptr;
    return &it->second;
}

bool CSimCore::RemoteRead(uint32_t pid, WsMem address, void* data, size_t size) {
    auto pit = processes_.find(pid);
    if (pit == processes_.end()) return false;
    Block* b = BlockAt(pit->second, address, size);
    if (!b || b->protect == page::NOACCESS) return false;
    auto it = pit->second.memory.upper_bound(address);
    --it;
    if (size) std::memcpy(data, b->bytes.data() + (address - it->first), size);
    return true;
}

bool CSimCore::RemoteWrite(uint32_t pid, WsMem address, const void* data, size_t size) {
    auto pit = processes_.find(pid);
    if (pit == processes_.end()) return false;
    Block* b = BlockAt(pit->second, address, size);
    if (!b || b->protect != page::READWRITE) return false;
    auto it = pit->second.memory.upper_bound(address);
    --it;
    if (size) std::memcpy(b->bytes.data() + (address - it->first), data, size);
    return true;
}

bool CSimCore::WriteProcessMemory(WsMem process, WsMem address, const void* data, size_t size,
                                  size_t* written) {
    Tick();
    if (written) *written = 0;
    Process* p = ProcOf(process, procaccess::VM_WRITE | procaccess::VM_OPERATION);
    if (!p || (!data && size)) return false;
    if (!RemoteWrite(p->pid, address, data, size)) return false;
    if (written) *written = size;
    return true;
}

bool CSimCore::ReadProcessMemory(WsMem process, WsMem address, void* data, size_t size,
                                 size_t* read) {
    Tick();
    if (read) *read = 0;
    Process* p = ProcOf(process, procaccess::VM_READ);
    if (!p || (!data && size)) return false;
    if (!RemoteRead(p->pid, address, data, size)) return false;
    if (read) *read = size;
    return true;
}

// --- Timing and the alert box -------------------------------------------------

void CSimCore::Sleep(uint32_t ms) {
    Tick();
    micros_ += uint64_t(ms) * 1000;
    RunTimers();
}

uint32_t CSimCore::GetTickCount() {
    Tick();
    return uint32_t(micros_ / 1000);
}

void CSimCore::ChargeCalls(uint64_t calls) {
    micros_ += calls * costMicros_;
}

int CSimCore::MessageBoxA(WsHandle, const char*, const char*, unsigned) {
    Tick();
    return dlgid::OK;
}

} // namespace sim
