#include "tool/output.h"

#include <cstdarg>
#include <cstring>
#include <vector>

void COutput::Printf(const char* format, ...) {
    char small[1024];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) {
        va_end(again);
        return;
    }
    if (size_t(n) < sizeof small) {
        va_end(again);
        Write(small, size_t(n));
        return;
    }
    std::vector<char> large(size_t(n) + 1);
    std::vsnprintf(large.data(), large.size(), format, again);
    va_end(again);
    Write(large.data(), size_t(n));
}

void COutput::Puts(const char* text) {
    Write(text, std::strlen(text));
}

void CStreamOutput::Write(const char* data, size_t size) {
    if (size) std::fwrite(data, 1, size, stream_);
}

void CStreamOutput::Flush() {
    std::fflush(stream_);
}

std::string CStringOutput::Take() {
    std::string out;
    out.swap(text_);
    return out;
}
