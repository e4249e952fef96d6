#include "presentation/EditableStyling.h"

#include "presentation/basTOKENS.h"
#include "runtime/Conversions.h"

namespace tamarind::presentation {

namespace {

// Applies style to column idx of every row, for each column of the list; the outer loop walks the
// tokens and the inner one the rows, so the list is walked once per listed column.
template <class Style>
void StyleColumns(MessageBoxService& box, platform::ListView& list, const std::string& idxSTR,
                  std::string_view procedureText, Style style) {
  ReportAndEnd(box, procedureText, vbCritical, [&] {
    // Styling stays with the items styled; a source's rows are made afresh as they are shown.
    list.ListItems().RefuseInVirtualMode("Styling the cells of every row");
    std::string copy = idxSTR;
    const int16_t n = basTOKENS::CountTokens(box, copy, ",");
    for (int16_t k = 0; k < n; ++k) {
      const int32_t idx = CLng(Variant(basTOKENS::GetToken(box, copy, ",")));
      if (idx < 0 || idx >= std::max<int32_t>(1, list.ColumnHeaders().Count()))
        Raise(err::IndexOutOfBounds, "Kestrel");
      list.ListItems().ForEach([&](const platform::ListItemRef& item) {
        if (idx == 0) {
          style(*item);
        } else {
          platform::ListSubItems subs = item->GetListSubItems();
          if (idx <= subs.Count()) style(subs.Item(idx));
        }
      });
    }
  });
}

}  // namespace

void SetEditableItemsBold(MessageBoxService& box, platform::ListView& list, const std::string& idxSTR) {
  StyleColumns(box, list, idxSTR, ":Error in SetEditableItemsBold.  Error Message: ",
               [](auto&& target) { target.Bold(true); });
}

void SetEditableItemsForeColor(MessageBoxService& box, platform::ListView& list, const std::string& idxSTR,
                               platform::OLE_COLOR clr) {
  StyleColumns(box, list, idxSTR, ":Error in SetEditableItemsForeColor.  Error Message: ",
               [clr](auto&& target) { target.ForeColor(clr); });
}

void SetNonEditableItemsForeColor(MessageBoxService& box, platform::ListView& list, const std::string& idxSTR,
                                  platform::OLE_COLOR clr) {
  StyleColumns(box, list, idxSTR, ":Error in SetNonEditableItemsForeColor.  Error Message: ",
               [clr](auto&& target) { target.ForeColor(clr); });
}

}  // namespace tamarind::presentation
