// How the simulated windows answer their messages: scene behaviours first,
// then the control class, then what every window does.
#include "winsys/sim/simdesktop.h"
#include "textutil/utf8.h"
#include "winsys/eventlog.h"
#include "winsys/wsdefs.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sim {

using namespace evlog;

namespace {

constexpr uint32_t kEsMultiline = 0x0004;
constexpr uint32_t kEsReadOnly = 0x0800;

bool IsCheckStyle(uint32_t style) {
    return IsCheckType(style & bs::TYPEMASK);
}

// Copies text into the caller's buffer of size bytes, cut before a
// character that would not fit whole; the length copied.
intptr_t CopyLimited(const std::string& text, intptr_t lParam, uintptr_t size) {
    char* buf = reinterpret_cast<char*>(lParam);
    if (!buf || size == 0) return 0;
    size_t n = Utf8CutLength(text, size_t(size) - 1);
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
    return intptr_t(n);
}

// Copies a whole item text with its terminating zero, as LB_GETTEXT and
// CB_GETLBTEXT do, but never more than the layer promises its callers
// (lb::MAX_TEXT characters and a zero).
intptr_t CopyWhole(const std::string& text, intptr_t lParam) {
    char* buf = reinterpret_cast<char*>(lParam);
    if (!buf) return -1;
    const size_t n = std::min(text.size(), size_t(lb::MAX_TEXT));
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
    return intptr_t(n);
}

// An owner-drawn list box or combo box without LBS_HASSTRINGS /
// CBS_HASSTRINGS keeps no texts: its "text" is the item data, whose bytes
// LB_GETTEXT copies, and its length the size of that data.
bool KeepsTexts(const Window& w) {
    const bool combo = w.kind == Kind::ComboBox;
    const uint32_t ownerDrawn = combo ? (cbs::OWNERDRAWFIXED | cbs::OWNERDRAWVARIABLE)
                                      : (lbs::OWNERDRAWFIXED | lbs::OWNERDRAWVARIABLE);
    return !(w.style & ownerDrawn) || (w.style & (combo ? cbs::HASSTRINGS : lbs::HASSTRINGS));
}
intptr_t CopyData(int64_t data, intptr_t lParam) {
    if (!lParam) return -1;
    std::memcpy(reinterpret_cast<void*>(lParam), &data, sizeof data);
    return intptr_t(sizeof data);
}
intptr_t ItemCopy(const Window& w, size_t i, intptr_t lParam) {
    return KeepsTexts(w) ? CopyWhole(w.items[i].text, lParam) : CopyData(w.items[i].data, lParam);
}
intptr_t ItemLength(const Window& w, size_t i) {
    return KeepsTexts(w) ? intptr_t(w.items[i].text.size()) : intptr_t(sizeof(int64_t));
}

int DaysIn(int month, int year) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

uint64_t ReadUnsigned(const uint8_t* p, size_t n) {
    uint64_t v = 0;
    for (size_t i = 0; i < n; ++i) v |= uint64_t(p[i]) << (8 * i);
    return v;
}

bool Matches(const Behaviour& b, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (b.msg != msg) return false;
    if (b.wParam && *b.wParam != uint64_t(wParam)) return false;
    if (b.id && *b.id != (uint32_t(wParam) & 0xFFFF)) return false;
    if (b.lParam && *b.lParam != int64_t(lParam)) return false;
    return true;
}

} // namespace

std::string DateText(const int date[3]) {
    char b[32];
    std::snprintf(b, sizeof b, "%02d/%02d/%04d", date[0] % 100, date[1] % 100, date[2] % 10000);
    return b;
}

uint32_t CSimCore::HandlerDelay(const Window& w, uint32_t msg, uintptr_t wParam,
                                intptr_t lParam) const {
    uint64_t total = 0;
    for (const Behaviour& b : w.behaviours)
        if (Matches(b, msg, wParam, lParam)) total += b.delayMs;
    return uint32_t(std::min<uint64_t>(total, UINT32_MAX));
}

