#pragma once
// Seven orders in a Kestrel, a person who clicks and Ctrl+clicks their rows, and what the host reads:
// the rows' keys in order, the parked rows in FilteredListItems, and the painting lock.

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/kestrel/KestrelFixture.h"

namespace tamarind::testing {

class FilteringTest : public KestrelTest {
 protected:
  enum : int32_t { kId = 0, kCustomer = 1, kCategory = 2, kQty = 3, kDue = 4 };

  FilteringTest() {
    for (const char* c : {"Order", "Customer", "Category", "Qty", "Due"}) k.ColumnHeaders().Add(0, {}, c, 1400);
  }

  // Seven orders, in this order.
  void FillOrders() {
    Fill({{"o1", "A-100", "Ana Silva", "Seeds", "12", "11/2/2026"},
          {"o2", "A-101", "Bram de Vries", "Leaves", "4", "11/9/2026"},
          {"o3", "B-200", "chloé novák", "Pods", "7", "11/15/2026"},
          {"o4", "B-201", "Dana Okafor", "Leaves", "30", "11/21/2026"},
          {"o5", "C-300", "Élodie Berg", "Flowers", "2", "12/1/2026"},
          {"o6", "C-301", "ana costa", "Seeds", "100", "10/28/2026"},
          {"o7", "D-400", "Ivan Itō", "Roots", "9", "12/12/2026"}});
  }
  // Rows of a key, then the cells of the five columns.
  void Fill(const std::vector<Texts>& orders) {
    for (const Texts& o : orders) {
      ListItemRef item = k.ListItems().Add(0, o[0], o[1]);
      for (int32_t c = kCustomer; c <= kDue; ++c) item->SubItems(c, o[static_cast<size_t>(c) + 1]);
    }
  }
  // Rows keyed k1, k2, ... whose customers are these texts.
  void FillCustomers(const Texts& customers) {
    for (size_t i = 0; i < customers.size(); ++i)
      Fill({{"k" + std::to_string(i + 1), std::to_string(i + 1), customers[i], "", "", ""}});
  }

  Texts Keys() const {
    return EachRow(k, [](const platform::ListItem& item) { return item.Key(); });
  }
  Texts SortedKeys() const {
    Texts out = Keys();
    std::sort(out.begin(), out.end());
    return out;
  }
  // The keys of the rows in FilteredListItems, in collection order; {"<Nothing>"} when there is none.
  Texts ParkedKeys() const {
    if (!k.FilteredListItems) return {"<Nothing>"};
    Texts out;
    for (int32_t i = 1; i <= k.FilteredListItems->Count(); ++i) {
      auto item = std::dynamic_pointer_cast<platform::ListItem>(k.FilteredListItems->Item(i).AsObject());
      out.push_back(item ? item->Key() : "<not a row>");
    }
    return out;
  }
  // A Ctrl+click on the order column of each row (1-based), with MultiSelect on.
  void CtrlClickRows(const std::vector<int32_t>& rows) {
    k.MultiSelect(true);
    for (int32_t r : rows) user.ClickCell(lv, r, kId, platform::headless::CellPart::Label,
                                  platform::vbLeftButton, platform::vbCtrlMask);
  }
  // True when the list is not locked against painting and its lock was taken and given back.
  bool LockedAndUnlocked() {
    const auto& history = tk.Windows().LockHistory();
    return tk.Windows().LockedWindow() == 0 && !history.empty() && history.front() == lv.hWnd() &&
           history.back() == 0;
  }
};

// The number, description and source of the Error f raises; number 0 when it raises none.
struct Raised {
  int32_t number = 0;
  std::string description, source;
};
inline Raised RaisedBy(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return {e.Number(), e.Description(), e.Source()};
  }
  return {};
}

}  // namespace tamarind::testing
