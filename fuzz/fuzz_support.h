// What the fuzz targets share: reading an input as parameters and a text, the
// check that stops a run with a message, and a private temporary folder.
#pragma once

#include <sanitizer/common_interface_defs.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

// Stops the run when cond does not hold.  The message goes to the
// sanitizer's report, which libFuzzer keeps even with the program's own
// output closed (-close_fd_mask).
#define OSTRELLE_FUZZ_CHECK(cond)                                                                  \
    do {                                                                                           \
        if (!(cond)) FuzzFail(#cond, __FILE__, __LINE__);                                          \
    } while (0)

[[noreturn]] inline void FuzzFail(const char* what, const char* file, int line) {
    char text[600];
    std::snprintf(text, sizeof text, "check failed: %s (%s:%d)", what, file, line);
    __sanitizer_report_error_summary(text);
    std::abort();
}

// An input read from the front: parameters first, then the rest as bytes.
// Past the end every parameter reads as 0, so any input is a valid one.
class CFuzzInput {
public:
    CFuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    char Char() { return char(Byte()); }
    bool Flag() { return (Byte() & 1) != 0; }
    uint16_t U16() { return uint16_t(Byte() | Byte() << 8); }
    uint32_t U32() { return uint32_t(U16()) | uint32_t(U16()) << 16; }
    uint64_t U64() { return uint64_t(U32()) | uint64_t(U32()) << 32; }
    int32_t I32() { return int32_t(U32()); }
    // A value in lo..hi (lo <= hi), small inputs giving values near lo.
    int Range(int lo, int hi) {
        const uint64_t span = uint64_t(int64_t(hi) - lo) + 1;
        return int(lo + int64_t(U32() % span));
    }
    // An int that is small most of the time and anything now and then, so
    // that both the usual and the extreme cases come up.
    int Int(int lo, int hi) { return Byte() < 224 ? Range(lo, hi) : I32(); }
    // A text of the next n bytes (n from one length byte), zero bytes kept.
    std::string Text() {
        size_t n = Byte();
        if (n > size_ - pos_) n = size_ - pos_;
        std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }
    // Everything not yet read.
    std::string Rest() {
        std::string s(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
        pos_ = size_;
        return s;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// A folder of this process's own, made at the first call (in memory where
// the system offers /dev/shm, so that file-heavy targets stay fast).
inline const std::string& FuzzTempDir() {
    // Never destroyed: the exit handler below still needs it.
    static const std::string& dir = *new std::string([] {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        std::string pattern = (base / "ostrelle-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) FuzzFail("mkdtemp", __FILE__, __LINE__);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(FuzzTempDir(), ignored);
        });
        return pattern;
    }());
    return dir;
}

// Writes bytes to a file in the private folder and returns its path.
inline std::string FuzzFile(const char* name, const std::string& bytes) {
    std::string path = FuzzTempDir() + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) FuzzFail("cannot write a temporary file", __FILE__, __LINE__);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}
