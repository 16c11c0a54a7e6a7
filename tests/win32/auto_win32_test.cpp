// The automation commands against real windows of this process: MenuItem
// on menus this process can read (another process's menus do not answer
// under Wine), Type through a real message loop, Select and Check on real
// controls.
#include "tests/win32/platform_ws.h"
#include "tool/context.h"
#include "tool/interpreter.h"
#include "winsys/winsys.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

namespace {

// What a window of this test heard last through WM_COMMAND.
WPARAM gLastCommand = 0;
LPARAM gLastCommandFrom = 0;

LRESULT CALLBACK FormProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) {
        gLastCommand = wp;
        gLastCommandFrom = lp;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

// A window with a menu bar, a multi-line edit, a list box and a check box.
class Form {
public:
    Form() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = FormProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OstrelleAutoTest";
        RegisterClassA(&wc);
        HMENU bar = CreateMenu();
        HMENU file = CreatePopupMenu();
        HMENU recent = CreatePopupMenu();
        AppendMenuA(file, MF_STRING, 101, "&Open...\tCtrl+O");
        AppendMenuA(file, MF_STRING | MF_GRAYED, 102, "&Print");
        AppendMenuA(recent, MF_STRING, 110, "&1 report.txt");
        AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
        top = CreateWindowExA(0, "OstrelleAutoTest", "Auto Test Form",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300, nullptr, bar,
                              wc.hInstance, nullptr);
        edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 5, 5, 200, 80,
                               top, reinterpret_cast<HMENU>(10), wc.hInstance, nullptr);
        list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_HASSTRINGS, 5, 90, 120,
                               80, top, reinterpret_cast<HMENU>(20), wc.hInstance, nullptr);
        for (const char* item : {"Red", "Green", "Blue"})
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        check =
            CreateWindowExA(0, "BUTTON", "&Bold", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 130, 90,
                            80, 20, top, reinterpret_cast<HMENU>(30), wc.hInstance, nullptr);
    }
    ~Form() {
        if (top) DestroyWindow(top);
    }
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND top = nullptr, edit = nullptr, list = nullptr, check = nullptr;
};

// Handles what is queued, as an application's message loop does.
void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

struct Line {
    const char* line;
    Fault fault;
    const char* out;
    WPARAM command; // what the form hears, 0: nothing
};

TEST(AutomationWin32, MenuItemPostsTheCommandOfTheItemItsPathNames) {
    Form form;
    CCapturingContext ctx(Ws());
    const Line lines[] = {
        {"MenuItem,File>Open...", Fault::kNone, "Menu item 'File>Open...' (id 101)\n", 101},
        {"MenuItem,file>RECENT>1 report.txt", Fault::kNone,
         "Menu item 'file>RECENT>1 report.txt' (id 110)\n", 110},
        {"MenuItem,File>Print", Fault::kItemDisabled, "", 0},
        {"MenuItem,File>Nothing", Fault::kNoSuchItem, "", 0},
        {"MenuItem,File>Recent", Fault::kNoSuchItem, "", 0},
    };
    for (const Line& l : lines) {
        Pump();
        gLastCommand = 0;
        ctx.state.hWnd = H(form.top);
        const Outcome outcome = RunLine(ctx, l.line);
        Pump();
        EXPECT_EQ(int(outcome.fault), int(l.fault)) << l.line << ": " << outcome.Reason();
        EXPECT_EQ(ctx.TakeOut(), l.out) << l.line;
        EXPECT_EQ(gLastCommand, l.command) << l.line;
    }
}

// The form in a thread of its own with an application's message loop, so
// that typed messages arrive as in another program.  With peek, the loop
// asks for messages between taking one and translating it, as a program's
// hook or accelerator handler may.
class FormThread {
public:
    explicit FormThread(bool peek = false) : ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this, peek] {
            Form form;
            edit = form.edit;
            threadId_ = GetCurrentThreadId();
            SetEvent(ready_);
            MSG m;
            while (GetMessageA(&m, nullptr, 0, 0) > 0) {
                MSG ahead;
                if (peek) PeekMessageA(&ahead, nullptr, 0, 0, PM_NOREMOVE);
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
        });
        WaitForSingleObject(ready_, 10000);
    }
    ~FormThread() {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
        CloseHandle(ready_);
    }
    FormThread(const FormThread&) = delete;
    FormThread& operator=(const FormThread&) = delete;

    HWND edit = nullptr;

private:
    HANDLE ready_;
    DWORD threadId_ = 0;
    std::thread thread_;
};

// Typed into a plain loop and into one that asks for messages before it
// translates: the character of a key-down comes before what is typed after
// it, and the text is there when Type returns.
TEST(AutomationWin32, TypeLeavesTheTextInARealEditControl) {
    const std::string want = "Hello, World\r\nsecond linE";
    for (const bool peek : {false, true}) {
        FormThread form(peek);
        CCapturingContext ctx(Ws());
        ctx.state.hWnd = H(form.edit);
        ASSERT_TRUE(RunLine(ctx, "Type,Hello, World{Enter}second line{Backspace}E").Done());
        char text[200] = "";
        GetWindowTextA(form.edit, text, sizeof text);
        EXPECT_EQ(std::string(text), want) << (peek ? "a loop that peeks" : "a plain loop");
    }
}

TEST(AutomationWin32, SelectAndCheckChangeTheControlsAndTellTheParent) {
    Form form;
    CCapturingContext ctx(Ws());
    ctx.state.hWnd = H(form.list);
    ASSERT_TRUE(RunLine(ctx, "Select,blue").Done());
    EXPECT_EQ(SendMessageA(form.list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(gLastCommand, MAKEWPARAM(20, LBN_SELCHANGE));
    EXPECT_EQ(gLastCommandFrom, reinterpret_cast<LPARAM>(form.list));
    ctx.state.hWnd = H(form.check);
    ASSERT_TRUE(RunLine(ctx, "Check").Done());
    EXPECT_EQ(SendMessageA(form.check, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(gLastCommand, MAKEWPARAM(30, BN_CLICKED));
    EXPECT_EQ(
        ctx.TakeOut(), "Selected 2 (Blue)\nCheck: 0x" + [&] {
            char b[16];
            std::snprintf(b, sizeof b, "%08X", unsigned(H(form.check)));
            return std::string(b);
        }() + " is 1\n");
}

} // namespace
