// The automation commands: their words reach their own rows without
// changing any other word, each failure is its outcome, and typing turns a
// text into the messages of real keystrokes.
#include "tool/interpreter.h"
#include "tool/keys.h"
#include "winsys/sim/simdesktop.h"
#include "winsys/wsdefs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::unique_ptr<CSimDesktop> OrderForm() {
    std::ifstream in(OSTRELLE_SOURCE_DIR "/tests/tool/scenes/automation.json");
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    auto d = CSimDesktop::FromJson(text.str(), "automation", &error);
    EXPECT_NE(d, nullptr) << error;
    return d;
}

struct LineCase {
    WsHandle current;
    const char* line;
    Fault fault;
    const char* out; // what the line prints, or null: not checked
};

Outcome RunCase(const LineCase& c, std::string* out) {
    auto d = OrderForm();
    CCapturingContext ctx(*d);
    ctx.state.hWnd = c.current;
    const Outcome outcome = RunLine(ctx, c.line);
    *out = ctx.TakeOut();
    return outcome;
}

void Check(const LineCase& c) {
    std::string out;
    const Outcome outcome = RunCase(c, &out);
    EXPECT_EQ(int(outcome.fault), int(c.fault)) << c.line << ": " << outcome.Reason();
    if (c.out) {
        EXPECT_EQ(out, c.out) << c.line;
    }
}

TEST(AutomationWords, EachNewWordReachesItsOwnRowAndNoOtherWordChanged) {
    const LineCase cases[] = {
        {0x0400, "Type,{Bogus}", Fault::kInvalidArgument, ""},
        {0x0400, "TYPE,{Bogus}", Fault::kInvalidArgument, ""},
        {0x0400, "T,{Bogus}", Fault::kUnknownCommand, "Unknown Command\n"},
        {0x0400, "Ty,{Bogus}", Fault::kUnknownCommand, "Unknown Command\n"},
        {0x0400, "Child,#20", Fault::kNone, "New Window: 0x00000403 ()\n"},
        {0x0400, "Ch,#20", Fault::kUnknownCommand, "Unknown Command\n"},
        {0x0400, "WaitWnd,order,0", Fault::kNone, "New Window: 0x00000400 (Order Form)\n"},
        {0x0400, "WaitGone,0", Fault::kStillThere,
         "WaitGone: window 0x00000400 still there after 0 s\n"},
        {0x0400, "Sleep,0", Fault::kNone, ""},
        {0x0400, "Select,Red", Fault::kNotAListBox, ""},
        {0x0400, "Sel,Red", Fault::kUnknownCommand, "Unknown Command\n"},
        {0x0400, "Check", Fault::kNotACheckBox, ""},
        {0x0400, "MenuItem,Edit>Undo", Fault::kNone, "Menu item 'Edit>Undo' (id 201)\n"},
        {0x0400, "MenuI,Edit>Undo", Fault::kUnknownCommand, "Unknown Command\n"},
        {0x0400, "S,1", Fault::kUnknownCommand, "Unknown Command\n"},
        {0x0400, "Exit", Fault::kNone, ""},
    };
    for (const LineCase& c : cases) Check(c);
}

TEST(AutomationWords, WaitAndItsAbbreviationsAreStillWaitFor) {
    for (const char* line : {"Wait,Order Form", "W,Order Form", "WaitF,Order Form"}) {
        std::string out;
        const Outcome outcome = RunCase({0x0400, line, Fault::kNone, nullptr}, &out);
        EXPECT_TRUE(outcome.Done()) << line;
        EXPECT_EQ(out.rfind("(Order Form) hW=0400", 0), 0u) << line << ": " << out;
    }
}

TEST(AutomationWords, MenuAndChkAreNotTheNewWords) {
    for (const char* line : {"Menu,Undo", "Chk"}) {
        std::string out;
        RunCase({0x0400, line, Fault::kNone, nullptr}, &out);
        EXPECT_EQ(out.find("Menu item"), std::string::npos) << line;
        EXPECT_EQ(out.find("Check:"), std::string::npos) << line;
    }
}

