// The system's broken-down time record.
#pragma once

#include <cstdint>

#ifdef _WIN32
// The real record from <windows.h>; declared here so that this header does
// not pull the whole of the Windows headers into every user of the library.
struct _SYSTEMTIME;
typedef struct _SYSTEMTIME SYSTEMTIME;
#else
// The same fields, in the same order and widths, as the Win32 record.
struct SYSTEMTIME {
    uint16_t wYear;         // full year, e.g. 2007
    uint16_t wMonth;        // 1..12
    uint16_t wDayOfWeek;    // 0 = Sunday .. 6 = Saturday
    uint16_t wDay;          // 1..31
    uint16_t wHour;         // 0..23
    uint16_t wMinute;       // 0..59
    uint16_t wSecond;       // 0..59
    uint16_t wMilliseconds; // 0..999
};
#endif
