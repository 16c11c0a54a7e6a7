#include "platform/msgformat.h"

int SystemMsgFormat(const char*, va_list, size_t, std::string&) {
    return -1;
}
