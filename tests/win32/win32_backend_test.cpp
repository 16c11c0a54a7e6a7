// The Win32 backend against real windows: windows of this process, and the
// fixture application in a process of its own.
#include "fixtures/fixture_process.h"
#include "tests/win32/platform_ws.h"
#include "tool/context.h"
#include "tool/interpreter.h"
#include "tool/walks.h"
#include "winsys/winsys.h"
#include "winsys/wsdefs.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string ClassOf(WsHandle h) {
    char buf[256];
    Ws().GetClassNameA(h, buf, sizeof buf);
    return buf;
}

// A top-level window with a button, a list box and a combo box, made by and
// living in this process; destroyed with the object.
class OwnWindows {
public:
    OwnWindows() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OstrelleBackendTest";
        RegisterClassA(&wc); // a second registration fails harmlessly
        top = CreateWindowExA(0, "OstrelleBackendTest", "Backend Test Window", WS_OVERLAPPEDWINDOW,
                              30, 40, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        button = CreateWindowExA(0, "BUTTON", "&Save", WS_CHILD | WS_VISIBLE, 5, 5, 80, 20, top,
                                 reinterpret_cast<HMENU>(7), wc.hInstance, nullptr);
        list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_HASSTRINGS, 5, 30, 120,
                               80, top, reinterpret_cast<HMENU>(8), wc.hInstance, nullptr);
        combo =
            CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 130, 30,
                            120, 80, top, reinterpret_cast<HMENU>(9), wc.hInstance, nullptr);
    }
    ~OwnWindows() {
        if (top) DestroyWindow(top);
    }
    OwnWindows(const OwnWindows&) = delete;
    OwnWindows& operator=(const OwnWindows&) = delete;

    HWND top = nullptr, button = nullptr, list = nullptr, combo = nullptr;
};

TEST(Win32Backend, IdentityAndText) {
    OwnWindows w;
    ASSERT_NE(w.top, nullptr) << "CreateWindowExA failed, error " << GetLastError();
    CWinSys& ws = Ws();
    const WsHandle top = H(w.top);
    EXPECT_TRUE(ws.IsWindow(top));
    EXPECT_EQ(ClassOf(top), "OstrelleBackendTest");
    EXPECT_EQ(ClassOf(H(w.button)), "Button");

    struct {
        int size;
        int length;
        const char* text;
    } reads[] = {{100, 19, "Backend Test Window"}, {8, 7, "Backend"}, {1, 0, ""}};
    for (const auto& r : reads) {
        char buf[100];
        std::memset(buf, 'x', sizeof buf);
        EXPECT_EQ(ws.GetWindowTextA(top, buf, r.size), r.length) << r.size;
        EXPECT_STREQ(buf, r.text);
    }
    char untouched[4] = "abc";
    EXPECT_EQ(ws.GetWindowTextA(top, untouched, 0), 0);
    EXPECT_STREQ(untouched, "abc");

    EXPECT_FALSE(ws.IsWindowVisible(top));
    ShowWindow(w.top, SW_SHOWNA);
    EXPECT_TRUE(ws.IsWindowVisible(top));

    WsRect r;
    ASSERT_TRUE(ws.GetWindowRect(top, &r));
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(ws.GetWindowLongA(H(w.button), gwl::ID), 7);
    EXPECT_NE(ws.GetWindowLongA(H(w.button), gwl::STYLE) & int32_t(ws::CHILD), 0);
    EXPECT_EQ(ws.GetWindowLongA(H(w.button), -4 /* GWL_WNDPROC */), 0);
}

TEST(Win32Backend, AnyNumberIsAHandle) {
    CWinSys& ws = Ws();
    // 0xFFFF is HWND_BROADCAST: reading or sending there must not reach every
    // window on the desktop.
    for (WsHandle h : {0u, 0xFFFFu, 0xFFFFFFFFu, 0xFFFF0000u, 0x7FFF0000u}) {
        char buf[16] = "untouched";
        EXPECT_EQ(ws.GetClassNameA(h, buf, sizeof buf), 0) << h;
        EXPECT_STREQ(buf, "");
        EXPECT_EQ(ws.GetWindowTextA(h, buf, sizeof buf), 0) << h;
        EXPECT_FALSE(ws.IsWindowVisible(h));
        EXPECT_EQ(ws.GetParent(h), 0u);
        uint32_t pid = 123;
        EXPECT_EQ(ws.GetWindowThreadProcessId(h, &pid), 0u);
        EXPECT_EQ(pid, 0u);
        WsRect r{1, 2, 3, 4};
        EXPECT_FALSE(ws.GetWindowRect(h, &r));
        EXPECT_EQ(r.right, 0);
        EXPECT_FALSE(ws.IsMenu(h));
        EXPECT_EQ(ws.SendMessageA(h, wm::GETTEXT, sizeof buf, reinterpret_cast<intptr_t>(buf)), 0);
        EXPECT_FALSE(ws.PostMessageA(h, wm::COMMAND, 40003, 0));
    }
    // The handle scans rely on this: the low 16 bits alone name the window.
    OwnWindows w;
    const WsHandle low = H(w.top) & 0xFFFF;
    EXPECT_EQ(ClassOf(low), "OstrelleBackendTest");
    EXPECT_EQ(ws.GetParent(H(w.button)) & 0xFFFF, low);
}

