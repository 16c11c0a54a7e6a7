// Turning text into dates and times.
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utime.h>

#include "dt_helpers.h"

namespace {

int CurrentYear() {
    CVKTDateTime now;
    now.SetNow();
    return now.GetYear();
}

// A fresh directory below the build's test area, removed afterwards.
class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("OSTRELLE_TEST_TMP");
        std::filesystem::path root = base ? base : std::filesystem::temp_directory_path();
        path_ = root / ("datetime-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const char* name, time_t mtime) const {
        std::string p = (path_ / name).string();
        std::ofstream(p) << "x";
        struct utimbuf t {
            mtime, mtime
        };
        utime(p.c_str(), &t);
        return p;
    }
    std::string Path(const char* name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace

TEST(DateTimeParse, Trim) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {{"  a b \t", "a b"}, {" \t ", ""}, {"", ""}, {"x", "x"}, {"\tx", "x"}};
    for (const auto& c : cases) {
        char b[32];
        std::snprintf(b, sizeof b, "%s", c.in);
        EXPECT_EQ(strtrim(b), int(strlen(c.out)));
        EXPECT_STREQ(b, c.out);
    }
    EXPECT_EQ(strtrim(nullptr), 0);
}

TEST(DateTimeParse, TimeText) {
    struct Case {
        const char* in;
        int parse, alpha;
    } cases[] = {
        {"9", 90000, 90000},
        {"930", 93000, 93000},
        {"1430", 143000, 143000},
        {"143005", 143005, 143005},
        {"24", 2400, 2400},
        {"2400", 2400, 2400},
        {"9:30", 93000, 93000},
        {"9:30:15", 93015, 93015},
        {"24:00", -1, -1},
        {"12:60", -2, -2},
        {"1:2:60", -3, -3},
        {"9.5", 90000, 93000},
        {"9.75", 90000, 94500},
        {"9.25", 90000, 91500},
        {"23", 230000, 230000},
        {"9:", 90000, 90000},
        {"", 0, 0},
        {"abc", 0, 0},
        // Numbers beyond int stay out of range instead of overflowing.
        {"99999999999", INT_MAX, INT_MAX},
        {"-99999999999", INT_MIN, INT_MIN},
        {"-2147483648", INT_MIN, INT_MIN},
        {"99999999.5", 99999999, INT_MAX},
        {"-0.5", 0, -3000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CVKTDateTime::ParseTimeText(c.in), c.parse) << c.in;
        EXPECT_EQ(CVKTDateTime::GetTimeAlpha(c.in), c.alpha) << c.in;
    }
}

TEST(DateTimeParse, DateText) {
    const int y = CurrentYear();
    struct Case {
        const char* in;
        int result;
    } cases[] = {
        {"20071207", 20071207},
        {"29991231", 29991231},
        {"071207", 20071207},
        {"701207", 19701207},
        {"12/7/2007", 20071207},
        {"12/7/07", 20071207},
        {"12/7/69", 20691207},
        {"12/7/70", 19701207},
        {"13/1/2007", -2},
        {"2/29/2007", -3},
        {"2/29/2008", 20080229},
        {"1/1/1850", -1},
        {"12/7", y * 10000 + 1207},
        // A six-digit number is a date only when its month and day are.
        {"071332", -2},
        {"070230", -3},
        {"2007", -2},
        // An eight-digit number likewise.
        {"20071340", -2},
        {"20070230", -3},
        {"20071200", -3},
        {"21551231", 21551231},
    };
    for (const auto& c : cases) EXPECT_EQ(CVKTDateTime::ParseDateText(c.in), c.result) << c.in;
}

TEST(DateTimeParse, SetDTFreeForm) {
    CVKTDateTime now;
    now.SetNow();
    struct Case {
        const char* in;
        int result;
        const char* value; // nullptr: unchanged
    } cases[] = {
        {"12/7/2007 9:30", 0, "2007-12-07 09:30:00"},
        {"20071207 143000", 0, "2007-12-07 14:30:00"},
        {"  071207  ", 0, "2007-12-07 00:00:00"},
        {"abc", 0, nullptr},
        {"00:30", 0, nullptr},
        {"13/1/2007", -1, nullptr},
        {"2/29/2007", -1, nullptr},
        {"2/29/2008", 0, "2008-02-29 00:00:00"},
        {"12/7/2007 25:00", -2, nullptr},
        {"12:30", -1, "2001-02-03 12:30:00"},
        {"1/1/2156", 0, "2156-01-01 00:00:00"},
    };
    testing::internal::CaptureStdout();
    for (const auto& c : cases) {
        if (std::string(c.in) == "1/1/2156") continue; // below
        CVKTDateTime v = DT(2001, 2, 3, 4, 5, 6);
        EXPECT_EQ(v.SetDT(c.in), c.result) << c.in;
        EXPECT_EQ(Show(v), c.value ? c.value : "2001-02-03 04:05:06") << c.in;
    }
    // Beyond 2155 the year cannot be held: a bad date, the value keeps its date.
    CVKTDateTime v = DT(2001, 2, 3, 4, 5, 6);
    EXPECT_EQ(v.SetDT("1/1/2156 10:00"), -1);
    EXPECT_EQ(Show(v), "2001-02-03 10:00:00");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Invalid Date: 0\r\nInvalid Date: 21560101\r\n");

    EXPECT_EQ(v.SetDT(" \t "), 0);
    EXPECT_EQ(v.IsEmpty(), 1);
    EXPECT_EQ(v.SetDT(static_cast<const char*>(nullptr)), 0);
    EXPECT_EQ(v.IsEmpty(), 1);
    EXPECT_EQ(v.SetDT(("12/" + std::string(2000, '7')).c_str()), -1);
}

TEST(DateTimeParse, TextSettersStoreOnlyValidValues) {
    // A packed date or time in the text that no calendar or clock has is a
    // failure, and the value stays as it was.
    struct Case {
        const char* in;
        int result;
        const char* report;
    } cases[] = {
        {"20071340", -1, ""},
        {"20070230 10:00", -1, ""},
        {"12/7/2007 99999", -2, "Invalid Time: 99999\r\n"},
        {"12/7/2007 240000", -2, "Invalid Time: 240000\r\n"},
        {"20071207 006060", -2, "Invalid Time: 6060\r\n"},
        {"12/7/2007 9999", -2, "Invalid Time: 9999\r\n"},
        {"12/7/2007 235959", 0, ""},
    };
    for (const auto& c : cases) {
        CVKTDateTime v = DT(2001, 2, 3, 4, 5, 6);
        testing::internal::CaptureStdout();
        EXPECT_EQ(v.SetDT(c.in), c.result) << c.in;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.report) << c.in;
        EXPECT_EQ(Show(v), c.result ? "2001-02-03 04:05:06" : "2007-12-07 23:59:59") << c.in;
    }
    for (const char* date : {"20071340", "20070230", "20071200"}) {
        CVKTDateTime d = DT(2001, 2, 3, 4, 5, 6);
        EXPECT_EQ(d.SetDate(date), -1) << date;
        EXPECT_EQ(Show(d), "2001-02-03 04:05:06") << date;
    }
    struct Time {
        const char* in;
        int result;
    } times[] = {{"99999", -2}, {"240000", -2}, {"006060", -2}, {"235959", 0}, {"2400", 0}};
    for (const auto& t : times) {
        CVKTDateTime v = DT(2007, 12, 7, 1, 2, 3);
        testing::internal::CaptureStdout();
        EXPECT_EQ(v.SetTime(t.in), t.result) << t.in;
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(v.IsValid(), 1) << t.in;
        if (t.result) {
            EXPECT_EQ(v.GetTime(), 10203) << t.in;
        }
    }
}

