#pragma once
// The headless desktop's forms are the platform's own host forms.

#include "platform/HostForm.h"
#include "platform/headless/HeadlessToolkit.h"

namespace tamarind::platform::headless {

using platform::HostForm;

}  // namespace tamarind::platform::headless
