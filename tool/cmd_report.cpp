// Window inspection reports: Desc, WaitFor, Dialog, ComboBox, ListBox and
// ListCtrl.  Every report line goes through LOGTRACE; the list reports
// also save their lines to a file in the working directory.
#include "diag/logtrace.h"
#include "textutil/strfld.h"
#include "textutil/utf8.h"
#include "tool/textmatch.h"
#include "tool/wintext.h"
#include "tool/commands.h"
#include "tool/report.h"
#include "txt/ctxt.h"
#include "txt/ctxtarray.h"
#include "txt/ctxtarray_lc.h"
#include "winsys/wsdefs.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <unordered_set>
#include <vector>

namespace {

constexpr int kDescText = 100000;  // a window text in the Desc report
constexpr int kMaxDescDepth = 256; // deeper windows are not described
constexpr int kMaxDescWindows = 1 << 20;
constexpr int kMaxDescSteps = 1 << 22; // sibling steps of one walk
constexpr int kMaxParents = 0x10000;
constexpr uint32_t kWaitSeconds = 30;
constexpr WsHandle kLastWaitHandle = 0xFFFE;
// Passes after which WaitFor gives up on a clock that does not move.
constexpr int kMaxStillPasses = 100;

// Reports a composed line unchanged, percent signs included.
void Report(const char* tag, const char* line) {
    LOGTRACE(tag, 1, "%s", line);
}

// The control the list reports and Dialog act on: the handle in the
// argument text, else the current window.  It becomes the current dialog.
WsHandle ChooseTarget(CommandContext& ctx, const char* args) {
    WsHandle h = hexvalue(args);
    if (h == 0) h = ctx.state.hWnd;
    ctx.state.hDlg = h;
    return h;
}

WsRect RectOf(CWinSys& ws, WsHandle h) {
    WsRect r;
    ws.GetWindowRect(h, &r);
    return r;
}

// Low 16 bits of h's parent, as the reports compare and show parents.
WsHandle ParentOf(CWinSys& ws, WsHandle h) {
    return ws.GetParent(h) & 0xFFFF;
}

// Item data as the reports show it: the 32 bits of a list item's data.
long DataDec(intptr_t data) {
    return long(int32_t(uint32_t(uintptr_t(data))));
}
unsigned long DataHex(intptr_t data) {
    return (unsigned long)uint32_t(uintptr_t(data));
}

// ---- Desc ---------------------------------------------------------------

struct DescWalk {
    explicit DescWalk(CWinSys& layer) : ws(layer) {}
    CWinSys& ws;
    std::vector<char> text = std::vector<char>(kDescText + 1, '\0');
    // Every window described so far: a window that comes round again (its
    // siblings re-order themselves while they are read, or a chain that
    // loops) is not described twice.
    std::unordered_set<WsHandle> seen;
    int windows = 0; // described so far
    int depth = -1;  // of the window being described
    int steps = 0;   // sibling steps taken, described or not
};

void Describe(DescWalk& walk, WsHandle h) {
    CWinSys& ws = walk.ws;
    int& depth = walk.depth;
    if (depth + 1 >= kMaxDescDepth || walk.windows >= kMaxDescWindows) return;
    if (!walk.seen.insert(h).second) return;
    ++depth;
    ++walk.windows;
    const std::string cls = ClassOf(ws, h, kShortTextSize);
    ReadText(ws, h, walk.text);
    const WsRect r = RectOf(ws, h);
    const uint32_t style = uint32_t(ws.GetWindowLongA(h, gwl::STYLE));
    const int id = ws.GetWindowLongA(h, gwl::ID);
    CTxt line;
    line.Format("%*.*s(%s) hW=%04X (0x%08lX, ID=%d) %s, (%d,%d,%d,%d)", 4 * depth, 4 * depth, "",
                walk.text.data(), unsigned(h), (unsigned long)style, id, cls.c_str(), r.left, r.top,
                r.right - r.left, r.bottom - r.top);
    // A window text near 100,000 characters is read whole; its line is cut
    // where the reporter's buffer ends, before a character that would not
    // fit whole.
    line.MakeLength(int(
        Utf8CutLength(std::string_view(static_cast<const char*>(line), size_t(line.GetLength())),
                      size_t(kLogTraceMaxText))));
    Report(kTagTolvix, line);
    WsHandle child = ws.GetTopWindow(h);
    for (int n = 0; child != 0 && n < kMaxChildren && walk.steps < kMaxDescSteps; ++n) {
        ++walk.steps;
        Describe(walk, child);
        child = ws.GetWindow(child, gw::HWNDNEXT);
    }
    --depth;
}

void DescribeTree(CommandContext& ctx, WsHandle h) {
    DescWalk walk(ctx.ws);
    Describe(walk, h);
}

// ---- List items -------------------------------------------------------------

// Saves the report's lines to file; the outcome says whether it could.
Outcome ListItemsToFile(CTxtArray& lines, const char* file) {
    CTxt error;
    if (lines.SaveToFile(file, error, 0) < 0)
        return Failed(Fault::kFileNotWritten, static_cast<const char*>(error));
    return Done();
}

// What the list reports act on: the parts of class names that make such a
// control (any of them, ignoring case), one that makes something else
// (a combo box's drop-down list, "ComboLBox", is a list box), and the
// failure when h is not one.
struct ControlKind {
    const char* is[2];
    const char* isNot;
    Fault notA;
};
const ControlKind kComboBox = {{"combobox", nullptr}, "combolbox", Fault::kNotAComboBox};
const ControlKind kListBox = {{"listbox", "combolbox"}, nullptr, Fault::kNotAListBox};

Outcome IsKind(CWinSys& ws, WsHandle h, const ControlKind& kind) {
    const std::string cls = ClassOf(ws, h);
    const bool excluded = kind.isNot && HoldsCi(cls.c_str(), kind.isNot);
    for (const char* part : kind.is)
        if (part && !excluded && HoldsCi(cls.c_str(), part)) return Done();
    char detail[64];
    std::snprintf(detail, sizeof detail, "window 0x%08X", unsigned(h));
    return Failed(kind.notA, std::string(detail) + " is of class '" + cls + "'");
}

// The outcome of a list report on h: the window, then its kind.
Outcome ListTargetOutcome(CommandContext& ctx, WsHandle h, const ControlKind& kind) {
    if (Outcome there = WindowThere(ctx, h); !there.Done()) return there;
    return IsKind(ctx.ws, h, kind);
}

// One item of a list box or combo box: its text, or, for a control without
// texts, its item data in hex; *exists false when the control says there is
// no item index.
std::string ListItem(CWinSys& ws, WsHandle h, bool combo, bool texts, int index, intptr_t data,
                     bool* exists) {
    const uint32_t lenMsg = combo ? cb::GETLBTEXTLEN : lb::GETTEXTLEN;
    if (texts) return ItemText(ws, h, lenMsg, combo ? cb::GETLBTEXT : lb::GETTEXT, index, exists);
    *exists = ws.SendMessageA(h, lenMsg, uintptr_t(index), 0) != lb::ERR;
    char hex[24];
    std::snprintf(hex, sizeof hex, "0x%08lx", DataHex(data));
    return hex;
}

// The line that ends a list report early, or empty: the item the control
// says does not exist, or the bound on items read.
std::string EndOfItems(int read, int count, bool exists) {
    char line[128];
    if (!exists)
        std::snprintf(line, sizeof line, "Item %d does not exist: %d of Cnt=%d items read", read,
                      read, count);
    else if (read >= kMaxReportItems && count > kMaxReportItems)
        std::snprintf(line, sizeof line, "Count cut: %d of Cnt=%d items read", read, count);
    else
        return std::string();
    return line;
}

// The failure of a report whose sends to h went unanswered since before.
Outcome Unanswered(CommandContext& ctx, WsHandle h, uint64_t before) {
    if (ctx.sends.count == before) return Done();
    char detail[96];
    std::snprintf(detail, sizeof detail, "window %08X does not answer", unsigned(h));
    return Failed(Fault::kNoAnswer, detail);
}

// The failure a LoadFromLC result stands for (none for a row count).
Fault LoadFault(int loaded) {
    switch (loaded) {
    case -1:
        return Fault::kNotAListView;
    case -2:
        return Fault::kWindowNotFound;
    case -3:
        return Fault::kNothingToRead;
    case -4:
        return Fault::kAllocFailed;
    case -5:
        return Fault::kNoAnswer;
    default:
        return loaded < 0 ? Fault::kNothingToRead : Fault::kNone;
    }
}

} // namespace

