// CTxtArray::LoadFromLC used the way a program that links the library uses
// it: through "ostrelle.h" alone, on the real desktop, against the list
// view of the fixture application in a process of its own.
#include "ostrelle.h"

#include "fixtures/fixture_process.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

class LcUser : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fixture_ = new CFixtureProcess(OSTRELLE_FIXTURE_EXE, "lc_user_fixture.log", 120);
        ready_ = fixture_->Started() && fixture_->WaitReady();
    }
    static void TearDownTestSuite() {
        delete fixture_;
        fixture_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(ready_) << "the fixture did not show its windows";
        listView_ = fixture_->Role("dialog.listview");
        ASSERT_NE(listView_, 0u);
    }

    static CFixtureProcess* fixture_;
    static bool ready_;
    WsHandle listView_ = 0;
};
CFixtureProcess* LcUser::fixture_ = nullptr;
bool LcUser::ready_ = false;

std::vector<std::string> Rows(const CTxtArray& rows) {
    std::vector<std::string> out;
    for (int i = 0; i < rows.GetSize(); ++i)
        out.push_back(rows.GetAtTxt(i) ? rows.GetAtTxt(i) : "");
    return out;
}

// Committed private regions of a process, by a bounded walk of its address
// space: what the loads allocate there shows as new regions.
int PrivateRegions(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process) return -1;
    int regions = 0;
    const char* at = nullptr;
    MEMORY_BASIC_INFORMATION info;
    for (int n = 0; n < 1000000 && VirtualQueryEx(process, at, &info, sizeof info) == sizeof info;
         ++n) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) ++regions;
        at = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    }
    CloseHandle(process);
    return regions;
}

TEST_F(LcUser, ReadsTheRowsOfAnotherProcess) {
    struct Case {
        int columns;
        std::vector<std::string> rows;
    } cases[] = {{2, {"Apple|1|", "Banana|2|", "Cherry|3|"}},
                 {1, {"Apple", "Banana", "Cherry"}},
                 {3, {"Apple|1||", "Banana|2||", "Cherry|3||"}}};
    for (const Case& c : cases) {
        CTxtArray rows;
        CTxt error;
        EXPECT_EQ(rows.LoadFromLC(listView_, error, c.columns), 3) << (const char*)error;
        EXPECT_EQ(Rows(rows), c.rows) << c.columns;
    }
}

TEST_F(LcUser, SelectsTheItemNamedInTheErrorText) {
    CTxtArray rows;
    CTxt error("3");
    ASSERT_EQ(rows.LoadFromLC(listView_, error, 2), 3);
    HWND lv = reinterpret_cast<HWND>(static_cast<uintptr_t>(listView_));
    EXPECT_EQ(SendMessageA(lv, LVM_GETITEMSTATE, 2, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(std::string(error), "3");
}

TEST_F(LcUser, AnotherClassIsRefused) {
    const WsHandle list = fixture_->Role("dialog.list");
    CTxtArray rows;
    rows.Add("kept");
    CTxt error;
    EXPECT_EQ(rows.LoadFromLC(list, error, 2), -1);
    char want[64];
    std::snprintf(want, sizeof want, "HWND %08X not SysListView32", unsigned(list));
    EXPECT_EQ(std::string(error), want);
    EXPECT_EQ(Rows(rows), std::vector<std::string>{"kept"});
}

// The value the next handle of this process gets: handle slots are handed
// out again once closed, so a handle left open moves it on.
uintptr_t NextHandle() {
    HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, GetCurrentProcessId());
    const uintptr_t value = reinterpret_cast<uintptr_t>(h);
    if (h) CloseHandle(h);
    return value;
}

TEST_F(LcUser, NothingIsLeftOpenOrAllocated) {
    const uintptr_t handleBefore = NextHandle();
    ASSERT_NE(handleBefore, 0u);
    const int regionsBefore = PrivateRegions(fixture_->Pid());
    ASSERT_GT(regionsBefore, 0);
    constexpr int kLoads = 50;
    for (int i = 0; i < kLoads; ++i) {
        CTxtArray rows;
        CTxt error;
        ASSERT_EQ(rows.LoadFromLC(listView_, error, 2), 3);
    }
    EXPECT_EQ(NextHandle(), handleBefore);
    // Two blocks a load, had they stayed: 100 regions more.
    EXPECT_LT(PrivateRegions(fixture_->Pid()), regionsBefore + kLoads);
}

} // namespace
