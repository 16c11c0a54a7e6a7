// Reading a large file line by line: the buffered line reader against the
// standard library's line readers.
#include "textutil/bgetl.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A generated text file of about 40 MB: lines of 0 to 160 characters, CR LF
// ends, in a temporary directory removed at exit.
class LineFile {
public:
    LineFile() {
        dir_ =
            fs::temp_directory_path() / ("bench_lines_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        path_ = (dir_ / "lines.txt").string();
        std::mt19937 rng(42);
        std::string block;
        std::ofstream out(path_, std::ios::binary);
        for (int i = 0; i < 500000; ++i) {
            size_t len = rng() % 161;
            std::string line(len, ' ');
            for (char& c : line) c = char('!' + rng() % 90);
            out << line << "\r\n";
            bytes_ += int64_t(len) + 2;
            ++lines_;
        }
    }
    ~LineFile() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    const char* path() const { return path_.c_str(); }
    int64_t bytes() const { return bytes_; }
    int64_t lines() const { return lines_; }

private:
    fs::path dir_;
    std::string path_;
    int64_t bytes_ = 0, lines_ = 0;
};

const LineFile& file() {
    static LineFile f;
    return f;
}

void Finish(benchmark::State& state, int64_t lines) {
    if (lines != file().lines()) state.SkipWithError("wrong line count");
    state.SetBytesProcessed(state.iterations() * file().bytes());
    state.counters["lines"] = double(lines);
}

void BM_bgetl(benchmark::State& state) {
    std::vector<char> buf(100001);
    int64_t lines = 0;
    for (auto _ : state) {
        lines = 0;
        if (bgetlopen(file().path()) != 1) state.SkipWithError("open failed");
        while (bgetl(buf.data(), int(buf.size())) >= 0) ++lines;
        bgetlclose();
        benchmark::DoNotOptimize(buf.data());
    }
    Finish(state, lines);
}
BENCHMARK(BM_bgetl)->Unit(benchmark::kMillisecond);

void BM_std_getline(benchmark::State& state) {
    std::string line;
    int64_t lines = 0;
    for (auto _ : state) {
        lines = 0;
        std::ifstream in(file().path(), std::ios::binary);
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            ++lines;
        }
        benchmark::DoNotOptimize(line.data());
    }
    Finish(state, lines);
}
BENCHMARK(BM_std_getline)->Unit(benchmark::kMillisecond);

void BM_fgets(benchmark::State& state) {
    std::vector<char> buf(100001);
    int64_t lines = 0;
    for (auto _ : state) {
        lines = 0;
        FILE* f = std::fopen(file().path(), "rb");
        if (!f) {
            state.SkipWithError("open failed");
            break;
        }
        while (std::fgets(buf.data(), int(buf.size()), f)) ++lines;
        std::fclose(f);
        benchmark::DoNotOptimize(buf.data());
    }
    Finish(state, lines);
}
BENCHMARK(BM_fgets)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
