#pragma once
// What every fuzz target shares: the input as text, and a check that stops the run with a message
// (libFuzzer keeps the input that made it fail as the reproducer).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace tamarind::fuzz {

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Stops the run when a property every input must have does not hold.
inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

}  // namespace tamarind::fuzz
