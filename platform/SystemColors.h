#pragma once
// System colours: OLE colours from 0x80000000 up name an entry of the desktop's colour scheme.
// ResolveColor turns any OLE colour into the RGB value it stands for (the classic scheme).

#include "platform/Types.h"

namespace tamarind::platform {

inline OLE_COLOR ResolveColor(OLE_COLOR c) {
  if (!IsSystemColor(c)) return c & 0xFFFFFF;
  static constexpr OLE_COLOR scheme[] = {
      RGB(212, 208, 200),  // 0 scroll bars
      RGB(58, 110, 165),   // 1 desktop
      RGB(10, 36, 106),    // 2 active title
      RGB(128, 128, 128),  // 3 inactive title
      RGB(212, 208, 200),  // 4 menu bar
      RGB(255, 255, 255),  // 5 window background
      RGB(0, 0, 0),        // 6 window frame
      RGB(0, 0, 0),        // 7 menu text
      RGB(0, 0, 0),        // 8 window text
      RGB(255, 255, 255),  // 9 title bar text
      RGB(212, 208, 200),  // 10 active border
      RGB(212, 208, 200),  // 11 inactive border
      RGB(128, 128, 128),  // 12 application workspace
      RGB(10, 36, 106),    // 13 highlight
      RGB(255, 255, 255),  // 14 highlight text
      RGB(212, 208, 200),  // 15 button face
      RGB(128, 128, 128),  // 16 button shadow
      RGB(128, 128, 128),  // 17 grey text
      RGB(0, 0, 0),        // 18 button text
      RGB(212, 208, 200),  // 19 inactive title text
      RGB(255, 255, 255),  // 20 button highlight
      RGB(64, 64, 64),     // 21 3-D dark shadow
      RGB(212, 208, 200),  // 22 3-D light
      RGB(0, 0, 0),        // 23 tooltip text
      RGB(255, 255, 225),  // 24 tooltip background
  };
  const OLE_COLOR index = c & 0xFF;
  return index < sizeof(scheme) / sizeof(scheme[0]) ? scheme[index] : RGB(0, 0, 0);
}

}  // namespace tamarind::platform
