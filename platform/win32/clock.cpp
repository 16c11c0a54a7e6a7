#include "platform/clock.h"

#include <windows.h>

void ClockLocal(SYSTEMTIME& out) {
    GetLocalTime(&out);
}

void ClockUtc(SYSTEMTIME& out) {
    GetSystemTime(&out);
}

int64_t ClockNow() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    // 100-ns ticks since 1601 to seconds since 1970.
    return int64_t(u.QuadPart / 10000000ULL) - 11644473600LL;
}

int64_t ClockNowCoarse() {
    // The system time is itself a cheap reading here.
    return ClockNow();
}

bool LocalTm(int64_t seconds, struct tm& out) {
    __time64_t t = seconds;
    return _localtime64_s(&out, &t) == 0;
}

bool MakeLocal(struct tm fields, int64_t& seconds) {
    fields.tm_wday = -1;
    __time64_t t = _mktime64(&fields);
    if (t == -1 && fields.tm_wday < 0) return false;
    seconds = int64_t(t);
    return true;
}
