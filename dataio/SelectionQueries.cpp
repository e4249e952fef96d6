#include "dataio/SelectionQueries.h"

#include <charconv>
#include <vector>

#include "core/PaintingLock.h"
#include "runtime/Error.h"

namespace tamarind::dataio {

using namespace platform;

std::string SelectionQueries::GetSelectedKeys(const std::string& Delim) {
  return Query(Value::Key, Delim, ":Error in GetSelectedKeys.  Error Message: ");
}

std::string SelectionQueries::GetSelectedIndexes(const std::string& Delim) {
  return Query(Value::Index, Delim, ":Error in GetSelectedIndexes.  Error Message: ");
}

std::string SelectionQueries::Query(Value value, const std::string& Delim, std::string_view procedureText) {
  ListView& lv = *s_.lvLIST;
  LockWindowInternal(s_.tk, lv.hWnd());
  try {
    std::string result;
    if (!s_.m_SmartColumnSort) {
      result = Join(value, Delim);
    } else {
      const int16_t k = lv.SortKey();
      const bool sounds = s_.m_PlaySounds;
      // Both are set on the members for the length of the query: the host's settings have not
      // changed, and the form has nothing new to save.
      s_.m_SmartColumnSort = false;
      s_.m_PlaySounds = false;
      // Rows in the list view's own text order of column k, as a list sorted by its text stands.
      if (sort_.DetermineSortType(k) != sdt_STRING) sort_.SortListView(k + 1);
      result = Join(value, Delim);
      s_.m_SmartColumnSort = true;
      if (sort_.DetermineSortType(k) != sdt_STRING) sort_.HeaderClick(lv.ColumnHeaders().Item(k + 1));
      s_.m_PlaySounds = sounds;
    }
    LockWindowInternal(s_.tk, 0);
    return result;
  } catch (const Error& e) {
    LockWindowInternal(s_.tk, 0);
    s_.tk.MsgBox(FormatErrorReport(e, procedureText), vbCritical, "Warning");
    return {};
  }
}

std::string SelectionQueries::Join(Value value, const std::string& Delim) const {
  ListView& lv = *s_.lvLIST;
  // The selected rows in list order with their indexes.
  std::vector<ListItemRef> held;  // a source's rows, kept alive while their keys are read
  std::vector<std::pair<int32_t, ListItem*>> placed;
  if (lv.Virtual()) {
    // A source's rows are not walked: the selected ones are located in the engine's order.
    held = lv.SelectedItems();
    for (const ListItemRef& item : held) placed.emplace_back(item->Index(), item.get());
  } else if (lv.SelectedCount() * 4 < static_cast<size_t>(lv.ListItems().Count())) {
    // A few of many rows: the selected ones are read alone.
    placed = lv.SelectedInListOrder();
  } else {
    placed.reserve(lv.SelectedCount());
    int32_t index = 0;
    lv.ListItems().ForEach([&](const ListItemRef& item) {
      ++index;
      if (item->Selected()) placed.emplace_back(index, item.get());
    });
  }

  std::string out;
  char digits[16];
  constexpr size_t kAhead = 32;  // the rows lie scattered: their keys are asked for ahead
  for (size_t i = 0; i < placed.size(); ++i) {
    if (value == Value::Key && i + kAhead < placed.size()) __builtin_prefetch(&placed[i + kAhead].second->Key());
    const auto& [index, item] = placed[i];
    // An empty first value leaves no trace; an empty value after another leaves an empty place.
    if (!out.empty()) out += Delim;
    if (value == Value::Key) {
      out += item->Key();
    } else {
      const auto end = std::to_chars(digits, digits + sizeof digits, index).ptr;
      out.append(digits, static_cast<size_t>(end - digits));
    }
  }
  return out;
}

}  // namespace tamarind::dataio
