// The task allocator: the heap that text buffers of CTxt come from, so that
// a buffer handed across a module boundary can be freed by its receiver.
#pragma once

#include <cstddef>

// size bytes (at least 1) from the task allocator, or null when it has none.
void* TaskAlloc(size_t size);

// Gives back a block of TaskAlloc; null is ignored.
void TaskFree(void* block);
