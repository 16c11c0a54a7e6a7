// The capture: one walk over the windows asked for, reading what the
// reports read (through the same helpers, at the same bounds), and one scene
// written from it in a fixed order and layout.
#include "tool/capture.h"

#include "asciicase.h"
#include "tool/report.h"
#include "tool/walks.h"
#include "tool/wintext.h"
#include "txt/ctxtarray.h"
#include "txt/ctxtarray_lc.h"
#include "winsys/wsdefs.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string_view>
#include <vector>

namespace {

using Json = nlohmann::ordered_json;

constexpr int kCaptureText = 100000; // a window text, as Desc reads it
constexpr int kShortText = 4095;     // a window text's first read
constexpr int kClassSize = 257;      // class names are at most 256 characters
constexpr int kMaxDepth = 64;        // of windows and of menus, as scenes allow
constexpr int64_t kMaxCoordinate = 1000000;
constexpr int kMaxFontSize = 1000;
constexpr int kUnknownColumns = 64; // read of a list view without a header
constexpr int kMaxColumns = 1000;
constexpr int kNameSize = 260;
constexpr uint32_t kProgressMs = 1000;
constexpr uint32_t kDefaultItemHeight = 16; // a scene item's height unless given

std::string Hex(uint64_t v) {
    char s[24];
    std::snprintf(s, sizeof s, "0x%08llX", (unsigned long long)v);
    return s;
}

// What a walk learns of the processes and fonts it meets.
struct Process {
    std::set<uint32_t> threads;
};
struct Font {
    int width = 0, height = 0, abcWidth = 0;
};

class Capture {
public:
    explicit Capture(CommandContext& ctx)
        : ctx_(ctx), ws_(ctx.ws), lastDot_(ctx.ws.GetTickCount()) {}

    Json Walk(WsHandle root) {
        Json windows = Json::array();
        if (root != 0) {
            // With the windows that own it: the reports name a window's
            // owner as its parent.
            WsHandle h = root;
            for (int n = 0; h != 0 && n < kMaxDepth; ++n) {
                AddWindow(windows, h, false, 0);
                h = ws_.GetWindow(h, gw::OWNER);
            }
        } else {
            std::vector<WsHandle> tops;
            ws_.EnumWindows(
                [](WsHandle h, intptr_t p) {
                    auto* list = reinterpret_cast<std::vector<WsHandle>*>(p);
                    list->push_back(h);
                    return list->size() <= kMaxCaptureWindows ? 1 : 0;
                },
                reinterpret_cast<intptr_t>(&tops));
            for (WsHandle h : tops) AddWindow(windows, h, false, 0);
        }
        if (cut_)
            Note().Printf(
                "tolvane: capture cut at %u windows (or 65 levels, or 65,536 children of one "
                "window)\n",
                unsigned(kMaxCaptureWindows));
        if (unreadMenus_ > 0)
            Note().Printf("tolvane: capture: the menus of %u windows of other processes "
                          "cannot be read here\n",
                          unsigned(unreadMenus_));
        EndDots();

        Json scene;
        // The handles are the platform's, and so is naming a window by the
        // low word of its handle, which the sweeps of the reports rely on.
        scene["lowWordHandles"] = pairs_ ? Json("pairs") : Json(true);
        scene["systemFont"] = SystemFont();
        if (!fonts_.empty()) {
            Json fonts = Json::array();
            for (const auto& [h, f] : fonts_) {
                if (h == systemFont_) continue;
                Json j;
                j["handle"] = Hex(h);
                j["width"] = f.width;
                j["height"] = f.height;
                j["abcWidth"] = f.abcWidth;
                fonts.push_back(j);
            }
            if (!fonts.empty()) scene["fonts"] = fonts;
        }
        Json procs = Json::array();
        for (const auto& [pid, p] : processes_) procs.push_back(ProcessOf(pid, p));
        scene["processes"] = procs;
        scene["windows"] = windows;
        return scene;
    }

