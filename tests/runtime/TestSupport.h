#pragma once
// Helpers shared by the runtime tests.

#include <cstdint>

#include "runtime/Error.h"

namespace tamarind::test_support {

// The number of the tamarind::Error that f raises; 0 when it raises none.
template <class F>
int32_t ErrorNumberOf(F&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.Number();
  }
  return 0;
}

}  // namespace tamarind::test_support
