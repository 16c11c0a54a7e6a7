#include "platform/replacefile.h"

#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Commits the folder entry of path, so that the rename itself survives a
// power loss.  Best effort: some file systems refuse to sync folders.
void CommitFolderOf(const char* path) {
    std::string dir(path);
    size_t slash = dir.rfind('/');
    dir = slash == std::string::npos ? "." : slash == 0 ? "/" : dir.substr(0, slash);
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

} // namespace

bool RenameOver(const char* from, const char* to) {
    if (!from || !to) return false;
    // The replacement keeps the permissions of the file it replaces.
    struct stat st {};
    if (stat(to, &st) == 0 && S_ISREG(st.st_mode)) chmod(from, st.st_mode & 07777);
    if (std::rename(from, to) != 0) return false;
    CommitFolderOf(to);
    return true;
}