TEST(Win32Backend, TreeAndEnumeration) {
    OwnWindows w;
    CWinSys& ws = Ws();
    const WsHandle top = H(w.top);
    EXPECT_EQ(ws.GetDlgItem(top, 7), H(w.button));
    EXPECT_EQ(ws.GetDlgItem(top, 12345), 0u);
    EXPECT_EQ(ws.GetDlgCtrlID(H(w.list)), 8);
    EXPECT_EQ(ws.GetParent(H(w.button)), top);
    EXPECT_EQ(ws.GetWindow(top, gw::CHILD), H(w.button));
    uint32_t pid = 0;
    EXPECT_EQ(ws.GetWindowThreadProcessId(top, &pid), GetCurrentThreadId());
    EXPECT_EQ(pid, GetCurrentProcessId());

    struct Search {
        WsHandle want;
        int seen;
        bool found;
    } search{top, 0, false};
    auto proc = [](WsHandle h, intptr_t lp) -> int {
        Search* s = reinterpret_cast<Search*>(lp);
        ++s->seen;
        if (h != s->want) return 1;
        s->found = true;
        return 0;
    };
    EXPECT_EQ(ws.EnumWindows(proc, reinterpret_cast<intptr_t>(&search)), 0);
    EXPECT_TRUE(search.found);
    search = Search{0xFFFFFFFFu, 0, false};
    EXPECT_NE(ws.EnumWindows(proc, reinterpret_cast<intptr_t>(&search)), 0);
    EXPECT_GT(search.seen, 0);
}

// Item texts come back in UTF-8, exactly as long as the length message says,
// whatever form the control keeps them in.
TEST(Win32Backend, ListAndComboItemTexts) {
    OwnWindows w;
    CWinSys& ws = Ws();
    const std::string longText(300, 'L');
    const std::string accented = "Gr\xFC\xDF"
                                 "e"; // in code page 1252
    const bool cp1252 = GetACP() == 1252;
    if (!cp1252) std::printf("ANSI code page %u: accented item texts not checked\n", GetACP());
    for (HWND control : {w.list, w.combo}) {
        const bool isList = control == w.list;
        const UINT add = isList ? LB_ADDSTRING : CB_ADDSTRING;
        const uint32_t get = isList ? lb::GETTEXT : cb::GETLBTEXT;
        SendMessageA(control, add, 0, reinterpret_cast<LPARAM>("One"));
        SendMessageA(control, add, 0, reinterpret_cast<LPARAM>(longText.c_str()));
        if (cp1252) SendMessageA(control, add, 0, reinterpret_cast<LPARAM>(accented.c_str()));

        struct {
            int index;
            intptr_t result;
            std::string text;
        } cases[] = {{0, 3, "One"}, {1, 300, longText}, {5, -1, ""}};
        for (const auto& c : cases) {
            char buf[400];
            std::memset(buf, 0x55, sizeof buf);
            intptr_t n = ws.SendMessageA(H(control), get, uintptr_t(c.index),
                                         reinterpret_cast<intptr_t>(buf));
            EXPECT_EQ(n, c.result) << c.index;
            if (n >= 0) {
                EXPECT_EQ(std::string(buf), c.text);
                EXPECT_EQ(buf[n + 1], 0x55) << "wrote past the text";
            }
        }
        if (cp1252) {
            char buf[16];
            std::memset(buf, 0x55, sizeof buf);
            EXPECT_EQ(ws.SendMessageA(H(control), get, 2, reinterpret_cast<intptr_t>(buf)), 7);
            EXPECT_EQ(std::string(buf), "Gr\xC3\xBC\xC3\x9F"
                                        "e");
            EXPECT_EQ(buf[8], 0x55);
        }
    }
}

