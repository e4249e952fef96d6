#include "platform/Font.h"

#include <cmath>

#include "runtime/Error.h"

namespace tamarind::platform {

float StdFont::Round(float v) { return static_cast<float>(std::round(static_cast<double>(v) * 10000.0) / 10000.0); }

void StdFont::Size(float v) {
  // Checked after rounding: a size that rounds to 0 would be kept as 0, which no font has and
  // which could never be set again.
  const float rounded = !(v > 0) || v > 2048 ? 0.0f : Round(v);
  if (!(rounded > 0)) Raise(err::InvalidPropertyValue);
  size_ = rounded;
}

}  // namespace tamarind::platform
