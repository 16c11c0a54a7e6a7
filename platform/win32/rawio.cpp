#include "platform/rawio.h"

#include <io.h>

int RawFileNo(FILE* stream) {
    return _fileno(stream);
}

bool RawReadByte(int fd, char* c) {
    return _read(fd, c, 1) == 1;
}

long RawRead(int fd, void* buffer, long size) {
    char* p = static_cast<char*>(buffer);
    long done = 0;
    while (done < size) {
        long chunk = size - done;
        if (chunk > 0x40000000L) chunk = 0x40000000L;
        int n = _read(fd, p + done, unsigned(chunk));
        if (n < 0) return done ? done : -1;
        if (n == 0) break;
        done += n;
    }
    return done;
}

long RawWrite(int fd, const void* buffer, long size) {
    const char* p = static_cast<const char*>(buffer);
    long done = 0;
    while (done < size) {
        long chunk = size - done;
        if (chunk > 0x40000000L) chunk = 0x40000000L;
        int n = _write(fd, p + done, unsigned(chunk));
        if (n <= 0) break;
        done += n;
    }
    return done;
}