// ---- WaitFor --------------------------------------------------------------

WsHandle WaitPass(CWinSys& ws, const char* pattern) {
    std::vector<char> text(kTextSize + 1);
    // One call (WM_GETTEXT) on each value naming no window: the pass takes
    // the sweep's time, so that a simulated clock counts the same passes.
    auto found = ScanWindowsCharged(ws, 0, kLastWaitHandle, 1, [&](WsHandle h) {
        return ReadText(ws, h, text) >= 1 && HoldsCi(text.data(), pattern);
    });
    return found.value_or(0);
}

std::vector<std::string> DialogLines(CWinSys& ws, WsHandle dlg,
                                     const std::vector<DlgChild>& controls) {
    std::vector<std::string> lines;
    CTxt line;
    WsHandle p = ParentOf(ws, dlg);
    for (int n = 0; p != 0 && n < kMaxParents; ++n) {
        line.Format("Parent %04X (%s: %s)", unsigned(p), ClassOf(ws, p, kTextSize).c_str(),
                    CaptionOf(ws, p, kTextSize).c_str());
        lines.emplace_back(static_cast<const char*>(line));
        p = ParentOf(ws, p);
    }
    int found = 0;
    for (const DlgChild& c : controls) {
        const std::string cls = ClassOf(ws, c.hwnd, kShortTextSize);
        if (cls.empty()) continue;
        if (++found == 1) {
            const WsRect r = RectOf(ws, dlg);
            line.Format("Dialog hDlg=%04X Par=%04X (0x%08lX) %s, (%s), (%d,%d,%d,%d)\n",
                        unsigned(dlg), unsigned(ParentOf(ws, dlg)),
                        (unsigned long)uint32_t(ws.GetWindowLongA(dlg, gwl::STYLE)),
                        ClassOf(ws, dlg, kShortTextSize).c_str(),
                        TextOf(ws, dlg, kShortTextSize).c_str(), r.left, r.top, r.right - r.left,
                        r.bottom - r.top);
            lines.emplace_back(static_cast<const char*>(line));
        }
        const WsRect r = RectOf(ws, c.hwnd);
        line.Format("%3d. ID=%5ld hWCtl=%04X(0x%08lX) %s, (%s), (%d,%d,%d,%d)", found, long(c.id),
                    unsigned(c.hwnd),
                    (unsigned long)uint32_t(ws.GetWindowLongA(c.hwnd, gwl::STYLE)), cls.c_str(),
                    TextOf(ws, c.hwnd, kShortTextSize).c_str(), r.left, r.top, r.right - r.left,
                    r.bottom - r.top);
        lines.emplace_back(static_cast<const char*>(line));
    }
    return lines;
}

