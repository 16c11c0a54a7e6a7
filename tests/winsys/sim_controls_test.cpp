// The simulated controls answer their messages as the platform's do.
#include "winsys/sim/simdesktop.h"
#include "winsys/wsdefs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kScene = R"({
  "processes": [{"pid": 10, "bits": 64}],
  "windows": [
    {"handle": 1, "class": "#32770", "text": "Dialog", "process": 10, "rect": [0, 0, 300, 200],
     "on": [{"message": "WM_COMMAND", "id": 7, "do": [{"setText": "clicked seven"}]},
            {"message": "WM_COMMAND", "wParam": 99, "result": 42}],
     "children": [
       {"handle": 2, "class": "Edit", "id": 3, "text": "ab"},
       {"handle": 4, "class": "Button", "id": 7, "text": "&OK"},
       {"handle": 5, "class": "Button", "id": 8, "text": "Check", "style": "0x50010003"},
       {"handle": 6, "class": "ListBox", "id": 9, "selected": 2, "horizontalExtent": 120,
        "items": ["zero", {"text": "one", "data": 11, "height": 18}, {"text": "two", "data": -2}]},
       {"handle": 7, "class": "ComboBox", "id": 10,
        "items": [{"text": "alpha", "data": 5}, {"text": "beta", "data": 6}]},
       {"handle": 8, "class": "SysDateTimePick32", "id": 11, "date": "2000-01-01"},
       {"handle": 9, "class": "Edit", "id": 12, "style": "0x50000804", "text": "locked"}
     ]}
  ]
})";

class SimControls : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        d_ = CSimDesktop::FromJson(kScene, "controls", &error);
        ASSERT_NE(d_, nullptr) << error;
        d_->CaptureLog(true);
    }
    std::string Text(WsHandle h) {
        char buf[200] = "";
        d_->SendMessageA(h, wm::GETTEXT, sizeof buf, reinterpret_cast<intptr_t>(buf));
        return buf;
    }
    std::unique_ptr<CSimDesktop> d_;
};

TEST_F(SimControls, EveryNumberIsALegalHandle) {
    for (uint32_t h = 0; h <= 0xFFFF; ++h) {
        if (h >= 1 && h <= 9) continue;
        char buf[8] = "x";
        ASSERT_EQ(d_->GetClassNameA(h, buf, sizeof buf), 0);
        ASSERT_STREQ(buf, "");
        ASSERT_EQ(d_->GetWindowTextA(h, buf, sizeof buf), 0);
        ASSERT_FALSE(d_->IsWindowVisible(h));
        ASSERT_EQ(d_->SendMessageA(h, wm::GETTEXT, sizeof buf, reinterpret_cast<intptr_t>(buf)), 0);
        ASSERT_EQ(d_->GetParent(h), 0u);
        ASSERT_FALSE(d_->IsMenu(h));
        ASSERT_EQ(d_->GetWindowThreadProcessId(h, nullptr), 0u);
    }
    EXPECT_TRUE(d_->LogLines().empty()) << "calls on no window are not logged";
}

