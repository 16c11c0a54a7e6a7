// Scene loading: what a scene may hold and how a wrong one is reported.
#include "winsys/sim/simdesktop.h"
#include "winsys/wsdefs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct BadScene {
    const char* json;
    const char* error;
};

class SceneErrors : public testing::TestWithParam<BadScene> {};

TEST_P(SceneErrors, NameTheProblem) {
    std::string error;
    auto d = CSimDesktop::FromJson(GetParam().json, "t.json", &error);
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(error, GetParam().error);
}

const BadScene kBadScenes[] = {
    // Malformed JSON: line and column of the fault.
    {"{\n  \"windows\": [\n    {\"handle\": 1,}\n  ]\n}",
     "line 3, column 18: syntax error while parsing object key - unexpected '}'; expected string "
     "literal"},
    {"", "line 1, column 1: syntax error while parsing value - unexpected end of input; expected "
         "'[', '{', or a literal"},
    {"[1, 2]", "scene: expected an object, found [1,2]"},
    // Wrong values: the key path.
    {R"({"windows": [{"handle": "0x1z", "class": "X"}]})",
     "windows[0].handle: expected a number, found \"0x1z\""},
    {R"({"windows": [{"handle": 0, "class": "X"}]})",
     "windows[0].handle: expected a number from 1 to 4294967295, found 0"},
    {R"({"windows": [{"class": "X"}]})", "windows[0].handle: missing"},
    {R"({"windows": [{"handle": 5}]})", "windows[0].class: missing"},
    {R"({"windows": [{"handle": 5, "class": ""}]})", "windows[0].class: empty class name"},
    {R"({"windows": [{"handle": 5, "class": "X", "colour": 3}]})",
     "windows[0].colour: unknown key"},
    {R"({"windows": [{"handle": 5, "class": "X"}, {"handle": 5, "class": "Y"}]})",
     "windows[1].handle: handle 00000005 used twice"},
    {R"({"menus": [{"handle": 5}], "windows": [{"handle": 5, "class": "Y"}]})",
     "windows[0].handle: handle 00000005 used twice"},
    {R"({"windows": [{"handle": 5, "class": "X", "children": [{"handle": 6, "class": "Y", "visible": 1}]}]})",
     "windows[0].children[0].visible: expected true or false, found 1"},
    {R"({"windows": [{"handle": 5, "class": "X", "thread": 77}]})",
     "windows[0].thread: no process has this thread"},
    {R"({"windows": [{"handle": 5, "class": "X", "owner": 9}]})",
     "windows[0].owner: no window 00000009"},
    {R"({"windows": [{"handle": 5, "class": "X", "menu": 9}]})",
     "windows[0].menu: no menu 00000009"},
    {R"({"processes": [{"pid": 1, "bits": 48}]})", "processes[0].bits: expected 32 or 64"},
    {R"({"windows": [{"handle": 5, "class": "ListBox", "items": ["a"], "selected": 1}]})",
     "windows[0].selected: no item 1"},
    {R"({"windows": [{"handle": 5, "class": "X", "rect": [1, 2, 3]}]})",
     "windows[0].rect: expected [left, top, right, bottom]"},
    {R"({"windows": [{"handle": 5, "class": "X", "on": [{"message": "WM_NOPE"}]}]})",
     "windows[0].on[0].message: unknown message name \"WM_NOPE\""},
    {R"({"windows": [{"handle": 5, "class": "X", "on": [{"message": "WM_COMMAND", "do": [{}]}]}]})",
     "windows[0].on[0].do[0]: expected exactly one action"},
    {R"({"windows": [{"handle": 5, "class": "X", "on": [{"message": 273, "do": [{"show": 8}]}]}]})",
     "windows[0].on[0].do[0]: no window 00000008"},
    {R"({"windows": [{"handle": 5, "class": "SysDateTimePick32", "date": "2005-13-01"}]})",
     "windows[0].date: expected a date YYYY-MM-DD, found \"2005-13-01\""},
    {R"({"windows": [{"handle": 5, "class": "X", "on": [{"message": "WM_COMMAND", "do": [{"send": {"message": "WM_GETTEXT", "wParam": 1000}}]}]}]})",
     "windows[0].on[0].do[0].send.message: WM_GETTEXT fills a buffer; a scene cannot send it"},
    {R"({"windows": [{"handle": 5, "class": "X", "on": [{"message": "WM_COMMAND", "do": [{"send": {"message": "0x0189", "wParam": 0}}]}]}]})",
     "windows[0].on[0].do[0].send.message: LB_GETTEXT fills a buffer; a scene cannot send it"},
    {R"({"windows": [{"handle": 5, "class": "X", "on": [{"message": "WM_COMMAND", "do": [{"mark": ""}]}]}]})",
     "windows[0].on[0].do[0].mark: expected a name"},
    {R"({"windows": [{"handle": 5, "class": "X", "on": [{"message": "WM_COMMAND", "marked": 3}]}]})",
     "windows[0].on[0].marked: expected a text, found 3"},
    {R"({"clipboard": {"text": "x", "terminated": "no"}})",
     "clipboard.terminated: expected true or false, found \"no\""},
    {R"({"clock": {"costMicros": -1}})",
     "clock.costMicros: expected a number from 0 to 1000000, found -1"},
};

