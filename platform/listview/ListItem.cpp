#include "platform/listview/ListItem.h"

#include <algorithm>

#include "platform/Toolkit.h"
#include "platform/listview/ListView.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::platform {

namespace {
const std::string kEmpty;

void CheckKeyForm(const std::string& key) {
  // A key that reads as a number would be ambiguous with an index.
  if (!key.empty() && IsNumeric(Variant(key))) Raise(err::InvalidKey, "ListView");
}
}  // namespace

ListItem::ListItem(std::string key, std::string text, Variant icon, Variant smallIcon, LPARAM param)
    : param_(param), key_(std::move(key)), text_(std::move(text)) {
  if (!icon.IsEmpty() || !smallIcon.IsEmpty()) {
    Extras().icon = std::move(icon);
    Extras().smallIcon = std::move(smallIcon);
  }
}

ListItem::~ListItem() = default;

ListItem::ItemExtras& ListItem::Extras() {
  if (!extras_) extras_ = std::make_unique<ItemExtras>();
  return *extras_;
}

ListItem::SubItemExtras& ListItem::SubItemData::Extras() {
  if (!extras) extras = std::make_unique<SubItemExtras>();
  return *extras;
}

ListView& ListItem::RequireOwner() const {
  if (!owner_) Raise(err::ObjectNotSet, "ListItem", "The item has been removed from its list");
  return *owner_;
}

int32_t ListItem::Index() const {
  if (!owner_) return 0;
  return static_cast<int32_t>(owner_->items_.PositionOf(*this)) + 1;
}

void ListItem::Key(std::string k) {
  if (k == key_) return;
  CheckKeyForm(k);
  if (owner_) owner_->items_.Rekey(*this, key_, k);
  key_ = std::move(k);
}

void ListItem::Changed() const {
  if (owner_) owner_->OnItemChanged(*this);
}

void ListItem::Text(std::string t) {
  text_ = std::move(t);
  TextsChanged(0);
  Changed();
}

void ListItem::TextsChanged(int32_t c) {
  if (owner_) owner_->OnRowTextsChanged(c);
}

Variant ListItem::Tag() const { return extras_ ? extras_->tag : Variant(); }
void ListItem::Tag(Variant t) { Extras().tag = std::move(t); }
Variant ListItem::Icon() const { return extras_ ? extras_->icon : Variant(); }
void ListItem::Icon(Variant i) {
  Extras().icon = std::move(i);
  Changed();
}
Variant ListItem::SmallIcon() const { return extras_ ? extras_->smallIcon : Variant(); }
void ListItem::SmallIcon(Variant i) {
  Extras().smallIcon = std::move(i);
  Changed();
}
void ListItem::Bold(bool b) {
  bold_ = b;
  Changed();
}
void ListItem::ForeColor(OLE_COLOR c) {
  foreColor_ = c;
  Changed();
}
void ListItem::Ghosted(bool g) {
  ghosted_ = g;
  Changed();
}
void ListItem::Checked(bool c) {
  checked_ = c;
  Changed();
}
std::string ListItem::ToolTipText() const { return extras_ ? extras_->toolTipText : std::string(); }
void ListItem::ToolTipText(std::string t) { Extras().toolTipText = std::move(t); }

void ListItem::Selected(bool s) {
  if (s == selected_) return;
  selected_ = s;
  if (owner_) owner_->OnItemSelected(*this, s);
}

std::string ListItem::SubItems(int32_t j) const {
  if (j < 1 || (owner_ && j >= owner_->ColumnHeaders().Count())) Raise(err::IndexOutOfBounds, "ListItem");
  return static_cast<size_t>(j) <= subItems_.size() ? subItems_[static_cast<size_t>(j - 1)].text : std::string();
}

void ListItem::SubItems(int32_t j, std::string text) {
  if (j < 1 || (owner_ && j >= owner_->ColumnHeaders().Count())) Raise(err::IndexOutOfBounds, "ListItem");
  if (subItems_.size() < static_cast<size_t>(j)) {
    // Rows are usually given a text under every column: make room for all of them at once.
    if (owner_) subItems_.reserve(static_cast<size_t>(owner_->ColumnHeaders().Count() - 1));
    subItems_.resize(static_cast<size_t>(j));
  }
  subItems_[static_cast<size_t>(j - 1)].text = std::move(text);
  TextsChanged(j);
  Changed();
}

ListSubItems ListItem::GetListSubItems() { return ListSubItems(shared_from_this()); }

const std::string& ListItem::ColumnText(int32_t c) const {
  if (c == 0) return text_;
  if (c > 0 && static_cast<size_t>(c) <= subItems_.size()) return subItems_[static_cast<size_t>(c - 1)].text;
  return kEmpty;
}

float ListItem::Top() const {
  const ListView& lv = RequireOwner();
  return PixelsToTwipsY(lv.GetToolkit(), lv.RowTopPx(Index() - 1));
}

float ListItem::Left() const {
  // The item's own left: the start of the row, past the check box when the list shows them.
  const ListView& lv = RequireOwner();
  const int32_t px = -lv.ScrollXPx() + (lv.Checkboxes() ? lv.StateIconWidthPx() : 0);
  return PixelsToTwipsX(lv.GetToolkit(), px);
}

