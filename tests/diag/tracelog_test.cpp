#include "diag/logtrace.h"
#include "diag/settings.h"
#include "diag/tracelog.h"
#include "platform/fileinfo.h"

#include "testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

using diagtest::Capture;
using diagtest::ReadAll;
using diagtest::TempDir;
using diagtest::WriteAll;

namespace {

// The injected clock.
int64_t fakeSeconds = 0;
int fakeMs = 0;
const int64_t kStart = 1796745909; // a Tuesday in December 2026

void FakeClock(int64_t* seconds, int* ms) {
    *seconds = fakeSeconds;
    *ms = fakeMs;
}

// The date and time parts of a line written at the start time.
std::string DatePart() {
    FileStamp t = LocalStamp(kStart, 42);
    char buf[20];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d|", t.year % 100, t.month, t.day);
    return buf;
}

std::string TimePart(char marker) {
    FileStamp t = LocalStamp(kStart, 42);
    char buf[30];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.042%c|", t.hour, t.minute, t.second, marker);
    return buf;
}

// Runs in a folder of its own with its own settings file, UTC time and the
// injected clock; the log starts closed and unopened.
class TraceLog : public ::testing::Test {
protected:
    void SetUp() override {
        fakeSeconds = kStart;
        fakeMs = 42;
        LogTraceSetClock(&FakeClock);
        LogTraceReset();
        ini_ = dir_.file("settings.ini");
        SetIniPath(ini_.c_str());
        log_ = dir_.file("trace.log");
        oldCwd_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.path());
    }
    void TearDown() override {
        LogTraceReset();
        LogTraceSetClock(nullptr);
        SetIniPath(nullptr);
        std::filesystem::current_path(oldCwd_);
    }

