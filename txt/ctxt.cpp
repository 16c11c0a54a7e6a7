#include "txt/ctxt.h"

#include "platform/alloc.h"
#include "platform/msgformat.h"
#include "platform/rawio.h"
#include "platform/strres.h"
#include "textutil/strfld.h"

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
int checkedLength(size_t n) {
    if (n > size_t(INT_MAX) - 8) AfxThrowMemoryException();
    return int(n);
}

// A text buffer of exactly size bytes from the task allocator.
char* newBuffer(size_t size) {
    void* p = taskalloc(size);
    if (!p) AfxThrowMemoryException();
    return static_cast<char*>(p);
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool equalNoCase(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

bool isAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Releases the variable argument list on every path, throws included.
struct ArgList {
    va_list list;
    ~ArgList() { va_end(list); }
};

} // namespace

void AfxThrowMemoryException() {
    throw CMemoryException();
}

char* CTxt::s_pScratch = nullptr;

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
    if (other.m_pData) SetTxt(other.m_pData);
}

CTxt::CTxt(CTxt&& other) noexcept
    : m_pData(other.m_pData), m_nLength(other.m_nLength), m_nCapacity(other.m_nCapacity) {
    other.Reset();
}

CTxt::~CTxt() {
    Empty();
}

void CTxt::Reset() {
    m_pData = nullptr;
    m_nLength = 0;
    m_nCapacity = 0;
}

void CTxt::Empty() {
    if (!m_pData) return;
    taskfree(m_pData);
    Reset();
}

void CTxt::ReleaseBuffer() {
    Empty();
}

void CTxt::MakeEmpty() {
    if (m_pData) {
        m_pData[0] = '\0';
        m_nLength = 0;
    } else {
        SetTxt("");
    }
}

void CTxt::SetTxt(const char* text) {
    if (!text) {
        Empty();
        return;
    }
    SetFrom(text, checkedLength(std::strlen(text)));
}

void CTxt::Allocate(int capacity) {
    char* p = newBuffer(capacity > 0 ? size_t(capacity) : 1);
    Empty();
    m_pData = p;
    m_pData[0] = '\0';
    m_nCapacity = capacity > 0 ? capacity : 1;
}

void CTxt::SetFrom(const char* text, int n) {
    if (m_pData && m_nCapacity >= n + 2) {
        std::memmove(m_pData, text, size_t(n)); // text may lie in the own buffer
        m_pData[n] = '\0';
        m_nLength = n;
        return;
    }
    char* p = newBuffer(size_t(n) + 2);
    std::memcpy(p, text, size_t(n)); // before the old buffer, which text may lie in, is freed
    p[n] = '\0';
    Empty();
    m_pData = p;
    m_nLength = n;
    m_nCapacity = n + 2;
}

CTxt& CTxt::operator=(const CTxt& other) {
    if (other.m_pData && other.m_pData != m_pData) SetTxt(other.m_pData);
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
    if (!m_pData) MakeEmpty();
    return m_pData;
}

CTxt::operator const char*() const {
    return m_pData ? m_pData : "";
}

void CTxt::Shutdown() {
    delete[] s_pScratch;
    s_pScratch = nullptr;
}

// ---- Appending and inserting ---------------------------------------------------

int CTxt::Append(const char* text, size_t n) {
    int needed = checkedLength(size_t(m_nLength) + n + 2);
    if (needed > m_nCapacity) {
        char* p = newBuffer(size_t(needed));
        if (m_pData) std::memcpy(p, m_pData, size_t(m_nLength));
        std::memcpy(p + m_nLength, text, n); // text may lie in the old buffer
        p[needed - 2] = '\0';
        taskfree(m_pData);
        m_pData = p;
        m_nCapacity = needed;
    } else {
        std::memmove(m_pData + m_nLength, text, n);
        m_pData[needed - 2] = '\0';
    }
    m_nLength = needed - 2;
    return m_nLength;
}

int CTxt::AddTxt(const char* text) {
    return text ? Append(text, std::strlen(text)) : m_nLength;
}

int CTxt::Add(char c) {
    return Append(&c, 1);
}

