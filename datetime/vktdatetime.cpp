// CVKTDateTime: the value, the calendar, shifting and differences.
#include "datetime/vktdatetime.h"

#include <atomic>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "datetime/vktdatetime_internal.h"
#include "diag/logtrace.h"
#include "platform/clock.h"
#include "platform/timezone.h"

namespace vktdt {

void Report(const char* format, long value) {
    LOGTRACE("DateTime", 1, format, int(value));
}

} // namespace vktdt

using namespace vktdt;

namespace {

// Longest run of months a shift can take inside the range (256 years).
constexpr int kMonthSpan = (kMaxYear - kMinYear + 1) * 12;

// The value other stands for: itself, or now when null (or, where asked, empty).
const CVKTDateTime& OtherOrNow(const CVKTDateTime* other, bool emptyIsNow, CVKTDateTime& holder) {
    if (other && !(emptyIsNow && other->IsEmpty())) return *other;
    holder.SetNow();
    return holder;
}

} // namespace

// ---- Value and state --------------------------------------------------------

void CVKTDateTime::Reset() {
    *this = CVKTDateTime();
}

void CVKTDateTime::Copy(const CVKTDateTime* from) {
    if (from) {
        year = from->year, month = from->month, day = from->day;
        hour = from->hour, minute = from->minute, second = from->second;
    }
}

int CVKTDateTime::IsEmpty() const {
    return (year | month | day | hour | minute | second) == 0 ? 1 : 0;
}

int CVKTDateTime::IsFilled() const {
    return IsEmpty() ? 0 : 1;
}

int CVKTDateTime::IsValid() const {
    return IsCalendarDate(GetYear(), month, day) && hour <= 23 && minute <= 59 && second <= 59 ? 1
                                                                                               : 0;
}

int CVKTDateTime::IsDate(unsigned long date) {
    return date >= 19000101 && date <= 29991231;
}

int CVKTDateTime::IsTime(unsigned long time) {
    return time <= 240000;
}

// ---- Setting ----------------------------------------------------------------

int CVKTDateTime::SetDT(unsigned long date, unsigned long time) {
    if (!IsTime(time)) {
        Report("Invalid Time: %d", long(time));
        return -2;
    }
    hour = uint8_t(time / 10000);
    minute = uint8_t(time % 10000 / 100);
    second = uint8_t(time % 100);
    const unsigned long y = date / 10000;
    if (!IsDate(date) || y > unsigned(kMaxYear)) {
        Report("Invalid Date: %d", long(date));
        return -1;
    }
    year = uint8_t(y - kMinYear);
    month = uint8_t(date % 10000 / 100);
    day = uint8_t(date % 100);
    return 0;
}

int CVKTDateTime::SetTimeSec(int s) {
    hour = uint8_t(s / 3600);
    minute = uint8_t(s % 3600 / 60);
    second = uint8_t(s % 60);
    return 0;
}

int CVKTDateTime::SetTime(unsigned char h, unsigned char m, unsigned char s) {
    hour = h, minute = m, second = s;
    return 0;
}

int CVKTDateTime::SetTimeHMS(int v) {
    hour = uint8_t(v / 10000);
    minute = uint8_t(v % 10000 / 100);
    second = uint8_t(v % 100);
    if (hour > 24) return -1;
    if (minute > 59) return -2;
    if (second > 59) return -3;
    if (hour == 24 && minute + second != 0) return -4;
    return 0;
}

