#pragma once
// The order of rows by one number each, for the keyed sorts of numbers and dates.
//
// A comparison sort through a compare routine calls it about twenty million times for a million
// rows. Here each number is turned once into an unsigned integer of the same order, and the
// (integer, position) pairs are put in order by a least-significant-digit radix sort, which is
// stable: rows of equal number keep their order in the list, as a stable comparison sort keeps
// them.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace tamarind::platform {

// The positions 0 .. keys.size() - 1 in order of their keys: ascending, or descending when
// descending is true; equal keys (0 and -0 are equal) in ascending order of position. This is
// exactly the order of a stable sort of the positions by the sign of the difference of their keys
// (negated for descending). Keys must not be NaN.
std::vector<uint32_t> NumberSortOrder(const std::vector<double>& keys, bool descending);

// The same for n numbers asked of numberAt(position) once each, without a vector of them.
std::vector<uint32_t> NumberSortOrder(size_t n, const std::function<double(size_t)>& numberAt, bool descending);

}  // namespace tamarind::platform
