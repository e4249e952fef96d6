#include "platform/listview/VirtualCache.h"

#include <algorithm>
#include <limits>

#include "platform/listview/ListView.h"
#include "runtime/Error.h"

namespace tamarind::platform {

namespace {

int32_t CountOf(VirtualRows& source) {
  // The list counts rows in 32 bits, as every index of its interface does.
  return static_cast<int32_t>(std::clamp<int64_t>(source.RowCount(), 0, std::numeric_limits<int32_t>::max()));
}

}  // namespace

VirtualCache::VirtualCache(ListView& owner, std::shared_ptr<VirtualRows> source)
    : owner_(owner), source_(std::move(source)) {
  count_ = CountOf(*source_);
}

VirtualCache::~VirtualCache() {
  // The list lets go of its selection itself (it may be going too): the items only learn that
  // they are no longer in it.
  for (auto& [index, page] : pages_)
    for (const ListItemRef& item : page.rows) item->owner_ = nullptr;
  for (auto& [key, item] : pinned_) item->owner_ = nullptr;
}

void VirtualCache::Detach(ListItem& item) {
  // Only a row without a key can be selected and still leave: nothing could find it again.
  if (item.owner_ == &owner_) owner_.Unselect(item);
  if (owner_.focused_.lock().get() == &item) owner_.focused_.reset();
  item.owner_ = nullptr;
  item.hint_ = kUnknownPos;
}

bool VirtualCache::Pinned(const ListItem& item) const {
  return item.selected_ || owner_.focused_.lock().get() == &item;
}

ListItemRef VirtualCache::Make(VirtualRows::Row& row, int32_t pos) {
  ListItemRef item;
  if (!pinned_.empty()) {
    if (auto it = pinned_.find(row.key); it != pinned_.end()) item = it->second;
  }
  const size_t columns = row.texts.size();
  if (!item) {
    item = std::make_shared<ListItem>(std::move(row.key), columns ? std::move(row.texts[0]) : std::string(),
                                      Variant(), Variant(), nextParam_++);
    item->owner_ = &owner_;
  } else if (columns) {
    // The engine holds the truth: a pinned row shows what its row says now.
    item->text_ = std::move(row.texts[0]);
  }
  // Every column gets its sub-item, as a fill of the same rows gives them.
  item->subItems_.resize(columns > 0 ? columns - 1 : 0);
  for (size_t c = 1; c < columns; ++c) item->subItems_[c - 1].text = std::move(row.texts[c]);
  item->hint_ = static_cast<uint32_t>(pos);
  return item;
}

VirtualCache::Page& VirtualCache::Fetch(int32_t index) {
  const int64_t first = static_cast<int64_t>(index) * kPageRows;
  const int32_t want = static_cast<int32_t>(std::min<int64_t>(kPageRows, count_ - first));
  buffer_.clear();
  source_->Fetch(first, want, buffer_);
  if (pages_.size() >= kMaxPages) Evict();
  Page page;
  page.rows.reserve(static_cast<size_t>(want));
  const size_t got = std::min(buffer_.size(), static_cast<size_t>(want));
  for (size_t i = 0; i < got; ++i) page.rows.push_back(Make(buffer_[i], static_cast<int32_t>(first + i)));
  // Fewer rows than counted: others deleted rows since the count. The rest of the page stands
  // blank until the list is refreshed, rather than positions shifting under the user.
  for (size_t i = got; i < static_cast<size_t>(want); ++i) {
    VirtualRows::Row blank{std::string(), std::vector<std::string>(owner_.ColumnHeaders().Count())};
    ListItemRef item = Make(blank, static_cast<int32_t>(first + i));
    page.rows.push_back(std::move(item));
  }
  return pages_.insert_or_assign(index, std::move(page)).first->second;
}

VirtualCache::Page& VirtualCache::FetchOrBlank(int32_t index) {
  try {
    return Fetch(index);
  } catch (const Error& e) {
    // A page the engine could not give (an error, a lost connection) stands blank and is tried
    // again at the next refresh; the list keeps drawing what it has. The owner hears of it once.
    if (pages_.size() >= kMaxPages) Evict();
    const int64_t first = static_cast<int64_t>(index) * kPageRows;
    const int32_t want = static_cast<int32_t>(std::min<int64_t>(kPageRows, count_ - first));
    Page page;
    for (int32_t i = 0; i < want; ++i) {
      VirtualRows::Row blank{std::string(), std::vector<std::string>(owner_.ColumnHeaders().Count())};
      page.rows.push_back(Make(blank, static_cast<int32_t>(first + i)));
    }
    Page& stored = pages_.insert_or_assign(index, std::move(page)).first->second;
    if (!failed_) {
      failed_ = true;
      owner_.OnVirtualFetchFailed(e);
    }
    return stored;
  }
}

void VirtualCache::Evict() {
  auto oldest = pages_.end();
  for (auto it = pages_.begin(); it != pages_.end(); ++it)
    if (oldest == pages_.end() || it->second.lastUse < oldest->second.lastUse) oldest = it;
  if (oldest == pages_.end()) return;
  for (const ListItemRef& item : oldest->second.rows) {
    if (Pinned(*item) && !item->key_.empty()) {
      item->hint_ = kUnknownPos;
      pinned_.emplace(item->key_, item);
    } else {
      if (auto it = pinned_.find(item->key_); it != pinned_.end() && it->second == item) pinned_.erase(it);
      Detach(*item);
    }
  }
  if (last_ == &oldest->second) {
    last_ = nullptr;
    lastPage_ = -1;
  }
  pages_.erase(oldest);
}

const ListItemRef& VirtualCache::At(int32_t pos) {
  const int32_t index = pos / kPageRows;
  if (index != lastPage_ || !last_) {
    auto it = pages_.find(index);
    last_ = it != pages_.end() ? &it->second : &FetchOrBlank(index);
    lastPage_ = index;
    last_->lastUse = ++clock_;
  }
  return last_->rows[static_cast<size_t>(pos - index * kPageRows)];
}

int32_t VirtualCache::PositionOf(const ListItem& item) {
  if (item.owner_ != &owner_) return -1;
  if (item.hint_ != kUnknownPos) return static_cast<int32_t>(item.hint_);
  const std::vector<int64_t> found = source_->Locate({item.key_});
  const int64_t pos = found.empty() ? -1 : found[0];
  return pos < 0 || pos >= count_ ? -1 : static_cast<int32_t>(pos);
}

std::vector<int32_t> VirtualCache::PositionsOf(const std::vector<ListItem*>& items) {
  std::vector<int32_t> out(items.size(), -1);
  std::vector<std::string> keys;
  std::vector<size_t> asked;
  for (size_t i = 0; i < items.size(); ++i) {
    const ListItem& item = *items[i];
    if (item.owner_ != &owner_) continue;
    if (item.hint_ != kUnknownPos) {
      out[i] = static_cast<int32_t>(item.hint_);
    } else {
      keys.push_back(item.key_);
      asked.push_back(i);
    }
  }
  if (!keys.empty()) {
    const std::vector<int64_t> found = source_->Locate(keys);
    for (size_t k = 0; k < asked.size() && k < found.size(); ++k)
      if (found[k] >= 0 && found[k] < count_) out[asked[k]] = static_cast<int32_t>(found[k]);
  }
  return out;
}

ListItem* VirtualCache::FindKey(std::string_view key) {
  if (key.empty()) return nullptr;
  if (auto it = pinned_.find(std::string(key)); it != pinned_.end()) return it->second.get();
  for (auto& [index, page] : pages_)
    for (const ListItemRef& item : page.rows)
      if (item->key_ == key) return item.get();
  const std::vector<int64_t> found = source_->Locate({std::string(key)});
  if (found.empty() || found[0] < 0 || found[0] >= count_) return nullptr;
  return At(static_cast<int32_t>(found[0])).get();
}

void VirtualCache::Reset(bool recount) {
  for (auto& [index, page] : pages_) {
    for (const ListItemRef& item : page.rows) {
      if (Pinned(*item) && !item->key_.empty()) pinned_.emplace(item->key_, item);
      else Detach(*item);
    }
  }
  pages_.clear();
  last_ = nullptr;
  lastPage_ = -1;
  failed_ = false;
  for (auto it = pinned_.begin(); it != pinned_.end();) {
    if (Pinned(*it->second)) {
      it->second->hint_ = kUnknownPos;
      ++it;
    } else {
      Detach(*it->second);
      it = pinned_.erase(it);
    }
  }
  if (recount) count_ = CountOf(*source_);
}

std::vector<ListItem*> VirtualCache::CachedItems() const {
  std::vector<ListItem*> out;
  for (const auto& [index, page] : pages_)
    for (const ListItemRef& item : page.rows) out.push_back(item.get());
  return out;
}

void VirtualCache::Unpin(ListItem& item) {
  if (item.hint_ != kUnknownPos || Pinned(item)) return;  // still on a page, or still wanted
  if (auto it = pinned_.find(item.key_); it != pinned_.end() && it->second.get() == &item) {
    const ListItemRef keep = it->second;
    pinned_.erase(it);
    Detach(*keep);
  }
}

}  // namespace tamarind::platform
