#include "platform/errtext.h"

#include <cstdio>
#include <cstring>

namespace {

// strerror_r comes in two flavours; both are handled here.
[[maybe_unused]] const char* Pick(int rc, const char* buf) {
    return rc == 0 ? buf : nullptr;
}
[[maybe_unused]] const char* Pick(const char* text, const char*) {
    return text;
}

} // namespace

const char* ErrText(int e) {
    thread_local char buf[256];
    buf[0] = '\0';
    const char* text = Pick(strerror_r(e, buf, sizeof buf), buf);
    if (!text || !*text) {
        snprintf(buf, sizeof buf, "Unknown error %d", e);
        text = buf;
    }
    return text;
}
