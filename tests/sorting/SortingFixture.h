#pragma once
// A Kestrel on a host form of the headless desktop, a person who clicks its column headers, and a
// host that notes the sorting events as one line each and answers BeforeColumnSort as a test
// scripts it. The suites read what the user and the host see: the rows in order, the events, the
// header images, the sounds and the message boxes.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "control/Kestrel.h"
#include "platform/Messages.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "runtime/Error.h"
#include "tests/kestrel/KestrelOnAForm.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind::testing {

using platform::ColumnHeaderRef;
using platform::ListItemRef;

class SortingHost : public KestrelEvents {
 public:
  // --- the host's answers ---
  // BeforeColumnSort: the type and the character to omit the host sets (unset: left as they came).
  std::optional<SortDataType> sortType;
  std::optional<std::string> omitChar;
  // Runs inside ColumnClick, after the line is noted.
  std::function<void(const ColumnHeaderRef&)> onColumnClick;

  // --- what happened ---
  std::vector<std::string> log;

  void ColumnClick(const ColumnHeaderRef& ColumnHeader) override {
    log.push_back("ColumnClick " + ColumnHeader->Text());
    if (onColumnClick) onColumnClick(ColumnHeader);
  }
  void BeforeColumnSort(const ColumnHeaderRef& ColumnHeader, SortDataType& SortType, std::string& OmitChar) override {
    log.push_back("BeforeColumnSort " + ColumnHeader->Text() + " type=" + std::to_string(SortType) + " omit=\"" +
                  OmitChar + "\"");
    if (sortType) SortType = *sortType;
    if (omitChar) OmitChar = *omitChar;
  }
  void ColumnSortComplete() override { log.push_back("ColumnSortComplete"); }
};

class SortingTest : public KestrelOnAForm<SortingHost> {
 protected:

  // Columns with these captions, 1500 twips wide, and rows of cells (item text first).
  void Fill(const std::vector<std::string>& captions, const std::vector<std::vector<std::string>>& rows) {
    for (const auto& c : captions) k.ColumnHeaders().Add(0, {}, c, 1500);
    for (const auto& cells : rows) AddRow(cells);
  }
  platform::ListItemRef AddRow(const std::vector<std::string>& cells) {
    platform::ListItemRef item = k.ListItems().Add(0, {}, cells[0]);
    for (size_t c = 1; c < cells.size(); ++c) item->SubItems(static_cast<int32_t>(c), cells[c]);
    return item;
  }
  // The texts of a column (0 = the item's text) from the first row to the last.
  std::vector<std::string> Column(int32_t column) {
    std::vector<std::string> out;
    k.ListItems().ForEach([&](const platform::ListItemRef& item) { out.push_back(item->ColumnText(column)); });
    return out;
  }
  void Click(int32_t columnIndex) { user.ClickHeader(lv, columnIndex); }
  // A click with the log and the sounds cleared first: what this click alone did.
  void FreshClick(int32_t columnIndex) {
    host.log.clear();
    tk.SoundImpl().Clear();
    Click(columnIndex);
  }
  // How many times the sort sound was played.
  int32_t SortSounds() {
    int32_t n = 0;
    for (const auto& r : tk.SoundImpl().Requests()) n += r.resourceId == snd_SORT ? 1 : 0;
    return n;
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

using Texts = std::vector<std::string>;

using test_support::ErrorNumberOf;

}  // namespace tamarind::testing