TEST(DateTimeParse, MonthDayTakesTheCurrentYear) {
    CVKTDateTime v = DT(2001, 2, 3, 4, 5, 6);
    EXPECT_EQ(v.SetDT("12/7"), 0);
    EXPECT_EQ(v.GetDate(), CurrentYear() * 10000 + 1207);
    EXPECT_EQ(v.GetTime(), 0);
}

TEST(DateTimeParse, Keywords) {
    for (const char* kw : {"today", "TODAY", " Today "}) {
        CVKTDateTime v, now;
        now.SetNow();
        EXPECT_EQ(v.SetDT(kw), 0);
        EXPECT_EQ(v.GetTime(), 0);
        EXPECT_EQ(v.GetDate(), now.GetDate()) << kw; // midnight is not crossed in a test
    }
    CVKTDateTime v, now;
    now.SetNow();
    EXPECT_EQ(v.SetDT("NOW"), 0);
    EXPECT_LE(std::abs(now.GetDiffSec(&v)), 1);
    if (ZoneScope::Available("America/New_York")) {
        ZoneScope z("America/New_York");
        CVKTDateTime est, local;
        local.SetNow();
        EXPECT_EQ(est.SetDT("NowEST"), 0);
        EXPECT_LE(std::abs(local.GetDiffSec(&est)), 1);
        EXPECT_EQ(est.SetDT("live"), 0);
        EXPECT_EQ(est.GetTime(), 0);
    }
    CVKTDateTime t = DT(2007, 1, 1);
    EXPECT_EQ(t.SetTime("Today"), 0); // the current time, not midnight
    now.SetNow();
    EXPECT_LE(std::abs(now.GetTimeSec() - t.GetTimeSec()), 1);
    EXPECT_EQ(t.GetDate(), 20070101);
}

