// A list in virtual mode against the same list holding its rows: one SQLite table shown both ways,
// then every operation the host and the user have (header clicks of each type, both filters,
// selections and their queries, copy) must leave the same rows in the same order. Then the cache:
// bounded whatever the rows, a selection that outlives its page, pages that fail.

#include <cstdio>
#include <functional>
#include <map>

#include "platform/database/SqlRowSource.h"
#include "platform/listview/VirtualCache.h"
#include "tests/kestrel/KestrelFixture.h"
#include "tests/records/RecordsFixture.h"

namespace tamarind::testing {
namespace {

using namespace platform;

// Rows with ties in every column, empty cells, letter case and accents, money and dates. The key is
// text that sorts as the rows stand, so that rows tied in a first sort stand alike in both lists
// (the list that holds its rows keeps them in the order before; the engine orders them by key).
std::string OrdersScript(int rows) {
  static const char* const names[] = {"anise", "Basil", "cumin", "Dill", "élan", "Fennel", "anise", "BASIL", "", "zest"};
  static const char* const dates[] = {"2026-03-01", "2025-12-24", "2026-03-01", "", "2024-07-04", "2026-01-15"};
  std::string sql =
      "CREATE TABLE orders(code TEXT PRIMARY KEY, name TEXT, qty INTEGER, price REAL, due DATE, note TEXT);"
      "BEGIN;";
  for (int i = 1; i <= rows; ++i) {
    char row[256];
    const int qty = (i * 7919) % 13 - 3;
    std::snprintf(row, sizeof row, "INSERT INTO orders VALUES('c%04d','%s',%s,%d.25,%s,'%s%d');", i, names[i % 10],
                  i % 11 == 0 ? "NULL" : std::to_string(qty).c_str(), (i * 31) % 17,
                  *dates[i % 6] ? ("'" + std::string(dates[i % 6]) + "'").c_str() : "NULL", i % 3 ? "Lot " : "lot-",
                  i % 5);
    sql += row;
  }
  return sql + "COMMIT;";
}

class VirtualAgainstNormal : public KestrelTest {
 protected:
  static constexpr int kRows = 700;  // a few pages, with a last one part full
  VirtualAgainstNormal() : normal(k), virt(form.Add<Kestrel>("V", 240, 4000, 9000, 3600)) {
    path = MakeDatabase(dir, OrdersScript(kRows));
    virt.Attach(&virtHost);
    for (Kestrel* each : {&normal, &virt}) {
      each->MultiSelect(true);
      each->SmartColumnSort(true);
      each->AutoSort(true);
    }
    Reload();
  }
  ~VirtualAgainstNormal() override { virt.Attach(nullptr); }

  // Both lists afresh: the normal one filled, the virtual one bound, each in the table's order.
  void Reload() {
    for (Kestrel* each : {&normal, &virt}) {
      each->Sorted(false);  // the table's own order
      each->SortKey(0);
    }
    normal.RecordSetFill(database::OpenSqliteRecordset(path, "SELECT * FROM orders ORDER BY code"), "", "0");
    db = database::SqliteDatabase::Open(path, database::SqliteDatabase::Mode::ReadWrite);
    virt.BindRowSource(database::OpenSqliteRowSource(db, {.from = "orders", .keyColumn = "code", .columns = {}, .captions = {}}));
  }
  static Texts Rows(Kestrel& each) {
    Texts out;
    const int32_t columns = each.ColumnHeaders().Count();
    each.ListItems().ForEach([&](const ListItemRef& item) {
      std::string line = item->Key();
      for (int32_t c = 0; c < columns; ++c) line += "|" + item->ColumnText(c);
      out.push_back(line);
    });
    return out;
  }
  void ExpectSameRows(const std::string& after) {
    const Texts a = Rows(normal), b = Rows(virt);
    ASSERT_EQ(a.size(), b.size()) << after;
    for (size_t i = 0; i < a.size(); ++i) ASSERT_EQ(a[i], b[i]) << after << ", row " << i + 1;
  }
  void ClickBoth(int32_t column) {
    user.ClickHeader(normal.ListViewControl(), column);
    user.ClickHeader(virt.ListViewControl(), column);
  }

