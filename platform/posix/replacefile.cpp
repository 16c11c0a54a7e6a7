#include "platform/replacefile.h"

#include <cstdio>

bool replacefile(const char* from, const char* to) {
    return from && to && std::rename(from, to) == 0;
}
