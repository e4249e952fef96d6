#pragma once
// Alternating row colours: a picture two rows high (the odd rows' colour over the even rows'),
// painted in a hidden picture box and tiled as the list's background, so the stripes line up with
// the rows.

#include "platform/Toolkit.h"
#include "platform/controls/PictureBox.h"
#include "platform/listview/ListView.h"

namespace tamarind::basALTCOLOR {

// Paints the stripes and sets them as the list's tiled picture. On an error the list is left with
// its plain background.
void ApplyAltLineColors(platform::Toolkit& tk, platform::ListView& lv, platform::PictureBox& pic,
                        platform::OLE_COLOR odd, platform::OLE_COLOR even);

}  // namespace tamarind::basALTCOLOR
