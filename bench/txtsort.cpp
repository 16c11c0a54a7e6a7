// Sorting a list of texts without regard to case: CTxtArray::Sort against
// std::sort over std::string with the same comparison.
#include "txt/ctxtarray.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// Texts of 1 to 40 characters of mixed case, letters, digits and '_'.
const std::vector<std::string>& Texts(size_t n) {
    static std::vector<std::string> all;
    if (all.size() != n) {
        all.clear();
        std::mt19937 rng(1);
        const char set[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
        for (size_t i = 0; i < n; ++i) {
            std::string s(1 + rng() % 40, ' ');
            for (char& c : s) c = set[rng() % (sizeof set - 1)];
            all.push_back(s);
        }
    }
    return all;
}

int Lowered(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

bool lessFolded(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return Lowered((unsigned char)x) < Lowered((unsigned char)y);
    });
}

void BM_CTxtArray_Sort(benchmark::State& state) {
    const auto& in = Texts(size_t(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        CTxtArray a;
        for (const std::string& s : in) a.Add(s.c_str());
        state.ResumeTiming();
        a.Sort();
        benchmark::DoNotOptimize(a.GetAtTxt(0));
        state.PauseTiming(); // the list's destruction is not part of the sort
        a.RemoveAll();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CTxtArray_Sort)->Arg(10000)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_std_sort_folded(benchmark::State& state) {
    const auto& in = Texts(size_t(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> v = in;
        state.ResumeTiming();
        std::sort(v.begin(), v.end(), lessFolded);
        benchmark::DoNotOptimize(v.data());
        state.PauseTiming();
        v.clear();
        v.shrink_to_fit();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_std_sort_folded)->Arg(10000)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
