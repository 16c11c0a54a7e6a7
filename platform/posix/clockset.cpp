#include "platform/clockset.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>
#include <type_traits>

LocalClock readlocalclock() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm t{};
    time_t secs = now.tv_sec;
    localtime_r(&secs, &t);
    LocalClock c;
    c.year = t.tm_year + 1900;
    c.month = t.tm_mon + 1;
    c.day = t.tm_mday;
    c.hour = t.tm_hour;
    c.minute = t.tm_min;
    c.second = t.tm_sec;
    c.millisecond = int(now.tv_nsec / 1000000);
    c.weekday = t.tm_wday;
    return c;
}

int systemsetlocalclock(const LocalClock& when) {
    tm t{};
    t.tm_year = when.year - 1900;
    t.tm_mon = when.month - 1;
    t.tm_mday = when.day;
    t.tm_hour = when.hour;
    t.tm_min = when.minute;
    t.tm_sec = when.second;
    t.tm_isdst = -1;
    errno = 0;
    time_t secs = mktime(&t);
    if (secs == time_t(-1) && errno != 0) return errno;
    if (secs == time_t(-1)) return EINVAL;
    timespec ts{};
    ts.tv_sec = secs;
    ts.tv_nsec = long(when.millisecond) * 1000000L;
    if (clock_settime(CLOCK_REALTIME, &ts) != 0) return errno;
    return 0;
}

std::string syserrortext(int error) {
    char buf[1001];
    // The GNU strerror_r returns the text (maybe not in buf); the XSI one
    // fills buf.  Either way a char pointer or an int comes back.
    auto r = strerror_r(error, buf, sizeof buf);
    if constexpr (std::is_same_v<decltype(r), char*>) {
        return std::string(r).substr(0, 1000);
    } else {
        if (r != 0) return "Unknown error " + std::to_string(error);
        return buf;
    }
}

void sleepms(int ms) {
    if (ms <= 0) return;
    timespec ts{ms / 1000, long(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}