    size_t Windows() const { return seen_.size(); }
    size_t Processes() const { return processes_.size(); }

private:
    // Dots on the error output, one a second, once the capture has run a
    // second.
    void Progress() {
        const uint32_t now = ws_.GetTickCount();
        if (now - lastDot_ < kProgressMs) return;
        lastDot_ = now;
        dotsOnLine_ = true;
        sendsAtDot_ = ctx_.sends.count;
        ctx_.err.Puts(".");
        ctx_.err.Flush();
    }

    // The error output for a line of its own, once the dots so far have
    // ended theirs.
    COutput& Note() {
        EndDots();
        return ctx_.err;
    }

    void EndDots() {
        // A send left unanswered since the last dot ended its line already
        // (the layer says so in a line of its own).
        if (!dotsOnLine_ || ctx_.sends.count != sendsAtDot_) {
            dotsOnLine_ = false;
            return;
        }
        ctx_.err.Puts("\n");
        dotsOnLine_ = false;
    }

    bool Answered(uint64_t before) const { return ctx_.sends.count == before; }

    void AddWindow(Json& list, WsHandle h, bool parent, int depth) {
        if (!ws_.IsWindow(h)) return;
        if (depth > kMaxDepth) {
            cut_ = true;
            return;
        }
        if (seen_.size() >= kMaxCaptureWindows) {
            cut_ = true;
            return;
        }
        if (!seen_.insert(h).second) return;
        Progress();
        Json w;
        w["handle"] = Hex(h);
        std::string cls = ClassOf(ws_, h, kClassSize);
        if (cls.empty()) cls = "?"; // a scene's window has a class
        w["class"] = cls;
        uint32_t pid = 0;
        const uint32_t thread = ws_.GetWindowThreadProcessId(h, &pid);
        // A window that does not answer is kept with its caption only
        // (the platform's sends give up at once on a thread known to hang).
        const uint64_t before = ctx_.sends.count;
        std::string text = WindowText(h);
        const bool answers = Answered(before);
        if (!answers) {
            Note().Printf("tolvane: capture: window %08X does not answer; captured without "
                          "its contents\n",
                          unsigned(h));
            text = CaptionOf(ws_, h, kCaptureText + 1);
        }
        w["text"] = text;
        const uint32_t style = uint32_t(ws_.GetWindowLongA(h, gwl::STYLE));
        w["style"] = Hex(style);
        if (seen_.size() == 1) pairs_ = NamedByPairs(h, cls, thread, style);
        if (const uint32_t ex = uint32_t(ws_.GetWindowLongA(h, gwl::EXSTYLE)))
            w["exStyle"] = Hex(ex);
        if (const int id = ws_.GetWindowLongA(h, gwl::ID)) w["id"] = id;
        WsRect r;
        ws_.GetWindowRect(h, &r);
        int32_t ox = 0, oy = 0;
        if (parent) {
            ox = parentLeft_.back();
            oy = parentTop_.back();
        }
        // (scenes take coordinates within a million of their origin)
        auto at = [](int64_t v) { return std::clamp<int64_t>(v, -kMaxCoordinate, kMaxCoordinate); };
        w["rect"] = Json::array({at(int64_t(r.left) - ox), at(int64_t(r.top) - oy),
                                 at(int64_t(r.right) - ox), at(int64_t(r.bottom) - oy)});
        if (!parent) {
            const WsHandle owner = ws_.GetWindow(h, gw::OWNER);
            if (owner) owners_.push_back({h, owner});
        }
        if (pid != 0 && thread != 0) {
            processes_[pid].threads.insert(thread);
            w["thread"] = thread;
        }
        if (answers) Contents(w, h, cls, style);
        if (!answers) w["hung"] = true;
        if (!parent && answers) Menu(w, h);

        parentLeft_.push_back(r.left);
        parentTop_.push_back(r.top);
        Json children = Json::array();
        WsHandle child = ws_.GetWindow(h, gw::CHILD);
        for (int n = 0; child != 0 && n < kMaxChildren; ++n) {
            AddWindow(children, child, true, depth + 1);
            child = ws_.GetWindow(child, gw::HWNDNEXT);
        }
        if (child != 0) cut_ = true;
        parentLeft_.pop_back();
        parentTop_.pop_back();
        if (!children.empty()) w["children"] = children;
        list.push_back(std::move(w));
    }

