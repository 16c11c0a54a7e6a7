#include "platform/process.h"

#include <climits>
#include <unistd.h>

std::string ExePath() {
    char buf[PATH_MAX + 1];
    ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0) return std::string();
    return std::string(buf, size_t(n));
}
