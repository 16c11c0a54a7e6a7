// The clipboard reader, the control action routine, and what the probes
// leave behind on the simulated desktop: the clipboard closed and unlocked,
// device contexts given back, the menu search's wait on the virtual clock.
#include "tool/commands.h"
#include "tool/interpreter.h"
#include "tool/probe.h"
#include "txt/ctxt.h"
#include "winsys/sim/simdesktop.h"
#include "winsys/wsdefs.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<CSimDesktop> Desktop(const std::string& scene) {
    std::string error;
    auto d = CSimDesktop::FromJson(scene, "probes", &error);
    EXPECT_NE(d, nullptr) << error;
    return d;
}

// Windows 16 and 17 to own the clipboard, and whatever the case puts there.
std::string ClipboardScene(const std::string& clipboard) {
    return R"J({"windows": [{"handle": 16, "class": "Owner"}, {"handle": 17, "class": "Other"}])J" +
           (clipboard.empty() ? std::string() : ", \"clipboard\": " + clipboard) + "}";
}

// True when the clipboard's data was left locked: a lock of our own then
// leaves one behind when it is undone.
bool LeftLocked(CSimDesktop& d) {
    if (!d.OpenClipboard(0)) return false;
    const WsMem data = d.GetClipboardData(cf::TEXT);
    const bool locked = data && d.GlobalLock(data) && d.GlobalUnlock(data);
    d.CloseClipboard();
    return locked;
}

TEST(GetClipboardTxt, ResultsAndWhatItLeaves) {
    struct Case {
        const char* name;
        std::string clipboard; // the scene's "clipboard" value, or empty for none
        WsHandle holder;       // a window that holds the clipboard open first, or 0
        WsHandle owner;
        int result;
        std::string text;
    } cases[] = {
        {"a text", R"J({"text": "Inputs: Length(9)"})J", 0, 16, 17, "Inputs: Length(9)"},
        {"no owner window", R"J({"text": "Inputs: Length(9)"})J", 0, 0, 17, "Inputs: Length(9)"},
        {"an empty text", R"J({"text": ""})J", 0, 16, 0, ""},
        {"no text", "", 0, 16, -2, ""},
        {"open elsewhere", R"J({"text": "Inputs: Length(9)"})J", 17, 16, -1, ""},
        {"owner names no window", R"J({"text": "Inputs: Length(9)"})J", 0, 0x1234, -1, ""},
        // Read up to the end of its block, not beyond: the simulated block
        // holds exactly these ten bytes, so reading further is caught by the
        // address sanitizer.
        {"no terminator in the block", R"J({"text": "0123456789", "terminated": false})J", 0, 16,
         10, "0123456789"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto d = Desktop(ClipboardScene(c.clipboard));
        ASSERT_NE(d, nullptr);
        if (c.holder) {
            ASSERT_TRUE(d->OpenClipboard(c.holder));
        }
        CTxt text("stale");
        EXPECT_EQ(GetClipboardTxt(*d, c.owner, text), c.result);
        EXPECT_EQ(std::string(text), c.text);
        // Closed again when it opened it; left open by whoever else holds it.
        EXPECT_EQ(d->ClipboardIsOpen(), c.holder != 0);
        if (c.holder) {
            EXPECT_TRUE(d->CloseClipboard());
        }
        EXPECT_FALSE(LeftLocked(*d));
    }
}

TEST(GetClipboardTxt, TheOtherFormUsesTheProcessWideDesktop) {
    auto d = Desktop(ClipboardScene(R"J({"text": "Inputs: Length(9)"})J"));
    ASSERT_NE(d, nullptr);
    CWinSys* previous = SetWinSys(d.get());
    CTxt text;
    EXPECT_EQ(GetClipboardTxt(16, text), 17);
    SetWinSys(previous);
    EXPECT_EQ(std::string(text), "Inputs: Length(9)");
    EXPECT_FALSE(d->ClipboardIsOpen());
}

const char* const kControls = R"J({"windows": [
  {"handle": 16, "class": "#32770", "text": "Options", "children": [
    {"handle": 18, "class": "Button", "text": "&Check", "id": 7, "style": "0x50010003"},
    {"handle": 19, "class": "SysDateTimePick32", "id": 8, "date": "2000-11-22"}]},
  {"handle": "0x00010000", "class": "Button", "text": "low word 0"}]})J";

