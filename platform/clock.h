// The system clock, read as local time and as UTC.
#pragma once

#include <cstdint>
#include <ctime>

#include "platform/systime.h"

// Current local time with milliseconds (GetLocalTime).
void ClockLocal(SYSTEMTIME& out);

// Current UTC time with milliseconds (GetSystemTime).
void ClockUtc(SYSTEMTIME& out);

// Current time in seconds since 1970-01-01 UTC, read from the same clock as
// ClockLocal and ClockUtc (so that readings of the three agree at a tick).
int64_t ClockNow();

// Current time in seconds since 1970-01-01 UTC from the cheapest reading
// the system has (time()): it may lag ClockNow by a few milliseconds.
int64_t ClockNowCoarse();

// Seconds since 1970-01-01 UTC broken down as local time by the zone's rules
// for that moment.  False when the C library cannot convert it.
bool LocalTm(int64_t seconds, struct tm& out);

// Local calendar fields to seconds since 1970-01-01 UTC, daylight saving
// decided by the zone's rules (tm_isdst is taken as given; pass -1 to let the
// library decide).  False when the C library cannot convert them.
bool MakeLocal(struct tm fields, int64_t& seconds);
