#pragma once
// Sort arrows in the column headers: the sorted column shows an up arrow (ascending) or a down
// arrow (descending) to the right of its caption, from the built-in pair of 12 x 12 images or from
// two pictures of the host's.

#include <cstdint>

#include "core/KestrelState.h"

namespace tamarind::sorting {

// The built-in arrows: image 1 up, image 2 down; 24-bit, 12 x 12, masked in pure green.
platform::ImageListRef BuiltInArrowImages();

// Shows image k (0-based; the caller passes the list's SortOrder) at the right of the caption of
// column c (0-based), or no image, keeping the caption and the column's alignment.
void SetHeaderSortIcon(platform::Toolkit& tk, platform::ListView& list, int32_t c, int32_t k, bool show);

// The SortArrows property: binds the arrow images to the header (or unbinds them) and redraws the
// arrow of the sorted column. Failing steps are skipped.
void ApplySortArrows(KestrelState& s, bool value);

}  // namespace tamarind::sorting
