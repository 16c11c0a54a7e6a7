// Writing a file whole: the same steps on every system, through its own
// commit and rename.
#include "platform/replacefile.h"

#include "platform/commit.h"
#include "platform/errtext.h"
#include "platform/rawio.h"

#include <cerrno>
#include <cstdio>

std::string ReplaceFileWith(const std::string& path, const std::string& data, const char* suffix) {
    const std::string temp = path + suffix;
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return "cannot open '" + temp + "' (" + ErrText(errno) + ")";
    bool written = std::fwrite(data.data(), 1, data.size(), f) == data.size() &&
                   std::fflush(f) == 0 && CommitFd(RawFileNo(f));
    int e = errno;
    if (std::fclose(f) != 0 && written) {
        written = false;
        e = errno;
    }
    if (!written) {
        std::remove(temp.c_str());
        return "cannot write '" + temp + "' (" + ErrText(e) + ")";
    }
    if (!RenameOver(temp.c_str(), path.c_str())) {
        e = errno;
        std::remove(temp.c_str());
        return "cannot rename '" + temp + "' to '" + path + "' (" + ErrText(e) + ")";
    }
    return std::string();
}
