#include "platform/alloc.h"

#include <windows.h>
#include <objbase.h>

void* TaskAlloc(size_t size) {
    return CoTaskMemAlloc(size ? size : 1);
}

void TaskFree(void* block) {
    if (block) CoTaskMemFree(block);
}
