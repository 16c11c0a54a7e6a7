// Message-insert expansion of our own (see msgexpand.h for the rules).
// Three steps: parse the source into literal pieces and inserts, take the
// arguments from the list in number order with the type each insert needs,
// then render the pieces.
#include "txt/msgexpand.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kMaxNumber = 99;          // highest insert number in the source
constexpr int kMaxArg = kMaxNumber + 2; // "*.*" takes two numbers before the value
constexpr size_t kMaxSpec = 32;         // characters between the '!' marks
constexpr int kMaxDigits = 6;           // of a width or precision in the format
constexpr int kMaxWidth = 999999;       // of a width or precision taken from an argument

enum class ArgType : uint8_t { None, Text, Int, Long, LongLong, Size, IntMax, PtrDiff, Pointer };

struct Insert {
    int width = 0;      // argument number of a '*' width, or 0
    int precision = 0;  // argument number of a '*' precision, or 0
    int value = 0;      // argument number of the value
    std::string format; // native printf conversion, '*' kept for width/precision
};

struct Piece {
    std::string literal; // used when insert.value == 0
    Insert insert;
};

struct Arg {
    ArgType type = ArgType::None;
    const char* text = nullptr;
    long long integer = 0;
    intmax_t intmax = 0;
    const void* pointer = nullptr;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Copies the digits at p to fmt; false when there are more than kMaxDigits.
bool CopyDigits(const char*& p, std::string& fmt) {
    int n = 0;
    while (IsDigit(*p)) {
        if (++n > kMaxDigits) return false;
        fmt += *p++;
    }
    return true;
}

// Records that argument number n is read as type; false on a conflict.
bool Claim(std::vector<Arg>& args, int n, ArgType type) {
    if (n < 1 || n > kMaxArg) return false;
    if (args[n].type != ArgType::None && args[n].type != type) return false;
    args[n].type = type;
    return true;
}

// Length modifier at p: its length in the source, the native modifier and
// the integer type it reads.  Length 0 when there is none.
size_t LengthModifier(const char* p, std::string& native, ArgType& type) {
    type = ArgType::Int;
    native.clear();
    if (std::strncmp(p, "I64", 3) == 0) {
        native = "ll", type = ArgType::LongLong;
        return 3;
    }
    if (std::strncmp(p, "I32", 3) == 0) return 3;
    if (std::strncmp(p, "hh", 2) == 0) return native = "hh", 2;
    if (std::strncmp(p, "ll", 2) == 0) {
        native = "ll", type = ArgType::LongLong;
        return 2;
    }
    switch (*p) {
    case 'h':
        native = "h";
        return 1;
    case 'l':
        native = "l", type = ArgType::Long;
        return 1;
    case 'I':
    case 'z':
        native = "z", type = ArgType::Size;
        return 1;
    case 'j':
        native = "j", type = ArgType::IntMax;
        return 1;
    case 't':
        native = "t", type = ArgType::PtrDiff;
        return 1;
    default:
        return 0;
    }
}

// Parses the "fmt!" that follows "%n!" at p into insert; returns the
// position after the closing '!', or null when the format is not supported.
const char* ParseSpec(const char* p, int number, Insert& insert, std::vector<Arg>& args) {
    const char* close = std::strchr(p, '!');
    if (!close || size_t(close - p) > kMaxSpec || close == p) return nullptr;
    std::string fmt = "%";
    int next = number;
    while (*p && std::strchr("-+ #0", *p)) fmt += *p++;
    if (*p == '*') {
        insert.width = next++;
        fmt += *p++;
    } else if (!CopyDigits(p, fmt)) {
        return nullptr;
    }
    if (*p == '.') {
        fmt += *p++;
        if (*p == '*') {
            insert.precision = next++;
            fmt += *p++;
        } else if (!CopyDigits(p, fmt)) {
            return nullptr;
        }
    }
    std::string native;
    ArgType type;
    p += LengthModifier(p, native, type);
    char conv = *p++;
    if (p != close) return nullptr;
    switch (conv) {
    case 'd':
    case 'i':
    case 'u':
    case 'o':
    case 'x':
    case 'X':
        break;
    case 'c':
        if (native != "" && native != "h") return nullptr; // wide characters
        native.clear();
        type = ArgType::Int;
        break;
    case 's':
        if (native != "" && native != "h") return nullptr; // wide texts
        native.clear();
        type = ArgType::Text;
        break;
    case 'p':
        if (!native.empty()) return nullptr;
        type = ArgType::Pointer;
        break;
    default:
        return nullptr; // floating point, %n and wide forms are not inserts
    }
    insert.value = next;
    insert.format = fmt + native + conv;
    if (insert.width && !Claim(args, insert.width, ArgType::Int)) return nullptr;
    if (insert.precision && !Claim(args, insert.precision, ArgType::Int)) return nullptr;
    if (!Claim(args, insert.value, type)) return nullptr;
    return close + 1;
}

void AddLiteral(std::vector<Piece>& pieces, const char* text, size_t n) {
    if (pieces.empty() || pieces.back().insert.value != 0) pieces.emplace_back();
    pieces.back().literal.append(text, n);
}

// Step 1: the source as pieces; the argument types are recorded in args.
bool Parse(const char* src, std::vector<Piece>& pieces, std::vector<Arg>& args) {
    while (*src) {
        char c = *src++;
        if (c == '\r' || c == '\n') {
            if (c == '\r' && *src == '\n') ++src;
            AddLiteral(pieces, "\r\n", 2);
            continue;
        }
        if (c != '%') {
            AddLiteral(pieces, &c, 1);
            continue;
        }
        char d = *src++;
        if (d == '\0') return false; // a '%' at the end
        if (d == '0') return true;   // end of the message
        if (d >= '1' && d <= '9') {
            int number = d - '0';
            if (IsDigit(*src)) number = number * 10 + (*src++ - '0');
            Piece piece;
            if (*src == '!') {
                src = ParseSpec(src + 1, number, piece.insert, args);
                if (!src) return false;
            } else {
                piece.insert.value = number;
                piece.insert.format = "%s";
                if (!Claim(args, number, ArgType::Text)) return false;
            }
            pieces.push_back(std::move(piece));
            continue;
        }
        switch (d) {
        case 'n':
            AddLiteral(pieces, "\r\n", 2);
            break;
        case 'r':
            AddLiteral(pieces, "\r", 1);
            break;
        case 't':
            AddLiteral(pieces, "\t", 1);
            break;
        default:
            AddLiteral(pieces, &d, 1);
            break;
        }
    }
    return true;
}

// Step 2: every argument up to the highest number used, in order.
void Fetch(std::vector<Arg>& args, va_list list) {
    int last = 0;
    for (int n = 1; n <= kMaxArg; ++n)
        if (args[n].type != ArgType::None) last = n;
    for (int n = 1; n <= last; ++n) {
        Arg& a = args[n];
        switch (a.type) {
        case ArgType::None:
            (void)va_arg(list, const void*);
            break;
        case ArgType::Text:
            a.text = va_arg(list, const char*);
            break;
        case ArgType::Int:
            a.integer = va_arg(list, int);
            break;
        case ArgType::Long:
            a.integer = va_arg(list, long);
            break;
        case ArgType::LongLong:
            a.integer = va_arg(list, long long);
            break;
        case ArgType::Size:
            a.integer = (long long)va_arg(list, size_t);
            break;
        case ArgType::IntMax:
            a.intmax = va_arg(list, intmax_t);
            break;
        case ArgType::PtrDiff:
            a.integer = va_arg(list, ptrdiff_t);
            break;
        case ArgType::Pointer:
            a.pointer = va_arg(list, const void*);
            break;
        }
    }
}

// snprintf of one insert with its width and precision arguments.
template <typename T>
int Print(char* buf, size_t size, const Insert& in, const std::vector<Arg>& args, T value) {
    const char* f = in.format.c_str();
    int w = in.width ? int(args[in.width].integer) : 0;
    int p = in.precision ? int(args[in.precision].integer) : 0;
    if (in.width && in.precision) return std::snprintf(buf, size, f, w, p, value);
    if (in.width) return std::snprintf(buf, size, f, w, value);
    if (in.precision) return std::snprintf(buf, size, f, p, value);
    return std::snprintf(buf, size, f, value);
}

int PrintInsert(char* buf, size_t size, const Insert& in, const std::vector<Arg>& args) {
    for (int star : {in.width, in.precision}) {
        long long v = star ? args[star].integer : 0;
        if (v > kMaxWidth || v < -kMaxWidth) return -1;
    }
    const Arg& a = args[in.value];
    switch (a.type) {
    case ArgType::Text:
        return Print(buf, size, in, args, a.text ? a.text : "(null)");
    case ArgType::Int:
        return Print(buf, size, in, args, int(a.integer));
    case ArgType::Long:
        return Print(buf, size, in, args, long(a.integer));
    case ArgType::LongLong:
        return Print(buf, size, in, args, a.integer);
    case ArgType::Size:
        return Print(buf, size, in, args, size_t(a.integer));
    case ArgType::IntMax:
        return Print(buf, size, in, args, a.intmax);
    case ArgType::PtrDiff:
        return Print(buf, size, in, args, ptrdiff_t(a.integer));
    case ArgType::Pointer:
        return Print(buf, size, in, args, a.pointer);
    case ArgType::None:
        break;
    }
    return -1;
}

void Append(std::string& out, const char* text, size_t n, size_t limit) {
    size_t room = limit > out.size() ? limit - out.size() : 0;
    out.append(text, n < room ? n : room);
}

// Step 3: the pieces into out, cut at limit characters.
bool render(const std::vector<Piece>& pieces, const std::vector<Arg>& args, size_t limit,
            std::string& out) {
    for (const Piece& piece : pieces) {
        if (out.size() >= limit) break;
        if (piece.insert.value == 0) {
            Append(out, piece.literal.data(), piece.literal.size(), limit);
            continue;
        }
        int needed = PrintInsert(nullptr, 0, piece.insert, args);
        if (needed < 0) return false;
        size_t room = limit - out.size();
        size_t keep = size_t(needed) < room ? size_t(needed) : room;
        std::vector<char> buf(keep + 1);
        PrintInsert(buf.data(), buf.size(), piece.insert, args);
        out.append(buf.data(), keep);
    }
    return true;
}

} // namespace

bool MsgExpand(const char* source, va_list args, size_t limit, std::string& out) {
    out.clear();
    if (!source) return false;
    std::vector<Piece> pieces;
    std::vector<Arg> values(kMaxArg + 1);
    if (!Parse(source, pieces, values)) return false;
    va_list list;
    va_copy(list, args);
    Fetch(values, list);
    va_end(list);
    return render(pieces, values, limit, out);
}
