#include "platform/listview/KeyIndex.h"

#include <algorithm>

#include <functional>

#include "platform/listview/ListItem.h"

namespace tamarind::platform {

uint64_t KeyIndex::Hash(std::string_view key) {
  // The standard hash, with its bits mixed so that the low ones, which pick the slot, depend on all.
  uint64_t h = std::hash<std::string_view>{}(key);
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  return h;
}

ListItem* KeyIndex::Find(std::string_view key) const {
  if (size_ == 0) return nullptr;
  const uint64_t h = Hash(key);
  const size_t mask = slots_.size() - 1;
  for (size_t i = h & mask;; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (!s.item) return nullptr;
    if (s.hash == h && s.item->Key() == key) return s.item;
  }
}

void KeyIndex::Insert(std::string_view key, ListItem* item) {
  if ((size_ + 1) * 2 > slots_.size()) Grow();
  const uint64_t h = Hash(key);
  const size_t mask = slots_.size() - 1;
  size_t i = h & mask;
  while (slots_[i].item) i = (i + 1) & mask;
  slots_[i] = Slot{h, item};
  ++size_;
}

void KeyIndex::Erase(std::string_view key, const ListItem* item) {
  if (size_ == 0) return;
  const uint64_t h = Hash(key);
  const size_t mask = slots_.size() - 1;
  size_t i = h & mask;
  for (;; i = (i + 1) & mask) {
    if (!slots_[i].item) return;
    if (slots_[i].item == item) break;
  }
  // Every slot after the freed one, up to the next empty slot, moves back into it when the freed
  // slot lies between its home slot and itself; otherwise a lookup would stop short of it.
  for (size_t j = (i + 1) & mask; slots_[j].item; j = (j + 1) & mask) {
    const size_t home = slots_[j].hash & mask;
    const bool between = i <= j ? (home <= i || home > j) : (home <= i && home > j);
    if (between) {
      slots_[i] = slots_[j];
      i = j;
    }
  }
  slots_[i] = Slot{};
  --size_;
}

void KeyIndex::Clear() {
  slots_.clear();
  size_ = 0;
}

void KeyIndex::ClearKeepingRoom() {
  std::fill(slots_.begin(), slots_.end(), Slot{});
  size_ = 0;
}

void KeyIndex::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
  const size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (!s.item) continue;
    size_t i = s.hash & mask;
    while (slots_[i].item) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

}  // namespace tamarind::platform
