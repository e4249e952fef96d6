#pragma once
// Which cell a press landed on.

#include <cstdint>

#include "platform/Toolkit.h"
#include "platform/listview/ListView.h"

namespace tamarind::basLVHITTEST {

// True when the latest hit test of any list on this thread landed exactly on an item's icon.
inline thread_local bool g_IconClicked = false;

// The column (0 = the item's own, k = sub-item k) at (x, y), twips in the list's client area; -1
// when the point is on no cell. The twips become pixels by whole-number division (both operands
// rounded to whole numbers, halves to even, the quotient truncated). Sets g_IconClicked. On an
// error: a "Warning" message box and 0.
int32_t LVHitTest(platform::Toolkit& tk, platform::ListView& lv, float x, float y);

}  // namespace tamarind::basLVHITTEST
