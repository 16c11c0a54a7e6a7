#include "platform/rawout.h"

#include <cerrno>
#include <unistd.h>

size_t RawWrite(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    size_t done = 0;
    int interrupts = 0;
    while (done < size) {
        ssize_t n = write(fd, p + done, size - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        // A write that makes no progress ends the loop; interruptions are retried a few times.
        if (n < 0 && errno == EINTR && ++interrupts < 100) continue;
        break;
    }
    return done;
}
