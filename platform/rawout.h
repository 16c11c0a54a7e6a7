// Unbuffered output straight to a descriptor.
#pragma once

#include <cstddef>

// Writes size bytes of data to descriptor fd, bypassing any stream buffer,
// continuing after partial writes.  Returns the number of bytes written
// (less than size when the system refuses the rest).
size_t RawWrite(int fd, const void* data, size_t size);
