#include "platform/fileinfo.h"

#include "platform/clock.h"

#include <ctime>

FileStamp LocalStamp(int64_t seconds, int millisecond) {
    FileStamp s;
    struct tm tm {};
    if (!LocalTm(seconds, tm)) return s;
    s.year = tm.tm_year + 1900;
    s.month = tm.tm_mon + 1;
    s.day = tm.tm_mday;
    s.hour = tm.tm_hour;
    s.minute = tm.tm_min;
    s.second = tm.tm_sec;
    s.millisecond = millisecond;
    return s;
}
