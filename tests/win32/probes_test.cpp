// The probe commands on real Win32 windows: menus, windows and fonts of this
// process (menus of another process do not answer under Wine), and the
// fixture application's trading-application windows, check box and date
// control in a process of their own.
#include "fixtures/fixture_process.h"
#include "tool/commands.h"
#include "tool/interpreter.h"
#include "winsys/eventlog.h"
#include "winsys/winsys.h"
#include "winsys/wsdefs.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The fixture for one test, ended when the test ends.
class Fixture : public CFixtureProcess {
public:
    Fixture() : CFixtureProcess(OSTRELLE_FIXTURE_EXE, "win32_probes_fixture.log", 60) {}
};

WsHandle H(HWND h) {
    return WsHandle(reinterpret_cast<uintptr_t>(h));
}

CWinSys& Ws() {
    CWinSys* ws = PlatformWinSys();
    EXPECT_NE(ws, nullptr);
    return *ws;
}

// Runs a command on the real desktop with hwnd current; what it printed.
std::string RunCommand(CommandFn fn, WsHandle hwnd, const char* args = "") {
    CCapturingContext ctx(Ws());
    ctx.state.hWnd = hwnd;
    RunHandler(ctx, fn, CommandCall{"", "", args});
    return ctx.TakeOut();
}

using evlog::Hex4;
using evlog::Hex8;

WsHandle Low(HMENU m) {
    return WsHandle(reinterpret_cast<uintptr_t>(m)) & 0xFFFF;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    return lines;
}

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower((unsigned char)c));
    return s;
}

// A menu bar with a popup that holds a separator and a popup of its own,
// and a popup without items; destroyed with the object.
struct OwnMenus {
    OwnMenus() {
        AppendMenuA(recent, MF_STRING, 111, "one.txt");
        AppendMenuA(recent, MF_STRING, 112, "two.txt");
        AppendMenuA(file, MF_STRING, 101, "&Open");
        AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
        AppendMenuA(file, MF_STRING, 102, "E&xit");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
        AppendMenuA(bar, MF_STRING, 200, "&Go");
    }
    ~OwnMenus() {
        DestroyMenu(bar); // and the popups in it
        DestroyMenu(empty);
    }
    OwnMenus(const OwnMenus&) = delete;
    OwnMenus& operator=(const OwnMenus&) = delete;

    HMENU bar = CreateMenu(), file = CreatePopupMenu(), recent = CreatePopupMenu(),
          empty = CreatePopupMenu();
};

// The scan reaches a menu by the low 16 bits of its handle (under Wine by
// the next value too: Wine takes h and h | 1 for the same handle), so every
// block below is looked for, not the output as a whole.
TEST(Win32Probes, MenuReportsTheMenusOfThisProcess) {
    OwnMenus m;
    ASSERT_TRUE(m.bar && m.file && m.recent && m.empty);
    const std::string bar = Hex8(Low(m.bar)), file = Hex8(Low(m.file));
    const std::string blocks[] = {
        "Menu " + Hex4(Low(m.bar)) + " (2 Items)\r\n" + "    [  0] = -1 (FFFFFFFF, &File)\r\n" +
            "        [  0] = 101 (00000065, &Open, W=" + bar + ")\r\n" +
            "        [  0] = 0 (00000000, , W=" + bar + ")\r\n" +
            "        [  0] = -1 (FFFFFFFF, &Recent, W=" + bar + ")\r\n" +
            "        [  0] = 102 (00000066, E&xit, W=" + bar + ")\r\n" +
            "    [  1] = 200 (000000C8, &Go)\r\n",
        "Menu " + Hex4(Low(m.file)) + " (4 Items)\r\n" + "    [  0] = 101 (00000065, &Open)\r\n" +
            "    [  1] = 0 (00000000, )\r\n" + "    [  2] = -1 (FFFFFFFF, &Recent)\r\n" +
            "        [  2] = 111 (0000006F, one.txt, W=" + file + ")\r\n" +
            "        [  2] = 112 (00000070, two.txt, W=" + file + ")\r\n" +
            "    [  3] = 102 (00000066, E&xit)\r\n",
        "Menu " + Hex4(Low(m.recent)) + " (2 Items)\r\n" +
            "    [  0] = 111 (0000006F, one.txt)\r\n" + "    [  1] = 112 (00000070, two.txt)\r\n",
        "Menu " + Hex4(Low(m.empty)) + " (0 Items)\r\n",
    };
    const std::string all = RunCommand(CmdMenu, 0);
    for (const std::string& block : blocks) EXPECT_NE(all.find(block), std::string::npos) << block;

    // With a pattern: only submenu items that hold it, without regard to case.
    const std::string found = RunCommand(CmdMenu, 0, "REC");
    EXPECT_NE(found.find("        [  0] = -1 (FFFFFFFF, &Recent, W=" + bar + ")\r\n"),
              std::string::npos)
        << found;
    for (const std::string& line : Lines(found))
        EXPECT_NE(Lower(line).find("rec"), std::string::npos) << line;
}

