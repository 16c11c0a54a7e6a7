#include "platform/dirlist.h"

#include <windows.h>

namespace {

DirEntryKind KindOf(const WIN32_FIND_DATAA& data) {
    // A reparse point (a link or junction) is what its target is.
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return DirEntryKind::Unknown;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? DirEntryKind::Directory
                                                              : DirEntryKind::NotDirectory;
}

} // namespace

bool CDirListing::Start(const char* pattern, DirNameMatch) {
    Close();
    if (!pattern || !*pattern) return false;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(pattern, &data);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = h;
    name_ = data.cFileName;
    kind_ = KindOf(data);
    return true;
}

bool CDirListing::Next() {
    name_.clear();
    kind_ = DirEntryKind::Unknown;
    if (!handle_) return false;
    WIN32_FIND_DATAA data;
    if (!FindNextFileA(static_cast<HANDLE>(handle_), &data)) return false;
    name_ = data.cFileName;
    kind_ = KindOf(data);
    return true;
}

uint32_t CDirListing::Handle() const {
    return handle_ ? uint32_t(reinterpret_cast<uintptr_t>(handle_)) : 0xFFFFFFFFu;
}

void CDirListing::Close() {
    if (handle_) FindClose(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
    name_.clear();
    kind_ = DirEntryKind::Unknown;
}
