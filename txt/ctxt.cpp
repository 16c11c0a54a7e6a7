#include "txt/ctxt.h"

#include "asciicase.h"
#include "platform/alloc.h"
#include "platform/msgformat.h"
#include "platform/rawio.h"
#include "platform/strres.h"
#include "textutil/strfld.h"
#include "txt/msgexpand.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

constexpr int kFormatLimit = 100000; // characters of formatted output
constexpr int kFieldBuffer = 10000;  // bytes of the strfldtxt work buffer
constexpr long kReadChunk = 65536;   // BinaryRead stages larger records in chunks

// A text length that still leaves room for the terminator, the spare byte
// and the work-buffer margins; longer texts are treated as out of memory.
int CheckedLength(size_t n) {
    if (n > size_t(INT_MAX) - 8) AfxThrowMemoryException();
    return int(n);
}

// A text buffer of exactly size bytes from the task allocator.
char* NewBuffer(size_t size) {
    void* p = TaskAlloc(size);
    if (!p) AfxThrowMemoryException();
    return static_cast<char*>(p);
}

bool EqualNoCase(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (!AsciiEqualFolded(a[i], b[i])) return false;
    return true;
}

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Releases the variable argument list on every path, throws included.
struct ArgList {
    va_list list;
    ~ArgList() { va_end(list); }
};

// Expands a message as FormatMessageA does.  Our own rules decide which
// messages are accepted: the system's service takes any "!fmt!", "%n" (a
// store through an argument) and floating point among them, and reads
// arguments as the format says, so only a message that our rules accept
// goes to it; where the platform has no such service our expansion stands.
// False when the message cannot be produced or is empty.
bool FormatMessageText(const char* source, va_list args, size_t limit, std::string& out) {
    std::string expanded;
    if (!source || !MsgExpand(source, args, limit, expanded)) return false;
    const int system = SystemMsgFormat(source, args, limit, out);
    if (system < 0) out.swap(expanded);
    return system != 0 && !out.empty();
}

} // namespace

void AfxThrowMemoryException() {
    throw CMemoryException();
}

char* CTxt::scratch_ = nullptr;

// ---- Construction, release and assignment ----------------------------------

CTxt::CTxt() {
    Reset();
}

CTxt::CTxt(const char* text) {
    Reset();
    if (text) SetTxt(text);
}

CTxt::CTxt(const CTxt& other) {
    Reset();
    if (other.data_) SetTxt(other.data_);
}

CTxt::CTxt(CTxt&& other) noexcept
    : data_(other.data_), length_(other.length_), capacity_(other.capacity_) {
    other.Reset();
}

CTxt::~CTxt() {
    Empty();
}

void CTxt::Reset() {
    data_ = nullptr;
    length_ = 0;
    capacity_ = 0;
}

void CTxt::Empty() {
    if (!data_) return;
    TaskFree(data_);
    Reset();
}

void CTxt::ReleaseBuffer() {
    Empty();
}

void CTxt::MakeEmpty() {
    if (data_) {
        data_[0] = '\0';
        length_ = 0;
    } else {
        SetTxt("");
    }
}

void CTxt::SetTxt(const char* text) {
    if (!text) {
        Empty();
        return;
    }
    SetFrom(text, CheckedLength(std::strlen(text)));
}

void CTxt::Allocate(int capacity) {
    char* p = NewBuffer(capacity > 0 ? size_t(capacity) : 1);
    Empty();
    data_ = p;
    data_[0] = '\0';
    capacity_ = capacity > 0 ? capacity : 1;
}

void CTxt::SetFrom(const char* text, int n) {
    if (data_ && capacity_ >= n + 2) {
        std::memmove(data_, text, size_t(n)); // text may lie in the own buffer
        data_[n] = '\0';
        length_ = n;
        return;
    }
    char* p = NewBuffer(size_t(n) + 2);
    std::memcpy(p, text, size_t(n)); // before the old buffer, which text may lie in, is freed
    p[n] = '\0';
    Empty();
    data_ = p;
    length_ = n;
    capacity_ = n + 2;
}