intptr_t CSimCore::Deliver(Window& w, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    const WsHandle self = w.hwnd;
    // Behaviours may send messages that change the desktop; work on a copy.
    const std::vector<Behaviour> behaviours = w.behaviours;
    std::optional<int64_t> result;
    for (const Behaviour& b : behaviours) {
        if (!Matches(b, msg, wParam, lParam)) continue;
        if (b.marked) {
            const Window* me = Win(self);
            if (!me || std::find(me->marks.begin(), me->marks.end(), *b.marked) == me->marks.end())
                continue;
        }
        for (const Action& a : b.actions) {
            Window* me = Win(self);
            if (!me) return 0;
            RunAction(*me, a);
        }
        if (b.result) result = b.result;
    }
    if (result) return intptr_t(*result);
    Window* me = Win(self);
    if (!me) return 0;
    bool handled = false;
    intptr_t r = 0;
    switch (me->kind) {
    case Kind::Edit:
        r = EditAnswer(*me, msg, wParam, &handled);
        break;
    case Kind::Button:
        r = ButtonAnswer(*me, msg, wParam, &handled);
        break;
    case Kind::ListBox:
        r = ListBoxAnswer(*me, msg, wParam, lParam, &handled);
        break;
    case Kind::ComboBox:
        r = ComboBoxAnswer(*me, msg, wParam, lParam, &handled);
        break;
    case Kind::ListView:
        r = ListViewAnswer(*me, msg, wParam, lParam, &handled);
        break;
    case Kind::DatePicker:
        r = DateAnswer(*me, msg, wParam, lParam, &handled);
        break;
    case Kind::Generic:
        break;
    }
    if (handled) return r;
    me = Win(self);
    if (!me) return 0;
    return DefaultAnswer(*me, msg, wParam, lParam, &handled);
}

intptr_t CSimCore::DefaultAnswer(Window& w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                 bool* handled) {
    *handled = true;
    switch (msg) {
    case wm::GETTEXT:
        return CopyLimited(w.text, lParam, wParam);
    case wm::GETTEXTLENGTH:
        return intptr_t(w.text.size());
    case wm::SETTEXT:
        SetText(w, lParam ? std::string(reinterpret_cast<const char*>(lParam)) : std::string());
        return 1;
    case wm::GETFONT:
        return intptr_t(w.font);
    case wm::SETFONT:
        w.font = WsHandle(wParam);
        return 0;
    default:
        *handled = false;
        return 0;
    }
}

intptr_t CSimCore::EditAnswer(Window& w, uint32_t msg, uintptr_t wParam, bool* handled) {
    if (msg != wm::CHAR) return 0;
    *handled = true;
    if (w.style & kEsReadOnly) return 0;
    std::string text = w.text;
    if (wideChar_ && wParam >= 0x80) {
        // A UTF-16 code unit; a high surrogate waits for its low half.
        wideChar_ = false;
        const char16_t unit = char16_t(wParam & 0xFFFF);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            w.highSurrogate = unit;
            return 0;
        }
        char16_t pair[2] = {w.highSurrogate, unit};
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF && w.highSurrogate != 0;
        w.highSurrogate = 0;
        text += Utf8FromUtf16(low ? pair : pair + 1, low ? 2 : 1);
        SetText(w, text);
        return 0;
    }
    const char c = char(wParam & 0xFF);
    if (c == '\b') {
        if (!text.empty()) text.pop_back();
    } else if (c == '\r') {
        if (w.style & kEsMultiline) text += "\r\n";
    } else if ((unsigned char)c >= 0x20 || c == '\t') {
        text += c;
    }
    SetText(w, text);
    return 0;
}

intptr_t CSimCore::ButtonAnswer(Window& w, uint32_t msg, uintptr_t wParam, bool* handled) {
    *handled = true;
    switch (msg) {
    case wm::LBUTTONDOWN:
        w.pressed = true;
        return 0;
    case wm::LBUTTONUP:
        if (w.pressed) {
            w.pressed = false;
            Click(w);
        }
        return 0;
    case bm::CLICK:
        Click(w);
        return 0;
    case bm::GETCHECK:
        return w.check;
    case bm::SETCHECK:
        if (IsCheckStyle(w.style) && w.check != int(wParam & 3)) {
            w.check = int(wParam & 3);
            Log("check " + Hex8(w.hwnd) + " " + std::to_string(w.check));
        }
        return 0;
    default:
        *handled = false;
        return 0;
    }
}

