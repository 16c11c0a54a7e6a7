#include "platform/fileinfo.h"

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool GetFileInfo(const char* path, FileInfo& out) {
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

bool FileExists(const char* path) {
    struct stat st {};
    return path && *path && stat(path, &st) == 0;
}

bool GetFileIdentity(const char* path, FileId& out) {
    out = FileId{};
    struct stat st {};
    if (!path || !*path || stat(path, &st) != 0) return false;
    out.volume = uint64_t(st.st_dev);
    out.index = uint64_t(st.st_ino);
    return true;
}

bool GetFileStamp(const char* path, StampKind kind, FileStamp& out) {
    out = FileStamp{};
    if (!path || !*path) return false;
    struct statx sx {};
    const unsigned mask = STATX_TYPE | STATX_MODE | STATX_UID | STATX_MTIME | STATX_BTIME;
    if (statx(AT_FDCWD, path, 0, mask, &sx) != 0) return false;
    // A regular file must be one that could be opened for reading: its
    // owner may when the owner's read bit is set (no access list narrows the
    // owner's rights), anyone else as the permission test answers, which
    // spares opening the file (and the risk of an open stalling on a file
    // replaced by a pipe meanwhile).
    if (S_ISREG(sx.stx_mode) && !(sx.stx_uid == geteuid() && (sx.stx_mode & S_IRUSR)) &&
        faccessat(AT_FDCWD, path, R_OK, AT_EACCESS) != 0)
        return false;
    const statx_timestamp& t =
        (kind == StampKind::Created && (sx.stx_mask & STATX_BTIME)) ? sx.stx_btime : sx.stx_mtime;
    out = LocalStamp(t.tv_sec, int(t.tv_nsec / 1000000));
    return out.year != 0;
}

bool SetFileWriteTime(const char* path, int64_t seconds, int millisecond) {
    if (!path || !*path) return false;
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT; // the access time stays
    times[1].tv_sec = time_t(seconds);
    times[1].tv_nsec = long(millisecond) * 1000000L;
    return utimensat(AT_FDCWD, path, times, 0) == 0;
}
