// The shared walks of the tool's commands on the simulated desktop.
#include "tool/walks.h"
#include "winsys/sim/simdesktop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

namespace {

// A dialog whose children carry duplicate ids (the first in z-order is the
// one GetDlgItem gives), ids 0 and 65535, an id above the range, a
// negative id, a hidden child, and a grandchild that GetDlgItem never sees.
const char* const kScene = R"JSON({"windows": [
  {"handle": 16, "class": "#32770", "text": "Dialog", "children": [
    {"handle": 17, "class": "Button", "text": "&Save", "id": 7},
    {"handle": 18, "class": "Button", "text": "Save all", "id": 7},
    {"handle": 19, "class": "Static", "text": "zero", "id": 0},
    {"handle": 20, "class": "Edit", "id": 65535},
    {"handle": 21, "class": "Edit", "id": 65536},
    {"handle": 22, "class": "Edit", "id": -1},
    {"handle": 23, "class": "Button", "text": "hidden", "id": 3, "visible": false},
    {"handle": 24, "class": "Static", "id": 5, "children": [
      {"handle": 25, "class": "Button", "text": "inner", "id": 4}]}]},
  {"handle": 32, "class": "Lonely"}
]})JSON";

// What asking GetDlgItem for every id gives, the slow way.
std::vector<DlgChild> EveryId(CWinSys& ws, WsHandle parent, int lastId) {
    std::vector<DlgChild> out;
    for (int id = 0; id <= lastId; ++id)
        if (WsHandle h = ws.GetDlgItem(parent, id)) out.push_back(DlgChild{id, h});
    return out;
}

TEST(Walks, ChildrenByIdAreWhatGetDlgItemGives) {
    std::string error;
    auto d = CSimDesktop::FromJson(kScene, "walks", &error);
    ASSERT_NE(d, nullptr) << error;
    struct Case {
        WsHandle parent;
        int lastId;
    } cases[] = {{16, 65535}, {16, 65534}, {16, 6},    {16, -1},
                 {24, 65535}, {32, 65535}, {0, 65535}, {999, 65535}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parent);
        EXPECT_EQ(ChildrenById(*d, c.parent, c.lastId), EveryId(*d, c.parent, c.lastId));
    }
    const std::vector<DlgChild> want = {{0, 19}, {3, 23}, {5, 24}, {7, 17}, {65535, 20}};
    EXPECT_EQ(ChildrenById(*d, 16, 65535), want);
}

TEST(Walks, ScanHandlesStatesItsBounds) {
    std::vector<WsHandle> seen;
    auto none = ScanHandles(65530, kLastHandle, [&](WsHandle h) {
        seen.push_back(h);
        return false;
    });
    EXPECT_FALSE(none.has_value());
    EXPECT_EQ(seen, (std::vector<WsHandle>{65530, 65531, 65532, 65533, 65534, 65535}));
    EXPECT_EQ(ScanHandles(0, kLastHandle, [](WsHandle h) { return h == 0; }), WsHandle(0));
    EXPECT_EQ(ScanHandles(5, 4, [](WsHandle) { return true; }), std::nullopt);
}

// The values at which a sweep of first..last meets a window, the slow way.
std::vector<WsHandle> SweptWindows(CWinSys& ws, WsHandle first, WsHandle last) {
    std::vector<WsHandle> out;
    for (uint64_t h = first; h <= last; ++h)
        if (ws.IsWindow(WsHandle(h))) out.push_back(WsHandle(h));
    return out;
}

