#include "platform/listview/ItemSequence.h"

#include <algorithm>
#include <cassert>

namespace tamarind::platform {

ItemSequence::~ItemSequence() { clear(); }

void ItemSequence::attach(ListItem& item, Block& b, size_t hint) {
  item.block_ = &b;
  item.hint_ = static_cast<uint32_t>(hint);
}

void ItemSequence::detach(ListItem& item) {
  item.block_ = nullptr;
  item.hint_ = 0;
}

void ItemSequence::rebuildTree() const {
  const size_t n = blocks_.size();
  tree_.assign(n + 1, 0);
  for (size_t i = 1; i <= n; ++i) {
    tree_[i] += static_cast<int64_t>(blocks_[i - 1]->items.size());
    const size_t parent = i + (i & (~i + 1));
    if (parent <= n) tree_[parent] += tree_[i];
  }
  treeValid_ = true;
}

void ItemSequence::adjustTree(size_t block, int64_t delta) {
  if (!treeValid_) return;
  for (size_t i = block + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
}

size_t ItemSequence::prefixBefore(size_t block) const {
  if (!treeValid_) rebuildTree();
  int64_t sum = 0;
  for (size_t i = block; i > 0; i -= i & (~i + 1)) sum += tree_[i];
  return static_cast<size_t>(sum);
}

void ItemSequence::locate(size_t pos, size_t& block, size_t& offset) const {
  assert(pos < size_);
  if (cacheValid_ && cacheBlock_ < blocks_.size()) {
    const size_t cachedSize = blocks_[cacheBlock_]->items.size();
    if (pos >= cacheStart_ && pos < cacheStart_ + cachedSize) {
      block = cacheBlock_;
      offset = pos - cacheStart_;
      return;
    }
    // A scan in order steps into the next block.
    const size_t nextStart = cacheStart_ + cachedSize;
    if (cacheBlock_ + 1 < blocks_.size() && pos >= nextStart && pos < nextStart + blocks_[cacheBlock_ + 1]->items.size()) {
      cacheBlock_ += 1;
      cacheStart_ = nextStart;
      block = cacheBlock_;
      offset = pos - cacheStart_;
      return;
    }
    // A walk from the last row to the first steps into the previous block.
    if (cacheBlock_ > 0 && pos < cacheStart_ && pos >= cacheStart_ - blocks_[cacheBlock_ - 1]->items.size()) {
      cacheBlock_ -= 1;
      cacheStart_ -= blocks_[cacheBlock_]->items.size();
      block = cacheBlock_;
      offset = pos - cacheStart_;
      return;
    }
  }
  if (!treeValid_) rebuildTree();
  // Fenwick descent: the largest prefix of whole blocks not exceeding pos.
  size_t idx = 0;
  int64_t remaining = static_cast<int64_t>(pos);
  size_t step = 1;
  while (step * 2 <= blocks_.size()) step *= 2;
  for (; step > 0; step /= 2) {
    if (idx + step <= blocks_.size() && tree_[idx + step] <= remaining) {
      idx += step;
      remaining -= tree_[idx];
    }
  }
  block = idx;
  offset = static_cast<size_t>(remaining);
  cacheBlock_ = block;
  cacheStart_ = pos - offset;
  cacheValid_ = true;
}

const ListItemRef& ItemSequence::at(size_t pos) const {
  size_t b = 0, off = 0;
  locate(pos, b, off);
  return blocks_[b]->items[off];
}

void ItemSequence::push_back(ListItemRef item) {
  if (blocks_.empty() || blocks_.back()->items.size() >= kMaxBlock) {
    auto b = std::make_unique<Block>();
    b->items.reserve(kMaxBlock);
    b->index = blocks_.size();
    blocks_.push_back(std::move(b));
    treeValid_ = false;
  }
  Block& last = *blocks_.back();
  attach(*item, last, last.items.size());
  last.items.push_back(std::move(item));
  ++size_;
  adjustTree(last.index, 1);
}

void ItemSequence::insert(size_t pos, ListItemRef item) {
  assert(pos <= size_);
  if (pos == size_) {
    push_back(std::move(item));
    return;
  }
  size_t b = 0, off = 0;
  locate(pos, b, off);
  Block& block = *blocks_[b];
  attach(*item, block, off);
  block.items.insert(block.items.begin() + static_cast<std::ptrdiff_t>(off), std::move(item));
  ++size_;
  adjustTree(b, 1);
  // The cache holds block b (locate put it there), whose start has not moved; a split renumbers
  // the blocks and drops it.
  if (block.items.size() > kMaxBlock) splitBlock(b);
}

ListItemRef ItemSequence::erase(size_t pos) {
  size_t b = 0, off = 0;
  locate(pos, b, off);
  Block& block = *blocks_[b];
  ListItemRef removed = std::move(block.items[off]);
  block.items.erase(block.items.begin() + static_cast<std::ptrdiff_t>(off));
  detach(*removed);
  --size_;
  adjustTree(b, -1);
  // As for insert: block b keeps its start, and removing an emptied block drops the cache.
  removeBlockIfEmpty(b);
  return removed;
}

std::vector<ListItemRef> ItemSequence::eraseMarked(const std::vector<uint8_t>& taken,
                                                   const std::function<void(ListItem&)>& leaving) {
  assert(taken.size() == size_);
  std::vector<ListItemRef> removed;
  size_t start = size_;
  for (size_t b = blocks_.size(); b-- > 0;) {
    Block& block = *blocks_[b];
    auto& items = block.items;
    start -= items.size();
    for (size_t i = items.size(); i-- > 0;) {
      if (i >= kItemAhead) __builtin_prefetch(items[i - kItemAhead].get());
      if (!taken[start + i]) continue;
      detach(*items[i]);
      leaving(*items[i]);
      removed.push_back(std::move(items[i]));
    }
    size_t to = 0;
    for (size_t i = 0; i < items.size(); ++i) {
      if (!items[i]) continue;
      if (to != i) items[to] = std::move(items[i]);
      attach(*items[to], block, to);
      ++to;
    }
    items.resize(to);
  }
  size_ -= removed.size();
  if (size_ < blocks_.size() * kTargetBlock / 4) {
    // Mostly emptied blocks: packed again, so that finding a position stays as quick as before.
    assign(items());
  } else {
    std::erase_if(blocks_, [](const std::unique_ptr<Block>& b) { return b->items.empty(); });
    renumberBlocks(0);
    treeValid_ = false;
    cacheValid_ = false;
  }
  return removed;
}

void ItemSequence::clear() {
  for (auto& b : blocks_)
    for (auto& it : b->items) detach(*it);
  blocks_.clear();
  size_ = 0;
  tree_.clear();
  treeValid_ = false;
  cacheValid_ = false;
}

size_t ItemSequence::offsetInBlock(const ListItem& item) const {
  auto* block = static_cast<Block*>(item.block_);
  assert(block);
  const auto& items = block->items;
  size_t offset = item.hint_;
  // The hint is right unless something moved inside the block; a removal before the item moves
  // it one place to the left.
  if (offset >= items.size() || items[offset].get() != &item) {
    if (offset > 0 && offset - 1 < items.size() && items[offset - 1].get() == &item) {
      offset -= 1;
    } else {
      offset = 0;
      while (offset < items.size() && items[offset].get() != &item) ++offset;
      assert(offset < items.size());
    }
    item.hint_ = static_cast<uint32_t>(offset);
  }
  return offset;
}

size_t ItemSequence::positionOf(const ListItem& item) const {
  return prefixBefore(static_cast<Block*>(item.block_)->index) + offsetInBlock(item);
}

std::vector<uint32_t> ItemSequence::positionsOf(const std::vector<ListItem*>& items) const {
  std::vector<uint32_t> positions;
  positions.reserve(items.size());
  locateEach(items, [&positions](size_t, uint32_t pos) {
    positions.push_back(pos);
    return true;
  });
  return positions;
}

void ItemSequence::locateEach(const std::vector<ListItem*>& items,
                              const std::function<bool(size_t, uint32_t)>& found) const {
  std::vector<uint32_t> starts(blocks_.size());
  uint32_t start = 0;
  for (size_t b = 0; b < blocks_.size(); ++b) {
    starts[b] = start;
    start += static_cast<uint32_t>(blocks_[b]->items.size());
  }
  // The items lie scattered over the heap: each is asked for a few places ahead, so that the
  // reads of many overlap instead of waiting for one after another. An item's place in its
  // block's array is asked for later, once the item itself has come.
  constexpr size_t kAhead = 32, kPlaceAhead = 16;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i + kAhead < items.size()) {
      // Its place in the sequence, and the key and text that whoever asked usually reads next.
      __builtin_prefetch(items[i + kAhead]);
      __builtin_prefetch(&items[i + kAhead]->Key());
    }
    if (i + kPlaceAhead < items.size()) {
      const ListItem& soon = *items[i + kPlaceAhead];
      __builtin_prefetch(static_cast<Block*>(soon.block_)->items.data() + soon.hint_);
    }
    const ListItem& item = *items[i];
    if (!found(i, starts[static_cast<Block*>(item.block_)->index] + static_cast<uint32_t>(offsetInBlock(item)))) return;
  }
}

