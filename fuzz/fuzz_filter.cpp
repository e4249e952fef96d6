// Filtering cells a host filled from outside data by a search text a user typed: the wildcard
// pattern's compilation and matching, Filter, FilterWild with and without ExcludeMatch, and
// FilterRemove.
//
// Input: one byte of choices, the search text up to the first line break, then the cells of a
// two-column list, one per line. Whatever the bytes: no crash; a pattern either compiles or is
// Error 93; matching costs at most one step per character of the text and word of each run of the
// pattern (never a backtracking search); a filter keeps exactly the rows its test keeps and parks
// the others; and a restore brings every row back.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/Kestrel.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "runtime/Like.h"
#include "runtime/Text.h"

namespace {

using namespace tamarind;

std::map<std::string, int> Rows(Kestrel& k) {
  std::map<std::string, int> out;
  k.ListItems().ForEach([&](const platform::ListItemRef& it) { ++out[it->Text() + '\n' + it->ColumnText(1)]; });
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t choices = data[0];
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t firstBreak = std::min(input.find('\n'), input.size());
  const std::string search(input.substr(0, firstBreak));
  std::vector<std::string> cells;
  for (size_t start = firstBreak + 1; start <= input.size() && cells.size() < 400;) {
    const size_t end = std::min(input.find('\n', start), input.size());
    cells.emplace_back(input.substr(start, end - start));
    start = end + 1;
  }

  // The matcher alone: the cost bound holds for every cell.
  std::optional<LikePattern> pattern;
  try {
    pattern.emplace(search);
  } catch (const Error& e) {
    if (e.Number() != err::InvalidPatternString) __builtin_trap();
  }
  if (pattern) {
    for (const std::string& cell : cells) {
      uint64_t steps = 0;
      const bool matched = pattern->Matches(cell, steps);
      if (matched != pattern->Matches(cell)) __builtin_trap();
      const uint64_t words = search.size() / 64 + 1;
      if (steps > search.size() + cell.size() * words) __builtin_trap();
    }
  }

  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form(tk, "Fuzz", 9000, 6000);
  Kestrel& k = form.Add<Kestrel>("K", 0, 0, 8000, 5000);
  form.Show();
  k.ColumnHeaders().Add(0, {}, "A");
  k.ColumnHeaders().Add(0, {}, "B");
  for (size_t i = 0; i + 1 < cells.size(); i += 2) k.ListItems().Add(0, {}, cells[i])->SubItems(1, cells[i + 1]);
  k.SmartColumnSort((choices & 1) != 0);
  const auto all = Rows(k);
  const int32_t column = (choices & 2) ? 1 : 0;
  const bool exclude = (choices & 4) != 0;
  const bool wild = (choices & 8) != 0;
  std::optional<LikePattern> wildPattern;
  if (wild) {
    try {
      wildPattern.emplace("*" + text::UCase(search) + "*");
    } catch (const Error&) {
    }
  }

  try {
    if (wild) k.FilterWild(search, column, exclude);
    else k.Filter(search, column, exclude);
    // Every row still shown passes the test; every parked row fails it.
    auto passes = [&](const platform::ListItem& it) {
      const std::string& cell = it.ColumnText(column);
      const bool matches = wild ? wildPattern && wildPattern->Matches(text::UCase(cell)) : cell == search;
      return matches != exclude;
    };
    k.ListItems().ForEach([&](const platform::ListItemRef& it) {
      if (!passes(*it)) __builtin_trap();
    });
    if (k.FilteredListItems)
      for (int32_t i = 1; i <= k.FilteredListItems->Count(); ++i)
        if (passes(*std::dynamic_pointer_cast<platform::ListItem>(k.FilteredListItems->Item(i).AsObject())))
          __builtin_trap();
  } catch (const Error& e) {
    // Without smart sorting only a malformed wildcard list may fail, and only where there was a
    // row to test; with it, the closing sort may also meet a cell that is no number.
    const bool smart = (choices & 1) != 0;
    if (!smart && (!wild || wildPattern || e.Number() != err::InvalidPatternString || k.ListItems().Count() == 0))
      __builtin_trap();
  }
  k.FilterRemove();
  if (Rows(k) != all || k.FilteredListItems) __builtin_trap();
  return 0;
}
