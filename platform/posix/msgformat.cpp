#include "platform/msgformat.h"

bool MsgFormat(const char* source, va_list args, size_t limit, std::string& out) {
    return MsgExpand(source, args, limit, out) && !out.empty();
}
