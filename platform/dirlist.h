// Directory listing with '*' and '?' name patterns.
#pragma once

#include <cstdint>
#include <string>

// Decides whether a name matches a pattern, where the system does not
// match names itself (see CDirListing::Start).
using DirNameMatch = bool (*)(const char* pattern, const char* name);

// What a listing tells of its current entry without a look at the entry
// itself.  Unknown where it cannot tell: a link (whose target decides), a
// system that does not say, or a directory whose entries cannot be examined
// (an entry the caller could not look at must not pass for one it could).
enum class DirEntryKind { Unknown, Directory, NotDirectory };

// Lists the entries of one directory whose names match a pattern.  The
// pattern is a directory, '/' or '\', and a name pattern ("d/*.txt"); without
// a separator the current directory is listed.  "." and ".." are listed like
// other entries where the system lists them; the order is the system's own
// and unspecified.  The listing is closed on destruction.
class CDirListing {
public:
    CDirListing() = default;
    ~CDirListing() { Close(); }
    CDirListing(const CDirListing&) = delete;
    CDirListing& operator=(const CDirListing&) = delete;

    // Starts a listing: true when an entry matches, which Name() then gives.
    // False when the directory cannot be read or nothing matches.  Where
    // the system matches names itself (Windows' FindFirstFile), it decides;
    // elsewhere match does (every entry when match is null).
    bool Start(const char* pattern, DirNameMatch match);
    // Moves to the next matching entry; false at the end.
    bool Next();
    // Name of the current entry; "" when there is none.
    const char* Name() const { return name_.c_str(); }
    // What the current entry is, as far as the listing tells (above).
    DirEntryKind Kind() const { return kind_; }
    // A number that identifies the listing in trace lines; 0xFFFFFFFF when no
    // listing is open (the value of a failed start).
    uint32_t Handle() const;
    void Close();

private:
    void* handle_ = nullptr;         // DIR* / HANDLE
    std::string match_;              // name pattern (POSIX)
    DirNameMatch matcher_ = nullptr; // (POSIX)
    std::string name_;
    DirEntryKind kind_ = DirEntryKind::Unknown;
    bool searchable_ = false; // the entries may be examined (POSIX)
};
