// The line readers on any bytes: freadline over a file, and the buffered
// reader over a memory block and over a file with any chunk size, each line
// against the rules of its reader.
#include "fuzz_support.h"
#include "textutil/bgetl.h"
#include "textutil/strfld.h"

#include <memory>
#include <string>

namespace {

constexpr char kCtrlZ = 0x1A;

// The next line of the buffered reader by its rules (output of size bytes,
// size >= 2): LF and a zero byte end a line, CR is dropped, Ctrl-Z ends a
// line and, when nothing was stored, the input; the end of the data too.
int NextBufferedLine(const std::string& data, size_t& pos, int size, std::string& line) {
    line.clear();
    if (pos >= data.size()) return -1;
    bool byByte = false;
    while (pos < data.size()) {
        const char c = data[pos++];
        if (c == '\n' || c == '\0') {
            byByte = true;
            break;
        }
        if (c == '\r') continue;
        if (c == kCtrlZ) break;
        if (line.size() < size_t(size - 1)) line += c;
    }
    if (line.empty() && !byByte) return -1;
    return int(line.size());
}

// The next line of freadline by its rules: LF ends a line, CR ends it and
// drops one more byte; a last line without its end is delivered.
int NextRawLine(const std::string& data, size_t& pos, int size, std::string& line) {
    line.clear();
    if (pos >= data.size()) return -1;
    while (pos < data.size()) {
        const char c = data[pos++];
        if (c == '\n') break;
        if (c == '\r') {
            if (pos < data.size()) ++pos;
            break;
        }
        if (line.size() < size_t(size - 1)) line += c;
    }
    return int(line.size());
}

// Reads lines with bgetl until -1 and checks each; at most one call more
// than the data has bytes.
void CheckBuffered(const std::string& data, int size) {
    std::unique_ptr<char[]> out(new char[size_t(size)]);
    size_t pos = 0;
    std::string expect;
    for (size_t calls = 0; calls <= data.size() + 1; ++calls) {
        const int r = bgetl(out.get(), size);
        OSTRELLE_FUZZ_CHECK(r >= -1 && r < size);
        OSTRELLE_FUZZ_CHECK(std::strlen(out.get()) == size_t(r < 0 ? 0 : r));
        // Another branch reworks how an output of one byte reports a line;
        // only the bounds are checked for it.
        if (size >= 2) {
            OSTRELLE_FUZZ_CHECK(r == NextBufferedLine(data, pos, size, expect));
            OSTRELLE_FUZZ_CHECK(expect == out.get());
        }
        if (r < 0) return;
    }
    OSTRELLE_FUZZ_CHECK(size < 2); // the reader must have reached its end
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFuzzInput in(data, size);
    const int how = in.Range(0, 2);
    const int outSize = in.Range(1, 300);
    const long chunk = BGETL_MINRAM + in.Range(0, 3000);
    const std::string bytes = in.Rest();

    if (how == 0) {
        // A memory block, read once.
        if (bytes.empty()) {
            OSTRELLE_FUZZ_CHECK(bgetlmem(bytes.data(), 0) == -2);
            return 0;
        }
        OSTRELLE_FUZZ_CHECK(bgetlmem(bytes.data(), int(bytes.size())) == 0);
        CheckBuffered(bytes, outSize);
        bgetlrelease();
        return 0;
    }
    const std::string path = FuzzFile("lines.txt", bytes);
    if (how == 1) {
        // A file, in chunks of the size BGETLRAM asks for (read at the open
        // that allocates the buffer, so the buffer goes with each input).
        setenv("BGETLRAM", std::to_string(chunk).c_str(), 1);
        OSTRELLE_FUZZ_CHECK(bgetlopen(path.c_str()) == 1);
        OSTRELLE_FUZZ_CHECK(bgetlbufsize() == chunk);
        CheckBuffered(bytes, outSize);
        bgetlclose();
        return 0;
    }
    // freadline, one byte per read.
    FILE* f = std::fopen(path.c_str(), "rb");
    OSTRELLE_FUZZ_CHECK(f != nullptr);
    std::unique_ptr<char[]> out(new char[size_t(outSize)]);
    size_t pos = 0;
    std::string expect;
    for (size_t calls = 0; calls <= bytes.size() + 1; ++calls) {
        const int r = freadline(out.get(), outSize, f);
        OSTRELLE_FUZZ_CHECK(r == NextRawLine(bytes, pos, outSize, expect));
        // Zero bytes inside a line are stored like any other.
        OSTRELLE_FUZZ_CHECK(r < 0 || expect == std::string(out.get(), size_t(r)));
        if (r < 0) break;
    }
    std::fclose(f);
    return 0;
}
