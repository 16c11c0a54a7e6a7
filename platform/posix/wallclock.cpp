#include "platform/wallclock.h"

#include <ctime>

void WallClock(int64_t* seconds, int* milliseconds) {
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    if (seconds) *seconds = int64_t(ts.tv_sec);
    if (milliseconds) *milliseconds = int(ts.tv_nsec / 1000000);
}
