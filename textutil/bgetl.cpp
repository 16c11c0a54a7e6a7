#include "textutil/bgetl.h"

#include "platform/fileinfo.h"
#include "textutil/strfld.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};
struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

// The one reader of the process.
struct Reader {
    std::unique_ptr<char, FreeDeleter> owned; // file mode: our chunk buffer
    const char* data = nullptr;               // the buffer being read (ours or the caller's)
    size_t capacity = 0;
    size_t valid = 0;    // bytes of the buffer filled by the last read
    size_t position = 0; // next byte to read
    int64_t offset = 0;  // file bytes before the buffer's first byte
    int64_t total = 0;   // file bytes read so far
    int64_t inputSize = 0;
    std::unique_ptr<FILE, FileCloser> file;

    // Drops a memory block (never ours to free) and every counter; keeps an
    // owned buffer.
    void forgetBlock() {
        if (!owned) {
            data = nullptr;
            capacity = 0;
        }
        valid = position = 0;
        offset = total = inputSize = 0;
    }
};

Reader& ActiveReader() {
    static Reader r;
    return r;
}

constexpr char kCtrlZ = 0x1A;

// Buffer size from BGETLRAM, within the reader's limits.
size_t configuredSize() {
    const char* env = std::getenv("BGETLRAM");
    if (!env) return size_t(BGETL_DEFRAM);
    // strtoll saturates where atol would overflow (long has 32 bits on
    // Windows, so "99999999999999" must not wrap to a small size).
    long long n = std::strtoll(env, nullptr, 10);
    return size_t(std::clamp<long long>(n, BGETL_MINRAM, BGETL_MAXRAM));
}

bool Allocate(Reader& r, const char* path) {
    size_t want = configuredSize();
    char* p = static_cast<char*>(std::malloc(want));
    if (!p) {
        // Not enough for the configured size: the file's own size will do.
        int64_t fs = filesize(path);
        if (fs < 1) return false;
        want = size_t(std::min<int64_t>(fs, BGETL_MAXRAM));
        p = static_cast<char*>(std::malloc(want));
        if (!p) return false;
    }
    r.owned.reset(p);
    r.data = p;
    r.capacity = want;
    return true;
}

// Reads the next chunk of the file into the start of the buffer; false when
// nothing more comes (memory mode, end of file, read error).
bool Refill(Reader& r) {
    if (!r.file || !r.owned) return false;
    r.offset += int64_t(r.valid);
    size_t n = std::fread(r.owned.get(), 1, r.capacity, r.file.get());
    r.valid = n;
    r.total += int64_t(n);
    r.position = 0;
    return n > 0;
}

// Word-at-a-time test for any of the four bytes that end or alter a line.
constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kHighs = 0x8080808080808080ULL;

inline uint64_t zeroBytes(uint64_t v) {
    return (v - kOnes) & ~v & kHighs;
}

inline bool hasSpecial(uint64_t w) {
    return (zeroBytes(w) | zeroBytes(w ^ (kOnes * '\n')) | zeroBytes(w ^ (kOnes * '\r')) |
            zeroBytes(w ^ (kOnes * uint64_t(kCtrlZ)))) != 0;
}

inline bool hasBelow1B(uint64_t w) {
    return ((w - kOnes * 0x1B) & ~w & kHighs) != 0;
}

inline bool isSpecial(char c) {
    return c == '\n' || c == '\0' || c == '\r' || c == kCtrlZ;
}

// First LF, NUL, CR or Ctrl-Z in [p, end), or end.
const char* findSpecial(const char* p, const char* end) {
    while (end - p >= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        // All four are below 0x1B: a word without such a byte is skipped at
        // the cost of one test; other control bytes get the exact test.
        if (hasBelow1B(w) && hasSpecial(w)) break;
        p += 8;
    }
    while (p < end && !isSpecial(*p)) ++p;
    return p;
}

enum class LineEnd { Byte, CtrlZ, Drained };

} // namespace

int bgetlopen(const char* path) {
    Reader& r = ActiveReader();
    r.file.reset();
    r.forgetBlock();
    if (!r.owned && !Allocate(r, path)) return -2;
    if (!path) return 0;
    r.file.reset(std::fopen(path, "rb"));
    if (!r.file) return 0;
    r.inputSize = filesize(path);
    r.valid = std::fread(r.owned.get(), 1, r.capacity, r.file.get());
    r.total = int64_t(r.valid);
    r.offset = 0;
    r.position = 0;
    return 1;
}

int bgetl(char* out, int size) {
    if (!out || size < 1) return -1;
    out[0] = '\0';
    Reader& r = ActiveReader();
    if (!r.data) return -1;
    if (r.position >= r.valid && r.total >= r.inputSize) return -1;

    const size_t room = size_t(size) - 1;
    size_t stored = 0;
    LineEnd how = LineEnd::Drained;
    for (;;) {
        if (r.position >= r.valid && !Refill(r)) break;
        const char* p = r.data + r.position;
        const char* end = r.data + r.valid;
        const char* stop = findSpecial(p, end);
        size_t run = size_t(stop - p);
        size_t take = std::min(run, room - stored);
        std::memcpy(out + stored, p, take);
        stored += take;
        r.position += run;
        if (stop == end) continue; // the line goes on in the next chunk
        ++r.position;
        if (*stop == '\r') continue;
        how = *stop == kCtrlZ ? LineEnd::CtrlZ : LineEnd::Byte;
        break;
    }
    out[stored] = '\0';
    if (stored == 0 && how != LineEnd::Byte) return -1;
    return int(stored);
}

void bgetlclose() {
    Reader& r = ActiveReader();
    r.file.reset();
    r.owned.reset();
    r.data = nullptr;
    r.capacity = 0;
    r.forgetBlock();
}

int bgetlmem(const char* block, int length) {
    if (!block) return -1;
    if (length <= 0) return -2;
    Reader& r = ActiveReader();
    if (r.file || r.owned) bgetlclose();
    r.data = block;
    r.capacity = r.valid = size_t(length);
    r.total = r.inputSize = length;
    r.offset = 0;
    r.position = 0;
    return 0;
}

void bgetlrelease() {
    Reader& r = ActiveReader();
    if (r.owned) {
        // A file was being read: its buffer is ours, so close properly.
        bgetlclose();
        return;
    }
    r.forgetBlock();
}

long bgetlbufsize() {
    return long(ActiveReader().capacity);
}

int64_t filesize(const char* path) {
    if (!path || !*path) return -2;
    FileInfo info;
    if (!GetFileInfo(path, info)) return -1;
    return info.size;
}

int64_t filetime(const char* path) {
    if (!path) return -1;
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\') name = p + 1;
    if (strcmpci(name, "NUL", 1) == 0) return 0;
    FileInfo info;
    if (!GetFileInfo(path, info)) return -1;
    return info.modified;
}
