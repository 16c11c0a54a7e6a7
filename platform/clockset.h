// The computer's local clock: reading it with milliseconds, setting it, and
// the system's text for an error number.  Setting goes through a replaceable
// setter so that programs under test never change the real clock.
#pragma once

#include <functional>
#include <string>

// Local calendar time as the system keeps it.
struct LocalClock {
    int year = 0;  // e.g. 2007
    int month = 0; // 1..12
    int day = 0;   // 1..31
    int hour = 0, minute = 0, second = 0;
    int millisecond = 0; // 0..999
    int weekday = 0;     // 0 = Sunday
};

// The local clock now.
LocalClock readlocalclock();

// Sets the local clock; 0 on success, else the system's error number
// (GetLastError on Windows, errno elsewhere).
using ClockSetter = std::function<int(const LocalClock&)>;

// Sets the local clock through the installed setter.
int setlocalclock(const LocalClock& when);

// Installs setter (an empty one restores the system's) and returns the one
// it replaces.
ClockSetter replaceclocksetter(ClockSetter setter);

// The system's own setter: needs the right to change the clock
// (SetLocalTime on Windows, clock_settime elsewhere).
int systemsetlocalclock(const LocalClock& when);

// The system's message text for an error number from the setter, at most
// 1000 characters, without a trailing line end.
std::string syserrortext(int error);

// Suspends the calling thread for ms milliseconds.
void sleepms(int ms);
