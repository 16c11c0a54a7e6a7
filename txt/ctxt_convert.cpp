// CTxt conversions: each builds its result in a work buffer and sets the
// text from it, so length and capacity follow the usual memory rules.
#include "txt/ctxt.h"

#include "asciicase.h"
#include "textutil/strfld.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kProtFirst = 0x20; // the printable range that ConvProt shifts within
constexpr int kProtLast = 0x7E;
constexpr int kProtSpan = kProtLast - kProtFirst + 1;
constexpr int kMaxHexArray = 1000;
constexpr int kValueBuffer = 100; // bytes of the MakeValueTxt work buffer
// Most decimals a fixed-point text can have and still fit the work buffer:
// "0." before them and the terminator after.
constexpr int kMaxFixedDecimals = kValueBuffer - 3;

char* PutHex(char* out, unsigned char byte) {
    *out++ = kHexDigits[byte >> 4];
    *out++ = kHexDigits[byte & 0x0F];
    return out;
}

// The low 32 bits of value as 8 hex digits, of which the last keep are kept.
std::string HexDigits(unsigned long value, int keep) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08lX", value & 0xFFFFFFFFUL);
    return std::string(digits + 8 - keep);
}

// A '%' escapes a byte only before a hexadecimal digit; any other '%' is
// the character itself ("100% sure" stays as it is).
bool StartsHexEscape(const char* p, size_t rest) {
    return rest > 1 && p[0] == '%' && chrindex(p[1], "0123456789ABCDEFabcdef") >= 0;
}

// True when the n characters at text (all inside the text) equal word,
// letters compared without case.
bool StartsNoCase(const char* text, size_t n, const char* word) {
    size_t w = std::strlen(word);
    if (n < w) return false;
    for (size_t i = 0; i < w; ++i)
        if (!AsciiEqualFolded(text[i], word[i])) return false;
    return true;
}

} // namespace

int CTxt::ConvHex(int encode) {
    if (length_ < 1) return -1;
    size_t len = size_t(length_);
    if (encode) {
        std::unique_ptr<char[]> work(new char[3 * len + 9]);
        char* out = work.get();
        for (size_t i = 0; i < len; ++i) out = PutHex(out, static_cast<unsigned char>(data_[i]));
        *out = '\0';
        SetTxt(work.get());
        return length_;
    }
    std::unique_ptr<char[]> work(new char[len / 2 + 2]);
    size_t out = 0;
    for (size_t i = 0; i < len; i += 2) {
        char pair[3] = {data_[i], i + 1 < len ? data_[i + 1] : '\0', '\0'};
        unsigned char byte = static_cast<unsigned char>(hexvalue(pair));
        if (byte == 0) break; // a zero byte would end the text anyway
        work[out++] = char(byte);
    }
    work[out] = '\0';
    SetTxt(work.get());
    return length_;
}

int CTxt::ConvProt(int mode, int key) {
    if (key < 1) key = 1;
    for (int i = 0; i < length_; ++i) {
        int c = static_cast<unsigned char>(data_[i]);
        if (c < kProtFirst || c > kProtLast) continue;
        long long shift = (long long)key + i;
        bool down = (i % 2 == 0) == (mode == 0);
        int r = int(shift % kProtSpan);
        int v = down ? c - r : c + r;
        if (v < kProtFirst) v += kProtSpan;
        if (v > kProtLast) v -= kProtSpan;
        data_[i] = char(v);
    }
    return length_;
}

int CTxt::ConvCRLF(int decode) {
    if (!data_) return 0;
    size_t len = size_t(length_);
    std::unique_ptr<char[]> work(new char[2 * len + 1]);
    size_t out = 0;
    for (size_t i = 0; i < len; ++i) {
        char c = data_[i];
        if (!decode) {
            const char* escape = c == '\r'   ? "\\r"
                                 : c == '\n' ? "\\n"
                                 : c == '\t' ? "\\t"
                                             : nullptr;
            if (escape) {
                work[out++] = escape[0];
                work[out++] = escape[1];
            } else {
                work[out++] = c;
            }
            continue;
        }
        if (c != '\\') {
            work[out++] = c;
            continue;
        }
        if (++i >= len) break; // a backslash at the very end is dropped
        char e = data_[i];
        if (e == 'n')
            work[out++] = '\n';
        else if (e == 'r')
            work[out++] = '\r';
        else if (e == 't')
            work[out++] = '\t';
    }
    work[out] = '\0';
    SetTxt(work.get());
    return length_;
}

