#include "platform/listview/ListKeyboard.h"

#include <algorithm>

#include "platform/Services.h"
#include "platform/Toolkit.h"
#include "platform/listview/ListView.h"
#include "runtime/Text.h"

namespace tamarind::platform {

int32_t ListKeyboard::FocusedIndex() const {
  const ListItemRef focused = list_.FocusedItem();
  if (focused) return focused->Index();
  const ListItemRef selected = list_.SelectedItem();
  return selected ? selected->Index() : 0;
}

int32_t ListKeyboard::AnchorIndex() {
  // A click (or the host) moved the focus since the keys last did: the range starts there.
  const ListItemRef focused = list_.FocusedItem();
  if (focused != lastFocus_.lock()) anchor_ = focused;
  const ListItemRef anchor = anchor_.lock();
  if (anchor && anchor->Index() > 0) return anchor->Index();
  return FocusedIndex();
}

void ListKeyboard::MoveTo(int32_t index, Move how) {
  ListItems& rows = list_.ListItems();
  const ListItemRef item = rows.Item(index);
  if (how == Move::Extend && list_.MultiSelect()) {
    const int32_t from = AnchorIndex(), first = std::min(from, index), last = std::max(from, index);
    // Rows outside the range leave the selection; those inside join it; the row landed on is the
    // focused one.
    std::vector<ListItemRef> leaving;
    for (ListItem* r : list_.selected_) {
      const int32_t i = r->Index();
      if (i < first || i > last) leaving.push_back(r->shared_from_this());
    }
    for (const ListItemRef& r : leaving) r->Selected(false);
    for (int32_t i = first; i <= last; ++i)
      if (i != index && !rows.Item(i)->Selected()) rows.Item(i)->Selected(true);
    list_.SelectedItem(item);
  } else if (how == Move::FocusOnly && list_.MultiSelect()) {
    list_.FocusedItem(item);
  } else {
    if (item == list_.SelectedItem() && item->Selected() && list_.FocusedItem() == item) {
      lastFocus_ = anchor_ = item;
      return;
    }
    // The row the keys land on is selected alone, as in any list view, also in a MultiSelect list.
    list_.SelectedItem(nullptr);
    list_.SelectedItem(item);
    anchor_ = item;
  }
  lastFocus_ = item;
  item->EnsureVisible();
  if (how != Move::FocusOnly || !list_.MultiSelect()) list_.ItemClick(item);
}

bool ListKeyboard::KeyDown(int16_t keyCode, int16_t shift) {
  const int32_t n = list_.ListItems().Count();
  if (n == 0) return false;
  const int32_t at = FocusedIndex();
  const bool ctrl = (shift & vbCtrlMask) != 0;
  const Move how = (shift & vbShiftMask) ? Move::Extend : ctrl ? Move::FocusOnly : Move::Select;
  // A page is the rows that fit whole; Page Down first goes to the last of them, then a page on.
  const int32_t page = std::max(1, list_.VisibleRowCount());
  const int32_t top = list_.TopIndex() + 1, bottom = std::min(n, top + page - 1);
  int32_t to = at;
  switch (keyCode) {
    case vbKeyDown: to = at == 0 ? 1 : std::min(n, at + 1); break;
    case vbKeyUp: to = at == 0 ? 1 : std::max(1, at - 1); break;
    case vbKeyHome: to = 1; break;
    case vbKeyEnd: to = n; break;
    case vbKeyPageDown: to = at == 0 ? 1 : at < bottom ? bottom : std::min(n, at + page - 1); break;
    case vbKeyPageUp: to = at == 0 ? 1 : at > top ? top : std::max(1, at - page + 1); break;
    case vbKeySpace: {
      if (at == 0) return false;
      const ListItemRef item = list_.ListItems().Item(at);
      if (ctrl && list_.MultiSelect()) {
        item->Selected(!item->Selected());
        list_.FocusedItem(item);
        lastFocus_ = anchor_ = item;
        if (item->Selected()) list_.ItemClick(item);
      } else if (list_.Checkboxes()) {
        item->Checked(!item->Checked());
        list_.ItemCheck(item);
      } else if (!item->Selected()) {
        MoveTo(at, Move::Select);
      }
      return true;
    }
    default: return false;
  }
  MoveTo(to, how);
  return true;
}

bool ListKeyboard::Character(char32_t c) {
  const uint32_t now = list_.GetToolkit().GetClock().GetTickCount();
  if (now - lastTypedMs_ > kTypeAheadMs) typed_.clear();
  lastTypedMs_ = now;
  // Control characters are no search; a space only continues one already begun.
  if (c < 32 || c == 127 || (c == U' ' && typed_.empty())) return false;
  typed_ += text::ChrW(c);
  const int32_t n = list_.ListItems().Count();
  if (n == 0) return false;
  const int32_t at = std::max(1, FocusedIndex());
  // One letter typed again and again steps to the next row starting with it; a longer search
  // stays on the focused row while it still matches.
  std::string wanted = typed_;
  int32_t from = at;
  const std::string first = text::ChrW(c);
  bool repeated = typed_.size() > first.size();
  for (size_t i = 0; repeated && i < typed_.size(); i += first.size())
    repeated = typed_.compare(i, first.size(), first) == 0;
  if (repeated || typed_.size() == first.size()) {
    wanted = first;
    from = at % n + 1;
  }
  ListItemRef found = list_.FindItem(wanted, ListView::lvwText, Variant(from), ListView::lvwPartial);
  if (!found && from > 1) found = list_.FindItem(wanted, ListView::lvwText, Variant(int32_t{1}), ListView::lvwPartial);
  if (found && found->Index() != at) MoveTo(found->Index(), Move::Select);
  return found != nullptr;
}

}  // namespace tamarind::platform
