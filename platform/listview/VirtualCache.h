#pragma once
// The rows of a list in virtual mode: items made on demand from a source's pages, in a bounded
// cache.
//
// A row becomes a ListItem when it is first asked for (drawn, hit, read by the host) and lives as
// long as its page stays in the cache. Pages leave the cache least recently used first. An item
// that is selected or has the focus rectangle stays (it is pinned by its key): the selection is
// what the user made, and it must survive scrolling, sorting and rows leaving the cache. Anyone
// else holding an item whose page left sees it as a removed item: readable, Index 0.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/listview/ListItem.h"
#include "platform/listview/VirtualRows.h"

namespace tamarind::platform {

class ListView;

class VirtualCache {
 public:
  // Rows per page fetched from the source, and the pages kept: a few screens either way of the
  // rows shown, whatever the number of rows.
  static constexpr int32_t kPageRows = 128;
  static constexpr size_t kMaxPages = 48;

  VirtualCache(ListView& owner, std::shared_ptr<VirtualRows> source);
  ~VirtualCache();
  VirtualCache(const VirtualCache&) = delete;
  VirtualCache& operator=(const VirtualCache&) = delete;

  VirtualRows& Source() const { return *source_; }
  const std::shared_ptr<VirtualRows>& SourceRef() const { return source_; }
  int32_t Count() const { return count_; }

  // The item at 0-based position pos < Count(). The reference stays valid until the cache next
  // fetches a page. Never fails: a page the source cannot give is blank (see FetchOrBlank).
  const ListItemRef& At(int32_t pos);
  // The 0-based position of an item this cache made; -1 when its row is no longer shown.
  int32_t PositionOf(const ListItem& item);
  // The positions of several items, as PositionOf gives them, with one request to the source for
  // all whose rows have left the cache.
  std::vector<int32_t> PositionsOf(const std::vector<ListItem*>& items);
  // The item of the row with this key, nullptr when no row shown has it.
  ListItem* FindKey(std::string_view key);

  // The source's rows changed order or number: every page goes, and with recount the rows are
  // counted again (a sort keeps their number: counting ten million rows again costs more than the
  // sort's first page). Pinned items stay, their positions unknown until asked for.
  void Reset(bool recount);
  // Every row in order, fetched page by page; f sees each item for the length of its call.
  template <class F>
  void ForEach(F&& f) {
    for (int32_t pos = 0; pos < count_; ++pos) f(At(pos));
  }
  // The items made so far and still cached (the rows around those shown).
  std::vector<ListItem*> CachedItems() const;
  // Forgets an item that is no longer selected nor focused, when its page has left.
  void Unpin(ListItem& item);

 private:
  struct Page {
    std::vector<ListItemRef> rows;
    uint64_t lastUse = 0;
  };
  static constexpr uint32_t kUnknownPos = UINT32_MAX;
  Page& Fetch(int32_t page);
  Page& FetchOrBlank(int32_t page);
  void Evict();
  ListItemRef Make(VirtualRows::Row& row, int32_t pos);
  bool Pinned(const ListItem& item) const;
  void Detach(ListItem& item);

  ListView& owner_;
  std::shared_ptr<VirtualRows> source_;
  int32_t count_ = 0;
  std::unordered_map<int32_t, Page> pages_;
  std::unordered_map<std::string, ListItemRef> pinned_;  // selected or focused items, by key
  uint64_t clock_ = 0;
  int32_t lastPage_ = -1;
  Page* last_ = nullptr;
  std::vector<VirtualRows::Row> buffer_;
  LPARAM nextParam_ = 1;
  bool failed_ = false;  // a page failed since the last reset: the owner has heard
};

}  // namespace tamarind::platform