int CTxt::ConvTxt2XML() {
    if (length_ < 1) return length_;
    size_t len = size_t(length_);
    std::unique_ptr<char[]> work(new char[10 * len + 1]);
    char* out = work.get();
    for (size_t i = 0; i < len; ++i) {
        unsigned char c = static_cast<unsigned char>(data_[i]);
        const char* entity = nullptr;
        switch (c) {
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '&':
            entity = "&amp;";
            break;
        case '\'':
            entity = "&apos;";
            break;
        case '"':
            entity = "&quot;";
            break;
        default:
            break;
        }
        if (entity) {
            size_t n = std::strlen(entity);
            std::memcpy(out, entity, n);
            out += n;
        } else if (c >= 0x20 && c <= 0x7E) {
            *out++ = char(c);
        } else {
            std::memcpy(out, "&#x", 3);
            out = PutHex(out + 3, c);
            *out++ = ';';
        }
    }
    *out = '\0';
    SetTxt(work.get());
    return length_;
}

int CTxt::ConvXML2Txt() {
    return 0;
}

int CTxt::ConvHTM2TXT() {
    if (!data_) return 0;
    size_t len = size_t(length_);
    std::unique_ptr<char[]> work(new char[len + 1]);
    size_t out = 0;
    for (size_t i = 0; i < len;) {
        const char* p = data_ + i;
        size_t rest = len - i;
        if (StartsNoCase(p, rest, "&nbsp;")) {
            work[out++] = ' ';
            i += 6;
        } else if (*p == '\\') {
            if (rest > 1) work[out++] = p[1];
            i += rest > 1 ? 2 : 1;
        } else if (*p == '+') {
            work[out++] = ' ';
            i += 1;
        } else if (*p == '%' && rest > 1 && p[1] == '%') {
            work[out++] = '%';
            i += 2;
        } else if (StartsHexEscape(p, rest)) {
            char digits[3] = {p[1], rest > 2 ? p[2] : '\0', '\0'};
            work[out++] = char(hextoint(digits) & 0xFF);
            i += rest > 3 ? 3 : rest;
        } else {
            work[out++] = *p;
            i += 1;
        }
    }
    work[out] = '\0';
    SetTxt(work.get());
    return length_;
}

void CTxt::GetHex(unsigned long value, int part) {
    int keep = part == 1 ? 2 : part == 2 ? 4 : part == 3 ? 6 : 8;
    SetTxt(HexDigits(value, keep).c_str());
}

void CTxt::GetHexArray(const unsigned char* bytes, int count) {
    if (count <= 0 || count > kMaxHexArray || !bytes) {
        Format("GetHexArray(%dBy)", count);
        return;
    }
    std::unique_ptr<char[]> work(new char[3 * size_t(count) + 1]);
    char* out = work.get();
    for (int i = 0; i < count; ++i) {
        out = PutHex(out, bytes[i]);
        *out++ = ',';
    }
    *out = '\0';
    SetTxt(work.get());
}

int CTxt::MakeHexValue(int value, int digits) {
    int keep = (digits == 2 || digits == 4 || digits == 6) ? digits : 8;
    SetTxt(HexDigits(static_cast<unsigned int>(value), keep).c_str());
    return length_;
}

int CTxt::MakeValueTxt(double value, int precision) {
    char work[kValueBuffer];
    // A precision that cannot fit goes to the exponent form at once: the C
    // library builds the whole fixed-point text first, however long.
    int n = precision <= kMaxFixedDecimals
                ? std::snprintf(work, sizeof work, "%.*f", precision, value)
                : -1;
    if (n < 0 || n >= kValueBuffer) {
        // Too long in fixed-point: the exponent form instead.
        int digits = precision < 1 ? 1 : precision > 17 ? 17 : precision;
        std::snprintf(work, sizeof work, "%.*g", digits, value);
    } else if (std::strchr(work, '.')) {
        size_t end = std::strlen(work);
        while (end > 0 && work[end - 1] == '0') work[--end] = '\0';
        if (end > 0 && work[end - 1] == '.') work[--end] = '\0';
    }
    const char* text = work;
    while (*text == ' ') ++text;
    SetTxt(text);
    return length_;
}
