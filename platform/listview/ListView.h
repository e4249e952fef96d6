#pragma once
// The common-controls list view in report view: rows (ListItems), columns (ColumnHeaders), the
// column display order, selection, sort state, scrolling, hit testing, and the window messages
// the control sends it.
//
// The model is the same for every realisation. Geometry follows from ListViewMetrics and the
// toolkit's text metrics, so a realisation states its metrics and the rest is computed here;
// a realisation with its own geometry overrides the virtual geometry members.
//
// User input arrives through the User... members: a realisation's input layer (or the headless
// user driver) calls them, and the list view does what the platform's list view does: moves the
// selection, raises its events in the platform's order, reorders and resizes columns.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Control.h"
#include "platform/DataObject.h"
#include "platform/ImageList.h"
#include "platform/Messages.h"
#include "platform/Picture.h"
#include "platform/listview/ColumnHeaders.h"
#include "platform/listview/ListItem.h"
#include "platform/listview/ListItems.h"
#include "platform/listview/ListKeyboard.h"
#include "platform/listview/VirtualRows.h"

namespace tamarind {
class Error;
}

namespace tamarind::platform {

// Pixel measures of the list view's drawing.
struct ListViewMetrics {
  int32_t rowPaddingPx = 4;        // row height = text height + this (or small icon height + 1)
  int32_t headerPaddingPx = 7;     // header height = text height + this
  int32_t stateIconPx = 16;        // width of the check box (state image)
  int32_t cellPaddingPx = 12;      // added to the widest text when a column is fitted
  int32_t headerImagePx = 16;      // width a header image takes besides the caption
  int32_t borderFlatPx = 1;        // border width, flat appearance
  int32_t border3dPx = 2;          // border width, 3-D appearance
};

class ListViewHeader;

// What a realisation that draws the list in a real widget hears about the model. Every
// notification comes right after the change (an insertion or removal is also announced just before). Adding or removing a row is one notification; a sort
// or a clear is one reset, whatever the number of rows.
class ListViewObserver {
 public:
  enum class Change {
    Columns,     // columns added or removed, a caption, width, alignment, image or format changed
    ColumnOrder, // the display order of the columns
    Scroll,      // the first row shown or the horizontal scroll position
    Appearance,  // a property that changes how rows are drawn or measured (view, grid lines, images, ...)
    Header,      // the header window's own styles
  };
  virtual ~ListViewObserver() = default;
  virtual void RowsInserted(int32_t pos, int32_t count) = 0;  // 0-based
  // Just before rows come or go (item models announce a change before it is made).
  virtual void RowsAboutToBeInserted(int32_t /*pos*/, int32_t /*count*/) {}
  virtual void RowsAboutToBeRemoved(int32_t /*pos*/, int32_t /*count*/) {}
  virtual void RowsRemoved(int32_t pos, int32_t count) = 0;
  virtual void RowsReset() = 0;  // any number of rows moved, came or went
  // A row's texts, icons, check box, selection or style changed.
  virtual void ItemChanged(const ListItem& item) = 0;
  virtual void ListChanged(Change what) = 0;
};

class ListView : public Control {
 public:
  enum ViewConstants : int16_t { lvwIcon = 0, lvwSmallIcon = 1, lvwList = 2, lvwReport = 3 };
  enum ListSortOrderConstants : int16_t { lvwAscending = 0, lvwDescending = 1 };
  enum ListPictureAlignmentConstants : int16_t { lvwTopLeft = 0, lvwTile = 5 };
  enum ListFindItemWhereConstants : int16_t { lvwText = 0, lvwSubItem = 1, lvwTag = 2 };
  enum ListFindItemHowConstants : int16_t { lvwWholeWord = 0, lvwPartial = 1 };

  ListView(Toolkit& tk, Window* parent);
  ~ListView() override;

  platform::ListItems& ListItems() { return items_; }
  const platform::ListItems& ListItems() const { return items_; }
  platform::ColumnHeaders& ColumnHeaders() { return columns_; }
  const platform::ColumnHeaders& ColumnHeaders() const { return columns_; }
  ListViewHeader& Header() { return *header_; }

