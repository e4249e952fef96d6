#pragma once
// The rows of a list in order, as a sequence of blocks.
//
// A list of a million rows must add, remove, find by position and tell an item's position
// quickly. A plain vector makes removal O(n) (half a million removals become quadratic) and
// positions stale after every removal. Here the rows live in blocks of at most kMaxBlock items;
// a Fenwick tree over the block sizes finds the block of a position in O(log blocks); each item
// knows its block and a hint of its place inside it. Removal moves at most one block's items.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/listview/ListItem.h"

namespace tamarind::platform {

class ItemSequence {
 public:
  static constexpr size_t kMaxBlock = 512;
  static constexpr size_t kTargetBlock = 256;

  ItemSequence() = default;
  ~ItemSequence();
  ItemSequence(const ItemSequence&) = delete;
  ItemSequence& operator=(const ItemSequence&) = delete;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  const ListItemRef& at(size_t pos) const;  // 0-based; pos < size()
  void push_back(ListItemRef item);
  void insert(size_t pos, ListItemRef item);  // pos <= size()
  ListItemRef erase(size_t pos);
  void clear();
  // Takes out every item marked in taken (indexed by position), in one pass over the blocks, and
  // gives them back from the last to the first. leaving(item) is called as each item leaves, while
  // it is at hand.
  std::vector<ListItemRef> eraseMarked(const std::vector<uint8_t>& taken,
                                       const std::function<void(ListItem&)>& leaving);
  // 0-based position of an item of this sequence.
  size_t positionOf(const ListItem& item) const;
  // The positions of many items of this sequence at once, in the order given: the blocks' starts
  // are summed once, not once per item.
  std::vector<uint32_t> positionsOf(const std::vector<ListItem*>& items) const;
  // Calls found(i, position of items[i]) for i = 0, 1, ... while it returns true, with the blocks'
  // starts summed once and the items read ahead, so that reads of scattered items overlap.
  void locateEach(const std::vector<ListItem*>& items, const std::function<bool(size_t, uint32_t)>& found) const;
  // All items in order.
  std::vector<ListItemRef> items() const;
  // Replaces the order with the same items in a new order (after a sort).
  void assign(std::vector<ListItemRef> items);
  // Puts the item now at position order[i] at position i, for every i; order is a permutation of
  // 0 .. size() - 1. The items move; none is copied.
  // Positions are size_t or uint32_t.
  template <class Position>
  void reorder(const std::vector<Position>& order);

  // Visits every item in order. Once sorted, consecutive rows lie anywhere on the heap, so each
  // item, and then its sub-items, is asked for a few rows ahead: the reads of many rows overlap
  // instead of each waiting for memory in turn.
  template <class F>
  void forEach(F&& f) const {
    for (const auto& b : blocks_) {
      const auto& items = b->items;
      const size_t n = items.size();
      for (size_t i = 0; i < n; ++i) {
        prefetchAhead(items, i, n);
        f(items[i]);
      }
    }
  }
  // The same from the last item to the first.
  template <class F>
  void forEachBackward(F&& f) const {
    for (auto b = blocks_.rbegin(); b != blocks_.rend(); ++b) {
      const auto& items = (*b)->items;
      const size_t n = items.size();
      for (size_t i = n; i-- > 0;) {
        prefetchAhead(items, n - 1 - i, n, true);
        f(items[i]);
      }
    }
  }

 private:
  static constexpr size_t kItemAhead = 16, kSubItemsAhead = 8;
  // For the walk at step i of n over items (backward: step i is items[n - 1 - i]).
  static void prefetchAhead(const std::vector<ListItemRef>& items, size_t i, size_t n, bool backward = false) {
    const auto at = [&](size_t step) -> const ListItem& { return *items[backward ? n - 1 - step : step]; };
    if (i + kItemAhead < n) __builtin_prefetch(&at(i + kItemAhead));
    if (i + kSubItemsAhead < n) __builtin_prefetch(at(i + kSubItemsAhead).subItems_.data());
  }
  struct Block {
    std::vector<ListItemRef> items;
    size_t index = 0;  // position of the block in blocks_
  };
  void attach(ListItem& item, Block& b, size_t hint);
  void detach(ListItem& item);
  void locate(size_t pos, size_t& block, size_t& offset) const;
  // The item's place inside its block, its hint corrected.
  size_t offsetInBlock(const ListItem& item) const;
  size_t prefixBefore(size_t block) const;
  void rebuildTree() const;
  void adjustTree(size_t block, int64_t delta);
  void splitBlock(size_t block);
  void removeBlockIfEmpty(size_t block);
  void renumberBlocks(size_t from);

  std::vector<std::unique_ptr<Block>> blocks_;
  size_t size_ = 0;
  mutable std::vector<int64_t> tree_;  // Fenwick tree over block sizes, 1-based
  mutable bool treeValid_ = false;
  // Cache of the block found last, for scans that read positions in order.
  mutable size_t cacheBlock_ = 0, cacheStart_ = 0;
  mutable bool cacheValid_ = false;
};

}  // namespace tamarind::platform
