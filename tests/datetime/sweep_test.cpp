// Every day of the range against std::chrono's civil calendar.
#include <algorithm>
#include <chrono>
#include <climits>
#include <random>

#include "datetime/vktdatetime_internal.h"
#include "dt_helpers.h"

namespace {

using namespace std::chrono;

constexpr int kJulianOfUnixEpoch = 2440588;

CVKTDateTime FromYmd(const year_month_day& ymd) {
    return DT(int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day())));
}

bool SameDay(const CVKTDateTime& v, const year_month_day& ymd) {
    return v.GetYear() == int(ymd.year()) && v.month == unsigned(ymd.month()) &&
           v.day == unsigned(ymd.day());
}

// The one-day-per-step rules, the reference for shifts of any length.
void StepDays(CVKTDateTime& v, int n) {
    for (; n > 0; --n) {
        int y = v.GetYear(), m = v.month, d = v.day + 1;
        if (d > CVKTDateTime::DayMonth(y, m)) {
            d = 1;
            if (++m > 12) m = 1, ++y;
        }
        v = DT(y, m, d, v.hour, v.minute, v.second);
    }
    for (; n < 0; ++n) {
        int y = v.GetYear(), m = v.month, d = v.day - 1;
        if (d <= 0) {
            if (--m <= 0) m = 12, --y;
            d = CVKTDateTime::DayMonth(y, m);
        }
        v = DT(y, m, d, v.hour, v.minute, v.second);
    }
}

} // namespace

TEST(DateTimeSweep, EveryDayAgainstChrono) {
    const sys_days first = sys_days(year(1900) / January / 1);
    const sys_days last = sys_days(year(2155) / December / 31);
    std::mt19937 rng(20071207);
    const int total = int((last - first).count());
    int checked = 0;
    for (sys_days day = first; day <= last; day += days(1), ++checked) {
        const year_month_day ymd(day);
        const CVKTDateTime v = FromYmd(ymd);
        ASSERT_EQ(v.GetJulian(), int(day.time_since_epoch().count()) + kJulianOfUnixEpoch)
            << Show(v);
        ASSERT_EQ(v.GetWeekDay(0), int(weekday(day).c_encoding())) << Show(v);
        ASSERT_EQ(v.GetWeekDay(1), int(weekday(day).iso_encoding()) - 1) << Show(v);

        if (day < last) {
            CVKTDateTime next = v;
            ASSERT_EQ(next.ShiftDate(1), 0);
            ASSERT_TRUE(SameDay(next, year_month_day(day + days(1)))) << Show(v);
        }
        if (day > first) {
            CVKTDateTime prev = v;
            ASSERT_EQ(prev.ShiftDate(-1), 0);
            ASSERT_TRUE(SameDay(prev, year_month_day(day - days(1)))) << Show(v);
        }
        // A random span that stays inside the range.
        const int offset = int((day - first).count());
        const int n = std::uniform_int_distribution<int>(-offset, total - offset)(rng);
        CVKTDateTime moved = v;
        ASSERT_EQ(moved.ShiftDate(n), 0);
        ASSERT_TRUE(SameDay(moved, year_month_day(day + days(n)))) << Show(v) << " " << n;

        CVKTDateTime fromJulian = DT(2001, 2, 3, 4, 5, 6);
        fromJulian.SetDTJul(v.GetJulian());
        ASSERT_EQ(Show(fromJulian), Show(v));
    }
    EXPECT_EQ(checked, 93502);
}

// Shifts of values that are not calendar dates follow the step rules too.
TEST(DateTimeSweep, ShiftOfIllFormedDatesMatchesSteps) {
    struct Case {
        int y, m, d;
    } starts[] = {{2007, 4, 31}, {2007, 2, 30},  {2007, 1, 0},  {2007, 13, 5},
                  {2007, 0, 5},  {2007, 6, 200}, {2007, 20, 3}, {2008, 2, 29}};
    const int spans[] = {1, 2, 3, 30, 250, 400, 1000, -1, -2, -3, -30, -250, -400, -1000};
    for (const auto& s : starts) {
        for (int n : spans) {
            CVKTDateTime fast = DT(s.y, s.m, s.d, 7, 8, 9), slow = fast;
            fast.ShiftDate(n);
            StepDays(slow, n);
            EXPECT_EQ(Show(fast), Show(slow)) << s.y << "-" << s.m << "-" << s.d << " " << n;
        }
    }
}