  // --- properties ------------------------------------------------------------------------------
  int16_t View() const { return view_; }
  void View(int16_t v);  // Error 380 outside 0..3
  int16_t Arrange() const { return arrange_; }
  void Arrange(int16_t v) { arrange_ = v; }
  int16_t LabelEdit() const { return labelEdit_; }
  void LabelEdit(int16_t v) { labelEdit_ = v; }
  bool LabelWrap() const { return labelWrap_; }
  void LabelWrap(bool v) { labelWrap_ = v; }
  bool HideColumnHeaders() const { return hideColumnHeaders_; }
  void HideColumnHeaders(bool v) {
    hideColumnHeaders_ = v;
    Notify(ListViewObserver::Change::Appearance);
  }
  bool HideSelection() const { return hideSelection_; }
  void HideSelection(bool v) {
    hideSelection_ = v;
    Notify(ListViewObserver::Change::Appearance);
  }
  bool FullRowSelect() const { return fullRowSelect_; }
  void FullRowSelect(bool v) {
    fullRowSelect_ = v;
    Notify(ListViewObserver::Change::Appearance);
  }
  bool GridLines() const { return gridLines_; }
  void GridLines(bool v) {
    gridLines_ = v;
    Notify(ListViewObserver::Change::Appearance);
  }
  bool Checkboxes() const { return checkboxes_; }
  void Checkboxes(bool v) {
    checkboxes_ = v;
    Notify(ListViewObserver::Change::Appearance);
  }
  bool AllowColumnReorder() const { return allowColumnReorder_; }
  void AllowColumnReorder(bool v) {
    allowColumnReorder_ = v;
    Notify(ListViewObserver::Change::Appearance);
  }
  bool MultiSelect() const { return multiSelect_; }
  void MultiSelect(bool v);
  int16_t OLEDragMode() const { return oleDragMode_; }
  void OLEDragMode(int16_t v) { oleDragMode_ = v; }
  int16_t OLEDropMode() const { return oleDropMode_; }
  void OLEDropMode(int16_t v) { oleDropMode_ = v; }
  // Never null: the empty picture when none is set. Setting Nothing clears it.
  const PictureRef& Picture() const { return picture_; }
  void Picture(PictureRef p);
  int16_t PictureAlignment() const { return pictureAlignment_; }
  void PictureAlignment(int16_t v) {
    pictureAlignment_ = v;
    Notify(ListViewObserver::Change::Appearance);
  }
  const ImageListRef& Icons() const { return icons_; }
  void Icons(ImageListRef l) {
    icons_ = std::move(l);
    Notify(ListViewObserver::Change::Appearance);
  }
  const ImageListRef& SmallIcons() const { return smallIcons_; }
  void SmallIcons(ImageListRef l) {
    smallIcons_ = std::move(l);
    Notify(ListViewObserver::Change::Appearance);
  }
  const ImageListRef& ColumnHeaderIcons() const { return columnHeaderIcons_; }
  void ColumnHeaderIcons(ImageListRef l) {
    columnHeaderIcons_ = std::move(l);
    Notify(ListViewObserver::Change::Columns);
  }

  // Sort state. Setting Sorted True sorts at once by the text of column SortKey (0 = item text),
  // ignoring case, locale-aware and stable, in SortOrder; while Sorted is True a change of SortKey
  // or SortOrder sorts again and every added row goes to its sorted place.
  bool Sorted() const { return sorted_; }
  void Sorted(bool v);
  int16_t SortKey() const { return sortKey_; }
  void SortKey(int16_t v);  // Error 380 for a negative key
  int16_t SortOrder() const { return sortOrder_; }
  void SortOrder(int16_t v);  // Error 380 outside 0..1
  // Sorted = True, SortKey = key, SortOrder = order, assigned in that order: the rows end as
  // those three assignments leave them, but they are sorted once instead of three times.
  void SortBy(int16_t key, int16_t order);
  // The rows ordered by one number each, asked of numberOf once per row by its item parameter:
  // ascending, or descending; rows of equal number keep their order in the list. This is the
  // order LVM_SORTITEMS gives with a routine returning the sign of the difference of two rows'
  // numbers (negated for descending), without a routine called for every comparison. Sorted
  // is left as it is, like LVM_SORTITEMS leaves it. An error from numberOf leaves the rows as
  // they were.
  void SortItemsByNumber(const std::function<double(LPARAM)>& numberOf, bool descending);
  // How many bytes of text LVM_GETITEMA copies into a buffer of cchTextMax characters: at most
  // cchTextMax - 1 characters, never a part of one (the last place holds the terminating zero).
  static size_t GetItemTextBytes(const std::string& text, int32_t cchTextMax);