int CTxt::InsertAt(int pos, const char* text) {
    if (!text || !*text) return m_nLength;
    size_t n = std::strlen(text);
    int len = m_pData ? m_nLength : 0;
    checkedLength(size_t(len) + n + 4);
    if (pos > len) pos = len;
    if (pos < 0) pos = 0;
    std::unique_ptr<char[]> work(new char[size_t(len) + n + 4]);
    if (pos > 0) std::memcpy(work.get(), m_pData, size_t(pos));
    std::memcpy(work.get() + pos, text, n);
    if (len > pos) std::memcpy(work.get() + pos + n, m_pData + pos, size_t(len - pos));
    work[size_t(len) + n] = '\0';
    SetTxt(work.get());
    return m_nLength;
}

int CTxt::InsertAt(int pos, char c) {
    const char text[2] = {c, '\0'};
    return InsertAt(pos, text);
}

// ---- Removing and trimming ---------------------------------------------------------

int CTxt::RemoveRange(int start, int count) {
    if (start < 0) return -1;
    if (start >= m_nLength) return -2;
    if (count < 1) return -3;
    if (count > m_nLength - start) count = m_nLength - start;
    std::memmove(m_pData + start, m_pData + start + count, size_t(m_nLength - start - count) + 1);
    m_nLength -= count;
    return m_nLength;
}

int CTxt::RemoveFromText(const char* pattern) {
    if (!m_pData || !pattern) return m_nLength;
    size_t n = std::strlen(pattern);
    if (n == 0) {
        SetTxt("");
        return 0;
    }
    size_t len = size_t(m_nLength);
    std::unique_ptr<char[]> work(new char[len + 1]);
    size_t out = 0;
    for (size_t i = 0; i < len;) {
        if (i + n <= len && equalNoCase(m_pData + i, pattern, n)) {
            i += n;
        } else {
            work[out++] = m_pData[i++];
        }
    }
    work[out] = '\0';
    SetTxt(work.get());
    return m_nLength;
}

template <typename Keep> int CTxt::Filter(Keep keep) {
    if (!m_pData) return 0;
    int out = 0;
    for (int i = 0; i < m_nLength; ++i)
        if (keep(m_pData[i])) m_pData[out++] = m_pData[i];
    m_pData[out] = '\0';
    SetFrom(m_pData, int(std::strlen(m_pData)));
    return m_nLength;
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
    if (!m_pData || m_nLength <= 0) return 0;
    int end = m_nLength;
    while (end > 0 && m_pData[end - 1] == c) m_pData[--end] = '\0';
    int start = 0;
    while (start < end && m_pData[start] == c) ++start;
    SetFrom(m_pData + start, int(std::strlen(m_pData + start)));
    return m_nLength;
}

int CTxt::TrimRight(char c) {
    if (!m_pData || m_nLength <= 0) return 0;
    int removed = 0;
    while (m_nLength > 0 && m_pData[m_nLength - 1] == c) {
        m_pData[--m_nLength] = '\0';
        ++removed;
    }
    return removed;
}

void CTxt::MakeLength(int pos) {
    // A text without a buffer has nothing to cut, whatever the position.
    if (!m_pData || pos >= m_nLength) return;
    if (pos < 0) pos = 0;
    m_pData[pos] = '\0';
    m_nLength = pos;
}

// ---- Searching, access and case ---------------------------------------------------

int CTxt::FindChar(char c) const {
    if (m_nLength < 1) return -1;
    const void* p = std::memchr(m_pData, c, size_t(m_nLength));
    return p ? int(static_cast<const char*>(p) - m_pData) : -2;
}

int CTxt::FindCharList(const char* list) const {
    if (m_nLength < 1) return -1;
    for (int i = 0; i < m_nLength; ++i)
        if (chrindex(m_pData[i], list) >= 0) return i;
    return -2;
}

int CTxt::Replace(char from, char to) {
    int count = 0;
    for (int i = 0; i < m_nLength; ++i) {
        if (m_pData[i] == from) {
            m_pData[i] = to;
            ++count;
        }
    }
    return count;
}

void CTxt::MakeUpper() {
    for (int i = 0; i < m_nLength; ++i)
        m_pData[i] = char(std::toupper(static_cast<unsigned char>(m_pData[i])));
}

void CTxt::MakeLower() {
    for (int i = 0; i < m_nLength; ++i)
        m_pData[i] = char(std::tolower(static_cast<unsigned char>(m_pData[i])));
}

int CTxt::FillChar(char c, int count) {
    if (count < 1) count = 1;
    checkedLength(size_t(count));
    std::unique_ptr<char[]> work(new char[size_t(count) + 1]);
    std::memset(work.get(), c, size_t(count));
    work[count] = '\0';
    SetTxt(work.get());
    return m_nLength;
}

