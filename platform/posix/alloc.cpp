#include "platform/alloc.h"

#include <cstdlib>

void* taskalloc(size_t size) {
    return std::malloc(size ? size : 1);
}

void taskfree(void* block) {
    std::free(block);
}