// Texts cross the layer in UTF-8 and reach the window in UTF-16: set with
// WM_SETTEXT and read with the wide call, set with the wide call and read
// through the layer, cut before a character that would not fit, a lone
// surrogate read as U+FFFD.
TEST(Win32Backend, TextsAreUtf8) {
    // A Unicode window: an ANSI one keeps only what its code page holds.
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 20, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    CWinSys& ws = Ws();
    const WsHandle top = H(window);
    const char* const utf8 =
        "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82 \xE5\xA0\xB1 \xF0\x9F\x98\x80";
    EXPECT_NE(ws.SendMessageA(top, wm::SETTEXT, 0, reinterpret_cast<intptr_t>(utf8)), 0);
    wchar_t wide[64] = L"";
    GetWindowTextW(window, wide, 64);
    EXPECT_EQ(std::wstring(wide), L"\u041E\u0442\u0447\u0451\u0442 \u5831 \U0001F600");
    struct {
        int size;
        const char* text;
    } reads[] = {{100, utf8},
                 {20, utf8},                                                     // all 19 bytes
                 {19, "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82 \xE5\xA0\xB1 "}, // not 3 of 4
                 {15, "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82 \xE5\xA0\xB1"},
                 {14, "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82 "}, // not 2 of 3
                 {3, "\xD0\x9E"},
                 {2, ""}}; // not 1 of 2
    for (const auto& r : reads) {
        char buf[100];
        std::memset(buf, 'x', sizeof buf);
        EXPECT_EQ(ws.GetWindowTextA(top, buf, r.size), int(std::strlen(r.text))) << r.size;
        EXPECT_STREQ(buf, r.text) << r.size;
        std::memset(buf, 'x', sizeof buf);
        ws.SendMessageA(top, wm::GETTEXT, uintptr_t(r.size), reinterpret_cast<intptr_t>(buf));
        EXPECT_STREQ(buf, r.text) << r.size;
    }
    EXPECT_EQ(ws.SendMessageA(top, wm::GETTEXTLENGTH, 0, 0), 19);
    const wchar_t lone[] = {L'a', wchar_t(0xD800), L'b', 0};
    SetWindowTextW(window, lone);
    char buf[16];
    ws.GetWindowTextA(top, buf, sizeof buf);
    EXPECT_STREQ(buf, "a\xEF\xBF\xBD"
                      "b");
    DestroyWindow(window);
}

TEST(Win32Backend, PlacementAndEnabling) {
    OwnWindows w;
    CWinSys& ws = Ws();
    const WsHandle top = H(w.top);
    ASSERT_TRUE(ws.SetWindowPos(top, insert::TOP, 50, 60, 200, 100, swp::NOZORDER));
    WsRect r;
    ASSERT_TRUE(ws.GetWindowRect(top, &r));
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right, 250);
    EXPECT_EQ(r.bottom, 160);
    EXPECT_FALSE(ws.EnableWindow(top, false)); // was enabled
    EXPECT_FALSE(ws.IsWindowEnabled(top));
    EXPECT_TRUE(ws.EnableWindow(top, true)); // was disabled
    EXPECT_TRUE(ws.IsWindowEnabled(top));
    const int32_t style = ws.GetWindowLongA(top, gwl::STYLE);
    EXPECT_EQ(ws.SetWindowLongA(top, gwl::STYLE, style & ~int32_t(WS_MAXIMIZEBOX)), style);
    EXPECT_EQ(ws.GetWindowLongA(top, gwl::STYLE), style & ~int32_t(WS_MAXIMIZEBOX));
}

// Menus are read in-process: under Wine, menus of another process do not
// answer IsMenu and friends.
TEST(Win32Backend, MenusOfThisProcess) {
    OwnWindows w;
    CWinSys& ws = Ws();
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&Open");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, 102, "E&xit the program");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_STRING, 200, "&Help");
    ASSERT_TRUE(SetMenu(w.top, bar));

    const WsHandle m = ws.GetMenu(H(w.top));
    ASSERT_NE(m, 0u);
    EXPECT_TRUE(ws.IsMenu(m));
    EXPECT_EQ(ws.GetMenuItemCount(m), 2);
    EXPECT_EQ(ws.GetMenuItemID(m, 0), 0xFFFFFFFFu); // a submenu
    EXPECT_EQ(ws.GetMenuItemID(m, 1), 200u);
    const WsHandle sub = ws.GetSubMenu(m, 0);
    EXPECT_EQ(sub, WsHandle(reinterpret_cast<uintptr_t>(file)));
    EXPECT_EQ(ws.GetSubMenu(m, 1), 0u);
    EXPECT_EQ(ws.GetMenuItemCount(sub), 3);
    EXPECT_EQ(ws.GetMenuItemID(sub, 2), 102u);
    EXPECT_EQ(ws.GetMenuItemCount(0), -1);

    struct {
        uint32_t pos;
        int size;
        int length;
        const char* text;
    } reads[] = {{0, 80, 5, "&Open"},
                 {1, 80, 0, ""},
                 {2, 80, 17, "E&xit the program"},
                 {2, 6, 5, "E&xit"},
                 {9, 80, 0, ""}};
    for (const auto& r : reads) {
        char buf[80];
        std::memset(buf, 'x', sizeof buf);
        EXPECT_EQ(ws.GetMenuStringA(sub, r.pos, buf, r.size, 0x400), r.length) << r.pos;
        EXPECT_STREQ(buf, r.text);
    }
}

TEST(Win32Backend, TextExtent) {
    OwnWindows w;
    CWinSys& ws = Ws();
    const WsHandle dc = ws.GetDC(H(w.top));
    ASSERT_NE(dc, 0u);
    WsSize one, three;
    EXPECT_TRUE(ws.GetTextExtentPointA(dc, "A", 1, &one));
    EXPECT_TRUE(ws.GetTextExtentPointA(dc, "ABC", 3, &three));
    EXPECT_GT(one.cx, 0);
    EXPECT_GT(three.cx, one.cx);
    EXPECT_EQ(three.cy, one.cy);
    EXPECT_EQ(ws.ReleaseDC(H(w.top), dc), 1);
    EXPECT_FALSE(ws.GetTextExtentPointA(0, "A", 1, &one));
}

