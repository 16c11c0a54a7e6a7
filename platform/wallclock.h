// The wall clock, to the millisecond.
#pragma once

#include <cstdint>

// Current time: seconds since 1970-01-01 UTC and the milliseconds within
// that second (0..999).  Local calendar fields: LocalStamp() of fileinfo.h.
void WallClock(int64_t* seconds, int* milliseconds);
