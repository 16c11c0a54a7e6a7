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

std::vector<int> JulianDays() {
    std::mt19937 rng(3);
    std::vector<int> jds(kSamples);
    for (auto& j : jds) j = std::uniform_int_distribution<int>(2415021, 2508522)(rng);
    return jds;
}

void BM_SetDTJul(benchmark::State& state) {
    const auto jds = JulianDays();
    size_t i = 0;
    CVKTDateTime v;
    for (auto _ : state) {
        benchmark::DoNotOptimize(v.SetDTJul(jds[i++ % kSamples]));
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_SetDTJul);

// Julian day number to calendar fields.
void BM_Chrono_JulianToFields(benchmark::State& state) {
    const auto jds = JulianDays();
    // 2440588 is the Julian day number of 1970-01-01.
    const sys_days epoch{};
    size_t i = 0;
    for (auto _ : state) {
        const year_month_day ymd(epoch + days(jds[i++ % kSamples] - 2440588));
        benchmark::DoNotOptimize(ymd);
    }
}
BENCHMARK(BM_Chrono_JulianToFields);

// The whole of SetDTJul's work with chrono: the fields of the day, and its
// distance from today, for which chrono reads its clock (today in UTC: the
// local date would need a time-zone conversion on top).
void BM_Chrono_JulianToToday(benchmark::State& state) {
    const auto jds = JulianDays();
    const sys_days epoch{};
    size_t i = 0;
    for (auto _ : state) {
        const int jd = jds[i++ % kSamples];
        const year_month_day ymd(epoch + days(jd - 2440588));
        const sys_days today = floor<days>(system_clock::now());
        benchmark::DoNotOptimize(ymd);
        benchmark::DoNotOptimize(jd - 2440588 - today.time_since_epoch().count());
    }
}
BENCHMARK(BM_Chrono_JulianToToday);

struct Moment {
    int start;  // days after 1900-01-01
    int second; // of the day
    int secs;   // to shift, staying inside the range
};

std::vector<Moment> Moments() {
    std::mt19937 rng(4);
    const int total = kLastSerial - kFirstSerial;
    std::vector<Moment> v(kSamples);
    for (auto& m : v) {
        m.start = std::uniform_int_distribution<int>(1, total - 1)(rng);
        m.second = std::uniform_int_distribution<int>(0, 86399)(rng);
        // Up to a year either way: a shift of seconds is rarely longer.
        m.secs = std::uniform_int_distribution<int>(-365 * 86400, 365 * 86400)(rng);
        if (m.start < 366 || m.start > total - 366) m.secs /= 400;
    }
    return v;
}

void BM_ShiftTime_RandomSpan(benchmark::State& state) {
    const auto moments = Moments();
    std::vector<CVKTDateTime> starts;
    for (const auto& m : moments) {
        CVKTDateTime v = FromDays(m.start);
        v.SetTimeSec(m.second);
        starts.push_back(v);
    }
    size_t i = 0;
    for (auto _ : state) {
        const size_t k = i++ % kSamples;
        CVKTDateTime v = starts[k];
        benchmark::DoNotOptimize(v.ShiftTime(moments[k].secs));
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_ShiftTime_RandomSpan);

// Fields to a moment, moved by seconds, and back to fields.
void BM_Chrono_ShiftSeconds(benchmark::State& state) {
    const auto moments = Moments();
    struct Start {
        year_month_day ymd;
        hh_mm_ss<seconds> hms;
    };
    std::vector<Start> starts;
    for (const auto& m : moments)
        starts.push_back({sys_days(year(1900) / January / 1) + days(m.start),
                          hh_mm_ss<seconds>(seconds(m.second))});
    size_t i = 0;
    for (auto _ : state) {
        const size_t k = i++ % kSamples;
        const sys_seconds t =
            sys_days(starts[k].ymd) + starts[k].hms.to_duration() + seconds(moments[k].secs);
        const sys_days day = floor<days>(t);
        const year_month_day ymd(day);
        const hh_mm_ss<seconds> hms(t - day);
        benchmark::DoNotOptimize(ymd);
        benchmark::DoNotOptimize(hms);
    }
}
BENCHMARK(BM_Chrono_ShiftSeconds);

} // namespace

BENCHMARK_MAIN();
