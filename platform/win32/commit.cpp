#include "platform/commit.h"

#include <io.h>

bool CommitFd(int fd) {
    return _commit(fd) == 0;
}
