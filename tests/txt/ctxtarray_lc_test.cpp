// CTxtArray::LoadFromLC on the simulated desktop: list views of 32- and
// 64-bit owners read through their own memory, the failures, the select
// number, the empty list, the text left from the request before, every
// batch size alike, and nothing left behind in the owner on any path.
#include "txt/ctxtarray.h"
#include "txt/ctxtarray_lc.h"
#include "winsys/sim/simdesktop.h"
#include "winsys/wsdefs.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char* const kScene = R"JSON({
  "processes": [
    {"pid": 300, "bits": 64, "threads": [304]},
    {"pid": 400, "bits": 32, "threads": [404]},
    {"pid": 500, "bits": 64, "threads": [504], "openable": false},
    {"pid": 600, "bits": 64, "threads": [604], "memoryLimit": 0},
    {"pid": 700, "bits": 64, "threads": [704], "memoryLimit": 8192},
    {"pid": 800, "bits": 64, "threads": [804], "memoryLimit": 4096}
  ],
  "windows": [
    {"handle": 16, "class": "Frame", "thread": 304, "children": [
      {"handle": 17, "class": "SysListView32", "items": [
        {"text": "Apple", "columns": ["1", "red"]},
        {"text": "Banana", "columns": ["2"]},
        {"text": "Cherry", "columns": ["3", "dark red"]}]},
      {"handle": 18, "class": "SysListView32"},
      {"handle": 19, "class": "SYSLISTVIEW32", "items": [{"text": "upper"}]},
      {"handle": 20, "class": "SysListView32", "items": [
        {"text": "A1", "columns": ["A2"]}, {"text": "B1", "columns": ["B2"]},
        {"text": "C1", "columns": ["C2"]}],
        "on": [{"message": "LVM_GETITEMCOUNT", "result": 5},
               {"message": "LVM_GETITEMTEXTA", "wParam": 1, "result": 0}]},
      {"handle": 21, "class": "ListBox", "items": ["x"]},
      {"handle": 22, "class": "SysListView32", "items": [
        {"text": "one", "columns": ["1"]}, {"text": "two", "columns": ["2"]}],
        "on": [{"message": "LVM_GETITEMCOUNT", "result": 2147483647}]}]},
    {"handle": 32, "class": "Frame", "thread": 404, "children": [
      {"handle": 33, "class": "SysListView32", "items": [
        {"text": "small", "columns": ["32"]}, {"text": "record", "columns": ["40"]}]}]},
    {"handle": 48, "class": "Frame", "thread": 504, "children": [
      {"handle": 49, "class": "SysListView32", "items": ["locked"]}]},
    {"handle": 64, "class": "Frame", "thread": 604, "children": [
      {"handle": 65, "class": "SysListView32", "items": ["none"]}]},
    {"handle": 80, "class": "Frame", "thread": 704, "children": [
      {"handle": 81, "class": "SysListView32", "items": ["little"]}]},
    {"handle": 96, "class": "Frame", "thread": 804, "children": [
      {"handle": 97, "class": "SysListView32", "items": ["one page"]}]},
    {"handle": 112, "class": "SysListView32", "text": "no process"},
    {"handle": 128, "class": "Frame", "thread": 404, "children": [
      {"handle": 129, "class": "SysListView32", "items": [
        {"text": "\u03a3\u03bf\u03c6\u03af\u03b1", "columns": ["\u043e\u0442\u0447\u0451\u0442"]},
        {"text": "\u5831\u544a", "columns": ["\ud83d\ude00"]}]}]}
  ]})JSON";