    // True when the low word of h with its lowest bit flipped names h too
    // (as under Wine, where a handle's index is its low word halved): the
    // window it names has h's class, thread, style, id and rectangle.
    bool NamedByPairs(WsHandle h, const std::string& cls, uint32_t thread, uint32_t style) {
        const WsHandle other = (h & 0xFFFF) ^ 1;
        if (!ws_.IsWindow(other) || ClassOf(ws_, other, kClassSize) != cls) return false;
        WsRect a, b;
        return ws_.GetWindowThreadProcessId(other, nullptr) == thread &&
               uint32_t(ws_.GetWindowLongA(other, gwl::STYLE)) == style &&
               ws_.GetWindowLongA(other, gwl::ID) == ws_.GetWindowLongA(h, gwl::ID) &&
               ws_.GetWindowRect(other, &a) && ws_.GetWindowRect(h, &b) && a.left == b.left &&
               a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }

    // The window's text as Desc reads it.  A buffer of Desc's size costs
    // its whole size in every cross-process answer, so the text is read
    // into a short one first, and again into Desc's only when it filled it
    // (to within a character: a text is cut before one that would not fit).
    std::string WindowText(WsHandle h) {
        const uint64_t before = ctx_.sends.count;
        text_.assign(size_t(kShortText) + 2, '\0');
        ReadText(ws_, h, text_);
        std::string text = text_.data();
        constexpr size_t kLongestCharacter = 4; // bytes of UTF-8
        if (text.size() + kLongestCharacter < size_t(kShortText) || !Answered(before)) return text;
        text_.assign(size_t(kCaptureText) + 2, '\0');
        ReadText(ws_, h, text_);
        return text_.data();
    }

    // The date a date control holds, read into a SYSTEMTIME in its own
    // process (the message carries a pointer).
    void DateOf(Json& w, WsHandle h) {
        uint32_t pid = 0;
        ws_.GetWindowThreadProcessId(h, &pid);
        const WsMem process = ws_.OpenProcess(
            procaccess::VM_OPERATION | procaccess::VM_READ | procaccess::VM_WRITE, false, pid);
        if (!process) return;
        constexpr size_t kSystemTime = 16;
        const WsMem remote = ws_.VirtualAllocEx(process, 0, kSystemTime, mem::COMMIT | mem::RESERVE,
                                                page::READWRITE);
        uint8_t st[kSystemTime] = {};
        const uint64_t before = ctx_.sends.count;
        const bool read =
            remote &&
            ws_.SendMessageA(h, dtm::GETSYSTEMTIME, 0, intptr_t(remote)) == dtm::GDT_VALID &&
            Answered(before) && ws_.ReadProcessMemory(process, remote, st, sizeof st, nullptr);
        if (remote) ws_.VirtualFreeEx(process, remote, 0, mem::RELEASE);
        ws_.CloseHandle(process);
        const int year = st[0] | st[1] << 8, month = st[2] | st[3] << 8, day = st[6] | st[7] << 8;
        if (!read || year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31)
            return;
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
        w["date"] = date;
    }