INSTANTIATE_TEST_SUITE_P(Sim, SceneErrors, testing::ValuesIn(kBadScenes));

TEST(SimScene, DeeplyNestedValuesGiveAnErrorNotACrash) {
    // A value quoted in a message is shown to its first characters only; a
    // scene of a million nested arrays took the stack with it.
    const size_t depth = 1000000;
    struct Case {
        std::string json;
        const char* error;
    } cases[] = {
        {"{\"windows\": [" + std::string(depth, '[') + std::string(depth, ']') + "]}",
         "windows[0]: expected an object, found [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[..."},
        {std::string(depth, '[') + std::string(depth, ']'),
         "scene: expected an object, found [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[..."},
        {"{\"clock\": {\"costMicros\": {\"a\": [1, {\"b\": \"long text, long text, long "
         "text\"}]}}}",
         "clock.costMicros: expected a number, found {\"a\":[1,{\"b\":\"long text, long text, "
         "l..."},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(CSimDesktop::FromJson(c.json, "t.json", &error), nullptr);
        EXPECT_EQ(error, c.error);
    }
}

TEST(SimScene, MissingFileNamesTheReason) {
    std::string error;
    EXPECT_EQ(CSimDesktop::FromFile("/nonexistent/dir/scene.json", &error), nullptr);
    EXPECT_EQ(error, "cannot open (No such file or directory)");
}

TEST(SimScene, DirectoryAndOversizedFilesAreRefused) {
    std::string error;
    EXPECT_EQ(CSimDesktop::FromFile(OSTRELLE_SOURCE_DIR, &error), nullptr);
    EXPECT_EQ(error, "cannot open (Is a directory)");
    const std::string dir =
        std::getenv("OSTRELLE_TEST_TMP") ? std::getenv("OSTRELLE_TEST_TMP") : testing::TempDir();
    std::string path = dir + "/scene_big.json";
    {
        std::ofstream out(path, std::ios::binary);
        ASSERT_TRUE(out) << path;
        std::string spaces(1 << 20, ' ');
        for (int i = 0; i < 17; ++i) out << spaces;
        out << "{}";
    }
    EXPECT_EQ(CSimDesktop::FromFile(path, &error), nullptr);
    EXPECT_EQ(error, "larger than 16 MB");
    std::remove(path.c_str());
}

TEST(SimScene, LoadsFromAFile) {
    const std::string dir =
        std::getenv("OSTRELLE_TEST_TMP") ? std::getenv("OSTRELLE_TEST_TMP") : testing::TempDir();
    std::string path = dir + "/scene_ok.json";
    std::remove(path.c_str());
    {
        std::ofstream out(path);
        ASSERT_TRUE(out) << path;
        out << R"({"windows": [{"handle": 7, "class": "X", "text": "seven"}]})";
    }
    std::string error;
    auto d = CSimDesktop::FromFile(path, &error);
    ASSERT_NE(d, nullptr) << error;
    char buf[16];
    EXPECT_EQ(d->GetWindowTextA(7, buf, sizeof buf), 5);
    EXPECT_STREQ(buf, "seven");
    EXPECT_EQ(d->Name(), "scene_ok.json");
    std::remove(path.c_str());
}

TEST(SimScene, DemoSceneLoads) {
    std::string error;
    auto d = CSimDesktop::FromFile(OSTRELLE_SOURCE_DIR "/examples/demo-scene.json", &error);
    ASSERT_NE(d, nullptr) << error;
    EXPECT_TRUE(d->IsWindowVisible(0x110));
    char cls[32];
    d->GetClassNameA(0x121, cls, sizeof cls);
    EXPECT_STREQ(cls, "SysListView32");
    uint32_t pid = 0;
    d->GetWindowThreadProcessId(0x121, &pid);
    ASSERT_NE(d->FindProcess(pid), nullptr);
    EXPECT_EQ(d->FindProcess(pid)->bits, 32);
    EXPECT_TRUE(d->IsMenu(0x500));
}

TEST(SimScene, ChildRectanglesAreRelativeToTheParent) {
    std::string error;
    auto d = CSimDesktop::FromJson(
        R"({"windows": [{"handle": 1, "class": "P", "rect": [100, 50, 500, 450],
        "children": [{"handle": 2, "class": "C", "rect": [10, 20, 110, 40]}]}]})",
        "t", &error);
    ASSERT_NE(d, nullptr) << error;
    WsRect r;
    ASSERT_TRUE(d->GetWindowRect(2, &r));
    EXPECT_EQ(r.left, 110);
    EXPECT_EQ(r.top, 70);
    EXPECT_EQ(r.right, 210);
    EXPECT_EQ(r.bottom, 90);
    EXPECT_EQ(d->GetWindowLongA(2, gwl::STYLE) & int32_t(ws::CHILD), int32_t(ws::CHILD));
}

TEST(SimScene, HexTextsAndNumbersAreBothAccepted) {
    std::string error;
    auto d = CSimDesktop::FromJson(
        R"({"windows": [{"handle": "0x1F4", "class": "A", "style": "0x10000000", "id": "12"}]})",
        "t", &error);
    ASSERT_NE(d, nullptr) << error;
    EXPECT_TRUE(d->IsWindow(500));
    EXPECT_EQ(d->GetWindowLongA(500, gwl::ID), 12);
}

} // namespace
