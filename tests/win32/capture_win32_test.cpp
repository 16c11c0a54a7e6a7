// Capture against real windows of this process, whose menus this process
// can read: the capture loads as a simulated desktop, and the reports print
// on it what they print on the real windows.
#include "tests/diag/testutil.h"
#include "tool/capture.h"
#include "tool/context.h"
#include "tool/interpreter.h"
#include "winsys/sim/simdesktop.h"
#include "winsys/winsys.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// A window with nested menus (an accelerator text, a separator, a grayed
// item), a list box, a checked check box, an edit with text and a font.
class Form {
public:
    Form() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OstrelleCaptureTest";
        RegisterClassA(&wc);
        HMENU bar = CreateMenu();
        HMENU file = CreatePopupMenu();
        HMENU more = CreatePopupMenu();
        AppendMenuA(file, MF_STRING, 101, "&Open...\tCtrl+O");
        AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(file, MF_STRING | MF_GRAYED, 102, "E&xit");
        AppendMenuA(more, MF_STRING, 301, "&Deep item");
        AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(more), "&More");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
        top = CreateWindowExA(0, "OstrelleCaptureTest", "Capture Test Form",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 420, 300, nullptr, bar,
                              wc.hInstance, nullptr);
        HWND edit = CreateWindowExA(0, "EDIT", "some text", WS_CHILD | WS_VISIBLE, 5, 5, 200, 24,
                                    top, reinterpret_cast<HMENU>(10), wc.hInstance, nullptr);
        SendMessageA(edit, WM_SETFONT, WPARAM(GetStockObject(ANSI_FIXED_FONT)), 0);
        list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_HASSTRINGS, 5, 40, 120,
                               80, top, reinterpret_cast<HMENU>(20), wc.hInstance, nullptr);
        for (const char* item : {"Red", "Green", "Blue"})
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageA(list, LB_SETITEMDATA, 1, 42);
        SendMessageA(list, LB_SETCURSEL, 2, 0);
        HWND check =
            CreateWindowExA(0, "BUTTON", "&Bold", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 130, 40,
                            80, 20, top, reinterpret_cast<HMENU>(30), wc.hInstance, nullptr);
        SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);
    }
    ~Form() {
        if (top) DestroyWindow(top);
    }
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND top = nullptr, list = nullptr;
};

WsHandle Ws(HWND h) {
    return WsHandle(reinterpret_cast<uintptr_t>(h));
}

// What the reports print on ws about the form, with the file ListBox writes.
// (Menu with a pattern: without one it lists every menu of the process,
// the system menus Wine makes for the form's caption too, and a capture
// holds menu bars.)
std::string Reports(CWinSys& ws, const Form& form, const fs::path& dir) {
    fs::create_directories(dir);
    const fs::path before = fs::current_path();
    fs::current_path(dir);
    CCapturingContext ctx(ws);
    std::string out;
    for (const auto& [window, line] : {std::pair{form.top, "Desc"},
                                       {form.top, "Dialog"},
                                       {form.top, "GetFont"},
                                       {form.list, "ListBox"},
                                       {form.top, "Menu,deep"},
                                       {form.top, "Menu,open"}}) {
        ctx.state.hWnd = Ws(window);
        RunLine(ctx, line);
        out += std::string(line) + ":\n" + ctx.TakeOut();
    }
    out += diagtest::ReadAll("ListBox.txt");
    fs::current_path(before);
    return out;
}

TEST(CaptureWin32, ACaptureWithItsMenusAnswersTheReportsAsTheRealWindows) {
    Form form;
    ASSERT_NE(form.top, nullptr);
    CCapturingContext ctx(WinSys());
    CaptureCounts counts;
    const std::string scene = CaptureScene(ctx, Ws(form.top), &counts);
    EXPECT_EQ(counts.windows, 4u);
    EXPECT_EQ(counts.processes, 1u);
    EXPECT_NE(scene.find("\"text\": \"&Deep item\", \"id\": 301"), std::string::npos) << scene;
    EXPECT_NE(scene.find("\"check\": 1"), std::string::npos);
    std::string error;
    auto dry = CSimDesktop::FromJson(scene, "capture", &error);
    ASSERT_NE(dry, nullptr) << error;

    const diagtest::TempDir temp;
    const fs::path& dir = temp.path();
    const std::string live = Reports(WinSys(), form, dir / "live");
    EXPECT_NE(live.find("&Deep item"), std::string::npos) << live;
    // Under Wine a menu answers to its low word and the value after it:
    // the capture says so, and the copy answers the same.
    EXPECT_NE(scene.find("\"lowWordHandles\": \"pairs\""), std::string::npos);
    EXPECT_EQ(Reports(*dry, form, dir / "dry"), live);
}

} // namespace
