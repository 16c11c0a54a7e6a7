#include "platform/unitext.h"

#include <locale.h>
#include <wctype.h>

namespace {

// A UTF-8 locale for the case table, whatever the process's own locale is;
// null when the system has none (then only ASCII letters fold).
locale_t CaseLocale() {
    static const locale_t loc = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
            if (locale_t l = newlocale(LC_CTYPE_MASK, name, locale_t(nullptr))) return l;
        return locale_t(nullptr);
    }();
    return loc;
}

// Windows-1252's characters for 0x80..0x9F; U+FFFD where it has none.
const char16_t kCp1252High[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                  0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

} // namespace

uint32_t UnicodeUpper(uint32_t cp) {
    if (cp < 0x80) return (cp >= 'a' && cp <= 'z') ? cp - 'a' + 'A' : cp;
    const locale_t loc = CaseLocale();
    if (!loc) return cp;
    return uint32_t(towupper_l(wint_t(cp), loc));
}

std::u16string Utf16FromAnsi(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char ch : text) {
        const unsigned char c = (unsigned char)ch;
        out += (c >= 0x80 && c < 0xA0) ? kCp1252High[c - 0x80] : char16_t(c);
    }
    return out;
}

CConsoleUtf8::CConsoleUtf8() = default;
CConsoleUtf8::~CConsoleUtf8() = default;
