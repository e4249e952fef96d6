#include "editing/basCBOSETTING.h"

#include <cstdint>
#include <limits>

#include "platform/Messages.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::basCBOSETTING {

using platform::CB_GETITEMHEIGHT;
using platform::CB_SETDROPPEDWIDTH;

void SetDropWidth(platform::Toolkit& tk, platform::ComboBox& combo, int32_t& w) {
  ResumeNext([&] {
    // The list is never narrower than the combo box itself.
    const auto minimum = static_cast<int32_t>(RoundHalfEven(combo.Width() / 20.0));
    if (w < minimum) w = minimum;
    if (w != 0)
      tk.Windows().SendMessage(combo.hWnd(), CB_SETDROPPEDWIDTH, static_cast<platform::WPARAM>(w), 0);
  });
}

void SetDropLines(platform::Toolkit& tk, platform::ComboBox& combo, platform::UserControl& container, int32_t n) {
  const int16_t scaleMode = container.ScaleMode();
  container.ScaleMode(3);  // pixels
  ResumeNext([&] {
    platform::WindowManager& windows = tk.Windows();
    const int64_t itemHeight = windows.SendMessage(combo.hWnd(), CB_GETITEMHEIGHT, 0, 0);
    // Two more entries' height for the edit field and the borders. A height beyond 32 bits is the
    // runtime's overflow, and a negative one makes MoveWindow fail: either way the window stays.
    const int64_t height = itemHeight * (static_cast<int64_t>(n) + 2);
    if (height < std::numeric_limits<int32_t>::min() || height > std::numeric_limits<int32_t>::max())
      Raise(err::Overflow, "SetDropLines");
    platform::RECT r;
    if (!windows.GetWindowRect(combo.hWnd(), r)) return;
    platform::POINT topLeft{r.left, r.top};
    if (!windows.ScreenToClient(container.hWnd(), topLeft)) return;
    // Control sizes are twips whatever the container's ScaleMode says; the window wants pixels.
    const int32_t widthPx = platform::TwipsToPixelsX(tk, combo.Width());
    windows.MoveWindow(combo.hWnd(), topLeft.x, topLeft.y, widthPx, static_cast<int32_t>(height), true);
  });
  container.ScaleMode(scaleMode);
}

}  // namespace tamarind::basCBOSETTING
