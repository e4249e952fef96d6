#pragma once
// Generated rows (the benchmarks', the big demo table's) come from splitmix64 with a fixed seed:
// the same texts on every run.

#include <cstdint>

namespace tamarind::bench {

class SplitMix64 {
 public:
  explicit SplitMix64(uint64_t seed = 0x9E3779B97F4A7C15ull) : state_(seed) {}
  uint64_t operator()() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

 private:
  uint64_t state_;
};

}  // namespace tamarind::bench
