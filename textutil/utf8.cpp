#include "textutil/utf8.h"

namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

bool IsSurrogate(uint32_t cp) {
    return cp >= 0xD800 && cp <= 0xDFFF;
}

} // namespace

size_t Utf8Decode(const char* text, size_t size, uint32_t* cp) {
    uint32_t ignored = 0;
    if (!cp) cp = &ignored;
    if (size == 0 || !text) {
        *cp = 0;
        return 0;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char lead = p[0];
    if (lead < 0x80) {
        *cp = lead;
        return 1;
    }
    size_t need = 0;
    uint32_t value = 0;
    uint32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        value = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        value = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        value = lead & 0x07;
        least = 0x10000;
    } else {
        *cp = kReplacementChar;
        return 1;
    }
    size_t i = 1;
    for (; i <= need; ++i) {
        if (i >= size || !IsContinuation(p[i])) break;
        value = (value << 6) | (p[i] & 0x3F);
        // Overlong forms, surrogates and values past U+10FFFF show at the
        // second byte already: stop there, as a decoder that replaces the
        // longest valid start does.
        if (i == 1) {
            const unsigned char c = p[1];
            if ((lead == 0xE0 && c < 0xA0) || (lead == 0xED && c > 0x9F) ||
                (lead == 0xF0 && c < 0x90) || (lead == 0xF4 && c > 0x8F)) {
                *cp = kReplacementChar;
                return 1;
            }
        }
    }
    if (i <= need || value < least || IsSurrogate(value) || value > 0x10FFFF) {
        *cp = kReplacementChar;
        return i;
    }
    *cp = value;
    return need + 1;
}

void Utf8Append(std::string& out, uint32_t cp) {
    if (IsSurrogate(cp) || cp > 0x10FFFF) cp = kReplacementChar;
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

bool Utf8Valid(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        if ((unsigned char)text[i] < 0x80) {
            ++i;
            continue;
        }
        uint32_t cp = 0;
        const size_t n = Utf8Decode(text.data() + i, text.size() - i, &cp);
        // U+FFFD written as such is valid; a replacement for bad bytes is
        // never three bytes starting with 0xEF 0xBF 0xBD.
        if (cp == kReplacementChar && text.compare(i, 3, "\xEF\xBF\xBD") != 0) return false;
        i += n;
    }
    return true;
}

std::string Utf8Repaired(std::string_view text) {
    if (Utf8Valid(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    size_t i = 0;
    while (i < text.size()) {
        uint32_t cp = 0;
        const size_t n = Utf8Decode(text.data() + i, text.size() - i, &cp);
        Utf8Append(out, cp);
        i += n;
    }
    return out;
}

std::string Utf8FromUtf16(const char16_t* units, size_t size) {
    std::string out;
    if (!units) return out;
    out.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        uint32_t cp = units[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < size && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (uint32_t(units[i + 1]) - 0xDC00);
            ++i;
        }
        Utf8Append(out, cp); // a lone surrogate is appended as U+FFFD
    }
    return out;
}

std::u16string Utf16FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        uint32_t cp = 0;
        i += Utf8Decode(text.data() + i, text.size() - i, &cp);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

size_t Utf8CutLength(std::string_view text, size_t limit) {
    if (text.size() <= limit) return text.size();
    // limit is a character's start unless it falls on a continuation byte;
    // then the character it continues starts at most three bytes before.
    size_t cut = limit;
    for (int back = 0; back < 3 && cut > 0 && IsContinuation((unsigned char)text[cut]); ++back)
        --cut;
    if (IsContinuation((unsigned char)text[cut])) return limit; // no character: bytes as they are
    if (cut == limit) return limit;
    // text[cut] leads the character limit would split, unless the bytes
    // before limit are stray continuation bytes after a complete one.
    uint32_t cp = 0;
    const size_t n = Utf8Decode(text.data() + cut, text.size() - cut, &cp);
    return cut + n > limit ? cut : limit;
}