    // The contents of a window that answers: its font and, for the
    // controls the reports read, what they hold.
    void Contents(Json& w, WsHandle h, const std::string& cls, uint32_t style) {
        const uint64_t before = ctx_.sends.count;
        const WsHandle font = WsHandle(ws_.SendMessageA(h, wm::GETFONT, 0, 0));
        if (!Answered(before)) return;
        MeasureFont(h, font);
        if (font) w["font"] = Hex(font);
        auto is = [&](const char* name) { return EqualsAscii(cls, name); };
        if (is("ListBox") || is("ComboLBox"))
            ListItems(w, h, false, style);
        else if (is("ComboBox"))
            ListItems(w, h, true, style);
        else if (is("SysListView32"))
            ListViewItems(w, h);
        else if (is("SysDateTimePick32"))
            DateOf(w, h);
        else if (is("Button")) {
            const intptr_t check = ws_.SendMessageA(h, bm::GETCHECK, 0, 0);
            if (check == 1 || check == 2) w["check"] = int(check);
        }
    }

    static bool EqualsAscii(std::string_view a, std::string_view b) {
        return a.size() == b.size() && AsciiStartsWithFolded(a, b);
    }

    // The extent of "ABC" in font (0: the device context's own), as GetFont
    // measures it; a font the device context does not take measures as its
    // own font does there too.
    void MeasureFont(WsHandle h, WsHandle font) {
        const bool known = font == 0 || font == systemFont_ || fonts_.count(font);
        if (known && systemMeasured_) return;
        const WsHandle dc = ws_.GetDC(h);
        if (!dc) return;
        WsSize size;
        if (!systemMeasured_ && ws_.GetTextExtentPointA(dc, "ABC", 3, &size)) {
            system_ = FontOf(size);
            systemMeasured_ = true;
        }
        if (!known) {
            const WsHandle old = ws_.SelectObject(dc, font);
            if (ws_.GetTextExtentPointA(dc, "ABC", 3, &size)) {
                if (old && !systemFont_) systemFont_ = old;
                if (font != systemFont_) fonts_[font] = FontOf(size);
            }
            if (old) ws_.SelectObject(dc, old);
        }
        ws_.ReleaseDC(h, dc);
    }

    static Font FontOf(WsSize abc) {
        // (scenes take fonts up to 1,000 pixels a character)
        const int cx = std::clamp(int(abc.cx), 0, 3 * kMaxFontSize);
        return Font{(cx + 1) / 3, std::clamp(int(abc.cy), 0, kMaxFontSize), cx};
    }

    Json SystemFont() {
        Json j;
        // A desktop whose windows all draw with the device context's own
        // font tells no handle for it: the simulated desktop's is taken.
        j["handle"] = Hex(systemFont_ ? systemFont_ : 0x018A0001);
        j["name"] = "System";
        j["width"] = system_.width;
        j["height"] = system_.height;
        j["abcWidth"] = system_.abcWidth;
        return j;
    }

    void CutItems(WsHandle h, int count) {
        Note().Printf("tolvane: capture: window %08X holds %d items; the first %u are kept\n",
                      unsigned(h), count, unsigned(kMaxCaptureItems));
    }

