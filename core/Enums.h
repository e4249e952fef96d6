#pragma once
// The control's public enumerations, all 32-bit, with their members as hosts know them.

#include <cstdint>

namespace tamarind {

// How a column is sorted. Note the prefix of std_NOSORT.
enum SortDataType : int32_t { sdt_STRING = 0, sdt_NUMERIC = 1, sdt_DATE = 2, std_NOSORT = -1 };

enum SortDataDir : int32_t { lvASC = 0, lvDESC = 1 };

// The control's sounds; each value is also the id of the sound's resource.
enum CtrlSounds : int32_t { snd_SORT = 101, snd_DROP = 102, snd_COMPLETE = 103, snd_CLICK = 104 };

enum TabStyles : int32_t { ts_TAB = 0, ts_BUTTON = 1, ts_FLAT = 2 };

enum TabPlacements : int32_t { tplaceTOP = 0, tplaceBOTTOM = 1 };

// Preset combinations of smart sorting, grid lines, sounds and sort arrows. Member 3 is spelled
// with NO_SOUNDS; there are fourteen members.
enum SettingTemplateTypes : int32_t {
  ksv_SMARTSORT_GRID_SOUNDS_ARROWS = 0,
  ksv_SMARTSORT_GRID_SOUNDS_NOARROWS = 1,
  ksv_SMARTSORT_GRID_NOSOUNDS_ARROWS = 2,
  ksv_SMARTSORT_GRID_NO_SOUNDS_NOARROWS = 3,
  ksv_SMARTSORT_NOGRID_SOUNDS_ARROWS = 4,
  ksv_SMARTSORT_NOGRID_SOUNDS_NOARROWS = 5,
  ksv_SMARTSORT_NOGRID_NOSOUNDS_ARROWS = 6,
  ksv_SMARTSORT_NOGRID_NOSOUNDS_NOARROWS = 7,
  ksv_NOSORT_GRID_SOUNDS_ARROWS = 8,
  ksv_NOSORT_GRID_SOUNDS_NOARROWS = 9,
  ksv_NOSORT_GRID_NOSOUNDS_ARROWS = 10,
  ksv_NOSORT_NOGRID_SOUNDS_ARROWS = 11,
  ksv_NOSORT_GRID_NOSOUNDS_NOARROWS = 12,
  ksv_NOSORT_NOGRID_NOSOUNDS_NOARROWS = 13,
};

}  // namespace tamarind