// Puts text on the clipboard with the plain Win32 calls.
bool PutClipboardText(HWND owner, const char* text) {
    const size_t n = std::strlen(text) + 1;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, n);
    if (!mem) return false;
    std::memcpy(GlobalLock(mem), text, n);
    GlobalUnlock(mem);
    if (!OpenClipboard(owner)) {
        GlobalFree(mem);
        return false;
    }
    EmptyClipboard();
    const bool ok = SetClipboardData(CF_TEXT, mem) != nullptr;
    if (!ok) GlobalFree(mem);
    CloseClipboard();
    return ok;
}

// Reads the clipboard text through the backend ("" when there is none).
std::string ClipboardText(WsHandle owner) {
    CWinSys& ws = Ws();
    std::string text;
    if (!ws.OpenClipboard(owner)) return "<not open>";
    if (WsMem data = ws.GetClipboardData(1)) {
        if (const char* p = static_cast<const char*>(ws.GlobalLock(data))) {
            text.assign(p, strnlen(p, 100000));
            ws.GlobalUnlock(data);
        }
    }
    ws.CloseClipboard();
    return text;
}

TEST(Win32Backend, Clipboard) {
    OwnWindows w;
    CWinSys& ws = Ws();
    ASSERT_TRUE(PutClipboardText(w.top, "Inputs: Length(14)"));
    EXPECT_EQ(ClipboardText(H(w.top)), "Inputs: Length(14)");
    ASSERT_TRUE(ws.OpenClipboard(H(w.top)));
    EXPECT_TRUE(ws.EmptyClipboard());
    EXPECT_EQ(ws.GetClipboardData(1), 0u);
    EXPECT_TRUE(ws.CloseClipboard());
    EXPECT_EQ(ws.GlobalLock(0), nullptr);
}

TEST(Win32Backend, OwnProcessMemory) {
    CWinSys& ws = Ws();
    const WsMem process = ws.OpenProcess(0x438, false, GetCurrentProcessId());
    ASSERT_NE(process, 0u);
    EXPECT_EQ(ws.ProcessBits(process), 64);
    const WsMem remote = ws.VirtualAllocEx(process, 0, 1000, 0x1000, 4);
    ASSERT_NE(remote, 0u);
    char zeros[16];
    size_t n = 99;
    EXPECT_TRUE(ws.ReadProcessMemory(process, remote, zeros, sizeof zeros, &n));
    EXPECT_EQ(n, sizeof zeros);
    EXPECT_EQ(std::string(zeros, 16), std::string(16, '\0')); // fresh memory reads as zeros
    const char data[] = "remote text";
    EXPECT_TRUE(ws.WriteProcessMemory(process, remote + 100, data, sizeof data, &n));
    EXPECT_EQ(n, sizeof data);
    char back[sizeof data] = {};
    EXPECT_TRUE(ws.ReadProcessMemory(process, remote + 100, back, sizeof back, &n));
    EXPECT_STREQ(back, data);
    EXPECT_TRUE(ws.VirtualFreeEx(process, remote, 0, 0x8000));
    EXPECT_TRUE(ws.CloseHandle(process));

    EXPECT_EQ(ws.OpenProcess(0x438, false, 0), 0u);
    EXPECT_EQ(ws.ProcessBits(0), 0);
    EXPECT_FALSE(ws.ReadProcessMemory(0, remote, back, sizeof back, &n));
    EXPECT_EQ(n, 0u);
}

// ---- the fixture application in a process of its own -------------------

// The fixture for one test, ended when the test ends.
class Fixture : public CFixtureProcess {
public:
    Fixture() : CFixtureProcess(OSTRELLE_FIXTURE_EXE, "win32_fixture.log", 60) {}
};

// The first descendant of parent with this class name, by a bounded walk.
WsHandle FindChild(WsHandle parent, const char* cls) {
    CWinSys& ws = Ws();
    WsHandle stack[64];
    int top = 0;
    stack[top++] = parent;
    for (int steps = 0; top > 0 && steps < 1000; ++steps) {
        WsHandle h = ws.GetWindow(stack[--top], gw::CHILD);
        for (int n = 0; h && n < 100; ++n, h = ws.GetWindow(h, gw::HWNDNEXT)) {
            if (ClassOf(h) == cls) return h;
            if (top < 64) stack[top++] = h;
        }
    }
    return 0;
}

