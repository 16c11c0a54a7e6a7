#include "platform/rawio.h"

#include <io.h>

int rawfileno(FILE* stream) {
    return _fileno(stream);
}

bool rawreadbyte(int fd, char* c) {
    return _read(fd, c, 1) == 1;
}