// A desktop of the scene, the process-wide one while the object lives.
class LcTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        d_ = CSimDesktop::FromJson(kScene, "lc", &error);
        ASSERT_NE(d_, nullptr) << error;
        previous_ = SetWinSys(d_.get());
        d_->CaptureLog(true);
    }
    void TearDown() override { SetWinSys(previous_); }

    // True when no process handle is open and no process holds memory.
    bool NothingLeftBehind() const {
        if (d_->OpenProcessHandles() != 0) return false;
        for (uint32_t pid : {300u, 400u, 500u, 600u, 700u, 800u})
            if (!d_->FindProcess(pid)->memory.empty()) return false;
        return true;
    }

    std::unique_ptr<CSimDesktop> d_;
    CWinSys* previous_ = nullptr;
};

std::vector<std::string> Rows(const CTxtArray& a) {
    std::vector<std::string> out;
    for (int i = 0; i < a.GetSize(); ++i) out.push_back(a.GetAtTxt(i) ? a.GetAtTxt(i) : "(none)");
    return out;
}

TEST_F(LcTest, ReadsTheColumnsAskedFor) {
    struct Case {
        WsHandle hwnd;
        int columns;
        std::vector<std::string> rows;
    } cases[] = {
        {17, 2, {"Apple|1|", "Banana|2|", "Cherry|3|"}},
        {17, 1, {"Apple", "Banana", "Cherry"}},
        {17, 3, {"Apple|1|red|", "Banana|2||", "Cherry|3|dark red|"}},
        {17, 0, {"(none)", "(none)", "(none)"}}, // no cells: lines without text
        {17, -4, {"(none)", "(none)", "(none)"}},
        {19, 2, {"upper||"}}, // the class name compares without case
        {33, 2, {"small|32|", "record|40|"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hwnd) + " columns " + std::to_string(c.columns));
        CTxtArray rows;
        rows.Add("old line");
        CTxt error;
        EXPECT_EQ(rows.LoadFromLC(c.hwnd, error, c.columns), int(c.rows.size()));
        EXPECT_EQ(Rows(rows), c.rows);
        EXPECT_EQ(std::string(error), "");
        EXPECT_TRUE(NothingLeftBehind());
    }
}

TEST_F(LcTest, WideRequestsGiveUtf8RowsInEitherLayout) {
    const std::vector<std::string> want = {
        "\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1|\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82|",
        "\xE5\xA0\xB1\xE5\x91\x8A|\xF0\x9F\x98\x80|"};
    for (WsHandle hwnd : {WsHandle(129), WsHandle(17)})
        for (int batch : {1, 2, kLcBatch}) {
            SCOPED_TRACE(std::to_string(hwnd) + " batch " + std::to_string(batch));
            CTxtArray rows;
            CTxt error;
            LoadFromLCBatched(WinSys(), rows, hwnd, error, 2, batch, LcText::kUtf8);
            if (hwnd == 129) {
                EXPECT_EQ(Rows(rows), want);
            } else {
                EXPECT_EQ(Rows(rows)[2], "Cherry|3|");
            }
            EXPECT_TRUE(NothingLeftBehind());
        }
    // The simulated desktop's ANSI answers are UTF-8 already: asked for
    // UTF-8, the library asks as before.
    EXPECT_EQ(LcRequestFor(WinSys(), LcText::kUtf8), LcText::kAnsi);
    CTxtArray rows;
    CTxt error;
    EXPECT_EQ(rows.LoadFromLC(129, error, 2, LcText::kUtf8), 2);
    EXPECT_EQ(Rows(rows), want);
}

