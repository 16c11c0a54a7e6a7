// Helpers shared by the CVKTDateTime sources; not part of the library's API.
#pragma once

#include <cstdint>

namespace vktdt {

constexpr int kMinYear = 1900; // `year` 0
constexpr int kMaxYear = 2155; // `year` 255

// Reports format (with one integer) under the tag "DateTime".
void Report(const char* format, long value);

// Days since 1970-01-01 of a proleptic Gregorian date, and back, in
// constant time: Neri and Schneider's calendar algorithms, which need no
// division but by constants and no branch but on the month.  Exact for
// years -30000..30000 (days within 12 million of 1970); callers stay within
// a few thousand years of the value's range.  Inline, as the conversions
// and shifts are these and little else.
namespace civil {
constexpr uint32_t kShift = 82; // 400-year eras added so that all is unsigned
constexpr uint32_t kEraDays = 146097;
constexpr uint32_t kDayBias = 719468 + kEraDays * kShift;
constexpr uint32_t kYearBias = 400 * kShift;
} // namespace civil

constexpr int64_t DaysFromCivil(int64_t year, int m, int d) {
    using namespace civil;
    // Years run from March, so the leap day is the last day of a year.
    const uint32_t jan = m <= 2;
    const uint32_t y = (uint32_t(int32_t(year)) + kYearBias) - jan;
    const uint32_t mm = jan ? uint32_t(m) + 12 : uint32_t(m);
    const uint32_t c = y / 100;
    const uint32_t yearDays = 1461 * y / 4 - c + c / 4;
    const uint32_t monthDays = (979 * mm - 2919) / 32;
    return int64_t(int32_t(yearDays + monthDays + uint32_t(d - 1) - kDayBias));
}

constexpr void CivilFromDays(int64_t days, int& y, int& m, int& d) {
    using namespace civil;
    const uint32_t n = uint32_t(int32_t(days)) + kDayBias;
    // Century, then the year within it, then month and day.
    const uint32_t n1 = 4 * n + 3;
    const uint32_t c = n1 / kEraDays;
    const uint32_t nc = n1 % kEraDays / 4;
    const uint64_t p2 = uint64_t(2939745) * (4 * nc + 3);
    const uint32_t z = uint32_t(p2 >> 32);
    const uint32_t dayOfYear = uint32_t(p2) / 2939745 / 4;
    const uint32_t n3 = 2141 * dayOfYear + 197913;
    const uint32_t mm = n3 >> 16;
    const uint32_t dd = (n3 & 0xFFFF) / 2141;
    const uint32_t jan = dayOfYear >= 306; // January or February of the next year
    y = int(int32_t(100 * c + z - kYearBias + jan));
    m = int(jan ? mm - 12 : mm);
    d = int(dd + 1);
}

constexpr bool IsLeapYear(int y) {
    // Divisible by 4 and not by 100, or by 400; a century year is divisible
    // by 400 exactly when it is divisible by 16.
    return y % 100 != 0 ? y % 4 == 0 : y % 16 == 0;
}

// Length of month m (1..12) of year y, without a table or a branch but on
// February: the other months alternate 31, 30 with the step at August.
constexpr int MonthLength(int y, int m) {
    return m == 2 ? 28 + IsLeapYear(y) : 30 + ((m ^ (m >> 3)) & 1);
}

// True when y-m-d is a day of the calendar.
constexpr bool IsCalendarDate(int y, int m, int d) {
    return unsigned(m - 1) < 12u && unsigned(d - 1) < unsigned(MonthLength(y, m));
}

// First and last day of the value's range, as days since 1970-01-01.
constexpr int64_t kFirstDay = DaysFromCivil(kMinYear, 1, 1);
constexpr int64_t kLastDay = DaysFromCivil(kMaxYear, 12, 31);

// Julian day number of 1970-01-01.
constexpr int64_t kUnixEpochJulian = 2440588;

// The same conversions for the value's own years, 1900..2155, by table:
// a few loads where the general algorithms take a chain of multiplications.
namespace range {
constexpr int kYears = kMaxYear - kMinYear + 1;

// Days since 1970-01-01 of 1 January of each year of the range, and of the
// year after it.
struct YearStarts {
    int32_t days[kYears + 1];
};
constexpr YearStarts MakeYearStarts() {
    YearStarts t{};
    for (int i = 0; i <= kYears; ++i) t.days[i] = int32_t(DaysFromCivil(kMinYear + i, 1, 1));
    return t;
}
constexpr YearStarts kYearStarts = MakeYearStarts();

// Days of a year before the first of each month, for common and leap years.
constexpr int16_t kMonthStarts[2][13] = {
    {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335}};

// Month and day of each day of the year, for common and leap years.
struct MonthDay {
    uint8_t month, day;
};
struct YearDays {
    MonthDay of[2][366];
};
constexpr YearDays MakeYearDays() {
    YearDays t{};
    for (int leap = 0; leap < 2; ++leap)
        for (int m = 1, doy = 0; m <= 12; ++m)
            for (int d = 1; d <= MonthLength(leap ? 2000 : 2001, m); ++d, ++doy)
                t.of[leap][doy] = {uint8_t(m), uint8_t(d)};
    return t;
}
constexpr YearDays kYearDays = MakeYearDays();
} // namespace range

// DaysFromCivil for a calendar date of a year of the range.
constexpr int64_t RangeDaysFromCivil(int y, int m, int d) {
    using namespace range;
    const int i = y - kMinYear;
    const int leap = kYearStarts.days[i + 1] - kYearStarts.days[i] - 365;
    return kYearStarts.days[i] + kMonthStarts[leap][m] + d - 1;
}

// CivilFromDays for a day from kFirstDay to kLastDay.
constexpr void RangeCivilFromDays(int64_t days, int& y, int& m, int& d) {
    using namespace range;
    const int t = int(days - kFirstDay);
    // Four years hold 1461 days but around 1900 and 2100; with this offset
    // (any from 8 to 1465 serves) the estimate is the year or the one after
    // it, for every day of the range.
    int i = (4 * t + 734) / 1461;
    i -= int(kYearStarts.days[i] > days);
    const int leap = kYearStarts.days[i + 1] - kYearStarts.days[i] - 365;
    const MonthDay md = kYearDays.of[leap][int(days) - kYearStarts.days[i]];
    y = kMinYear + i, m = md.month, d = md.day;
}

} // namespace vktdt
