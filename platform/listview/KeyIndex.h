#pragma once
// The keys of a list's rows, for finding a row by its key.
//
// A list of a million keyed rows adds and removes keys by the hundred thousand (a filter takes
// rows out, a restore puts them back). A node-based hash map spends most of that time following
// pointers to scattered nodes. Here every key is a slot of one array holding the key's hash and the
// row itself, which holds the key: a lookup reads one or two neighbouring slots, and compares a key
// only where the hashes agree. Removal shifts the slots after it back (linear probing), so no
// tombstones build up however many keys come and go.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tamarind::platform {

class ListItem;

class KeyIndex {
 public:
  size_t Size() const { return size_; }
  // The row whose key is key; nullptr when there is none.
  ListItem* Find(std::string_view key) const;
  // Enters item under key, which no row of the index has. The item's own key may still be another
  // (it changes after this), but must be key before the next lookup.
  void Insert(std::string_view key, ListItem* item);
  // Takes item, entered under key, out of the index; nothing when it is not there.
  void Erase(std::string_view key, const ListItem* item);
  void Clear();
  // Takes every key out but keeps the table's room, for keys about to come back (the rows a filter
  // parks return with their keys): growing again would move every key once per doubling.
  void ClearKeepingRoom();

 private:
  struct Slot {
    uint64_t hash = 0;
    ListItem* item = nullptr;  // nullptr: an empty slot
  };
  static uint64_t Hash(std::string_view key);
  void Grow();

  std::vector<Slot> slots_;  // a power of two in size, at most half full
  size_t size_ = 0;
};

}  // namespace tamarind::platform
