#include "platform/fileinfo.h"

#include <windows.h>

#include <ctime>

namespace {

// 100-ns ticks since 1601 to seconds (and milliseconds) since 1970.
void FromFileTime(const FILETIME& ft, int64_t& seconds, int& ms) {
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    const uint64_t kEpochDiff = 116444736000000000ULL;
    uint64_t ticks = u.QuadPart >= kEpochDiff ? u.QuadPart - kEpochDiff : 0;
    seconds = int64_t(ticks / 10000000ULL);
    ms = int((ticks / 10000ULL) % 1000ULL);
}

} // namespace

bool fileinfo(const char* path, FileInfo& out) {
    out = FileInfo{};
    if (!path || !*path) return false;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    out.isDir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    out.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    out.size = (int64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    FromFileTime(data.ftCreationTime, out.created, out.createdMs);
    FromFileTime(data.ftLastAccessTime, out.accessed, out.accessedMs);
    FromFileTime(data.ftLastWriteTime, out.modified, out.modifiedMs);
    out.hasCreation = true;
    return true;
}

bool fileexists(const char* path) {
    return path && *path && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

FileStamp localstamp(int64_t seconds, int millisecond) {
    FileStamp s;
    time_t t = time_t(seconds);
    struct tm tm {};
    if (localtime_s(&tm, &t) != 0) return s;
    s.year = tm.tm_year + 1900;
    s.month = tm.tm_mon + 1;
    s.day = tm.tm_mday;
    s.hour = tm.tm_hour;
    s.minute = tm.tm_min;
    s.second = tm.tm_sec;
    s.millisecond = millisecond;
    return s;
}
