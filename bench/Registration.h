#pragma once
// Benchmarks registered by hand, in the order they should run, with fixed iteration counts.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace tamarind::bench {

using BenchFn = void (*)(benchmark::State&);

inline void Register(const std::string& name, BenchFn fn, int64_t rows, int64_t iterations) {
  benchmark::RegisterBenchmark(name.c_str(), fn)->Arg(rows)->Iterations(iterations)->Unit(benchmark::kMillisecond);
}

}  // namespace tamarind::bench
