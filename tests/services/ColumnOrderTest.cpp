// Keeping a list's column order between sessions: the order text, saving, restoring, and what a
// restore ignores or reports.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "platform/listview/ListView.h"
#include "platform/registry/Registry.h"
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

  // Puts an order text where a save would have put it.
  static void Store(const std::string& appName, const std::string& settingName, const std::string& text) {
    CREG reg;
    reg.Company("TAMARIND");
    reg.AppName("COLUMNORDERS");
    ASSERT_TRUE(reg.SaveSetting(appName, settingName, text));
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

using Order = std::vector<int32_t>;

TEST_F(ColumnOrderPersistence, OrderTextFollowsTheDisplayOrder) {
  EXPECT_EQ(GetColumnOrderText(tk, *list), "0,1,2");
  user.DragColumn(*list, 3, 1);
  EXPECT_EQ(GetColumnOrderText(tk, *list), "2,0,1");
  user.DragColumn(*list, 1, 3);
  EXPECT_EQ(GetColumnOrderText(tk, *list), "2,1,0");
}

TEST_F(ColumnOrderPersistence, SaveStoresTheOrderUnderTheApplicationsKey) {
  user.DragColumn(*list, 3, 1);
  SaveColumnOrder(tk, *list, "Planner", "Main list");
  p::HKEY key{};
  ASSERT_EQ(p::RegOpenKeyEx(p::HKEY_CURRENT_USER, "Software\\TAMARIND\\COLUMNORDERS\\Planner", 0, p::KEY_READ, &key),
            p::ERROR_SUCCESS);
  uint32_t type = 0;
  char text[16] = {};
  uint32_t size = sizeof text;
  EXPECT_EQ(p::RegQueryValueEx(key, "Main list", nullptr, &type, reinterpret_cast<uint8_t*>(text), &size),
            p::ERROR_SUCCESS);
  p::RegCloseKey(key);
  EXPECT_EQ(type, p::REG_SZ);
  EXPECT_EQ(std::string(text), "2,0,1");
}

TEST_F(ColumnOrderPersistence, SaveThenRestoreReproducesADraggedOrder) {
  auto fourColumns = NewList(4);
  user.DragColumn(*fourColumns, 4, 2);
  user.DragColumn(*fourColumns, 1, 3);
  const Order dragged = fourColumns->ColumnOrder();
  ASSERT_NE(dragged, (Order{0, 1, 2, 3}));
  SaveColumnOrder(tk, *fourColumns, "Planner", "Tasks");

  // The next session: a new list with the same columns.
  auto next = NewList(4);
  ASSERT_EQ(next->ColumnOrder(), (Order{0, 1, 2, 3}));
  RestoreColumnOrder(tk, *next, "Planner", "Tasks");
  EXPECT_EQ(next->ColumnOrder(), dragged);
}

TEST_F(ColumnOrderPersistence, RestoreRepaintsTheList) {
  Store("Planner", "Tasks", "1,2,0");
  tk.Windows().ClearHistory();
  EXPECT_TRUE(ApplySavedColumnOrder(tk, *list, "Planner", "Tasks"));
  EXPECT_EQ(list->ColumnOrder(), (Order{1, 2, 0}));
  EXPECT_EQ(EraseInvalidationsOf(*list), 1u);
}

TEST_F(ColumnOrderPersistence, EntriesMayCarrySpaces) {
  Store("Planner", "Tasks", " 2 ,0,  1");
  EXPECT_TRUE(ApplySavedColumnOrder(tk, *list, "Planner", "Tasks"));
  EXPECT_EQ(list->ColumnOrder(), (Order{2, 0, 1}));
}

TEST_F(ColumnOrderPersistence, OrderOfAnotherColumnCountIsIgnored) {
  user.DragColumn(*list, 2, 1);
  const Order before = list->ColumnOrder();
  tk.Windows().ClearHistory();
  for (const char* stored : {"1,0", "1,0,2,3", "0"}) {
    Store("Planner", "Tasks", stored);
    EXPECT_FALSE(ApplySavedColumnOrder(tk, *list, "Planner", "Tasks")) << stored;
    EXPECT_NO_THROW(RestoreColumnOrder(tk, *list, "Planner", "Tasks")) << stored;
    EXPECT_EQ(list->ColumnOrder(), before) << stored;
  }
  EXPECT_EQ(EraseInvalidationsOf(*list), 0u);
}

TEST_F(ColumnOrderPersistence, OrderTheListRefusesLeavesItUnchanged) {
  Store("Planner", "Tasks", "0,0,1");
  EXPECT_FALSE(ApplySavedColumnOrder(tk, *list, "Planner", "Tasks"));
  EXPECT_EQ(list->ColumnOrder(), (Order{0, 1, 2}));
}

TEST_F(ColumnOrderPersistence, MissingSettingLeavesTheOrderAlone) {
  user.DragColumn(*list, 3, 1);
  EXPECT_FALSE(ApplySavedColumnOrder(tk, *list, "Planner", "Never saved"));
  EXPECT_NO_THROW(RestoreColumnOrder(tk, *list, "Nobody", "Never saved"));
  EXPECT_EQ(list->ColumnOrder(), (Order{2, 0, 1}));
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

  Store("Planner", "Tasks", "1,,2");
  EXPECT_THROW(RestoreColumnOrder(tk, *list, "Planner", "Tasks"), Error);
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

TEST_F(ColumnOrderPersistence, CorruptStoreIsIgnoredBySaveAndRestoreAndKept) {
  const std::string corrupt = "tamarind-registry 1\n[Software\\TAMARIND\\COLUMNORDERS\\Planner]\n\"Tasks\"=sz:\"2,0";
  WriteStoreBytes(corrupt);
  user.DragColumn(*list, 2, 1);
  EXPECT_NO_THROW(SaveColumnOrder(tk, *list, "Planner", "Tasks"));
  EXPECT_NO_THROW(RestoreColumnOrder(tk, *list, "Planner", "Tasks"));
  EXPECT_EQ(list->ColumnOrder(), (Order{1, 0, 2}));
  EXPECT_EQ(StoreBytes(), corrupt);
}

}  // namespace
}  // namespace tamarind::services