bool KeepsTexts(uint32_t style, bool combo) {
    const uint32_t ownerDrawn = combo ? (cbs::OWNERDRAWFIXED | cbs::OWNERDRAWVARIABLE)
                                      : (lbs::OWNERDRAWFIXED | lbs::OWNERDRAWVARIABLE);
    const uint32_t hasStrings = combo ? cbs::HASSTRINGS : lbs::HASSTRINGS;
    return !(style & ownerDrawn) || (style & hasStrings);
}

std::string OneLine(std::string text, bool fields) {
    for (char& c : text)
        if (c == '\r' || c == '\n' || (fields && c == '|')) c = '+';
    return text;
}

std::string WholeItemText(CWinSys& ws, WsHandle hwnd, uint32_t lenMsg, uint32_t textMsg, int index,
                          bool* exists) {
    const intptr_t len = ws.SendMessageA(hwnd, lenMsg, uintptr_t(index), 0);
    if (exists) *exists = len != lb::ERR;
    if (len < 0 || len > kMaxItemText) return std::string();
    // The layer writes at most kMaxItemText characters and a zero, whatever
    // the owner answered to the length request or does between the calls.
    thread_local std::vector<char> buf(size_t(kMaxItemText) + 1);
    buf[0] = '\0';
    ws.SendMessageA(hwnd, textMsg, uintptr_t(index), reinterpret_cast<intptr_t>(buf.data()));
    buf.back() = '\0';
    return buf.data();
}

std::string ItemText(CWinSys& ws, WsHandle hwnd, uint32_t lenMsg, uint32_t textMsg, int index,
                     bool* exists) {
    std::string text = WholeItemText(ws, hwnd, lenMsg, textMsg, index, exists);
    Utf8Cut(text, size_t(kItemTextShown));
    return OneLine(std::move(text));
}

Outcome CmdDesc(CommandContext& ctx, const CommandCall&) {
    DescribeTree(ctx, ctx.state.hWnd);
    return WindowThere(ctx, ctx.state.hWnd);
}

