// Reading a large file line by line: the buffered line reader against the
// standard library's line readers and a bare line count.
#include "platform/rawio.h"
#include "textutil/bgetl.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A generated text file of 200 MB: lines of 0 to 160 characters, CR LF
// ends, in a temporary directory removed at exit.  Writing it leaves it in
// the page cache, so every reader below reads from memory.
class LineFile {
public:
    LineFile() {
        dir_ =
            fs::temp_directory_path() / ("bench_lines_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        path_ = (dir_ / "lines.txt").string();
        std::mt19937 rng(42);
        // Line texts are slices of one random pool, which keeps the 200 MB
        // quick to make.
        std::string pool(1 << 16, ' ');
        for (char& c : pool) c = char('!' + rng() % 90);
        std::string chunk;
        std::ofstream out(path_, std::ios::binary);
        while (bytes_ < kFileBytes) {
            const size_t len = rng() % 161;
            chunk.append(pool, rng() % (pool.size() - len), len);
            chunk += "\r\n";
            bytes_ += int64_t(len) + 2;
            ++lines_;
            if (chunk.size() >= (1 << 20)) {
                out << chunk;
                chunk.clear();
            }
        }
        out << chunk;
    }
    ~LineFile() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    const char* Path() const { return path_.c_str(); }
    int64_t Bytes() const { return bytes_; }
    int64_t Lines() const { return lines_; }

private:
    static constexpr int64_t kFileBytes = 200'000'000;
    fs::path dir_;
    std::string path_;
    int64_t bytes_ = 0, lines_ = 0;
};

const LineFile& file() {
    static LineFile f;
    return f;
}

void Finish(benchmark::State& state, int64_t lines) {
    if (lines != file().Lines()) state.SkipWithError("wrong line count");
    state.SetBytesProcessed(state.iterations() * file().Bytes());
    state.counters["lines"] = double(lines);
}

void BM_bgetl(benchmark::State& state) {
    std::vector<char> buf(100001);
    int64_t lines = 0;
    for (auto _ : state) {
        lines = 0;
        if (bgetlopen(file().Path()) != 1) state.SkipWithError("open failed");
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
        std::ifstream in(file().Path(), std::ios::binary);
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
        FILE* f = std::fopen(file().Path(), "rb");
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

// What `wc -l` does: 1 MB reads and memchr for the line feeds.  A reader
// cannot beat it by much, so it is the yardstick.
void BM_memchr_count(benchmark::State& state) {
    std::vector<char> buf(1 << 20);
    int64_t lines = 0;
    for (auto _ : state) {
        lines = 0;
        FILE* f = std::fopen(file().Path(), "rb");
        if (!f) {
            state.SkipWithError("open failed");
            break;
        }
        const int fd = RawFileNo(f);
        for (long n; (n = RawRead(fd, buf.data(), long(buf.size()))) > 0;) {
            const char* p = buf.data();
            const char* end = p + n;
            while ((p = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p))))) {
                ++lines;
                ++p;
            }
        }
        std::fclose(f);
    }
    Finish(state, lines);
}
BENCHMARK(BM_memchr_count)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
