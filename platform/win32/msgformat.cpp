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

bool MsgFormat(const char* source, va_list args, size_t limit, std::string& out) {
    if (!source) return false;
    // The system service takes any "!fmt!", "%n" (a store through an
    // argument) and floating point among them, and reads arguments as the
    // format says: only a message that our own rules accept goes to it.
    std::string checked;
    if (!MsgExpand(source, args, limit, checked)) return false;
    LocalBuffer buffer;
    va_list copy;
    va_copy(copy, args);
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER, source, 0,
                             0, reinterpret_cast<LPSTR>(&buffer.text), 0, &copy);
    va_end(copy);
    out.clear();
    if (n == 0 || !buffer.text) return false;
    out.assign(buffer.text, n < limit ? n : limit);
    return true;
}
