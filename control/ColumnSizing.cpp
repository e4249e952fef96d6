#include "control/ColumnSizing.h"

#include <string>

#include "core/PaintingLock.h"
#include "platform/Messages.h"
#include "runtime/Error.h"
#include "sorting/ColumnAlignments.h"
#include "sorting/HeaderArrows.h"

namespace tamarind::control {

using namespace platform;

namespace {
constexpr float kRoomWithHeaderImages = 380;  // twips
constexpr float kRoom = 180;
}  // namespace

void SizeColumns(KestrelState& s) {
  ListView& lv = *s.lvLIST;
  std::string alignments;
  ResumeNext([&] { alignments = sorting::GetColumnAlignments(s.tk, lv); });
  LockWindowInternal(s.tk, lv.hWnd());
  if (s.m_SortArrows) sorting::BindArrowImages(s, alignments, true);
  ResumeNext([&] { sorting::SetColumnAlignments(s.tk, lv, alignments); });
  AutoSizeColumns(s.tk, lv, LVSCW_AUTOSIZE_USEHEADER);
  LockWindowInternal(s.tk, 0);
}

void SetColumnWidth(Toolkit& tk, ListView& list, int32_t column, int32_t width) {
  if (list.View() != ListView::lvwReport || column < 1 || column > list.ColumnHeaders().Count()) return;
  tk.Windows().SendMessage(list.hWnd(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column - 1),
                           static_cast<LPARAM>(width));
}

void AutoSizeColumns(Toolkit& tk, ListView& list, int32_t width) {
  const int32_t n = list.ColumnHeaders().Count();
  if (n == 1) {
    ResumeNext([&] { SetColumnWidth(tk, list, 1, LVSCW_AUTOSIZE_USEHEADER); });
  } else {
    for (int32_t i = 1; i <= n - 1; ++i) ResumeNext([&] { SetColumnWidth(tk, list, i, width); });
    ResumeNext([&] { SetColumnWidth(tk, list, n, LVSCW_AUTOSIZE); });
    const float room = list.ColumnHeaderIcons() ? kRoomWithHeaderImages : kRoom;
    for (const auto& col : list.ColumnHeaders()) ResumeNext([&] { col->Width(col->Width() + room); });
    ResumeNext([&] { SetColumnWidth(tk, list, n, LVSCW_AUTOSIZE_USEHEADER); });
  }
  if (list.ColumnHeaderIcons()) sorting::RedrawSortArrows(tk, list, list.SortKey() + 1);
}

}  // namespace tamarind::control
