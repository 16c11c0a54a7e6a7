#include "platform/fileinfo.h"

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

bool fileinfo(const char* path, FileInfo& out) {
    out = FileInfo{};
    if (!path || !*path) return false;
    struct statx sx {};
    if (statx(AT_FDCWD, path, 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) return false;
    struct stat ls {};
    out.isLink = lstat(path, &ls) == 0 && S_ISLNK(ls.st_mode);
    out.isDir = S_ISDIR(sx.stx_mode);
    out.size = int64_t(sx.stx_size);
    out.accessed = sx.stx_atime.tv_sec;
    out.accessedMs = int(sx.stx_atime.tv_nsec / 1000000);
    out.modified = sx.stx_mtime.tv_sec;
    out.modifiedMs = int(sx.stx_mtime.tv_nsec / 1000000);
    if (sx.stx_mask & STATX_BTIME) {
        out.hasCreation = true;
        out.created = sx.stx_btime.tv_sec;
        out.createdMs = int(sx.stx_btime.tv_nsec / 1000000);
    } else {
        out.created = sx.stx_ctime.tv_sec;
        out.createdMs = int(sx.stx_ctime.tv_nsec / 1000000);
    }
    return true;
}

bool fileexists(const char* path) {
    struct stat st {};
    return path && *path && stat(path, &st) == 0;
}

FileStamp localstamp(int64_t seconds, int millisecond) {
    FileStamp s;
    time_t t = time_t(seconds);
    struct tm tm {};
    if (!localtime_r(&t, &tm)) return s;
    s.year = tm.tm_year + 1900;
    s.month = tm.tm_mon + 1;
    s.day = tm.tm_mday;
    s.hour = tm.tm_hour;
    s.minute = tm.tm_min;
    s.second = tm.tm_sec;
    s.millisecond = millisecond;
    return s;
}
