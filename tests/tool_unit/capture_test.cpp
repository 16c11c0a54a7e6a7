// Capture: a scene captured and loaded again answers the reports as the
// desktop it was captured from did, and captures to the identical text;
// the word reaches its own row; a file that cannot be written is reported
// and nothing half-written is left.
#include "tests/diag/testutil.h"
#include "tool/capture.h"
#include "tool/interpreter.h"
#include "winsys/sim/simdesktop.h"
#include "winsys/wsdefs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::unique_ptr<CSimDesktop> Load(const std::string& text, const std::string& name) {
    std::string error;
    auto d = CSimDesktop::FromJson(text, name, &error);
    EXPECT_NE(d, nullptr) << name << ": " << error;
    return d;
}

std::string CaptureAll(CWinSys& ws, std::string* err = nullptr) {
    CCapturingContext ctx(ws);
    WatchSends(ctx, "tolvane", false);
    const std::string scene = CaptureScene(ctx, 0, nullptr);
    if (err) *err = ctx.TakeErr();
    return scene;
}

// Every window of the desktop, top-level windows and their descendants in
// the order Desc lists them.
void AddTree(CWinSys& ws, WsHandle h, std::vector<WsHandle>& out) {
    out.push_back(h);
    for (WsHandle c = ws.GetWindow(h, gw::CHILD); c != 0; c = ws.GetWindow(c, gw::HWNDNEXT))
        AddTree(ws, c, out);
}
std::vector<WsHandle> AllWindows(CWinSys& ws) {
    std::vector<WsHandle> tops, all;
    ws.EnumWindows(
        [](WsHandle h, intptr_t p) {
            reinterpret_cast<std::vector<WsHandle>*>(p)->push_back(h);
            return 1;
        },
        reinterpret_cast<intptr_t>(&tops));
    for (WsHandle t : tops) AddTree(ws, t, all);
    return all;
}

// What the reports print over every window of the desktop, with the
// files the list reports write.
std::string Reports(CWinSys& ws, const std::vector<WsHandle>& windows, const fs::path& dir) {
    const fs::path before = fs::current_path();
    fs::create_directories(dir);
    fs::current_path(dir);
    CCapturingContext ctx(ws);
    std::string out;
    for (WsHandle h : windows) {
        for (const char* line :
             {"Desc", "Dialog", "GetFont", "ListBox", "ComboBox", "ListCtrl,0,4"}) {
            ctx.state.hWnd = h;
            RunLine(ctx, line);
            out += std::string(line) + ":\n" + ctx.TakeOut();
            for (const char* file : {"ListBox.txt", "ListCtrl.txt"})
                if (fs::exists(file)) {
                    out += diagtest::ReadAll(file);
                    fs::remove(file);
                }
        }
    }
    RunLine(ctx, "Menu");
    out += ctx.TakeOut();
    fs::current_path(before);
    return out;
}

// The windows whose answers a capture can hold: scripted behaviours and a
// process's memory limit are the scene's own inventions, not state.
bool PlainTree(CSimDesktop& d, WsHandle h) {
    const sim::Window* w = d.WindowAt(h);
    const sim::Process* p = w ? d.FindProcess(w->pid) : nullptr;
    if (!w || !w->behaviours.empty() || (p && p->memoryLimit)) return false;
    return std::all_of(w->children.begin(), w->children.end(),
                       [&](WsHandle c) { return PlainTree(d, c); });
}
std::vector<WsHandle> Plain(CSimDesktop& d, const std::vector<WsHandle>& windows) {
    std::vector<WsHandle> plain;
    std::copy_if(windows.begin(), windows.end(), std::back_inserter(plain),
                 [&](WsHandle h) { return PlainTree(d, h); });
    return plain;
}

// The first line where two texts differ, rather than the whole texts.
void ExpectSameLines(const std::string& dry, const std::string& live) {
    std::istringstream a(dry), b(live);
    std::string la, lb, before;
    for (int n = 1; std::getline(a, la) && std::getline(b, lb); ++n) {
        ASSERT_EQ(la, lb) << "line " << n << ", after: " << before;
        before = la;
    }
    EXPECT_EQ(dry.size(), live.size());
}

