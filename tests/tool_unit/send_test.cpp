// Commands whose output is too long for a tool case: the Clk grid.
#include "tool/commands.h"
#include "winsys/sim/simdesktop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TEST(SendCommands, ClkGridSendsFortyThousandMessages) {
    std::string error;
    auto d =
        CSimDesktop::FromJson(R"({"windows": [{"handle": 33, "class": "Pad"}]})", "grid", &error);
    ASSERT_NE(d, nullptr) << error;
    d->CaptureLog(true);
    CCapturingContext ctx(*d);
    ctx.state.hWnd = 33;
    CmdClk(ctx, CommandCall{"Clk,R+", "Clk", "R+"});
    const std::vector<std::string>& lines = d->LogLines();
    ASSERT_EQ(lines.size(), 40000u);
    EXPECT_EQ(lines.front(), "send 00000021 WM_RBUTTONUP 00000002 00000000 -> 0");
    EXPECT_EQ(lines[1], "send 00000021 WM_RBUTTONUP 00000002 00050000 -> 0");
    EXPECT_EQ(lines[200], "send 00000021 WM_RBUTTONUP 00000002 00000005 -> 0");
    EXPECT_EQ(lines.back(), "send 00000021 WM_RBUTTONUP 00000002 03E303E3 -> 0");
}

} // namespace