    // The items of a list box (or, with combo, a combo box) as ListBox and
    // ComboBox read them.
    void ListItems(Json& w, WsHandle h, bool combo, uint32_t style) {
        const uint64_t before = ctx_.sends.count;
        const int count = int(ws_.SendMessageA(h, combo ? cb::GETCOUNT : lb::GETCOUNT, 0, 0));
        if (count > int(kMaxCaptureItems)) CutItems(h, count);
        const bool texts = KeepsTexts(style, combo);
        const bool multiple = !combo && (style & (lbs::MULTIPLESEL | lbs::EXTENDEDSEL));
        Json items = Json::array();
        for (int i = 0; i < count && i < int(kMaxCaptureItems) && Answered(before); ++i) {
            bool exists = true;
            std::string text;
            if (texts)
                text = WholeItemText(ws_, h, combo ? cb::GETLBTEXTLEN : lb::GETTEXTLEN,
                                     combo ? cb::GETLBTEXT : lb::GETTEXT, i, &exists);
            else
                exists = ws_.SendMessageA(h, combo ? cb::GETLBTEXTLEN : lb::GETTEXTLEN,
                                          uintptr_t(i), 0) != lb::ERR;
            if (!exists) break;
            const intptr_t data =
                ws_.SendMessageA(h, combo ? cb::GETITEMDATA : lb::GETITEMDATA, uintptr_t(i), 0);
            Json item;
            if (texts) item["text"] = text;
            if (uint32_t(uintptr_t(data)) != 0) item["data"] = uint32_t(uintptr_t(data));
            if (!combo) {
                const int height = int(ws_.SendMessageA(h, lb::GETITEMHEIGHT, uintptr_t(i), 0));
                if (height >= 0 && height <= 255 && uint32_t(height) != kDefaultItemHeight)
                    item["height"] = height;
                if (multiple && ws_.SendMessageA(h, lb::GETSEL, uintptr_t(i), 0) > 0)
                    item["selected"] = true;
            }
            items.push_back(item.size() == 1 && item.contains("text") ? Json(text) : item);
        }
        if (!Answered(before)) return;
        const int selected = int(ws_.SendMessageA(h, combo ? cb::GETCURSEL : lb::GETCURSEL, 0, 0));
        const int extent = combo ? 0 : int(ws_.SendMessageA(h, lb::GETHORIZONTALEXTENT, 0, 0));
        if (!Answered(before)) return;
        if (!items.empty()) w["items"] = items;
        if (selected >= 0 && size_t(selected) < items.size()) w["selected"] = selected;
        if (extent > 0 && extent <= 1000000) w["horizontalExtent"] = extent;
    }

    // The columns of list view h as its header counts them; 0 when it has
    // no header that answers.
    int HeaderColumns(WsHandle h) {
        const uint64_t before = ctx_.sends.count;
        const WsHandle header = WsHandle(ws_.SendMessageA(h, lvm::GETHEADER, 0, 0));
        if (!header || !Answered(before)) return 0;
        const int n = int(ws_.SendMessageA(header, hdm::GETITEMCOUNT, 0, 0));
        return Answered(before) ? std::clamp(n, 0, kMaxColumns) : 0;
    }

    // The cells of a row as LoadFromLC joins them ('|' inside a cell is
    // shown as '+' already, so '|' only ends cells).
    static std::vector<std::string> Cells(const char* row, int columns) {
        std::vector<std::string> cells;
        std::string cell;
        for (const char* c = row ? row : ""; *c; ++c) {
            if (*c == '|' && columns > 1) {
                cells.push_back(cell);
                cell.clear();
            } else {
                cell += *c;
            }
        }
        if (columns <= 1 || !cell.empty()) cells.push_back(cell);
        return cells;
    }

    void ListViewItems(Json& w, WsHandle h) {
        const uint64_t before = ctx_.sends.count;
        const int count = int(ws_.SendMessageA(h, lvm::GETITEMCOUNT, 0, 0));
        if (!Answered(before) || count <= 0) return;
        if (count > int(kMaxCaptureItems)) CutItems(h, count);
        // Without a header the rows are read as wide as a header-less list
        // view is ever read here, and each keeps the cells it fills.
        const int header = HeaderColumns(h);
        const int columns = header > 0 ? header : kUnknownColumns;
        CTxtArray rows;
        CTxt error;
        const int loaded = LoadFromLCBatched(ws_, rows, h, error, columns, kLcBatch,
                                             LcRequestFor(ws_, LcText::kUtf8));
        if (loaded < 0 || !Answered(before)) {
            Note().Printf("tolvane: capture: the rows of list view %08X cannot be read: %s\n",
                          unsigned(h), static_cast<const char*>(error));
            // Its count is known: as many rows without texts.
            if (Answered(before))
                w["items"] = Json(std::vector<std::string>(
                    size_t(std::min(count, int(kMaxCaptureItems))), std::string()));
            return;
        }
        Json items = Json::array();
        for (int i = 0; i < rows.GetSize() && i < int(kMaxCaptureItems); ++i) {
            std::vector<std::string> cells = Cells(rows.GetAtTxt(i), columns);
            while (cells.size() > 1 && cells.back().empty()) cells.pop_back();
            const uint32_t state = uint32_t(ws_.SendMessageA(h, lvm::GETITEMSTATE, uintptr_t(i),
                                                             lvis::SELECTED | lvis::FOCUSED));
            Json item;
            item["text"] = cells.empty() ? std::string() : cells.front();
            if (cells.size() > 1)
                item["columns"] = Json(std::vector<std::string>(cells.begin() + 1, cells.end()));
            if (state & lvis::SELECTED) item["selected"] = true;
            if (state & lvis::FOCUSED) item["focused"] = true;
            items.push_back(item.size() == 1 ? Json(item["text"]) : item);
        }
        if (!items.empty()) w["items"] = items;
    }

