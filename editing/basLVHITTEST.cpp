#include "editing/basLVHITTEST.h"

#include "platform/Messages.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::basLVHITTEST {

using namespace platform;

int32_t LVHitTest(Toolkit& tk, ListView& lv, float x, float y) {
  return ReportAndEnd<int32_t>(tk, ":Error in LVHitTest.  Error Message: ", vbCritical, [&] {
    LVHITTESTINFO info;
    info.pt.x = IntDiv(x, tk.GetScreen().TwipsPerPixelX());
    info.pt.y = IntDiv(y, tk.GetScreen().TwipsPerPixelY());
    info.flags = LVHT_ONITEM;
    tk.Windows().SendMessage(lv.hWnd(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info));
    // Only a press exactly on the icon counts: the label, the check box or a mix of flags do not.
    g_IconClicked = info.flags == LVHT_ONITEMICON;
    return info.iItem < 0 || info.iSubItem < 0 ? -1 : info.iSubItem;
  });
}

}  // namespace tamarind::basLVHITTEST