void CTxt::SetTxtFixLen(const char* text, int width) {
    if (width < 0) width = 0;
    Format("%-*.*s", width, width, text ? text : "");
    TrimRight(' ');
}

int CTxt::MaskNonVar(int flag, const char* list) {
    if (m_nLength < 1) return -1;
    int first = -1;
    for (int i = 0; i < m_nLength; ++i) {
        char c = m_pData[i];
        if (isAsciiAlnum(c) || c == '_' || chrindex(c, list) >= 0) continue;
        if (!flag) return static_cast<signed char>(c);
        m_pData[i] = '_';
        if (first < 0) first = i;
    }
    return flag ? first : 0;
}

int CTxt::MaskNonPrintable() {
    int count = 0;
    for (int i = 0; i < m_nLength; ++i) {
        unsigned char c = static_cast<unsigned char>(m_pData[i]);
        if (c < 0x20 || c > 0x7E) {
            m_pData[i] = '+';
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
    std::string format = loadstring(id);
    ArgList args;
    va_start(args.list, id);
    FormatV(format.c_str(), args.list);
}

void CTxt::FormatMessageA(const char* source, ...) {
    std::string message;
    ArgList args;
    va_start(args.list, source);
    if (!msgformat(source, args.list, kFormatLimit, message)) AfxThrowMemoryException();
    SetTxt(message.c_str());
}

void CTxt::FormatMessageA(unsigned int id, ...) {
    std::string source = loadstring(id);
    std::string message;
    ArgList args;
    va_start(args.list, id);
    if (!msgformat(source.c_str(), args.list, kFormatLimit, message)) AfxThrowMemoryException();
    SetTxt(message.c_str());
}

// ---- Binary record ---------------------------------------------------------------------

int CTxt::BinarySave(FILE* file) {
    if (!file) return -1;
    int fd = rawfileno(file);
    int n = m_nLength + 1;
    const unsigned char count[4] = {
        static_cast<unsigned char>(n & 0xFF), static_cast<unsigned char>((n >> 8) & 0xFF),
        static_cast<unsigned char>((n >> 16) & 0xFF), static_cast<unsigned char>((n >> 24) & 0xFF)};
    if (rawwrite(fd, count, 4) != 4) return -1;
    const char zero = '\0';
    const char* text = m_pData ? m_pData : &zero;
    if (rawwrite(fd, text, n) != n) return -2;
    return n + 4;
}

int CTxt::BinaryRead(FILE* file) {
    Empty();
    if (!file) return -1;
    int fd = rawfileno(file);
    unsigned char count[4];
    if (rawread(fd, count, 4) != 4) return -1;
    uint32_t raw = uint32_t(count[0]) | uint32_t(count[1]) << 8 | uint32_t(count[2]) << 16 |
                   uint32_t(count[3]) << 24;
    // A record always holds at least its terminator; a negative count (or one
    // that leaves no room for our own terminator) is a corrupt record.
    if (raw < 1 || raw > uint32_t(INT_MAX) - 2) return -1;
    long n = long(raw);
    std::unique_ptr<char, void (*)(void*)> buffer(nullptr, taskfree);
    if (n <= kReadChunk) {
        buffer.reset(newBuffer(size_t(n) + 1));
        if (rawread(fd, buffer.get(), n) != n) return -1;
    } else {
        // Never allocate a count the file may not hold: stage what arrives.
        std::string staged;
        std::unique_ptr<char[]> chunk(new char[kReadChunk]);
        while (long(staged.size()) < n) {
            long want = n - long(staged.size());
            if (want > kReadChunk) want = kReadChunk;
            long got = rawread(fd, chunk.get(), want);
            if (got != want) return -1;
            staged.append(chunk.get(), size_t(got));
        }
        buffer.reset(newBuffer(size_t(n) + 1));
        std::memcpy(buffer.get(), staged.data(), size_t(n));
    }
    buffer.get()[n] = '\0';
    m_pData = buffer.release();
    m_nCapacity = int(n) + 1;
    m_nLength = int(n) - 1;
    return 0;
}

// ---- Field extraction ---------------------------------------------------------------------

int strfldtxt(const char* text, char delimiter, int first, int last, CTxt* target) {
    std::unique_ptr<char[]> work(new char[kFieldBuffer]);
    int result = strfld(text, delimiter, first, last, work.get(), kFieldBuffer);
    if (target) *target = work.get();
    return result;
}