TEST(CtrlAction, ActionsAndTheirEvents) {
    struct Case {
        const char* name;
        WsHandle window;
        int action, a, b;
        int result;
        std::vector<std::string> lines;
    } cases[] = {
        {"a click at a point",
         18,
         kActionClick,
         5,
         7,
         0,
         {"post 00000012 WM_LBUTTONDOWN 00000001 00070005", "sleep 10",
          "post 00000012 WM_LBUTTONUP 00000001 00070005", "  check 00000012 1",
          "  send 00000010 WM_COMMAND 00000007 00000012 -> 0", "sleep 10"}},
        {"no point is 1,1",
         18,
         kActionClick,
         0,
         -4,
         0,
         {"post 00000012 WM_LBUTTONDOWN 00000001 00010001", "sleep 10",
          "post 00000012 WM_LBUTTONUP 00000001 00010001", "  check 00000012 1",
          "  send 00000010 WM_COMMAND 00000007 00000012 -> 0", "sleep 10"}},
        {"the low 16 bits name the window",
         0x00050012,
         kActionFocus,
         0,
         0,
         0,
         {"focus 00000012", "capture 00000012"}},
        {"low 16 bits 0", 0x00010000, kActionClick, 1, 1, -1, {}},
        {"no window at all", 0, kActionFocus, 0, 0, -1, {}},
        {"an action of no meaning", 18, 2, 1, 1, -3, {}},
        {"a date that is no date",
         19,
         kActionDateEntry,
         20051318,
         0,
         -2,
         {"focus 00000013", "capture 00000013", "post 00000013 WM_LBUTTONDOWN 00000001 00010001",
          "sleep 10", "post 00000013 WM_LBUTTONUP 00000001 00010001", "sleep 10"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto d = Desktop(kControls);
        ASSERT_NE(d, nullptr);
        d->CaptureLog(true);
        EXPECT_EQ(CtrlAction(*d, c.window, c.action, c.a, c.b), c.result);
        EXPECT_EQ(d->LogLines(), c.lines);
    }
}

TEST(CtrlAction, DateEntryTypesMonthDayYearWithItsPauses) {
    struct Case {
        int pause;
        uint32_t pauseMs;
    } cases[] = {{0, 1000}, {-5, 1000}, {250, 250}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pause);
        auto d = Desktop(kControls);
        ASSERT_NE(d, nullptr);
        d->CaptureLog(true);
        ASSERT_EQ(CtrlAction(*d, 19, kActionDateEntry, 20051218, c.pause), 0);
        EXPECT_EQ(d->WindowAt(19)->text, "12/18/2005");
        std::string typed;
        std::vector<uint32_t> sleeps;
        for (const std::string& line : d->LogLines()) {
            if (line.rfind("post 00000013 WM_CHAR 000000", 0) == 0)
                typed += char(std::stoi(line.substr(28, 2), nullptr, 16));
            if (line.rfind("post 00000013 WM_KEYDOWN 00000027 00000000", 0) == 0) typed += '>';
            if (line.rfind("sleep ", 0) == 0)
                sleeps.push_back(uint32_t(std::stoul(line.substr(6))));
        }
        EXPECT_EQ(typed, "12>18>2005>");
        const std::vector<uint32_t> want = {10,        10, 10, 10, c.pauseMs, 10,       10,
                                            c.pauseMs, 10, 10, 10, 10,        c.pauseMs};
        EXPECT_EQ(sleeps, want);
    }
}

TEST(CtrlAction, TheOtherFormUsesTheProcessWideDesktop) {
    auto d = Desktop(kControls);
    ASSERT_NE(d, nullptr);
    CWinSys* previous = SetWinSys(d.get());
    EXPECT_EQ(CtrlAction(18, kActionClick, 1, 1), 0);
    SetWinSys(previous);
    EXPECT_EQ(d->WindowAt(18)->check, 1);
}

// Runs a command on the desktop with hwnd current; what it printed.
std::string RunCommand(CSimDesktop& d, CommandFn fn, WsHandle hwnd, const char* args = "") {
    CCapturingContext ctx(d);
    ctx.state.hWnd = hwnd;
    RunHandler(ctx, fn, CommandCall{"", "", args});
    return ctx.TakeOut();
}

TEST(GetFont, GivesBackTheDeviceContextOnEveryPath) {
    auto d = Desktop(R"J({"fonts": [{"handle": "0x0A01", "width": 7, "height": 13}],
      "windows": [{"handle": 16, "class": "Edit", "font": "0x0A01"},
                  {"handle": 17, "class": "Static"}]})J");
    ASSERT_NE(d, nullptr);
    struct Case {
        WsHandle hwnd;
        const char* out;
    } cases[] = {{16, "CharX=21, CharY=13\r\n"},
                 {17, "CharX=24, CharY=16\r\n"},
                 {0, "CharX=24, CharY=16\r\n"},
                 {0x1234, "GetFont: no device context for window 00001234\r\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hwnd);
        const size_t before = d->OpenDCs();
        EXPECT_EQ(RunCommand(*d, CmdGetFont, c.hwnd), c.out);
        EXPECT_EQ(d->OpenDCs(), before);
    }
}

const char* const kTradeStation = R"J({"windows": [
  {"handle": 32, "class": "ORPLAT.EXE TRADESTATION", "text": "TradeStation", "children": [
    {"handle": 33, "class": "ORContainerMDIChildFrame:8455", "text": "MSFT: Strategy",
     "on": [{"message": "WM_COMMAND", "id": 57634,
             "do": [{"clipboard": "MSFT\r\nInputs: Length(9)"
}]
}]
}]
}]
})J";

