#pragma once
// Window messages, styles and records the control sends and reads, with the platform's values.
//
// Text in the records is UTF-8. Where a record gives a buffer size in characters (cchTextMax),
// a character is one code point and may take up to four bytes: a buffer of n characters must
// hold 4 * n bytes. Text written into such a buffer never splits a character.

#include <array>
#include <cstdint>

#include "platform/Types.h"

namespace tamarind::platform {

// --- list view -------------------------------------------------------------------------------
inline constexpr uint32_t LVM_FIRST = 0x1000;
inline constexpr uint32_t LVM_GETITEMA = 0x1005;
inline constexpr uint32_t LVM_SETCOLUMNWIDTH = 0x101E;
inline constexpr uint32_t LVM_GETHEADER = 0x101F;
inline constexpr uint32_t LVM_SORTITEMS = 0x1030;
inline constexpr uint32_t LVM_SUBITEMHITTEST = 0x1039;
inline constexpr uint32_t LVM_SETCOLUMNORDERARRAY = 0x103A;
inline constexpr uint32_t LVM_GETCOLUMNORDERARRAY = 0x103B;

inline constexpr uint32_t LVIF_TEXT = 0x0001;
inline constexpr uint32_t LVIF_IMAGE = 0x0002;
inline constexpr uint32_t LVIF_PARAM = 0x0004;
inline constexpr uint32_t LVIF_STATE = 0x0008;

inline constexpr int32_t LVSCW_AUTOSIZE = -1;            // fit the contents
inline constexpr int32_t LVSCW_AUTOSIZE_USEHEADER = -2;  // fit contents and header; the last column fills the list

// Hit-test flags.
inline constexpr uint32_t LVHT_NOWHERE = 0x0001;
inline constexpr uint32_t LVHT_ONITEMICON = 0x0002;
inline constexpr uint32_t LVHT_ONITEMLABEL = 0x0004;
inline constexpr uint32_t LVHT_ONITEMSTATEICON = 0x0008;
inline constexpr uint32_t LVHT_ONITEM = LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON;
inline constexpr uint32_t LVHT_ABOVE = 0x0008;
inline constexpr uint32_t LVHT_BELOW = 0x0010;
inline constexpr uint32_t LVHT_TORIGHT = 0x0020;
inline constexpr uint32_t LVHT_TOLEFT = 0x0040;

// The item record of LVM_GETITEMA (mask, iItem and iSubItem in; the masked fields out).
struct LVITEMA {
  uint32_t mask = 0;
  int32_t iItem = 0;
  int32_t iSubItem = 0;
  uint32_t state = 0;
  uint32_t stateMask = 0;
  char* pszText = nullptr;
  int32_t cchTextMax = 0;  // characters; the buffer holds 4 * cchTextMax bytes
  int32_t iImage = 0;
  LPARAM lParam = 0;       // the item parameter
  int32_t iIndent = 0;
};

// A text buffer of n characters for LVITEMA.pszText.
template <int32_t Characters>
struct TextBuffer {
  static constexpr int32_t kCharacters = Characters;
  std::array<char, static_cast<size_t>(Characters) * 4> bytes{};
  char* data() { return bytes.data(); }
};

// The sub-item hit-test record (20 bytes: five 32-bit fields).
struct LVHITTESTINFO {
  POINT pt;            // client pixels
  uint32_t flags = 0;  // in: LVHT_ONITEM; out: the hit flags
  int32_t iItem = -1;  // 0-based, -1 for none
  int32_t iSubItem = -1;
};
static_assert(sizeof(LVHITTESTINFO) == 20);

// The compare routine of LVM_SORTITEMS: the two item parameters and the wParam of the message.
using PFNLVCOMPARE = int32_t (*)(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);

// --- header ------------------------------------------------------------------------------------
inline constexpr uint32_t HDM_FIRST = 0x1200;
inline constexpr uint32_t HDM_GETITEMCOUNT = 0x1200;
inline constexpr uint32_t HDM_GETITEMA = 0x1203;
inline constexpr uint32_t HDM_SETITEMA = 0x1204;

inline constexpr uint32_t HDI_WIDTH = 0x0001;
inline constexpr uint32_t HDI_TEXT = 0x0002;
inline constexpr uint32_t HDI_FORMAT = 0x0004;
inline constexpr uint32_t HDI_LPARAM = 0x0008;
inline constexpr uint32_t HDI_BITMAP = 0x0010;
inline constexpr uint32_t HDI_IMAGE = 0x0020;
inline constexpr uint32_t HDI_ORDER = 0x0080;

inline constexpr int32_t HDF_LEFT = 0x0000;
inline constexpr int32_t HDF_RIGHT = 0x0001;
inline constexpr int32_t HDF_CENTER = 0x0002;
inline constexpr int32_t HDF_JUSTIFYMASK = 0x0003;
inline constexpr int32_t HDF_IMAGE = 0x0800;
inline constexpr int32_t HDF_BITMAP_ON_RIGHT = 0x1000;
inline constexpr int32_t HDF_BITMAP = 0x2000;
inline constexpr int32_t HDF_STRING = 0x4000;

// The header item record (nine 32-bit fields in the platform's 32-bit layout; here pszText and
// lParam are pointer-sized).
struct HDITEMA {
  uint32_t mask = 0;
  int32_t cxy = 0;
  char* pszText = nullptr;
  intptr_t hbm = 0;
  int32_t cchTextMax = 0;
  int32_t fmt = 0;
  LPARAM lParam = 0;
  int32_t iImage = 0;
  int32_t iOrder = 0;
};

// --- combo box ---------------------------------------------------------------------------------
inline constexpr uint32_t CB_GETEDITSEL = 0x0140;
inline constexpr uint32_t CB_GETCOUNT = 0x0146;
inline constexpr uint32_t CB_FINDSTRING = 0x014C;
inline constexpr uint32_t CB_SHOWDROPDOWN = 0x014F;
inline constexpr uint32_t CB_GETITEMHEIGHT = 0x0154;
inline constexpr uint32_t CB_GETDROPPEDSTATE = 0x0157;
inline constexpr uint32_t CB_FINDSTRINGEXACT = 0x0158;
inline constexpr uint32_t CB_GETDROPPEDWIDTH = 0x015F;
inline constexpr uint32_t CB_SETDROPPEDWIDTH = 0x0160;
inline constexpr LRESULT CB_ERR = -1;

// --- general -----------------------------------------------------------------------------------
inline constexpr uint32_t WM_USER = 0x0400;
inline constexpr uint32_t WM_SETREDRAW = 0x000B;

inline constexpr int32_t GWL_STYLE = -16;
inline constexpr int32_t GWL_EXSTYLE = -20;
inline constexpr int32_t WS_EX_LAYOUTRTL = 0x00400000;

inline constexpr uint32_t GW_HWNDNEXT = 2;
inline constexpr uint32_t GW_CHILD = 5;

}  // namespace tamarind::platform
