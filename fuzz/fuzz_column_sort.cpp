// Sorting cells a host filled from outside data: the type detection, the keyed sort's reading and
// conversion of every cell (OmitChar included), the text sort and PerformSortOnColumn.
//
// Input: one byte of choices, then the cells of a two-column list, one per line (item text, then
// the sub-item). Whatever the bytes, the control must neither crash nor lose or duplicate a row,
// and a numeric sort that finishes leaves the column in order of the values it read.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "control/Kestrel.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "runtime/Conversions.h"
#include "runtime/Text.h"
#include "runtime/Utf8.h"

namespace {

using namespace tamarind;

class Host : public KestrelEvents {
 public:
  SortDataType type = sdt_STRING;
  bool answer = false;
  std::string omit;
  void BeforeColumnSort(const ColumnHeaderRef&, SortDataType& SortType, std::string& OmitChar) override {
    if (answer) SortType = type;
    OmitChar = omit;
  }
};

std::multiset<platform::LPARAM> Params(Kestrel& k) {
  std::multiset<platform::LPARAM> out;
  k.ListItems().ForEach([&](const platform::ListItemRef& it) { out.insert(it->ItemParam()); });
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t choices = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<std::string> cells;
  for (size_t start = 0; start <= text.size() && cells.size() < 400;) {
    const size_t end = std::min(text.find('\n', start), text.size());
    cells.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }

  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form(tk, "Fuzz", 9000, 6000);
  Kestrel& k = form.Add<Kestrel>("K", 0, 0, 8000, 5000);
  form.Show();
  Host host;
  host.answer = choices & 1;
  host.type = static_cast<SortDataType>(static_cast<int32_t>((choices >> 1) & 3) - 1);  // -1 .. 2
  static const char* const kOmit[] = {"", "$", "%", ",$", "\xC3\xA9"};
  host.omit = kOmit[((choices >> 3) & 7) % 5];
  k.Attach(&host);
  k.ColumnHeaders().Add(0, {}, "A");
  k.ColumnHeaders().Add(0, {}, "B");
  for (size_t i = 0; i + 1 < cells.size(); i += 2) k.ListItems().Add(0, {}, cells[i])->SubItems(1, cells[i + 1]);
  k.SmartColumnSort(true);
  k.SortArrows((choices & 0x40) != 0);
  const auto rows = Params(k);

  platform::headless::UserDriver user(tk);
  for (int32_t column : {2, 1, 2}) {
    user.ClickHeader(k.ListViewControl(), column);
    if (Params(k) != rows) __builtin_trap();
  }
  const int32_t column = (choices & 0x80) ? 2 : 1;
  try {
    k.PerformSortOnColumn(column, sdt_NUMERIC, lvASC);
    // It finished as a numeric sort: every cell read as a number (or was empty), in ascending order.
    if (!host.answer || host.type == sdt_NUMERIC) {
      double previous = 0;
      bool first = true;
      k.ListItems().ForEach([&](const platform::ListItemRef& it) {
        // As the sort reads a cell: at most 255 characters, up to the first NUL.
        std::string raw = text::Truncate(it->ColumnText(column - 1), 255);
        raw = raw.substr(0, raw.find('\0'));
        std::string cell = raw;
        for (size_t pos = 0; pos < host.omit.size();) {
          const size_t next = utf8::Advance(host.omit, pos, 1);
          cell = text::Replace(cell, host.omit.substr(pos, next - pos), "");
          pos = next;
        }
        const auto value = raw.empty() ? std::optional<double>(0.0) : ParseNumber(cell);
        if (!value || (!first && *value < previous)) __builtin_trap();
        previous = *value;
        first = false;
      });
    }
  } catch (const Error&) {
    // A cell that is no number: the host gets the error, and the rows stay as they were.
  }
  if (Params(k) != rows) __builtin_trap();
  k.Attach(nullptr);
  return 0;
}
