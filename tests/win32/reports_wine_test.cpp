// The reports against real windows of another process: the Dialog report's
// lines the same by the children walk as by GetDlgItem for every id, on the
// fixture's dialogs (one with duplicate ids, id 0 and id 65535), and every
// batch of the list-view reading alike, with the 64-bit layout.
#include "fixtures/fixture_process.h"
#include "tool/report.h"
#include "tool/walks.h"
#include "txt/ctxtarray_lc.h"
#include "winsys/winsys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(WineReports, DialogLinesAreTheSameByTheWalkAndByEveryId) {
    CFixtureProcess fixture(OSTRELLE_FIXTURE_EXE, "reports_fixture.log", 120);
    ASSERT_TRUE(fixture.Started() && fixture.WaitReady()) << "the fixture did not start";
    CWinSys& ws = WinSys();
    struct Case {
        const char* role;
        size_t controls;
    } cases[] = {{"reports", 6}, {"dialog", 9}, {"reports.list", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.role);
        const WsHandle dlg = fixture.Role(c.role);
        ASSERT_NE(dlg, 0u);
        const auto walked = DialogLines(ws, dlg, ChildrenById(ws, dlg, kLastControlId));
        const auto everyId = DialogLines(ws, dlg, DlgItemsEveryId(ws, dlg, kLastControlId));
        EXPECT_EQ(walked, everyId);
        // A parent line, then the dialog line and the controls when there are any.
        const size_t parents = c.controls ? 1 : 2;
        EXPECT_EQ(walked.size(), parents + (c.controls ? 1 + c.controls : 0));
    }
}

TEST(WineReports, EveryBatchReadsTheSameRows) {
    CFixtureProcess fixture(OSTRELLE_FIXTURE_EXE, "reports_lc_fixture.log", 120);
    ASSERT_TRUE(fixture.Started() && fixture.WaitReady()) << "the fixture did not start";
    const WsHandle lv = fixture.Role("dialog.listview");
    uint32_t pid = 0;
    WinSys().GetWindowThreadProcessId(lv, &pid);
    const WsMem process = WinSys().OpenProcess(0x438, false, pid);
    ASSERT_NE(process, 0u);
    EXPECT_EQ(WinSys().ProcessBits(process), 64); // the layout of an 88-byte LVITEMA
    WinSys().CloseHandle(process);
    for (int columns : {1, 2, 3}) {
        std::vector<std::string> first;
        for (int batch : {1, 2, 5, kLcBatch}) {
            CTxtArray rows;
            CTxt error;
            ASSERT_EQ(LoadFromLCBatched(WinSys(), rows, lv, error, columns, batch), 3)
                << (const char*)error;
            std::vector<std::string> got;
            for (int i = 0; i < rows.GetSize(); ++i) got.push_back(rows.GetAtTxt(i));
            if (first.empty()) first = got;
            EXPECT_EQ(got, first) << "columns " << columns << " batch " << batch;
        }
        EXPECT_EQ(first.front().substr(0, 5), "Apple");
    }
}

} // namespace
