#pragma once
// A Kestrel on the desk whose column headers a person clicks; the suites read the rows in order,
// the host's log, the header images, the sounds and the message boxes.

#include <string>
#include <vector>

#include "tests/kestrel/KestrelFixture.h"

namespace tamarind::testing {

class SortingTest : public KestrelTest {
 protected:
  // Columns with these captions, 1500 twips wide, and rows of cells (item text first).
  void Fill(const Texts& captions, const std::vector<Texts>& rows) {
    for (const auto& c : captions) k.ColumnHeaders().Add(0, {}, c, 1500);
    for (const auto& cells : rows) AddRow(cells);
  }
  ListItemRef AddRow(const Texts& cells) {
    ListItemRef item = k.ListItems().Add(0, {}, cells[0]);
    for (size_t c = 1; c < cells.size(); ++c) item->SubItems(static_cast<int32_t>(c), cells[c]);
    return item;
  }
  void Click(int32_t columnIndex) { user.ClickHeader(lv, columnIndex); }
  // A click with the log and the sounds cleared first: what this click alone did.
  void FreshClick(int32_t columnIndex) {
    host.log.clear();
    tk.SoundImpl().Clear();
    Click(columnIndex);
  }
  // What each header shows to the right of its caption: "^" the first image (ascending), "v" the
  // second (descending), "." none; e.g. ".v." for a descending sort on the middle column.
  std::string Arrows() {
    std::string out;
    for (const auto& h : k.ColumnHeaders()) {
      if (!(h->HeaderFormat() & platform::HDF_IMAGE)) out += '.';
      else out += h->HeaderImage() == 0 ? '^' : h->HeaderImage() == 1 ? 'v' : '?';
    }
    return out;
  }
};

}  // namespace tamarind::testing