TEST(Win32Backend, FixtureInAnotherProcess) {
    Fixture fixture;
    ASSERT_TRUE(fixture.Started()) << OSTRELLE_FIXTURE_EXE;
    ASSERT_TRUE(fixture.WaitReady()) << "the fixture did not show its windows";
    const WsHandle dlg = fixture.Window("#32770", "Fixture Dialog");
    ASSERT_NE(dlg, 0u) << "the fixture's dialog did not show";
    CWinSys& ws = Ws();
    uint32_t pid = 0;
    ws.GetWindowThreadProcessId(dlg, &pid);
    EXPECT_EQ(pid, fixture.Pid());

    // List box items across processes: their UTF-8 texts, never more bytes.
    const WsHandle list = ws.GetDlgItem(dlg, 1005);
    ASSERT_EQ(ClassOf(list), "ListBox");
    ASSERT_EQ(ws.SendMessageA(list, lb::GETCOUNT, 0, 0), 4);
    const char* want[] = {"One", "Two", "Three",
                          "Gr\xC3\xBC\xC3\x9F"
                          "e"};
    for (int i = 0; i < 4; ++i) {
        if (i == 3 && GetACP() != 1252) break;
        char buf[100];
        std::memset(buf, 0x55, sizeof buf);
        intptr_t n =
            ws.SendMessageA(list, lb::GETTEXT, uintptr_t(i), reinterpret_cast<intptr_t>(buf));
        EXPECT_EQ(n, intptr_t(std::strlen(want[i]))) << i;
        EXPECT_STREQ(buf, want[i]);
        EXPECT_EQ(buf[std::strlen(want[i]) + 1], 0x55) << "wrote past the text of item " << i;
        EXPECT_EQ(ws.SendMessageA(list, lb::GETITEMDATA, uintptr_t(i), 0), 10 * (i + 1));
    }
    EXPECT_EQ(ws.SendMessageA(list, lb::GETCURSEL, 0, 0), 2);

    const WsHandle combo = ws.GetDlgItem(dlg, 1004);
    char item[100];
    EXPECT_EQ(ws.SendMessageA(combo, cb::GETLBTEXT, 1, reinterpret_cast<intptr_t>(item)), 4);
    EXPECT_STREQ(item, "Beta");
    EXPECT_EQ(ws.SendMessageA(combo, cb::GETCURSEL, 0, 0), 1);

    // A list-view item read through a request record in the owner's memory.
    const WsHandle lv = ws.GetDlgItem(dlg, 1006);
    ASSERT_EQ(ClassOf(lv), "SysListView32");
    EXPECT_EQ(ws.SendMessageA(lv, lvm::GETITEMCOUNT, 0, 0), 3);
    const WsMem process = ws.OpenProcess(0x438, false, pid);
    ASSERT_NE(process, 0u);
    const LvItemLayout& layout = LvItemLayoutFor(ws.ProcessBits(process));
    const WsMem record = ws.VirtualAllocEx(process, 0, layout.size, 0x1000, 4);
    const WsMem text = ws.VirtualAllocEx(process, 0, 1000, 0x1000, 4);
    ASSERT_NE(record, 0u);
    ASSERT_NE(text, 0u);
    const char* cells[][2] = {{"Apple", "1"}, {"Banana", "2"}, {"Cherry", "3"}};
    for (int i = 0; i < 3; ++i) {
        for (int c = 0; c < 2; ++c) {
            unsigned char rec[kLvItemMaxSize] = {};
            const int32_t sub = c, max = 512;
            std::memcpy(rec + layout.iSubItem, &sub, 4);
            std::memcpy(rec + layout.pszText, &text, layout.pointerSize);
            std::memcpy(rec + layout.cchTextMax, &max, 4);
            ASSERT_TRUE(ws.WriteProcessMemory(process, record, rec, layout.size, nullptr));
            ws.SendMessageA(lv, lvm::GETITEMTEXTA, uintptr_t(i), intptr_t(record));
            char got[512] = {};
            ASSERT_TRUE(ws.ReadProcessMemory(process, text, got, sizeof got, nullptr));
            EXPECT_STREQ(got, cells[i][c]) << i << "," << c;
        }
    }
    EXPECT_EQ(ws.SendMessageA(lv, lvm::GETITEMSTATE, 1, lvis::SELECTED), intptr_t(lvis::SELECTED));
    EXPECT_TRUE(ws.VirtualFreeEx(process, record, 0, 0x8000));
    EXPECT_TRUE(ws.VirtualFreeEx(process, text, 0, 0x8000));
    EXPECT_TRUE(ws.CloseHandle(process));
}