Outcome CmdWaitFor(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    // The search ignores case; the pattern is the argument text cut to
    // the length of the texts it is compared with.
    char pattern[kTextSize];
    std::snprintf(pattern, sizeof pattern, "%s", call.args);
    const uint32_t start = ws.GetTickCount();
    uint32_t shown = 0;
    for (int still = 0;;) {
        const uint32_t before = ws.GetTickCount();
        if (const WsHandle h = WaitPass(ws, pattern)) {
            DescribeTree(ctx, h); // the first match is reported once
            return Done();
        }
        const uint32_t now = ws.GetTickCount();
        const uint32_t elapsed = (now - start) / 1000;
        if (elapsed > kWaitSeconds)
            return Failed(Fault::kWindowNotFound,
                          std::string("no window text holds '") + pattern + "' within 30 s");
        if (elapsed != shown) {
            ctx.out.Puts(".");
            ctx.out.Flush();
            shown = elapsed;
        }
        still = now == before ? still + 1 : 0;
        if (still >= kMaxStillPasses) {
            ctx.out.Puts("WaitFor: the desktop's clock stands still\n");
            return Failed(Fault::kWindowNotFound, std::string("no window text holds '") + pattern +
                                                      "' (the clock stands still)");
        }
    }
}

Outcome CmdDialog(CommandContext& ctx, const CommandCall& call) {
    const WsHandle dlg = ChooseTarget(ctx, call.args);
    if (dlg == 0) return WindowThere(ctx, dlg);
    for (const std::string& line :
         DialogLines(ctx.ws, dlg, ChildrenById(ctx.ws, dlg, kLastControlId)))
        Report(kTagTolvix, line.c_str());
    return WindowThere(ctx, dlg);
}

Outcome CmdComboBox(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const WsHandle h = ChooseTarget(ctx, call.args);
    if (h == 0) return WindowThere(ctx, h);
    const uint64_t before = ctx.sends.count;
    const int count = int(ws.SendMessageA(h, cb::GETCOUNT, 0, 0));
    CTxt line;
    line.Format("hWCB=%04X Cnt=%d, '%s'", unsigned(h), count,
                TextOf(ws, h, kShortTextSize).c_str());
    Report(kTagCB, line);
    const int selected = int(ws.SendMessageA(h, cb::GETCURSEL, 0, 0));
    const bool texts = KeepsTexts(uint32_t(ws.GetWindowLongA(h, gwl::STYLE)), true);
    bool exists = true;
    int i = 0;
    for (; i < count && i < kMaxReportItems && ctx.sends.count == before; ++i) {
        const intptr_t data = ws.SendMessageA(h, cb::GETITEMDATA, uintptr_t(i), 0);
        const std::string text = ListItem(ws, h, true, texts, i, data, &exists);
        if (!exists) break;
        line.Format(i == selected ? "*%3d. %9ld(0x%08lx) (%s)\n" : " %3d. %9ld(0x%08lx) (%s)\n", i,
                    DataDec(data), DataHex(data), text.c_str());
        Report(kTagCB, line);
    }
    if (const std::string end = EndOfItems(i, count, exists); !end.empty())
        Report(kTagCB, end.c_str());
    if (Outcome target = ListTargetOutcome(ctx, h, kComboBox); !target.Done()) return target;
    return Unanswered(ctx, h, before);
}

