#include "platform/controls/ComboBox.h"

#include <algorithm>
#include <cstring>

#include "platform/Messages.h"
#include "platform/Toolkit.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind::platform {

ComboBox::ComboBox(Toolkit& tk, Window* parent) : Control(tk, "ThunderRT6ComboBox", parent) {}

void ComboBox::Text(std::string t) {
  const bool changed = t != text_;
  text_ = std::move(t);
  selStart_ = text::Len(text_);
  selLength_ = 0;
  SyncListIndexToText();
  OnPropertyChanged("Text");
  if (changed) Change();
}

void ComboBox::SyncListIndexToText() {
  listIndex_ = -1;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].text == text_) {
      listIndex_ = static_cast<int32_t>(i);
      break;
    }
}

int32_t ComboBox::TextLength() const { return text::Len(text_); }

void ComboBox::SelStart(int32_t v) {
  if (v < 0) Raise(err::InvalidPropertyValue);
  selStart_ = std::min(v, text::Len(text_));
  selLength_ = 0;
  OnPropertyChanged("SelStart");
}

void ComboBox::SelLength(int32_t v) {
  if (v < 0) Raise(err::InvalidPropertyValue);
  selLength_ = std::min(v, text::Len(text_) - selStart_);
  OnPropertyChanged("SelLength");
}

std::string ComboBox::SelText() const { return text::Mid(text_, selStart_ + 1, selLength_); }

void ComboBox::SelText(const std::string& t) {
  std::string updated = text::Left(text_, selStart_) + t + text::Mid(text_, selStart_ + selLength_ + 1);
  const bool changed = updated != text_;
  text_ = std::move(updated);
  selStart_ += text::Len(t);
  selLength_ = 0;
  SyncListIndexToText();
  OnPropertyChanged("Text");
  if (changed) Change();
}

std::string ComboBox::List(int32_t index) const {
  if (index < 0) Raise(err::InvalidPropertyArrayIndex);
  if (index >= ListCount()) return {};
  return entries_[static_cast<size_t>(index)].text;
}

void ComboBox::List(int32_t index, std::string value) {
  if (index < 0 || index >= ListCount()) Raise(err::InvalidPropertyArrayIndex);
  entries_[static_cast<size_t>(index)].text = std::move(value);
  OnPropertyChanged("List");
}

int32_t ComboBox::ItemData(int32_t index) const {
  if (index < 0 || index >= ListCount()) Raise(err::InvalidPropertyArrayIndex);
  return entries_[static_cast<size_t>(index)].data;
}

void ComboBox::ItemData(int32_t index, int32_t value) {
  if (index < 0 || index >= ListCount()) Raise(err::InvalidPropertyArrayIndex);
  entries_[static_cast<size_t>(index)].data = value;
}

void ComboBox::ListIndex(int32_t index) {
  if (index < -1 || index >= ListCount()) Raise(err::InvalidPropertyValue);
  listIndex_ = index;
  if (index < 0) OnPropertyChanged("ListIndex");
  if (index >= 0) {
    // Choosing an entry replaces the edit text without a Change: the platform reports it as Click.
    text_ = entries_[static_cast<size_t>(index)].text;
    selStart_ = 0;
    selLength_ = text::Len(text_);
    OnPropertyChanged("ListIndex");
    Click();
  }
}

void ComboBox::AddItem(std::string item, int32_t index) {
  if (index < -1 || index > ListCount()) Raise(err::InvalidProcedureCall);
  const size_t pos = index < 0 ? entries_.size() : static_cast<size_t>(index);
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(pos), Entry{std::move(item), 0});
  newIndex_ = static_cast<int32_t>(pos);
  if (listIndex_ >= static_cast<int32_t>(pos)) ++listIndex_;
  OnPropertyChanged("List");
}

