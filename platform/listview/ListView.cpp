#include "platform/listview/ListView.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <cstdint>
#include <cstring>
#include <numeric>

#include "platform/Toolkit.h"
#include "platform/listview/NumberSort.h"
#include "platform/listview/TextSort.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Text.h"
#include "runtime/Utf8.h"

namespace tamarind::platform {

namespace {

// The largest first row shown: the last page is full when there are rows enough to fill it.
int32_t MaxTopIndex(const ListView& lv) {
  return std::max(0, lv.ListItems().Count() - std::max(1, lv.VisibleRowCount()));
}

}  // namespace

ListView::ListView(Toolkit& tk, Window* parent)
    : Control(tk, "ListView20WndClass", parent),
      items_(*this),
      columns_(*this),
      picture_(std::make_shared<StdPicture>()) {
  header_ = std::make_unique<ListViewHeader>(*this);
}

ListView::~ListView() = default;

// --- properties --------------------------------------------------------------------------------------

void ListView::View(int16_t v) {
  if (v < lvwIcon || v > lvwReport) Raise(err::InvalidPropertyValue, "ListView");
  view_ = v;
  ClampScroll();
  Notify(ListViewObserver::Change::Appearance);
}

void ListView::MultiSelect(bool v) {
  multiSelect_ = v;
  if (!v && selected_.size() > 1) {
    // Keeping one selection: the focused item when it is selected, else the first selected.
    ListItemRef keep = SelectedItem();
    for (ListItem* item : selected_)
      if (item != keep.get()) {
        item->selected_ = false;
        OnItemChanged(*item);
      }
    selected_.assign(1, keep.get());
    keep->selectionSlot_ = 0;
  }
}

void ListView::Picture(PictureRef p) {
  picture_ = p ? std::move(p) : std::make_shared<StdPicture>();
  Notify(ListViewObserver::Change::Appearance);
}

void ListView::Sorted(bool v) {
  sorted_ = v;
  if (v) SortNow();
}

void ListView::SortKey(int16_t v) {
  if (v < 0) Raise(err::InvalidPropertyValue, "ListView");
  sortKey_ = v;
  if (sorted_) SortNow();
}

void ListView::SortOrder(int16_t v) {
  if (v != lvwAscending && v != lvwDescending) Raise(err::InvalidPropertyValue, "ListView");
  sortOrder_ = v;
  if (sorted_) SortNow();
}

void ListView::SortBy(int16_t key, int16_t order) {
  if (key < 0 || (order != lvwAscending && order != lvwDescending)) {
    // A value out of range fails where its own assignment fails, after the assignments before it.
    Sorted(true);
    SortKey(key);
    SortOrder(order);
    return;
  }
  const int16_t oldKey = sortKey_, oldOrder = sortOrder_;
  sorted_ = true;
  sortKey_ = key;
  sortOrder_ = order;
  // Assigned one by one, each of the three would sort, stably: by the old key, by the new key in
  // the old direction, then in the new one. Rows of equal text in the new column end in the order
  // the sort by the old key left them; a sort by the old key never changes the order of rows the
  // new one tells apart. So one sort by the new key decides, and only rows it finds equal are
  // ordered by the old key. Rows already in the old key's order need no such step.
  const bool oldOrderHolds = key == oldKey || InOrder(oldKey, oldOrder);
  SortRows(key, order, oldOrderHolds ? -1 : oldKey, oldOrder);
}

void ListView::SortNow() { SortRows(sortKey_, sortOrder_, -1, lvwAscending); }

void ListView::SortRows(int16_t key, int16_t order, int16_t thenKey, int16_t thenOrder) {
  if (thenKey < 0 && InOrder(key, order)) return;  // a stable sort of sorted rows changes nothing
  if (items_.virtual_) {
    // The engine orders a source's rows, stably as this list does: the sort by the old key that
    // Sorted's assignment implies goes first, so that it decides between rows equal in the new one.
    VirtualRows& source = items_.virtual_->Source();
    if (thenKey >= 0) source.Sort(thenKey, VirtualOrder::Text, thenOrder == lvwDescending, {});
    source.Sort(key, VirtualOrder::Text, order == lvwDescending, {});
    VirtualRowsChanged(false);
    ordered_ = true;
    orderedKey_ = key;
    orderedOrder_ = order;
    return;
  }
  ordered_ = true;
  orderedKey_ = key;
  orderedOrder_ = order;
  if (items_.rows_.size() < 2) return;
  std::vector<const ListItem*> rows;
  rows.reserve(items_.rows_.size());
  items_.rows_.forEach([&rows](const ListItemRef& item) { rows.push_back(item.get()); });
  items_.rows_.reorder(TextSortOrder(rows, key, order, thenKey, thenOrder));
  if (observer_) observer_->RowsReset();
}

size_t ListView::SortedInsertPosition(const ListItem& item) const {
  const std::string& text = item.ColumnText(sortKey_);
  size_t lo = 0, hi = items_.rows_.size();
  // After every row that sorts equal to the new one: insertion keeps the sort stable.
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    const int c = text::CompareText(items_.rows_.at(mid)->ColumnText(sortKey_), text);
    const bool before = sortOrder_ == lvwAscending ? c <= 0 : c >= 0;
    if (before) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

// --- selection ---------------------------------------------------------------------------------------

void ListView::OnItemSelected(ListItem& item, bool selected) {
  if (selected) {
    if (!multiSelect_) {
      for (ListItem* other : selected_) {
        other->selected_ = false;
        OnItemChanged(*other);
      }
      selected_.clear();
    }
    item.selectionSlot_ = static_cast<uint32_t>(selected_.size());
    selected_.push_back(&item);
    focused_ = item.shared_from_this();
  } else {
    Unselect(item);
    if (items_.virtual_) items_.virtual_->Unpin(item);
  }
  OnItemChanged(item);
}

void ListView::OnItemInserted(const ListItem&, size_t pos) {
  if (observer_) observer_->RowsInserted(static_cast<int32_t>(pos), 1);
}

void ListView::Unselect(ListItem& item) {
  const size_t slot = item.selectionSlot_;
  if (slot >= selected_.size() || selected_[slot] != &item) return;  // not among the selected
  // The last entry takes the freed place: taking a row out costs the same however many are selected.
  selected_[slot] = selected_.back();
  selected_[slot]->selectionSlot_ = static_cast<uint32_t>(slot);
  selected_.pop_back();
}

void ListView::OnItemRemoved(ListItem& item, size_t pos) {
  Unselect(item);
  if (focused_.lock().get() == &item) focused_.reset();
  if (observer_) observer_->RowsRemoved(static_cast<int32_t>(pos), 1);
  ClampTopAfterRemoval();
}

void ListView::OnItemsRemoved() {
  if (const ListItemRef focused = focused_.lock(); focused && focused->owner_ != this) focused_.reset();
  if (observer_) observer_->RowsReset();
  ClampTopAfterRemoval();
}

void ListView::ClampTopAfterRemoval() {
  // Fewer rows can only lower the last top row allowed; the horizontal limit depends on the
  // columns alone. A list shown from its first row has nothing to clamp, and skipping the geometry
  // keeps removing rows one at a time cheap.
  if (topIndex_ > 0) {
    const int32_t top = std::min(topIndex_, MaxTopIndex(*this));
    if (top != topIndex_) {
      topIndex_ = top;
      Notify(ListViewObserver::Change::Scroll);
    }
  }
}

void ListView::OnItemsCleared() {
  selected_.clear();
  focused_.reset();
  topIndex_ = 0;
  if (observer_) {
    observer_->RowsReset();
    observer_->ListChanged(ListViewObserver::Change::Scroll);
  }
}

ListItemRef ListView::SelectedItem() const {
  ListItemRef f = focused_.lock();
  if (f && f->owner_ == this && f->selected_) return f;
  ListItem* first = nullptr;
  size_t firstPos = 0;
  for (ListItem* item : selected_) {
    const auto pos = static_cast<size_t>(items_.PositionOf(*item));
    if (!first || pos < firstPos) {
      first = item;
      firstPos = pos;
    }
  }
  return first ? first->shared_from_this() : nullptr;
}

std::vector<ListItemRef> ListView::SelectedItems() const {
  std::vector<ListItemRef> out;
  out.reserve(selected_.size());
  if (items_.virtual_) {
    const std::vector<int32_t> pos = items_.virtual_->PositionsOf(selected_);
    std::vector<std::pair<int64_t, ListItem*>> placed;
    placed.reserve(selected_.size());
    for (size_t i = 0; i < selected_.size(); ++i)
      if (pos[i] >= 0) placed.emplace_back(pos[i], selected_[i]);
    std::sort(placed.begin(), placed.end());
    for (const auto& [p, item] : placed) out.push_back(item->shared_from_this());
  } else {
    for (const auto& [index, item] : SelectedInListOrder()) out.push_back(item->shared_from_this());
  }
  return out;
}

std::vector<std::pair<int32_t, ListItem*>> ListView::SelectedInListOrder() const {
  assert(!items_.virtual_);
  const std::vector<uint32_t> pos = items_.rows_.positionsOf(selected_);
  std::vector<std::pair<int32_t, ListItem*>> placed;
  placed.reserve(pos.size());
  const auto place = [&](size_t i) { placed.emplace_back(static_cast<int32_t>(pos[i]) + 1, selected_[i]); };
  // Rows selected one after another down the list (a click and Shift-click, a loop over the rows)
  // are already in order; otherwise the positions are put in order by a radix sort.
  if (std::is_sorted(pos.begin(), pos.end())) {
    for (size_t i = 0; i < pos.size(); ++i) place(i);
  } else {
    for (uint32_t i : NumberSortOrder(pos.size(), [&](size_t i) { return static_cast<double>(pos[i]); }, false))
      place(i);
  }
  return placed;
}

void ListView::VisitSelectedInListOrder(const std::function<void(int32_t, const ListItem&)>& visit,
                                        const std::function<void()>& restart) const {
  assert(!items_.virtual_);
  bool ascending = true;
  uint32_t last = 0;
  items_.rows_.locateEach(selected_, [&](size_t i, uint32_t pos) {
    if (i > 0 && pos < last) return ascending = false;
    last = pos;
    visit(static_cast<int32_t>(pos) + 1, *selected_[i]);
    return true;
  });
  if (ascending) return;
  restart();
  const std::vector<std::pair<int32_t, ListItem*>> placed = SelectedInListOrder();
  constexpr size_t kAhead = 32;  // the items lie scattered: read ahead, as when locating them
  for (size_t i = 0; i < placed.size(); ++i) {
    if (i + kAhead < placed.size()) __builtin_prefetch(placed[i + kAhead].second);
    visit(placed[i].first, *placed[i].second);
  }
}

void ListView::SelectedItem(const ListItemRef& item) {
  if (!item) {
    for (ListItem* s : selected_) {
      s->selected_ = false;
      OnItemChanged(*s);
    }
    selected_.clear();
    return;
  }
  if (item->owner_ != this) Raise(err::InvalidPropertyValue, "ListView");
  if (!item->selected_) item->Selected(true);
  focused_ = item;
}

ListItemRef ListView::FocusedItem() const {
  ListItemRef f = focused_.lock();
  return f && f->owner_ == this ? f : nullptr;
}

void ListView::FocusedItem(const ListItemRef& item) {
  if (item && item->owner_ != this) Raise(err::InvalidPropertyValue, "ListView");
  const ListItemRef old = FocusedItem();
  if (old == item) return;
  focused_ = item;
  if (old && items_.virtual_) items_.virtual_->Unpin(*old);
  if (old) OnItemChanged(*old);
  if (item) OnItemChanged(*item);
}

// --- virtual mode ------------------------------------------------------------------------------------

void ListView::BindVirtual(std::shared_ptr<VirtualRows> source) {
  if (!source) Raise(err::InvalidPropertyValue, "ListView");
  if (!items_.virtual_) {
    // The rows the list held go, as a Clear would take them.
    items_.rows_.forEach([](const ListItemRef& item) { item->owner_ = nullptr; });
    items_.rows_.clear();
    items_.byKey_.Clear();
  }
  selected_.clear();
  focused_.reset();
  items_.virtual_.reset();
  items_.virtual_ = std::make_unique<VirtualCache>(*this, std::move(source));
  // The rows start in the source's own order, Sorted off: a text sort of every row that nobody
  // clicked for would cost seconds on ten million rows before the first page is shown.
  sorted_ = false;
  ordered_ = false;
  topIndex_ = 0;
  if (observer_) {
    observer_->RowsReset();
    observer_->ListChanged(ListViewObserver::Change::Scroll);
  }
}

void ListView::UnbindVirtual() {
  if (!items_.virtual_) return;
  selected_.clear();
  focused_.reset();
  items_.virtual_.reset();
  ordered_ = false;
  topIndex_ = 0;
  if (observer_) {
    observer_->RowsReset();
    observer_->ListChanged(ListViewObserver::Change::Scroll);
  }
}

VirtualRows* ListView::VirtualSource() const { return items_.virtual_ ? &items_.virtual_->Source() : nullptr; }

void ListView::VirtualRowsChanged(bool filtered) {
  if (!items_.virtual_) return;
  VirtualCache& cache = *items_.virtual_;
  cache.Reset(filtered);
  // A new order is no longer the text order a sort left (a filter keeps the order it had).
  if (!filtered) ordered_ = false;
  if (filtered) {
    // Rows a filter took away lose their selection, as rows taken out of a list do. The source
    // tells which keys it still shows, without placing them in its order.
    std::vector<ListItem*> held = selected_;
    const ListItemRef focused = focused_.lock();
    if (focused && !focused->selected_) held.push_back(focused.get());
    std::vector<std::string> keys;
    keys.reserve(held.size());
    for (const ListItem* item : held) keys.push_back(item->key_);
    const std::vector<bool> shown = keys.empty() ? std::vector<bool>() : cache.Source().Shown(keys);
    for (size_t i = 0; i < held.size(); ++i) {
      if (i < shown.size() && shown[i] && !held[i]->key_.empty()) continue;
      ListItem& item = *held[i];
      if (item.selected_) {
        item.selected_ = false;
        Unselect(item);
      }
      if (focused.get() == &item) focused_.reset();
      cache.Unpin(item);
    }
  }
  if (observer_) observer_->RowsReset();
  ClampScroll();
  Invalidate(true);
}

void ListView::OnVirtualFetchFailed(const Error& e) { VirtualFetchFailed(e.Number(), e.Description()); }

ListItemRef ListView::GetFirstVisible() const {
  if (items_.Count() == 0) return nullptr;
  return items_.At(static_cast<size_t>(std::min<int32_t>(topIndex_, items_.Count() - 1)));
}

ListItemRef ListView::FindItem(std::string_view sz, int16_t where, const Variant& index, int16_t how) const {
  const int32_t n = items_.Count();
  int32_t start = 1;
  if (!index.IsEmpty()) {
    start = index.IsString() ? items_.Item(std::string_view(index.AsString()))->Index() : CLng(index);
    if (start < 1 || start > n) Raise(err::IndexOutOfBounds, "ListView");
  }
  const std::string wanted = text::FoldCase(sz);
  auto matches = [&](const std::string& candidate) {
    const std::string folded = text::FoldCase(candidate);
    return how == lvwPartial ? folded.compare(0, wanted.size(), wanted) == 0 : folded == wanted;
  };
  for (int32_t i = start; i <= n; ++i) {
    const ListItemRef item = items_.At(static_cast<size_t>(i - 1));
    if (where == lvwText && matches(item->text_)) return item;
    if (where == lvwTag && !item->Tag().IsNull() && matches(CStr(item->Tag()))) return item;
    if (where == lvwSubItem)
      for (const auto& s : item->subItems_)
        if (matches(s.text)) return item;
  }
  return nullptr;
}

ListItemRef ListView::HitTest(float x, float y) const {
  Toolkit& tk = GetToolkit();
  const auto px = static_cast<int32_t>(x / static_cast<float>(tk.GetScreen().TwipsPerPixelX()));
  const auto py = static_cast<int32_t>(y / static_cast<float>(tk.GetScreen().TwipsPerPixelY()));
  return ItemAtPoint(px, py, nullptr);
}

void ListView::OLEDrag() {
  auto data = std::make_shared<DataObject>();
  int32_t allowed = 3;  // copy and move
  OLEStartDrag(data, allowed);
  int32_t effect = 0;  // nothing dropped: the headless desktop has no drop target
  OLECompleteDrag(effect);
}

// --- column order and scrolling ----------------------------------------------------------------------

void ListView::ColumnOrder(const std::vector<int32_t>& order) {
  std::vector<int32_t> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  for (size_t i = 0; i < sorted.size(); ++i)
    if (sorted[i] != static_cast<int32_t>(i)) Raise(err::InvalidProcedureCall, "ListView");
  if (sorted.size() != static_cast<size_t>(columns_.Count())) Raise(err::InvalidProcedureCall, "ListView");
  order_ = order;
  Notify(ListViewObserver::Change::ColumnOrder);
}

void ListView::OnColumnAdded(int32_t index0) {
  for (int32_t& c : order_)
    if (c >= index0) ++c;
  // A new column takes the display place of its index, as the platform inserts it.
  const size_t at = std::min(order_.size(), static_cast<size_t>(index0));
  order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(at), index0);
  Notify(ListViewObserver::Change::Columns);
}

void ListView::OnColumnRemoved(int32_t index0) {
  order_.erase(std::remove(order_.begin(), order_.end(), index0), order_.end());
  for (int32_t& c : order_)
    if (c > index0) --c;
  Notify(ListViewObserver::Change::Columns);
  ClampScroll();
}

void ListView::OnColumnsCleared() {
  order_.clear();
  scrollXPx_ = 0;
  Notify(ListViewObserver::Change::Columns);
}

int32_t ListView::VisibleRowCount() const {
  const int32_t h = ClientRectPx().Height() - HeaderHeightPx();
  return std::max(0, h / std::max(1, RowHeightPx()));
}

void ListView::ClampScroll() { SetScroll(topIndex_, scrollXPx_); }

void ListView::SetScroll(int32_t topIndex, int32_t scrollXPx) {
  const int32_t top = topIndex_, x = scrollXPx_;
  topIndex_ = std::clamp(topIndex, 0, MaxTopIndex(*this));
  const int32_t maxX = std::max(0, TotalColumnWidthPx() - ClientRectPx().Width());
  scrollXPx_ = std::clamp(scrollXPx, 0, maxX);
  if (top != topIndex_ || x != scrollXPx_) Notify(ListViewObserver::Change::Scroll);
}

void ListView::ScrollTo(int32_t topIndex, int32_t scrollXPx) {
  SetScroll(topIndex, scrollXPx);
  Invalidate(false);
}

void ListView::OnResized() { ClampScroll(); }

// --- geometry ----------------------------------------------------------------------------------------

int32_t ListView::RowHeightPx() const {
  int32_t h = GetToolkit().Metrics().TextHeightPx(*Font()) + metrics_.rowPaddingPx;
  // An icon is at most as high as the largest picture, whatever size an empty image list was given.
  if (smallIcons_ && smallIcons_->ImageHeight() > 0)
    h = std::max(h, std::min(smallIcons_->ImageHeight(), StdPicture::kMaxSidePx) + 1);
  if (checkboxes_) h = std::max(h, metrics_.stateIconPx + 1);
  return h;
}

int32_t ListView::HeaderHeightPx() const {
  if (view_ != lvwReport || hideColumnHeaders_) return 0;
  return GetToolkit().Metrics().TextHeightPx(*Font()) + metrics_.headerPaddingPx;
}

int32_t ListView::SmallIconWidthPx() const { return smallIcons_ ? smallIcons_->ImageWidth() : 0; }

int32_t ListView::ColumnWidthPx(int32_t column0) const {
  return TwipsToPixelsX(GetToolkit(), columns_.Item(column0 + 1)->Width());
}

int32_t ListView::ColumnLeftPx(int32_t column0) const {
  int32_t x = -scrollXPx_;
  for (int32_t c : order_) {
    if (c == column0) return x;
    x += ColumnWidthPx(c);
  }
  Raise(err::IndexOutOfBounds, "ListView");
}

int32_t ListView::TotalColumnWidthPx() const {
  int32_t total = 0;
  for (int32_t c : order_) total += ColumnWidthPx(c);
  return total;
}

int32_t ListView::RowTopPx(int32_t pos) const {
  // Far rows of tall lists lie beyond what 32 bits of pixels reach: they stay at its edge.
  const int64_t top = HeaderHeightPx() + (static_cast<int64_t>(pos) - topIndex_) * RowHeightPx();
  return static_cast<int32_t>(std::clamp<int64_t>(top, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

RECT ListView::CellRectPx(int32_t pos, int32_t column0) const {
  const int32_t left = ColumnLeftPx(column0), top = RowTopPx(pos);
  return RECT{left, top, left + ColumnWidthPx(column0), top + RowHeightPx()};
}

POINT ListView::ClientOffsetPx() const { return Control::ClientOffsetPx(); }

ListItemRef ListView::ItemAtPoint(int32_t xPx, int32_t yPx, int32_t* column0) const {
  const RECT client = ClientRectPx();
  if (!client.Contains(POINT{xPx, yPx})) return nullptr;
  const int32_t header = HeaderHeightPx();
  if (yPx < header) return nullptr;
  const int32_t pos = topIndex_ + (yPx - header) / std::max(1, RowHeightPx());
  if (pos >= items_.Count()) return nullptr;
  int32_t left = -scrollXPx_;
  for (int32_t c : order_) {
    const int32_t w = ColumnWidthPx(c);
    if (xPx >= left && xPx < left + w) {
      if (column0) *column0 = c;
      return items_.At(static_cast<size_t>(pos));
    }
    left += w;
  }
  return nullptr;
}

void ListView::SubItemHitTest(LVHITTESTINFO& info) const {
  info.flags = LVHT_NOWHERE;
  info.iItem = -1;
  info.iSubItem = -1;
  int32_t column = -1;
  ListItemRef item = ItemAtPoint(info.pt.x, info.pt.y, &column);
  if (!item) return;
  info.iItem = static_cast<int32_t>(items_.PositionOf(*item));
  info.iSubItem = column;
  info.flags = LVHT_ONITEMLABEL;
  if (column == 0) {
    // The first column holds the check box, then the small icon, then the label.
    int32_t offset = info.pt.x - ColumnLeftPx(0);
    if (checkboxes_) {
      if (offset < metrics_.stateIconPx) {
        info.flags = LVHT_ONITEMSTATEICON;
        return;
      }
      offset -= metrics_.stateIconPx;
    }
    if (offset < SmallIconWidthPx()) info.flags = LVHT_ONITEMICON;
  }
}

int32_t ListView::FitColumnWidthPx(int32_t column0, bool includeHeader) const {
  const TextMetrics& tm = GetToolkit().Metrics();
  const StdFont& font = *Font();
  int32_t widest = 0;
  if (items_.virtual_) {
    // A source's rows are not all at hand: the rows around those shown decide.
    for (const ListItem* item : items_.virtual_->CachedItems())
      widest = std::max(widest, tm.TextWidthPx(font, item->ColumnText(column0)));
  } else {
    items_.rows_.forEach([&](const ListItemRef& item) {
      widest = std::max(widest, tm.TextWidthPx(font, item->ColumnText(column0)));
    });
  }
  if (column0 == 0) widest += SmallIconWidthPx() + (checkboxes_ ? metrics_.stateIconPx : 0);
  int32_t width = widest + metrics_.cellPaddingPx;
  if (includeHeader) {
    const ColumnHeader& col = *columns_.Item(column0 + 1);
    int32_t header = tm.TextWidthPx(font, col.Text()) + metrics_.cellPaddingPx;
    if ((col.HeaderFormat() & HDF_IMAGE) && columnHeaderIcons_) header += metrics_.headerImagePx;
    width = std::max(width, header);
  }
  return width;
}

// --- messages ----------------------------------------------------------------------------------------

size_t ListView::GetItemTextBytes(const std::string& text, int32_t cchTextMax) {
  return cchTextMax > 0 ? utf8::Advance(text, 0, static_cast<size_t>(cchTextMax - 1)) : 0;
}

LRESULT ListView::OnGetItem(LVITEMA& item) const {
  if (item.iItem < 0 || item.iItem >= items_.Count() || item.iSubItem < 0) return 0;
  const ListItemRef row = items_.At(static_cast<size_t>(item.iItem));
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    // At most cchTextMax - 1 characters, never a part of one, and the terminating zero.
    const std::string& text = row->ColumnText(item.iSubItem);
    const size_t bytes = GetItemTextBytes(text, item.cchTextMax);
    std::memcpy(item.pszText, text.data(), bytes);
    item.pszText[bytes] = '\0';
  }
  if (item.mask & LVIF_PARAM) item.lParam = row->param_;
  if (item.mask & LVIF_STATE) {
    uint32_t state = 0;
    if (row->selected_) state |= 0x2;                      // LVIS_SELECTED
    if (focused_.lock().get() == row.get()) state |= 0x1;  // LVIS_FOCUSED
    item.state = state & item.stateMask;
  }
  if (item.mask & LVIF_IMAGE) {
    const Variant icon = row->SmallIcon();
    item.iImage = icon.IsNumericKind() ? CLng(icon) - 1 : -1;
  }
  return 1;
}

LRESULT ListView::OnSetColumnWidth(int32_t column0, int32_t width) {
  if (view_ != lvwReport || column0 < 0 || column0 >= columns_.Count()) return 0;
  int32_t px = width;
  if (width == LVSCW_AUTOSIZE) {
    px = FitColumnWidthPx(column0, false);
  } else if (width == LVSCW_AUTOSIZE_USEHEADER) {
    px = FitColumnWidthPx(column0, true);
    // The last column on screen also fills what is left of the list's width.
    if (!order_.empty() && order_.back() == column0) {
      const int32_t others = TotalColumnWidthPx() - ColumnWidthPx(column0);
      px = std::max(px, ClientRectPx().Width() - others);
    }
  } else if (width < 0) {
    return 0;
  }
  columns_.Item(column0 + 1)->Width(PixelsToTwipsX(GetToolkit(), px));
  return 1;
}

namespace {

// Sorts (parameter, position) entries by parameter: by placing each at its parameter when the
// parameters are unique and lie close together (as the list gives them out), else by comparing.
template <class Entry>
void InParameterOrder(std::vector<Entry>& entries) {
  if (entries.empty()) return;
  const auto [lo, hi] = std::minmax_element(entries.begin(), entries.end(),
                                            [](const Entry& a, const Entry& b) { return a.param < b.param; });
  const LPARAM low = lo->param;
  const auto span = static_cast<uint64_t>(hi->param) - static_cast<uint64_t>(low);
  if (span < entries.size() * 4 + 1024) {
    constexpr size_t kFree = SIZE_MAX;
    std::vector<size_t> at(static_cast<size_t>(span) + 1, kFree);
    bool unique = true;
    for (size_t i = 0; i < entries.size() && unique; ++i) {
      size_t& slot = at[static_cast<size_t>(static_cast<uint64_t>(entries[i].param) - static_cast<uint64_t>(low))];
      unique = slot == kFree;
      slot = i;
    }
    if (unique) {
      std::vector<Entry> placed;
      placed.reserve(entries.size());
      for (size_t i : at)
        if (i != kFree) placed.push_back(entries[i]);
      entries = std::move(placed);
      return;
    }
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.param < b.param; });
}

}  // namespace

LRESULT ListView::OnSortItems(LPARAM lParamSort, PFNLVCOMPARE compare) {
  if (!compare) return 0;
  // A routine compares rows the list holds; a source's rows are ordered by its engine.
  items_.RefuseInVirtualMode("Sorting by a comparison routine");
  // The routine sees item parameters only. Each is read once, and the sort moves (parameter,
  // position) pairs instead of reaching into the items on every comparison. A routine that raises
  // leaves the rows as they were.
  struct Entry {
    LPARAM param;
    size_t pos;
  };
  std::vector<Entry> entries;
  entries.reserve(items_.rows_.size());
  items_.rows_.forEach([&entries](const ListItemRef& item) { entries.push_back(Entry{item->param_, entries.size()}); });
  // A routine usually reads its keys from a table indexed by item parameter: taking the rows in
  // order of their parameters first keeps those reads close together in memory. Rows the routine
  // finds equal are then ordered by their place in the list, so the sort stays stable whatever
  // order it starts from.
  InParameterOrder(entries);
  std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
    const int32_t c = compare(a.param, b.param, lParamSort);
    return c != 0 ? c < 0 : a.pos < b.pos;
  });
  std::vector<size_t> order(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) order[i] = entries[i].pos;
  ApplySortOrder(order);
  return 1;
}