TEST(Test2, LeavesTheClipboardEmptyAndClosedAfterAFind) {
    auto d = Desktop(kTradeStation);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(RunCommand(*d, CmdTest2, 0),
              "TradeStation=00000020\r\nTradeStation Strategy=00000021\r\n"
              "\r\nFound test in window 00000021\r\n");
    EXPECT_EQ(d->ClipboardText(), "");
    EXPECT_FALSE(d->ClipboardIsOpen());
    EXPECT_FALSE(LeftLocked(*d));
}

TEST(Test2, WithoutAStrategyWindowLeavesTheClipboardAlone) {
    auto d = Desktop(R"J({"windows": [{"handle": 32, "class": "ORPLAT.EXE TRADESTATION"}],
      "clipboard": {"text": "The user's own text\r\nInputs: kept"}})J");
    ASSERT_NE(d, nullptr);
    d->CaptureLog(true);
    EXPECT_EQ(RunCommand(*d, CmdTest2, 0),
              "TradeStation=00000020\r\nTradeStation Strategy=00000000\r\n");
    EXPECT_EQ(d->ClipboardText(), "The user's own text\r\nInputs: kept");
    EXPECT_TRUE(d->LogLines().empty());
}

TEST(Test1, ClosesTheClipboardAfterEveryWindow) {
    auto d = Desktop(kTradeStation);
    ASSERT_NE(d, nullptr);
    const std::string out = RunCommand(*d, CmdTest1, 0);
    EXPECT_NE(out.find("\r\nFound test in window 00000021\r\n"), std::string::npos) << out;
    EXPECT_FALSE(d->ClipboardIsOpen());
    EXPECT_FALSE(LeftLocked(*d));
    EXPECT_EQ(d->ClipboardText(), "MSFT\r\nInputs: Length(9)") << "Test1 leaves it as it is";
}

TEST(Menu, WaitsTwoSecondsOnTheVirtualClock) {
    auto d = Desktop(R"J({"menus": [{"handle": 5, "items": [{"text": "&Go", "id": 9}]}]})J");
    ASSERT_NE(d, nullptr);
    d->CaptureLog(true);
    const uint64_t before = d->NowMicros();
    EXPECT_EQ(RunCommand(*d, CmdMenu, 0),
              "Menu 0005 (1 Items)\r\n    [  0] = 9 (00000009, &Go)\r\n");
    EXPECT_GE(d->NowMicros() - before, 2000000u);
    EXPECT_EQ(d->LogLines(), std::vector<std::string>{"sleep 2000"});
}

} // namespace