TEST_F(LcTest, TheRecordIsLaidOutAsTheOwnerLaysItOut) {
    struct Case {
        int bits;
        int batch;
        uint32_t record;
        size_t recordBlock, textBlock;
    } cases[] = {
        {32, 1, 40, 40, 1000},
        {64, 1, 88, 88, 1000},
        {32, kLcBatch, 40, 40 * (kLcBatch + 1), 512 * kLcBatch},
        {64, kLcBatch, 88, 88 * (kLcBatch + 1), 512 * kLcBatch},
        {64, 0, 88, 88, 1000},
        {64, 1 << 20, 88, 88 * (kLcMaxBatch + 1), 512 * kLcMaxBatch},
    };
    for (const Case& c : cases) {
        const LcBlocks b = LcBlocksFor(c.bits, c.batch);
        EXPECT_EQ(b.recordSize, c.record) << c.bits;
        EXPECT_EQ(b.recordBlock, c.recordBlock) << c.bits << " " << c.batch;
        EXPECT_EQ(b.textBlock, c.textBlock) << c.bits << " " << c.batch;
    }
    EXPECT_EQ(kLvItem32.size, 40u);
    EXPECT_EQ(kLvItem64.size, 88u);
    EXPECT_EQ(kLvItem64.pszText, 24u);
    EXPECT_EQ(kLvItem32.pszText, 20u);

    // What is written into each owner: whole records of its own layout.
    struct Owner {
        WsHandle hwnd;
        std::string firstWrite;
    } owners[] = {{33, "write 400 0000000000500000 40"}, {17, "write 300 000001F000000000 88"}};
    for (const Owner& o : owners) {
        d_->ClearLog();
        CTxtArray rows;
        CTxt error;
        ASSERT_EQ(LoadFromLCBatched(WinSys(), rows, o.hwnd, error, 1, 1), o.hwnd == 33 ? 2 : 3);
        std::vector<std::string> writes;
        for (const std::string& line : d_->LogLines())
            if (line.rfind("write ", 0) == 0) writes.push_back(line);
        ASSERT_FALSE(writes.empty());
        EXPECT_EQ(writes.front(), o.firstWrite);
    }
}

TEST_F(LcTest, FailuresLeaveTheListAndTheOwnerAsTheyWere) {
    struct Case {
        WsHandle hwnd;
        int result;
        std::string message;
        int onlyBatch; // 0: every batch
    } cases[] = {
        {21, -1, "HWND 00000015 not SysListView32", 0},
        {16, -1, "HWND 00000010 not SysListView32", 0},
        {9999, -1, "HWND 0000270F not SysListView32", 0},
        {112, -2, "Cannot get PID for HWND 00000070", 0},
        {49, -3, "Cannot access PID 500 for HWND 00000031", 0},
        {65, -4, "Cannot allocate memory in PID 600 for HWND 00000041", 0}, // no block at all
        // Room for one page: the text block fails one at a time, the
        // record block batched.
        {97, -4, "Cannot allocate memory in PID 800 for HWND 00000061", 0},
    };
    for (int batch : {1, kLcBatch}) {
        for (const Case& c : cases) {
            if (c.onlyBatch && c.onlyBatch != batch) continue;
            SCOPED_TRACE(std::to_string(c.hwnd) + " batch " + std::to_string(batch));
            d_->ClearLog();
            CTxtArray rows;
            rows.Add("keep");
            CTxt error("2");
            EXPECT_EQ(LoadFromLCBatched(WinSys(), rows, c.hwnd, error, 2, batch), c.result);
            EXPECT_EQ(std::string(error), c.message);
            EXPECT_EQ(Rows(rows), std::vector<std::string>{"keep"});
            EXPECT_TRUE(NothingLeftBehind());
            for (const std::string& line : d_->LogLines())
                EXPECT_EQ(line.find("LVM_GETITEMTEXTA"), std::string::npos) << line;
        }
    }
}

// Room for the batched record block, not its text block: the one-cell
// layout fits and reads what one request at a time reads.
TEST_F(LcTest, BlocksThatDoNotFitABatchFallBackToOneCellAtATime) {
    CTxtArray one, batched;
    CTxt error;
    ASSERT_EQ(LoadFromLCBatched(WinSys(), one, 81, error, 2, 1), 1);
    EXPECT_EQ(LoadFromLCBatched(WinSys(), batched, 81, error, 2, kLcBatch), 1);
    EXPECT_EQ(Rows(batched), Rows(one));
    EXPECT_TRUE(NothingLeftBehind());
}