CTxt& CTxt::operator=(const CTxt& other) {
    if (other.data_ && other.data_ != data_) SetTxt(other.data_);
    return *this;
}

CTxt& CTxt::operator=(const char* text) {
    SetTxt(text);
    return *this;
}

CTxt& CTxt::operator+=(const char* text) {
    AddTxt(text);
    return *this;
}

CTxt::operator const char*() {
    if (!data_) MakeEmpty();
    return data_;
}

CTxt::operator const char*() const {
    return data_ ? data_ : "";
}

void CTxt::Shutdown() {
    delete[] scratch_;
    scratch_ = nullptr;
}

// ---- Appending and inserting ---------------------------------------------------

int CTxt::Append(const char* text, size_t n) {
    int needed = CheckedLength(size_t(length_) + n + 2);
    if (needed > capacity_) {
        char* p = NewBuffer(size_t(needed));
        if (data_) std::memcpy(p, data_, size_t(length_));
        std::memcpy(p + length_, text, n); // text may lie in the old buffer
        p[needed - 2] = '\0';
        TaskFree(data_);
        data_ = p;
        capacity_ = needed;
    } else {
        std::memmove(data_ + length_, text, n);
        data_[needed - 2] = '\0';
    }
    length_ = needed - 2;
    return length_;
}

int CTxt::AddTxt(const char* text) {
    return text ? Append(text, std::strlen(text)) : length_;
}

int CTxt::Add(char c) {
    return Append(&c, 1);
}

int CTxt::InsertAt(int pos, const char* text) {
    if (!text || !*text) return length_;
    size_t n = std::strlen(text);
    int len = data_ ? length_ : 0;
    CheckedLength(size_t(len) + n + 4);
    if (pos > len) pos = len;
    if (pos < 0) pos = 0;
    std::unique_ptr<char[]> work(new char[size_t(len) + n + 4]);
    if (pos > 0) std::memcpy(work.get(), data_, size_t(pos));
    std::memcpy(work.get() + pos, text, n);
    if (len > pos) std::memcpy(work.get() + pos + n, data_ + pos, size_t(len - pos));
    work[size_t(len) + n] = '\0';
    SetTxt(work.get());
    return length_;
}

int CTxt::InsertAt(int pos, char c) {
    const char text[2] = {c, '\0'};
    return InsertAt(pos, text);
}

// ---- Removing and trimming ---------------------------------------------------------

int CTxt::RemoveRange(int start, int count) {
    if (start < 0) return -1;
    if (start >= length_) return -2;
    if (count < 1) return -3;
    if (count > length_ - start) count = length_ - start;
    std::memmove(data_ + start, data_ + start + count, size_t(length_ - start - count) + 1);
    length_ -= count;
    return length_;
}

int CTxt::RemoveFromText(const char* pattern) {
    if (!data_ || !pattern) return length_;
    size_t n = std::strlen(pattern);
    if (n == 0) {
        SetTxt("");
        return 0;
    }
    size_t len = size_t(length_);
    std::unique_ptr<char[]> work(new char[len + 1]);
    size_t out = 0;
    for (size_t i = 0; i < len;) {
        if (i + n <= len && EqualNoCase(data_ + i, pattern, n)) {
            i += n;
        } else {
            work[out++] = data_[i++];
        }
    }
    work[out] = '\0';
    SetTxt(work.get());
    return length_;
}

template <typename Keep> int CTxt::Filter(Keep keep) {
    if (!data_) return 0;
    int out = 0;
    for (int i = 0; i < length_; ++i)
        if (keep(data_[i])) data_[out++] = data_[i];
    data_[out] = '\0';
    SetFrom(data_, int(std::strlen(data_)));
    return length_;
}

int CTxt::RemoveChar(char c) {
    return Filter([c](char x) { return x != c; });
}

int CTxt::RemoveCharList(const char* list) {
    return Filter([list](char x) { return chrindex(x, list) < 0; });
}

int CTxt::ExtractChar(const char* list) {
    return Filter([list](char x) { return chrindex(x, list) >= 0; });
}

int CTxt::TrimNum(int flag) {
    return ExtractChar(flag ? "0123456789.E+-()" : "0123456789.E+-");
}