TEST(Walks, WindowValuesAreTheSweepsWindowsOnEveryScene) {
    std::vector<std::unique_ptr<CSimDesktop>> desktops;
    std::string error;
    desktops.push_back(CSimDesktop::FromJson(kScene, "walks", &error));
    // A window whose handle is above the values swept is not met by them.
    desktops.push_back(CSimDesktop::FromJson(
        R"JSON({"windows": [{"handle": "0x10020", "class": "High"},
                            {"handle": "0xFFFF", "class": "Last", "children": [
                              {"handle": 1, "class": "First"}]}]})JSON",
        "high", &error));
    desktops.push_back(CSimDesktop::FromJson(R"JSON({"windows": []})JSON", "empty", &error));
    for (const auto& e :
         std::filesystem::directory_iterator(OSTRELLE_SOURCE_DIR "/tests/tool/scenes")) {
        desktops.push_back(CSimDesktop::FromFile(e.path().string(), &error));
        ASSERT_NE(desktops.back(), nullptr) << e.path() << ": " << error;
    }
    struct Range {
        WsHandle first, last;
    } ranges[] = {{0, kLastHandle}, {0, kLastHandle - 1}, {17, 24}, {5, 4}};
    for (const auto& d : desktops) {
        ASSERT_NE(d, nullptr) << error;
        for (const Range& r : ranges) {
            SCOPED_TRACE(d->Name() + " " + std::to_string(r.first) + ".." + std::to_string(r.last));
            const auto values = WindowValues(*d, r.first, r.last);
            ASSERT_TRUE(values.has_value());
            EXPECT_EQ(*values, SweptWindows(*d, r.first, r.last));
        }
    }
}

// A desktop whose enumeration of all windows fails.
class FailingAllWindows : public CSimDesktop {
public:
    int EnumAllWindows(WsEnumProc, intptr_t) override { return 0; }
};

TEST(Walks, ScanWindowsFindsWhatTheSweepFindsAndSweepsWhenEnumerationFails) {
    std::string error;
    auto d = CSimDesktop::FromJson(kScene, "walks", &error);
    ASSERT_NE(d, nullptr) << error;
    FailingAllWindows failing;
    struct Case {
        CWinSys* ws;
        WsHandle first, last;
        std::vector<WsHandle> tried; // values a pred passing none is given
    } cases[] = {
        {d.get(), 0, kLastHandle, {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 32}},
        {d.get(), 20, 24, {20, 21, 22, 23, 24}},
        {&failing, 65533, kLastHandle, {65533, 65534, 65535}},
    };
    for (const Case& c : cases) {
        std::vector<WsHandle> tried;
        const auto none = ScanWindows(*c.ws, c.first, c.last, [&](WsHandle h) {
            tried.push_back(h);
            return false;
        });
        EXPECT_FALSE(none.has_value());
        EXPECT_EQ(tried, c.tried);
    }
    const auto button = ScanWindows(*d, 0, kLastHandle, [&](WsHandle h) {
        char cls[16] = "";
        d->GetClassNameA(h, cls, sizeof cls);
        return std::string(cls) == "Button";
    });
    EXPECT_EQ(button, WsHandle(17));
}

// The charged walk leaves a simulated clock where the sweep leaves it,
// whether it finds a window or none (the pred makes one call per value).
TEST(Walks, ScanWindowsChargedTakesTheSweepsTime) {
    std::string error;
    struct Case {
        const char* cls; // the class looked for
        WsHandle first, last;
        std::optional<WsHandle> found;
    } cases[] = {{"Button", 0, kLastHandle, 17},
                 {"Lonely", 0, kLastHandle - 1, 32},
                 {"None", 0, kLastHandle, std::nullopt},
                 {"None", 10, 40, std::nullopt}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cls) + " " + std::to_string(c.last));
        auto swept = CSimDesktop::FromJson(kScene, "swept", &error);
        auto walked = CSimDesktop::FromJson(kScene, "walked", &error);
        ASSERT_NE(swept, nullptr) << error;
        auto isClass = [&](CWinSys& ws) {
            return [&ws, &c](WsHandle h) {
                char cls[16] = "";
                ws.GetClassNameA(h, cls, sizeof cls);
                return std::string(cls) == c.cls;
            };
        };
        EXPECT_EQ(ScanHandles(c.first, c.last, isClass(*swept)), c.found);
        EXPECT_EQ(ScanWindowsCharged(*walked, c.first, c.last, 1, isClass(*walked)), c.found);
        EXPECT_EQ(walked->NowMicros(), swept->NowMicros());
    }
}

} // namespace
