#pragma once
// The size of a drop-down editor's list: its width from DropWidth and its height from DropLines,
// applied each time the list opens.

#include <cstdint>

#include "platform/Toolkit.h"
#include "platform/UserControl.h"
#include "platform/controls/ComboBox.h"

namespace tamarind::basCBOSETTING {

// Gives the combo box's list the width w (in points); a w below the combo box's own width in
// points (its Width in twips / 20, halves rounded to even) is raised to it, also in the caller's
// variable. A w of 0 (possible only for a combo box narrower than half a point) sends nothing.
// Errors are ignored.
void SetDropWidth(platform::Toolkit& tk, platform::ComboBox& combo, int32_t& w);

// Makes the combo box's window n + 2 list entries high (the entries, the edit field and the
// borders), which for a drop-down combo box decides how many entries its opened list shows. Its
// position and width stay. container is the user control the combo box lies on; its ScaleMode is
// pixels meanwhile and restored afterwards. Errors are ignored.
void SetDropLines(platform::Toolkit& tk, platform::ComboBox& combo, platform::UserControl& container, int32_t n);

}  // namespace tamarind::basCBOSETTING
