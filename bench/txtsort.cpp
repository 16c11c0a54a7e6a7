// Sorting a list of texts without regard to case: CTxtArray::Sort against
// std::sort over std::string with the same comparison.  The program counts
// the bytes it has taken with operator new, so that the sort's extra memory
// at its peak is measured too.
#include "txt/ctxtarray.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

// Bytes taken with operator new and not yet given back, and the most there
// were since the last ResetPeak.
std::atomic<int64_t> liveBytes{0}, peakBytes{0};

// Each block carries its size in front of it.
constexpr size_t kHeader = alignof(std::max_align_t);

void* Take(size_t n) {
    char* p = static_cast<char*>(std::malloc(n + kHeader));
    if (!p) return nullptr;
    *reinterpret_cast<size_t*>(p) = n;
    const int64_t live = liveBytes += int64_t(n);
    for (int64_t peak = peakBytes; live > peak && !peakBytes.compare_exchange_weak(peak, live);) {
    }
    return p + kHeader;
}

void Give(void* q) {
    if (!q) return;
    char* p = static_cast<char*>(q) - kHeader;
    liveBytes -= int64_t(*reinterpret_cast<size_t*>(p));
    std::free(p);
}

void ResetPeak() {
    peakBytes = liveBytes.load();
}

} // namespace

void* operator new(size_t n) {
    if (void* p = Take(n)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n) {
    return operator new(n);
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    return Take(n);
}
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
    return Take(n);
}
void operator delete(void* p) noexcept {
    Give(p);
}
void operator delete[](void* p) noexcept {
    Give(p);
}
void operator delete(void* p, size_t) noexcept {
    Give(p);
}
void operator delete[](void* p, size_t) noexcept {
    Give(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Give(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Give(p);
}

namespace {

// Texts of 1 to maxLength characters of mixed case, letters, digits and '_'.
const std::vector<std::string>& Texts(size_t n, size_t maxLength = 40) {
    static std::vector<std::string> all;
    static size_t allLength = 0;
    if (all.size() != n || allLength != maxLength) {
        all.clear();
        allLength = maxLength;
        std::mt19937 rng(1);
        const char set[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
        for (size_t i = 0; i < n; ++i) {
            std::string s(1 + rng() % maxLength, ' ');
            for (char& c : s) c = set[rng() % (sizeof set - 1)];
            all.push_back(s);
        }
    }
    return all;
}

int Lowered(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

bool LessFolded(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return Lowered((unsigned char)x) < Lowered((unsigned char)y);
    });
}

// state.range(0) texts of up to state.range(1) characters.  Besides the
// time it reports the most extra memory the sort had at once, in all and per
// text: it must not grow with the texts' lengths.
void BM_CTxtArray_Sort(benchmark::State& state) {
    const auto& in = Texts(size_t(state.range(0)), size_t(state.range(1)));
    int64_t extra = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CTxtArray a;
        for (const std::string& s : in) a.Add(s.c_str());
        const int64_t before = liveBytes;
        ResetPeak();
        state.ResumeTiming();
        a.Sort();
        benchmark::DoNotOptimize(a.GetAtTxt(0));
        state.PauseTiming(); // the list's destruction is not part of the sort
        extra = std::max(extra, peakBytes - before);
        a.RemoveAll();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["peak_extra_bytes"] = double(extra);
    state.counters["extra_bytes_per_text"] = double(extra) / double(state.range(0));
}
BENCHMARK(BM_CTxtArray_Sort)
    ->Args({10000, 40})
    ->Args({200000, 40})
    ->Args({1000000, 40})
    ->Args({1000000, 400})
    ->Unit(benchmark::kMillisecond);

void BM_std_sort_folded(benchmark::State& state) {
    const auto& in = Texts(size_t(state.range(0)), size_t(state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> v = in;
        state.ResumeTiming();
        std::sort(v.begin(), v.end(), LessFolded);
        benchmark::DoNotOptimize(v.data());
        state.PauseTiming();
        v.clear();
        v.shrink_to_fit();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_std_sort_folded)
    ->Args({10000, 40})
    ->Args({200000, 40})
    ->Args({1000000, 40})
    ->Args({1000000, 400})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
