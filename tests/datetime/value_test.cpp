// The value, validity, the encodings, comparison, the calendar, shifting and
// differences.
#include <climits>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "dt_helpers.h"

static_assert(std::is_trivially_copyable_v<CVKTDateTime>);
static_assert(std::is_trivially_copyable_v<CVKTDateTimePlain>);

TEST(DateTimeValue, EmptyResetCopyAndInterval) {
    CVKTDateTime v;
    EXPECT_EQ(v.IsEmpty(), 1);
    EXPECT_EQ(v.IsFilled(), 0);
    v = DT(2007, 12, 7, 14, 5, 9);
    EXPECT_EQ(v.IsEmpty(), 0);
    CVKTDateTime c;
    c.Copy(&v);
    EXPECT_EQ(std::memcmp(&c, &v, 6), 0);
    c.Copy(nullptr);
    EXPECT_EQ(Show(c), "2007-12-07 14:05:09");
    v.Reset();
    EXPECT_EQ(v.IsEmpty(), 1);

    CVKTDateTimeInterval iv;
    EXPECT_EQ(iv.start.IsEmpty(), 1);
    EXPECT_EQ(iv.end.IsEmpty(), 1);
    EXPECT_EQ(iv.extra, 0);
    iv.start = DT(2007, 1, 1);
    iv.extra = 5;
    CVKTDateTimeInterval copy = iv;
    EXPECT_EQ(copy.start.GetDate(), 20070101);
    EXPECT_EQ(copy.extra, 5);
}

