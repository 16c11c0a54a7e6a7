// Unbuffered byte input on a stream's descriptor.
#pragma once

#include <cstdio>

// The descriptor behind a C stream.
int RawFileNo(FILE* stream);

// Reads one byte from descriptor fd into *c; false at end of input or on error.
bool RawReadByte(int fd, char* c);

// Reads up to size bytes from descriptor fd into buffer with unbuffered
// reads, retrying until size bytes arrived or the input ends.  Returns the
// count read (fewer at end of input), or -1 on a read error.
long RawRead(int fd, void* buffer, long size);

// Writes size bytes from buffer to descriptor fd, unbuffered, retrying
// partial writes.  Returns the count written (fewer on an error).
long RawWrite(int fd, const void* buffer, long size);
