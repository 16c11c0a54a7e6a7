#include "platform/commit.h"

#include <cerrno>
#include <unistd.h>

bool CommitFd(int fd) {
    for (int tries = 0; tries < 100; ++tries) {
        if (fsync(fd) == 0) return true;
        if (errno != EINTR) return false;
    }
    return false;
}