void CSimCore::Click(Window& w) {
    if (w.style & ws::DISABLED) return;
    const uint32_t type = w.style & bs::TYPEMASK;
    if (type == bs::GROUPBOX) return;
    int check = w.check;
    if (type == bs::AUTOCHECKBOX) check = w.check ? 0 : 1;
    if (type == bs::AUTO3STATE) check = (w.check + 1) % 3;
    if (type == bs::AUTORADIOBUTTON) {
        check = 1;
        if (Window* p = Win(w.parent))
            for (WsHandle s : p->children) {
                Window* sw = Win(s);
                if (sw && sw != &w && sw->kind == Kind::Button &&
                    (sw->style & bs::TYPEMASK) == bs::AUTORADIOBUTTON && sw->check) {
                    sw->check = 0;
                    Log("check " + Hex8(sw->hwnd) + " 0");
                }
            }
    }
    if (check != w.check) {
        w.check = check;
        Log("check " + Hex8(w.hwnd) + " " + std::to_string(check));
    }
    Notify(w, bn::CLICKED);
}

void CSimCore::Notify(Window& w, uint32_t code) {
    if (!w.parent) return;
    const uintptr_t wParam = (uintptr_t(code & 0xFFFF) << 16) | (uint32_t(w.id) & 0xFFFF);
    SendMessageA(w.parent, wm::COMMAND, wParam, intptr_t(w.hwnd));
}

intptr_t CSimCore::ListBoxAnswer(Window& w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                 bool* handled) {
    *handled = true;
    const size_t i = size_t(wParam);
    const bool valid = i < w.items.size();
    const bool multiple = (w.style & (lbs::MULTIPLESEL | lbs::EXTENDEDSEL)) != 0;
    switch (msg) {
    case lb::GETCOUNT:
        return intptr_t(w.items.size());
    case lb::GETCURSEL:
        return w.curSel;
    case lb::SETSEL: {
        // lParam: the item, or -1 for every item.
        if (!multiple) return lb::ERR;
        const intptr_t at = lParam;
        if (at != -1 && (at < 0 || size_t(at) >= w.items.size())) return lb::ERR;
        for (size_t k = 0; k < w.items.size(); ++k) {
            if (at != -1 && size_t(at) != k) continue;
            const uint32_t s =
                wParam ? (w.items[k].state | lvis::SELECTED) : (w.items[k].state & ~lvis::SELECTED);
            if (s == w.items[k].state) continue;
            w.items[k].state = s;
            Log("item-state " + Hex8(w.hwnd) + " " + std::to_string(k) + " " + Hex4(s));
        }
        return 0;
    }
    case lb::GETSEL:
        if (!valid) return lb::ERR;
        if (!multiple) return int(i) == w.curSel ? 1 : 0;
        return (w.items[i].state & lvis::SELECTED) ? 1 : 0;
    case lb::GETSELCOUNT:
        if (!multiple) return lb::ERR;
        return std::count_if(w.items.begin(), w.items.end(),
                             [](const Item& it) { return (it.state & lvis::SELECTED) != 0; });
    case lb::SETCURSEL:
        if (multiple) return lb::ERR;
        if (intptr_t(wParam) == -1) {
            w.curSel = -1;
            return lb::ERR;
        }
        if (!valid) return lb::ERR;
        w.curSel = int(i);
        return intptr_t(i);
    case lb::GETTEXT:
        return valid ? ItemCopy(w, i, lParam) : lb::ERR;
    case lb::GETTEXTLEN:
        return valid ? ItemLength(w, i) : lb::ERR;
    case lb::GETITEMDATA:
        return valid ? intptr_t(w.items[i].data) : lb::ERR;
    case lb::GETITEMHEIGHT:
        if (valid) return w.items[i].height;
        return w.items.empty() ? 16 : w.items.front().height;
    case lb::GETHORIZONTALEXTENT:
        return w.horizontalExtent;
    case lb::ADDSTRING:
        if (!lParam) return lb::ERR;
        w.items.push_back(Item{reinterpret_cast<const char*>(lParam), {}, 0, 16, 0});
        return intptr_t(w.items.size() - 1);
    default:
        *handled = false;
        return 0;
    }
}

intptr_t CSimCore::ComboBoxAnswer(Window& w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                  bool* handled) {
    *handled = true;
    const size_t i = size_t(wParam);
    const bool valid = i < w.items.size();
    switch (msg) {
    case cb::GETCOUNT:
        return intptr_t(w.items.size());
    case cb::GETCURSEL:
        return w.curSel;
    case cb::SETCURSEL:
        if (!valid) {
            w.curSel = -1;
            return cb::ERR;
        }
        w.curSel = int(i);
        SetText(w, w.items[i].text);
        return intptr_t(i);
    case cb::GETLBTEXT:
        return valid ? ItemCopy(w, i, lParam) : cb::ERR;
    case cb::GETLBTEXTLEN:
        return valid ? ItemLength(w, i) : cb::ERR;
    case cb::GETITEMDATA:
        return valid ? intptr_t(w.items[i].data) : cb::ERR;
    default:
        *handled = false;
        return 0;
    }
}