    int Open(int level = 1) { return LogTraceWrite("*OPENLOG", log_.c_str(), level); }
    std::string OpeningLine() const {
        return "ACTION-INIT     |" + DatePart() + TimePart(' ') + "====== Opening " + log_ +
               " ======\r\n";
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The log's lines after the opening line.
    std::string Written() const { return ReadAll(log_).substr(OpeningLine().size()); }

    TempDir dir_;
    std::string ini_, log_;
    std::filesystem::path oldCwd_;
};

TEST_F(TraceLog, LevelOneLineByteForByte) {
    ASSERT_EQ(Open(), 1);
    EXPECT_TRUE(LogTraceIsOpen());
    EXPECT_EQ(LogTraceWrite("Tolvix", "Dialog 00001A2B found", 1), 0);
    std::string line =
        "Tolvix          |" + DatePart() + TimePart('a') + "Dialog 00001A2B found\r\n";
    EXPECT_EQ(ReadAll(log_), OpeningLine() + line);
    EXPECT_TRUE(std::regex_match(
        line,
        std::regex(
            "Tolvix {10}\\|\\d{6}\\|\\d\\d:\\d\\d:\\d\\d\\.042a\\|Dialog 00001A2B found\r\n")))
        << line;
    // The switches asked for are now listed in the settings file.
    EXPECT_EQ(ReadAll(ini_),
              "[SYS]\r\nLogShowDate=YES\r\nLogShowTime=YES\r\nLogFileFlushOnEach=NO\r\n");
}

TEST_F(TraceLog, TagIsCutOrPaddedToSixteen) {
    struct Case {
        const char* tag;
        std::string column;
    } cases[] = {
        {"CB", "CB              |" + DatePart()},
        {"TEST", "TEST            |" + DatePart()},
        {"ABC", "ABC             |" + DatePart()},
        {"LoadFromTree", "LoadFromTree    |" + DatePart()},
        {"ExactlySixteen16", "ExactlySixteen16|" + DatePart()},
        {"TwentyCharactersLong", "TwentyCharacters|" + DatePart()},
        {"", "                |" + DatePart()},
        {"*NOTACOMMAND", "*NOTACOMMAND    |" + DatePart()},
        {nullptr, ""}, // no tag: no tag column and no date part
    };
    ASSERT_EQ(Open(), 1);
    std::string expect;
    for (const Case& c : cases) {
        EXPECT_EQ(LogTraceWrite(c.tag, "x", 1), 0);
        expect += c.column + TimePart('a') + "x\r\n";
    }
    EXPECT_EQ(Written(), expect);
}

TEST_F(TraceLog, LevelMarkers) {
    struct Case {
        int level;
        char marker;
    } cases[] = {{INT_MIN, ' '}, {-1, ' '}, {0, ' '},  {1, 'a'},  {2, 'b'},
                 {3, 'c'},       {25, 'y'}, {26, 'z'}, {27, 'z'}, {INT_MAX, 'z'}};
    ASSERT_EQ(Open(), 1);
    std::string expect;
    for (const Case& c : cases) {
        LogTraceWrite(nullptr, "m", c.level);
        expect += TimePart(c.marker) + "m\r\n";
    }
    EXPECT_EQ(Written(), expect);
}

TEST_F(TraceLog, LineBreaksOfTheTextBecomePlus) {
    ASSERT_EQ(Open(), 1);
    LogTraceWrite("T", "first\r\nsecond\nthird\r", 1);
    EXPECT_EQ(Written(),
              "T               |" + DatePart() + TimePart('a') + "first++second+third+\r\n");
}

TEST_F(TraceLog, OverlongTextStillEndsTheLine) {
    ASSERT_EQ(Open(), 1);
    std::string text(30000, 'q');
    LogTraceWrite("T", text.c_str(), 1);
    std::string line = Written();
    EXPECT_EQ(line.size(), 20000u);
    EXPECT_EQ(line.substr(line.size() - 3), "q\r\n");
}

TEST_F(TraceLog, OpenLevelOneEmptiesOtherLevelsAppend) {
    struct Case {
        int level;
        bool keeps;
    } cases[] = {{1, false}, {0, true}, {2, true}, {-1, true}};
    for (const Case& c : cases) {
        WriteAll(log_, "earlier line\r\n");
        ASSERT_EQ(Open(c.level), 1) << c.level;
        LogTraceWrite("*CLOSE", "", 0);
        EXPECT_EQ(ReadAll(log_), (c.keeps ? "earlier line\r\n" : "") + OpeningLine()) << c.level;
    }
}

TEST_F(TraceLog, OpenResults) {
    std::string longPath = dir_.file(std::string(1000, 'p'));
    EXPECT_EQ(LogTraceWrite("*OPENLOG", dir_.file("no/such/folder.log").c_str(), 1), -2);
    EXPECT_EQ(LogTraceWrite("*OPENLOG", longPath.c_str(), 1), -2);
    EXPECT_EQ(LogTraceWrite("*OPENLOG", nullptr, 1), -2);
    EXPECT_EQ(LogTraceWrite("*OPENLOG", "", 1), -2);
    EXPECT_FALSE(LogTraceIsOpen());
    EXPECT_EQ(LogTraceWrite("*openlog", log_.c_str(), 1), 1); // commands in any case
    std::string other = dir_.file("other.log");
    EXPECT_EQ(LogTraceWrite("*OpenLog", other.c_str(), 1), -1);
    EXPECT_FALSE(std::filesystem::exists(other));
    LogTraceWrite("T", "still here", 1);
    EXPECT_EQ(Written(), "T               |" + DatePart() + TimePart('a') + "still here\r\n");
}

TEST_F(TraceLog, NothingHappensWithoutAnOpenLog) {
    long flushes = LogTraceFlushes();
    EXPECT_EQ(LogTraceWrite("T", "line", 1), 0);
    EXPECT_EQ(LogTraceWrite(nullptr, "line", 1), 0);
    EXPECT_EQ(LogTraceWrite("*FLUSH", "", 0), 0);
    EXPECT_EQ(LogTraceWrite("*CLOSE", "", 0), 0);
    EXPECT_EQ(LogTraceWrite("*COPY", "", 0), 0);
    EXPECT_EQ(LogTraceFlushes(), flushes);
    EXPECT_EQ(Files(), std::vector<std::string>{}); // not even LogCpy.tmp or the settings
}

TEST_F(TraceLog, TwentyFirstLineFlushes) {
    ASSERT_EQ(Open(), 1);
    for (int round = 0; round < 3; ++round) {
        long before = LogTraceFlushes();
        for (int i = 1; i <= 20; ++i) LogTraceWrite("T", "line", 1);
        EXPECT_EQ(LogTraceFlushes(), before) << round;
        LogTraceWrite("T", "line", 1);
        EXPECT_EQ(LogTraceFlushes(), before + 1) << round;
    }
}

TEST_F(TraceLog, LineMoreThanTenSecondsAfterTheLastFlushFlushes) {
    ASSERT_EQ(Open(), 1);
    long before = LogTraceFlushes();
    LogTraceWrite("T", "starts the clock", 1);
    fakeSeconds += 10;
    LogTraceWrite("T", "ten seconds", 1);
    EXPECT_EQ(LogTraceFlushes(), before);
    fakeSeconds += 1;
    LogTraceWrite("T", "eleven seconds", 1);
    EXPECT_EQ(LogTraceFlushes(), before + 1);
    fakeSeconds += 5;
    LogTraceWrite("T", "five more", 1);
    EXPECT_EQ(LogTraceFlushes(), before + 1);
}

TEST_F(TraceLog, FlushOnEachIsReadAtEveryOpen) {
    WriteAll(ini_, "[SYS]\r\nLogFileFlushOnEach=True\r\n");
    ASSERT_EQ(Open(), 1);
    long before = LogTraceFlushes();
    for (int i = 1; i <= 3; ++i) LogTraceWrite("T", "line", 1);
    EXPECT_EQ(LogTraceFlushes(), before + 3);
    LogTraceWrite("*CLOSE", "", 0);

    WriteAll(ini_, "[SYS]\r\nLogFileFlushOnEach=NO\r\n");
    ASSERT_EQ(Open(0), 1);
    before = LogTraceFlushes();
    for (int i = 1; i <= 3; ++i) LogTraceWrite("T", "line", 1);
    EXPECT_EQ(LogTraceFlushes(), before);
}

TEST_F(TraceLog, ExplicitFlushAndClose) {
    ASSERT_EQ(Open(), 1);
    long before = LogTraceFlushes();
    EXPECT_EQ(LogTraceWrite("*flush", "", 0), 0);
    EXPECT_EQ(LogTraceFlushes(), before + 1);
    EXPECT_EQ(LogTraceWrite("*Close", "", 0), 0);
    EXPECT_EQ(LogTraceFlushes(), before + 2);
    EXPECT_FALSE(LogTraceIsOpen());
}

TEST_F(TraceLog, DateAndTimeSwitches) {
    struct Case {
        const char* settings;
        std::string tagged, untagged;
    } cases[] = {
        {"LogShowDate=NO\r\nLogShowTime=YES", "T               |" + TimePart('b') + "x\r\n",
         TimePart('b') + "x\r\n"},
        {"LogShowDate=YES\r\nLogShowTime=no", "T               |" + DatePart() + "b|x\r\n",
         "b|x\r\n"},
        {"LogShowDate=0\r\nLogShowTime=off", "T               |b|x\r\n", "b|x\r\n"},
    };
    for (const Case& c : cases) {
        LogTraceReset();
        WriteAll(ini_, std::string("[SYS]\r\n") + c.settings + "\r\n");
        ASSERT_EQ(Open(), 1);
        std::string opening = ReadAll(log_);
        LogTraceWrite("T", "x", 2);
        LogTraceWrite(nullptr, "x", 2);
        EXPECT_EQ(ReadAll(log_).substr(opening.size()), c.tagged + c.untagged) << c.settings;
        LogTraceWrite("*CLOSE", "", 0);
    }
}

TEST_F(TraceLog, DateAndTimeSwitchesAreReadOncePerProcess) {
    ASSERT_EQ(Open(), 1);
    LogTraceWrite("T", "x", 1);
    LogTraceWrite("*CLOSE", "", 0);
    WriteAll(ini_, "[SYS]\r\nLogShowDate=NO\r\nLogShowTime=NO\r\n");
    ASSERT_EQ(Open(), 1);
    LogTraceWrite("T", "y", 1);
    EXPECT_EQ(Written(), "T               |" + DatePart() + TimePart('a') + "y\r\n");
}

TEST_F(TraceLog, CopyTakesTheLastLogEvenAfterClose) {
    ASSERT_EQ(Open(), 1);
    LogTraceWrite("T", "one", 1);
    EXPECT_EQ(LogTraceWrite("*COPY", "", 0), 0);
    EXPECT_EQ(ReadAll("LogCpy.tmp"), ReadAll(log_));
    LogTraceWrite("T", "two", 1);
    LogTraceWrite("*CLOSE", "", 0);
    EXPECT_EQ(LogTraceWrite("*copy", "", 0), 0);
    EXPECT_EQ(ReadAll(dir_.file("LogCpy.tmp")), ReadAll(log_));
    EXPECT_NE(ReadAll(log_).find("two"), std::string::npos);
}

TEST_F(TraceLog, CopyWithNoLogEverOpenedCreatesNothing) {
    EXPECT_EQ(LogTraceWrite("*COPY", "", 0), 0);
    EXPECT_FALSE(std::filesystem::exists(dir_.file("LogCpy.tmp")));
}

TEST_F(TraceLog, ReporterFeedsTheOpenLog) {
    Capture out(stdout);
    LOGTRACE("Tolvix", 1, "%s", "before the log");
    ASSERT_EQ(Open(), 1);
    LOGTRACE("Tolvix", 1, "Item %d:\r\n%s", 7, "50% off");
    LOGTRACE("Tolvix", 1, "%s", ""); // dropped everywhere
    LOGTRACE("*CLOSE", 0, "%s", "closing");
    LOGTRACE("Tolvix", 1, "%s", "after the log");
    EXPECT_EQ(out.text(), "before the log\r\nItem 7:\r\n50% off\r\nclosing\r\nafter the log\r\n");
    EXPECT_FALSE(LogTraceIsOpen());
    EXPECT_EQ(Written(), "Tolvix          |" + DatePart() + TimePart('a') + "Item 7:++50% off\r\n");
}

// ---- FileCopy ---------------------------------------------------------------------

TEST(FileCopy, Results) {
    TempDir dir;
    std::string big;
    for (int i = 0; big.size() < 150000; ++i) big += std::to_string(i) + (i % 7 ? "," : "\r\n");
    WriteAll(dir.file("src.txt"), big);
    WriteAll(dir.file("empty.txt"), "");
    WriteAll(dir.file("old.txt"), "old contents that are longer than nothing");
    std::filesystem::create_directories(dir.file("full/inner"));
    std::filesystem::create_directories(dir.file("folder"));
    WriteAll(dir.file("folder/f"), "f");

    struct Case {
        std::string source, target;
        int result;
        const char* expectTarget; // null: the target must not exist afterwards
    } cases[] = {
        {dir.file("src.txt"), dir.file("copy.txt"), 0, big.c_str()},
        {dir.file("src.txt"), dir.file("old.txt"), 0, big.c_str()},
        {dir.file("empty.txt"), dir.file("e2.txt"), 0, ""},
        // Same text in other letters: nothing to do (where letter case matters to the
        // file system, no copy appears; elsewhere it names the source itself).
        {dir.file("src.txt"), dir.file("SRC.TXT"), 0, "(untouched)"},
        {dir.file("src.txt"), dir.path().string() + "/./src.txt", 0, big.c_str()}, // same file
        {dir.file("missing.txt"), dir.file("m.txt"), -1, nullptr},
        {dir.file("src.txt"), dir.file("full"), -2, "(folder)"},
        {dir.file("folder"), dir.file("fromfolder.txt"), -4, nullptr},
        {dir.file("src.txt"), dir.file("no/such/dir.txt"), -5, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileCopy(c.source.c_str(), c.target.c_str()), c.result) << c.target;
        if (std::string(c.expectTarget ? c.expectTarget : "") == "(untouched)") {
            EXPECT_EQ(ReadAll(c.source), big);
        } else if (!c.expectTarget) {
            EXPECT_FALSE(std::filesystem::exists(c.target)) << c.target;
        } else if (std::string(c.expectTarget) == "(folder)") {
            EXPECT_TRUE(std::filesystem::is_directory(c.target)) << c.target;
        } else {
            EXPECT_EQ(ReadAll(c.target), c.expectTarget) << c.target;
        }
    }
    EXPECT_EQ(ReadAll(dir.file("src.txt")), big); // the source is never touched
    EXPECT_EQ(FileCopy(nullptr, dir.file("x").c_str()), -1);
    EXPECT_EQ(FileCopy(dir.file("src.txt").c_str(), nullptr), -1);
}

} // namespace
