#include "platform/listview/TextSort.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>

#include "runtime/Text.h"

namespace tamarind::platform {

namespace {

// The collation keys of one column's texts. A text that comes again (a city, a name, a status)
// reuses the key of its first appearance; once the texts prove mostly different, repeats are no
// longer looked for, so a column of distinct texts pays little for the search.
class ColumnKeys {
 public:
  explicit ColumnKeys(size_t texts) { keys_.Reserve(texts, texts * 24); }

  // The number of the key of text, which must stay alive while this table is used.
  size_t Add(const std::string& text) {
    ++added_;
    if (searching_) {
      if (added_ == kTrial && seen_.size() * 4 > kTrial * 3) {
        searching_ = false;  // more than three in four texts were new
        seen_ = {};
      } else {
        const auto [it, inserted] = seen_.try_emplace(text, keys_.Size());
        if (inserted) keys_.Add(text);
        return it->second;
      }
    }
    keys_.Add(text);
    return keys_.Size() - 1;
  }
  const text::CollationKeys& Keys() const { return keys_; }

 private:
  static constexpr size_t kTrial = 4096;
  text::CollationKeys keys_;
  std::unordered_map<std::string_view, size_t> seen_;
  bool searching_ = true;
  size_t added_ = 0;
};

// A row in the sort: the first bytes of its key, its key's number and its position before the
// sort. Most comparisons end on the prefixes, without reading the keys.
struct Entry {
  uint64_t prefix;
  size_t key;
  size_t pos;
};

int Compare(const text::CollationKeys& keys, const Entry& a, const Entry& b) {
  if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
  if (a.key == b.key) return 0;
  const std::string_view x = keys.Key(a.key), y = keys.Key(b.key);
  if (x.size() <= 8 && y.size() <= 8) return 0;  // equal prefixes of whole keys
  const int c = x.compare(y);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// Sorts by key in the direction given, entries of equal keys by position: a stable sort.
void SortEntries(std::vector<Entry>::iterator first, std::vector<Entry>::iterator last,
                 const text::CollationKeys& keys, int32_t order) {
  std::sort(first, last, [&](const Entry& a, const Entry& b) {
    const int c = Compare(keys, a, b);
    if (c != 0) return order == 0 ? c < 0 : c > 0;
    return a.pos < b.pos;
  });
}

}  // namespace

std::vector<size_t> TextSortOrder(const std::vector<const ListItem*>& rows, int32_t key, int32_t order,
                                  int32_t thenKey, int32_t thenOrder) {
  const size_t n = rows.size();
  ColumnKeys first(n);
  std::vector<Entry> entries(n);
  for (size_t i = 0; i < n; ++i) {
    const size_t k = first.Add(rows[i]->ColumnText(key));
    entries[i] = Entry{first.Keys().Prefix(k), k, i};
  }
  SortEntries(entries.begin(), entries.end(), first.Keys(), order);

  if (thenKey >= 0) {
    // Each run of rows of equal text is put in order of their text in column thenKey; only the
    // rows in such runs are keyed again.
    ColumnKeys second(0);
    for (size_t start = 0; start < n;) {
      size_t end = start + 1;
      while (end < n && Compare(first.Keys(), entries[start], entries[end]) == 0) ++end;
      if (end - start > 1) {
        for (size_t i = start; i < end; ++i) {
          entries[i].key = second.Add(rows[entries[i].pos]->ColumnText(thenKey));
          entries[i].prefix = second.Keys().Prefix(entries[i].key);
        }
        SortEntries(entries.begin() + static_cast<std::ptrdiff_t>(start),
                    entries.begin() + static_cast<std::ptrdiff_t>(end), second.Keys(), thenOrder);
      }
      start = end;
    }
  }

  std::vector<size_t> sorted(n);
  for (size_t i = 0; i < n; ++i) sorted[i] = entries[i].pos;
  return sorted;
}

}  // namespace tamarind::platform
