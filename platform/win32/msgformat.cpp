#include "platform/msgformat.h"

#include <windows.h>

namespace {

// Frees a buffer that FormatMessageA allocated.
struct LocalBuffer {
    char* text = nullptr;
    ~LocalBuffer() {
        if (text) LocalFree(text);
    }
};

} // namespace

int SystemMsgFormat(const char* source, va_list args, size_t limit, std::string& out) {
    out.clear();
    if (!source) return 0;
    LocalBuffer buffer;
    va_list copy;
    va_copy(copy, args);
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, source, 0,
                             0, reinterpret_cast<LPSTR>(&buffer.text), 0, &copy);
    va_end(copy);
    if (n == 0 || !buffer.text) return 0;
    out.assign(buffer.text, n < limit ? n : limit);
    return 1;
}