  TempFolder dir;
  std::string path;
  std::shared_ptr<database::SqliteDatabase> db;
  Kestrel& normal;
  Kestrel& virt;
  RecordingHost virtHost{virt};
};

TEST_F(VirtualAgainstNormal, ShowsTheSameColumnsRowsAndKeys) {
  ASSERT_TRUE(virt.VirtualMode());
  ASSERT_EQ(virt.ListItems().Count(), kRows);
  ASSERT_EQ(virt.ColumnHeaders().Count(), normal.ColumnHeaders().Count());
  for (int32_t c = 1; c <= normal.ColumnHeaders().Count(); ++c)
    EXPECT_EQ(virt.ColumnHeaders().Item(c)->Text(), normal.ColumnHeaders().Item(c)->Text());
  ExpectSameRows("the fill");
  // By key and by index, as the host reaches rows.
  EXPECT_EQ(virt.ListItems().Item("c0123")->Index(), 123);
  EXPECT_EQ(virt.ListItems().Item(kRows)->Key(), "c0700");
}

TEST_F(VirtualAgainstNormal, EachHeaderClickSortsAsTheListThatHoldsItsRows) {
  // Every column once from the table's order, each clicked twice (both directions): text, text
  // with blanks and accents, numbers with empty cells, money, dates with empty cells.
  for (int32_t column = 1; column <= 6; ++column) {
    Reload();
    ClickBoth(column);
    ExpectSameRows("a click on column " + std::to_string(column));
    ClickBoth(column);
    ExpectSameRows("a second click on column " + std::to_string(column));
    EXPECT_EQ(virt.SortOrder(), normal.SortOrder());
    EXPECT_EQ(virt.SortKey(), normal.SortKey());
  }
  // The events a header click raises are the same.
  EXPECT_EQ(virtHost.log.size(), host.log.size());
}

TEST_F(VirtualAgainstNormal, ASeriesOfClicksKeepsEqualRowsInTheOrderTheClicksBeforeLeftThem) {
  // Price (numbers), name and note (text with ties and blanks), the code: each sort stable over
  // the ones before, in the engine as in memory. The columns are those whose type both lists
  // judge alike (no empty cell where the first row decides).
  for (int32_t column : {4, 2, 6, 4, 2, 2, 6, 1}) {
    ClickBoth(column);
    ExpectSameRows("a click on column " + std::to_string(column) + " in the series");
  }
}

TEST_F(VirtualAgainstNormal, FiltersKeepTheSameRowsAndFilterRemoveBringsEveryRowBack) {
  ClickBoth(3);  // ordered by quantity first: filters keep the order
  normal.SmartColumnSort(false);  // the list that holds its rows would sort again by the first column
  virt.SmartColumnSort(false);
  for (Kestrel* each : {&normal, &virt}) each->FilterWild("an?s", 1);
  ExpectSameRows("FilterWild an?s");
  for (Kestrel* each : {&normal, &virt}) each->Filter("Lot 1", 5, true);
  ExpectSameRows("then Filter excluding Lot 1");
  for (Kestrel* each : {&normal, &virt}) each->FilterWild("[!a-c]*", 1);
  EXPECT_EQ(virt.ListItems().Count(), normal.ListItems().Count());
  ExpectSameRows("then a wildcard list");
  EXPECT_EQ(ErrorNumberOf([&] { virt.FilterWild("[a", 1); }), 93);
  EXPECT_EQ(ErrorNumberOf([&] { virt.Filter("x", 9); }), 35600);
  EXPECT_EQ(virt.FilteredListItems, nullptr);

  virt.FilterRemove();
  EXPECT_EQ(virt.ListItems().Count(), kRows);
  // Numbers and blanks: exact means the cell's text.
  Reload();
  for (Kestrel* each : {&normal, &virt}) each->Filter("", 2);
  ExpectSameRows("Filter of empty quantities");
  ASSERT_GT(virt.ListItems().Count(), 0);
}

TEST_F(VirtualAgainstNormal, SelectionsOutliveSortsAndGiveTheSameKeysAndIndexes) {
  for (Kestrel* each : {&normal, &virt})
    for (int32_t i : {3, 130, 131, 699}) each->ListItems().Item(i)->Selected(true);
  EXPECT_EQ(virt.GetSelectedKeys(), normal.GetSelectedKeys());
  ClickBoth(4);  // by price: a column with no empty cell, whose type both lists judge alike
  ExpectSameRows("the sort");
  EXPECT_EQ(virt.GetSelectedKeys(), normal.GetSelectedKeys());
  EXPECT_EQ(virt.GetSelectedIndexes(";"), normal.GetSelectedIndexes(";"));
  ExpectSameRows("the selection queries");
  EXPECT_EQ(virt.SelectedItem()->Key(), normal.SelectedItem()->Key());
  // A filter takes the selection off the rows it takes away, in both, also once they are back.
  for (Kestrel* each : {&normal, &virt}) each->Filter("anise", 1);
  EXPECT_EQ(virt.GetSelectedKeys(), normal.GetSelectedKeys());
  for (Kestrel* each : {&normal, &virt}) each->FilterRemove();
  EXPECT_EQ(virt.GetSelectedKeys(), normal.GetSelectedKeys());
  EXPECT_NE(normal.GetSelectedKeys(), "");
}

TEST_F(VirtualAgainstNormal, CopyAllGivesTheSameText) {
  ClickBoth(5);
  normal.CopyAll();
  const std::string held = tk.GetClipboard().GetText();
  virt.CopyAll();
  EXPECT_EQ(tk.GetClipboard().GetText(), held);
  EXPECT_GT(held.size(), 700u * 10);
}

TEST_F(VirtualAgainstNormal, RowsChangedByOthersShowAfterARefresh) {
  auto other = database::SqliteDatabase::Open(path, database::SqliteDatabase::Mode::ReadWrite);
  ASSERT_EQ(virt.ListItems().Item(1)->SubItems(1), "Basil");
  other->Execute("UPDATE orders SET name = 'Borage' WHERE code = 'c0001'; DELETE FROM orders WHERE code = 'c0002';"
                 "INSERT INTO orders(code, name) VALUES ('c5000', 'new');");
  EXPECT_EQ(virt.ListItems().Item(1)->SubItems(1), "Basil");  // the cached page until refreshed
  virt.RefreshRows();
  EXPECT_EQ(virt.ListItems().Count(), kRows);
  EXPECT_EQ(virt.ListItems().Item(1)->SubItems(1), "Borage");
  EXPECT_EQ(virt.ListItems().Item(2)->Key(), "c0003");
  EXPECT_EQ(virt.ListItems().Item(kRows)->Key(), "c5000");
}

TEST_F(VirtualAgainstNormal, WhatHasNoMeaningForASourceSaysSo) {
  EXPECT_EQ(ErrorNumberOf([&] { virt.ListItems().Add(0, {}, "x"); }), 5);
  EXPECT_EQ(ErrorNumberOf([&] { virt.ListItems().Remove(1); }), 5);
  EXPECT_EQ(ErrorNumberOf([&] { virt.ListItems().Clear(); }), 5);
  virt.SetEditableItemsBold("1");
  ASSERT_FALSE(Messages().empty());
  EXPECT_NE(Messages().back().find("row source"), std::string::npos) << Messages().back();
  // A fill replaces the source, and the list holds rows again.
  virt.RecordSetFill(database::OpenSqliteRecordset(path, "SELECT name FROM orders WHERE code < 'c0004'"));
  EXPECT_FALSE(virt.VirtualMode());
  EXPECT_EQ(virt.ListItems().Count(), 3);
  virt.ListItems().Add(0, {}, "mine");
  EXPECT_EQ(virt.ListItems().Count(), 4);
}

// --- the cache ---------------------------------------------------------------------------------------

// Rows "r1".."rN" made on demand, counting what the list asks for; pages can be made to fail.
class CountedRows : public VirtualRows {
 public:
  explicit CountedRows(int64_t rows) : rows_(rows) {}
  const std::vector<std::string>& Columns() const override { return columns_; }
  std::optional<VirtualOrder> DeclaredOrder(int32_t) const override { return VirtualOrder::Text; }
  int64_t RowCount() override { return rows_; }
  void Fetch(int64_t first, int32_t count, std::vector<Row>& out) override {
    ++fetches;
    if (failing) Raise(err::InvalidProcedureCall, "rows", "server closed the connection unexpectedly");
    out.clear();
    for (int64_t r = first; r < std::min(rows_, first + count); ++r)
      out.push_back(Row{"k" + std::to_string(r + 1), {"r" + std::to_string(r + 1), std::to_string(r % 7)}});
  }
  void Sort(int32_t, VirtualOrder, bool descending, std::string_view) override { reversed = descending; }
  void Unsort() override {}
  void AddFilter(const VirtualFilter&) override {}
  void ClearFilters() override {}
  std::vector<bool> Shown(const std::vector<std::string>& keys) override {
    ++shownAsked;
    return std::vector<bool>(keys.size(), true);
  }
  std::vector<int64_t> Locate(const std::vector<std::string>& keys) override {
    ++locates;
    std::vector<int64_t> out;
    for (const std::string& key : keys) out.push_back(std::stoll(key.substr(1)) - 1);
    return out;
  }
  int fetches = 0, locates = 0, shownAsked = 0;
  bool failing = false, reversed = false;