namespace {

// The date of Julian day jd, clamped into the range; time 00:00:00.
void StoreJulianDay(CVKTDateTime& v, int64_t jd) {
    int64_t days = jd - kUnixEpochJulian;
    if (days < kFirstDay) days = kFirstDay;
    if (days > kLastDay) days = kLastDay;
    int y, m, d;
    RangeCivilFromDays(days, y, m, d);
    v.year = uint8_t(y - kMinYear), v.month = uint8_t(m), v.day = uint8_t(d);
    v.hour = v.minute = v.second = 0;
}

int SaturateInt(int64_t v) {
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : int(v);
}

// The local date costs a time-zone conversion, far more than the rest of
// SetDTJul; it is kept with the second it was read for and the zone's reload
// count.  One atomic word holds the three, so that threads never see a torn
// entry: bits 63..30 the second, 29..18 the reload count, 17 set when the
// entry is filled, 16..0 the day since 1970.
std::atomic<uint64_t> todayCache{0};

constexpr int kCacheSecondShift = 30, kCacheZoneShift = 18;
constexpr uint64_t kCacheZoneMask = 0xFFF, kCacheFilled = 1u << 17, kCacheDayMask = 0x1FFFF;

uint64_t CacheEntry(int64_t second, unsigned zone, int64_t day) {
    return uint64_t(second) << kCacheSecondShift | (zone & kCacheZoneMask) << kCacheZoneShift |
           kCacheFilled | uint64_t(day);
}

// Julian day number of today's local date, as SetNow would read it.
int64_t TodayJulian() {
    const int64_t now = ClockNowCoarse();
    const unsigned zone = ZoneReloadCount();
    const uint64_t e = todayCache.load(std::memory_order_relaxed);
    if ((e & kCacheFilled) && int64_t(e >> kCacheSecondShift) == now &&
        ((e >> kCacheZoneShift) & kCacheZoneMask) == (zone & kCacheZoneMask))
        return int64_t(e & kCacheDayMask) + kUnixEpochJulian;
    struct tm tm {};
    const int y = LocalTm(now, tm) ? tm.tm_year + 1900 : 0;
    if (y < kMinYear || y > kMaxYear) {
        // SetNow would leave the empty value; its day is what counts then.
        return CVKTDateTime().GetJulian();
    }
    const int64_t day = DaysFromCivil(y, tm.tm_mon + 1, tm.tm_mday);
    if (now >= 0 && now < (int64_t(1) << (64 - kCacheSecondShift)) && day >= 0 &&
        uint64_t(day) <= kCacheDayMask)
        todayCache.store(CacheEntry(now, zone, day), std::memory_order_relaxed);
    return day + kUnixEpochJulian;
}

} // namespace

int CVKTDateTime::SetDTJul(int jd) {
    StoreJulianDay(*this, jd);
    return SaturateInt(int64_t(jd) - TodayJulian());
}

int CVKTDateTime::SetDTJul(const char* text) {
    long v = text ? std::strtol(text, nullptr, 10) : 0;
    return SetDTJul(SaturateInt(v));
}

int CVKTDateTime::SetDTFloat(double x) {
    // x counts days from 1899-12-30, Julian day 2415019.  The value's range
    // is a range of x; the test is false for NaN as well, and within it the
    // whole days are the integer conversion (x is positive), which costs
    // less than a call of trunc.
    constexpr int64_t kSerialEpoch = 2415019 - kUnixEpochJulian;
    constexpr double kFirstSerial = double(kFirstDay - kSerialEpoch);
    constexpr double kEndSerial = double(kLastDay - kSerialEpoch + 1);
    if (!(x >= kFirstSerial && x < kEndSerial)) {
        Reset();
        return -1;
    }
    const int whole = int(x);
    int y, m, d;
    RangeCivilFromDays(int64_t(whole) + kSerialEpoch, y, m, d);
    year = uint8_t(y - kMinYear), month = uint8_t(m), day = uint8_t(d);
    // The date is a calendar date; only a fraction that rounds up to a whole
    // day (24:00:00) makes the value invalid.
    // The fields are set here rather than by SetTimeSec, which as an
    // exported method is a call the compiler may not inline.
    const int s = int((x - double(whole)) * 86400 + 0.5);
    hour = uint8_t(s / 3600), minute = uint8_t(s % 3600 / 60), second = uint8_t(s % 60);
    return s < 86400 ? 0 : -1;
}

int CVKTDateTime::FixDate() {
    if (IsEmpty()) {
        month = 1, day = 1;
        return 0;
    }
    if (month == 0) month = 1;
    if (month > 12) month = 12;
    if (day == 0) day = 1;
    const int len = DayMonth(GetYear(), month);
    if (day > len) day = uint8_t(len);
    // 24:00:00 is a usable end of day; any other hour 24 is not.
    if (hour > 24 || (hour == 24 && (minute != 0 || second != 0)))
        hour = 23, minute = 59, second = 59;
    if (minute >= 60) minute = 59;
    if (second >= 60) second = 59;
    return 0;
}

