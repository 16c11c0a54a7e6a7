#include "platform/fileinfo.h"

#include <ctime>
#include <windows.h>

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

bool GetFileInfo(const char* path, FileInfo& out) {
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

bool FileExists(const char* path) {
    return path && *path && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

namespace {

// Closes a file handle on every path.
struct Handle {
    HANDLE h;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

} // namespace

bool GetFileIdentity(const char* path, FileId& out) {
    out = FileId{};
    if (!path || !*path) return false;
    // Backup semantics let directories be opened too; no access is asked for.
    Handle f{CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(f.h, &info)) return false;
    out.volume = info.dwVolumeSerialNumber;
    out.index = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

bool GetFileStamp(const char* path, StampKind kind, FileStamp& out) {
    out = FileStamp{};
    if (!path || !*path) return false;
    Handle f{CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) return false;
    FILETIME created, accessed, written;
    if (!GetFileTime(f.h, &created, &accessed, &written)) return false;
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(kind == StampKind::Created ? &created : &written, &utc)) return false;
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return false;
    out.year = local.wYear;
    out.month = local.wMonth;
    out.day = local.wDay;
    out.hour = local.wHour;
    out.minute = local.wMinute;
    out.second = local.wSecond;
    out.millisecond = local.wMilliseconds;
    return true;
}

bool SetFileWriteTime(const char* path, int64_t seconds, int millisecond) {
    if (!path || !*path || seconds < 0) return false;
    Handle f{CreateFileA(path, FILE_WRITE_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) return false;
    // 100-ns ticks since 1601.
    ULARGE_INTEGER u;
    u.QuadPart =
        116444736000000000ULL + uint64_t(seconds) * 10000000ULL + uint64_t(millisecond) * 10000ULL;
    FILETIME written;
    written.dwLowDateTime = u.LowPart;
    written.dwHighDateTime = u.HighPart;
    return SetFileTime(f.h, nullptr, nullptr, &written) != 0;
}