    // The menu bar of top-level window h, when this process can read it.
    void Menu(Json& w, WsHandle h) {
        const WsHandle m = ws_.GetMenu(h);
        if (!m) return;
        if (!ws_.IsMenu(m)) {
            ++unreadMenus_;
            return;
        }
        w["menu"] = MenuOf(m, 0);
    }

    Json MenuOf(WsHandle m, int depth) {
        if (!menus_.insert(m).second) return Json(Hex(m)); // defined where first met
        Json menu;
        menu["handle"] = Hex(m);
        Json items = Json::array();
        const int count = std::min(ws_.GetMenuItemCount(m), int(kMaxCaptureItems));
        std::vector<char> text(kTextSize + 1);
        for (int i = 0; i < count; ++i) {
            Json item;
            std::fill(text.begin(), text.end(), '\0');
            ws_.GetMenuStringA(m, uint32_t(i), text.data(), kTextSize, mf::BYPOSITION);
            const uint32_t state = ws_.GetMenuState(m, uint32_t(i), mf::BYPOSITION);
            const WsHandle sub = ws_.GetSubMenu(m, i);
            if (text[0]) item["text"] = std::string(text.data());
            if (state != 0xFFFFFFFF && (state & mf::SEPARATOR) && !sub) item["separator"] = true;
            if (state != 0xFFFFFFFF && (state & (mf::GRAYED | mf::DISABLED))) item["grayed"] = true;
            if (sub && depth < kMaxDepth) {
                item["submenu"] = MenuOf(sub, depth + 1);
            } else if (const uint32_t id = ws_.GetMenuItemID(m, i); id != 0 && id <= 0xFFFF) {
                item["id"] = id;
            }
            items.push_back(item);
        }
        if (!items.empty()) menu["items"] = items;
        return menu;
    }

