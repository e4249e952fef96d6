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
  std::string out;
  char digits[16];
  const auto write = [&](int32_t index, const ListItem& item) {
    // An empty first value leaves no trace; an empty value after another leaves an empty place.
    if (!out.empty()) out += Delim;
    if (value == Value::Key) {
      out += item.Key();
    } else {
      const auto end = std::to_chars(digits, digits + sizeof digits, index).ptr;
      out.append(digits, static_cast<size_t>(end - digits));
    }
  };
  if (lv.Virtual()) {
    // A source's rows are not walked: the selected ones are located in the engine's order.
    for (const ListItemRef& item : lv.SelectedItems()) write(item->Index(), *item);
  } else if (lv.SelectedCount() * 4 < static_cast<size_t>(lv.ListItems().Count())) {
    // A few of many rows: the selected ones are read alone. Room for keys of up to eight bytes
    // (or indexes of up to eight digits) is made at once, so that the text seldom moves.
    out.reserve(lv.SelectedCount() * (8 + Delim.size()));
    lv.VisitSelectedInListOrder(write, [&out] { out.clear(); });
  } else {
    int32_t index = 0;
    lv.ListItems().ForEach([&](const ListItemRef& item) {
      ++index;
      if (item->Selected()) write(index, *item);
    });
  }
  return out;
}

}  // namespace tamarind::dataio
