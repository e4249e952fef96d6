#include "sorting/ColumnAlignments.h"

#include "presentation/basTOKENS.h"
#include "runtime/Conversions.h"

namespace tamarind::sorting {

std::string GetColumnAlignments(MessageBoxService& box, platform::ListView& list) {
  return ReportAndEnd<std::string>(
      box, ":Error in call to GetColumnAlignments().\r\n\r\nError Description: ", vbCritical, [&] {
        std::string text;
        for (const auto& col : list.ColumnHeaders()) {
          if (!text.empty()) text += ",";
          text += std::to_string(col->Alignment());
        }
        return text;
      });
}

void SetColumnAlignments(MessageBoxService& box, platform::ListView& list, const std::string& alignments) {
  ReportAndEnd(box, ":Error in call to SetColumnAlignments().\r\n\r\nError Description: ", vbCritical, [&] {
    if (alignments.empty()) return;
    std::string rest = alignments;
    const int16_t n = basTOKENS::CountTokens(box, rest, ",");
    for (int16_t i = 1; i <= n; ++i) {
      const int16_t a = CInt(Variant(basTOKENS::GetToken(box, rest, ",")));
      list.ColumnHeaders().Item(i)->Alignment(a);
    }
  });
}

}  // namespace tamarind::sorting
