#pragma once
// Column widths that fit their contents.
//
// A width is measured in 1/256 of the width of the digit zero of the workbook's font (Arial 10),
// the unit the file stores. Text is measured with Arial's advance widths (a digit is 556/1000 of
// the font size, "i" 222, "W" 944, East Asian wide characters a full 1000); a cell's width is that
// of its longest line as the cell shows it, plus the cell's margins.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/spreadsheet/Workbook.h"

namespace tamarind::spreadsheet {

// The width, in the file's unit, a column needs to show the text whole. At most 255 characters.
uint16_t FittedWidth(std::string_view shownText);

// Sets the width of every column from firstColumn to lastColumn that holds cells to the widest of
// its cells; columns without cells keep their width.
void AutoFitColumns(Worksheet& sheet, int32_t firstColumn, int32_t lastColumn);

}  // namespace tamarind::spreadsheet