std::vector<ListItemRef> ItemSequence::items() const {
  std::vector<ListItemRef> all;
  all.reserve(size_);
  for (const auto& b : blocks_) all.insert(all.end(), b->items.begin(), b->items.end());
  return all;
}

void ItemSequence::assign(std::vector<ListItemRef> items) {
  blocks_.clear();
  size_ = items.size();
  for (size_t start = 0; start < items.size(); start += kTargetBlock) {
    auto b = std::make_unique<Block>();
    const size_t end = std::min(items.size(), start + kTargetBlock);
    b->items.reserve(kMaxBlock);
    b->index = blocks_.size();
    for (size_t i = start; i < end; ++i) {
      attach(*items[i], *b, i - start);
      b->items.push_back(std::move(items[i]));
    }
    blocks_.push_back(std::move(b));
  }
  treeValid_ = false;
  cacheValid_ = false;
}

template <class Position>
void ItemSequence::reorder(const std::vector<Position>& order) {
  assert(order.size() == size_);
  std::vector<ListItemRef> all;
  all.reserve(size_);
  for (auto& b : blocks_)
    for (auto& it : b->items) all.push_back(std::move(it));
  // New blocks filled straight from the new order.
  std::vector<std::unique_ptr<Block>> blocks;
  blocks.reserve((size_ + kTargetBlock - 1) / kTargetBlock);
  for (size_t start = 0; start < order.size(); start += kTargetBlock) {
    auto b = std::make_unique<Block>();
    b->items.reserve(kMaxBlock);
    b->index = blocks.size();
    const size_t end = std::min(order.size(), start + kTargetBlock);
    for (size_t i = start; i < end; ++i) {
      ListItemRef& item = all[order[i]];
      attach(*item, *b, i - start);
      b->items.push_back(std::move(item));
    }
    blocks.push_back(std::move(b));
  }
  blocks_ = std::move(blocks);
  treeValid_ = false;
  cacheValid_ = false;
}

