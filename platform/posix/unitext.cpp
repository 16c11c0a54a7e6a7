#include "platform/unitext.h"

#include "textutil/utf8.h"

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

} // namespace

uint32_t UnicodeUpper(uint32_t cp) {
    if (cp < 0x80) return (cp >= 'a' && cp <= 'z') ? cp - 'a' + 'A' : cp;
    const locale_t loc = CaseLocale();
    if (!loc) return cp;
    return uint32_t(towupper_l(wint_t(cp), loc));
}

std::string Utf8FromAnsi(std::string_view text) {
    return Utf8FromCp1252(text);
}

CConsoleUtf8::CConsoleUtf8() = default;
CConsoleUtf8::~CConsoleUtf8() = default;