TEST(AutomationFailures, EachFailureIsItsOutcome) {
    const LineCase cases[] = {
        {0x0403, "Select,#3", Fault::kNoSuchItem, ""},
        {0x0403, "Select,purple", Fault::kNoSuchItem, ""},
        {0x0402, "Select,x", Fault::kNotAListBox, ""},
        {0x0403, "Select,#1", Fault::kNone, "Selected 1 (Green)\n"},
        {0x0407, "Check,0", Fault::kNotChanged, "Check: 0x00000407 is 1\n"},
        {0x040D, "Check", Fault::kNotChanged, "Check: 0x0000040D is 0\n"},
        {0x0406, "Check,2", Fault::kInvalidArgument, ""},
        {0x0406, "Check,3", Fault::kInvalidArgument, ""},
        {0x040A, "Check", Fault::kNotACheckBox, ""},
        {0x0400, "MenuItem,File>Print", Fault::kItemDisabled, ""},
        {0x0400, "MenuItem,Archive>Old", Fault::kItemDisabled, ""},
        {0x0400, "MenuItem,File>Recent", Fault::kNoSuchItem, ""},
        {0x0400, "MenuItem,File>Nothing", Fault::kNoSuchItem, ""},
        {0x0400, "MenuItem,Save As...>x", Fault::kNoSuchItem, ""},
        {0x0401, "MenuItem,File>Open...", Fault::kNoMenu, ""},
        {0x0400, "MenuItem,File>>Open", Fault::kInvalidArgument, ""},
        {0x0400, "Child,Edit:0", Fault::kInvalidArgument, ""},
        {0x0400, "Child,", Fault::kInvalidArgument, ""},
        {0x0400, "Child,#x1", Fault::kInvalidArgument, ""},
        {0x0400, "Child,Frame:1", Fault::kNone, "New Window: 0x0000040B (Notes panel)\n"},
        {0x0400, "Child,pane:2", Fault::kNone, "New Window: 0x0000040E (pane)\n"},
        {0x0400, "Child,Edit:9", Fault::kNoSuchControl,
         "Child 'Edit:9' not found under 0x00000400\n"},
        {0x0400, "WaitWnd,Never,3", Fault::kWindowNotFound,
         "WaitWnd: 'Never' not found within 3 s\n"},
        {0x0400, "WaitWnd,Default IME,0", Fault::kWindowNotFound, nullptr},
        {0x0400, "WaitWnd,x,abc", Fault::kInvalidArgument, ""},
        {0x0400, "WaitWnd,,1", Fault::kInvalidArgument, ""},
        {0x0400, "WaitGone,-1", Fault::kInvalidArgument, ""},
        {0x0400, "Sleep,x", Fault::kInvalidArgument, ""},
        {0x0400, "Sleep,", Fault::kInvalidArgument, ""},
        {0x0400, "Type,{Ctrl+}", Fault::kInvalidArgument, ""},
        {0x0400, "Type,{Enter", Fault::kInvalidArgument, ""},
        {0x0400, "Type,{a}", Fault::kInvalidArgument, ""},
        {0x0400, "Type,{Hyper+a}", Fault::kInvalidArgument, ""},
        {0x9999, "Type,abc", Fault::kWindowNotFound, ""},
        {0x9999, "Check", Fault::kWindowNotFound, ""},
    };
    for (const LineCase& c : cases) Check(c);
}

TEST(AutomationWaits, WaitWndFindsAWindowThatAppearsLaterOnTheVirtualClock) {
    auto d = OrderForm();
    CCapturingContext ctx(*d);
    const uint64_t start = d->NowMicros();
    EXPECT_TRUE(RunLine(ctx, "WaitWnd,export,10").Done());
    EXPECT_EQ(ctx.state.hWnd, 0x0410u);
    EXPECT_GE(d->NowMicros() - start, 5000000u);
    EXPECT_TRUE(RunLine(ctx, "WaitGone,30").Done());
    EXPECT_EQ(ctx.TakeOut(), "New Window: 0x00000410 (Export progress)\n"
                             "Window 0x00000410 is gone\n");
    EXPECT_GE(d->NowMicros() - start, 12000000u);
}

