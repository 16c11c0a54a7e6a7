// Every day of the range against std::chrono's civil calendar.
#include <chrono>
#include <random>

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
