#include "platform/wallclock.h"

#include <windows.h>

void WallClock(int64_t* seconds, int* milliseconds) {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    // 100-ns intervals since 1601-01-01 UTC.
    uint64_t ticks = (uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    const uint64_t epoch = 116444736000000000ull; // 1970-01-01 in those units
    uint64_t since = ticks > epoch ? ticks - epoch : 0;
    if (seconds) *seconds = int64_t(since / 10000000ull);
    if (milliseconds) *milliseconds = int((since / 10000ull) % 1000ull);
}