TEST(Utf8, CodePointsAndStrayBytes) {
    struct Case {
        const char* text;
        std::vector<uint32_t> points;
    };
    const Case cases[] = {
        {"a,b", {'a', ',', 'b'}},
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", {0xE9, 0x20AC, 0x1F600}},
        {"\xE9t\xE9", {0xE9, 't', 0xE9}},               // Latin-1 bytes stand for themselves
        {"\xC0\x80", {0xC0, 0x80}},                     // overlong
        {"\xED\xA0\x80", {0xED, 0xA0, 0x80}},           // surrogate
        {"\xE2\x82", {0xE2, 0x82}},                     // cut short
        {"\xEF\xBF\xBD", {0xFFFD}},                     // U+FFFD written out
        {"\xF4\x90\x80\x80", {0xF4, 0x90, 0x80, 0x80}}, // past U+10FFFF
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Utf8CodePoints(c.text), c.points) << c.text;
}

TEST(Typing, KeysGoAsARealKeystrokeWouldBringThem) {
    using M = TypedMessage;
    struct Case {
        const char* text;
        std::vector<M> messages;
    };
    const Case cases[] = {
        {"{{}a{}}", {{wm::CHAR, '{', 1}, {wm::CHAR, 'a', 1}, {wm::CHAR, '}', 1}}},
        {"\xE2\x82\xAC", {{wm::CHAR, 0x20AC, 1}}},
        {"{enter}",
         {{wm::KEYDOWN, vk::RETURN, 0x001C0001}, {wm::KEYUP, vk::RETURN, intptr_t(0xC01C0001u)}}},
        {"{Delete}",
         {{wm::KEYDOWN, vk::DELETE_, 0x01530001}, {wm::KEYUP, vk::DELETE_, intptr_t(0xC1530001u)}}},
        {"{F12}",
         {{wm::KEYDOWN, vk::F1 + 11, 0x00580001}, {wm::KEYUP, vk::F1 + 11, intptr_t(0xC0580001u)}}},
        {"{Alt+F4}",
         {{wm::SYSKEYDOWN, vk::MENU, 0x20380001},
          {wm::SYSKEYDOWN, vk::F1 + 3, 0x203E0001},
          {wm::SYSKEYUP, vk::F1 + 3, intptr_t(0xE03E0001u)},
          {wm::SYSKEYUP, vk::MENU, intptr_t(0xE0380001u)}}},
        {"{Ctrl+a}",
         {{wm::KEYDOWN, vk::CONTROL, 0x001D0001},
          {wm::CHAR, 0x01, 0x001E0001},
          {wm::KEYUP, vk::CONTROL, intptr_t(0xC01D0001u)}}},
        {"{Ctrl+1}",
         {{wm::KEYDOWN, vk::CONTROL, 0x001D0001}, {wm::KEYUP, vk::CONTROL, intptr_t(0xC01D0001u)}}},
        {"{Shift+1}",
         {{wm::KEYDOWN, vk::SHIFT, 0x002A0001},
          {wm::CHAR, '!', 0x00020001},
          {wm::KEYUP, vk::SHIFT, intptr_t(0xC02A0001u)}}},
        {"{Alt+x}",
         {{wm::SYSKEYDOWN, vk::MENU, 0x20380001},
          {wm::SYSKEYDOWN, 'X', 0x202D0001},
          {wm::SYSKEYUP, 'X', intptr_t(0xE02D0001u)},
          {wm::SYSKEYUP, vk::MENU, intptr_t(0xE0380001u)}}},
        {"{Ctrl+Shift+End}",
         {{wm::KEYDOWN, vk::CONTROL, 0x001D0001},
          {wm::KEYDOWN, vk::SHIFT, 0x002A0001},
          {wm::KEYDOWN, vk::END, 0x014F0001},
          {wm::KEYUP, vk::END, intptr_t(0xC14F0001u)},
          {wm::KEYUP, vk::SHIFT, intptr_t(0xC02A0001u)},
          {wm::KEYUP, vk::CONTROL, intptr_t(0xC01D0001u)}}},
    };
    CSimDesktop d;
    for (const Case& c : cases) {
        std::vector<M> got;
        std::string error;
        ASSERT_TRUE(TypedMessages(d, c.text, &got, &error)) << c.text << ": " << error;
        EXPECT_EQ(got, c.messages) << c.text;
    }
}

} // namespace
