#pragma once
// Basic platform types: colours, window handles, message parameters, points and rectangles,
// mouse buttons, shift states and key codes, as the platform defines them.

#include <cstdint>

namespace tamarind::platform {

// 0x00BBGGRR, or from 0x80000000 up a system colour index (resolved by the realisation).
using OLE_COLOR = uint32_t;
inline constexpr OLE_COLOR RGB(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<OLE_COLOR>(r) | (static_cast<OLE_COLOR>(g) << 8) | (static_cast<OLE_COLOR>(b) << 16);
}
inline constexpr bool IsSystemColor(OLE_COLOR c) { return (c & 0x80000000u) != 0; }

// System colours used by the control's defaults.
inline constexpr OLE_COLOR vbScrollBars = 0x80000000;
inline constexpr OLE_COLOR vbButtonFace = 0x8000000F;
inline constexpr OLE_COLOR vbWindowBackground = 0x80000005;
inline constexpr OLE_COLOR vbWindowText = 0x80000008;
inline constexpr OLE_COLOR vbHighlight = 0x8000000D;
inline constexpr OLE_COLOR vbHighlightText = 0x8000000E;
inline constexpr OLE_COLOR vbButtonShadow = 0x80000010;
inline constexpr OLE_COLOR vbGrayText = 0x80000011;
inline constexpr OLE_COLOR vbButtonText = 0x80000012;

using HWND = std::intptr_t;  // 0 is no window
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct POINT {
  int32_t x = 0, y = 0;
  bool operator==(const POINT&) const = default;
};
struct RECT {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool Contains(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool operator==(const RECT&) const = default;
};

// Mouse buttons and shift states as event arguments carry them.
enum MouseButtonConstants : int16_t { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum ShiftConstants : int16_t { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

// Key codes of KeyDown/KeyUp.
enum KeyCodeConstants : int16_t {
  vbKeyBack = 8,
  vbKeyTab = 9,
  vbKeyReturn = 13,
  vbKeyShift = 16,
  vbKeyControl = 17,
  vbKeyMenu = 18,
  vbKeyEscape = 27,
  vbKeySpace = 32,
  vbKeyPageUp = 33,
  vbKeyPageDown = 34,
  vbKeyEnd = 35,
  vbKeyHome = 36,
  vbKeyLeft = 37,
  vbKeyUp = 38,
  vbKeyRight = 39,
  vbKeyDown = 40,
  vbKeyInsert = 45,
  vbKeyDelete = 46,
  vbKey0 = 48,
  vbKeyA = 65,
  vbKeyF1 = 112,
};

// Mouse pointers of Screen.MousePointer.
enum MousePointerConstants : int16_t { vbDefault = 0, vbHourglass = 11 };

}  // namespace tamarind::platform
