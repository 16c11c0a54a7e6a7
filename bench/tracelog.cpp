// Cost of one trace-log line: with commits batched (the default) and with a
// commit after every line ("LogFileFlushOnEach").
#include "diag/settings.h"
#include "diag/tracelog.h"
#include "platform/commit.h"
#include "platform/rawio.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

struct LogFolder {
    std::filesystem::path dir;
    explicit LogFolder(bool flushOnEach) {
        dir = std::filesystem::temp_directory_path() / "ostrelle_bench_tracelog";
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        std::string ini = (dir / "bench.ini").string();
        SetIniPath(ini.c_str());
        WriteIniString("SYS", "LogFileFlushOnEach", flushOnEach ? "YES" : "NO", ini.c_str());
        LogTraceReset();
        LogTraceWrite("*OPENLOG", (dir / "bench.log").string().c_str(), 1);
    }
    ~LogFolder() {
        LogTraceReset();
        SetIniPath(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

void Lines(benchmark::State& state, bool flushOnEach) {
    LogFolder folder(flushOnEach);
    const std::string text(size_t(state.range(0)), 'x');
    for (auto _ : state) LogTraceWrite("Bench", text.c_str(), 1);
    state.SetItemsProcessed(state.iterations());
}

void BM_LogLineBatched(benchmark::State& state) {
    Lines(state, false);
}
void BM_LogLineFlushOnEach(benchmark::State& state) {
    Lines(state, true);
}

// The baselines: the same line written with stdio alone, and with each line
// flushed and committed.
void StdioLines(benchmark::State& state, bool commitEach) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / "ostrelle_bench_stdio";
    std::filesystem::create_directories(dir);
    FILE* f = std::fopen((dir / "bench.log").string().c_str(), "wb");
    if (!f) {
        state.SkipWithError("cannot open the file");
        return;
    }
    const std::string text(size_t(state.range(0)), 'x');
    for (auto _ : state) {
        std::fputs(text.c_str(), f);
        std::fputs("\r\n", f);
        if (commitEach) {
            std::fflush(f);
            CommitFd(RawFileNo(f));
        }
    }
    std::fclose(f);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    state.SetItemsProcessed(state.iterations());
}

void BM_StdioLine(benchmark::State& state) {
    StdioLines(state, false);
}
void BM_StdioLineCommitted(benchmark::State& state) {
    StdioLines(state, true);
}

} // namespace

BENCHMARK(BM_LogLineBatched)->Arg(40)->Arg(1000);
BENCHMARK(BM_LogLineFlushOnEach)->Arg(40);
BENCHMARK(BM_StdioLine)->Arg(40)->Arg(1000);
BENCHMARK(BM_StdioLineCommitted)->Arg(40);
BENCHMARK_MAIN();
