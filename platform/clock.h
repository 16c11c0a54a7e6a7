// The system clock, read as local time and as UTC.
#pragma once

#include <cstdint>
#include <ctime>

#include "platform/systime.h"

// Current local time with milliseconds (GetLocalTime).
void clocklocal(SYSTEMTIME& out);

// Current UTC time with milliseconds (GetSystemTime).
void clockutc(SYSTEMTIME& out);

// Current time in seconds since 1970-01-01 UTC, read from the same clock as
// clocklocal and clockutc (so that readings of the three agree at a tick).
int64_t clocknow();

// Seconds since 1970-01-01 UTC broken down as local time by the zone's rules
// for that moment.  False when the C library cannot convert it.
bool localtm(int64_t seconds, struct tm& out);

// Local calendar fields to seconds since 1970-01-01 UTC, daylight saving
// decided by the zone's rules (tm_isdst is taken as given; pass -1 to let the
// library decide).  False when the C library cannot convert them.
bool mklocal(struct tm fields, int64_t& seconds);
