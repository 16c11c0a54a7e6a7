#include "platform/rawout.h"

#include <io.h>

size_t RawWrite(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        size_t left = size - done;
        unsigned chunk = left > 0x40000000u ? 0x40000000u : unsigned(left);
        int n = _write(fd, p + done, chunk);
        if (n <= 0) break;
        done += size_t(n);
    }
    return done;
}