TEST(DateTimeParse, CheckAndDate) {
    CVKTDateTime v;
    testing::internal::CaptureStdout();
    EXPECT_EQ(v.SetDTCheck("12/7/2007 9:30"), 0);
    EXPECT_EQ(v.SetDTCheck("13/7/2007"), -1);
    EXPECT_EQ(v.SetDTCheck(""), -1); // the empty value is not valid
    EXPECT_EQ(v.SetDate("12/7/2007"), 0);
    EXPECT_EQ(Show(v), "2007-12-07 00:00:00");
    EXPECT_EQ(v.SetDate("junk"), -1);
    EXPECT_EQ(v.SetDate("1/1/1850"), -1);
    EXPECT_EQ(Show(v), "2007-12-07 00:00:00");
    testing::internal::GetCapturedStdout();
}

TEST(DateTimeParse, SetTimeWithPm) {
    struct Case {
        const char* in;
        int result;
        int time;
    } cases[] = {
        {"11PM", 0, 230000},
        {"12:00PM", 0, 120000},
        {"12:00AM", 0, 120000},
        {"9:30 pm", 0, 213000},
        {"11:15PM", 0, 231500},
        {"2400", 0, 2400},
        {"", 0, 0},
        {"  ", 0, 0},
        {"25:00", -2, 10203},
        {"9:61", -2, 10203},
        {"0:05", 0, 500},
    };
    testing::internal::CaptureStdout();
    for (const auto& c : cases) {
        CVKTDateTime v = DT(2007, 12, 7, 1, 2, 3);
        EXPECT_EQ(v.SetTime(c.in), c.result) << c.in;
        EXPECT_EQ(v.GetTime(), c.time) << c.in;
        EXPECT_EQ(v.GetDate(), 20071207);
    }
    CVKTDateTime v = DT(2007, 12, 7, 1, 2, 3);
    EXPECT_EQ(v.SetTime(static_cast<const char*>(nullptr)), 0);
    EXPECT_EQ(v.GetTime(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Invalid Time: -1\r\nInvalid Time: -2\r\n");
}

TEST(DateTimeParse, Dash) {
    struct Case {
        const char* in;
        int field;
        int result;
        const char* value;
    } cases[] = {
        {"2007-12-07", 1, 1, "2007-12-07 09:00:00"},
        {"07-12-2007", 3, 1, "2007-12-07 09:00:00"},
        {"07-12-07", 3, 1, "1907-12-07 09:00:00"},
        {"2007-02-30", 1, 0, "2007-02-30 09:00:00"},
        // Fields that do not fit 8 bits store nothing.
        {"2200-01-01", 1, 0, "2001-01-01 09:00:00"},
        {"2007-01-257", 1, 0, "2001-01-01 09:00:00"},
        {"2007-300-01", 1, 0, "2001-01-01 09:00:00"},
    };
    for (const auto& c : cases) {
        CVKTDateTime v = DT(2001, 1, 1, 9);
        EXPECT_EQ(v.SetDTDash(c.in, c.field), c.result) << c.in;
        EXPECT_EQ(Show(v), c.value) << c.in;
    }
}

TEST(DateTimeParse, DateAlpha) {
    const int y = CurrentYear();
    struct Case {
        const char* in;
        int yf, mf, df;
        char sep;
        int result;
    } cases[] = {
        {"2007/12/07", 1, 2, 3, '/', 20071207},
        {"07-Dec-2007", 1, 2, 3, '/', 20071207},
        {"07-dec-2007", 1, 2, 3, '/', 20071207},
        {"07-12-2007", 1, 2, 3, '/', 20071207},
        {"2007/13/01", 1, 2, 3, '/', 2},
        {"1850/1/1", 1, 2, 3, '/', 1},
        {"69/1/1", 1, 2, 3, '/', 20690101},
        {"70/1/1", 1, 2, 3, '/', 19700101},
        {"2007/2/29", 1, 2, 3, '/', 3},
        {"20071207 and more", 1, 2, 3, '/', 20071207},
        {"20071340", 1, 2, 3, '/', 2}, // a packed date must be a calendar date
        {"20070229 x", 1, 2, 3, '/', 3},
        {"X DEC. 07, 2007", 4, 2, 3, ' ', 20071207},
        {"X 12 07, 2007", 4, 2, 3, ' ', 20071207},
        {"December 07 2007", 3, 1, 2, ' ', 20071207},
        {"Ju 4 2007", 3, 1, 2, ' ', 20070704}, // the last matching name wins
        {"Ma 4 2007", 3, 1, 2, ' ', 20070504},
        {"Xyz 4 2007", 3, 1, 2, ' ', 2},
        {"Dec 25", -1, 2, 3, '/', y * 10000 + 1225},
        {"Foo 25", -1, 2, 3, '/', 2},
        {"", -1, 2, 3, '/', 1},
        // A missing month is a bad month, not December.
        {"2007//07", 1, 2, 3, '/', 2},
        {"07--2007", 1, 2, 3, '/', 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CVKTDateTime::GetDateAlpha(c.in, c.yf, c.mf, c.df, c.sep), c.result) << c.in;
}

TEST(DateTimeParse, JulianText) {
    CVKTDateTime v;
    v.SetDTJul("2451545");
    EXPECT_EQ(Show(v), "2000-01-01 00:00:00");
    v.SetDTJul("99999999999999999999");
    EXPECT_EQ(Show(v), "2155-12-31 00:00:00");
    v.SetDTJul(static_cast<const char*>(nullptr));
    EXPECT_EQ(Show(v), "1900-01-01 00:00:00");
}

TEST(DateTimeParse, FileTimesMissingOrUnknown) {
    TempDir dir;
    const std::string f = dir.File("stamp.txt", 1197036309);
    CVKTDateTime v = DT(2001, 1, 1);
    const std::string missing = dir.Path("missing.txt");
    EXPECT_EQ(v.SetDTFile(missing.c_str(), 'M'), -1);
    EXPECT_EQ(v.IsEmpty(), 1);
    v = DT(2001, 1, 1);
    EXPECT_EQ(v.SetDTFile(missing.c_str(), 'S'), -1);
    EXPECT_EQ(v.IsEmpty(), 1);
    v = DT(2001, 1, 1);
    EXPECT_EQ(v.SetDTFile(f.c_str(), 'X'), 0);
    EXPECT_EQ(v.IsEmpty(), 1);
    EXPECT_EQ(v.SetDTFile(nullptr, 'M'), -1);
    // A stamp beyond 2155 cannot be held.
    const std::string far = dir.File("far.txt", 6000000000);
    EXPECT_EQ(v.SetDTFile(far.c_str(), 'M'), -2);
    EXPECT_EQ(v.IsEmpty(), 1);
    EXPECT_EQ(v.SetDTFile(far.c_str(), 'S'), -2);
    EXPECT_EQ(v.IsEmpty(), 1);
}

TEST(DateTimeParse, FileTimes) {
    NEED_ZONE("UTC");
    TempDir dir;
    // 2007-12-07 14:05:09 UTC.
    const std::string f = dir.File("stamp.txt", 1197036309);
    struct Case {
        const char* zone;
        char which;
        const char* value;
    } cases[] = {
        {"UTC", 'M', "2007-12-07 14:05:09"},
        {"UTC", 'm', "2007-12-07 14:05:09"},
        {"UTC", 'A', "2007-12-07 14:05:09"},
        {"UTC", 'S', "2007-12-07 14:05:09"},
        {"Europe/Berlin", 'M', "2007-12-07 15:05:09"},
        {"America/New_York", 'S', "2007-12-07 09:05:09"},
    };
    for (const auto& c : cases) {
        if (!ZoneScope::Available(c.zone)) continue;
        ZoneScope z(c.zone);
        CVKTDateTime v;
        EXPECT_EQ(v.SetDTFile(f.c_str(), c.which), 0) << c.which;
        EXPECT_EQ(Show(v), c.value) << c.zone << " " << c.which;
    }
    // Summer time of that moment, not of today: 2007-07-01 12:00 UTC.
    const std::string summer = dir.File("summer.txt", 1183291200);
    if (ZoneScope::Available("Europe/Berlin")) {
        ZoneScope z("Europe/Berlin");
        CVKTDateTime v;
        EXPECT_EQ(v.SetDTFile(summer.c_str(), 'M'), 0);
        EXPECT_EQ(Show(v), "2007-07-01 14:00:00");
    }
    // Creation (or, where none is kept, status change) is about now.
    CVKTDateTime c, now;
    EXPECT_EQ(c.SetDTFile(f.c_str(), 'C'), 0);
    now.SetNow();
    EXPECT_LE(std::abs(c.GetDiffSec(&now)), 5);

    CVKTDateTime v;
    {
        // "NUL" as the last component is the start of 1970 as local time.
        ZoneScope z("UTC");
        const std::string nul = dir.File("nul", 1197036309);
        EXPECT_EQ(v.SetDTFile(nul.c_str(), 'S'), 0);
        EXPECT_EQ(Show(v), "1970-01-01 00:00:00");
    }
}
