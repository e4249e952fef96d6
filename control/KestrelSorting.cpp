// Kestrel: sorting on the host's request, column sizing and the presets.

#include "control/ColumnSizing.h"
#include "control/Kestrel.h"
#include "control/Presets.h"
#include "sorting/ColumnSort.h"

namespace tamarind {

void Kestrel::PerformSortOnColumn(int32_t colINDEX, SortDataType sOrder, SortDataDir sdir) {
  sort_->PerformSortOnColumn(colINDEX, sOrder, sdir);
}

void Kestrel::SizeColumns() { control::SizeColumns(s_); }

void Kestrel::LoadTemplateSetting(SettingTemplateTypes st) { control::LoadTemplateSetting(*this, st); }

}  // namespace tamarind
