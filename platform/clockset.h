// Setting the computer's local clock, the system's text for an error
// number, and sleeping.  Setting goes through a replaceable setter so that
// programs under test never change the real clock.  Reading the clock is in
// platform/clock.h.
#pragma once

#include "ostrelle_api.h"

#include <functional>
#include <string>

#include "platform/systime.h"

// Sets the local clock to the fields of a SYSTEMTIME; returns 0 on success,
// else the system's error number (GetLastError on Windows, errno elsewhere).
using ClockSetter = std::function<int(const SYSTEMTIME&)>;

// Sets the local clock through the installed setter.
OSTRELLE_API int SetLocalClock(const SYSTEMTIME& when);

// Installs setter (an empty one restores the system's) and returns the one
// it replaces.
OSTRELLE_API ClockSetter ReplaceClockSetter(ClockSetter setter);

// The system's own setter: needs the right to change the clock
// (SetLocalTime on Windows, clock_settime elsewhere).
OSTRELLE_API int SystemSetLocalClock(const SYSTEMTIME& when);

// The system's message text for an error number from the setter, at most
// 1000 characters, without a trailing line end.
OSTRELLE_API std::string SysErrorText(int error);

// Suspends the calling thread for ms milliseconds.
OSTRELLE_API void SleepMs(int ms);
