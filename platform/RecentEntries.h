#pragma once
// What a realisation records for tests and diagnostics (message boxes shown, sleeps asked for,
// sounds played, property changes, documents printed) keeps only the most recent entries, so a
// program that runs for days has a flat memory. Readers get a plain std::vector, oldest first.
// When the record reaches twice its capacity the older entries go at once, down to the capacity,
// so each entry costs amortised constant time and the record never holds more than twice the
// capacity.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tamarind::platform {

template <class T>
class RecentEntries {
 public:
  static constexpr size_t kDefaultCapacity = 1024;

  explicit RecentEntries(size_t capacity = kDefaultCapacity) : capacity_(std::max<size_t>(1, capacity)) {}

  void Add(T entry) {
    if (entries_.size() >= 2 * capacity_) {
      const size_t drop = entries_.size() - capacity_ + 1;
      entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(drop));
      dropped_ += drop;
    }
    entries_.push_back(std::move(entry));
  }
  const std::vector<T>& Entries() const { return entries_; }
  // The latest entry, to be updated in place (the record must not be empty).
  T& Last() { return entries_.back(); }
  void Clear() { entries_.clear(); }
  size_t Capacity() const { return capacity_; }
  // How many entries were forgotten to keep the record bounded.
  uint64_t Dropped() const { return dropped_; }

 private:
  size_t capacity_;
  std::vector<T> entries_;
  uint64_t dropped_ = 0;
};

}  // namespace tamarind::platform
