#include "textutil/strfld.h"

#include "asciicase.h"
#include "platform/rawio.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr const char kHexSet[] = "0123456789ABCDEFabcdef ";

// A delimiter at p starts a new field just after it; with the space
// delimiter only the last space of a run counts.
bool IsSeparator(const char* p, char delim) {
    if (*p != delim) return false;
    return delim != ' ' || p[1] != ' ';
}

// Start offset of field k (k >= 1) in s, or the length of s when the text
// has fewer separators.
size_t FieldStart(const char* s, size_t len, char delim, int k) {
    if (k <= 1) return 0;
    int seen = 1;
    for (size_t i = 0; i < len; ++i) {
        if (IsSeparator(s + i, delim) && ++seen == k) return i + 1;
    }
    return len;
}

uint32_t HexSum(const char* run, size_t len) {
    uint32_t value = 0, weight = 1;
    for (size_t i = len; i-- > 0;) {
        char c = AsciiUpper(run[i]);
        uint32_t digit = 0;
        if (c >= '1' && c <= '9')
            digit = uint32_t(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = uint32_t(c - 'A' + 10);
        value += digit * weight;
        weight *= 16;
    }
    return value;
}

size_t HexRun(const char* text) {
    return text ? std::strspn(text, kHexSet) : 0;
}

} // namespace

int strfldcnt(const char* text, char delim) {
    if (!text) return 0;
    const char* begin = text;
    while (*begin == ' ') ++begin;
    size_t len = std::strlen(begin);
    if (delim != ' ')
        while (len > 0 && begin[len - 1] == ' ') --len;
    if (len == 0) return 0;
    int count = 0;
    for (size_t i = 0; i < len; ++i) {
        if (begin[i] != delim) continue;
        if (delim == ' ' && i + 1 < len && begin[i + 1] == ' ') continue;
        ++count;
    }
    if (begin[len - 1] != delim) ++count;
    return count;
}

int strfld(const char* text, char delim, int first, int last, char* out, int size) {
    if (out && size > 0) out[0] = '\0';
    if (!out || size < 1 || !text) return 0;
    if (last == 0) last = first;
    if (first != 0 && first > last) return -1;
    int n = strfldcnt(text, delim);
    if (first == 99 && n < 99) first = n;
    if (first == -99 && n < 99) first = -n;
    if ((first < 0 ? -(long long)first : first) > n) return 0;
    if (last > n) last = n;
    if (last < -n) last = -n;
    if (first < 0) first = n + first + 1;
    if (last < 0) last = n + last + 1;
    if (last < first || last == 0) return 0;

    const char* s = text;
    if (delim == ' ')
        while (*s == ' ') ++s;
    size_t len = std::strlen(s);
    size_t from = FieldStart(s, len, delim, first);
    size_t to = FieldStart(s, len, delim, last + 1);
    size_t count = to > from ? to - from : 0;
    if (count > size_t(size - 1)) count = size_t(size - 1);
    std::memcpy(out, s + from, count);
    if (count > 0 && out[count - 1] == delim) --count;
    out[count] = '\0';
    return int(count);
}

int strfldint(const char* text, char delim, int n) {
    char field[100];
    if (strfld(text, delim, n, n, field, sizeof field) <= 0) return 0;
    return std::atoi(field);
}

int freadline(char* out, int size, FILE* stream) {
    if (!out || size < 1 || !stream) return -1;
    int fd = RawFileNo(stream);
    int stored = 0;
    bool any = false;
    char c;
    while (RawReadByte(fd, &c)) {
        any = true;
        if (c == '\n') break;
        if (c == '\r') {
            char dropped;
            RawReadByte(fd, &dropped);
            break;
        }
        if (stored < size - 1) out[stored++] = c;
    }
    out[stored] = '\0';
    return any ? stored : -1;
}

int strcmpci(const char* a, const char* b, int mode) {
    if (!a || !b) return 3;
    while (*a && *b) {
        if (AsciiUpper(*a) != AsciiUpper(*b)) return 1;
        ++a;
        ++b;
    }
    if (mode == 1) return (*a || *b) ? 2 : 0;
    if (mode == 2) return *a ? 2 : 0;
    return 0;
}

int strfindci(const char* text, const char* pattern) {
    if (!text || !pattern) return -1;
    size_t tl = std::strlen(text), pl = std::strlen(pattern);
    if (pl > tl) return -1;
    for (size_t i = 0; i + pl <= tl; ++i)
        if (strcmpci(pattern, text + i, 2) == 0) return int(i);
    return -1;
}

int chrindex(char c, const char* list) {
    if (!list || c == '\0') return -1;
    const char* p = std::strchr(list, c);
    return p ? int(p - list) : -1;
}

uint32_t hextoint(const char* text) {
    return HexSum(text, HexRun(text));
}

uint32_t hexvalue(const char* text) {
    size_t len = HexRun(text);
    if (len > 99) len = 99;
    while (len > 0 && text[len - 1] == ' ') --len;
    return HexSum(text, len);
}
