#include "control/Presets.h"

#include <iterator>

#include "control/Kestrel.h"
#include "runtime/Error.h"

namespace tamarind::control {

namespace {

struct Preset {
  bool smartSort, gridLines, sounds, arrows;
};

// By value of SettingTemplateTypes. 9 sets what 8 sets, the arrows included.
constexpr Preset kPresets[] = {
    {true, true, true, true},     {true, true, true, false},    {true, true, false, true},
    {true, true, false, false},   {true, false, true, true},    {true, false, true, false},
    {true, false, false, true},   {true, false, false, false},  {false, true, true, true},
    {false, true, true, true},    {false, true, false, true},   {false, false, true, true},
    {false, true, false, false},  {false, false, false, false},
};
constexpr int32_t kFirstWithoutSorting = ksv_NOSORT_GRID_SOUNDS_ARROWS;

}  // namespace

void LoadTemplateSetting(Kestrel& k, SettingTemplateTypes st) {
  ReportAndEnd(k.GetToolkit(), ":Error in LoadTemplateSetting.  Error Message: ", vbCritical, [&] {
    if (st < 0 || st >= static_cast<int32_t>(std::size(kPresets))) return;
    const Preset& p = kPresets[st];
    k.SmartColumnSort(p.smartSort);
    if (st >= kFirstWithoutSorting) {
      k.AutoSort(false);
      k.Sorted(false);
    }
    k.GridLines(p.gridLines);
    k.PlaySounds(p.sounds);
    k.SortArrows(p.arrows);
  });
}

}  // namespace tamarind::control