  // The selected item: the focused item while it is selected, else the first selected item,
  // else nullptr. Setting an item selects it and makes it the focused item; nullptr deselects all.
  ListItemRef SelectedItem() const;
  void SelectedItem(const ListItemRef& item);
  // The selected items in list order (for a source's rows, located with one request).
  std::vector<ListItemRef> SelectedItems() const;
  // How many items are selected.
  size_t SelectedCount() const { return selected_.size(); }
  // The selected items of a list holding its rows, with their 1-based indexes, in list order. Only
  // the selected items are read, so a query about a few of many rows costs what the few do. The
  // pointers are valid until the list next changes.
  std::vector<std::pair<int32_t, ListItem*>> SelectedInListOrder() const;
  // The same, visited. Rows selected down the list (a Shift-click, a loop over the rows: the usual
  // case) are visited as each is located, so that each is read once; should a row stand above one
  // selected before it, restart() is called and the visits start again, once, in list order.
  void VisitSelectedInListOrder(const std::function<void(int32_t, const ListItem&)>& visit,
                                const std::function<void()>& restart) const;
  // The item with the focus rectangle, where the keyboard acts: the item last selected, or one the
  // keys moved the focus to alone (Ctrl with an arrow in a MultiSelect list). Setting it selects
  // nothing.
  ListItemRef FocusedItem() const;
  void FocusedItem(const ListItemRef& item);
  // The keys of a list with the focus (the keyboard router hands them over).
  ListKeyboard& Keyboard() { return keyboard_; }
  ListItemRef GetFirstVisible() const;
  // The first item whose text (or sub-item text, or tag) equals sz or, partial, starts with it,
  // ignoring case; searching from index (1-based, Empty = 1). nullptr when none matches.
  ListItemRef FindItem(std::string_view sz, int16_t where = lvwText, const Variant& index = {},
                       int16_t how = lvwWholeWord) const;
  // The item at (x, y) in twips of the client area; nullptr when none.
  ListItemRef HitTest(float x, float y) const;
  // Starts an OLE drag of the selected items (raises OLEStartDrag, then OLECompleteDrag).
  void OLEDrag();

  // --- virtual mode ------------------------------------------------------------------------------
  // The list shows a source's rows without holding them (see VirtualRows.h and VirtualCache.h): the
  // rows it held go, the selection is cleared, Sorted turns False (the rows stand in the source's
  // order), the columns stay the caller's. A text sort by the
  // Sorted/SortKey/SortOrder properties becomes the source's sort; sorting by a comparison routine
  // or by item parameters is Error 5. Error 380 for no source.
  void BindVirtual(std::shared_ptr<VirtualRows> source);
  // Back to holding rows, with none.
  void UnbindVirtual();
  bool Virtual() const { return items_.virtual_ != nullptr; }
  VirtualRows* VirtualSource() const;  // nullptr in normal mode
  // The source's rows changed order (a sort) or number (filtered: a filter added or dropped, a
  // refresh): the cached rows go and the rows are counted again; with filtered, selected rows no
  // longer shown lose their selection.
  void VirtualRowsChanged(bool filtered);
  // A page the source could not give (error number and description): the rows stand blank until
  // the list is refreshed.
  Event<int32_t, std::string> VirtualFetchFailed;

  // --- column display order ----------------------------------------------------------------------
  // 0-based column numbers from left to right.
  const std::vector<int32_t>& ColumnOrder() const { return order_; }
  // Error 5 unless order is a permutation of 0 .. Count - 1.
  void ColumnOrder(const std::vector<int32_t>& order);

  // --- scrolling ---------------------------------------------------------------------------------
  int32_t TopIndex() const { return topIndex_; }  // 0-based first row shown
  int32_t ScrollXPx() const { return scrollXPx_; }
  // Scrolls to show row topIndex first and the columns from pixel scrollX on, within range.
  void ScrollTo(int32_t topIndex, int32_t scrollXPx);
  int32_t VisibleRowCount() const;

