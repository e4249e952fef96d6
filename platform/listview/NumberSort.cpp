#include "platform/listview/NumberSort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <utility>

namespace tamarind::platform {

namespace {

// An unsigned integer that orders as the double does: the sign bit flipped for positives, every
// bit flipped for negatives. -0 is read as 0 first, so the two zeros stay equal.
uint64_t OrderedBits(double d) {
  if (d == 0) d = 0.0;
  const auto bits = std::bit_cast<uint64_t>(d);
  return (bits >> 63) != 0 ? ~bits : bits | (uint64_t{1} << 63);
}

// Twelve bytes rather than a padded sixteen: the pairs are moved once per pass, and at a million
// rows every byte less is memory the sort need not take fresh.
#pragma pack(push, 4)
struct Keyed {
  uint64_t key;
  uint32_t pos;
};
#pragma pack(pop)
static_assert(sizeof(Keyed) == 12);

constexpr int kDigitBits = 11;
constexpr size_t kBuckets = size_t{1} << kDigitBits;
constexpr int kPasses = (64 + kDigitBits - 1) / kDigitBits;

size_t Digit(uint64_t key, int pass) { return static_cast<size_t>(key >> (pass * kDigitBits)) & (kBuckets - 1); }

// Below this many rows a comparison sort is as quick as counting into the buckets.
constexpr size_t kRadixFrom = 512;

}  // namespace

std::vector<uint32_t> NumberSortOrder(const std::vector<double>& keys, bool descending) {
  return NumberSortOrder(keys.size(), [&keys](size_t i) { return keys[i]; }, descending);
}

std::vector<uint32_t> NumberSortOrder(size_t n, const std::function<double(size_t)>& numberAt, bool descending) {
  // Descending is ascending on the complemented keys; positions still rise among equal keys.
  const uint64_t flip = descending ? ~uint64_t{0} : 0;
  std::vector<Keyed> a;
  a.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const double number = numberAt(i);
    assert(number == number);
    a.push_back(Keyed{OrderedBits(number) ^ flip, static_cast<uint32_t>(i)});
  }
  if (n < kRadixFrom) {
    std::stable_sort(a.begin(), a.end(), [](const Keyed& x, const Keyed& y) { return x.key < y.key; });
  } else {
    // One reading counts every digit of every pass; a pass whose digit is the same for all rows
    // (the high bits of numbers of one sign and magnitude, the low bits of whole numbers) would
    // move nothing and is left out.
    std::vector<std::array<size_t, kBuckets>> counts(kPasses);
    for (auto& c : counts) c.fill(0);
    for (const Keyed& k : a)
      for (int p = 0; p < kPasses; ++p) ++counts[static_cast<size_t>(p)][Digit(k.key, p)];
    std::vector<Keyed> b(n);
    for (int p = 0; p < kPasses; ++p) {
      auto& count = counts[static_cast<size_t>(p)];
      if (count[Digit(a[0].key, p)] == n) continue;
      size_t start = 0;
      for (size_t& c : count) start += std::exchange(c, start);
      for (const Keyed& k : a) b[count[Digit(k.key, p)]++] = k;
      a.swap(b);
    }
  }
  std::vector<uint32_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = a[i].pos;
  return order;
}

}  // namespace tamarind::platform