Outcome CmdListBox(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const WsHandle h = ChooseTarget(ctx, call.args);
    if (h == 0) return WindowThere(ctx, h);
    const uint64_t before = ctx.sends.count;
    const int count = int(ws.SendMessageA(h, lb::GETCOUNT, 0, 0));
    const int extent = int(ws.SendMessageA(h, lb::GETHORIZONTALEXTENT, 0, 0));
    const std::string text = TextOf(ws, h, kShortTextSize);
    const int current = int(ws.SendMessageA(h, lb::GETCURSEL, 0, 0));
    CTxtArray lines;
    CTxt line;
    line.Format("hWLB=%04X Cnt=%d, iCurr=%d, '%s', ScrolY=%d", unsigned(h), count, current,
                text.c_str(), extent);
    Report(kTagListBox, line);
    lines.Add(line);
    const bool texts = KeepsTexts(uint32_t(ws.GetWindowLongA(h, gwl::STYLE)), false);
    bool exists = true;
    int i = 0;
    for (; i < count && i < kMaxReportItems && ctx.sends.count == before; ++i) {
        const intptr_t data = ws.SendMessageA(h, lb::GETITEMDATA, uintptr_t(i), 0);
        const int height = int(ws.SendMessageA(h, lb::GETITEMHEIGHT, uintptr_t(i), 0));
        const std::string item = ListItem(ws, h, false, texts, i, data, &exists);
        if (!exists) break;
        line.Format(i == current ? "*%3d. %9ld(0x%08lx) (%s), CY=%d"
                                 : " %3d. %9ld(0x%08lx) (%s), CY=%d",
                    i, DataDec(data), DataHex(data), item.c_str(), height);
        Report(kTagListBox, line);
        lines.Add(line);
    }
    const int items = i;
    if (const std::string end = EndOfItems(items, count, exists); !end.empty()) {
        Report(kTagListBox, end.c_str());
        lines.Add(end.c_str());
    }
    const Outcome saved = ListItemsToFile(lines, kListBoxFile);
    if (saved.Done())
        LOGTRACE(kTagListBox, 1, "%d Items written to ListBox.txt", items);
    else
        LOGTRACE(kTagListBox, 1, "ListBox.txt not written: %s", saved.detail.c_str());
    if (Outcome target = ListTargetOutcome(ctx, h, kListBox); !target.Done()) return target;
    if (Outcome answered = Unanswered(ctx, h, before); !answered.Done()) return answered;
    return saved;
}

Outcome CmdListCtrl(CommandContext& ctx, const CommandCall& call) {
    CWinSys& ws = ctx.ws;
    const WsHandle h = ChooseTarget(ctx, call.args);
    if (h == 0) return WindowThere(ctx, h);
    int columns = strfldint(call.args, ',', 2);
    if (columns <= 0) columns = 2;
    const uint64_t before = ctx.sends.count;
    const int reported = int(ws.SendMessageA(h, lvm::GETITEMCOUNT, 0, 0));
    // A list view that does not answer is not read as 1,000 empty rows.
    if (Outcome answered = Unanswered(ctx, h, before); !answered.Done()) {
        LOGTRACE(kTagListBox, 1, "Error: %s", answered.detail.c_str());
        return answered;
    }
    const int count = reported <= 0 ? 1000 : reported;
    const std::string text = TextOf(ws, h, kTextSize);
    const int selected = int(ws.SendMessageA(h, lvm::GETSELECTEDCOUNT, 0, 0));
    CTxt line;
    line.Format("hWLB=%04X, Par=%04X, Cnt=%d, Selecetd=%d, '%s'", unsigned(h),
                unsigned(ParentOf(ws, h)), count, selected, OneLine(text).c_str());
    Report(kTagListBox, line);

    CTxtArray rows;
    CTxt error; // empty: no item is selected by the load
    int loaded = 0;
    Fault fault = Fault::kNone;
    try {
        loaded = LoadFromLCBatched(ws, rows, h, error, columns, kLcBatch,
                                   LcRequestFor(ws, LcText::kUtf8));
        fault = LoadFault(loaded);
    } catch (const std::bad_alloc& e) {
        error.SetTxt(e.what());
        fault = Fault::kNothingToRead;
    }
    if (fault != Fault::kNone) {
        LOGTRACE(kTagListBox, 1, "Error: %s", static_cast<const char*>(error));
        return Failed(fault, static_cast<const char*>(error));
    }
    for (int i = 0; i < rows.GetSize(); ++i) {
        const bool sel = ws.SendMessageA(h, lvm::GETITEMSTATE, uintptr_t(i), lvis::SELECTED) ==
                         intptr_t(lvis::SELECTED);
        const char* row = rows.GetAtTxt(i);
        line.Format("%s%3d. (%s)", sel ? "*" : " ", i, row ? row : "");
        Report(kTagListBox, line);
    }
    // The load stops early at the first row the list view says it does not hold.
    const bool held = rows.GetSize() >= std::min(count, kMaxReportItems);
    if (const std::string end = EndOfItems(rows.GetSize(), count, held); !end.empty())
        Report(kTagListBox, end.c_str());
    const Outcome saved = ListItemsToFile(rows, kListCtrlFile);
    if (saved.Done())
        LOGTRACE(kTagListBox, 1, "%d Items written to ListCtrl.txt", rows.GetSize());
    else
        LOGTRACE(kTagListBox, 1, "ListCtrl.txt not written: %s", saved.detail.c_str());
    if (Outcome answered = Unanswered(ctx, h, before); !answered.Done()) return answered;
    return saved;
}