TEST_F(LcTest, TheSelectNumberSelectsThatItem) {
    struct Case {
        const char* error;
        int selected; // index, -1 for none
    } cases[] = {{"2", 1},    {"1", 0}, {"3", 2},  {"4", -1}, {"0", -1}, {"-2", -1},
                 {"abc", -1}, {"", -1}, {" 2", 1}, {"2x", 1}, {"x2", -1}};
    for (int batch : {1, 2, kLcBatch}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string("'") + c.error + "' batch " + std::to_string(batch));
            std::string error;
            auto d = CSimDesktop::FromJson(kScene, "lc", &error);
            ASSERT_NE(d, nullptr) << error;
            CWinSys* previous = SetWinSys(d.get());
            CTxtArray rows;
            CTxt text(c.error);
            EXPECT_EQ(LoadFromLCBatched(WinSys(), rows, 17, text, 2, batch), 3);
            EXPECT_EQ(std::string(text), c.error); // left as it was on success
            for (int i = 0; i < 3; ++i) {
                const uint32_t state = d->WindowAt(17)->items[size_t(i)].state;
                EXPECT_EQ(state, i == c.selected ? lvis::SELECTED : 0u) << i;
            }
            EXPECT_EQ(Rows(rows), (std::vector<std::string>{"Apple|1|", "Banana|2|", "Cherry|3|"}));
            SetWinSys(previous);
        }
    }
}

TEST_F(LcTest, AnEmptyListReadsAThousandRowsOfWhatIsLeft) {
    struct Case {
        WsHandle hwnd;
        int columns;
        std::vector<std::string> first; // the first rows; the rest repeat the last
    } cases[] = {
        {18, 2, {"||"}}, // nothing ever written: the fresh block's zeros
        {18, 1, {""}},
    };
    for (const Case& c : cases) {
        CTxtArray rows;
        CTxt error;
        ASSERT_EQ(rows.LoadFromLC(c.hwnd, error, c.columns), 1000);
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(std::string(rows.GetAtTxt(i) ? rows.GetAtTxt(i) : ""), c.first.front()) << i;
    }
    // A cell the owner does not answer reads the text of the request before.
    CTxtArray rows;
    CTxt error;
    ASSERT_EQ(rows.LoadFromLC(20, error, 2), 3);
    EXPECT_EQ(Rows(rows), (std::vector<std::string>{"A1|A2|", "A2|A2|", "C1|C2|"}));
    EXPECT_TRUE(NothingLeftBehind());
}

TEST_F(LcTest, ACountBeyondTheRowsHeldIsReadOnlyAsFarAsTheRows) {
    struct Case {
        WsHandle hwnd;
        std::vector<std::string> rows;
        size_t mostNextItemRequests; // LVM_GETNEXTITEM: the last row, then halving
    } cases[] = {
        {17, {"Apple|1|", "Banana|2|", "Cherry|3|"}, 1}, // counts what it holds
        {20, {"A1|A2|", "A2|A2|", "C1|C2|"}, 1 + 3},     // counts 5
        {22, {"one|1|", "two|2|"}, 1 + 20},              // counts 2,147,483,647
    };
    for (const Case& c : cases) {
        d_->ClearLog();
        CTxtArray rows;
        CTxt error;
        EXPECT_EQ(rows.LoadFromLC(c.hwnd, error, 2), int(c.rows.size())) << c.hwnd;
        EXPECT_EQ(Rows(rows), c.rows) << c.hwnd;
        size_t asked = 0;
        for (const std::string& line : d_->LogLines())
            if (line.find("LVM_GETNEXTITEM") != std::string::npos) ++asked;
        EXPECT_GE(asked, 1u) << c.hwnd;
        EXPECT_LE(asked, c.mostNextItemRequests) << c.hwnd;
    }
    EXPECT_TRUE(NothingLeftBehind());
}

