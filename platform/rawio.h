// Unbuffered byte input on a stream's descriptor.
#pragma once

#include <cstdio>

// The descriptor behind a C stream.
int rawfileno(FILE* stream);

// Reads one byte from descriptor fd into *c; false at end of input or on error.
bool rawreadbyte(int fd, char* c);
