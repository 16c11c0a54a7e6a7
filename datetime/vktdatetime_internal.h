// Helpers shared by the CVKTDateTime sources; not part of the library's API.
#pragma once

#include <cstdint>

namespace vktdt {

constexpr int kMinYear = 1900; // `year` 0
constexpr int kMaxYear = 2155; // `year` 255

// Reports format (with one integer) under the tag "DateTime".
void Report(const char* format, long value);

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int64_t y, int m, int d);
void CivilFromDays(int64_t days, int& y, int& m, int& d);

// Julian day number of 1970-01-01.
constexpr int64_t kUnixEpochJulian = 2440588;

} // namespace vktdt
