// The title search when the platform's enumeration fails.
#include "tool/commands.h"
#include "winsys/logwinsys.h"
#include "winsys/sim/simdesktop.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A desktop whose EnumWindows fails at once, as the platform's may.
class FailingEnumeration : public CLoggingWinSys {
public:
    using CLoggingWinSys::CLoggingWinSys;
    int EnumWindows(WsEnumProc, intptr_t) override { return 0; }
};

TEST(Targeting, AFailedEnumerationFallsBackToTheScan) {
    std::string error;
    auto d = CSimDesktop::FromJson(
        R"({"windows": [{"handle": 300, "class": "Pad", "text": "Notes - Pad"}]})", "enum", &error);
    ASSERT_NE(d, nullptr) << error;
    CEventLog log;
    FailingEnumeration failing(*d, log);
    CCapturingContext ctx(failing);
    CmdWnd(ctx, CommandCall{"Wnd,notes", "Wnd", "notes"});
    EXPECT_EQ(ctx.state.hWnd, 300u);
}

} // namespace
