#include "platform/clockset.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>
#include <type_traits>

int SystemSetLocalClock(const SYSTEMTIME& when) {
    tm t{};
    t.tm_year = when.wYear - 1900;
    t.tm_mon = when.wMonth - 1;
    t.tm_mday = when.wDay;
    t.tm_hour = when.wHour;
    t.tm_min = when.wMinute;
    t.tm_sec = when.wSecond;
    t.tm_isdst = -1;
    if (when.wMonth < 1 || when.wMonth > 12 || when.wDay < 1 || when.wDay > 31 || when.wHour > 23 ||
        when.wMinute > 59 || when.wSecond > 59 || when.wMilliseconds > 999)
        return EINVAL;
    errno = 0;
    time_t secs = mktime(&t);
    if (secs == time_t(-1)) return errno != 0 ? errno : EINVAL;
    timespec ts{};
    ts.tv_sec = secs;
    ts.tv_nsec = long(when.wMilliseconds) * 1000000L;
    if (clock_settime(CLOCK_REALTIME, &ts) != 0) return errno;
    return 0;
}

std::string SysErrorText(int error) {
    char buf[1001] = {};
    // The GNU strerror_r returns the text (maybe not in buf); the XSI one
    // fills buf and returns 0.
    auto r = strerror_r(error, buf, sizeof buf);
    if constexpr (std::is_same_v<decltype(r), char*>) {
        return std::string(r).substr(0, 1000);
    } else {
        if (r != 0) return "Unknown error " + std::to_string(error);
        return buf;
    }
}

void SleepMs(int ms) {
    if (ms <= 0) return;
    timespec ts{ms / 1000, long(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}