// A window of this process with a font of its own, and one without.
struct OwnFontWindows {
    OwnFontWindows() {
        top = CreateWindowExA(0, "STATIC", "Probe fonts", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        withFont = CreateWindowExA(0, "STATIC", "ABC", WS_CHILD | WS_VISIBLE, 5, 5, 200, 40, top,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
        without = CreateWindowExA(0, "STATIC", "ABC", WS_CHILD | WS_VISIBLE, 5, 60, 200, 40, top,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        font = CreateFontA(-24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           FIXED_PITCH | FF_MODERN, "Courier New");
        SendMessageA(withFont, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    ~OwnFontWindows() {
        if (top) DestroyWindow(top);
        if (font) DeleteObject(font);
    }
    OwnFontWindows(const OwnFontWindows&) = delete;
    OwnFontWindows& operator=(const OwnFontWindows&) = delete;

    HWND top = nullptr, withFont = nullptr, without = nullptr;
    HFONT font = nullptr;
};

// "CharX=%d, CharY=%d\r\n" for "ABC" in font (none: the device context's own).
std::string Extent(HWND h, HFONT font) {
    HDC dc = GetDC(h);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SIZE size{};
    GetTextExtentPointA(dc, "ABC", 3, &size);
    if (old) SelectObject(dc, old);
    ReleaseDC(h, dc);
    char buf[64];
    std::snprintf(buf, sizeof buf, "CharX=%ld, CharY=%ld\r\n", size.cx, size.cy);
    return buf;
}

TEST(Win32Probes, GetFontMeasuresInTheWindowsFont) {
    OwnFontWindows w;
    ASSERT_TRUE(w.top && w.withFont && w.without && w.font);
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const std::string own = RunCommand(CmdGetFont, H(w.withFont));
    EXPECT_EQ(own, Extent(w.withFont, w.font));
    EXPECT_NE(own, Extent(w.withFont, nullptr)) << "the font of its own makes a difference";
    EXPECT_EQ(RunCommand(CmdGetFont, H(w.without)), Extent(w.without, nullptr));
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
    // The window's own font is still its font and still selectable.
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(w.withFont, WM_GETFONT, 0, 0)), w.font);
    EXPECT_EQ(RunCommand(CmdGetFont, H(w.withFont)), own);
}

// ---- the fixture in a process of its own -----------------------------------

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return "<not open>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text.assign(p, strnlen(p, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool EmptyTheClipboard() {
    if (!OpenClipboard(nullptr)) return false;
    const bool ok = EmptyClipboard();
    CloseClipboard();
    return ok;
}

// The values of the "Found test in window XXXXXXXX" lines.
std::vector<WsHandle> Found(const std::string& out) {
    std::vector<WsHandle> found;
    const std::string key = "\r\nFound test in window ";
    for (size_t at = 0; (at = out.find(key, at)) != std::string::npos; at += key.size())
        found.push_back(WsHandle(std::strtoul(out.c_str() + at + key.size(), nullptr, 16)));
    return found;
}

const char kStrategyText[] = "Strategy: MovAvg Cross\r\nInputs: FastLength(9), SlowLength(18)\r\n";

// Test1 sends the copy command to every value and reads the clipboard each
// time: the strategy window is found with its text, nothing before it is,
// and every window after it is reported with that same text (the clipboard
// is not emptied between windows).  The fixture's window that does not
// answer for a minute holds Test1 up only for the send bound.
TEST(Win32Probes, Test1FindsTheStrategyWindow) {
    Fixture fixture;
    ASSERT_TRUE(fixture.Started());
    ASSERT_TRUE(fixture.WaitReady()) << "the fixture did not show its windows";
    const WsHandle strategy = fixture.Role("ts.strategy") & 0xFFFF;
    const WsHandle untitled = fixture.Role("ts.untitled") & 0xFFFF;
    ASSERT_NE(strategy, 0u);
    ASSERT_TRUE(EmptyTheClipboard());

    const std::string out = RunCommand(CmdTest1, 0);
    const std::vector<WsHandle> found = Found(out);
    ASSERT_FALSE(found.empty()) << out;
    EXPECT_EQ(found.front(), strategy) << out;
    for (WsHandle h : found) EXPECT_GE(h, strategy) << out;
    const std::string report =
        "Wnd=" + Hex8(strategy) + ", Tit=MovAvg Cross: Strategy, " + kStrategyText + "\r\n";
    EXPECT_EQ(out.find(report), 0u) << out;
    if (untitled > strategy) {
        // The untitled strategy copies nothing without 17981 first, and is
        // still reported: with the text its predecessor left.
        EXPECT_NE(std::find(found.begin(), found.end(), untitled), found.end()) << out;
        EXPECT_NE(out.find("Wnd=" + Hex8(untitled) + ", Tit=Untitled Strategy, " + kStrategyText),
                  std::string::npos)
            << out;
    }
    EXPECT_TRUE(fixture.LogShows("ts.strategy copied strategy text"));
    EXPECT_TRUE(fixture.LogShows("ts.untitled copied nothing (no selection)"));
    EXPECT_TRUE(fixture.LogShows("hang WM_COMMAND id=57634 code=0 from=0"));
    EXPECT_EQ(ClipboardText(), kStrategyText) << "closed again, and left as it is";
}

TEST(Win32Probes, TheOtherProbesOnTheFixture) {
    Fixture fixture;
    ASSERT_TRUE(fixture.Started());
    ASSERT_TRUE(fixture.WaitReady()) << "the fixture did not show its windows";
    CWinSys& ws = Ws();

    // Test2: found, then the clipboard emptied.
    const WsHandle strategy = fixture.Role("ts.strategy") & 0xFFFF;
    const std::string test2 = RunCommand(CmdTest2, 0);
    EXPECT_NE(test2.find("TradeStation Strategy=" + Hex8(strategy) +
                         "\r\n\r\nFound test in window " + Hex8(strategy) + "\r\n"),
              std::string::npos)
        << test2;
    EXPECT_EQ(ClipboardText(), "");

    // Test3: both commands in order, then the untitled strategy's text.
    const WsHandle untitled = fixture.Role("ts.untitled") & 0xFFFF;
    const std::string text = "Untitled Strategy\r\nInputs: Length(14), Price(Close)\r\n";
    EXPECT_EQ(RunCommand(CmdTest3, 0), "hAfx=" + Hex8(untitled) + "\r\n\r\nFound test in window " +
                                           Hex8(untitled) + ":\r\n" + text + "\r\nClip: " + text +
                                           "\r\n");

    // Chk: a click at 1,1 that the check box takes.
    const WsHandle check = fixture.Role("dialog.check");
    EXPECT_EQ(RunCommand(CmdChk, check), "");
    EXPECT_TRUE(fixture.LogShows("dialog WM_COMMAND id=1007 code=0 from=dialog.check"));
    EXPECT_EQ(ws.SendMessageA(check, bm::GETCHECK, 0, 0), 1);

    // Date: the control holds the date typed.
    const WsHandle date = fixture.Role("probe.date");
    EXPECT_EQ(RunCommand(CmdDate, date), "");
    EXPECT_TRUE(fixture.LogShows("probe.date holds 2005-12-18"));
    char held[64] = "";
    ws.SendMessageA(date, wm::GETTEXT, sizeof held, reinterpret_cast<intptr_t>(held));
    EXPECT_STREQ(held, "12/18/2005");

    // GetFont on a window of another process: the font handle does not
    // cross (under Wine WM_GETFONT from another process answers 0; on
    // Windows a font belongs to the process that made it), so the extent
    // is the one the fixture measures with its device context's own font.
    const std::string log = fixture.Log();
    long ownX = 0, ownY = 0, plainX = 0, plainY = 0;
    const size_t at = log.find("probe.font extent ABC=");
    ASSERT_NE(at, std::string::npos) << log;
    ASSERT_EQ(std::sscanf(log.c_str() + at, "probe.font extent ABC=%ldx%ld default=%ldx%ld", &ownX,
                          &ownY, &plainX, &plainY),
              4);
    char want[64];
    std::snprintf(want, sizeof want, "CharX=%ld, CharY=%ld\r\n", plainX, plainY);
    const std::string got = RunCommand(CmdGetFont, fixture.Role("probe.font"));
    EXPECT_EQ(got, want) << "the fixture's own font measures " << ownX << "x" << ownY;

    // Menus of another process: what this desktop answers, for the record.
    const WsHandle menu = ws.GetMenu(fixture.Role("main"));
    std::printf("[ measured ] the fixture's menu bar %08X: IsMenu %d, %d items, from another "
                "process\n",
                unsigned(menu), int(ws.IsMenu(menu)), ws.GetMenuItemCount(menu));
}

} // namespace