void ListView::SortItemsByNumber(const std::function<double(LPARAM)>& numberOf, bool descending) {
  items_.RefuseInVirtualMode("Sorting by item parameters");
  const ItemSequence& rows = items_.rows_;
  ApplySortOrder(NumberSortOrder(rows.size(), [&](size_t i) { return numberOf(rows.at(i)->param_); }, descending));
}

template <class Position>
void ListView::ApplySortOrder(const std::vector<Position>& order) {
  items_.rows_.reorder(order);
  ordered_ = false;
  if (observer_) observer_->RowsReset();
  Invalidate(true);
}

LRESULT ListView::WindowProc(uint32_t msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case LVM_GETITEMA:
      return lParam ? OnGetItem(*reinterpret_cast<LVITEMA*>(lParam)) : 0;
    case LVM_SETCOLUMNWIDTH:
      return OnSetColumnWidth(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
    case LVM_GETHEADER:
      return header_->hWnd();
    case LVM_SORTITEMS:
      return OnSortItems(static_cast<LPARAM>(wParam), reinterpret_cast<PFNLVCOMPARE>(lParam));
    case LVM_SUBITEMHITTEST: {
      if (!lParam) return -1;
      auto& info = *reinterpret_cast<LVHITTESTINFO*>(lParam);
      SubItemHitTest(info);
      return info.iItem;
    }
    case LVM_SETCOLUMNORDERARRAY: {
      const auto count = static_cast<int32_t>(wParam);
      const auto* array = reinterpret_cast<const int32_t*>(lParam);
      if (!array || count != columns_.Count()) return 0;
      std::vector<int32_t> order(array, array + count);
      std::vector<int32_t> check = order;
      std::sort(check.begin(), check.end());
      for (int32_t i = 0; i < count; ++i)
        if (check[static_cast<size_t>(i)] != i) return 0;
      order_ = std::move(order);
      Notify(ListViewObserver::Change::ColumnOrder);
      return 1;
    }
    case LVM_GETCOLUMNORDERARRAY: {
      const auto count = static_cast<int32_t>(wParam);
      auto* array = reinterpret_cast<int32_t*>(lParam);
      if (!array || count != columns_.Count()) return 0;
      std::copy(order_.begin(), order_.end(), array);
      return 1;
    }
    default:
      return Control::WindowProc(msg, wParam, lParam);
  }
}