TEST(Win32Backend, FixtureStrategyWindowsCopy) {
    Fixture fixture;
    ASSERT_TRUE(fixture.Started());
    ASSERT_TRUE(fixture.WaitReady()) << "the fixture did not show its windows";
    const WsHandle frame = fixture.Window("ORPLAT.EXE TRADESTATION", nullptr);
    ASSERT_NE(frame, 0u);
    CWinSys& ws = Ws();
    const WsHandle client = FindChild(frame, "MDIClient");
    ASSERT_NE(client, 0u);
    const WsHandle strategy = FindChild(client, "ORContainerMDIChildFrame:8455");
    const WsHandle untitled = FindChild(client, "Afx:00400000:b:00010003:00000006:00000000");
    ASSERT_NE(strategy, 0u);
    ASSERT_NE(untitled, 0u);
    EXPECT_EQ(ws.GetParent(untitled), client);

    auto clear = [&] {
        ASSERT_TRUE(ws.OpenClipboard(0));
        ws.EmptyClipboard();
        ws.CloseClipboard();
    };
    clear();
    ws.SendMessageA(strategy, wm::COMMAND, 57634, 0);
    EXPECT_NE(ClipboardText(0).find("Inputs:"), std::string::npos);

    clear();
    ws.SendMessageA(untitled, wm::COMMAND, 57634, 0); // not without 17981 first
    EXPECT_EQ(ClipboardText(0), "");
    ws.SendMessageA(untitled, wm::COMMAND, 17981, 0);
    ws.SendMessageA(untitled, wm::COMMAND, 57634, 0);
    EXPECT_EQ(ClipboardText(0).rfind("Untitled Strategy\r\nInputs:", 0), 0u) << ClipboardText(0);
}

// What the backend sends reaches the fixture, and the fixture's log tells
// it: the log the tool cases compare.
TEST(Win32Backend, FixtureLogsWhatItReceives) {
    Fixture fixture;
    ASSERT_TRUE(fixture.Started());
    ASSERT_TRUE(fixture.WaitReady()) << "the fixture did not show its windows";
    CWinSys& ws = Ws();
    const WsHandle main = fixture.Window("OstrelleFixture", "Ostrelle Fixture");
    const WsHandle dlg = fixture.Window("#32770", "Fixture Dialog");
    ASSERT_NE(main, 0u);
    ASSERT_NE(dlg, 0u);
    const WsHandle edit = ws.GetDlgItem(dlg, 1003);
    const WsHandle check = ws.GetDlgItem(dlg, 1007);

    ws.SendMessageA(main, wm::COMMAND, 40002, intptr_t(dlg));
    ws.SendMessageA(main, wm::SETTEXT, 0, reinterpret_cast<intptr_t>("Renamed"));
    ws.PostMessageA(edit, wm::CHAR, 'A', 1);
    ws.PostMessageA(edit, wm::KEYDOWN, vk::RIGHT, 0);
    ws.SendMessageA(check, wm::LBUTTONDOWN, mk::LBUTTON, (5 << 16) | 3);
    ws.SendMessageA(check, wm::LBUTTONUP, 0, (5 << 16) | 3);
    ws.SetWindowPos(main, 0, 20, 30, 0, 0, swp::NOSIZE | swp::NOZORDER | swp::NOACTIVATE);
    ws.EnableWindow(edit, false);
    const int32_t style = ws.GetWindowLongA(dlg, gwl::STYLE);
    ws.SetWindowLongA(dlg, gwl::STYLE, style & ~int32_t(WS_SYSMENU));
    // A last sent message: the sent ones are handled in the order sent.
    ws.SendMessageA(main, wm::COMMAND, 40030, 0);

    // The fixture handles posted messages in its own time, after the sent
    // ones: each line is waited for.
    std::string log;
    auto has = [&](const std::string& line) {
        const bool shown = fixture.LogShows(line);
        log = fixture.LogAfterReady();
        return shown;
    };
    EXPECT_TRUE(has("main WM_COMMAND id=40002 code=0 from=dialog")) << log;
    EXPECT_TRUE(has("main WM_SETTEXT 'Renamed'")) << log;
    EXPECT_TRUE(has("dialog.edit WM_CHAR code=0x41 lparam=0x00000001")) << log;
    EXPECT_TRUE(has("dialog.edit WM_KEYDOWN code=0x27 lparam=0x00000000")) << log;
    EXPECT_TRUE(has("dialog.check WM_LBUTTONDOWN keys=1 x=3 y=5")) << log;
    EXPECT_TRUE(has("dialog.check WM_LBUTTONUP keys=0 x=3 y=5")) << log;
    EXPECT_TRUE(has("dialog WM_COMMAND id=1007 code=0 from=dialog.check")) << log;
    EXPECT_TRUE(has("main WM_WINDOWPOSCHANGED x=20 y=30 cx=500 cy=300")) << log;
    EXPECT_TRUE(has("dialog.edit WM_ENABLE 0")) << log;
    char styles[80];
    std::snprintf(styles, sizeof styles, "dialog WM_STYLECHANGED style old=%08X new=%08X",
                  unsigned(style), unsigned(style & ~int32_t(WS_SYSMENU)));
    EXPECT_TRUE(has(styles)) << log;
    EXPECT_TRUE(has("main WM_COMMAND id=40030 code=0 from=0")) << log;
    // In the order sent.
    EXPECT_LT(log.find("id=40002"), log.find("WM_SETTEXT"));
    EXPECT_LT(log.find("WM_ENABLE"), log.find("id=40030"));
}

