#include "platform/rawio.h"

#include <cerrno>
#include <unistd.h>

int RawFileNo(FILE* stream) {
    return fileno(stream);
}

bool RawReadByte(int fd, char* c) {
    for (;;) {
        ssize_t n = read(fd, c, 1);
        if (n == 1) return true;
        if (n < 0 && errno == EINTR) continue;
        return false;
    }
}

long RawRead(int fd, void* buffer, long size) {
    char* p = static_cast<char*>(buffer);
    long done = 0;
    while (done < size) {
        ssize_t n = read(fd, p + done, size_t(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return done ? done : -1;
        if (n == 0) break;
        done += long(n);
    }
    return done;
}

long RawWrite(int fd, const void* buffer, long size) {
    const char* p = static_cast<const char*>(buffer);
    long done = 0;
    while (done < size) {
        ssize_t n = write(fd, p + done, size_t(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += long(n);
    }
    return done;
}
