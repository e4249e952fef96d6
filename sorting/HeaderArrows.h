#pragma once
// Sort arrows in the column headers: the sorted column shows an up arrow (ascending) or a down
// arrow (descending) to the right of its caption, from the built-in pair of 12 x 12 images or from
// two pictures of the host's.

#include <cstdint>
#include <string>

#include "core/KestrelState.h"

namespace tamarind::sorting {

// The built-in arrows: image 1 up, image 2 down; 24-bit, 12 x 12, masked in pure green.
platform::ImageListRef BuiltInArrowImages();

// Shows image k (0-based; the caller passes the list's SortOrder) at the right of the caption of
// column c (0-based), or no image, keeping the caption and the column's alignment.
void SetHeaderSortIcon(platform::Toolkit& tk, platform::ListView& list, int32_t c, int32_t k, bool show);

// The arrow of the sorted column: every header in collection order gets the image for the list's
// SortOrder when its Index is shownIndex, and no image otherwise (shownIndex 0 shows none). A
// header that cannot be redrawn is passed over.
void RedrawSortArrows(platform::Toolkit& tk, platform::ListView& list, int32_t shownIndex);

// Binds the arrow images to the header: the host's two pictures (both must be set) at
// SortArrowSize pixels in imgCUSTOM, else the built-in pair of imgHEADER. Each failing step is
// skipped; with withUnbind the header first loses its images and gets its alignments back
// (saved in alignments), as column sizing does before rebuilding the pictures.
void BindArrowImages(KestrelState& s, const std::string& alignments, bool withUnbind);

// The SortArrows property: binds the arrow images to the header (or unbinds them) and redraws the
// arrow of the sorted column. Failing steps are skipped.
void ApplySortArrows(KestrelState& s, bool value);

}  // namespace tamarind::sorting