    Json ProcessOf(uint32_t pid, const Process& p) {
        Json j;
        j["pid"] = pid;
        const WsMem process =
            ws_.OpenProcess(procaccess::QUERY_INFORMATION | procaccess::VM_READ, false, pid);
        if (process) {
            if (const int bits = ws_.ProcessBits(process); bits == 32 || bits == 64)
                j["bits"] = bits;
            char name[kNameSize] = "";
            if (ws_.GetProcessImageNameA(process, name, int(sizeof name)) > 0) j["name"] = name;
            ws_.CloseHandle(process);
        }
        j["threads"] = Json(std::vector<uint32_t>(p.threads.begin(), p.threads.end()));
        if (!process) j["openable"] = false;
        return j;
    }

public:
    // Owners that the capture holds, on the windows they own.
    void SetOwners(Json& windows) {
        std::map<std::string, std::string> owner;
        for (const auto& [h, o] : owners_)
            if (seen_.count(o)) owner[Hex(h)] = Hex(o);
        for (Json& w : windows) {
            auto it = owner.find(w["handle"].get<std::string>());
            if (it == owner.end()) continue;
            // Keep the keys in their order: rebuild with "owner" after "rect".
            Json out;
            for (auto kv = w.begin(); kv != w.end(); ++kv) {
                out[kv.key()] = kv.value();
                if (kv.key() == "rect") out["owner"] = it->second;
            }
            w = std::move(out);
        }
    }

private:
    CommandContext& ctx_;
    CWinSys& ws_;
    std::vector<char> text_;
    std::set<WsHandle> seen_;
    std::set<WsHandle> menus_;
    std::map<uint32_t, Process> processes_;
    std::map<WsHandle, Font> fonts_;
    std::vector<std::pair<WsHandle, WsHandle>> owners_;
    std::vector<int32_t> parentLeft_, parentTop_;
    WsHandle systemFont_ = 0;
    Font system_;
    bool systemMeasured_ = false;
    bool cut_ = false;
    bool pairs_ = false; // the platform names windows by low-word pairs
    size_t unreadMenus_ = 0;
    uint32_t lastDot_ = 0;
    bool dotsOnLine_ = false;
    uint64_t sendsAtDot_ = 0;
};

constexpr size_t kOneLine = 100; // the longest object written on one line

std::string Scalar(const Json& j) {
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// An object of plain values on one line ({"text": "Open", "id": 2}), or
// empty when it holds more than plain values or would run long.
std::string OneLineObject(const Json& v) {
    std::string line = "{";
    for (auto it = v.begin(); it != v.end(); ++it) {
        if (it.value().is_structured()) return std::string();
        line += (line.size() > 1 ? ", " : "") + Scalar(Json(it.key())) + ": " + Scalar(it.value());
        if (line.size() > kOneLine) return std::string();
    }
    return line + "}";
}

// The scene's text: objects one key a line, indented by two, short ones
// of plain values on one line; arrays of plain values (rectangles,
// threads, cells, item texts) on one line.
void Dump(const Json& v, std::string& out, int indent) {
    const std::string pad(size_t(indent + 2), ' ');
    if (v.is_object()) {
        if (const std::string line = OneLineObject(v); !line.empty()) {
            out += line;
            return;
        }
        out += "{\n";
        bool first = true;
        for (auto it = v.begin(); it != v.end(); ++it) {
            if (!first) out += ",\n";
            first = false;
            out += pad + Scalar(Json(it.key())) + ": ";
            Dump(it.value(), out, indent + 2);
        }
        out += "\n" + std::string(size_t(indent), ' ') + "}";
    } else if (v.is_array()) {
        const bool flat =
            std::none_of(v.begin(), v.end(), [](const Json& e) { return e.is_structured(); });
        if (flat) {
            out += "[";
            for (size_t i = 0; i < v.size(); ++i) out += (i ? ", " : "") + Scalar(v[i]);
            out += "]";
            return;
        }
        out += "[\n";
        for (size_t i = 0; i < v.size(); ++i) {
            out += (i ? ",\n" : "") + pad;
            Dump(v[i], out, indent + 2);
        }
        out += "\n" + std::string(size_t(indent), ' ') + "]";
    } else {
        out += Scalar(v);
    }
}

} // namespace

WsHandle TopLevelOf(CWinSys& ws, WsHandle h) {
    if (!ws.IsWindow(h)) return 0;
    for (int n = 0; n < kMaxDepth * 4; ++n) {
        if (!(uint32_t(ws.GetWindowLongA(h, gwl::STYLE)) & ws::CHILD)) return h;
        const WsHandle p = ws.GetParent(h);
        if (p == 0) return h;
        h = p;
    }
    return h;
}

std::string CaptureScene(CommandContext& ctx, WsHandle root, CaptureCounts* counts) {
    Capture capture(ctx);
    Json scene = capture.Walk(root);
    capture.SetOwners(scene["windows"]);
    if (counts) {
        counts->windows = capture.Windows();
        counts->processes = capture.Processes();
    }
    std::string text;
    Dump(scene, text, 0);
    return text + "\n";
}
