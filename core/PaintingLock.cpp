#include "core/PaintingLock.h"

#include "core/KestrelState.h"
#include "platform/Messages.h"
#include "runtime/Error.h"

namespace tamarind {

void LockWindowInternal(platform::Toolkit& tk, platform::HWND hwnd) {
  ResumeNext([&] { tk.Windows().LockWindowUpdate(hwnd); });
}

void LockWindow(KestrelState& s, bool unlock) {
  ReportAndEnd(s.tk, ":Error in LockWindow.  Error Message: ", vbCritical,
               [&] { s.tk.Windows().LockWindowUpdate(unlock ? 0 : s.surface.hWnd()); });
}

void SetRightToLeftLayout(platform::Toolkit& tk, platform::ListView& list) {
  platform::WindowManager& wm = tk.Windows();
  auto mirror = [&](platform::HWND h) {
    ResumeEach([&] { wm.SetWindowLong(h, platform::GWL_EXSTYLE, wm.GetWindowLong(h, platform::GWL_EXSTYLE) |
                                                                 platform::WS_EX_LAYOUTRTL); },
               [&] {
                 platform::RECT r;
                 wm.GetClientRect(h, r);
                 wm.InvalidateRect(h, &r, true);
               });
  };
  mirror(list.hWnd());
  mirror(wm.GetWindow(list.hWnd(), platform::GW_CHILD));  // the column header
}

}  // namespace tamarind
