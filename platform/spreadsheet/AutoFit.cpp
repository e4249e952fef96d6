#include "platform/spreadsheet/AutoFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "platform/spreadsheet/CellText.h"
#include "runtime/Utf8.h"

namespace tamarind::spreadsheet {

namespace {

// Arial advance widths of the printable ASCII characters, in 1/1000 of the font size.
constexpr std::array<uint16_t, 95> kAsciiWidths = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // space to /
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556,                                // 0 to 9
    278, 278, 584, 584, 584, 556, 1015,                                              // : to @
    667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833,                 // A to M
    722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611,                 // N to Z
    278, 278, 278, 469, 556, 333,                                                    // [ to `
    556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833,                 // a to m
    556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500,                 // n to z
    334, 260, 334, 584};                                                             // { to ~
static_assert(kAsciiWidths[94] == 584, "one width for each printable character");

constexpr double kZeroWidth = 556;
// The margins of a cell, in widths of the digit zero (5 pixels where the digit is 7).
constexpr double kMargins = 5.0 / 7.0;
constexpr double kMaxCharacters = 255;

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) || (c >= 0x20000 && c <= 0x3FFFD);
}

uint32_t CharWidth(char32_t c) {
  if (c >= 0x20 && c <= 0x7E) return kAsciiWidths[c - 0x20];
  if (c < 0x20) return 0;
  return IsWide(c) ? 1000 : 556;
}

// The width of the longest line, in 1/1000 of the font size.
uint32_t TextWidth(std::string_view s) {
  uint32_t widest = 0, line = 0;
  for (size_t i = 0; i < s.size();) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      if (b == '\n' || b == '\r') {
        widest = std::max(widest, line);
        line = 0;
      } else {
        line += CharWidth(b);
      }
      ++i;
      continue;
    }
    const utf8::Char ch = utf8::Decode(s, i);
    line += CharWidth(ch.valid ? ch.codePoint : 0xFFFD);
    i += ch.length;
  }
  return std::max(widest, line);
}

}  // namespace

uint16_t FittedWidth(std::string_view shownText) {
  const double characters = std::min(kMaxCharacters, TextWidth(shownText) / kZeroWidth + kMargins);
  return static_cast<uint16_t>(std::ceil(characters * 256));
}

void AutoFitColumns(Worksheet& sheet, int32_t firstColumn, int32_t lastColumn) {
  firstColumn = std::max(firstColumn, 0);
  lastColumn = std::min(lastColumn, kMaxColumns - 1);
  if (firstColumn > lastColumn) return;
  std::vector<uint16_t> widths(static_cast<size_t>(lastColumn - firstColumn + 1), 0);
  sheet.ForEachCell([&](int32_t, int32_t column, const Cell& cell) {
    if (column < firstColumn || column > lastColumn) return;
    uint16_t& w = widths[static_cast<size_t>(column - firstColumn)];
    // Text is measured as it stands; other cells as they are shown.
    w = std::max(w, FittedWidth(cell.kind == Cell::Kind::Text ? std::string_view(cell.text) : DisplayText(cell)));
  });
  for (int32_t c = firstColumn; c <= lastColumn; ++c) {
    const uint16_t w = widths[static_cast<size_t>(c - firstColumn)];
    if (w > 0) sheet.SetColumnWidth(c, w);
  }
}

}  // namespace tamarind::spreadsheet
