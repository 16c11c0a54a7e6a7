#include "tool/textmatch.h"

#include "platform/unitext.h"
#include "textutil/utf8.h"

#include <algorithm>
#include <cstring>

std::string FoldCase(const char* text) {
    std::string out;
    if (!text) return out;
    const size_t size = std::strlen(text);
    out.reserve(size);
    for (size_t i = 0; i < size;) {
        uint32_t cp = 0;
        const size_t n = Utf8Decode(text + i, size - i, &cp);
        if (cp == kReplacementChar && std::strncmp(text + i, "\xEF\xBF\xBD", 3) != 0)
            out.append(text + i, n);
        else
            Utf8Append(out, UnicodeUpper(cp));
        i += n;
    }
    return out;
}

bool IsAsciiText(const char* text) {
    for (; *text; ++text)
        if ((unsigned char)*text >= 0x80) return false;
    return true;
}

namespace {

bool BothAscii(const char* a, const char* b) {
    return a && b && IsAsciiText(a) && IsAsciiText(b);
}

} // namespace

bool EqualsCi(const char* text, const char* other) {
    if (!text || !other || !*text || BothAscii(text, other)) return strcmpci(text, other, 1) == 0;
    return FoldCase(text) == FoldCase(other);
}

bool StartsWithCi(const char* text, const char* prefix) {
    if (!text || !prefix || !*text || BothAscii(text, prefix))
        return strcmpci(prefix, text, 2) == 0;
    return FoldCase(text).rfind(FoldCase(prefix), 0) == 0;
}

bool EitherStartsWithCi(const char* a, const char* b) {
    if (!a || !b || BothAscii(a, b)) return strcmpci(a, b, 0) == 0;
    const std::string fa = FoldCase(a), fb = FoldCase(b);
    const size_t n = std::min(fa.size(), fb.size());
    return fa.compare(0, n, fb, 0, n) == 0;
}

bool HoldsCi(const char* text, const char* pattern) {
    // An empty text (most handles of a scan name no window) holds only the
    // empty pattern, whatever its letters.
    if (!text || !pattern || !*text || BothAscii(text, pattern))
        return strfindci(text, pattern) >= 0;
    return FoldCase(text).find(FoldCase(pattern)) != std::string::npos;
}
