// Loading a simulated desktop from a JSON scene.  Every value is checked;
// a problem is reported with the key path that holds it.
#include "platform/errtext.h"
#include "winsys/sim/simdesktop.h"
#include "textutil/strfld.h"
#include "textutil/utf8.h"
#include "winsys/eventlog.h"
#include "winsys/wsdefs.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <set>
#include <sstream>

namespace sim {

using namespace evlog;

using nlohmann::json;

namespace {

struct SceneError {
    std::string text;
};

constexpr uint32_t kDefaultTopStyle = 0x10CF0000;   // WS_OVERLAPPEDWINDOW | WS_VISIBLE
constexpr uint32_t kDefaultChildStyle = 0x50000000; // WS_CHILD | WS_VISIBLE
constexpr size_t kMaxWindows = 100000;
constexpr size_t kMaxItems = 100000;
constexpr int kMaxDepth = 64;
constexpr size_t kMaxSceneBytes = size_t(16) << 20;

[[noreturn]] void Fail(const std::string& path, const std::string& why) {
    throw SceneError{path + ": " + why};
}

constexpr size_t kShownChars = 40; // of a value quoted in a message

// Appends v as JSON text to out, stopping soon after out holds kShownChars
// characters: a value of any size or depth costs a few characters, and the
// recursion ends within as many levels (every level adds its bracket), so a
// scene of deeply nested arrays cannot take the stack with it.
void AppendShown(const json& v, std::string& out) {
    if (!v.is_structured()) {
        out += v.dump();
        return;
    }
    const bool array = v.is_array();
    out += array ? '[' : '{';
    bool first = true;
    for (auto it = v.begin(); it != v.end() && out.size() <= kShownChars; ++it) {
        if (!first) out += ',';
        first = false;
        if (!array) out += json(it.key()).dump() + ":";
        AppendShown(*it, out);
    }
    out += array ? ']' : '}';
}

std::string Shown(const json& v) {
    std::string s;
    AppendShown(v, s);
    if (s.size() > kShownChars) s = s.substr(0, kShownChars - 3) + "...";
    return s;
}

void CheckKeys(const json& obj, const std::string& path, std::initializer_list<const char*> keys) {
    if (!obj.is_object()) Fail(path, "expected an object, found " + Shown(obj));
    for (auto it = obj.begin(); it != obj.end(); ++it) {
        bool known = false;
        for (const char* k : keys) known = known || it.key() == k;
        if (!known) Fail(path + "." + it.key(), "unknown key");
    }
}

// An integer in [lo, hi]: a JSON number, or a text in decimal or with "0x".
int64_t Int(const json& v, const std::string& path, int64_t lo, int64_t hi) {
    int64_t n = 0;
    if (v.is_number_integer()) {
        if (v.is_number_unsigned() && v.get<uint64_t>() > uint64_t(INT64_MAX))
            Fail(path, "number out of range");
        n = v.get<int64_t>();
    } else if (v.is_string()) {
        const std::string s = v.get<std::string>();
        const bool neg = !s.empty() && s[0] == '-';
        const std::string body = neg ? s.substr(1) : s;
        const bool hex = body.size() > 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X');
        const std::string digits = hex ? body.substr(2) : body;
        if (digits.empty() || digits.size() > 16)
            Fail(path, "expected a number, found " + Shown(v));
        uint64_t u = 0;
        for (char c : digits) {
            int d = (c >= '0' && c <= '9')          ? c - '0'
                    : hex && (c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : hex && (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                    : -1;
            if (d < 0) Fail(path, "expected a number, found " + Shown(v));
            u = u * (hex ? 16 : 10) + uint64_t(d);
        }
        if (u > uint64_t(INT64_MAX)) Fail(path, "number out of range");
        n = neg ? -int64_t(u) : int64_t(u);
    } else {
        Fail(path, "expected a number, found " + Shown(v));
    }
    if (n < lo || n > hi)
        Fail(path, "expected a number from " + std::to_string(lo) + " to " + std::to_string(hi) +
                       ", found " + Shown(v));
    return n;
}

uint32_t Handle(const json& v, const std::string& path) {
    return uint32_t(Int(v, path, 1, 0xFFFFFFFF));
}

std::string Text(const json& v, const std::string& path) {
    if (!v.is_string()) Fail(path, "expected a text, found " + Shown(v));
    return v.get<std::string>();
}

bool Bool(const json& v, const std::string& path) {
    if (!v.is_boolean()) Fail(path, "expected true or false, found " + Shown(v));
    return v.get<bool>();
}

const json& Array(const json& v, const std::string& path) {
    if (!v.is_array()) Fail(path, "expected an array, found " + Shown(v));
    return v;
}

uint32_t MessageNumber(const json& v, const std::string& path) {
    if (v.is_string()) {
        uint32_t msg = 0;
        if (MessageByName(v.get<std::string>(), &msg)) return msg;
        const std::string s = v.get<std::string>();
        if (s.rfind("0x", 0) != 0 && s.rfind("0X", 0) != 0)
            Fail(path, "unknown message name " + Shown(v));
    }
    return uint32_t(Int(v, path, 0, 0xFFFFFFFF));
}

Kind KindOf(const std::string& cls) {
    struct {
        const char* cls;
        Kind kind;
    } const kClasses[] = {{"Edit", Kind::Edit},
                          {"Button", Kind::Button},
                          {"ListBox", Kind::ListBox},
                          {"ComboBox", Kind::ComboBox},
                          {"ComboLBox", Kind::ListBox},
                          {"SysListView32", Kind::ListView},
                          {"SysDateTimePick32", Kind::DatePicker}};
    for (const auto& c : kClasses)
        if (strcmpci(cls.c_str(), c.cls, 1) == 0) return c.kind;
    return Kind::Generic;
}

// "line L, column C" of the byte-th character (counted from 1).
std::string Where(const std::string& text, size_t byte) {
    size_t line = 1, column = 0;
    for (size_t i = 0; i < text.size() && i < byte; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 0;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

} // namespace

// Builds the desktop's tables from the parsed scene.
class SceneLoader {
public:
    explicit SceneLoader(CSimCore& d) : d_(d) {}

    void Load(const std::string& name, const json& scene) {
        CheckKeys(scene, "scene",
                  {"name", "description", "clock", "systemFont", "fonts", "processes", "menus",
                   "windows", "clipboard", "focus", "lowWordHandles"});
        d_.name_ = name;
        if (scene.contains("name")) d_.name_ = Text(scene["name"], "name");
        d_.description_ = scene.contains("description") ? Text(scene["description"], "description")
                                                        : "Desktop: simulated (" + d_.name_ + ")";
        if (scene.contains("clock")) Clock(scene["clock"]);
        if (scene.contains("systemFont")) {
            d_.systemFont_ = FontOf(scene["systemFont"], "systemFont");
        }
        if (scene.contains("fonts")) {
            const json& fonts = Array(scene["fonts"], "fonts");
            for (size_t i = 0; i < fonts.size(); ++i) {
                std::string path = "fonts[" + std::to_string(i) + "]";
                Font f = FontOf(fonts[i], path);
                if (f.handle == d_.systemFont_.handle || d_.fonts_.count(f.handle))
                    Fail(path + ".handle", "handle used twice");
                d_.fonts_[f.handle] = f;
            }
        }
        if (scene.contains("processes")) {
            const json& procs = Array(scene["processes"], "processes");
            for (size_t i = 0; i < procs.size(); ++i)
                ProcessOf(procs[i], "processes[" + std::to_string(i) + "]");
        }
        if (scene.contains("menus")) {
            const json& menus = Array(scene["menus"], "menus");
            for (size_t i = 0; i < menus.size(); ++i)
                MenuOf(menus[i], "menus[" + std::to_string(i) + "]", 0);
        }
        if (scene.contains("windows")) {
            const json& wins = Array(scene["windows"], "windows");
            for (size_t i = 0; i < wins.size(); ++i) {
                WsHandle h = WindowOf(wins[i], "windows[" + std::to_string(i) + "]", nullptr, 0);
                d_.topLevel_.push_back(h);
            }
        }
        CheckReferences();
        if (scene.contains("lowWordHandles")) {
            const json& v = scene["lowWordHandles"];
            const bool pairs = v.is_string() && v.get<std::string>() == "pairs";
            if (pairs || Bool(v, "lowWordHandles")) d_.MakeAliases(pairs);
        }
        if (scene.contains("clipboard")) ClipboardOf(scene["clipboard"]);
        if (scene.contains("focus")) {
            WsHandle f = Handle(scene["focus"], "focus");
            if (!d_.windows_.count(f)) Fail("focus", "no window " + Hex8(f));
            d_.focus_ = f;
        }
    }

private:
    void Clock(const json& c) {
        CheckKeys(c, "clock", {"start", "costMicros"});
        if (c.contains("start"))
            d_.micros_ = uint64_t(Int(c["start"], "clock.start", 0, 0xFFFFFFFF)) * 1000;
        if (c.contains("costMicros"))
            d_.costMicros_ = uint64_t(Int(c["costMicros"], "clock.costMicros", 0, 1000000));
    }

    Font FontOf(const json& f, const std::string& path) {
        CheckKeys(f, path, {"handle", "name", "width", "height", "abcWidth"});
        Font font;
        if (!f.contains("handle")) Fail(path + ".handle", "missing");
        font.handle = Handle(f["handle"], path + ".handle");
        if (f.contains("name")) font.name = Text(f["name"], path + ".name");
        if (f.contains("width")) font.width = int(Int(f["width"], path + ".width", 0, 1000));
        if (f.contains("height")) font.height = int(Int(f["height"], path + ".height", 0, 1000));
        if (f.contains("abcWidth"))
            font.abcWidth = int(Int(f["abcWidth"], path + ".abcWidth", 0, 3000));
        return font;
    }

    void ProcessOf(const json& p, const std::string& path) {
        CheckKeys(p, path, {"pid", "bits", "name", "threads", "openable", "memoryLimit"});
        Process proc;
        if (!p.contains("pid")) Fail(path + ".pid", "missing");
        proc.pid = uint32_t(Int(p["pid"], path + ".pid", 1, 0xFFFFFFFF));
        if (d_.processes_.count(proc.pid)) Fail(path + ".pid", "process id used twice");
        if (p.contains("bits")) {
            proc.bits = int(Int(p["bits"], path + ".bits", 32, 64));
            if (proc.bits != 32 && proc.bits != 64) Fail(path + ".bits", "expected 32 or 64");
        }
        if (p.contains("name")) proc.name = Text(p["name"], path + ".name");
        if (p.contains("openable")) proc.openable = Bool(p["openable"], path + ".openable");
        if (p.contains("memoryLimit"))
            proc.memoryLimit = size_t(
                Int(p["memoryLimit"], path + ".memoryLimit", 0, CSimCore::kMaxProcessMemory));
        if (p.contains("threads")) {
            const json& t = Array(p["threads"], path + ".threads");
            for (size_t i = 0; i < t.size(); ++i) {
                std::string tp = path + ".threads[" + std::to_string(i) + "]";
                uint32_t tid = uint32_t(Int(t[i], tp, 1, 0xFFFFFFFF));
                if (d_.threadPid_.count(tid)) Fail(tp, "thread id used twice");
                d_.threadPid_[tid] = proc.pid;
                proc.threads.push_back(tid);
            }
        }
        if (proc.threads.empty()) {
            // A process has at least one thread: its id follows the pid.
            uint32_t tid = proc.pid + 4;
            if (d_.threadPid_.count(tid)) Fail(path + ".threads", "missing");
            d_.threadPid_[tid] = proc.pid;
            proc.threads.push_back(tid);
        }
        proc.nextAddress = proc.bits == 32 ? 0x00500000ull : 0x000001F000000000ull;
        d_.processes_[proc.pid] = std::move(proc);
    }

    void Claim(WsHandle h, const std::string& path) {
        if (!handles_.insert(h).second) Fail(path, "handle " + Hex8(h) + " used twice");
    }

    WsHandle MenuOf(const json& m, const std::string& path, int depth) {
        if (depth > kMaxDepth) Fail(path, "menus nested too deeply");
        CheckKeys(m, path, {"handle", "items"});
        if (!m.contains("handle")) Fail(path + ".handle", "missing");
        Menu menu;
        menu.handle = Handle(m["handle"], path + ".handle");
        Claim(menu.handle, path + ".handle");
        d_.menus_[menu.handle] = Menu{menu.handle, {}};
        if (m.contains("items")) {
            const json& items = Array(m["items"], path + ".items");
            for (size_t i = 0; i < items.size(); ++i) {
                std::string ip = path + ".items[" + std::to_string(i) + "]";
                const json& it = items[i];
                CheckKeys(it, ip, {"text", "id", "submenu", "separator", "grayed"});
                MenuItem mi;
                if (it.contains("text")) mi.text = Text(it["text"], ip + ".text");
                if (it.contains("id")) mi.id = uint32_t(Int(it["id"], ip + ".id", 0, 0xFFFF));
                if (it.contains("separator"))
                    mi.separator = Bool(it["separator"], ip + ".separator");
                if (it.contains("grayed")) mi.grayed = Bool(it["grayed"], ip + ".grayed");
                if (it.contains("submenu")) {
                    const json& s = it["submenu"];
                    if (s.is_object()) {
                        mi.submenu = MenuOf(s, ip + ".submenu", depth + 1);
                    } else {
                        mi.submenu = Handle(s, ip + ".submenu");
                        menuRefs_.push_back({mi.submenu, ip + ".submenu"});
                    }
                }
                menu.items.push_back(std::move(mi));
            }
        }
        const WsHandle h = menu.handle;
        d_.menus_[h] = std::move(menu);
        return h;
    }

    void ItemsOf(Window& w, const json& items, const std::string& path) {
        Array(items, path);
        if (items.size() > kMaxItems) Fail(path, "too many items");
        for (size_t i = 0; i < items.size(); ++i) {
            std::string ip = path + "[" + std::to_string(i) + "]";
            const json& it = items[i];
            Item item;
            if (it.is_string()) {
                item.text = it.get<std::string>();
            } else {
                CheckKeys(it, ip, {"text", "columns", "data", "height", "selected", "focused"});
                if (it.contains("text")) item.text = Text(it["text"], ip + ".text");
                if (it.contains("columns")) {
                    const json& cols = Array(it["columns"], ip + ".columns");
                    for (size_t c = 0; c < cols.size(); ++c)
                        item.subitems.push_back(
                            Text(cols[c], ip + ".columns[" + std::to_string(c) + "]"));
                }
                if (it.contains("data"))
                    item.data = Int(it["data"], ip + ".data", INT32_MIN, UINT32_MAX);
                if (it.contains("height"))
                    item.height = int(Int(it["height"], ip + ".height", 0, 255));
                if (it.contains("selected") && Bool(it["selected"], ip + ".selected"))
                    item.state |= lvis::SELECTED;
                if (it.contains("focused") && Bool(it["focused"], ip + ".focused"))
                    item.state |= lvis::FOCUSED;
            }
            w.items.push_back(std::move(item));
        }
    }

    Action ActionOf(const json& a, const std::string& path) {
        CheckKeys(a, path,
                  {"setText", "window", "show", "hide", "clipboard", "clipboardFrom",
                   "clearClipboard", "send", "post", "mark", "toTop"});
        Action act;
        act.type = Action::SetText;
        int kinds = 0;
        auto target = [&](const json& v, const std::string& p) {
            return v.is_number_integer() && v.get<int64_t>() == 0 ? WsHandle(0) : Handle(v, p);
        };
        if (a.contains("setText")) {
            act.type = Action::SetText;
            act.text = Text(a["setText"], path + ".setText");
            ++kinds;
        }
        if (a.contains("show")) {
            act.type = Action::Show;
            act.window = target(a["show"], path + ".show");
            ++kinds;
        }
        if (a.contains("hide")) {
            act.type = Action::Hide;
            act.window = target(a["hide"], path + ".hide");
            ++kinds;
        }
        if (a.contains("clipboard")) {
            act.type = Action::Clipboard;
            act.text = Text(a["clipboard"], path + ".clipboard");
            ++kinds;
        }
        if (a.contains("clipboardFrom")) {
            act.type = Action::ClipboardFrom;
            act.window = target(a["clipboardFrom"], path + ".clipboardFrom");
            ++kinds;
        }
        if (a.contains("clearClipboard")) {
            Bool(a["clearClipboard"], path + ".clearClipboard");
            act.type = Action::ClearClipboard;
            ++kinds;
        }
        if (a.contains("toTop")) {
            act.type = Action::ToTop;
            act.window = target(a["toTop"], path + ".toTop");
            ++kinds;
        }
        if (a.contains("mark")) {
            act.type = Action::Mark;
            act.text = Text(a["mark"], path + ".mark");
            if (act.text.empty()) Fail(path + ".mark", "expected a name");
            ++kinds;
        }
        for (const char* k : {"send", "post"}) {
            if (!a.contains(k)) continue;
            const std::string mp = path + "." + k;
            const json& m = a[k];
            CheckKeys(m, mp, {"window", "message", "wParam", "lParam", "text"});
            act.type = std::string(k) == "send" ? Action::Send : Action::Post;
            if (!m.contains("message")) Fail(mp + ".message", "missing");
            act.msg = MessageNumber(m["message"], mp + ".message");
            // The receiver would write its answer into the action's own
            // text, whatever its size: a scene has no buffer to offer.
            if (act.type == Action::Send && FillsBuffer(act.msg))
                Fail(mp + ".message",
                     MessageName(act.msg) + " fills a buffer; a scene cannot send it");
            if (m.contains("window")) act.window = target(m["window"], mp + ".window");
            if (m.contains("wParam"))
                act.wParam = uint64_t(Int(m["wParam"], mp + ".wParam", 0, UINT32_MAX));
            if (m.contains("lParam"))
                act.lParam = Int(m["lParam"], mp + ".lParam", INT32_MIN, UINT32_MAX);
            if (m.contains("text")) act.text = Text(m["text"], mp + ".text");
            ++kinds;
        }
        if (a.contains("window")) {
            if (act.type != Action::SetText) Fail(path + ".window", "only with setText");
            act.window = target(a["window"], path + ".window");
        }
        if (kinds != 1) Fail(path, "expected exactly one action");
        if (act.window) windowRefs_.push_back({act.window, path});
        return act;
    }

    Behaviour BehaviourOf(const json& b, const std::string& path) {
        CheckKeys(b, path,
                  {"message", "wParam", "id", "lParam", "marked", "do", "result", "delayMs"});
        Behaviour beh;
        if (!b.contains("message")) Fail(path + ".message", "missing");
        beh.msg = MessageNumber(b["message"], path + ".message");
        if (b.contains("wParam"))
            beh.wParam = uint64_t(Int(b["wParam"], path + ".wParam", 0, UINT32_MAX));
        if (b.contains("id")) beh.id = uint32_t(Int(b["id"], path + ".id", 0, 0xFFFF));
        if (b.contains("lParam"))
            beh.lParam = Int(b["lParam"], path + ".lParam", INT32_MIN, UINT32_MAX);
        if (b.contains("marked")) beh.marked = Text(b["marked"], path + ".marked");
        if (b.contains("result"))
            beh.result = Int(b["result"], path + ".result", INT32_MIN, UINT32_MAX);
        if (b.contains("delayMs"))
            beh.delayMs = uint32_t(Int(b["delayMs"], path + ".delayMs", 0, 86400000));
        if (b.contains("do")) {
            const json& acts = Array(b["do"], path + ".do");
            for (size_t i = 0; i < acts.size(); ++i)
                beh.actions.push_back(ActionOf(acts[i], path + ".do[" + std::to_string(i) + "]"));
        }
        return beh;
    }

    void DateOf(Window& w, const json& v, const std::string& path) {
        const std::string s = Text(v, path);
        int y = 0, m = 0, d = 0;
        char tail = 0;
        if (std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3 || y < 1601 ||
            y > 9999 || m < 1 || m > 12 || d < 1 || d > 31)
            Fail(path, "expected a date YYYY-MM-DD, found " + Shown(v));
        w.date[0] = m;
        w.date[1] = d;
        w.date[2] = y;
    }

    WsHandle WindowOf(const json& j, const std::string& path, Window* parent, int depth) {
        if (depth > kMaxDepth) Fail(path, "windows nested too deeply");
        if (d_.windows_.size() >= kMaxWindows) Fail(path, "too many windows");
        CheckKeys(j, path,
                  {"handle", "class",   "text",     "style",    "exStyle",          "rect",
                   "id",     "visible", "enabled",  "owner",    "thread",           "process",
                   "font",   "menu",    "items",    "selected", "horizontalExtent", "check",
                   "date",   "on",      "children", "hung",     "showAtMs",         "hideAtMs"});
        auto w = std::make_unique<Window>();
        if (!j.contains("handle")) Fail(path + ".handle", "missing");
        w->hwnd = Handle(j["handle"], path + ".handle");
        Claim(w->hwnd, path + ".handle");
        if (!j.contains("class")) Fail(path + ".class", "missing");
        w->cls = Text(j["class"], path + ".class");
        if (w->cls.empty()) Fail(path + ".class", "empty class name");
        w->kind = KindOf(w->cls);
        if (j.contains("text")) w->text = Text(j["text"], path + ".text");
        w->style = parent ? kDefaultChildStyle : kDefaultTopStyle;
        if (j.contains("style"))
            w->style = uint32_t(Int(j["style"], path + ".style", 0, UINT32_MAX));
        if (j.contains("exStyle"))
            w->exStyle = uint32_t(Int(j["exStyle"], path + ".exStyle", 0, UINT32_MAX));
        if (j.contains("visible")) {
            if (Bool(j["visible"], path + ".visible"))
                w->style |= ws::VISIBLE;
            else
                w->style &= ~ws::VISIBLE;
        }
        if (j.contains("hung")) w->hung = Bool(j["hung"], path + ".hung");
        if (j.contains("showAtMs"))
            d_.AddTimer(w->hwnd, uint64_t(Int(j["showAtMs"], path + ".showAtMs", 0, 0xFFFFFFFF)),
                        true);
        if (j.contains("hideAtMs"))
            d_.AddTimer(w->hwnd, uint64_t(Int(j["hideAtMs"], path + ".hideAtMs", 0, 0xFFFFFFFF)),
                        false);
        if (j.contains("enabled")) {
            if (Bool(j["enabled"], path + ".enabled"))
                w->style &= ~ws::DISABLED;
            else
                w->style |= ws::DISABLED;
        }
        if (j.contains("rect")) {
            const json& r = Array(j["rect"], path + ".rect");
            if (r.size() != 4) Fail(path + ".rect", "expected [left, top, right, bottom]");
            int32_t v[4];
            for (size_t i = 0; i < 4; ++i)
                v[i] = int32_t(
                    Int(r[i], path + ".rect[" + std::to_string(i) + "]", -1000000, 1000000));
            // A child's rectangle is given relative to its parent's corner.
            const int32_t ox = parent ? parent->rect.left : 0, oy = parent ? parent->rect.top : 0;
            w->rect = WsRect{v[0] + ox, v[1] + oy, v[2] + ox, v[3] + oy};
        } else if (parent) {
            w->rect =
                WsRect{parent->rect.left, parent->rect.top, parent->rect.left, parent->rect.top};
        }
        if (j.contains("id")) w->id = int(Int(j["id"], path + ".id", INT32_MIN, INT32_MAX));
        if (j.contains("owner")) {
            if (parent) Fail(path + ".owner", "only top-level windows have an owner");
            w->owner = Handle(j["owner"], path + ".owner");
            windowRefs_.push_back({w->owner, path + ".owner"});
        }
        if (j.contains("thread") && j.contains("process"))
            Fail(path + ".process", "give either thread or process");
        if (j.contains("thread")) {
            w->thread = uint32_t(Int(j["thread"], path + ".thread", 1, UINT32_MAX));
            auto t = d_.threadPid_.find(w->thread);
            if (t == d_.threadPid_.end()) Fail(path + ".thread", "no process has this thread");
            w->pid = t->second;
        } else if (j.contains("process")) {
            w->pid = uint32_t(Int(j["process"], path + ".process", 1, UINT32_MAX));
            auto p = d_.processes_.find(w->pid);
            if (p == d_.processes_.end()) Fail(path + ".process", "no such process");
            w->thread = p->second.threads.front();
        } else if (parent) {
            w->thread = parent->thread;
            w->pid = parent->pid;
        }
        if (j.contains("font")) {
            w->font = uint32_t(Int(j["font"], path + ".font", 0, UINT32_MAX));
            if (w->font && !d_.fonts_.count(w->font) && w->font != d_.systemFont_.handle)
                Fail(path + ".font", "no font " + Hex8(w->font));
        }
        if (j.contains("menu")) {
            const json& m = j["menu"];
            if (m.is_object()) {
                w->menu = MenuOf(m, path + ".menu", 0);
            } else {
                w->menu = Handle(m, path + ".menu");
                menuRefs_.push_back({w->menu, path + ".menu"});
            }
        }
        if (j.contains("items")) ItemsOf(*w, j["items"], path + ".items");
        if (j.contains("selected")) {
            w->curSel = int(Int(j["selected"], path + ".selected", -1, INT32_MAX));
            if (w->curSel >= int(w->items.size()))
                Fail(path + ".selected", "no item " + std::to_string(w->curSel));
        }
        if (j.contains("horizontalExtent"))
            w->horizontalExtent =
                int(Int(j["horizontalExtent"], path + ".horizontalExtent", 0, 1000000));
        if (j.contains("check")) w->check = int(Int(j["check"], path + ".check", 0, 2));
        if (j.contains("date")) DateOf(*w, j["date"], path + ".date");
        if (w->kind == Kind::DatePicker && !j.contains("text")) w->text = DateText(w->date);
        if (w->kind == Kind::ComboBox && !j.contains("text") && w->curSel >= 0)
            w->text = w->items[size_t(w->curSel)].text;
        if (j.contains("on")) {
            const json& on = Array(j["on"], path + ".on");
            for (size_t i = 0; i < on.size(); ++i)
                w->behaviours.push_back(
                    BehaviourOf(on[i], path + ".on[" + std::to_string(i) + "]"));
        }
        if (parent) {
            w->parent = parent->hwnd;
            w->style |= ws::CHILD;
        }
        const WsHandle h = w->hwnd;
        Window* self = w.get();
        d_.windows_[h] = std::move(w);
        if (j.contains("children")) {
            const json& kids = Array(j["children"], path + ".children");
            for (size_t i = 0; i < kids.size(); ++i) {
                WsHandle c = WindowOf(kids[i], path + ".children[" + std::to_string(i) + "]", self,
                                      depth + 1);
                self->children.push_back(c);
            }
        }
        return h;
    }

    void CheckReferences() {
        for (const auto& [h, path] : menuRefs_)
            if (!d_.menus_.count(h)) Fail(path, "no menu " + Hex8(h));
        for (const auto& [h, path] : windowRefs_)
            if (!d_.windows_.count(h)) Fail(path, "no window " + Hex8(h));
    }

    void ClipboardOf(const json& c) {
        CheckKeys(c, "clipboard", {"owner", "text", "terminated", "delayed"});
        if (c.contains("owner")) {
            d_.clipOwner_ = Handle(c["owner"], "clipboard.owner");
            if (!d_.windows_.count(d_.clipOwner_))
                Fail("clipboard.owner", "no window " + Hex8(d_.clipOwner_));
        }
        if (c.contains("text")) {
            const bool terminated =
                !c.contains("terminated") || Bool(c["terminated"], "clipboard.terminated");
            d_.clip_.block = CSimCore::TextBlock(Text(c["text"], "clipboard.text"), terminated);
            d_.clip_.handle = d_.nextClipHandle_;
            d_.nextClipHandle_ += 0x10;
        }
        if (c.contains("delayed")) {
            d_.clip_.delayed = Bool(c["delayed"], "clipboard.delayed");
            if (d_.clip_.delayed && !d_.clipOwner_)
                Fail("clipboard.delayed", "a text rendered on demand needs an owner");
            if (d_.clip_.delayed && !d_.clip_.block) {
                d_.clip_.block = CSimCore::TextBlock("", true);
                d_.clip_.handle = d_.nextClipHandle_;
                d_.nextClipHandle_ += 0x10;
            }
        }
    }

    CSimCore& d_;
    std::set<WsHandle> handles_; // windows and menus share one handle space
    std::vector<std::pair<WsHandle, std::string>> menuRefs_;
    std::vector<std::pair<WsHandle, std::string>> windowRefs_;
};

} // namespace sim

using namespace sim;

std::unique_ptr<CSimDesktop> CSimDesktop::FromJson(const std::string& text, const std::string& name,
                                                   std::string* error) {
    json scene;
    try {
        // Texts are UTF-8; bytes that are none stand for U+FFFD, as they
        // would when the tool prints them.
        scene = json::parse(Utf8Repaired(text));
    } catch (const json::parse_error& e) {
        // The parser's text reads "[json...] parse error at line L, column
        // C: why"; keep from the position on.
        std::string why = e.what();
        size_t at = why.find("at line ");
        if (at != std::string::npos)
            why = why.substr(at + 3);
        else
            why = Where(text, e.byte) + ": " + why;
        if (error) *error = why;
        return nullptr;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return nullptr;
    }
    auto desktop = std::make_unique<CSimDesktop>();
    try {
        SceneLoader(desktop->core).Load(name, scene);
    } catch (const SceneError& e) {
        if (error) *error = e.text;
        return nullptr;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return nullptr;
    }
    return desktop;
}

std::unique_ptr<CSimDesktop> CSimDesktop::FromFile(const std::string& path, std::string* error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        if (error) *error = "cannot open (Is a directory)";
        return nullptr;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = std::string("cannot open (") + ErrText(errno) + ")";
        return nullptr;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size < 0 || size > std::streamoff(kMaxSceneBytes)) {
        if (error) *error = "larger than " + std::to_string(kMaxSceneBytes >> 20) + " MB";
        return nullptr;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        if (error) *error = "cannot read";
        return nullptr;
    }
    std::string name = path;
    size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    return FromJson(text.str(), name, error);
}