int CTxt::Trim(char c) {
    if (!data_ || length_ <= 0) return 0;
    int end = length_;
    while (end > 0 && data_[end - 1] == c) data_[--end] = '\0';
    int start = 0;
    while (start < end && data_[start] == c) ++start;
    SetFrom(data_ + start, int(std::strlen(data_ + start)));
    return length_;
}

int CTxt::TrimRight(char c) {
    if (!data_ || length_ <= 0) return 0;
    int removed = 0;
    while (length_ > 0 && data_[length_ - 1] == c) {
        data_[--length_] = '\0';
        ++removed;
    }
    return removed;
}

void CTxt::MakeLength(int pos) {
    // A text without a buffer has nothing to cut, whatever the position.
    if (!data_ || pos >= length_) return;
    if (pos < 0) pos = 0;
    data_[pos] = '\0';
    length_ = pos;
}

// ---- Searching, access and case ---------------------------------------------------

int CTxt::FindChar(char c) const {
    if (length_ < 1) return -1;
    const void* p = std::memchr(data_, c, size_t(length_));
    return p ? int(static_cast<const char*>(p) - data_) : -2;
}

int CTxt::FindCharList(const char* list) const {
    if (length_ < 1) return -1;
    for (int i = 0; i < length_; ++i)
        if (chrindex(data_[i], list) >= 0) return i;
    return -2;
}

int CTxt::Replace(char from, char to) {
    int count = 0;
    for (int i = 0; i < length_; ++i) {
        if (data_[i] == from) {
            data_[i] = to;
            ++count;
        }
    }
    return count;
}

void CTxt::MakeUpper() {
    for (int i = 0; i < length_; ++i)
        data_[i] = char(std::toupper(static_cast<unsigned char>(data_[i])));
}

void CTxt::MakeLower() {
    for (int i = 0; i < length_; ++i)
        data_[i] = char(std::tolower(static_cast<unsigned char>(data_[i])));
}

int CTxt::FillChar(char c, int count) {
    if (count < 1) count = 1;
    CheckedLength(size_t(count));
    std::unique_ptr<char[]> work(new char[size_t(count) + 1]);
    std::memset(work.get(), c, size_t(count));
    work[count] = '\0';
    SetTxt(work.get());
    return length_;
}

void CTxt::SetTxtFixLen(const char* text, int width) {
    if (!text) text = "";
    // The blanks that pad the text to width are trimmed again, so only the
    // text's own first width characters (within the formatting limit)
    // matter: a width far beyond the text must not cost a padding of width.
    const size_t keep = width > 0 ? strnlen(text, size_t(width)) : 0;
    SetFrom(text, int(keep < size_t(kFormatLimit) ? keep : size_t(kFormatLimit)));
    TrimRight(' ');
}

int CTxt::MaskNonVar(int flag, const char* list) {
    if (length_ < 1) return -1;
    int first = -1;
    for (int i = 0; i < length_; ++i) {
        char c = data_[i];
        if (IsAsciiAlnum(c) || c == '_' || chrindex(c, list) >= 0) continue;
        if (!flag) return static_cast<signed char>(c);
        data_[i] = '_';
        if (first < 0) first = i;
    }
    return flag ? first : 0;
}

int CTxt::MaskNonPrintable() {
    int count = 0;
    for (int i = 0; i < length_; ++i) {
        unsigned char c = static_cast<unsigned char>(data_[i]);
        if (c < 0x20 || c > 0x7E) {
            data_[i] = '+';
            ++count;
        }
    }
    return count;
}

// ---- Formatting ---------------------------------------------------------------------

void CTxt::FormatV(const char* format, va_list args) {
    if (!format) {
        SetTxt("");
        return;
    }
    // Most results are short: try a small buffer before the full-size one.
    char small[512];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0) {
        SetTxt("");
        return;
    }
    if (size_t(n) < sizeof small) {
        SetFrom(small, int(std::strlen(small)));
        return;
    }
    int keep = n < kFormatLimit ? n : kFormatLimit;
    std::unique_ptr<char[]> work(new char[size_t(keep) + 1]);
    va_copy(copy, args);
    std::vsnprintf(work.get(), size_t(keep) + 1, format, copy);
    va_end(copy);
    SetTxt(work.get());
}