// --- user input --------------------------------------------------------------------------------------

void ListView::UserMouseDown(int16_t button, int16_t shift, float x, float y) {
  if (!IsShownAndEnabled()) return;
  // The press takes the focus first; a Validate that keeps the focus elsewhere swallows the press.
  if (!HasFocus() && !GetToolkit().Focus().SetFocus(*this)) return;
  int16_t b = button, s = shift;
  float mx = x, my = y;
  MouseDown(b, s, mx, my);
  Toolkit& tk = GetToolkit();
  LVHITTESTINFO info;
  info.pt.x = static_cast<int32_t>(x / static_cast<float>(tk.GetScreen().TwipsPerPixelX()));
  info.pt.y = static_cast<int32_t>(y / static_cast<float>(tk.GetScreen().TwipsPerPixelY()));
  SubItemHitTest(info);
  if (info.iItem < 0) return;
  ListItemRef item = items_.At(static_cast<size_t>(info.iItem));
  if (info.flags == LVHT_ONITEMSTATEICON && checkboxes_) {
    item->Checked(!item->Checked());
    ItemCheck(item);
    return;
  }
  if (multiSelect_ && (shift & vbCtrlMask)) {
    item->Selected(!item->Selected());
    if (item->Selected()) focused_ = item;
  } else {
    SelectedItem(nullptr);  // a plain click selects the clicked row only
    SelectedItem(item);
  }
  ItemClick(item);
}

