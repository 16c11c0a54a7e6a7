// File status and time stamps.
#pragma once

#include <cstdint>

// A point in time as local calendar fields.
struct FileStamp {
    int year = 0;  // e.g. 2026
    int month = 0; // 1..12
    int day = 0;   // 1..31
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

struct FileInfo {
    bool isDir = false;
    bool isLink = false; // the path itself is a symbolic link
    int64_t size = 0;    // bytes
    int64_t created = 0; // seconds since 1970-01-01 UTC (see hasCreation)
    int64_t accessed = 0;
    int64_t modified = 0; // last write
    int createdMs = 0, accessedMs = 0, modifiedMs = 0;
    // False where the file system keeps no creation time; created then holds
    // the last status-change time, the nearest the system records.
    bool hasCreation = false;
};

// Status of path (following links; isLink tells whether path itself is one).
// False when the path does not exist or cannot be examined.
bool GetFileInfo(const char* path, FileInfo& out);

// True when path names an existing file or directory.
bool FileExists(const char* path);

// Local calendar fields of a time in seconds since 1970 plus milliseconds.
FileStamp LocalStamp(int64_t seconds, int millisecond);

// Identity of a file or directory: equal for two paths that reach the same
// object (through links, junctions or different spellings).
struct FileId {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileId&) const = default;
};

// Identity of what path names (links followed); false when it cannot be examined.
bool GetFileIdentity(const char* path, FileId& out);

// Which time stamp GetFileStamp reads.
enum class StampKind { Created, Written };

// The creation or last-write time of a file as local calendar fields with
// milliseconds.  A regular file must be one this process may open for
// reading (false otherwise), as must a path that can be examined.
// Where the file system keeps no creation time, Created gives the last-write
// time: the one moment the file is known to have existed at.
bool GetFileStamp(const char* path, StampKind kind, FileStamp& out);

// Sets the last-write time of path to seconds since 1970 plus milliseconds;
// false when it cannot be set.
bool SetFileWriteTime(const char* path, int64_t seconds, int millisecond);
