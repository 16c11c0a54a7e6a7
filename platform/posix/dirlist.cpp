#include "platform/dirlist.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

DirEntryKind KindOf(unsigned char type) {
    switch (type) {
    case DT_DIR:
        return DirEntryKind::Directory;
    case DT_REG:
    case DT_FIFO:
    case DT_CHR:
    case DT_BLK:
    case DT_SOCK:
        return DirEntryKind::NotDirectory;
    default:
        return DirEntryKind::Unknown; // links and file systems that do not tell
    }
}

} // namespace

bool CDirListing::Start(const char* pattern, DirNameMatch match) {
    Close();
    matcher_ = match;
    if (!pattern) return false;
    std::string text(pattern);
    size_t sep = text.find_last_of("/\\");
    std::string dir;
    if (sep == std::string::npos) {
        dir = ".";
        match_ = text;
    } else {
        dir = sep == 0 ? std::string("/") : text.substr(0, sep);
        match_ = text.substr(sep + 1);
    }
    DIR* d = opendir(dir.c_str());
    if (!d) return false;
    handle_ = d;
    // Without search permission the names can be read but the entries not
    // examined: the kinds then stay unknown.
    searchable_ = faccessat(AT_FDCWD, dir.c_str(), X_OK, AT_EACCESS) == 0;
    if (Next()) return true;
    Close();
    return false;
}

bool CDirListing::Next() {
    name_.clear();
    kind_ = DirEntryKind::Unknown;
    if (!handle_) return false;
    DIR* d = static_cast<DIR*>(handle_);
    // Each call of readdir advances; the directory holds finitely many entries.
    while (const dirent* e = readdir(d)) {
        if (!matcher_ || matcher_(match_.c_str(), e->d_name)) {
            name_ = e->d_name;
            if (searchable_) kind_ = KindOf(e->d_type);
            return true;
        }
    }
    return false;
}

uint32_t CDirListing::Handle() const {
    return handle_ ? uint32_t(reinterpret_cast<uintptr_t>(handle_)) : 0xFFFFFFFFu;
}

void CDirListing::Close() {
    if (handle_) closedir(static_cast<DIR*>(handle_));
    handle_ = nullptr;
    name_.clear();
    kind_ = DirEntryKind::Unknown;
    searchable_ = false;
}
