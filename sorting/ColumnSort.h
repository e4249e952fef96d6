#pragma once
// Sorting the list by a column: what a click on a column header does, and the same sort on the
// host's request (PerformSortOnColumn).
//
// With SmartColumnSort and AutoSort a header click first looks at the column's first cell to
// decide whether the column holds numbers, dates or text (DetermineSortType), lets the host
// confirm or change that in BeforeColumnSort, and sorts: text by the list view's own sort
// (SortListView), numbers and dates by keys computed once per row (KeyedSort.h). With AutoSort
// alone, a click sorts by text while the list is Sorted. The direction is the list's SortOrder,
// shared by all columns: each sort started by a click turns it over. After a sort come the sort
// sound, ColumnSortComplete and the arrows in the header.
//
// Other parts of the control (filtering, searching) sort through this class's public members;
// each behaves exactly as described at the member, whoever calls it.

#include <cstdint>
#include <string>

#include "core/KestrelState.h"
#include "editing/EditorPlacement.h"

namespace tamarind::sorting {

class ColumnSort {
 public:
  // Connects the list's ColumnClick to HeaderClick.
  ColumnSort(KestrelState& s, editing::EditorPlacement& editors);
  ColumnSort(const ColumnSort&) = delete;
  ColumnSort& operator=(const ColumnSort&) = delete;

  // Everything a click on the header ColumnHeader does, in order: the column alignments are saved;
  // ColumnClick is raised; with SmartColumnSort and AutoSort the editors close and, when the list
  // has rows, the type is detected, BeforeColumnSort raised and the column sorted as the host left
  // SortType and OmitChar (numbers and dates in the direction opposite to the current SortOrder),
  // then the sort sound (PlaySounds, and a SortType other than std_NOSORT), the alignments back and
  // ColumnSortComplete; with AutoSort alone and the list Sorted, a text sort with the selected row
  // scrolled into view, the sound, the alignments and ColumnSortComplete; otherwise no sort.
  // Finally, with SortArrows and a SortType other than std_NOSORT, the arrow moves to this column
  // for the current SortOrder, also when nothing was sorted. Errors anywhere are passed over.
  void HeaderClick(const platform::ColumnHeaderRef& ColumnHeader);

  // Sorts by column colINDEX (1-based) as sOrder says, without a ColumnClick: the editors close;
  // with rows, BeforeColumnSort (the header, sOrder, "") and the sort as the host left SortType
  // and OmitChar: numbers and dates in direction sdir, text by SortListView, which turns SortOrder
  // over whatever sdir says; then the sound, ColumnSortComplete and the arrow on colINDEX. Any
  // error (a colINDEX without column, a cell that is no number) reaches the caller, and the steps
  // after it do not run.
  void PerformSortOnColumn(int32_t colINDEX, SortDataType sOrder, SortDataDir sdir);

  // The type of column sub (0 = the item's text) judged by its first row alone: sdt_NUMERIC when
  // the text is a number, else sdt_DATE when it is a date, else sdt_STRING (also for an empty
  // cell). The same runtime rules convert the cells when the keys are built. On an error (no
  // rows, no such column): a "Warning" message box and sdt_STRING.
  SortDataType DetermineSortType(int32_t sub);

  // The list view's own text sort by column col (1-based): Sorted True, SortKey col - 1, and
  // SortOrder turned over. Case is ignored, accents count, equal texts keep their order, and the
  // list keeps rows added later in order. On an error: a "Warning" message box.
  void SortListView(int32_t col);

 private:
  // The sort of one SortType: numbers and dates in direction dir, text by column textCol (1-based);
  // other types sort nothing.
  void SortAs(SortDataType type, int32_t sub, int32_t dir, const std::string& OmitChar, int32_t textCol);
  void CloseEditors();

  KestrelState& s_;
  editing::EditorPlacement& editors_;
};

}  // namespace tamarind::sorting
