// The wall clock, to the millisecond.
#pragma once

#include <cstdint>

// Current time: seconds since 1970-01-01 UTC and the milliseconds within
// that second (0..999).  Local calendar fields: localstamp() of fileinfo.h.
void wallclock(int64_t* seconds, int* milliseconds);