void ListView::UserMouseUp(int16_t button, int16_t shift, float x, float y) {
  if (!IsShownAndEnabled()) return;
  int16_t b = button, s = shift;
  float mx = x, my = y;
  MouseUp(b, s, mx, my);
  Click();
}

void ListView::UserDoubleClick(int16_t button, int16_t shift, float x, float y) {
  UserMouseDown(button, shift, x, y);
  DblClick();
  int16_t b = button, s = shift;
  float mx = x, my = y;
  MouseUp(b, s, mx, my);
}

void ListView::UserClickHeader(int32_t columnIndex) {
  if (!IsShownAndEnabled() || view_ != lvwReport || hideColumnHeaders_) return;
  ColumnClick(columns_.Item(columnIndex));
}

void ListView::UserDragColumn(int32_t columnIndex, int32_t toPosition) {
  if (!allowColumnReorder_ || !IsShownAndEnabled()) return;
  columns_.Item(columnIndex)->Position(toPosition);
  Invalidate(true);
}

void ListView::UserResizeColumn(int32_t columnIndex, float width) {
  if (!IsShownAndEnabled()) return;
  columns_.Item(columnIndex)->Width(std::max(0.0f, width));
  Invalidate(true);
}

// --- header --------------------------------------------------------------------------------------------