template void ItemSequence::reorder(const std::vector<size_t>& order);
template void ItemSequence::reorder(const std::vector<uint32_t>& order);

void ItemSequence::splitBlock(size_t block) {
  Block& full = *blocks_[block];
  auto second = std::make_unique<Block>();
  second->items.reserve(kMaxBlock);
  const size_t half = full.items.size() / 2;
  for (size_t i = half; i < full.items.size(); ++i) {
    attach(*full.items[i], *second, i - half);
    second->items.push_back(std::move(full.items[i]));
  }
  full.items.resize(half);
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(block + 1), std::move(second));
  renumberBlocks(block + 1);
}

void ItemSequence::removeBlockIfEmpty(size_t block) {
  if (!blocks_[block]->items.empty()) return;
  if (block + 1 == blocks_.size()) {
    // The last block: the sums of the blocks before it stand, so the tree only loses its last node
    // (rows taken out from the back empty one block after another without rebuilding the tree).
    blocks_.pop_back();
    if (treeValid_) tree_.pop_back();
    cacheValid_ = false;
    return;
  }
  blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(block));
  renumberBlocks(block);
}

void ItemSequence::renumberBlocks(size_t from) {
  for (size_t i = from; i < blocks_.size(); ++i) blocks_[i]->index = i;
  treeValid_ = false;
  cacheValid_ = false;
}

}  // namespace tamarind::platform
