// Directory loaders on a generated tree: by path, by time (each file opened),
// and the tree walk with an extension filter; and the name pattern matcher.
#include "txt/ctxtarray.h"
#include "txt/namematch.h"

#include <benchmark/benchmark.h>

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// 20 folders of 100 files each (half .txt), removed at exit.
class Tree {
public:
    Tree() {
        root_ = std::filesystem::temp_directory_path() / "ostrelle-bench-dirload";
        std::filesystem::remove_all(root_);
        for (int d = 0; d < 20; ++d)
            for (int f = 0; f < 100; ++f) {
                std::filesystem::path p = root_ / ("dir" + std::to_string(d)) /
                                          ("file" + std::to_string(f) + (f % 2 ? ".txt" : ".log"));
                std::filesystem::create_directories(p.parent_path());
                std::ofstream(p) << f;
            }
    }
    ~Tree() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    std::string Path() const { return root_.generic_string(); }

private:
    std::filesystem::path root_;
};

const Tree& SharedTree() {
    static Tree tree;
    return tree;
}

void BM_LoadFromDirByPath(benchmark::State& state) {
    const std::string dir = SharedTree().Path();
    for (auto _ : state) {
        CTxtArray a;
        benchmark::DoNotOptimize(a.LoadFromDir(dir.c_str(), 1, 0, "", 0, 0));
    }
    state.SetItemsProcessed(state.iterations() * 2020);
}
BENCHMARK(BM_LoadFromDirByPath)->Unit(benchmark::kMillisecond);

void BM_LoadFromDirByWriteTime(benchmark::State& state) {
    const std::string dir = SharedTree().Path();
    for (auto _ : state) {
        CTxtArray a;
        benchmark::DoNotOptimize(a.LoadFromDirSortTimeStyle(2, dir.c_str(), 1, 0, "", 0, 0));
    }
    state.SetItemsProcessed(state.iterations() * 2020);
}
BENCHMARK(BM_LoadFromDirByWriteTime)->Unit(benchmark::kMillisecond);

void BM_FilesFromTreeTxt(benchmark::State& state) {
    const std::string dir = SharedTree().Path();
    for (auto _ : state) {
        CTxtArray a;
        benchmark::DoNotOptimize(a.LoadFromFilesFromTree(dir.c_str(), "txt", 0, 0));
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_FilesFromTreeTxt)->Unit(benchmark::kMillisecond);

void BM_NameMatch(benchmark::State& state) {
    const char* names[] = {"report-2026-12-08.TXT", "notes.txt.bak", "a", "readme.md",
                           "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab"};
    for (auto _ : state)
        for (const char* n : names) {
            benchmark::DoNotOptimize(NameMatch("*.txt", n));
            benchmark::DoNotOptimize(NameMatch("r*-?\?\?\?-*.t?t", n));
            benchmark::DoNotOptimize(NameMatch("a*a*a*a*c", n));
        }
    state.SetItemsProcessed(state.iterations() * 15);
}
BENCHMARK(BM_NameMatch);

// The baselines: the same walks with std::filesystem, and the C library's
// pattern matcher.
std::vector<std::string> TreeListing(bool withTimes, const char* extension) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(SharedTree().Path())) {
        if (extension && (!e.is_regular_file() || e.path().extension() != extension)) continue;
        std::string line = e.path().generic_string();
        if (withTimes)
            line = std::to_string(e.last_write_time().time_since_epoch().count()) + "|" + line;
        names.push_back(std::move(line));
    }
    std::sort(names.begin(), names.end());
    return names;
}

void BM_std_TreeListing(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(TreeListing(false, nullptr));
    state.SetItemsProcessed(state.iterations() * 2020);
}
BENCHMARK(BM_std_TreeListing)->Unit(benchmark::kMillisecond);

void BM_std_TreeListingByWriteTime(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(TreeListing(true, nullptr));
    state.SetItemsProcessed(state.iterations() * 2020);
}
BENCHMARK(BM_std_TreeListingByWriteTime)->Unit(benchmark::kMillisecond);

void BM_std_TreeTxtFiles(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(TreeListing(false, ".txt"));
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_std_TreeTxtFiles)->Unit(benchmark::kMillisecond);

void BM_fnmatch(benchmark::State& state) {
    const char* names[] = {"report-2026-12-08.TXT", "notes.txt.bak", "a", "readme.md",
                           "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab"};
    for (auto _ : state)
        for (const char* n : names) {
            benchmark::DoNotOptimize(fnmatch("*.txt", n, FNM_CASEFOLD));
            benchmark::DoNotOptimize(fnmatch("r*-?\?\?\?-*.t?t", n, FNM_CASEFOLD));
            benchmark::DoNotOptimize(fnmatch("a*a*a*a*c", n, FNM_CASEFOLD));
        }
    state.SetItemsProcessed(state.iterations() * 15);
}
BENCHMARK(BM_fnmatch);

} // namespace

BENCHMARK_MAIN();
