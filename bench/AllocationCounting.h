#pragma once
// Every allocation of a benchmark program counted: the bytes live now and the most live at once.
// A program that wants the counters links AllocationCounting.cpp, which replaces the global
// operator new and delete.

#include <cstdint>

namespace tamarind::bench {

int64_t LiveBytes();
int64_t PeakBytes();
// Starts a new peak from what is live now, and returns that.
int64_t ResetPeak();
// The process's largest resident size so far, in MiB.
double ProcessMaxRssMiB();

inline constexpr double kMiB = 1024.0 * 1024.0;

}  // namespace tamarind::bench