TEST(Capture, EverySceneCapturesAgainToTheSameTextAndAnswersTheReportsAlike) {
    const fs::path scenes = fs::path(OSTRELLE_SOURCE_DIR) / "tests/tool/scenes";
    int tried = 0;
    for (const auto& entry : fs::directory_iterator(scenes)) {
        if (entry.path().extension() != ".json") continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        auto original = Load(diagtest::ReadAll(entry.path().string()), name);
        ASSERT_NE(original, nullptr);
        const std::string first = CaptureAll(*original);
        auto copy = Load(first, "capture");
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(CaptureAll(*copy), first);

        // Fresh desktops: the capture above read (and so moved the clock
        // of) the first ones.
        auto live = Load(diagtest::ReadAll(entry.path().string()), name);
        auto dry = Load(first, "capture");
        const std::vector<WsHandle> windows = AllWindows(*live);
        EXPECT_EQ(AllWindows(*dry), windows);
        const diagtest::TempDir temp;
        const fs::path& dir = temp.path();
        const std::vector<WsHandle> plain = Plain(*live, windows);
        ExpectSameLines(Reports(*dry, plain, dir / "dry"), Reports(*live, plain, dir / "live"));
        ++tried;
    }
    EXPECT_GE(tried, 5);
}

const char kSmall[] = R"({
  "processes": [{"pid": 100, "bits": 32, "name": "app.exe"}],
  "windows": [
    {"handle": "0x00010010", "class": "Frame", "text": "Main", "process": 100,
     "rect": [10, 20, 410, 320],
     "children": [
       {"handle": "0x00010012", "class": "ListBox", "id": 7, "rect": [5, 5, 105, 105],
        "items": ["one", {"text": "two", "data": 42}], "selected": 1}
     ]},
    {"handle": "0x00010020", "class": "Busy", "text": "Hung", "process": 100, "hung": true},
    {"handle": "0x00010030", "class": "ListBox", "process": 100, "items": ["a", "b"],
     "on": [{"message": "LB_GETCOUNT", "result": 200000}]}
  ]
})";

TEST(Capture, WordFileAndScopeAreChecked) {
    auto d = Load(kSmall, "small");
    ASSERT_NE(d, nullptr);
    const diagtest::TempDir temp;
    const fs::path& dir = temp.path();
    const std::string file = (dir / "app.json").string();
    struct Case {
        WsHandle current;
        std::string line;
        Fault fault;
        std::string out;
    } const cases[] = {
        {0, "Capture", Fault::kInvalidArgument, "Capture: no file named\n"},
        {0, "Capture," + file + ",x", Fault::kInvalidArgument,
         "Capture: unknown scope 'x' (none or *)\n"},
        {0, "Capt," + file, Fault::kUnknownCommand, "Unknown Command\n"},
        {0x00010012, "Capture," + file, Fault::kNone,
         "Captured 2 windows of 1 processes to " + file + "\n"},
        {0x00010012, "CAPTURE," + file + ",*", Fault::kNone,
         "Captured 4 windows of 1 processes to " + file + "\n"},
        {0x00010099, "Capture," + file, Fault::kWindowNotFound, ""},
        {0, "Capture," + (dir / "none" / "x.json").string(), Fault::kFileNotWritten, ""},
    };
    for (const Case& c : cases) {
        CCapturingContext ctx(*d);
        ctx.state.hWnd = c.current;
        const Outcome outcome = RunLine(ctx, c.line.c_str());
        EXPECT_EQ(int(outcome.fault), int(c.fault)) << c.line << ": " << outcome.Reason();
        if (!c.out.empty()) {
            EXPECT_EQ(ctx.TakeOut(), c.out) << c.line;
        }
    }
    // The window that does not answer is named, and kept without contents.
    std::string err;
    const std::string scene = CaptureAll(*d, &err);
    EXPECT_NE(err.find("window 00010020 does not answer"), std::string::npos) << err;
    EXPECT_NE(scene.find("\"hung\": true"), std::string::npos);
    // A count past the bound is said, and the items stop at the first the
    // control says does not exist.
    EXPECT_NE(err.find("window 00010030 holds 200000 items; the first 100000 are kept"),
              std::string::npos)
        << err;
    EXPECT_NE(scene.find("\"items\": [\"a\", \"b\"]"), std::string::npos);
    EXPECT_EQ(err.find('.'), std::string::npos) << "dots on a capture under a second: " << err;

    // A capture that runs longer than a second shows a dot a second.
    std::string slow = kSmall;
    slow.insert(slow.find('{') + 1, R"("clock": {"costMicros": 100000},)");
    auto d2 = Load(slow, "slow");
    ASSERT_NE(d2, nullptr);
    CaptureAll(*d2, &err);
    EXPECT_NE(err.find(".."), std::string::npos) << err;
    EXPECT_NE(err.find(".\ntolvane: capture: window 00010030 holds"), std::string::npos) << err;
    // Nothing half-written beside the files.
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().extension(), ".json") << entry.path();
}

} // namespace