 private:
  int64_t rows_;
  std::vector<std::string> columns_{"Name", "Group"};
};

class VirtualCacheTest : public KestrelTest {
 protected:
  VirtualCacheTest() {
    k.MultiSelect(true);
    k.BindRowSource(rows);
  }
  std::shared_ptr<CountedRows> rows = std::make_shared<CountedRows>(10'000'000);
};

TEST_F(VirtualCacheTest, ReadingEveryRowKeepsTheCacheBoundedAndFetchesEachPageOnce) {
  auto small = std::make_shared<CountedRows>(20'000);
  k.BindRowSource(small);
  int64_t seen = 0;
  k.ListItems().ForEach([&](const ListItemRef& item) {
    ++seen;
    ASSERT_EQ(item->Text(), "r" + std::to_string(seen));
  });
  EXPECT_EQ(seen, 20'000);
  EXPECT_EQ(small->fetches, (20'000 + VirtualCache::kPageRows - 1) / VirtualCache::kPageRows);
  // Only the rows shown are read from a ten-million-row source.
  EXPECT_EQ(rows->fetches, 0);
  EXPECT_EQ(k.ListItems().Count(), 20'000);
}

TEST_F(VirtualCacheTest, ASelectedRowStaysTheSameItemWhenItsPageLeavesAndComesBack) {
  const ListItemRef picked = k.ListItems().Item(5);
  picked->Selected(true);
  const ListItemRef held = k.ListItems().Item(6);  // held by the host, not selected
  for (int32_t i = 1; i <= 200; ++i) k.ListItems().Item(i * 1000);  // far enough to push page 0 out
  EXPECT_EQ(held->Index(), 0);     // a row that left is a removed item to whoever holds it
  EXPECT_EQ(held->Text(), "r6");   // and stays readable
  EXPECT_EQ(picked->Index(), 5);   // found again through the source
  EXPECT_TRUE(picked->Selected());
  EXPECT_EQ(k.ListItems().Item(5), picked);
  EXPECT_EQ(k.GetSelectedIndexes(), "5");
  EXPECT_EQ(k.GetSelectedKeys(), "k5");
  picked->Selected(false);
  EXPECT_EQ(k.ListItems().Item(5), picked);  // still focused: it stays
  k.ListItems().Item(7)->Selected(true);     // the focus moves on
  for (int32_t i = 1; i <= 200; ++i) k.ListItems().Item(i * 1000);
  EXPECT_EQ(picked->Index(), 0);  // neither selected nor focused, so it left with its page
  EXPECT_EQ(k.GetSelectedKeys(), "k7");
}

TEST_F(VirtualCacheTest, APageThatFailsStandsBlankIsReportedOnceAndComesBackOnRefresh) {
  rows->failing = true;
  EXPECT_EQ(k.ListItems().Item(1)->Text(), "");
  EXPECT_EQ(k.ListItems().Item(300)->Text(), "");
  EXPECT_TRUE(Messages().empty());  // not while the list draws
  tk.Wait(10);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("server closed the connection unexpectedly"), std::string::npos) << Messages()[0];
  rows->failing = false;
  EXPECT_EQ(k.ListItems().Item(1)->Text(), "");  // still the blank page
  k.RefreshRows();
  EXPECT_EQ(k.ListItems().Item(1)->Text(), "r1");
  EXPECT_EQ(k.ListItems().Count(), 10'000'000);
}

TEST_F(VirtualCacheTest, AnExportOfMoreRowsThanASheetHoldsIsRefusedBeforeAnyRowIsRead) {
  TempFolder dir;
  k.ExportToExcel(dir.File("big.xls"), false);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("Cannot paste 10,000,001 rows at row 1: a worksheet has 65,536 rows"), std::string::npos)
      << Messages()[0];
  EXPECT_EQ(rows->fetches, 0);
}

TEST_F(VirtualCacheTest, AClickOnARowFarDownSelectsItAndTheEditorsFindIt) {
  lv.ScrollTo(9'999'990, 0);
  user.ClickCell(lv, 9'999'995, 0);
  const ListItemRef selected = k.SelectedItem();
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(selected->Text(), "r9999995");
  EXPECT_EQ(k.GetSelectedIndexes(), "9999995");
  // Sorting goes to the source and keeps the selection.
  k.PerformSortOnColumn(1, sdt_STRING, lvASC);
  EXPECT_EQ(k.SortOrder(), lvDESC);  // a text sort turns the order over, in the engine too
  EXPECT_TRUE(rows->reversed);
  EXPECT_TRUE(selected->Selected());
  EXPECT_EQ(k.GetSelectedKeys(), "k9999995");
}

}  // namespace
}  // namespace tamarind::testing
