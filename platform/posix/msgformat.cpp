#include "platform/msgformat.h"

bool msgformat(const char* source, va_list args, size_t limit, std::string& out) {
    return msgexpand(source, args, limit, out) && !out.empty();
}
