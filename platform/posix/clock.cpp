#include "platform/clock.h"

#include <time.h>

namespace {

void ToSystemTime(const struct tm& tm, long nanoseconds, SYSTEMTIME& out) {
    out.wYear = uint16_t(tm.tm_year + 1900);
    out.wMonth = uint16_t(tm.tm_mon + 1);
    out.wDayOfWeek = uint16_t(tm.tm_wday);
    out.wDay = uint16_t(tm.tm_mday);
    out.wHour = uint16_t(tm.tm_hour);
    out.wMinute = uint16_t(tm.tm_min);
    out.wSecond = uint16_t(tm.tm_sec > 59 ? 59 : tm.tm_sec); // leap second
    out.wMilliseconds = uint16_t(nanoseconds / 1000000);
}

} // namespace

void ClockLocal(SYSTEMTIME& out) {
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    struct tm tm {};
    localtime_r(&ts.tv_sec, &tm);
    ToSystemTime(tm, ts.tv_nsec, out);
}

void ClockUtc(SYSTEMTIME& out) {
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    struct tm tm {};
    gmtime_r(&ts.tv_sec, &tm);
    ToSystemTime(tm, ts.tv_nsec, out);
}

int64_t ClockNow() {
    // Not time(): that may read a coarser clock, a few milliseconds behind.
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    return int64_t(ts.tv_sec);
}

int64_t ClockNowCoarse() {
    return int64_t(time(nullptr));
}

bool LocalTm(int64_t seconds, struct tm& out) {
    time_t t = time_t(seconds);
    if (int64_t(t) != seconds) return false;
    return localtime_r(&t, &out) != nullptr;
}

bool MakeLocal(struct tm fields, int64_t& seconds) {
    // mktime answers -1 both for failure and for 1969-12-31 23:59:59 UTC; a
    // conversion that happened rewrites the weekday, a failed one does not.
    fields.tm_wday = -1;
    time_t t = mktime(&fields);
    if (t == time_t(-1) && fields.tm_wday < 0) return false;
    seconds = int64_t(t);
    return true;
}