TEST_F(SimControls, WindowTextIsCutToTheBuffer) {
    char buf[4] = "zzz";
    EXPECT_EQ(d_->SendMessageA(1, wm::GETTEXT, sizeof buf, reinterpret_cast<intptr_t>(buf)), 3);
    EXPECT_STREQ(buf, "Dia");
    EXPECT_EQ(d_->GetWindowTextA(1, buf, 1), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(d_->SendMessageA(1, wm::GETTEXT, 0, reinterpret_cast<intptr_t>(buf)), 0);
}

TEST_F(SimControls, EditAppendsCharactersAndTakesSetText) {
    d_->PostMessageA(2, wm::CHAR, 'c', 0);
    d_->PostMessageA(2, wm::CHAR, '\b', 0);
    d_->PostMessageA(2, wm::CHAR, 'C', 0);
    d_->PostMessageA(2, wm::CHAR, '\r', 0); // single-line: ignored
    EXPECT_EQ(Text(2), "abC");
    EXPECT_EQ(d_->SendMessageA(2, wm::SETTEXT, 0, reinterpret_cast<intptr_t>("new")), 1);
    EXPECT_EQ(Text(2), "new");
    d_->PostMessageA(9, wm::CHAR, 'x', 0); // read-only
    EXPECT_EQ(Text(9), "locked");
}

TEST_F(SimControls, ButtonClickNotifiesItsParent) {
    d_->PostMessageA(4, wm::LBUTTONDOWN, mk::LBUTTON, 0x00010001);
    d_->PostMessageA(4, wm::LBUTTONUP, mk::LBUTTON, 0x00010001);
    EXPECT_EQ(Text(1), "clicked seven");
    const std::vector<std::string> want = {
        "post 00000004 WM_LBUTTONDOWN 00000001 00010001",
        "post 00000004 WM_LBUTTONUP 00000001 00010001",
        "  send 00000001 WM_COMMAND 00000007 00000004",
        "    text 00000001 \"clicked seven\"",
        "  -> 0",
        "send 00000001 WM_GETTEXT 000000C8 buf -> 13",
    };
    EXPECT_EQ(d_->LogLines(), want);
}

TEST_F(SimControls, ButtonUpWithoutDownIsNoClick) {
    d_->PostMessageA(4, wm::LBUTTONUP, mk::LBUTTON, 0);
    EXPECT_EQ(Text(1), "Dialog");
    d_->SendMessageA(4, bm::CLICK, 0, 0);
    EXPECT_EQ(Text(1), "clicked seven");
}

TEST_F(SimControls, DisabledButtonDoesNotClick) {
    d_->EnableWindow(4, false);
    d_->SendMessageA(4, bm::CLICK, 0, 0);
    EXPECT_EQ(Text(1), "Dialog");
}

TEST_F(SimControls, BehaviourResultIsTheAnswer) {
    EXPECT_EQ(d_->SendMessageA(1, wm::COMMAND, 99, 0), 42);
    EXPECT_EQ(d_->SendMessageA(1, wm::COMMAND, 98, 0), 0);
}

TEST_F(SimControls, CheckBoxTogglesOnEachClick) {
    EXPECT_EQ(d_->SendMessageA(5, bm::GETCHECK, 0, 0), 0);
    for (int expected : {1, 0, 1}) {
        d_->PostMessageA(5, wm::LBUTTONDOWN, mk::LBUTTON, 0x00010001);
        d_->PostMessageA(5, wm::LBUTTONUP, mk::LBUTTON, 0x00010001);
        EXPECT_EQ(d_->SendMessageA(5, bm::GETCHECK, 0, 0), expected);
    }
}

TEST_F(SimControls, ListBoxAnswers) {
    char buf[100];
    EXPECT_EQ(d_->SendMessageA(6, lb::GETCOUNT, 0, 0), 3);
    EXPECT_EQ(d_->SendMessageA(6, lb::GETCURSEL, 0, 0), 2);
    EXPECT_EQ(d_->SendMessageA(6, lb::GETHORIZONTALEXTENT, 0, 0), 120);
    EXPECT_EQ(d_->SendMessageA(6, lb::GETTEXT, 1, reinterpret_cast<intptr_t>(buf)), 3);
    EXPECT_STREQ(buf, "one");
    EXPECT_EQ(d_->SendMessageA(6, lb::GETTEXTLEN, 0, 0), 4);
    EXPECT_EQ(d_->SendMessageA(6, lb::GETITEMDATA, 1, 0), 11);
    EXPECT_EQ(d_->SendMessageA(6, lb::GETITEMDATA, 2, 0), -2);
    EXPECT_EQ(d_->SendMessageA(6, lb::GETITEMHEIGHT, 1, 0), 18);
    EXPECT_EQ(d_->SendMessageA(6, lb::GETITEMHEIGHT, 0, 0), 16);
    EXPECT_EQ(d_->SendMessageA(6, lb::GETTEXT, 3, reinterpret_cast<intptr_t>(buf)), lb::ERR);
    EXPECT_EQ(d_->SendMessageA(6, lb::GETITEMDATA, 3, 0), lb::ERR);
}

TEST_F(SimControls, ComboBoxAnswers) {
    char buf[100];
    EXPECT_EQ(d_->SendMessageA(7, cb::GETCOUNT, 0, 0), 2);
    EXPECT_EQ(d_->SendMessageA(7, cb::GETCURSEL, 0, 0), cb::ERR);
    EXPECT_EQ(d_->SendMessageA(7, cb::GETLBTEXT, 1, reinterpret_cast<intptr_t>(buf)), 4);
    EXPECT_STREQ(buf, "beta");
    EXPECT_EQ(d_->SendMessageA(7, cb::GETLBTEXTLEN, 0, 0), 5);
    EXPECT_EQ(d_->SendMessageA(7, cb::GETITEMDATA, 0, 0), 5);
    EXPECT_EQ(d_->SendMessageA(7, cb::SETCURSEL, 1, 0), 1);
    EXPECT_EQ(Text(7), "beta");
    EXPECT_EQ(d_->SendMessageA(7, cb::GETLBTEXT, 2, reinterpret_cast<intptr_t>(buf)), cb::ERR);
}

TEST_F(SimControls, DatePickerTakesDigitsAndMovesRight) {
    d_->SendMessageA(8, wm::LBUTTONDOWN, mk::LBUTTON, 0x00010001);
    for (const char* segment : {"12", "18", "2005"}) {
        for (const char* c = segment; *c; ++c) d_->PostMessageA(8, wm::CHAR, uintptr_t(*c), 0);
        d_->PostMessageA(8, wm::KEYDOWN, vk::RIGHT, 0);
    }
    EXPECT_EQ(Text(8), "12/18/2005");
}

TEST_F(SimControls, DatePickerKeepsDaysWithinTheMonth) {
    // Day 31 first, then February: the day follows the month's length.
    d_->PostMessageA(8, wm::KEYDOWN, vk::RIGHT, 0);
    d_->PostMessageA(8, wm::CHAR, '3', 0);
    d_->PostMessageA(8, wm::CHAR, '1', 0);
    d_->PostMessageA(8, wm::KEYDOWN, vk::LEFT, 0);
    d_->PostMessageA(8, wm::CHAR, '0', 0);
    d_->PostMessageA(8, wm::CHAR, '2', 0);
    EXPECT_EQ(Text(8), "02/29/2000");
}

TEST_F(SimControls, PointerMessagesCannotBePosted) {
    char buf[10];
    EXPECT_FALSE(d_->PostMessageA(2, wm::GETTEXT, sizeof buf, reinterpret_cast<intptr_t>(buf)));
    EXPECT_FALSE(d_->PostMessageA(2, wm::SETTEXT, 0, reinterpret_cast<intptr_t>("x")));
    EXPECT_EQ(Text(2), "ab");
}

TEST_F(SimControls, MessagesToNoWindowFail) {
    EXPECT_FALSE(d_->PostMessageA(0x4000, wm::COMMAND, 1, 0));
    EXPECT_EQ(d_->SendMessageA(0x4000, wm::COMMAND, 1, 0), 0);
}

TEST_F(SimControls, TreeWalksInZOrder) {
    EXPECT_EQ(d_->GetTopWindow(0), 1u);
    EXPECT_EQ(d_->GetTopWindow(1), 2u);
    std::vector<WsHandle> kids;
    for (WsHandle h = d_->GetTopWindow(1); h && kids.size() < 20;
         h = d_->GetWindow(h, gw::HWNDNEXT))
        kids.push_back(h);
    EXPECT_EQ(kids, (std::vector<WsHandle>{2, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(d_->GetDlgItem(1, 9), 6u);
    EXPECT_EQ(d_->GetDlgItem(1, 1234), 0u);
    EXPECT_EQ(d_->GetDlgCtrlID(6), 9);
    EXPECT_EQ(d_->GetParent(6), 1u);
    uint32_t pid = 0;
    EXPECT_EQ(d_->GetWindowThreadProcessId(6, &pid), 14u); // the process's first thread
    EXPECT_EQ(pid, 10u);
}

TEST_F(SimControls, PlacementMovesChildrenAndChangesZOrder) {
    ASSERT_TRUE(d_->SetWindowPos(1, 0, 50, 60, 0, 0, swp::NOSIZE | swp::NOZORDER));
    WsRect r;
    d_->GetWindowRect(1, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.right, 350);
    d_->GetWindowRect(2, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    ASSERT_TRUE(d_->SetWindowPos(2, insert::BOTTOM, 0, 0, 0, 0, swp::NOMOVE | swp::NOSIZE));
    EXPECT_EQ(d_->GetTopWindow(1), 4u);
    EXPECT_EQ(d_->GetWindow(4, gw::HWNDLAST), 2u);
    ASSERT_TRUE(d_->SetWindowPos(2, insert::TOP, 0, 0, 10, 20, swp::NOMOVE));
    EXPECT_EQ(d_->GetTopWindow(1), 2u);
    d_->GetWindowRect(2, &r);
    EXPECT_EQ(r.right - r.left, 10);
    EXPECT_EQ(r.bottom - r.top, 20);
}

TEST_F(SimControls, StyleEnableAndVisibility) {
    EXPECT_TRUE(d_->IsWindowVisible(2));
    d_->SetWindowLongA(1, gwl::STYLE, 0); // the parent hidden hides its children
    EXPECT_FALSE(d_->IsWindowVisible(2));
    EXPECT_EQ(d_->GetWindowLongA(1, gwl::STYLE), 0);
    EXPECT_FALSE(d_->EnableWindow(2, false));
    EXPECT_FALSE(d_->IsWindowEnabled(2));
    EXPECT_TRUE(d_->EnableWindow(2, true));
    EXPECT_TRUE(d_->IsWindowEnabled(2));
}

TEST_F(SimControls, FocusAndCaptureNeedAWindow) {
    EXPECT_EQ(d_->SetFocus(0x3333), 0u);
    EXPECT_EQ(d_->GetFocus(), 0u);
    EXPECT_EQ(d_->SetFocus(2), 0u);
    EXPECT_EQ(d_->SetFocus(4), 2u);
    EXPECT_EQ(d_->SetCapture(4), 0u);
    EXPECT_EQ(d_->GetCapture(), 4u);
    const std::vector<std::string> want = {"focus 00000002", "focus 00000004", "capture 00000004"};
    EXPECT_EQ(d_->LogLines(), want);
}

TEST_F(SimControls, EnumWindowsStopsWhenTheCallbackSaysSo) {
    auto stopAtOne = [](WsHandle h, intptr_t seen) -> int {
        ++*reinterpret_cast<int*>(seen);
        return h == 1 ? 0 : 1;
    };
    int seen = 0;
    EXPECT_EQ(d_->EnumWindows(stopAtOne, reinterpret_cast<intptr_t>(&seen)), 0);
    EXPECT_EQ(seen, 1);
    auto never = [](WsHandle, intptr_t) -> int { return 1; };
    EXPECT_NE(d_->EnumWindows(never, 0), 0);
}

TEST_F(SimControls, SleepAdvancesTheVirtualClock) {
    const uint32_t t0 = d_->GetTickCount();
    d_->Sleep(1000);
    EXPECT_EQ(d_->GetTickCount() - t0, 1000u);
    // Every call costs 10 microseconds: 100 calls are one millisecond.
    const uint64_t m0 = d_->NowMicros();
    for (int i = 0; i < 100; ++i) d_->IsWindow(1);
    EXPECT_EQ(d_->NowMicros() - m0, 1000u);
}

} // namespace

namespace {

TEST(SimBehaviours, AWindowThatSendsTwiceToItselfStopsAtTheMessageBudget) {
    // Without a budget the nesting limit alone lets this run 2^32 handlers.
    std::string error;
    auto d = CSimDesktop::FromJson(R"JSON({"windows": [
        {"handle": 1, "class": "Echo", "on": [
          {"message": "WM_USER", "do": [{"send": {"message": "WM_USER"}},
                                        {"post": {"message": "WM_USER"}}]}]}]})JSON",
                                   "t", &error);
    ASSERT_NE(d, nullptr) << error;
    d->CaptureLog(true);
    EXPECT_EQ(d->SendMessageA(1, wm::USER, 0, 0), 0);
    size_t delivered = 0, dropped = 0;
    for (const std::string& line : d->LogLines()) {
        if (line.find("dropped (too many)") != std::string::npos)
            ++dropped;
        else if (line.find("dropped") == std::string::npos &&
                 line.find(" WM_USER ") != std::string::npos)
            ++delivered;
    }
    EXPECT_EQ(delivered, 1 + CSimDesktop::kMaxHandlerMessages);
    EXPECT_GE(dropped, 1u);
    EXPECT_LE(dropped, 2 * CSimDesktop::kMaxHandlerMessages);
    // The next outside call has the whole budget again.
    d->ClearLog();
    d->SendMessageA(1, wm::USER, 0, 0);
    size_t again = 0;
    for (const std::string& line : d->LogLines())
        again += line.find("dropped") == std::string::npos &&
                 line.find(" WM_USER ") != std::string::npos;
    EXPECT_EQ(again, 1 + CSimDesktop::kMaxHandlerMessages);
}

TEST(SimBehaviours, ASelfSendingWindowIsCutOffAtTheNestingLimit) {
    std::string error;
    auto d = CSimDesktop::FromJson(R"JSON({"windows": [
        {"handle": 1, "class": "Echo", "on": [
          {"message": "WM_USER", "do": [{"send": {"message": "WM_USER"}}, {"setText": "x"}]}]},
        {"handle": 2, "class": "Relay", "on": [
          {"message": "WM_COMMAND", "id": 5, "do": [
            {"post": {"window": 3, "message": "WM_CHAR", "wParam": 65}},
            {"send": {"window": 3, "message": "WM_SETTEXT", "text": "set by 2"}}]}]},
        {"handle": 3, "class": "Edit"}]})JSON",
                                   "t", &error);
    ASSERT_NE(d, nullptr) << error;
    d->CaptureLog(true);
    EXPECT_EQ(d->SendMessageA(1, wm::USER, 0, 0), 0);
    size_t dropped = 0;
    for (const std::string& line : d->LogLines())
        dropped += line.find("dropped (nesting)") != std::string::npos;
    EXPECT_EQ(dropped, 1u);
    EXPECT_EQ(d->LogLines().front(), "send 00000001 WM_USER 00000000 00000000");
    d->ClearLog();
    d->SendMessageA(2, wm::COMMAND, 5, 0);
    char buf[32];
    d->GetWindowTextA(3, buf, sizeof buf);
    EXPECT_STREQ(buf, "set by 2");
    const std::vector<std::string> want = {
        "send 00000002 WM_COMMAND 00000005 00000000",
        "  post 00000003 WM_CHAR 00000041 00000000",
        "    text 00000003 \"A\"",
        "  send 00000003 WM_SETTEXT 00000000 \"set by 2\"",
        "    text 00000003 \"set by 2\"",
        "  -> 1",
        "-> 0",
    };
    EXPECT_EQ(d->LogLines(), want);
}

} // namespace