void ComboBox::RemoveItem(int32_t index) {
  if (index < 0 || index >= ListCount()) Raise(err::InvalidProcedureCall);
  entries_.erase(entries_.begin() + index);
  if (listIndex_ == index) listIndex_ = -1;
  else if (listIndex_ > index) --listIndex_;
  newIndex_ = -1;
  OnPropertyChanged("List");
}

void ComboBox::Clear() {
  entries_.clear();
  listIndex_ = -1;
  newIndex_ = -1;
  topIndex_ = 0;
  OnPropertyChanged("List");
  Text("");
}

void ComboBox::ShowDropDown(bool show) {
  if (show == droppedDown_ || (show && !Visible())) return;
  droppedDown_ = show;
  // DropDown comes while the list is about to open: its handlers size the list before it shows.
  if (show) DropDown();
  OnPropertyChanged("DroppedDown");
}

int32_t ComboBox::ItemHeightPx() const { return GetToolkit().Metrics().TextHeightPx(*Font()); }

int32_t ComboBox::VisibleListEntries() const {
  const int32_t item = std::max(1, ItemHeightPx());
  // The window height set for the list counts the edit field and the borders as two entries.
  const int32_t lines = dropWindowHeightPx_ > 0 ? dropWindowHeightPx_ / item - 2 : 8;
  return std::max(1, std::min(lines, ListCount()));
}

void ComboBox::ScrollList(int32_t topIndex) {
  const int32_t maxTop = std::max(0, ListCount() - VisibleListEntries());
  const int32_t t = std::clamp(topIndex, 0, maxTop);
  if (t == topIndex_) return;
  topIndex_ = t;
  OnPropertyChanged("TopIndex");
  Scroll();
}

int32_t ComboBox::FindString(std::string_view find, int32_t start, bool exact) const {
  const int32_t n = ListCount();
  if (n == 0) return -1;
  const std::string wanted = text::FoldCase(find);
  const int32_t first = (start < -1 || start >= n) ? 0 : start + 1;
  for (int32_t k = 0; k < n; ++k) {
    const int32_t i = (first + k) % n;
    const std::string entry = text::FoldCase(entries_[static_cast<size_t>(i)].text);
    if (exact ? entry == wanted : entry.compare(0, wanted.size(), wanted) == 0) return i;
  }
  return -1;
}

LRESULT ComboBox::WindowProc(uint32_t msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT: {
      const char* s = reinterpret_cast<const char*>(lParam);
      if (!s) return CB_ERR;
      return FindString(std::string_view(s, std::strlen(s)), static_cast<int32_t>(static_cast<intptr_t>(wParam)),
                        msg == CB_FINDSTRINGEXACT);
    }
    case CB_SHOWDROPDOWN:
      ShowDropDown(wParam != 0);
      return 1;
    case CB_GETDROPPEDSTATE:
      return droppedDown_ ? 1 : 0;
    case CB_SETDROPPEDWIDTH: {
      const auto w = static_cast<int32_t>(static_cast<intptr_t>(wParam));
      if (w < 0) return CB_ERR;
      // The list is never narrower than the combo box itself.
      droppedWidthPx_ = std::max(w, BoundsPx().Width());
      OnPropertyChanged("DroppedWidth");
      return droppedWidthPx_;
    }
    case CB_GETDROPPEDWIDTH:
      return droppedWidthPx_ > 0 ? droppedWidthPx_ : BoundsPx().Width();
    case CB_GETITEMHEIGHT:
      return ItemHeightPx();
    case CB_GETCOUNT:
      return ListCount();
    default:
      return Control::WindowProc(msg, wParam, lParam);
  }
}

void ComboBox::SetBoundsPx(const RECT& r) {
  // MoveWindow sets the height of the dropped list; the edit field keeps its own height.
  dropWindowHeightPx_ = r.Height();
  Toolkit& tk = GetToolkit();
  Move(PixelsToTwipsX(tk, r.left), PixelsToTwipsY(tk, r.top), PixelsToTwipsX(tk, r.Width()), -1);
}

}  // namespace tamarind::platform
