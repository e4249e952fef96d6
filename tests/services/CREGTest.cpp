// CREG (where settings go, what comes back, the default value, deleting values and sections) and
// the column orders kept with it between sessions.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "platform/listview/ListView.h"
#include "platform/registry/Registry.h"
#include "runtime/Error.h"
#include "services/CREG.h"
#include "services/ColumnOrder.h"
#include "tests/runtime/TestSupport.h"
#include "tests/services/StoreFixture.h"

namespace tamarind::services {
namespace {

namespace p = tamarind::platform;

class CREGSettings : public test_support::StoreFixture {
 protected:
  // Whether the settings file holds the text, a key line and its values as written there.
  bool StoreHolds(const std::string& text) const { return StoreBytes().find(text) != std::string::npos; }
  static CREG Planner() {
    CREG reg;
    reg.Company("Acme");
    reg.AppName("Planner");
    return reg;
  }
};

TEST_F(CREGSettings, NamesAreTrimmedEmptyCompanyUsesTheRuntimesOwnKeyAndTextComesBackUnchanged) {
  CREG reg;
  EXPECT_EQ(std::make_tuple(reg.Company(), reg.AppName()), std::make_tuple("Tamarind", "Tamarind"));
  reg.Company("  Acme Tools ");
  EXPECT_EQ(reg.Company(), "Acme Tools");
  reg.Company("   ");
  EXPECT_EQ(reg.Company(), "VB and VBA Program Settings");
  reg.Company("");
  reg.AppName(" Planner  ");
  ASSERT_TRUE(reg.SaveSetting("Columns", "Order", "1,0"));
  EXPECT_TRUE(StoreHolds("[Software\\VB and VBA Program Settings\\Planner\\Columns]\n\"Order\"=sz:\"1,0\"\n"));
  // An empty section is the application's key itself.
  ASSERT_TRUE(reg.SaveSetting("", "Top", "7"));
  EXPECT_TRUE(StoreHolds("[Software\\VB and VBA Program Settings\\Planner]\n\"Top\"=sz:\"7\"\n"));
  // Every text SaveSetting stores comes back from GetSetting exactly, also read by a second object.
  // (Every kind of text in the file itself is the store's own round trip.)
  for (const std::string text : {"  both  ", "two\nlines\r\nand\ttab", "end\n[Software]\ntamarind-registry 1"}) {
    ASSERT_TRUE(Planner().SaveSetting("Texts", "Value", text));
    EXPECT_EQ(Planner().GetSetting("Texts", "Value"), text);
  }
}

// A missing or empty setting gives the default; "*" names the key's default value.
TEST_F(CREGSettings, MissingOrEmptySettingsGiveTheDefaultAndStarNamesTheDefaultValue) {
  CREG reg = Planner();
  EXPECT_EQ(reg.GetSetting("Nowhere", "Value", "fallback"), "fallback");
  ASSERT_TRUE(reg.SaveSetting("Somewhere", "Empty", ""));
  EXPECT_EQ(reg.GetSetting("Somewhere", "Empty", "fallback"), "fallback");
  EXPECT_EQ(reg.GetSetting("Somewhere", "Other", "fallback"), "fallback");
  ASSERT_TRUE(reg.SaveSetting("Section", "*", "unnamed"));
  EXPECT_TRUE(StoreHolds("[Software\\Acme\\Planner\\Section]\n@=sz:\"unnamed\"\n")) << StoreBytes();
  EXPECT_EQ(reg.GetSetting("Section", "*"), "unnamed");
  ASSERT_TRUE(reg.DeleteSetting("Section", "*"));
  EXPECT_EQ(reg.GetSetting("Section", "*", "gone"), "gone");
}

TEST_F(CREGSettings, DeleteSettingRemovesOneValueOrTheWholeSection) {
  CREG reg = Planner();
  ASSERT_TRUE(reg.SaveSetting("Section", "A", "1"));
  ASSERT_TRUE(reg.SaveSetting("Section", "B", "2"));
  ASSERT_TRUE(reg.SaveSetting("Other", "A", "3"));
  EXPECT_TRUE(reg.DeleteSetting("Section", "A"));
  EXPECT_EQ(reg.GetSetting("Section", "A", "gone"), "gone");
  EXPECT_EQ(reg.GetSetting("Section", "B"), "2");
  EXPECT_FALSE(reg.DeleteSetting("Section", "A"));

  EXPECT_TRUE(reg.DeleteSetting("Section"));
  p::HKEY gone{};
  EXPECT_EQ(p::RegOpenKeyEx(p::HKEY_CURRENT_USER, "Software\\Acme\\Planner\\Section", 0, p::KEY_READ, &gone),
            p::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg.GetSetting("Other", "A"), "3");
  EXPECT_FALSE(reg.DeleteSetting("Section"));
  // A section that holds sections of its own stays.
  ASSERT_TRUE(reg.SaveSetting("Other\\Inner", "B", "4"));
  EXPECT_FALSE(reg.DeleteSetting("Other"));
  EXPECT_EQ(reg.GetSetting("Other", "A"), "3");
}

using p::headless::HeadlessToolkit;
using p::headless::HostForm;
using p::headless::UserDriver;
using Order = std::vector<int32_t>;

class ColumnOrderPersistence : public test_support::StoreFixture {
 protected:
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

  HeadlessToolkit tk;
  HostForm form{tk};
  UserDriver user{tk};
  std::shared_ptr<p::ListView> list = NewList(3);
};

TEST_F(ColumnOrderPersistence, SaveThenRestoreReproducesADraggedOrder) {
  auto fourColumns = NewList(4);
  user.DragColumn(*fourColumns, 4, 2);
  user.DragColumn(*fourColumns, 1, 3);
  const Order dragged = fourColumns->ColumnOrder();
  SaveColumnOrder(tk, *fourColumns, "Planner", "Tasks");
  EXPECT_EQ(Orders().GetSetting("Planner", "Tasks"), "3,1,0,2");

  // The next session: a new list with the same columns.
  auto next = NewList(4);
  tk.Windows().ClearHistory();
  RestoreColumnOrder(tk, *next, "Planner", "Tasks");
  EXPECT_EQ(next->ColumnOrder(), dragged);
  // Repainted once, with the background erased.
  const auto& repaints = tk.Windows().InvalidateHistory();
  EXPECT_EQ(std::count_if(repaints.begin(), repaints.end(), [&](auto& i) { return i.hwnd == next->hWnd() && i.erase; }),
            1);
}

TEST_F(ColumnOrderPersistence, OrderThatDoesNotFitIsIgnored) {
  user.DragColumn(*list, 2, 1);
  const Order before = list->ColumnOrder();
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
  // An entry that is no number in an order of the right count reaches the caller.
  Store("Planner", "Tasks", "1,x,2");
  EXPECT_EQ(test_support::ErrorNumberOf([&] { RestoreColumnOrder(tk, *list, "Planner", "Tasks"); }), err::TypeMismatch);
  EXPECT_EQ(list->ColumnOrder(), before);
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
