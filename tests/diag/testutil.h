// Helpers for the diagnostics tests: a private temporary folder and the
// capture of a standard stream into a real file.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace diagtest {

// A fresh folder below the test temp area, removed with its contents.
class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("OSTRELLE_TEST_TMP");
        std::filesystem::path root =
            base && *base ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
        std::filesystem::create_directories(root);
        static unsigned counter = 0;
        std::random_device random;
        for (int tries = 0; tries < 100; ++tries) {
            std::filesystem::path p =
                root / ("diag_" + std::to_string(random()) + "_" + std::to_string(++counter));
            if (std::filesystem::create_directory(p)) {
                path_ = p;
                return;
            }
        }
        std::abort();
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteAll(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
}

// Sends stream (stdout or stderr) into a file until text() is called or the
// capture ends.
class Capture {
public:
    explicit Capture(FILE* stream) : stream_(stream), fd_(fileno(stream)) {
        std::fflush(stream_);
        file_ = dir_.file("capture");
        saved_ = dup(fd_);
        int out = open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, fd_);
        close(out);
        std::fputs("probe\n", stream_);
    }
    ~Capture() { restore(); }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    // What the stream received.  Where the system's text mode turned each LF
    // into CR LF (seen on a probe line written first), that is undone.
    std::string text() {
        restore();
        std::string raw = ReadAll(file_);
        bool translated = raw.rfind("probe\r\n", 0) == 0;
        raw.erase(0, translated ? 7 : 6);
        if (!translated) return raw;
        std::string out;
        for (size_t i = 0; i < raw.size(); ++i)
            if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')) out += raw[i];
        return out;
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stream_);
        dup2(saved_, fd_);
        close(saved_);
        saved_ = -1;
    }

    TempDir dir_;
    FILE* stream_;
    int fd_;
    int saved_ = -1;
    std::string file_;
};

} // namespace diagtest