// ---- Reading ----------------------------------------------------------------

int CVKTDateTime::GetDate(int mode) const {
    const int full = GetYear() * 10000 + month * 100 + day;
    const int shortForm = year * 10000 + month * 100 + day;
    if (mode == -1) return shortForm;
    if (mode < -1) return full;
    if (!IsValid()) return 0;
    return mode == 1 ? shortForm : full;
}

int CVKTDateTime::GetTime() const {
    return hour * 10000 + minute * 100 + second;
}

int CVKTDateTime::GetTimeSec() const {
    return hour * 3600 + minute * 60 + second;
}

namespace {

// s reduced into 0..86399; days receives the whole days taken off (may be negative).
int64_t WrapDay(int64_t s, int64_t& days) {
    // Division rounding down, without a branch on the sign: the shifts go
    // either way at random.
    const int64_t r = s % 86400;
    const int64_t below = r < 0;
    days = s / 86400 - below;
    return r + below * 86400;
}

int PackSec(int64_t s) {
    return int(s / 3600 * 10000 + s % 3600 / 60 * 100 + s % 60);
}

} // namespace

int CVKTDateTime::GetTimeShift(int secs) const {
    int64_t days;
    return PackSec(WrapDay(int64_t(GetTimeSec()) + secs, days));
}

unsigned int CVKTDateTime::GetIntervalIdx(int len, int offset) const {
    // A length of 0 or less would divide by zero: it counts as one second.
    const unsigned int l = len > 0 ? unsigned(len) : 1u;
    const unsigned int idx = (unsigned(offset) + unsigned(GetTimeSec())) / l;
    const unsigned int key = unsigned((year % 100) * 10000 + month * 100 + day);
    return idx + key * 10000u;
}

float CVKTDateTime::GetDateFloat() const {
    return float(year * 1000 + month * 31 + day) + float(GetTimeSec()) * (1.0f / 86400.0f);
}

int CVKTDateTime::GetDateMDY(int y, int m, int d) {
    if (y < 70) y += 2000;
    if (y < 100) y += 1900;
    if (y < 1900 || y > 2999) return 1;
    if (m < 1 || m > 12) return 2;
    if (d < 1 || d > 31) return 3;
    return y * 10000 + m * 100 + d;
}

int CVKTDateTime::GetTimeHMS(int h, int m, int s) {
    if (h < 0 || h > 23) return 4;
    if (m < 0 || m > 59) return 5;
    if (s < 0 || s > 59) return 6;
    return h * 10000 + m * 100 + s;
}

// ---- Comparing --------------------------------------------------------------

namespace {

int CompareFields(const CVKTDateTime& a, const CVKTDateTime& b, int level) {
    const uint8_t fa[6] = {a.year, a.month, a.day, a.hour, a.minute, a.second};
    const uint8_t fb[6] = {b.year, b.month, b.day, b.hour, b.minute, b.second};
    const int n = level >= 1 && level <= 5 ? level : 6;
    for (int i = 0; i < n; ++i)
        if (fa[i] != fb[i]) return fa[i] < fb[i] ? -1 : 1;
    return 0;
}

} // namespace

int CVKTDateTime::Compare(const CVKTDateTime* other, int level) const {
    CVKTDateTime now;
    return CompareFields(*this, OtherOrNow(other, false, now), level);
}

int CVKTDateTimePlain::Compare(const CVKTDateTimePlain* other, int level) const {
    if (!other) return 99;
    return CompareFields(*this, *other, level);
}

int CVKTDateTime::SameDate(const CVKTDateTime* other) const {
    CVKTDateTime now;
    const CVKTDateTime& o = OtherOrNow(other, false, now);
    if (day != o.day) return 3;
    if (month != o.month) return 2;
    if (year != o.year) return 1;
    return 0;
}

// ---- Calendar ---------------------------------------------------------------

int CVKTDateTime::DayYear(int y) {
    return IsLeapYear(y) ? 366 : 365;
}

int CVKTDateTime::DayMonth(int y, int m) {
    return m >= 1 && m <= 12 ? MonthLength(y, m) : 0;
}

