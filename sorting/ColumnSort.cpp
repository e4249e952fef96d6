#include "sorting/ColumnSort.h"

#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "services/ControlSounds.h"
#include "sorting/ColumnAlignments.h"
#include "sorting/HeaderArrows.h"
#include "sorting/KeyedSort.h"

namespace tamarind::sorting {

using namespace platform;

ColumnSort::ColumnSort(KestrelState& s, editing::EditorPlacement& editors) : s_(s), editors_(editors) {
  s_.lvLIST->ColumnClick.Connect([this](const ColumnHeaderRef& header) { HeaderClick(header); });
}

void ColumnSort::CloseEditors() {
  editors_.HideCalendar();
  editors_.HideTextBox();
  editors_.HideDropDown();
  editors_.HideCommandButton();
}

void ColumnSort::HeaderClick(const ColumnHeaderRef& ColumnHeader) {
  ListView& lv = *s_.lvLIST;
  std::string alignments;
  ResumeNext([&] { alignments = GetColumnAlignments(s_.tk, lv); });
  ResumeNext([&] { s_.Events().ColumnClick(ColumnHeader); });
  SortDataType type = sdt_STRING;
  const auto restoreAlignments = [&] { ResumeNext([&] { SetColumnAlignments(s_.tk, lv, alignments); }); };

  if (s_.m_SmartColumnSort && s_.m_AutoSort) {
    ResumeEach([&] { editors_.HideCalendar(); }, [&] { editors_.HideTextBox(); }, [&] { editors_.HideDropDown(); },
               [&] { editors_.HideCommandButton(); });
    if (lv.ListItems().Count() >= 1) {
      int32_t sub = 0;
      ResumeNext([&] { sub = ColumnHeader->Index() - 1; });
      ResumeNext([&] { type = DetermineSortType(sub); });
      std::string OmitChar;
      ResumeNext([&] { s_.Events().BeforeColumnSort(ColumnHeader, type, OmitChar); });
      // Each click turns the direction over: numbers and dates go against the current SortOrder.
      ResumeNext([&] { SortAs(type, sub, lv.SortOrder() == 1 ? 0 : 1, OmitChar, sub + 1); });
    }
    if (s_.m_PlaySounds && type != std_NOSORT) services::PlayFeedback(s_, snd_SORT);
    restoreAlignments();
    ResumeNext([&] { s_.Events().ColumnSortComplete(); });
  } else if (s_.m_AutoSort && lv.Sorted()) {
    ResumeEach([&] { editors_.HideCalendar(); }, [&] { editors_.HideTextBox(); },
               [&] { editors_.HideCommandButton(); }, [&] { editors_.HideDropDown(); },
               [&] { editors_.HideTextBox(); });
    ResumeNext([&] { SortListView(ColumnHeader->Index()); });
    ResumeNext([&] {
      const ListItemRef selected = lv.SelectedItem();
      if (!selected) Raise(err::ObjectNotSet, "Kestrel");
      selected->EnsureVisible();
    });
    if (s_.m_PlaySounds) services::PlayFeedback(s_, snd_SORT);
    restoreAlignments();
    ResumeNext([&] { s_.Events().ColumnSortComplete(); });
  }

  // Also after a click that sorted nothing: a host that sorts in its own ColumnClick gets the
  // arrow for the SortOrder it left.
  if (s_.m_SortArrows && type != std_NOSORT) {
    ResumeNext([&] { RedrawSortArrows(s_.tk, lv, ColumnHeader->Index()); });
    restoreAlignments();
  }
}

void ColumnSort::PerformSortOnColumn(int32_t colINDEX, SortDataType sOrder, SortDataDir sdir) {
  ListView& lv = *s_.lvLIST;
  CloseEditors();
  SortDataType type = sdt_STRING;
  if (lv.ListItems().Count() >= 1) {
    const int32_t sub = colINDEX - 1;
    type = sOrder;
    std::string OmitChar;
    s_.Events().BeforeColumnSort(lv.ColumnHeaders().Item(colINDEX), type, OmitChar);
    SortAs(type, sub, sdir, OmitChar, colINDEX);
  }
  if (s_.m_PlaySounds && type != std_NOSORT) services::PlayFeedback(s_, snd_SORT);
  s_.Events().ColumnSortComplete();
  if (s_.m_SortArrows && type != std_NOSORT) RedrawSortArrows(s_.tk, lv, colINDEX);
}

void ColumnSort::SortAs(SortDataType type, int32_t sub, int32_t dir, const std::string& OmitChar, int32_t textCol) {
  ListView& lv = *s_.lvLIST;
  switch (type) {
    case sdt_NUMERIC:
      SortListViewByKeys(s_.tk, lv, sub, skNUMERIC, dir, OmitChar);
      break;
    case sdt_DATE:
      SortListViewByKeys(s_.tk, lv, sub, skDATE, dir, OmitChar);
      break;
    case sdt_STRING:
      SortListView(textCol);
      break;
    default:
      break;  // std_NOSORT, or a value that names no type: nothing is sorted
  }
}

SortDataType ColumnSort::DetermineSortType(int32_t sub) {
  return ReportAndEnd<SortDataType>(s_.tk, ":Error in DetermineSortType.  Error Message: ", vbCritical, [&] {
    if (const VirtualRows* source = s_.lvLIST->VirtualSource()) {
      // The engine's declared type decides where it has one: the first row alone could mislead
      // about ten million others. A column without one is judged as in a list that holds its rows.
      if (const auto declared = source->DeclaredOrder(sub)) {
        switch (*declared) {
          case VirtualOrder::Number: return sdt_NUMERIC;
          case VirtualOrder::Date: return sdt_DATE;
          case VirtualOrder::Text: return sdt_STRING;
        }
      }
    }
    const ListItemRef first = s_.lvLIST->ListItems().Item(1);
    const Variant text(sub == 0 ? first->Text() : first->SubItems(sub));
    if (IsNumeric(text)) return sdt_NUMERIC;
    if (IsDate(text)) return sdt_DATE;
    return sdt_STRING;
  });
}

void ColumnSort::SortListView(int32_t col) {
  ListView& lv = *s_.lvLIST;
  ReportAndEnd(s_.tk, ":Error in SortListView.  Error Message: ", vbCritical, [&] {
    if (col - 1 < INT16_MIN || col - 1 > INT16_MAX) Raise(err::Overflow, "Kestrel");
    lv.SortBy(static_cast<int16_t>(col - 1), lv.SortOrder() == 0 ? ListView::lvwDescending : ListView::lvwAscending);
  });
}

}  // namespace tamarind::sorting