// The children-by-id walk gives what asking GetDlgItem for every id gives,
// on real windows: duplicate ids, ids 0 and 65535, a hidden child, a
// grandchild that GetDlgItem never sees; and on the fixture's dialog.
TEST(Win32Backend, ChildrenByIdIsGetDlgItem) {
    OwnWindows w;
    ASSERT_NE(w.top, nullptr);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    struct {
        int id;
        DWORD style;
    } extra[] = {{0, WS_VISIBLE},     {5, WS_VISIBLE}, {5, WS_VISIBLE},
                 {65535, WS_VISIBLE}, {7, 0},          {65536, WS_VISIBLE}};
    HWND parentOfInner = nullptr;
    for (const auto& e : extra) {
        HWND h = CreateWindowExA(0, "BUTTON", "x", WS_CHILD | e.style, 0, 0, 10, 10, w.top,
                                 reinterpret_cast<HMENU>(intptr_t(e.id)), instance, nullptr);
        ASSERT_NE(h, nullptr);
        parentOfInner = h;
    }
    CreateWindowExA(0, "BUTTON", "inner", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parentOfInner,
                    reinterpret_cast<HMENU>(intptr_t(11)), instance, nullptr);
    CWinSys& ws = Ws();
    auto everyId = [&](WsHandle parent, int lastId) {
        std::vector<DlgChild> out;
        for (int id = 0; id <= lastId; ++id)
            if (WsHandle h = ws.GetDlgItem(parent, id)) out.push_back(DlgChild{id, h});
        return out;
    };
    const std::vector<DlgChild> walked = ChildrenById(ws, H(w.top), 65535);
    EXPECT_EQ(walked, everyId(H(w.top), 65535));
    EXPECT_EQ(walked.size(), 6u); // 0, 5, 7, 8, 9, 65535
    EXPECT_EQ(ChildrenById(ws, H(w.top), 65534), everyId(H(w.top), 65534));

    Fixture fixture;
    ASSERT_TRUE(fixture.Started());
    ASSERT_TRUE(fixture.WaitReady()) << "the fixture did not show its windows";
    const WsHandle dlg = fixture.Window("#32770", "Fixture Dialog");
    ASSERT_NE(dlg, 0u);
    EXPECT_EQ(ChildrenById(ws, dlg, 65535), everyId(dlg, 65535));
}

// A send to a window whose handler does not return gives up after the bound
// (plus a second for the machine), returns 0 and says so.
TEST(Win32Backend, UnansweredSendReturnsAfterTheBound) {
    Fixture fixture;
    ASSERT_TRUE(fixture.Started());
    ASSERT_TRUE(fixture.WaitReady()) << "the fixture did not show its windows";
    const WsHandle hang = fixture.Window("OstrelleHang", "Hanging Window");
    ASSERT_NE(hang, 0u);
    CWinSys& ws = Ws();
    std::vector<std::string> told;
    ws.SetSendTimeout(2000);
    ws.SetUnansweredHandler([&](WsHandle h, uint32_t msg, uint32_t waited) {
        told.push_back(std::to_string(h == hang) + " " + std::to_string(msg) + " " +
                       std::to_string(waited));
    });
    const DWORD start = GetTickCount();
    const intptr_t result = ws.SendMessageA(hang, wm::COMMAND, 1, 0);
    const DWORD took = GetTickCount() - start;
    ws.SetSendTimeout(kDefaultSendTimeoutMs);
    ws.SetUnansweredHandler(nullptr);
    EXPECT_EQ(result, 0);
    EXPECT_LE(took, 3000u);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], "1 273 2000");
    EXPECT_TRUE(fixture.LogShows("hang WM_COMMAND id=1 code=0 from=0"));
}

// The placement, text, style and enable commands, run by the tool's own
// interpreter on the fixture, read back from the windows.
TEST(Win32Backend, PlacementCommandsReadBack) {
    Fixture fixture;
    ASSERT_TRUE(fixture.Started());
    ASSERT_TRUE(fixture.WaitReady()) << "the fixture did not show its windows";
    const WsHandle frame = fixture.Window("ORPLAT.EXE TRADESTATION", nullptr);
    const WsHandle dlg = fixture.Window("#32770", "Fixture Dialog");
    ASSERT_NE(frame, 0u);
    ASSERT_NE(dlg, 0u);
    CWinSys& ws = Ws();
    const WsHandle save = ws.GetDlgItem(dlg, 1001);
    const uint32_t style = uint32_t(ws.GetWindowLongA(frame, gwl::STYLE)) & ~0x00010000u;

    const char* tmp = std::getenv("OSTRELLE_TEST_TMP");
    const std::string path = std::string(tmp ? tmp : ".") + "/place_commands.txt";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fprintf(f,
                 "Wnd,0x%08X\nPos,10,20,300,200\nSize,30,40,400,300\nMove,5,-5\n"
                 "Title,Moved, Sized\nSetStyle,%08X\nDisable,%08X\n",
                 unsigned(frame), unsigned(style), unsigned(save));
    std::fclose(f);
    f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    CCapturingContext ctx(ws);
    RunCommands(ctx, f);
    std::fclose(f);
    std::fflush(stdout);

    WsRect r;
    ASSERT_TRUE(ws.GetWindowRect(frame, &r));
    EXPECT_EQ(r.left, 35);
    EXPECT_EQ(r.top, 35);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 300);
    char text[100] = "";
    ws.GetWindowTextA(frame, text, sizeof text);
    EXPECT_STREQ(text, "Moved, Sized");
    // The system adds WS_CLIPSIBLINGS to an overlapped window of its own.
    EXPECT_EQ(uint32_t(ws.GetWindowLongA(frame, gwl::STYLE)) & ~uint32_t(WS_CLIPSIBLINGS),
              style & ~uint32_t(WS_CLIPSIBLINGS));
    EXPECT_FALSE(ws.IsWindowEnabled(save));
    EXPECT_EQ(ctx.state.hDlg, save);
}