// The requests the owner sees: every LVM_ message and item-state change, in
// order, without the remote addresses (which differ with the block sizes).
std::vector<std::string> Requests(const std::vector<std::string>& log) {
    std::vector<std::string> out;
    for (const std::string& line : log) {
        if (line.find("item-state") != std::string::npos) out.push_back(line);
        if (line.rfind("send ", 0) != 0 || line.find(" LVM_") == std::string::npos) continue;
        // "send HWND MSG WPARAM LPARAM -> RESULT": drop LPARAM.
        size_t wparam = line.find(' ', line.find(" LVM_") + 1);
        size_t lparam = line.find(' ', wparam + 1);
        size_t arrow = line.find(" ->", lparam);
        out.push_back(line.substr(0, lparam) +
                      (arrow == std::string::npos ? std::string() : line.substr(arrow)));
    }
    return out;
}

TEST_F(LcTest, EveryBatchGivesTheSameRowsAndRequests) {
    struct Case {
        WsHandle hwnd;
        int columns;
        const char* select;
    } cases[] = {{17, 2, ""},  {17, 3, "2"}, {17, 1, "3"}, {17, 0, "1"},
                 {20, 2, "4"}, {33, 3, "1"}, {18, 2, "7"}, {19, 5, ""}};
    for (const Case& c : cases) {
        std::vector<std::string> wantRows, wantRequests;
        for (int batch : {1, 2, 3, 4, 7, 64, kLcMaxBatch, 0, 1 << 30}) {
            SCOPED_TRACE(std::to_string(c.hwnd) + " columns " + std::to_string(c.columns) +
                         " batch " + std::to_string(batch));
            std::string error;
            auto d = CSimDesktop::FromJson(kScene, "lc", &error);
            ASSERT_NE(d, nullptr) << error;
            CWinSys* previous = SetWinSys(d.get());
            d->CaptureLog(true);
            CTxtArray rows;
            CTxt text(c.select);
            LoadFromLCBatched(WinSys(), rows, c.hwnd, text, c.columns, batch);
            SetWinSys(previous);
            if (wantRows.empty()) {
                wantRows = Rows(rows);
                wantRequests = Requests(d->LogLines());
                ASSERT_FALSE(wantRequests.empty());
                continue;
            }
            EXPECT_EQ(Rows(rows), wantRows);
            EXPECT_EQ(Requests(d->LogLines()), wantRequests);
        }
    }
}

// The simulated desktop behind a layer that throws from the nth message
// sent, as a caller's own code may throw in the middle of a load.
class CThrowingDesktop : public CLoggingWinSys {
public:
    CThrowingDesktop(CWinSys& inner, int throwAt) : CLoggingWinSys(inner, log_), left_(throwAt) {}
    intptr_t SendMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override {
        if (left_-- == 0) throw std::runtime_error("thrown from a send");
        return CLoggingWinSys::SendMessageA(hwnd, msg, wParam, lParam);
    }

private:
    CEventLog log_;
    int left_;
};

TEST_F(LcTest, AnExceptionReleasesTheProcessAndBothBlocks) {
    for (int batch : {1, kLcBatch}) {
        for (int throwAt : {0, 1, 2, 5, 8}) {
            SCOPED_TRACE("batch " + std::to_string(batch) + " throw at " + std::to_string(throwAt));
            CThrowingDesktop throwing(*d_, throwAt);
            SetWinSys(&throwing);
            CTxtArray rows;
            CTxt error;
            EXPECT_THROW(LoadFromLCBatched(WinSys(), rows, 17, error, 3, batch),
                         std::runtime_error);
            SetWinSys(d_.get());
            EXPECT_TRUE(NothingLeftBehind());
        }
    }
}

TEST_F(LcTest, ManyLoadsLeaveNothingBehind) {
    for (int i = 0; i < 200; ++i) {
        CTxtArray rows;
        CTxt error;
        ASSERT_EQ(rows.LoadFromLC(i % 2 ? 17 : 33, error, 2), i % 2 ? 3 : 2);
    }
    EXPECT_TRUE(NothingLeftBehind());
}

} // namespace