intptr_t CSimCore::ListViewAnswer(Window& w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                  bool* handled) {
    *handled = true;
    const size_t i = size_t(wParam);
    const bool valid = i < w.items.size();
    switch (msg) {
    case lvm::GETITEMCOUNT:
        return intptr_t(w.items.size());
    case lvm::GETSELECTEDCOUNT:
        return std::count_if(w.items.begin(), w.items.end(),
                             [](const Item& it) { return (it.state & lvis::SELECTED) != 0; });
    case lvm::GETITEMSTATE:
        return valid ? intptr_t(w.items[i].state & uint32_t(lParam)) : 0;
    case lvm::GETNEXTITEM: {
        // Only the next item whatever its state is answered: the item
        // after wParam (-1: the first), or -1 after the last.
        const intptr_t next = intptr_t(wParam) + 1;
        if (uint32_t(lParam) != lvni::ALL || next < 0) return -1;
        return size_t(next) < w.items.size() ? next : -1;
    }
    default:
        break;
    }
    const bool wide = msg == lvm::GETITEMTEXTW;
    if (msg != lvm::GETITEMTEXTA && !wide && msg != lvm::SETITEMSTATE) {
        *handled = false;
        return 0;
    }
    // The request record lies in this control's own process, laid out the
    // way that process lays out LVITEMA.
    const Process* proc = FindProcess(w.pid);
    if (!proc) return 0;
    const LvItemLayout& lay = LvItemLayoutFor(proc->bits);
    uint8_t rec[kLvItemMaxSize] = {};
    if (!RemoteRead(w.pid, WsMem(uint64_t(lParam)), rec, lay.size)) return 0;
    auto field32 = [&](uint32_t off) { return uint32_t(ReadUnsigned(rec + off, 4)); };
    if (msg == lvm::GETITEMTEXTA || wide) {
        if (!valid) return 0;
        const int sub = int32_t(field32(lay.iSubItem));
        const WsMem text = ReadUnsigned(rec + lay.pszText, lay.pointerSize);
        const int max = int32_t(field32(lay.cchTextMax));
        if (text == 0 || max <= 0) return 0;
        const Item& item = w.items[i];
        std::string value;
        if (sub == 0)
            value = item.text;
        else if (sub > 0 && size_t(sub) <= item.subitems.size())
            value = item.subitems[size_t(sub) - 1];
        size_t n = 0;
        std::string out;
        if (wide) {
            // cchTextMax counts UTF-16 units; a pair is not split.
            const std::u16string units = Utf16FromUtf8(value);
            n = std::min<size_t>(units.size(), size_t(max) - 1);
            if (n > 0 && n < units.size() && units[n - 1] >= 0xD800 && units[n - 1] <= 0xDBFF) --n;
            for (size_t k = 0; k <= n; ++k) {
                const char16_t u = k < n ? units[k] : u'\0';
                out.push_back(char(u & 0xFF));
                out.push_back(char(u >> 8));
            }
        } else {
            n = Utf8CutLength(value, size_t(max) - 1);
            out = value.substr(0, n);
            out.push_back('\0');
        }
        if (!RemoteWrite(w.pid, text, out.data(), out.size())) return 0;
        return intptr_t(n);
    }
    // LVM_SETITEMSTATE: wParam -1 means every item.
    const uint32_t state = field32(lay.state), mask = field32(lay.stateMask);
    size_t first = i, last = i;
    if (intptr_t(wParam) == -1) {
        first = 0;
        last = w.items.empty() ? 0 : w.items.size() - 1;
        if (w.items.empty()) return 1;
    } else if (!valid) {
        return 0;
    }
    for (size_t k = first; k <= last; ++k) {
        uint32_t s = (w.items[k].state & ~mask) | (state & mask);
        if (s != w.items[k].state) {
            w.items[k].state = s;
            Log("item-state " + Hex8(w.hwnd) + " " + std::to_string(k) + " " + Hex4(s));
        }
    }
    return 1;
}

