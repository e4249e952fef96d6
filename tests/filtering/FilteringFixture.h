#pragma once
// A Kestrel holding a small order list on a host form of the headless desktop, a person who
// clicks and Ctrl+clicks its rows and headers, and a host that notes the sorting events. The
// suites read what the host and the user see: the rows in order, their keys, the parked rows in
// FilteredListItems, the events, the sounds, the message boxes and the painting lock.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "control/Kestrel.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "runtime/Error.h"
#include "tests/kestrel/KestrelOnAForm.h"

namespace tamarind::testing {

using platform::ColumnHeaderRef;
using platform::ListItemRef;
using Texts = std::vector<std::string>;

class SortEventLog : public KestrelEvents {
 public:
  std::vector<std::string> log;
  void ColumnClick(const ColumnHeaderRef& ColumnHeader) override { log.push_back("ColumnClick " + ColumnHeader->Text()); }
  void BeforeColumnSort(const ColumnHeaderRef& ColumnHeader, SortDataType& SortType, std::string&) override {
    log.push_back("BeforeColumnSort " + ColumnHeader->Text() + " type=" + std::to_string(SortType));
  }
  void ColumnSortComplete() override { log.push_back("ColumnSortComplete"); }
};

// One order: its key, then the cells of the five columns.
struct Order {
  std::string key, id, customer, category, qty, due;
};

class FilteringTest : public KestrelOnAForm<SortEventLog> {
 protected:
  enum Column { kId = 0, kCustomer = 1, kCategory = 2, kQty = 3, kDue = 4 };

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
  void Fill(const std::vector<Order>& orders) {
    for (const Order& o : orders) {
      ListItemRef item = k.ListItems().Add(0, o.key, o.id);
      item->SubItems(kCustomer, o.customer);
      item->SubItems(kCategory, o.category);
      item->SubItems(kQty, o.qty);
      item->SubItems(kDue, o.due);
    }
  }

  // The texts of a column from the first row to the last.
  Texts Column(int32_t column) const {
    Texts out;
    k.ListItems().ForEach([&](const ListItemRef& item) { out.push_back(item->ColumnText(column)); });
    return out;
  }
  Texts Keys() const {
    Texts out;
    k.ListItems().ForEach([&](const ListItemRef& item) { out.push_back(item->Key()); });
    return out;
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
  int32_t SortSounds() {
    int32_t n = 0;
    for (const auto& r : tk.SoundImpl().Requests()) n += r.resourceId == snd_SORT ? 1 : 0;
    return n;
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
