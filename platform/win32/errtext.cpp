#include "platform/errtext.h"

#include <cstdio>
#include <cstring>

const char* ErrText(int e) {
    thread_local char buf[256];
    if (strerror_s(buf, sizeof buf, e) != 0 || !buf[0])
        snprintf(buf, sizeof buf, "Unknown error %d", e);
    return buf;
}