ListViewHeader::ListViewHeader(ListView& list) : Window(list.GetToolkit(), "SysHeader32", &list), list_(list) {}

void ListViewHeader::Invalidate(bool erase) {
  Window::Invalidate(erase);
  list_.Notify(ListViewObserver::Change::Header);
}

RECT ListViewHeader::BoundsPx() const {
  return RECT{0, 0, list_.ClientRectPx().Width(), list_.HeaderHeightPx()};
}

LRESULT ListViewHeader::WindowProc(uint32_t msg, WPARAM wParam, LPARAM lParam) {
  const auto index = static_cast<int32_t>(wParam);
  switch (msg) {
    case HDM_GETITEMCOUNT:
      return list_.ColumnHeaders().Count();
    case HDM_SETITEMA: {
      auto* item = reinterpret_cast<const HDITEMA*>(lParam);
      if (!item || index < 0 || index >= list_.ColumnHeaders().Count()) return 0;
      ColumnHeader& col = *list_.ColumnHeaders().Item(index + 1);
      int32_t format = col.HeaderFormat(), image = col.HeaderImage();
      if (item->mask & HDI_FORMAT) format = item->fmt;
      if (item->mask & HDI_IMAGE) image = item->iImage;
      col.SetHeaderItem(format, image);
      if ((item->mask & HDI_TEXT) && item->pszText) col.Text(item->pszText);
      if (item->mask & HDI_WIDTH) col.Width(PixelsToTwipsX(list_.GetToolkit(), item->cxy));
      Invalidate(true);
      return 1;
    }
    case HDM_GETITEMA: {
      auto* item = reinterpret_cast<HDITEMA*>(lParam);
      if (!item || index < 0 || index >= list_.ColumnHeaders().Count()) return 0;
      const ColumnHeader& col = *list_.ColumnHeaders().Item(index + 1);
      if (item->mask & HDI_FORMAT) item->fmt = col.HeaderFormat();
      if (item->mask & HDI_IMAGE) item->iImage = col.HeaderImage();
      if (item->mask & HDI_WIDTH) item->cxy = list_.ColumnWidthPx(index);
      if (item->mask & HDI_ORDER) item->iOrder = col.Position() - 1;
      if ((item->mask & HDI_TEXT) && item->pszText && item->cchTextMax > 0) {
        const std::string t = text::Truncate(col.Text(), item->cchTextMax - 1);
        std::memcpy(item->pszText, t.data(), t.size());
        item->pszText[t.size()] = '\0';
      }
      return 1;
    }
    default:
      return Window::WindowProc(msg, wParam, lParam);
  }
}

}  // namespace tamarind::platform
