#include "platform/Font.h"

#include <cmath>

#include "runtime/Error.h"

namespace tamarind::platform {

float StdFont::Round(float v) { return static_cast<float>(std::round(static_cast<double>(v) * 10000.0) / 10000.0); }

void StdFont::Size(float v) {
  if (!(v > 0) || v > 2048) Raise(err::InvalidPropertyValue);
  size_ = Round(v);
}

}  // namespace tamarind::platform
