// Keeping a list's column order between sessions: saving, restoring, and what a restore ignores or
// reports.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "platform/listview/ListView.h"
#include "runtime/Error.h"
#include "services/CREG.h"
#include "services/ColumnOrder.h"
#include "tests/services/StoreFixture.h"

namespace tamarind::services {
namespace {

namespace p = tamarind::platform;
using p::headless::HeadlessToolkit;
using p::headless::HostForm;
using p::headless::UserDriver;
using Order = std::vector<int32_t>;

class ColumnOrderPersistence : public test_support::StoreFixture {
 protected:
  void SetUp() override {
    StoreFixture::SetUp();
    list = NewList(3);
  }

  std::shared_ptr<p::ListView> NewList(int columns) {
    auto l = tk.CreateListView(form);
    l->Move(0, 0, 6000, 3000);
    l->AllowColumnReorder(true);
    for (int i = 1; i <= columns; ++i) l->ColumnHeaders().Add(0, {}, "Column " + std::to_string(i));
    return l;
  }

  // The settings where the orders are kept: Software\TAMARIND\COLUMNORDERS\<application>.
  static CREG Orders() {
    CREG reg;
    reg.Company("TAMARIND");
    reg.AppName("COLUMNORDERS");
    return reg;
  }
  // Puts an order text where a save would have put it.
  static void Store(const std::string& appName, const std::string& settingName, const std::string& text) {
    ASSERT_TRUE(Orders().SaveSetting(appName, settingName, text));
  }

  // Repaints with erase asked for the list since the history was last cleared.
  size_t EraseInvalidationsOf(const p::ListView& l) {
    size_t n = 0;
    for (const auto& inv : tk.Windows().InvalidateHistory())
      if (inv.hwnd == l.hWnd() && inv.erase) ++n;
    return n;
  }

  HeadlessToolkit tk;
  HostForm form{tk};
  UserDriver user{tk};
  std::shared_ptr<p::ListView> list;
};

TEST_F(ColumnOrderPersistence, SaveThenRestoreReproducesADraggedOrder) {
  auto fourColumns = NewList(4);
  user.DragColumn(*fourColumns, 4, 2);
  user.DragColumn(*fourColumns, 1, 3);
  const Order dragged = fourColumns->ColumnOrder();
  ASSERT_NE(dragged, (Order{0, 1, 2, 3}));
  SaveColumnOrder(tk, *fourColumns, "Planner", "Tasks");
  EXPECT_EQ(Orders().GetSetting("Planner", "Tasks"), "3,1,0,2");

  // The next session: a new list with the same columns.
  auto next = NewList(4);
  ASSERT_EQ(next->ColumnOrder(), (Order{0, 1, 2, 3}));
  tk.Windows().ClearHistory();
  RestoreColumnOrder(tk, *next, "Planner", "Tasks");
  EXPECT_EQ(next->ColumnOrder(), dragged);
  EXPECT_EQ(EraseInvalidationsOf(*next), 1u);
}

TEST_F(ColumnOrderPersistence, OrderThatDoesNotFitIsIgnored) {
  user.DragColumn(*list, 2, 1);
  const Order before = list->ColumnOrder();
  tk.Windows().ClearHistory();
  // Another column count, or an order the list view refuses.
  // The count is checked before any entry is read: entries that are no numbers in an order of
  // another count are never reported.
  for (const char* stored : {"1,0", "1,0,2,3", "0,0,1", "x,0", "1,0,2,y"}) {
    Store("Planner", "Tasks", stored);
    EXPECT_FALSE(ApplySavedColumnOrder(tk, *list, "Planner", "Tasks")) << stored;
    EXPECT_NO_THROW(RestoreColumnOrder(tk, *list, "Planner", "Tasks")) << stored;
    EXPECT_EQ(list->ColumnOrder(), before) << stored;
  }
  EXPECT_NO_THROW(RestoreColumnOrder(tk, *list, "Planner", "Never saved"));
  EXPECT_EQ(list->ColumnOrder(), before);
}

TEST_F(ColumnOrderPersistence, MalformedEntryReachesTheCaller) {
  Store("Planner", "Tasks", "1,x,2");
  try {
    RestoreColumnOrder(tk, *list, "Planner", "Tasks");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), err::TypeMismatch);
    EXPECT_EQ(e.Description(), "Type mismatch");
  }
  EXPECT_EQ(list->ColumnOrder(), (Order{0, 1, 2}));
}

TEST_F(ColumnOrderPersistence, EmptyNamesNeverTouchTheStore) {
  user.DragColumn(*list, 3, 1);
  SaveColumnOrder(tk, *list, "Planner", "");
  SaveColumnOrder(tk, *list, "", "Tasks");
  EXPECT_FALSE(StoreExists());

  // A default value and an application key of their own that an unguarded restore would read.
  Store("Planner", "*", "1,2,0");
  Store("", "Tasks", "1,2,0");
  const std::string before = StoreBytes();
  RestoreColumnOrder(tk, *list, "Planner", "");
  RestoreColumnOrder(tk, *list, "", "Tasks");
  EXPECT_EQ(list->ColumnOrder(), (Order{2, 0, 1}));
  SaveColumnOrder(tk, *list, "Planner", "");
  EXPECT_EQ(StoreBytes(), before);
}

}  // namespace
}  // namespace tamarind::services