  // --- geometry (pixels, client coordinates) -----------------------------------------------------
  // The geometry is computed from these metrics and the toolkit's text metrics; a realisation
  // that draws the list in a real widget answers the virtual members from that widget instead.
  const ListViewMetrics& Metrics() const { return metrics_; }
  void Metrics(const ListViewMetrics& m) { metrics_ = m; }
  virtual int32_t RowHeightPx() const;
  virtual int32_t HeaderHeightPx() const;  // 0 when the header is hidden or not in report view
  int32_t SmallIconWidthPx() const;        // 0 without a small-icon list
  // Width of the check box in front of an item while Checkboxes is on.
  virtual int32_t StateIconWidthPx() const { return metrics_.stateIconPx; }
  int32_t ColumnWidthPx(int32_t column0) const;
  // Left edge of a column (0-based number) in client pixels, after scrolling.
  int32_t ColumnLeftPx(int32_t column0) const;
  int32_t TotalColumnWidthPx() const;
  // Top of row pos (0-based) in pixels, after scrolling, from the top edge of the list window as
  // the realisation draws it: a realisation that draws a frame around the client area counts it,
  // so that ListItem.Top puts an editor on the row drawn (the model draws none).
  virtual int32_t RowTopPx(int32_t pos) const;
  // The rectangle of one cell, client pixels.
  virtual RECT CellRectPx(int32_t pos, int32_t column0) const;
  // The sub-item hit test of LVM_SUBITEMHITTEST.
  virtual void SubItemHitTest(LVHITTESTINFO& info) const;
  // Width in pixels that fits the texts of a column (and, with header, its caption).
  int32_t FitColumnWidthPx(int32_t column0, bool includeHeader) const;
  POINT ClientOffsetPx() const override;

  LRESULT WindowProc(uint32_t msg, WPARAM wParam, LPARAM lParam) override;

  // --- user input --------------------------------------------------------------------------------
  // Press and release of a mouse button at (x, y), twips in client coordinates. The press takes
  // the focus, raises MouseDown, then on a check box toggles it and raises ItemCheck, on a row
  // selects it and raises ItemClick; the release raises MouseUp, then Click (DblClick for the
  // second press of a double click).
  void UserMouseDown(int16_t button, int16_t shift, float x, float y);
  void UserMouseUp(int16_t button, int16_t shift, float x, float y);
  void UserDoubleClick(int16_t button, int16_t shift, float x, float y);
  // A click on a column header raises ColumnClick.
  void UserClickHeader(int32_t columnIndex);
  // Drags a column (1-based Index) to a display position (1-based); only with AllowColumnReorder.
  void UserDragColumn(int32_t columnIndex, int32_t toPosition);
  // Drags a column's right edge so that the column is width twips wide.
  void UserResizeColumn(int32_t columnIndex, float width);

  // --- change notifications ----------------------------------------------------------------------
  // One observer at a time (the realisation's widget); nullptr for none.
  void Observer(ListViewObserver* o) { observer_ = o; }
  ListViewObserver* Observer() const { return observer_; }

  // --- events ------------------------------------------------------------------------------------
  Event<ListItemRef> ItemClick;
  Event<ListItemRef> ItemCheck;
  Event<ColumnHeaderRef> ColumnClick;
  Event<std::shared_ptr<DataObject>, int32_t&> OLEStartDrag;  // Data, AllowedEffects
  Event<std::shared_ptr<DataObject>, int16_t&> OLESetData;     // Data, DataFormat
  Event<int32_t&, bool&> OLEGiveFeedback;                       // Effect, DefaultCursors
  Event<std::shared_ptr<DataObject>, int32_t&, int16_t&, int16_t&, float&, float&, int16_t&> OLEDragOver;
  Event<std::shared_ptr<DataObject>, int32_t&, int16_t&, int16_t&, float&, float&> OLEDragDrop;
  Event<int32_t&> OLECompleteDrag;  // Effect

 protected:
  void OnResized() override;
  void Notify(ListViewObserver::Change what) const {
    if (observer_) observer_->ListChanged(what);
  }

 private:
  friend class platform::ListItems;
  friend class ListItem;
  friend class platform::ColumnHeaders;
  friend class ColumnHeader;
  friend class ListViewHeader;
  friend class ListKeyboard;
  friend class VirtualCache;
  void OnVirtualFetchFailed(const tamarind::Error& e);