int CVKTDateTime::Jan1(int year) {
    const int64_t y = year; // any int, without overflow
    const int64_t c = y > 1800 ? (y - 1601) / 400 - (y - 1701) / 100 : 0;
    const int64_t k = y > 1752 ? 3 : 0;
    return int((4 + y + (y + 3) / 4 + c + k) % 7);
}

int CVKTDateTime::GetWeekDay(int mode) const {
    const int y = GetYear();
    int len[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int w = Jan1(y);
    const int g = (Jan1(y + 1) - w + 7) % 7;
    if (g == 1)
        len[1] = 28;
    else if (g != 2)
        len[8] = 19; // 1752: September lost eleven days
    for (int i = 0; i < month - 1 && i < 12; ++i) w += len[i];
    w %= 7;
    const int ml = month >= 1 && month <= 12 ? len[month - 1] : 0;
    if (ml == 19) {
        for (int i = 2; i <= day; ++i) {
            if (i == 3) i = 14;
            w = (w + 1) % 7;
        }
    } else if (day >= 2) {
        w = (w + day - 1) % 7;
    }
    if (mode == 0) return w;
    return w == 0 ? 6 : w - 1;
}

int CVKTDateTime::GetWeekStart(int mode) const {
    const int wd = GetWeekDay(mode);
    if (IsCalendarDate(GetYear(), month, day)) {
        int y, m, d;
        CivilFromDays(DaysFromCivil(GetYear(), month, day) - wd, y, m, d);
        return y * 10000 + m * 100 + d;
    }
    CVKTDateTime t = *this;
    t.ShiftDate(-wd);
    return t.GetDate(-2);
}

namespace {

// Julian day number of a date in the British calendar (the Gregorian rule
// from 1582-10-15 on), valid or not.
int JulianOf(int y, int m, int d) {
    if (y < 0) ++y; // there is no year 0
    const double x = y <= 0 ? 0.75 : 0.0;
    if (m <= 2) --y, m += 12;
    int b = 0;
    if (double(y) * 10000.0 + m * 100.0 + d >= 15821015.0) {
        const int a = y / 100;
        b = 2 - a + a / 4;
    }
    return int(std::trunc((m + 1) * 30.6001)) - int(std::trunc(x - 365.25 * y)) + b + d + 1720995;
}

} // namespace

int CVKTDateTime::GetJulian() const {
    return JulianOf(GetYear(), month, day);
}

int CVKTDateTime::GetJulianWeek(int mode) const {
    return (GetJulian() - GetWeekDay(mode)) / 7;
}

// ---- Shifting ---------------------------------------------------------------

namespace {

int ClampLow(CVKTDateTime& v) {
    v.year = 0, v.month = 1, v.day = 1, v.hour = 0, v.minute = 0, v.second = 0;
    return -1;
}

int ClampHigh(CVKTDateTime& v) {
    v.year = uint8_t(kMaxYear - kMinYear), v.month = 12, v.day = 31;
    v.hour = 23, v.minute = 59, v.second = 59;
    return -1;
}

} // namespace

int CVKTDateTime::ShiftYear(int n) {
    const int64_t y = int64_t(year) + n;
    if (y < 0) return ClampLow(*this);
    if (y > kMaxYear - kMinYear) return ClampHigh(*this);
    year = uint8_t(y);
    return 0;
}

namespace {

// A value with room for years outside the range, so that a shift can be
// carried out in full before the result is clamped.
struct Wide {
    int y, m, d, h, mi, s;
    explicit Wide(const CVKTDateTime& v)
        : y(v.GetYear()), m(v.month), d(v.day), h(v.hour), mi(v.minute), s(v.second) {}
    int TimeSec() const { return h * 3600 + mi * 60 + s; }
    // Stores into v, or clamps to the nearest end of the range (-1).
    int Store(CVKTDateTime& v) const {
        if (y < kMinYear) return ClampLow(v);
        if (y > kMaxYear) return ClampHigh(v);
        v.year = uint8_t(y - kMinYear), v.month = uint8_t(m), v.day = uint8_t(d);
        v.hour = uint8_t(h), v.minute = uint8_t(mi), v.second = uint8_t(s);
        return 0;
    }
};

// Whole days forward or back.  A date that is not a calendar date is first
// walked one day at a time, by the same rules as every step, until it is one
// (a few hundred steps at most); from there the rest is day-number arithmetic.
void ShiftDays(Wide& w, int64_t rest) {
    for (int guard = 0; rest != 0 && !IsCalendarDate(w.y, w.m, w.d) && guard < 1024; ++guard) {
        if (rest > 0) {
            if (++w.d > CVKTDateTime::DayMonth(w.y, w.m)) {
                w.d = 1;
                if (++w.m > 12) w.m = 1, ++w.y;
            }
            --rest;
        } else {
            if (--w.d <= 0) {
                if (--w.m <= 0) w.m = 12, --w.y;
                w.d = CVKTDateTime::DayMonth(w.y, w.m);
            }
            ++rest;
        }
    }
    if (rest != 0 && IsCalendarDate(w.y, w.m, w.d)) {
        // Held far enough that the year stays well inside int.
        int64_t days = DaysFromCivil(w.y, w.m, w.d) + rest;
        if (days < kFirstDay - 400) days = kFirstDay - 400;
        if (days > kLastDay + 400) days = kLastDay + 400;
        CivilFromDays(days, w.y, w.m, w.d);
    }
}

// Month steps: forward, a day beyond the new month's end rolls on into the
// next month; backward, it is pulled back to the month's end.  Only the date
// decides: a time of day of 24:00:00 must not walk the day on.  The caller
// bounds n.
void ShiftMonths(Wide& w, int n) {
    for (int i = 0; i < n; ++i) {
        if (++w.m > 12) w.m = 1, ++w.y;
        for (int k = 0; k < 10 && !IsCalendarDate(w.y, w.m, w.d); ++k) ShiftDays(w, 1);
    }
    for (int i = 0; i > n; --i) {
        if (--w.m < 1) w.m = 12, --w.y;
        for (int k = 0; k < 10 && !IsCalendarDate(w.y, w.m, w.d); ++k) ShiftDays(w, -1);
    }
}

// Compare at level 3 (by date) of two wide values.
int CompareDate(const Wide& a, const Wide& b) {
    if (a.y != b.y) return a.y < b.y ? -1 : 1;
    if (a.m != b.m) return a.m < b.m ? -1 : 1;
    if (a.d != b.d) return a.d < b.d ? -1 : 1;
    return 0;
}

float DiffDays(const Wide& from, const Wide& to) {
    const int64_t secs =
        (int64_t(JulianOf(to.y, to.m, to.d)) - JulianOf(from.y, from.m, from.d)) * 86400 +
        to.TimeSec() - from.TimeSec();
    return float(secs) * (1.0f / 86400.0f);
}

} // namespace

namespace {

// ShiftDate of a value whose date is not a calendar date.  Kept out of line,
// so that the usual case stays a short function.
[[gnu::noinline]] int ShiftOddDate(CVKTDateTime& v, int n) {
    Wide w(v);
    ShiftDays(w, n);
    if (w.y < kMinYear) return ClampLow(v);
    if (w.y > kMaxYear) return ClampHigh(v);
    v.year = uint8_t(w.y - kMinYear), v.month = uint8_t(w.m), v.day = uint8_t(w.d);
    return 0;
}

} // namespace

int CVKTDateTime::ShiftDate(int n) {
    if (n == 0) return 0;
    const int y = GetYear();
    if (!IsCalendarDate(y, month, day)) return ShiftOddDate(*this, n);
    // The usual case, a calendar date: straight day-number arithmetic.
    const int64_t days = RangeDaysFromCivil(y, month, day) + n;
    if (days < kFirstDay) return ClampLow(*this);
    if (days > kLastDay) return ClampHigh(*this);
    int ny, nm, nd;
    RangeCivilFromDays(days, ny, nm, nd);
    year = uint8_t(ny - kMinYear), month = uint8_t(nm), day = uint8_t(nd);
    return 0;
}

int CVKTDateTime::ShiftMonth(int n) {
    // Beyond a whole range of months the result is outside whatever the start.
    if (n > kMonthSpan + 12) return ClampHigh(*this);
    if (n < -(kMonthSpan + 12)) return ClampLow(*this);
    Wide w(*this);
    ShiftMonths(w, n);
    return w.Store(*this);
}

int CVKTDateTime::ShiftTime(int secs) {
    int64_t days;
    const int64_t s = WrapDay(int64_t(GetTimeSec()) + secs, days);
    SetTimeSec(int(s));
    return days != 0 ? ShiftDate(int(days)) : 0;
}

int CVKTDateTime::RoundToNearestSec(int step, int up) {
    if (step <= 0) step = 1;
    constexpr int64_t kEndOfDay = 86400;
    int64_t s = int64_t(step) * (GetTimeSec() / step) + (up == 1 ? step : 0);
    // A step beyond the rest of the day ends at 24:00:00: the date stays, and
    // an hour past 24 would wrap through the field's 8 bits.
    if (s > kEndOfDay) s = kEndOfDay;
    SetTimeSec(int(s));
    return 0;
}

// ---- Differences ------------------------------------------------------------

int64_t CVKTDateTime::GetDiffSecBig(const CVKTDateTime* other) const {
    CVKTDateTime now;
    const CVKTDateTime& o = OtherOrNow(other, true, now);
    if (Compare(&o, 6) == 0) return 0;
    return (int64_t(o.GetJulian()) - GetJulian()) * 86400 + o.GetTimeSec() - GetTimeSec();
}

int CVKTDateTime::GetDiffSec(const CVKTDateTime* other) const {
    return SaturateInt(GetDiffSecBig(other));
}

float CVKTDateTime::GetDiffDays(const CVKTDateTime* other) const {
    return float(GetDiffSecBig(other)) * (1.0f / 86400.0f);
}

namespace {

// The value as local calendar time, daylight saving decided by the C library.
bool LocalSeconds(const CVKTDateTime& v, int64_t& out) {
    struct tm tm {};
    tm.tm_year = v.year;
    tm.tm_mon = v.month - 1;
    tm.tm_mday = v.day;
    tm.tm_hour = v.hour;
    tm.tm_min = v.minute;
    tm.tm_sec = v.second;
    tm.tm_isdst = -1;
    return MakeLocal(tm, out);
}

} // namespace

int64_t CVKTDateTime::GetDiffSecSpan(const CVKTDateTime* other) const {
    CVKTDateTime now;
    const CVKTDateTime& o = OtherOrNow(other, true, now);
    int64_t a = 0, b = 0;
    if (!LocalSeconds(*this, a) || !LocalSeconds(o, b)) return GetDiffSecBig(&o);
    return b - a;
}

float CVKTDateTime::GetDiffDaysSpan(CVKTDateTime* other) {
    CVKTDateTime now;
    if (!other) {
        now.SetNow();
        other = &now;
    }
    if (GetDate(0) < 19000101) year = 0, month = 1, day = 1;
    if (other->year == 0 && other->month == 0 && other->day == 0) other->month = 1, other->day = 1;
    return float(GetDiffSecSpan(other)) * (1.0f / 86400.0f);
}

float CVKTDateTime::GetDiffMonth(const CVKTDateTime* other) const {
    CVKTDateTime now;
    const Wide self(*this);
    Wide t(OtherOrNow(other, false, now));
    const int c = CompareDate(self, t);
    if (c == 0) return 0.0f;
    // The steps are taken on wide values, so that a month past either end of
    // the range counts like any other; each loop ends within the range's months.
    if (c > 0) {
        int r = 1;
        ShiftMonths(t, 1);
        for (int guard = 0; CompareDate(self, t) > 0 && guard <= kMonthSpan; ++guard) {
            ++r;
            ShiftMonths(t, 1);
        }
        if (CompareDate(self, t) == 0) return float(r);
        ShiftMonths(t, -1);
        --r;
        const float f = DiffDays(self, t);
        const int n = DayMonth(t.y, t.m);
        if (f == 0.0f || n == 0) return float(r);
        return float(r) - f / float(n);
    }
    int r = -1;
    ShiftMonths(t, -1);
    for (int guard = 0; CompareDate(self, t) < 0 && guard <= kMonthSpan; ++guard) {
        --r;
        ShiftMonths(t, -1);
    }
    if (CompareDate(self, t) == 0) return float(r);
    const int n = DayMonth(t.y, t.m);
    ShiftMonths(t, 1);
    ++r;
    const float f = DiffDays(self, t);
    if (f == 0.0f || n == 0) return float(r);
    return float(r) - f / float(n);
}