TEST(DateTimeValue, Validity) {
    struct Case {
        CVKTDateTime v;
        int valid;
    } cases[] = {
        {DT(2007, 12, 7, 23, 59, 59), 1},
        {DT(2007, 2, 29), 0},
        {DT(2008, 2, 29), 1},
        {DT(2007, 4, 31), 0},
        {DT(2007, 13, 1), 0},
        {DT(2007, 0, 1), 0},
        {DT(2007, 1, 0), 0},
        {DT(2007, 1, 1, 24), 0},
        {DT(2007, 1, 1, 0, 60), 0},
        {DT(2007, 1, 1, 0, 0, 60), 0},
        {CVKTDateTime(), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.v.IsValid(), c.valid) << Show(c.v);
}

TEST(DateTimeValue, PackedRanges) {
    struct Case {
        unsigned long v;
        int date, time;
    } cases[] = {
        {19000101, 1, 0}, {19000100, 0, 0}, {29991231, 1, 0}, {29991232, 0, 0},
        {240000, 0, 1},   {240001, 0, 0},   {0, 0, 1},        {(unsigned long)-1, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CVKTDateTime::IsDate(c.v), c.date) << c.v;
        EXPECT_EQ(CVKTDateTime::IsTime(c.v), c.time) << c.v;
    }
}

TEST(DateTimeValue, SetDTPacked) {
    CVKTDateTime v = DT(2001, 2, 3, 4, 5, 6);
    testing::internal::CaptureStdout();
    EXPECT_EQ(v.SetDT(20071207, 93005), 0);
    EXPECT_EQ(Show(v), "2007-12-07 09:30:05");
    // Bad time: nothing changes.
    EXPECT_EQ(v.SetDT(20080101, 240001), -2);
    EXPECT_EQ(Show(v), "2007-12-07 09:30:05");
    // Bad date: the new time stays, the old date too.
    EXPECT_EQ(v.SetDT(123, 101010), -1);
    EXPECT_EQ(Show(v), "2007-12-07 10:10:10");
    // A year the value cannot hold is a bad date, never the low 8 bits.
    EXPECT_EQ(v.SetDT(21560101, 0), -1);
    EXPECT_EQ(v.SetDT(29991231, 0), -1);
    EXPECT_EQ(Show(v), "2007-12-07 00:00:00");
    EXPECT_EQ(v.SetDT(21551231, 0), 0);
    EXPECT_EQ(v.GetYear(), 2155);
    // The day is not checked against the month.
    EXPECT_EQ(v.SetDT(20070231, 0), 0);
    EXPECT_EQ(v.IsValid(), 0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Invalid Time: 240001\r\nInvalid Date: 123\r\nInvalid Date: 21560101\r\n"
                   "Invalid Date: 29991231\r\n");
}

TEST(DateTimeValue, TimeSetters) {
    CVKTDateTime v;
    v.SetTimeSec(86400);
    EXPECT_EQ(v.GetTime(), 240000);
    v.SetTimeSec(3661);
    EXPECT_EQ(v.GetTime(), 10101);
    struct Case {
        int in, result;
    } cases[] = {{240000, 0}, {240001, -4}, {126000, -2}, {125960, -3}, {250000, -1}, {93005, 0}};
    for (const auto& c : cases) EXPECT_EQ(v.SetTimeHMS(c.in), c.result) << c.in;
    EXPECT_EQ(v.GetTime(), 93005);
}

TEST(DateTimeValue, GetDateModes) {
    const CVKTDateTime v = DT(2007, 12, 7);
    const CVKTDateTime bad = DT(2007, 2, 30);
    struct Case {
        int mode, good, invalid;
    } cases[] = {{0, 20071207, 0},       {2, 20071207, 0},         {1, 1071207, 0},
                 {-1, 1071207, 1070230}, {-2, 20071207, 20070230}, {-9, 20071207, 20070230}};
    for (const auto& c : cases) {
        EXPECT_EQ(v.GetDate(c.mode), c.good) << c.mode;
        EXPECT_EQ(bad.GetDate(c.mode), c.invalid) << c.mode;
    }
    EXPECT_EQ(CVKTDateTime().GetDate(0), 0);
    EXPECT_EQ(CVKTDateTime().GetDate(-1), 0);
}

TEST(DateTimeValue, TimeShiftAndInterval) {
    struct Case {
        int time, secs, shifted;
    } cases[] = {{233000, 3600, 3000}, {0, -1, 235959},     {120000, 86400 * 3, 120000},
                 {10, -86400 * 2, 10}, {0, INT_MAX, 31407}, {0, INT_MIN, 204552}};
    for (const auto& c : cases) {
        CVKTDateTime v = DT(2007, 1, 1);
        v.SetTimeHMS(c.time);
        EXPECT_EQ(v.GetTimeShift(c.secs), c.shifted) << c.time << " " << c.secs;
        EXPECT_EQ(v.GetTime(), c.time);
    }
    CVKTDateTime v = DT(2007, 12, 7, 9, 30);
    // 34200 s into the day, 5-minute intervals: index 114.
    EXPECT_EQ(v.GetIntervalIdx(300, 0), 114u + 71207u * 10000u);
    EXPECT_EQ(v.GetIntervalIdx(300, 300), 115u + 71207u * 10000u);
    // A length that would divide by zero counts as one second.
    EXPECT_EQ(v.GetIntervalIdx(0, 0), 34200u + 71207u * 10000u);
}

TEST(DateTimeValue, DateFloatIncreases) {
    const CVKTDateTime a = DT(2007, 12, 7, 12);
    EXPECT_FLOAT_EQ(a.GetDateFloat(), 107000.0f + 12 * 31 + 7 + 0.5f);
    EXPECT_LT(DT(2007, 12, 7).GetDateFloat(), DT(2007, 12, 8).GetDateFloat());
    EXPECT_LT(DT(2007, 11, 30).GetDateFloat(), DT(2007, 12, 1).GetDateFloat());
}

TEST(DateTimeValue, PackedHelpers) {
    struct Case {
        int y, m, d, result;
    } mdy[] = {{7, 12, 7, 20071207}, {69, 1, 1, 20690101}, {70, 1, 1, 19700101},
               {3000, 1, 1, 1},      {2007, 13, 1, 2},     {2007, 2, 31, 20070231},
               {2007, 1, 32, 3},     {1899, 1, 1, 1}};
    for (const auto& c : mdy) EXPECT_EQ(CVKTDateTime::GetDateMDY(c.y, c.m, c.d), c.result);
    EXPECT_EQ(CVKTDateTime::GetTimeHMS(9, 30, 5), 93005);
    EXPECT_EQ(CVKTDateTime::GetTimeHMS(24, 0, 0), 4);
    EXPECT_EQ(CVKTDateTime::GetTimeHMS(0, 60, 0), 5);
    EXPECT_EQ(CVKTDateTime::GetTimeHMS(0, 0, -1), 6);
}

TEST(DateTimeValue, CompareLevelsAndSameDate) {
    const CVKTDateTime a = DT(2007, 12, 7, 14, 5, 9);
    struct Case {
        CVKTDateTime b;
        int level, result;
    } cases[] = {
        {DT(2007, 12, 7, 14, 5, 9), 6, 0},
        {DT(2007, 12, 7, 14, 5, 10), 6, -1},
        {DT(2007, 12, 7, 14, 5, 10), 5, 0},
        {DT(2007, 12, 7, 15), 4, -1},
        {DT(2007, 12, 6, 23), 3, 1},
        {DT(2007, 12, 31), 2, 0},
        {DT(2008, 1, 1), 1, -1},
        {DT(2006, 12, 31), 0, 1},
        {DT(2007, 12, 7, 14, 5, 8), 9, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(a.Compare(&c.b, c.level), c.result) << Show(c.b);
    // Null compares with now; a value long past is earlier.
    EXPECT_EQ(DT(1990, 1, 1).Compare(nullptr, 6), -1);
    CVKTDateTimePlain p;
    EXPECT_EQ(p.Compare(nullptr, 6), 99);
    CVKTDateTimePlain q;
    q.year = 1;
    EXPECT_EQ(p.Compare(&q, 6), -1);

    EXPECT_EQ(a.SameDate(&a), 0);
    const CVKTDateTime otherYear = DT(2008, 12, 7), otherMonth = DT(2007, 11, 7),
                       otherDay = DT(2008, 11, 6);
    EXPECT_EQ(a.SameDate(&otherYear), 1);
    EXPECT_EQ(a.SameDate(&otherMonth), 2);
    EXPECT_EQ(a.SameDate(&otherDay), 3);
}

TEST(DateTimeCalendar, LeapYearsAndMonthLengths) {
    EXPECT_EQ(CVKTDateTime::DayYear(2000), 366);
    EXPECT_EQ(CVKTDateTime::DayYear(2004), 366);
    EXPECT_EQ(CVKTDateTime::DayYear(1900), 365);
    EXPECT_EQ(CVKTDateTime::DayYear(2100), 365);
    EXPECT_EQ(CVKTDateTime::DayMonth(2007, 13), 0);
    EXPECT_EQ(CVKTDateTime::DayMonth(2007, 0), 0);
    EXPECT_EQ(CVKTDateTime::DayMonth(2008, 2), 29);
    EXPECT_EQ(CVKTDateTime::DayMonth(2100, 2), 28);
}

TEST(DateTimeCalendar, BritishJan1) {
    struct Case {
        int year, weekday;
    } cases[] = {{1752, 3}, {2007, 1}, {1753, 1}, {1700, 1}, {1900, 1}, {2000, 6}, {2155, 3}};
    for (const auto& c : cases) EXPECT_EQ(CVKTDateTime::Jan1(c.year), c.weekday) << c.year;
    // Any year is answered without overflow: a weekday, or its negative for
    // years before the era as the truncating formula gives.
    EXPECT_LT(std::abs(CVKTDateTime::Jan1(INT_MAX)), 7);
    EXPECT_LT(std::abs(CVKTDateTime::Jan1(INT_MIN)), 7);
}

TEST(DateTimeCalendar, WeekdaysJulianAndWeekStart) {
    const CVKTDateTime monday = DT(2007, 1, 1), sunday = DT(2007, 1, 7);
    EXPECT_EQ(monday.GetWeekDay(0), 1);
    EXPECT_EQ(monday.GetWeekDay(1), 0);
    EXPECT_EQ(sunday.GetWeekDay(1), 6);
    EXPECT_EQ(DT(2000, 1, 1).GetJulian(), 2451545);
    EXPECT_EQ(DT(1900, 3, 1).GetJulian(), 2415080);
    EXPECT_EQ(DT(2007, 12, 7, 23, 59).GetJulian(), DT(2007, 12, 7).GetJulian());
    // 2007-12-07 is a Friday.
    EXPECT_EQ(DT(2007, 12, 7).GetWeekStart(0), 20071202);
    EXPECT_EQ(DT(2007, 12, 7).GetWeekStart(1), 20071203);
    EXPECT_EQ(sunday.GetWeekStart(0), 20070107);
    EXPECT_EQ(sunday.GetWeekStart(1), 20070101);
    // 1900-01-01 is a Monday: its Sunday lies before the range, as a packed date.
    EXPECT_EQ(DT(1900, 1, 1).GetWeekStart(0), 18991231);
    EXPECT_EQ(DT(2007, 12, 7).GetJulianWeek(1), (DT(2007, 12, 7).GetJulian() - 4) / 7);
}

TEST(DateTimeShift, MonthsYearsAndTime) {
    struct Case {
        CVKTDateTime from;
        int months;
        const char* to;
    } months[] = {
        {DT(2007, 1, 31), 1, "2007-03-01 00:00:00"},
        {DT(2007, 3, 31), -1, "2007-02-28 00:00:00"},
        {DT(2008, 2, 29), 12, "2009-03-01 00:00:00"},
        {DT(2008, 3, 31), -1, "2008-02-29 00:00:00"},
        {DT(2007, 3, 31), -2, "2007-01-28 00:00:00"},
        {DT(2007, 12, 15), 1, "2008-01-15 00:00:00"},
        {DT(2007, 1, 15), -1, "2006-12-15 00:00:00"},
        {DT(2007, 5, 5), 0, "2007-05-05 00:00:00"},
        {DT(2155, 12, 1), 1, "2155-12-31 23:59:59"},
        {DT(1900, 1, 31), -1, "1900-01-01 00:00:00"},
        {DT(2007, 1, 1), INT_MAX, "2155-12-31 23:59:59"},
        {DT(2007, 1, 1), INT_MIN, "1900-01-01 00:00:00"},
    };
    for (const auto& c : months) {
        CVKTDateTime v = c.from;
        v.ShiftMonth(c.months);
        EXPECT_EQ(Show(v), c.to) << Show(c.from) << " " << c.months;
    }

    CVKTDateTime leap = DT(2008, 2, 29);
    EXPECT_EQ(leap.ShiftYear(1), 0);
    EXPECT_EQ(leap.IsValid(), 0); // nothing else adjusted
    CVKTDateTime y = DT(2150, 6, 1);
    EXPECT_EQ(y.ShiftYear(10), -1);
    EXPECT_EQ(Show(y), "2155-12-31 23:59:59");
    y = DT(1905, 6, 1);
    EXPECT_EQ(y.ShiftYear(-10), -1);
    EXPECT_EQ(Show(y), "1900-01-01 00:00:00");

    struct TimeCase {
        CVKTDateTime from;
        int secs;
        const char* to;
        int result;
    } times[] = {
        {DT(2007, 1, 1), -1, "2006-12-31 23:59:59", 0},
        {DT(2007, 1, 1, 12), 86400, "2007-01-02 12:00:00", 0},
        {DT(2007, 12, 31, 23, 59, 59), 1, "2008-01-01 00:00:00", 0},
        {DT(2007, 3, 1), -86400 * 366, "2006-02-28 00:00:00", 0},
        {DT(2155, 12, 31, 23, 59, 59), 1, "2155-12-31 23:59:59", -1},
        {DT(1900, 1, 1), -1, "1900-01-01 00:00:00", -1},
        {DT(2007, 1, 1), INT_MAX, "2075-01-19 03:14:07", 0},
        {DT(2007, 1, 1), INT_MIN, "1938-12-13 20:45:52", 0},
    };
    for (const auto& c : times) {
        CVKTDateTime v = c.from;
        EXPECT_EQ(v.ShiftTime(c.secs), c.result) << Show(c.from) << " " << c.secs;
        EXPECT_EQ(Show(v), c.to) << Show(c.from) << " " << c.secs;
    }
}

TEST(DateTimeShift, MonthsMoveOnlyByTheDateWhateverTheTimeOfDay) {
    // 24:00:00 is a time the value may hold (SetTimeHMS, RoundToNearestSec);
    // it must not make a month shift walk the day on.
    struct Case {
        CVKTDateTime from;
        int months;
        const char* to;
    } cases[] = {
        {DT(2007, 1, 15, 24), 1, "2007-02-15 24:00:00"},
        {DT(2007, 3, 15, 24), -1, "2007-02-15 24:00:00"},
        {DT(2007, 1, 31, 24), 1, "2007-03-01 24:00:00"},
        {DT(2007, 3, 31, 24), -1, "2007-02-28 24:00:00"},
        {DT(2007, 6, 10, 12, 60), 2, "2007-08-10 12:60:00"},
    };
    for (const auto& c : cases) {
        CVKTDateTime v = c.from;
        EXPECT_EQ(v.ShiftMonth(c.months), 0);
        EXPECT_EQ(Show(v), c.to) << Show(c.from) << " " << c.months;
    }
    // Counting months steps the same way.
    const CVKTDateTime midnightEnd = DT(2007, 1, 15, 24);
    EXPECT_FLOAT_EQ(DT(2007, 3, 15).GetDiffMonth(&midnightEnd), 2.0f);
}

TEST(DateTimeShift, ShiftDateClampsAtTheEnds) {
    struct Case {
        CVKTDateTime from;
        int days;
        const char* to;
        int result;
    } cases[] = {
        {DT(2155, 12, 31, 8), 1, "2155-12-31 23:59:59", -1},
        {DT(1900, 1, 1, 8), -1, "1900-01-01 00:00:00", -1},
        {DT(2007, 1, 1, 8), INT_MAX, "2155-12-31 23:59:59", -1},
        {DT(2007, 1, 1, 8), INT_MIN, "1900-01-01 00:00:00", -1},
        {DT(2155, 12, 30, 8), 1, "2155-12-31 08:00:00", 0},
        {DT(2007, 1, 1, 8), 0, "2007-01-01 08:00:00", 0},
    };
    for (const auto& c : cases) {
        CVKTDateTime v = c.from;
        EXPECT_EQ(v.ShiftDate(c.days), c.result) << Show(c.from) << " " << c.days;
        EXPECT_EQ(Show(v), c.to);
    }
}

TEST(DateTimeShift, Rounding) {
    struct Case {
        int time, step, up, result;
    } cases[] = {
        {93007, 5, 0, 93005},
        {93007, 5, 1, 93010},
        {93005, 5, 1, 93010},
        {93007, 0, 0, 93007},
        {235959, 60, 1, 240000},
        {93007, -3, 1, 93008},
        {93007, 3600, 0, 90000},
        // A step beyond the rest of the day ends at 24:00:00.
        {120000, 100000, 1, 240000},
        {120000, 100000, 0, 0},
        {120000, INT_MAX, 1, 240000},
        {235959, INT_MAX - 1, 1, 240000},
        {240000, 1, 1, 240000},
    };
    for (const auto& c : cases) {
        CVKTDateTime v = DT(2007, 12, 7);
        v.SetTimeHMS(c.time);
        EXPECT_EQ(v.RoundToNearestSec(c.step, c.up), 0);
        EXPECT_EQ(v.GetTime(), c.result) << c.time << " " << c.step << " " << c.up;
        EXPECT_EQ(v.GetDate(-2), 20071207);
    }
}

TEST(DateTimeDiff, SecondsAndDays) {
    const CVKTDateTime a = DT(2007, 12, 7, 23, 59, 59), b = DT(2007, 12, 8, 0, 0, 1);
    EXPECT_EQ(a.GetDiffSec(&a), 0);
    EXPECT_EQ(a.GetDiffSec(&b), 2);
    EXPECT_EQ(b.GetDiffSec(&a), -2);
    const CVKTDateTime lo = DT(1900, 1, 1), hi = DT(2155, 12, 31, 23, 59, 59);
    const int64_t span = int64_t(hi.GetJulian() - lo.GetJulian()) * 86400 + 86399;
    EXPECT_EQ(lo.GetDiffSecBig(&hi), span);
    // The 32-bit form saturates instead of wrapping.
    EXPECT_EQ(lo.GetDiffSec(&hi), INT_MAX);
    EXPECT_EQ(hi.GetDiffSec(&lo), INT_MIN);
    const CVKTDateTime noon = DT(2007, 12, 8, 12);
    EXPECT_FLOAT_EQ(DT(2007, 12, 7).GetDiffDays(&noon), 1.5f);
    // Null and empty others mean now: a date long past is before now.
    const CVKTDateTime empty;
    EXPECT_GT(DT(1990, 1, 1).GetDiffSecBig(nullptr), 0);
    EXPECT_GT(DT(1990, 1, 1).GetDiffSecBig(&empty), 0);
}

TEST(DateTimeDiff, Months) {
    struct Case {
        CVKTDateTime self, other;
        float months;
    } cases[] = {
        {DT(2007, 3, 15), DT(2007, 1, 15), 2.0f},
        {DT(2007, 3, 15), DT(2007, 1, 31), 1.0f + 14.0f / 31.0f},
        {DT(2007, 1, 15), DT(2007, 3, 15), -2.0f},
        {DT(2007, 1, 15), DT(2007, 1, 15, 12), 0.0f},
        // The remainder is measured in the month before the step back (February).
        {DT(2007, 3, 1), DT(2007, 3, 16), -15.0f / 28.0f},
        {DT(2007, 1, 15, 12), DT(2006, 12, 31), 0.0f + 15.5f / 31.0f},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(c.self.GetDiffMonth(&c.other), c.months, 1e-5)
            << Show(c.self) << " / " << Show(c.other);
    // The whole range, both ways, ends; a month step past 2155 counts like any
    // other.  Backwards the day is pulled down to 28 by February on the way.
    const CVKTDateTime lo = DT(1900, 1, 1), hi = DT(2155, 12, 31);
    EXPECT_NEAR(hi.GetDiffMonth(&lo), 256 * 12 - 1 + 30.0f / 31.0f, 1e-3);
    EXPECT_NEAR(lo.GetDiffMonth(&hi), -(256 * 12 - 1 + 27.0f / 31.0f), 1e-3);
}

TEST(DateTimeSet, FloatJulianAndFix) {
    CVKTDateTime v;
    EXPECT_EQ(v.SetDTFloat(39423.5), 0);
    EXPECT_EQ(Show(v), "2007-12-07 12:00:00");
    EXPECT_EQ(v.SetDTFloat(2.0), 0);
    EXPECT_EQ(Show(v), "1900-01-01 00:00:00");
    struct Bad {
        double x;
    } bad[] = {{1.0}, {0.0}, {-5.5}, {1e300}, {-1e300}, {NAN}, {INFINITY}, {93504.0}};
    for (const auto& b : bad) {
        v = DT(2007, 1, 1);
        EXPECT_EQ(v.SetDTFloat(b.x), -1) << b.x;
        EXPECT_EQ(v.IsEmpty(), 1) << b.x;
    }
    // The last representable day, and a fraction that rounds to 24:00:00.
    EXPECT_EQ(v.SetDTFloat(93503.25), 0);
    EXPECT_EQ(Show(v), "2155-12-31 06:00:00");
    EXPECT_EQ(v.SetDTFloat(39423.9999999), -1);
    EXPECT_EQ(Show(v), "2007-12-07 24:00:00");

    CVKTDateTime today;
    today.SetNow();
    EXPECT_EQ(v.SetDTJul(2451545), 2451545 - today.GetJulian());
    EXPECT_EQ(Show(v), "2000-01-01 00:00:00");
    EXPECT_EQ(v.SetDTJul("2451546 and more"), 2451546 - today.GetJulian());
    EXPECT_EQ(Show(v), "2000-01-02 00:00:00");
    // A day far outside the range costs no more than any other and clamps.
    v.SetDTJul(INT_MAX);
    EXPECT_EQ(Show(v), "2155-12-31 00:00:00");
    v.SetDTJul(0);
    EXPECT_EQ(Show(v), "1900-01-01 00:00:00");

    struct Fix {
        CVKTDateTime in;
        const char* out;
    } fixes[] = {
        {CVKTDateTime(), "1900-01-01 00:00:00"},
        {DT(2007, 0, 0, 10), "2007-01-01 10:00:00"},
        {DT(2007, 13, 40), "2007-12-31 00:00:00"},
        {DT(2007, 2, 30, 25, 10, 10), "2007-02-28 23:59:59"},
        // An hour of 24 stays only as 24:00:00.
        {DT(2007, 2, 3, 24, 61, 70), "2007-02-03 23:59:59"},
        {DT(2007, 2, 3, 24, 59, 58), "2007-02-03 23:59:59"},
        {DT(2007, 2, 3, 24, 0, 1), "2007-02-03 23:59:59"},
        {DT(2007, 2, 3, 24, 0, 0), "2007-02-03 24:00:00"},
    };
    for (const auto& f : fixes) {
        CVKTDateTime w = f.in;
        EXPECT_EQ(w.FixDate(), 0);
        EXPECT_EQ(Show(w), f.out);
    }
}

TEST(DateTimeSet, UnixTimes) {
    NEED_ZONE("UTC");
    ZoneScope utc("UTC");
    CVKTDateTime v = DT(2001, 1, 1);
    EXPECT_EQ(v.SetDTUnix(0), 0);
    EXPECT_EQ(Show(v), "1970-01-01 00:00:00");
    EXPECT_EQ(v.SetDTUnix(1197036309L), 0);
    EXPECT_EQ(Show(v), "2007-12-07 14:05:09");
    if (sizeof(long) < 8) return; // the rest needs times beyond 32 bits
    const int64_t first = -2208988800LL, beforeFirst = first - 1, after2155 = 6000000000LL;
    EXPECT_EQ(v.SetDTUnix(long(first)), 0);
    EXPECT_EQ(Show(v), "1900-01-01 00:00:00");
    // Before 1900 and after 2155 the value cannot hold the year: unchanged.
    EXPECT_EQ(v.SetDTUnix(long(beforeFirst)), -1);
    EXPECT_EQ(Show(v), "1900-01-01 00:00:00");
    EXPECT_EQ(v.SetDTUnix(long(after2155)), -1);
    EXPECT_EQ(v.SetDTUnix(LONG_MAX), -1);
    EXPECT_EQ(Show(v), "1900-01-01 00:00:00");
}