float ListItem::Height() const {
  const ListView& lv = RequireOwner();
  return PixelsToTwipsY(lv.GetToolkit(), lv.RowHeightPx());
}

float ListItem::Width() const {
  const ListView& lv = RequireOwner();
  return PixelsToTwipsX(lv.GetToolkit(), lv.TotalColumnWidthPx());
}

void ListItem::EnsureVisible() {
  ListView& lv = RequireOwner();
  const int32_t pos = Index() - 1;
  const int32_t visible = std::max(1, lv.VisibleRowCount());
  if (pos < lv.TopIndex()) lv.ScrollTo(pos, lv.ScrollXPx());
  else if (pos >= lv.TopIndex() + visible) lv.ScrollTo(pos - visible + 1, lv.ScrollXPx());
}

// --- ListSubItem -------------------------------------------------------------------------------------

ListItem::SubItemData& ListSubItem::data() const {
  auto& v = item_->subItems_;
  if (index_ < 1 || static_cast<size_t>(index_) > v.size()) Raise(err::IndexOutOfBounds, "ListSubItem");
  return v[static_cast<size_t>(index_ - 1)];
}

const std::string& ListSubItem::Text() const { return data().text; }
void ListSubItem::Text(std::string t) {
  data().text = std::move(t);
  item_->TextsChanged(index_);
  item_->Changed();
}
const std::string& ListSubItem::Key() const {
  auto& d = data();
  return d.extras ? d.extras->key : kEmpty;
}
void ListSubItem::Key(std::string k) {
  auto& d = data();
  if (k == Key()) return;
  CheckKeyForm(k);
  if (!k.empty()) {
    for (const auto& other : item_->subItems_)
      if (&other != &d && other.extras && other.extras->key == k) Raise(err::KeyNotUnique, "ListSubItems");
  }
  d.Extras().key = std::move(k);
}
Variant ListSubItem::Tag() const {
  auto& d = data();
  return d.extras ? d.extras->tag : Variant();
}
void ListSubItem::Tag(Variant t) { data().Extras().tag = std::move(t); }
Variant ListSubItem::ReportIcon() const {
  auto& d = data();
  return d.extras ? d.extras->reportIcon : Variant();
}
void ListSubItem::ReportIcon(Variant icon) {
  data().Extras().reportIcon = std::move(icon);
  item_->Changed();
}
bool ListSubItem::Bold() const {
  auto& d = data();
  return d.extras && d.extras->bold;
}
void ListSubItem::Bold(bool b) {
  data().Extras().bold = b;
  item_->Changed();
}
OLE_COLOR ListSubItem::ForeColor() const {
  auto& d = data();
  return d.extras ? d.extras->foreColor : vbWindowText;
}
void ListSubItem::ForeColor(OLE_COLOR c) {
  data().Extras().foreColor = c;
  item_->Changed();
}
std::string ListSubItem::ToolTipText() const {
  auto& d = data();
  return d.extras ? d.extras->toolTipText : std::string();
}
void ListSubItem::ToolTipText(std::string t) { data().Extras().toolTipText = std::move(t); }

// --- ListSubItems ------------------------------------------------------------------------------------

int32_t ListSubItems::Count() const { return static_cast<int32_t>(item_->subItems_.size()); }

ListSubItem ListSubItems::Item(int32_t index) const {
  if (index < 1 || index > Count()) Raise(err::IndexOutOfBounds, "ListSubItems");
  return ListSubItem(item_, index);
}

ListSubItem ListSubItems::Item(std::string_view key) const {
  const auto& v = item_->subItems_;
  for (size_t i = 0; i < v.size(); ++i)
    if (v[i].extras && v[i].extras->key == key) return ListSubItem(item_, static_cast<int32_t>(i + 1));
  Raise(err::ElementNotFound, "ListSubItems");
}

ListSubItem ListSubItems::Add(int32_t index, std::string key, std::string text, Variant reportIcon,
                              std::string toolTipText) {
  auto& v = item_->subItems_;
  if (index < 0 || index > Count() + 1) Raise(err::IndexOutOfBounds, "ListSubItems");
  CheckKeyForm(key);
  if (!key.empty())
    for (const auto& other : v)
      if (other.extras && other.extras->key == key) Raise(err::KeyNotUnique, "ListSubItems");
  const size_t pos = index == 0 ? v.size() : static_cast<size_t>(index - 1);
  ListItem::SubItemData d;
  d.text = std::move(text);
  if (!key.empty() || !reportIcon.IsEmpty() || !toolTipText.empty()) {
    d.Extras().key = std::move(key);
    d.Extras().reportIcon = std::move(reportIcon);
    d.Extras().toolTipText = std::move(toolTipText);
  }
  v.insert(v.begin() + static_cast<std::ptrdiff_t>(pos), std::move(d));
  item_->TextsChanged(-1);
  item_->Changed();
  return ListSubItem(item_, static_cast<int32_t>(pos + 1));
}

void ListSubItems::Remove(int32_t index) {
  if (index < 1 || index > Count()) Raise(err::IndexOutOfBounds, "ListSubItems");
  item_->subItems_.erase(item_->subItems_.begin() + (index - 1));
  item_->TextsChanged(-1);
  item_->Changed();
}

void ListSubItems::Clear() {
  item_->subItems_.clear();
  item_->TextsChanged(-1);
  item_->Changed();
}

}  // namespace tamarind::platform