TEST(DateTimeSweep, CalendarConversionsAgainstChrono) {
    using namespace vktdt;
    // The general conversions over 6,000 years either side of the range.
    for (int64_t n = -2'200'000; n <= 2'200'000; ++n) {
        const year_month_day ymd{sys_days(days(n))};
        int y, m, d;
        CivilFromDays(n, y, m, d);
        ASSERT_TRUE(y == int(ymd.year()) && m == int(unsigned(ymd.month())) &&
                    d == int(unsigned(ymd.day())))
            << n;
        ASSERT_EQ(DaysFromCivil(y, m, d), n);
        ASSERT_EQ(IsCalendarDate(y, m, d), true);
        ASSERT_EQ(MonthLength(y, m), int(unsigned((ymd.year() / ymd.month() / last).day())));
    }
    // The table conversions on every day of the range.
    for (int64_t n = kFirstDay; n <= kLastDay; ++n) {
        const year_month_day ymd{sys_days(days(n))};
        int y, m, d;
        RangeCivilFromDays(n, y, m, d);
        ASSERT_TRUE(y == int(ymd.year()) && m == int(unsigned(ymd.month())) &&
                    d == int(unsigned(ymd.day())))
            << n;
        ASSERT_EQ(RangeDaysFromCivil(y, m, d), n);
    }
    EXPECT_EQ(kFirstDay, (sys_days(year(1900) / January / 1)).time_since_epoch().count());
    EXPECT_EQ(kLastDay, (sys_days(year(2155) / December / 31)).time_since_epoch().count());
    EXPECT_FALSE(IsCalendarDate(2007, 2, 29));
    EXPECT_FALSE(IsCalendarDate(2007, 13, 1));
    EXPECT_FALSE(IsCalendarDate(2007, 4, 0));
}

TEST(DateTimeSweep, SerialsAndSecondShiftsAgainstChrono) {
    const sys_days serialEpoch = sys_days(year(1899) / December / 30);
    const sys_seconds first = sys_days(year(1900) / January / 1);
    const sys_seconds last = sys_days(year(2156) / January / 1) - seconds(1);
    std::mt19937 rng(39423);
    for (int k = 0; k < 200000; ++k) {
        // A serial with a fraction that stays clear of the rounding to the
        // next second.
        const int serial = std::uniform_int_distribution<int>(2, 93503)(rng);
        const int second = std::uniform_int_distribution<int>(0, 86399)(rng);
        const double x = serial + (second + 0.25) / 86400.0;
        CVKTDateTime v;
        ASSERT_EQ(v.SetDTFloat(x), 0) << x;
        const sys_seconds t = serialEpoch + days(serial) + seconds(second);
        const sys_days day = floor<days>(t);
        ASSERT_TRUE(SameDay(v, year_month_day(day))) << x;
        ASSERT_EQ(v.GetTimeSec(), int((t - day).count())) << x;

        // Shifts by seconds either way, up to the length of the range.
        const int64_t room = (t - first).count(), ahead = (last - t).count();
        const int secs = int(std::uniform_int_distribution<int64_t>(
            std::max<int64_t>(-room, INT_MIN), std::min<int64_t>(ahead, INT_MAX))(rng));
        CVKTDateTime moved = v;
        ASSERT_EQ(moved.ShiftTime(secs), 0) << Show(v) << " " << secs;
        const sys_seconds u = t + seconds(secs);
        const sys_days uday = floor<days>(u);
        ASSERT_TRUE(SameDay(moved, year_month_day(uday))) << Show(v) << " " << secs;
        ASSERT_EQ(moved.GetTimeSec(), int((u - uday).count())) << Show(v) << " " << secs;
    }
}

TEST(DateTimeSweep, JulianDayCountFollowsTheZone) {
    if (!ZoneFollowsTz()) GTEST_SKIP() << "the zone cannot be chosen here";
    // Local dates at UTC+14 and UTC-12 are always one or two days apart, so
    // the day count must change at once when the zone does, also within a
    // second.
    CVKTDateTime v;
    int east = 0, west = 0;
    {
        ZoneScope z("XXX-14");
        east = v.SetDTJul(2451545);
    }
    {
        ZoneScope z("XXX+12");
        west = v.SetDTJul(2451545);
    }
    EXPECT_GE(west - east, 1);
    EXPECT_LE(west - east, 2);
    EXPECT_EQ(Show(v), "2000-01-01 00:00:00");
}
