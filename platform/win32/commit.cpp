#include "platform/commit.h"

#include <io.h>

bool commitfd(int fd) {
    return _commit(fd) == 0;
}