  // Called by the collections.
  size_t SortedInsertPosition(const ListItem& item) const;
  void SortNow();
  // A stable text sort by column key in direction order; rows of equal text there are ordered by
  // column thenKey in direction thenOrder (no such step for thenKey -1), then kept in their order.
  void SortRows(int16_t key, int16_t order, int16_t thenKey, int16_t thenOrder);
  void OnItemSelected(ListItem& item, bool selected);
  // Takes an item off the selected list (nothing when it is not on it), in constant time.
  void Unselect(ListItem& item);
  // Column c of a row has a new text (-1: any column may have).
  void OnRowTextsChanged(int32_t c) {
    if (c < 0 || c == orderedKey_) ordered_ = false;
  }
  // Whether the rows are known to stand in order of column key in direction order.
  bool InOrder(int16_t key, int16_t order) const { return ordered_ && orderedKey_ == key && orderedOrder_ == order; }
  void OnItemInserted(const ListItem& item, size_t pos);
  void OnItemInserting(size_t pos) const {
    if (observer_) observer_->RowsAboutToBeInserted(static_cast<int32_t>(pos), 1);
  }
  void OnItemRemoving(size_t pos) const {
    if (observer_) observer_->RowsAboutToBeRemoved(static_cast<int32_t>(pos), 1);
  }
  void OnItemRemoved(ListItem& item, size_t pos);
  // After rows left in one pass (each unselected as it left): the view hears one reset.
  void OnItemsRemoved();
  void ClampTopAfterRemoval();
  void OnItemsCleared();
  void OnItemChanged(const ListItem& item) const {
    if (observer_) observer_->ItemChanged(item);
  }
  void OnColumnAdded(int32_t index0);
  void OnColumnRemoved(int32_t index0);
  void OnColumnsCleared();
  void ClampScroll();
  // Moves the scroll position within range; observers hear of a change.
  void SetScroll(int32_t topIndex, int32_t scrollXPx);
  ListItemRef ItemAtPoint(int32_t xPx, int32_t yPx, int32_t* column0) const;

  LRESULT OnGetItem(LVITEMA& item) const;
  LRESULT OnSetColumnWidth(int32_t column0, int32_t width);
  LRESULT OnSortItems(LPARAM lParamSort, PFNLVCOMPARE compare);
  // The rows put in the order given (order[i] is the position of the row to stand at i), after a
  // sort by parameters.
  template <class Position>
  void ApplySortOrder(const std::vector<Position>& order);

  platform::ListItems items_;
  platform::ColumnHeaders columns_;
  std::unique_ptr<ListViewHeader> header_;
  std::vector<int32_t> order_;
  ListViewMetrics metrics_;

  int16_t view_ = lvwReport, arrange_ = 0, labelEdit_ = 0, oleDragMode_ = 0, oleDropMode_ = 0;
  int16_t pictureAlignment_ = lvwTopLeft, sortKey_ = 0, sortOrder_ = lvwAscending;
  bool labelWrap_ = true, hideColumnHeaders_ = false, hideSelection_ = true, fullRowSelect_ = false,
       gridLines_ = false, checkboxes_ = false, allowColumnReorder_ = false, multiSelect_ = false, sorted_ = false;
  PictureRef picture_;
  ImageListRef icons_, smallIcons_, columnHeaderIcons_;

  // The rows are in order of the text of column orderedKey_ in direction orderedOrder_, as a sort
  // left them, while ordered_: no text has changed and no row has moved out of that order since.
  // Sorting them again then changes nothing and is skipped.
  bool ordered_ = false;
  int16_t orderedKey_ = 0, orderedOrder_ = lvwAscending;

  ListViewObserver* observer_ = nullptr;
  std::vector<ListItem*> selected_;  // selected items in the list, in no useful order; each knows its place
  std::weak_ptr<ListItem> focused_;
  ListKeyboard keyboard_{*this};
  int32_t topIndex_ = 0, scrollXPx_ = 0;
};

// The column header control of a list view: a child window that answers HDM_ messages.
class ListViewHeader : public Window {
 public:
  explicit ListViewHeader(ListView& list);
  RECT BoundsPx() const override;
  void SetBoundsPx(const RECT&) override {}
  LRESULT WindowProc(uint32_t msg, WPARAM wParam, LPARAM lParam) override;
  // The list's observer hears of it (a change of the header's own styles).
  void Invalidate(bool erase) override;
  ListView& List() const { return list_; }

 private:
  ListView& list_;
};

}  // namespace tamarind::platform