intptr_t CSimCore::DateAnswer(Window& w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                              bool* handled) {
    *handled = true;
    switch (msg) {
    case dtm::GETSYSTEMTIME: {
        // A SYSTEMTIME in the control's own process: year, month, day of
        // the week (left 0), day, and a time of 0:00.
        uint16_t st[8] = {uint16_t(w.date[2]), uint16_t(w.date[0]), 0, uint16_t(w.date[1])};
        uint8_t bytes[sizeof st];
        for (size_t i = 0; i < 8; ++i) {
            bytes[2 * i] = uint8_t(st[i] & 0xFF);
            bytes[2 * i + 1] = uint8_t(st[i] >> 8);
        }
        if (!lParam || !RemoteWrite(w.pid, WsMem(uint64_t(lParam)), bytes, sizeof bytes))
            return dtm::GDT_ERROR;
        return dtm::GDT_VALID;
    }
    case wm::LBUTTONDOWN:
        w.dateField = 0;
        w.dateDigits.clear();
        return 0;
    case wm::KEYDOWN:
        if (wParam == vk::RIGHT)
            w.dateField = (w.dateField + 1) % 3;
        else if (wParam == vk::LEFT)
            w.dateField = (w.dateField + 2) % 3;
        else
            return 0;
        w.dateDigits.clear();
        return 0;
    case wm::CHAR: {
        const char c = char(wParam & 0xFF);
        if (c < '0' || c > '9') return 0;
        const size_t width = w.dateField == 2 ? 4 : 2;
        if (w.dateDigits.size() >= width) w.dateDigits.clear();
        w.dateDigits += c;
        const int v = std::atoi(w.dateDigits.c_str());
        int* date = w.date;
        if (w.dateField == 0 && v >= 1 && v <= 12) {
            date[0] = v;
            date[1] = std::min(date[1], DaysIn(date[0], date[2]));
        } else if (w.dateField == 1 && v >= 1 && v <= DaysIn(date[0], date[2])) {
            date[1] = v;
        } else if (w.dateField == 2 && w.dateDigits.size() == 4 && v >= 1601) {
            date[2] = v;
            date[1] = std::min(date[1], DaysIn(date[0], date[2]));
        }
        SetText(w, DateText(date));
        return 0;
    }
    default:
        *handled = false;
        return 0;
    }
}

void CSimCore::RunAction(Window& w, const Action& a) {
    const WsHandle target = a.window ? a.window : w.hwnd;
    Window* t = Win(target);
    switch (a.type) {
    case Action::SetText:
        if (t) SetText(*t, a.text);
        break;
    case Action::Show:
    case Action::Hide:
        if (t) {
            const bool show = a.type == Action::Show;
            if (bool(t->style & ws::VISIBLE) != show) {
                t->style = show ? (t->style | ws::VISIBLE) : (t->style & ~ws::VISIBLE);
                Log("show " + Hex8(target) + (show ? " 1" : " 0"));
            }
        }
        break;
    case Action::Clipboard:
        PutOnClipboard(w, a.text);
        break;
    case Action::ClipboardFrom:
        if (t) PutOnClipboard(w, t->text);
        break;
    case Action::ClearClipboard:
        if (clipOpen_ && clipOpener_ != w.hwnd) {
            Log("clipboard-clear " + Hex8(w.hwnd) + " busy");
        } else {
            clip_ = Clip{};
            clipOwner_ = w.hwnd;
            Log("clipboard-clear " + Hex8(w.hwnd));
        }
        break;
    case Action::Send:
        SendMessageA(target, a.msg, uintptr_t(a.wParam),
                     CarriesPointer(a.msg) ? reinterpret_cast<intptr_t>(a.text.c_str())
                                           : intptr_t(a.lParam));
        break;
    case Action::Post:
        PostMessageA(target, a.msg, uintptr_t(a.wParam), intptr_t(a.lParam));
        break;
    case Action::ToTop:
        if (t) {
            std::vector<WsHandle>& sib = SiblingsOf(*t);
            auto at = std::find(sib.begin(), sib.end(), target);
            if (at != sib.end() && at != sib.begin()) {
                std::rotate(sib.begin(), at, at + 1);
                Log("to-top " + Hex8(target));
            }
        }
        break;
    case Action::Mark:
        if (std::find(w.marks.begin(), w.marks.end(), a.text) == w.marks.end())
            w.marks.push_back(a.text);
        break;
    }
}

} // namespace sim
