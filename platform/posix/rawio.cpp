#include "platform/rawio.h"

#include <cerrno>
#include <unistd.h>

int rawfileno(FILE* stream) {
    return fileno(stream);
}

bool rawreadbyte(int fd, char* c) {
    for (;;) {
        ssize_t n = read(fd, c, 1);
        if (n == 1) return true;
        if (n < 0 && errno == EINTR) continue;
        return false;
    }
}