void CTxt::Format(const char* format, ...) {
    ArgList args;
    va_start(args.list, format);
    FormatV(format, args.list);
}

void CTxt::Format(unsigned int id, ...) {
    std::string format = LoadStringResource(id);
    ArgList args;
    va_start(args.list, id);
    FormatV(format.c_str(), args.list);
}

void CTxt::FormatMessageA(const char* source, ...) {
    std::string message;
    ArgList args;
    va_start(args.list, source);
    if (!FormatMessageText(source, args.list, kFormatLimit, message)) AfxThrowMemoryException();
    SetTxt(message.c_str());
}

void CTxt::FormatMessageA(unsigned int id, ...) {
    std::string source = LoadStringResource(id);
    std::string message;
    ArgList args;
    va_start(args.list, id);
    if (!FormatMessageText(source.c_str(), args.list, kFormatLimit, message))
        AfxThrowMemoryException();
    SetTxt(message.c_str());
}

// ---- Binary record ---------------------------------------------------------------------

int CTxt::BinarySave(FILE* file) {
    if (!file) return -1;
    int fd = RawFileNo(file);
    int n = length_ + 1;
    const unsigned char count[4] = {
        static_cast<unsigned char>(n & 0xFF), static_cast<unsigned char>((n >> 8) & 0xFF),
        static_cast<unsigned char>((n >> 16) & 0xFF), static_cast<unsigned char>((n >> 24) & 0xFF)};
    if (RawWrite(fd, count, 4) != 4) return -1;
    const char zero = '\0';
    const char* text = data_ ? data_ : &zero;
    if (RawWrite(fd, text, n) != n) return -2;
    return n + 4;
}

int CTxt::BinaryRead(FILE* file) {
    Empty();
    if (!file) return -1;
    int fd = RawFileNo(file);
    unsigned char count[4];
    if (RawRead(fd, count, 4) != 4) return -1;
    uint32_t raw = uint32_t(count[0]) | uint32_t(count[1]) << 8 | uint32_t(count[2]) << 16 |
                   uint32_t(count[3]) << 24;
    // A record always holds at least its terminator; a negative count (or one
    // that leaves no room for our own terminator) is a corrupt record.
    if (raw < 1 || raw > uint32_t(INT_MAX) - 2) return -1;
    long n = long(raw);
    std::unique_ptr<char, void (*)(void*)> buffer(nullptr, TaskFree);
    if (n <= kReadChunk) {
        buffer.reset(NewBuffer(size_t(n) + 1));
        if (RawRead(fd, buffer.get(), n) != n) return -1;
    } else {
        // Never allocate a count the file may not hold: stage what arrives.
        std::string staged;
        std::unique_ptr<char[]> chunk(new char[kReadChunk]);
        while (long(staged.size()) < n) {
            long want = n - long(staged.size());
            if (want > kReadChunk) want = kReadChunk;
            long got = RawRead(fd, chunk.get(), want);
            if (got != want) return -1;
            staged.append(chunk.get(), size_t(got));
        }
        buffer.reset(NewBuffer(size_t(n) + 1));
        std::memcpy(buffer.get(), staged.data(), size_t(n));
    }
    // The record's last byte is its terminator and no byte before it is a
    // zero: otherwise count and text disagree, and the length would not be
    // the text's.
    if (std::memchr(buffer.get(), 0, size_t(n)) != buffer.get() + n - 1) return -1;
    buffer.get()[n] = '\0';
    data_ = buffer.release();
    capacity_ = int(n) + 1;
    length_ = int(n) - 1;
    return 0;
}

// ---- Field extraction ---------------------------------------------------------------------

int strfldtxt(const char* text, char delimiter, int first, int last, CTxt* target) {
    std::unique_ptr<char[]> work(new char[kFieldBuffer]);
    int result = strfld(text, delimiter, first, last, work.get(), kFieldBuffer);
    if (target) *target = work.get();
    return result;
}
