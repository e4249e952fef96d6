#pragma once
// The fourteen preset combinations of smart sorting, grid lines, sounds and sort arrows.

#include "core/Enums.h"

namespace tamarind {

class Kestrel;

namespace control {

// Assigns SmartColumnSort, then (for the presets without sorting) AutoSort and Sorted False, then
// GridLines, PlaySounds and SortArrows, through the control's properties with their side effects.
// A value that names no preset changes nothing. An error stops the assignments (those made keep
// their values) and is reported in a "Warning" message box.
void LoadTemplateSetting(Kestrel& k, SettingTemplateTypes st);

}  // namespace control
}  // namespace tamarind
