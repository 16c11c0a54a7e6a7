#include "platform/alloc.h"

#include <windows.h>
#include <objbase.h>

void* taskalloc(size_t size) {
    return CoTaskMemAlloc(size ? size : 1);
}

void taskfree(void* block) {
    if (block) CoTaskMemFree(block);
}