// ---- the enumeration walk against the sweep ---------------------------------

// The values 0..0xFFFF at which a sweep meets a window.
// The values a sweep meets a window at, those of other window stations
// left out (Wine's services keep a station with a desktop of their own;
// its windows name no class here).
std::vector<WsHandle> SweptWindows(CWinSys& ws) {
    std::vector<WsHandle> out;
    char cls[8];
    for (uint32_t h = 0; h <= kLastHandle; ++h)
        if (ws.IsWindow(WsHandle(h)) && ws.GetClassNameA(WsHandle(h), cls, sizeof cls) > 0)
            out.push_back(WsHandle(h));
    return out;
}

// The walk and the sweep, on a desktop that holds still: the walk between
// two sweeps that agree (windows of other programs come and go).
void ExpectWalkIsSweep(const char* what) {
    CWinSys& ws = Ws();
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::vector<WsHandle> before = SweptWindows(ws);
        const auto walked = WindowValues(ws, 0, kLastHandle);
        const std::vector<WsHandle> after = SweptWindows(ws);
        if (before != after) continue;
        ASSERT_TRUE(walked) << what << ": the enumeration reports itself incomplete";
        EXPECT_EQ(*walked, before) << what;
        EXPECT_GT(before.size(), 3u) << what;
        return;
    }
    ADD_FAILURE() << what << ": the desktop did not hold still";
}

// A program of Wine's own, ended with the test.
class OwnProgram {
public:
    explicit OwnProgram(const char* commandLine) {
        std::string cmd = commandLine;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                           &pi_))
            WaitForInputIdle(pi_.hProcess, 10000);
        else
            pi_ = PROCESS_INFORMATION{};
    }
    ~OwnProgram() {
        if (!pi_.hProcess) return;
        TerminateProcess(pi_.hProcess, 0);
        WaitForSingleObject(pi_.hProcess, 10000);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    OwnProgram(const OwnProgram&) = delete;
    OwnProgram& operator=(const OwnProgram&) = delete;
    bool Started() const { return pi_.hProcess != nullptr; }

private:
    PROCESS_INFORMATION pi_{};
};

// Every window a sweep of 0..0xFFFF meets, in its order, and no other:
// this process's windows, a message-only window with a child, the
// fixture's, and Wine's own programs.
TEST(Win32Backend, WindowValuesAreTheSweepsWindows) {
    ExpectWalkIsSweep("this process alone");
    OwnWindows w;
    ASSERT_NE(w.top, nullptr);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND message = CreateWindowExA(0, "OstrelleBackendTest", "message-only", 0, 0, 0, 0, 0,
                                   HWND_MESSAGE, nullptr, instance, nullptr);
    ASSERT_NE(message, nullptr);
    HWND inner = CreateWindowExA(0, "BUTTON", "inner", WS_CHILD, 0, 0, 1, 1, message,
                                 reinterpret_cast<HMENU>(intptr_t(3)), instance, nullptr);
    ASSERT_NE(inner, nullptr);
    ExpectWalkIsSweep("with own and message-only windows");
    if (const auto values = WindowValues(Ws(), 0, kLastHandle)) {
        for (HWND h : {w.top, w.button, message, inner}) {
            EXPECT_NE(std::find(values->begin(), values->end(), H(h) & 0xFFFF), values->end());
        }
    }

    Fixture fixture;
    ASSERT_TRUE(fixture.Started());
    ASSERT_TRUE(fixture.WaitReady()) << "the fixture did not show its windows";
    ExpectWalkIsSweep("with the fixture");
    OwnProgram notepad("notepad.exe");
    OwnProgram clock("winver.exe");
    EXPECT_TRUE(notepad.Started());
    ExpectWalkIsSweep("with the fixture and Wine's programs");
    DestroyWindow(message);
}

// A second desktop in the window station holds windows the enumeration
// cannot list from here (its message-only windows): the walk then reports
// itself incomplete, and the commands sweep.
TEST(Win32Backend, WindowValuesFailWithAnotherDesktopInTheStation) {
    ASSERT_TRUE(WindowValues(Ws(), 0, kLastHandle).has_value());
    HDESK other = CreateDesktopA("OstrelleOtherDesktop", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(WindowValues(Ws(), 0, kLastHandle).has_value());
    CloseDesktop(other);
}

} // namespace
