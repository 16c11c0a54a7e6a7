#include "platform/alert.h"

#include <cstdio>

void ErrorAlert(const char* caption, const char* text) {
    std::fprintf(stderr, "%s\n%s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
}
