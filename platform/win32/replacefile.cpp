#include "platform/replacefile.h"

#include <windows.h>

bool RenameOver(const char* from, const char* to) {
    return from && to &&
           MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
