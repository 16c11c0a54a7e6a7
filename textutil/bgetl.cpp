#include "textutil/bgetl.h"

#include "platform/fileinfo.h"
#include "textutil/fileptr.h"
#include "textutil/strfld.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
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
    FilePtr file;

    // Drops a memory block (never ours to free) and every counter; keeps an
    // owned buffer.
    void ForgetBlock() {
        if (!owned) {
            data = nullptr;
            capacity = 0;
        }
        valid = position = 0;
        offset = total = inputSize = 0;
    }
};

// Constant-initialised, so the hot path pays no first-use test.
constinit Reader activeReader;

Reader& ActiveReader() {
    return activeReader;
}

constexpr char kCtrlZ = 0x1A;

// Buffer size from BGETLRAM, within the reader's limits.
size_t ConfiguredSize() {
    const char* env = std::getenv("BGETLRAM");
    if (!env) return size_t(BGETL_DEFRAM);
    // strtoll saturates where atol would overflow (long has 32 bits on
    // Windows, so "99999999999999" must not wrap to a small size).
    long long n = std::strtoll(env, nullptr, 10);
    return size_t(std::clamp<long long>(n, BGETL_MINRAM, BGETL_MAXRAM));
}

bool Allocate(Reader& r, const char* path) {
    size_t want = ConfiguredSize();
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

// The four bytes that end or alter a line: LF, NUL, CR and Ctrl-Z.
inline bool IsSpecial(char c) {
    return c == '\n' || c == '\0' || c == '\r' || c == kCtrlZ;
}

// All four lie at or below Ctrl-Z: one compare finds the candidates, and
// ordinary text has no other bytes that low, so a block without any is
// passed at once and the first candidate is nearly always the line's end.
constexpr size_t kBlock = 32;

#if defined(__SSE2__)
// Two 16-byte vectors.
struct Block {
    __m128i lo, hi;
};

inline Block LoadBlock(const char* p) {
    return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16))};
}

inline void StoreBlock(char* p, const Block& b) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), b.lo);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), b.hi);
}

// Bit i set where byte i is at or below Ctrl-Z.
inline unsigned Candidates(const Block& b) {
    const __m128i low = _mm_set1_epi8(kCtrlZ);
    const __m128i lo = _mm_cmpeq_epi8(_mm_min_epu8(b.lo, low), b.lo);
    const __m128i hi = _mm_cmpeq_epi8(_mm_min_epu8(b.hi, low), b.hi);
    return unsigned(_mm_movemask_epi8(lo)) | unsigned(_mm_movemask_epi8(hi)) << 16;
}
#else
// Without vector compares: the same steps a byte at a time, only slower.
struct Block {
    char b[kBlock];
};

inline Block LoadBlock(const char* p) {
    Block b;
    std::memcpy(b.b, p, kBlock);
    return b;
}

inline void StoreBlock(char* p, const Block& b) {
    std::memcpy(p, b.b, kBlock);
}

inline unsigned Candidates(const Block& b) {
    unsigned m = 0;
    for (size_t i = 0; i < kBlock; ++i) m |= unsigned(uint8_t(b.b[i]) <= uint8_t(kCtrlZ)) << i;
    return m;
}
#endif

// Index of the first special byte among the candidates m of the block read
// at p, or kBlock when none is special.
inline size_t FirstSpecial(unsigned m, const char* p) {
    for (; m != 0; m &= m - 1) {
        const int i = std::countr_zero(m);
        if (IsSpecial(p[i])) return size_t(i);
    }
    return kBlock;
}

// Stores n bytes of the line, the block b read at p, at out + stored while
// room lasts.  With a whole block of room left the block is stored at once:
// the bytes it writes past the line lie inside out, behind what the line
// will hold, and are overwritten or left behind the terminator.
inline void Keep(const Block& b, const char* p, size_t n, char* out, size_t& stored, size_t room) {
    if (room - stored >= kBlock) {
        StoreBlock(out + stored, b);
        stored += n;
    } else {
        const size_t take = std::min(n, room - stored);
        std::memcpy(out + stored, p, take);
        stored += take;
    }
}

// Copies the bytes of [p, end) before the first special byte into out +
// stored while fewer than room are stored, and returns the special byte's
// address, or end.  Never reads outside [p, end): a caller's memory block
// may end anywhere.
inline const char* ScanLine(const char* p, const char* end, char* out, size_t& stored,
                            size_t room) {
    // The step is a constant until a special byte turns up, so the loads
    // do not wait for the masks.
    while (size_t(end - p) >= kBlock) {
        const Block b = LoadBlock(p);
        if (const unsigned m = Candidates(b)) {
            const size_t n = FirstSpecial(m, p);
            if (n < kBlock) {
                Keep(b, p, n, out, stored, room);
                return p + n;
            }
        }
        Keep(b, p, kBlock, out, stored, room);
        p += kBlock;
    }
    if (p == end) return end;
    // The last few bytes, padded with a byte that is not special.
    const size_t left = size_t(end - p);
    char tail[kBlock];
    std::memset(tail, 'A', kBlock);
    std::memcpy(tail, p, left);
    const Block b = LoadBlock(tail);
    const size_t n = std::min(FirstSpecial(Candidates(b), tail), left);
    Keep(b, p, n, out, stored, room);
    return p + n;
}

enum class LineEnd { Byte, CtrlZ, Drained };

} // namespace

int bgetlopen(const char* path) {
    Reader& r = ActiveReader();
    r.file.reset();
    r.ForgetBlock();
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

    // The state is kept in locals: out is a char pointer and may alias
    // anything, so the compiler would reload members after every copy.
    const size_t room = size_t(size) - 1;
    size_t stored = 0;
    bool held = false; // the line held a character other than CR
    LineEnd how = LineEnd::Drained;
    const char* data = r.data;
    size_t position = r.position;
    size_t valid = r.valid;
    for (;;) {
        if (position >= valid) {
            r.position = position;
            if (!Refill(r)) break;
            data = r.data, position = 0, valid = r.valid;
        }
        const char* p = data + position;
        const char* stop = ScanLine(p, data + valid, out, stored, room);
        const size_t run = size_t(stop - p);
        held = held || run > 0;
        position += run;
        if (position == valid) continue; // the line goes on in the next chunk
        ++position;
        const char c = *stop;
        if (c == '\r') {
            // CR LF, the usual line end, without another search.
            if (position < valid && data[position] == '\n') {
                ++position;
                how = LineEnd::Byte;
                break;
            }
            continue;
        }
        how = c == kCtrlZ ? LineEnd::CtrlZ : LineEnd::Byte;
        break;
    }
    r.position = position;
    out[stored] = '\0';
    // Only a line that held nothing reads as the end; a line cut to nothing
    // (an output of one byte) is an empty text like any cut line.
    if (!held && how != LineEnd::Byte) return -1;
    return int(stored);
}

void bgetlclose() {
    Reader& r = ActiveReader();
    r.file.reset();
    r.owned.reset();
    r.data = nullptr;
    r.capacity = 0;
    r.ForgetBlock();
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
    r.ForgetBlock();
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
