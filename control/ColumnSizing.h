#pragma once
// Fitting the columns to their contents: SizeColumns and the two routines it uses.
//
// Widths come from the list view itself (LVM_SETCOLUMNWIDTH with -1, fit the texts, or -2, fit the
// texts and the caption, the last column also filling the list), measured with the toolkit's text
// metrics. Every column then gets a little room besides: 380 twips where the header shows
// images, 180 otherwise. The sort arrows and the column alignments come through unchanged. These
// routines pass over every error.

#include <cstdint>

#include "core/KestrelState.h"

namespace tamarind::control {

// Fits every column to its contents and caption, with the painting of the list suspended. With
// SortArrows the arrow images are bound to the header again first (the host's pictures rebuilt
// at SortArrowSize when both are set).
void SizeColumns(KestrelState& s);

// In report view, for a column from 1 to the count: LVM_SETCOLUMNWIDTH with the 0-based column and
// width (pixels, or -1 / -2). Nothing otherwise.
void SetColumnWidth(platform::Toolkit& tk, platform::ListView& list, int32_t column, int32_t width);

// Columns 1 to n - 1 get width, column n its contents' width; then every column is widened (also
// outside report view, where the list view measured nothing) and column n fits its caption and
// fills the list. A single column only fits and fills. Where the header has images, the sorted
// column's arrow is drawn again.
void AutoSizeColumns(platform::Toolkit& tk, platform::ListView& list, int32_t width);

}  // namespace tamarind::control
