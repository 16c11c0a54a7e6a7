// CVKTDateTime conversions and shifts against the same work done with std::chrono.
#include <chrono>
#include <cmath>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "datetime/vktdatetime.h"

namespace {

using namespace std::chrono;

constexpr int kSamples = 4096;
// Days from 1899-12-30 to 1900-01-01 and to 2155-12-31.
constexpr int kFirstSerial = 2, kLastSerial = 93503;

std::vector<double> Serials() {
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> dist(kFirstSerial, kLastSerial + 0.999);
    std::vector<double> v(kSamples);
    for (auto& x : v) x = dist(rng);
    return v;
}

struct Span {
    int start; // days after 1900-01-01
    int n;     // days to shift, staying inside the range
};

std::vector<Span> Spans() {
    std::mt19937 rng(2);
    const int total = kLastSerial - kFirstSerial;
    std::vector<Span> v(kSamples);
    for (auto& s : v) {
        s.start = std::uniform_int_distribution<int>(0, total)(rng);
        s.n = std::uniform_int_distribution<int>(-s.start, total - s.start)(rng);
    }
    return v;
}

CVKTDateTime FromDays(int daysAfter1900) {
    const year_month_day ymd(sys_days(year(1900) / January / 1) + days(daysAfter1900));
    CVKTDateTime v;
    v.year = uint8_t(int(ymd.year()) - 1900);
    v.month = uint8_t(unsigned(ymd.month()));
    v.day = uint8_t(unsigned(ymd.day()));
    return v;
}

void BM_SetDTFloat(benchmark::State& state) {
    const auto serials = Serials();
    size_t i = 0;
    CVKTDateTime v;
    for (auto _ : state) {
        benchmark::DoNotOptimize(v.SetDTFloat(serials[i++ % kSamples]));
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_SetDTFloat);

void BM_Chrono_SerialToFields(benchmark::State& state) {
    const auto serials = Serials();
    const sys_days epoch = sys_days(year(1899) / December / 30);
    size_t i = 0;
    for (auto _ : state) {
        const double x = serials[i++ % kSamples];
        const double a = std::trunc(x);
        const sys_days day = epoch + days(int(a));
        const year_month_day ymd(day);
        const hh_mm_ss<seconds> hms(seconds(int((x - a) * 86400 + 0.5)));
        benchmark::DoNotOptimize(ymd);
        benchmark::DoNotOptimize(hms);
    }
}
BENCHMARK(BM_Chrono_SerialToFields);

void BM_ShiftDate_RandomSpan(benchmark::State& state) {
    const auto spans = Spans();
    std::vector<CVKTDateTime> starts;
    for (const auto& s : spans) starts.push_back(FromDays(s.start));
    size_t i = 0;
    for (auto _ : state) {
        const size_t k = i++ % kSamples;
        CVKTDateTime v = starts[k];
        benchmark::DoNotOptimize(v.ShiftDate(spans[k].n));
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_ShiftDate_RandomSpan);

void BM_Chrono_ShiftRandomSpan(benchmark::State& state) {
    const auto spans = Spans();
    std::vector<year_month_day> starts;
    for (const auto& s : spans)
        starts.push_back(sys_days(year(1900) / January / 1) + days(s.start));
    size_t i = 0;
    for (auto _ : state) {
        const size_t k = i++ % kSamples;
        const year_month_day moved{sys_days{starts[k]} + days{spans[k].n}};
        benchmark::DoNotOptimize(moved);
    }
}
BENCHMARK(BM_Chrono_ShiftRandomSpan);

// The one-day-per-step walk the shift replaces, over spans of state.range(0) days.
void BM_StepByStep(benchmark::State& state) {
    const int n = int(state.range(0));
    for (auto _ : state) {
        CVKTDateTime v = FromDays(1000);
        for (int k = 0; k < n; ++k) {
            int d = v.day + 1, m = v.month, y = v.year;
            if (d > CVKTDateTime::DayMonth(y + 1900, m)) {
                d = 1;
                if (++m > 12) m = 1, ++y;
            }
            v.year = uint8_t(y), v.month = uint8_t(m), v.day = uint8_t(d);
            benchmark::DoNotOptimize(v);
        }
    }
}
BENCHMARK(BM_StepByStep)->Arg(365)->Arg(36500);

void BM_SetDTJul(benchmark::State& state) {
    std::mt19937 rng(3);
    std::vector<int> jds(kSamples);
    for (auto& j : jds) j = std::uniform_int_distribution<int>(2415021, 2508522)(rng);
    size_t i = 0;
    CVKTDateTime v;
    for (auto _ : state) {
        benchmark::DoNotOptimize(v.SetDTJul(jds[i++ % kSamples]));
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_SetDTJul);

} // namespace

BENCHMARK_MAIN();
