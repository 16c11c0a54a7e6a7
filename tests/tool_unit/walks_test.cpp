// The shared walks of the tool's commands on the simulated desktop.
#include "tool/walks.h"
#include "winsys/sim/simdesktop.h"

#include <gtest/gtest.h>

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

} // namespace
