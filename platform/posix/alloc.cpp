#include "platform/alloc.h"

#include <cstdlib>

void* TaskAlloc(size_t size) {
    return std::malloc(size ? size : 1);
}

void TaskFree(void* block) {
    std::free(block);
}
