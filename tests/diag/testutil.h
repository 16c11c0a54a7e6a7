// Helpers for the diagnostics tests: a private temporary folder and the
// capture of a standard stream into a real file.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
        std::string pattern = (root / "diagXXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
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
    }
    ~Capture() { restore(); }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    std::string text() {
        restore();
        return ReadAll(file_);
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
