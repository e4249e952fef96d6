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
  // First the values (views of the keys, or the indexes) and the length they make, then the text.
  std::vector<std::string_view> keys;
  std::vector<int32_t> indexes;
  size_t length = 0;
  int32_t index = 0;
  if (s_.lvLIST->Virtual()) {
    // A source's rows are not walked: the selected ones are located in the engine's order.
    const std::vector<ListItemRef> selected = s_.lvLIST->SelectedItems();  // holds what keys view
    for (const ListItemRef& item : selected) {
      if (value == Value::Key) keys.push_back(item->Key());
      else indexes.push_back(item->Index());
    }
    std::string out;
    for (size_t i = 0; i < std::max(keys.size(), indexes.size()); ++i) {
      if (!out.empty()) out += Delim;
      out += value == Value::Key ? std::string(keys[i]) : std::to_string(indexes[i]);
    }
    return out;
  }
  s_.lvLIST->ListItems().ForEach([&](const ListItemRef& item) {
    ++index;
    if (!item->Selected()) return;
    if (value == Value::Key) {
      keys.push_back(item->Key());
      length += item->Key().size() + Delim.size();
    } else {
      indexes.push_back(index);
      length += 11 + Delim.size();  // at most ten digits and a sign
    }
  });

  std::string out;
  out.reserve(length);
  const auto add = [&](std::string_view v) {
    if (!out.empty()) out += Delim;
    out += v;
  };
  if (value == Value::Key) {
    for (std::string_view key : keys) add(key);
  } else {
    char digits[16];
    for (int32_t i : indexes) {
      const auto end = std::to_chars(digits, digits + sizeof digits, i).ptr;
      add(std::string_view(digits, static_cast<size_t>(end - digits)));
    }
  }
  return out;
}

}  // namespace tamarind::dataio
