// Virtual-mode row sources over SQLite, against the normal mode: the same table filled into a
// Kestrel and sorted and filtered there must show the same rows, keys and cells in the same order.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <set>
#include <thread>

#include "platform/database/SqlRowSource.h"
#include "runtime/Error.h"
#include "tests/records/RecordsFixture.h"
#include "tests/records/VirtualRowsFixture.h"

namespace tamarind::testing {
namespace {

using database::OpenSqliteRowSource;
using database::SqliteDatabase;
using platform::VirtualFilter;
using platform::VirtualOrder;
using platform::VirtualRows;

// Ties, NULLs, empty texts, letter case and accents, numbers only the list reads ("$1,200",
// "(5)"), a date column holding a text that is no date, and a column without a declared type.
constexpr const char* kGoods =
    "CREATE TABLE goods (id INTEGER PRIMARY KEY, name TEXT, price REAL, qty INTEGER, due DATE, amount TEXT,"
    " flag BOOLEAN, code);"
    "INSERT INTO goods VALUES"
    " (1, 'apple', 2.5, 3, '2026-12-06', '12', 1, 'a1'),"
    " (2, 'Apple', NULL, 3, NULL, '', 0, NULL),"
    " (3, 'Äpfel', 0, NULL, '2025-01-31', '$1,200', NULL, 'x'),"
    " (4, 'banana', -1.25, 0, '2026-12-06 10:00', '(5)', 1, 5),"
    " (5, '', 10, -7, 'not a date', '3.5', 0, 2.5),"
    " (6, NULL, 1e20, 3, '1999-12-31', '7', 1, 'B'),"
    " (7, 'cherry pie', 0.1, 12, '2026-02-28', '0', 0, 'c?'),"
    " (8, 'Cherry', 2.5, NULL, NULL, NULL, NULL, NULL),"
    " (9, 'date 42', 100, 2, '1970-01-01', '-4', 1, '42'),"
    " (10, 'a*b', 3, 3, '2000-01-01', '1e3', 0, '#'),"
    " (11, 'apfel', 2.5, 0, '2026-12-06', '5%', 1, 'apple');";

class SqliteRows : public ::testing::Test {
 protected:
  SqliteRows() : k(desk.Place()) {
    desk.form.Show();
    db = SqliteDatabase::Open(path, SqliteDatabase::Mode::ReadWrite);
    rows = OpenSqliteRowSource(db, {.from = "goods", .keyColumn = "id"});
    Refill();
  }
  // The normal mode's list of the same table, in key order.
  void Refill() { k.RecordSetFill(database::OpenSqliteRecordset(path, "SELECT * FROM goods ORDER BY id"), "", "0"); }

  TempFolder dir;
  const std::string path = MakeDatabase(dir, kGoods);
  Desk desk;
  Kestrel& k;
  std::shared_ptr<SqliteDatabase> db;
  std::shared_ptr<VirtualRows> rows;
};

TEST_F(SqliteRows, CellsKeysCaptionsAndDeclaredOrdersAreTheNormalFills) {
  EXPECT_EQ(AllRows(*rows), ListRows(k));
  EXPECT_EQ(rows->RowCount(), 11);
  EXPECT_EQ(rows->Columns(), (Texts{"id", "name", "price", "qty", "due", "amount", "flag", "code"}));
  const std::vector<std::optional<VirtualOrder>> orders{VirtualOrder::Number, VirtualOrder::Text, VirtualOrder::Number,
                                                        VirtualOrder::Number, VirtualOrder::Date, VirtualOrder::Text,
                                                        VirtualOrder::Text,   std::nullopt};
  for (int32_t c = 0; c < 8; ++c) EXPECT_EQ(rows->DeclaredOrder(c), orders[static_cast<size_t>(c)]) << c;
  EXPECT_EQ(ErrorNumberOf([&] { rows->DeclaredOrder(8); }), err::SubscriptOutOfRange);

  // A query as the source, chosen columns with some captions, a key that is an expression's.
  const auto query =
      OpenSqliteRowSource(db, {.from = "(SELECT id * 10 AS n, name || '!' AS shout, due FROM goods WHERE id < 5)",
                               .keyColumn = "n",
                               .columns = {"due", "shout", "n"},
                               .captions = {"When", ""}});
  EXPECT_EQ(query->Columns(), (Texts{"When", "shout", "n"}));
  EXPECT_EQ(query->DeclaredOrder(1), std::nullopt);
  EXPECT_EQ(query->DeclaredOrder(0), VirtualOrder::Date);
  k.RecordSetFill(database::OpenSqliteRecordset(path,
                                                "SELECT due, name || '!' AS shout, id * 10 AS n FROM goods"
                                                " WHERE id < 5 ORDER BY id"),
                  "", "2");
  EXPECT_EQ(AllRows(*query), ListRows(k));
}

TEST_F(SqliteRows, TextSortsFollowTheListsCollationWithTiesByKey) {
  for (int32_t column : {1, 4, 5, 6, 7})
    for (bool descending : {false, true}) {
      rows->Unsort();
      rows->Sort(column, VirtualOrder::Text, descending, "");
      EXPECT_EQ(AllKeys(*rows), TextSortedKeys(k, column, descending)) << column << (descending ? " desc" : "");
    }
  rows->Unsort();
  EXPECT_EQ(AllKeys(*rows), ListKeys(k));
}

TEST_F(SqliteRows, NumberAndDateSortsReadCellsAsTheKeyedSortDoes) {
  struct Case {
    int32_t column;
    VirtualOrder as;
    std::string omit;
  };
  // price and qty hold NULLs (empty cells, 0); id is ordered by itself; amount needs the list's
  // own number reading; due mixes dates, a date and time, and a text that is no date (0).
  for (const Case& c :
       {Case{0, VirtualOrder::Number, ""}, Case{2, VirtualOrder::Number, ""}, Case{3, VirtualOrder::Number, ""},
        Case{5, VirtualOrder::Number, "%"}, Case{4, VirtualOrder::Date, ""}, Case{5, VirtualOrder::Date, ""},
        Case{1, VirtualOrder::Date, ""}, Case{2, VirtualOrder::Number, "5"}})
    for (bool descending : {false, true}) {
      Refill();
      const auto expected = KeySortedKeys(desk, k, c.column, c.as, descending, c.omit);
      rows->Unsort();
      rows->Sort(c.column, c.as, descending, c.omit);
      EXPECT_EQ(AllKeys(*rows), expected) << c.column << " omit " << c.omit << (descending ? " desc" : "");
    }
}

TEST_F(SqliteRows, ACellThatIsNoNumberFailsTheSortAndKeepsTheOrder) {
  rows->Sort(1, VirtualOrder::Text, true, "");
  const auto before = AllKeys(*rows);
  for (int32_t column : {1, 4, 6}) {
    Refill();
    EXPECT_EQ(ErrorNumberOf([&] { KeySortedKeys(desk, k, column, VirtualOrder::Number, false); }), err::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([&] { rows->Sort(column, VirtualOrder::Number, false, ""); }), err::TypeMismatch) << column;
    EXPECT_EQ(AllKeys(*rows), before);
  }
  // "5%" is no number until the "%" goes; an overflow is Error 6 in both modes.
  EXPECT_EQ(ErrorNumberOf([&] { rows->Sort(5, VirtualOrder::Number, false, ""); }), err::TypeMismatch);
  db->Execute("UPDATE goods SET amount = '1e999' WHERE id = 9");
  Refill();
  EXPECT_EQ(ErrorNumberOf([&] { KeySortedKeys(desk, k, 5, VirtualOrder::Number, false, "%"); }), err::Overflow);
  EXPECT_EQ(ErrorNumberOf([&] { rows->Sort(5, VirtualOrder::Number, false, "%"); }), err::Overflow);
  // Only the rows shown count: without the offending row the sort goes through.
  rows->AddFilter({.column = 5, .text = "1e999", .exclude = true});
  rows->Unsort();
  rows->Sort(5, VirtualOrder::Number, false, "%");
  k.Filter("1e999", 5, true);
  EXPECT_EQ(AllKeys(*rows), KeySortedKeys(desk, k, 5, VirtualOrder::Number, false, "%"));
}

TEST_F(SqliteRows, FiltersKeepTheRowsTheListsFiltersKeep) {
  const std::vector<VirtualFilter> filters{{.column = 1, .text = "apple"},
                                           {.column = 1, .text = ""},
                                           {.column = 1, .text = "", .exclude = true},
                                           {.column = 1, .text = "Apple", .exclude = true},
                                           {.column = 2, .text = "2.5"},
                                           {.column = 4, .text = "12/6/2026"},
                                           {.column = 6, .text = "True"},
                                           {.column = 7, .text = "2.5"},
                                           {.column = 1, .text = "APP", .wild = true},
                                           {.column = 1, .text = "p?e", .wild = true},
                                           {.column = 1, .text = "*", .wild = true},
                                           {.column = 1, .text = "[!a-c]", .wild = true, .exclude = true},
                                           {.column = 1, .text = "#", .wild = true},
                                           {.column = 1, .text = "a[*]b", .wild = true},
                                           {.column = 1, .text = "äp", .wild = true},
                                           {.column = 2, .text = "E+", .wild = true},
                                           {.column = 7, .text = "[?]", .wild = true},
                                           {.column = 4, .text = "2026", .wild = true, .exclude = true}};
  for (const VirtualFilter& f : filters) {
    Refill();
    if (f.wild)
      k.FilterWild(f.text, f.column, f.exclude);
    else
      k.Filter(f.text, f.column, f.exclude);
    rows->ClearFilters();
    rows->AddFilter(f);
    EXPECT_EQ(Sorted(AllKeys(*rows)), Sorted(ListKeys(k)))
        << f.column << " " << f.text << (f.wild ? " wild" : "") << (f.exclude ? " exclude" : "");
    EXPECT_EQ(rows->RowCount(), k.ListItems().Count());
  }
  // Filters add up; a malformed list is Error 93 and adds nothing.
  rows->ClearFilters();
  rows->AddFilter({.column = 1, .text = "p", .wild = true});
  rows->AddFilter({.column = 3, .text = "3"});
  EXPECT_EQ(AllKeys(*rows), (Texts{"'1'", "'2'"}));
  EXPECT_EQ(ErrorNumberOf([&] { rows->AddFilter({.column = 1, .text = "[a", .wild = true}); }),
            err::InvalidPatternString);
  EXPECT_EQ(ErrorNumberOf([&] { k.FilterWild("[a", 1); }), err::InvalidPatternString);
  EXPECT_EQ(AllKeys(*rows), (Texts{"'1'", "'2'"}));
  rows->ClearFilters();
  EXPECT_EQ(rows->RowCount(), 11);
}

// Paging over enough rows that the source maps the order and reads from both ends.
class SqlitePaging : public ::testing::Test {
 protected:
  static constexpr int64_t kRows = 12000;
  SqlitePaging() {
    db = SqliteDatabase::Open(path = MakeDatabase(dir,
                                                  "CREATE TABLE big (id INTEGER PRIMARY KEY, grp INTEGER NOT NULL,"
                                                  " label TEXT, CHECK (grp >= 0));"
                                                  "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c"
                                                  " WHERE x < 12000) INSERT INTO big SELECT x, x % 13,"
                                                  " CASE x % 5 WHEN 0 THEN NULL ELSE 'L' || (x % 97) END FROM c;"),
                              SqliteDatabase::Mode::ReadWrite);
    rows = OpenSqliteRowSource(db, {.from = "big", .keyColumn = "id"});
  }
  std::vector<std::string> Page(int64_t first, int32_t count) {
    std::vector<VirtualRows::Row> page;
    rows->Fetch(first, count, page);
    std::vector<std::string> keys;
    for (const auto& r : page) keys.push_back(r.key);
    return keys;
  }
  TempFolder dir;
  std::string path;
  std::shared_ptr<SqliteDatabase> db;
  std::shared_ptr<VirtualRows> rows;
};

TEST_F(SqlitePaging, PagesAnywhereAreSlicesOfTheWholeOrder) {
  auto check = [&](const std::string& what) {
    const auto all = AllKeys(*rows);
    ASSERT_EQ(static_cast<int64_t>(all.size()), kRows) << what;
    // Scrolling page by page: pages of 97 rows cut runs of equal sort values anywhere.
    std::vector<std::string> scrolled;
    for (int64_t first = 0; first < kRows; first += 97) {
      const auto page = Page(first, 97);
      scrolled.insert(scrolled.end(), page.begin(), page.end());
    }
    EXPECT_EQ(scrolled, all) << what;
    // Jumps: far ones, the last rows, and past the end.
    for (int64_t first : {int64_t{7000}, int64_t{11990}, int64_t{0}, int64_t{5555}, int64_t{11999}, int64_t{3000},
                          int64_t{9000}, kRows, kRows + 5}) {
      const auto page = Page(first, 40);
      const auto from = std::min<int64_t>(first, kRows), to = std::min<int64_t>(first + 40, kRows);
      EXPECT_EQ(page, std::vector<std::string>(all.begin() + from, all.begin() + to)) << what << " at " << first;
    }
  };
  check("key order");
  rows->Sort(1, VirtualOrder::Number, true, "");
  check("grp descending");
  rows->Sort(2, VirtualOrder::Text, false, "");
  check("label");
  rows->Sort(2, VirtualOrder::Number, false, "L");
  check("label as numbers, L omitted");
  rows->AddFilter({.column = 2, .text = "1", .wild = true, .exclude = true});
  const int64_t shown = rows->RowCount();
  EXPECT_LT(shown, kRows);
  EXPECT_EQ(static_cast<int64_t>(AllKeys(*rows).size()), shown);
}

TEST_F(SqlitePaging, RowsOthersInsertAndDeleteBetweenPagesNeitherRepeatNorHideOthers) {
  rows->Sort(1, VirtualOrder::Number, false, "");
  const auto before = AllKeys(*rows);
  auto seen = Page(0, 500);
  // Another connection deletes rows of this page and the next, and inserts rows on both sides of
  // the page boundary (grp 0 holds the first 924 rows).
  const auto other = SqliteDatabase::Open(path, SqliteDatabase::Mode::ReadWrite);
  other->Execute(
      "DELETE FROM big WHERE id IN (13, 26, 6500, 6513);"
      "INSERT INTO big VALUES (20001, 0, 'new'), (20002, 0, 'new'), (5, 0, NULL) ON CONFLICT DO NOTHING;"
      "INSERT INTO big VALUES (0, 0, 'first');");
  for (int64_t first = 500; first < 1500; first += 500) {
    const auto page = Page(first, 500);
    seen.insert(seen.end(), page.begin(), page.end());
  }
  const std::set<std::string> gone{"'13'", "'26'", "'6500'", "'6513'"};
  std::vector<std::string> stayed, kept;
  for (const auto& key : before)
    if (!gone.count(key)) stayed.push_back(key);
  std::set<std::string> unique;
  for (const auto& key : seen) {
    EXPECT_TRUE(unique.insert(key).second) << key << " came twice";
    if (std::find(before.begin(), before.end(), key) != before.end() && !gone.count(key)) kept.push_back(key);
  }
  // Every row that stayed, up to the last one shown, in its order; the row deleted after it was
  // shown ('13') is the only one gone from the pages read before the change.
  const auto last = std::find(stayed.begin(), stayed.end(), kept.back());
  EXPECT_EQ(kept, std::vector<std::string>(stayed.begin(), last + 1));
  EXPECT_TRUE(unique.count("'20001'") && unique.count("'20002'"));
  EXPECT_FALSE(unique.count("'0'")) << "a row inserted before the rows shown appeared among later pages";
  // A refresh sees the rows as they are now.
  EXPECT_EQ(rows->RowCount(), kRows - 4 + 3);
  EXPECT_EQ(AllKeys(*rows).front(), "'0'");
}

TEST_F(SqlitePaging, LocateFindsRowsUnderTheOrderAndFilters) {
  rows->Sort(2, VirtualOrder::Text, true, "");
  rows->AddFilter({.column = 1, .text = "[0-4]", .wild = true});
  const auto all = AllKeys(*rows);
  const Texts keys{all[0],     all[1234], all.back(), "'13'" /* grp 0: kept */, "'5'" /* grp 5: filtered out */,
                   "'999999'", "nothing", "'1.5'"};
  const auto at = rows->Locate(keys);
  ASSERT_EQ(at.size(), keys.size());
  EXPECT_EQ(at[0], 0);
  EXPECT_EQ(at[1], 1234);
  EXPECT_EQ(at[2], static_cast<int64_t>(all.size()) - 1);
  EXPECT_EQ(all[static_cast<size_t>(at[3])], "'13'");
  for (size_t i = 4; i < keys.size(); ++i) EXPECT_EQ(at[i], -1) << keys[i];
}

TEST(SqliteRowSource, EngineErrorsAreRuntimeErrorsAndTheSourceStaysUsable) {
  TempFolder dir;
  const auto db = SqliteDatabase::Open(MakeDatabase(dir, kGoods), SqliteDatabase::Mode::ReadWrite);
  auto messageOf = [](auto&& f) {
    try {
      f();
    } catch (const Error& e) {
      return std::to_string(e.Number()) + " " + e.Description();
    }
    return std::string("no error");
  };
  EXPECT_NE(messageOf([&] {
              OpenSqliteRowSource(db, {.from = "nowhere", .keyColumn = "id"});
            }).find("5 The query does not compile: no such table: nowhere"),
            std::string::npos);
  EXPECT_NE(messageOf([&] {
              OpenSqliteRowSource(db, {.from = "goods", .keyColumn = "id", .columns = {"name", "colour"}});
            }).find("no such column: colour"),
            std::string::npos);
  EXPECT_NE(messageOf([&] {
              OpenSqliteRowSource(db, {.from = "goods", .keyColumn = "ident"});
            }).find("no such column: ident"),
            std::string::npos);
  EXPECT_EQ(ErrorNumberOf([&] { OpenSqliteRowSource(db, {.from = "goods"}); }), err::InvalidProcedureCall);

  const auto rows = OpenSqliteRowSource(db, {.from = "goods", .keyColumn = "id"});
  EXPECT_EQ(ErrorNumberOf([&] { rows->Sort(9, VirtualOrder::Text, false, ""); }), err::SubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { rows->AddFilter({.column = -1, .text = "x"}); }), err::SubscriptOutOfRange);
  // The table goes away under the source, and comes back.
  db->Execute("ALTER TABLE goods RENAME TO kept");
  std::vector<VirtualRows::Row> page;
  EXPECT_NE(messageOf([&] { rows->Fetch(0, 5, page); }).find("no such table: goods"), std::string::npos);
  EXPECT_EQ(ErrorNumberOf([&] { rows->RowCount(); }), err::InvalidProcedureCall);
  db->Execute("ALTER TABLE kept RENAME TO goods");
  rows->Fetch(3, 2, page);
  ASSERT_EQ(page.size(), 2u);
  EXPECT_EQ(page[0].key, "'4'");
  EXPECT_EQ(page[1].texts[1], "");
  // A BLOB has no text: the recordset's own Error 13.
  db->Execute("UPDATE goods SET code = x'00ff' WHERE id = 2");
  EXPECT_EQ(ErrorNumberOf([&] { rows->Fetch(0, 5, page); }), err::TypeMismatch);
  EXPECT_EQ(ErrorNumberOf([&] {
              rows->AddFilter({.column = 7, .text = "x"});
              AllKeys(*rows);
            }),
            err::TypeMismatch);
}

// Few distinct values per column, so that most rows tie in any one sort and the sorts before decide.
constexpr const char* kTies =
    "CREATE TABLE ties (id INTEGER PRIMARY KEY, word TEXT, qty INTEGER, amount TEXT, due DATE);"
    "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 240) INSERT INTO ties SELECT x,"
    " CASE (x * 7) % 9 WHEN 0 THEN 'ab' WHEN 1 THEN 'Ab' WHEN 2 THEN 'AB' WHEN 3 THEN 'b' WHEN 4 THEN ''"
    "   WHEN 5 THEN 'Éa' WHEN 6 THEN 'ea' WHEN 7 THEN NULL ELSE 'b ' END,"
    " CASE WHEN x % 11 = 0 THEN NULL ELSE (x * 5) % 4 END,"
    " CASE (x * 3) % 7 WHEN 0 THEN '1' WHEN 1 THEN '1.0' WHEN 2 THEN '' WHEN 3 THEN '$2' WHEN 4 THEN '0'"
    "   WHEN 5 THEN NULL ELSE '-1' END,"
    " CASE x % 5 WHEN 0 THEN '2026-01-02' WHEN 1 THEN '2025-05-05' WHEN 2 THEN NULL WHEN 3 THEN '2026-01-02 00:00'"
    "   ELSE '1999-12-31' END FROM c;";

class SqliteSeriesOfSorts : public ::testing::Test {
 protected:
  SqliteSeriesOfSorts() : k(desk.Place()), v(desk.Place("V")) {
    desk.form.Show();
    rows = OpenSqliteRowSource(SqliteDatabase::Open(path, SqliteDatabase::Mode::ReadWrite),
                               {.from = "ties", .keyColumn = "id"});
  }
  void Refill() { k.RecordSetFill(database::OpenSqliteRecordset(path, "SELECT * FROM ties ORDER BY id"), "", "0"); }
  TempFolder dir;
  const std::string path = MakeDatabase(dir, kTies);
  Desk desk;
  Kestrel& k;
  Kestrel& v;
  std::shared_ptr<VirtualRows> rows;
};

TEST_F(SqliteSeriesOfSorts, EverySortIsStableAsInTheListThatHoldsItsRows) {
  const std::vector<HeaderSort> sorts{{1, VirtualOrder::Text},   {2, VirtualOrder::Number}, {2, VirtualOrder::Text},
                                      {3, VirtualOrder::Number}, {3, VirtualOrder::Text},   {4, VirtualOrder::Date},
                                      {4, VirtualOrder::Text}};
  ExpectSeriesOfSortsAgree(k, v, rows, [&] { Refill(); }, sorts, 60, 20240611);
}

TEST_F(SqliteSeriesOfSorts, PagesAndPositionsFollowEveryTermInBothDirections) {
  // Bounds of several terms, read from anywhere: the keyset tests against a whole-order reading.
  rows->Sort(4, VirtualOrder::Date, true, "");
  rows->Sort(3, VirtualOrder::Number, false, "");
  rows->Sort(1, VirtualOrder::Text, true, "");
  const auto all = AllKeys(*rows);
  ASSERT_EQ(all.size(), 240u);
  std::vector<std::string> scrolled;
  for (int64_t first = 0; first < 240; first += 7) {
    std::vector<VirtualRows::Row> page;
    rows->Fetch(first, 7, page);
    for (const auto& r : page) scrolled.push_back(r.key);
  }
  EXPECT_EQ(scrolled, all);
  const Texts keys{all[0], all[57], all[58], all[239], all[120]};
  EXPECT_EQ(rows->Locate(keys), (std::vector<int64_t>{0, 57, 58, 239, 120}));
}

TEST_F(SqliteSeriesOfSorts, ClickingOneColumnAgainAndAgainPushesNoEarlierSortOut) {
  // Ten clicks on the quantity after one on the word: the word still decides among equal
  // quantities, as in a list that holds its rows, however often the same column was sorted.
  rows->Sort(1, VirtualOrder::Text, false, "");
  for (int i = 0; i < 10; ++i) rows->Sort(2, VirtualOrder::Number, i % 2 == 1, "");
  const auto clicked = AllKeys(*rows);
  rows->Unsort();
  rows->Sort(1, VirtualOrder::Text, false, "");
  rows->Sort(2, VirtualOrder::Number, true, "");
  EXPECT_EQ(clicked, AllKeys(*rows));
}

TEST_F(SqliteSeriesOfSorts, PastEightTermsTheOldestNoLongerDecides) {
  const std::vector<HeaderSort> series{{0, VirtualOrder::Number}, {1, VirtualOrder::Text}, {2, VirtualOrder::Number},
                                       {2, VirtualOrder::Text},   {3, VirtualOrder::Number}, {3, VirtualOrder::Text},
                                       {4, VirtualOrder::Date},   {4, VirtualOrder::Text},   {0, VirtualOrder::Text}};
  for (const HeaderSort& s : series) rows->Sort(s.column, s.as, false, "");
  const auto afterNine = AllKeys(*rows);
  // The same as the last eight alone, from the source's own order; and a page read from the middle
  // agrees with the whole (the bounds carry eight terms).
  rows->Unsort();
  for (size_t i = 1; i < series.size(); ++i) rows->Sort(series[i].column, series[i].as, false, "");
  EXPECT_EQ(AllKeys(*rows), afterNine);
  std::vector<VirtualRows::Row> page;
  rows->Fetch(100, 5, page);
  ASSERT_EQ(page.size(), 5u);
  EXPECT_EQ(page[0].key, afterNine[100]);
  EXPECT_EQ(page[4].key, afterNine[104]);
}

TEST_F(SqlitePaging, ShownTellsWhatLocateTellsWithoutPositions) {
  rows->Sort(2, VirtualOrder::Text, true, "");
  rows->AddFilter({.column = 1, .text = "[0-4]", .wild = true});
  const auto all = AllKeys(*rows);
  const std::set<std::string> shown(all.begin(), all.end());
  // More keys than one query takes, keys of rows filtered out, of no row, and no key at all.
  Texts keys{"'999999'", "nothing", "'1.5'", "", "'0'", "'-3'"};
  for (int64_t id = 1; id <= kRows; id += 3) keys.push_back("'" + std::to_string(id) + "'");
  keys.push_back("'13'");
  const auto is = rows->Shown(keys);
  ASSERT_EQ(is.size(), keys.size());
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(is[i], shown.count(keys[i]) == 1) << keys[i];
  const Texts few{all[5], "'5'", all.back(), "'123456'"};
  const auto at = rows->Locate(few);
  const auto fewShown = rows->Shown(few);
  for (size_t i = 0; i < few.size(); ++i) EXPECT_EQ(fewShown[i], at[i] >= 0) << few[i];
  // Rows another connection deletes are no longer shown.
  SqliteDatabase::Open(path, SqliteDatabase::Mode::ReadWrite)->Execute("DELETE FROM big WHERE id = 13");
  EXPECT_EQ(rows->Shown({"'13'", "'26'"}), (std::vector<bool>{false, true}));
  EXPECT_TRUE(rows->Shown({}).empty());
}

TEST(SqliteRowSource, ShownFindsKeysTheKeyColumnComparesEqual) {
  // A text key whose collation ignores case reads back otherwise than it was asked for.
  TempFolder dir;
  const auto db = SqliteDatabase::Open(
      MakeDatabase(dir, "CREATE TABLE tags (code TEXT PRIMARY KEY COLLATE NOCASE, n INTEGER);"
                        "INSERT INTO tags VALUES ('Ab', 1), ('cd', 2), ('17', 3), ('x''y', 4);"),
      SqliteDatabase::Mode::ReadWrite);
  const auto rows = OpenSqliteRowSource(db, {.from = "tags", .keyColumn = "code"});
  const Texts keys{"ab", "AB", "cd", "CD ", "'17'", "17", "x'y", "zz"};
  const auto at = rows->Locate(keys);
  const auto is = rows->Shown(keys);
  const std::vector<bool> expected{true, true, true, false, true, true, true, false};
  EXPECT_EQ(is, expected);
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(is[i], at[i] >= 0) << keys[i];
  rows->AddFilter({.column = 1, .text = "1", .exclude = true});
  EXPECT_EQ(rows->Shown({"AB", "cd"}), (std::vector<bool>{false, true}));
}

// A file big enough that the source maps its order on a thread of its own, against the same rows
// in memory, where it has no second connection and maps in one pass of its own.
class SqliteBackgroundMap : public ::testing::Test {
 protected:
  static constexpr const char* kScript =
      "CREATE TABLE big (id INTEGER PRIMARY KEY, qty INTEGER NOT NULL, label TEXT);"
      "CREATE INDEX big_qty ON big (qty);"
      "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 200000)"
      " INSERT INTO big SELECT x, (x * 7919) % 1000, 'L' || (x % 97) FROM c;";
  SqliteBackgroundMap() {
    db = SqliteDatabase::Open(MakeDatabase(dir, kScript), SqliteDatabase::Mode::ReadWrite);
    memory = SqliteDatabase::Open(":memory:", SqliteDatabase::Mode::ReadWrite);
    memory->Execute(kScript);
    rows = OpenSqliteRowSource(db, {.from = "big", .keyColumn = "id"});
    reference = OpenSqliteRowSource(memory, {.from = "big", .keyColumn = "id"});
    // Steps of the engine on each connection: a pass over the order costs some per row.
    sqlite3_progress_handler(db->Handle(), 1000, Step, &fileSteps);
    sqlite3_progress_handler(memory->Handle(), 1000, Step, &memorySteps);
  }
  ~SqliteBackgroundMap() override {
    sqlite3_progress_handler(db->Handle(), 0, nullptr, nullptr);
    sqlite3_progress_handler(memory->Handle(), 0, nullptr, nullptr);
  }
  static int Step(void* count) {
    ++*static_cast<int64_t*>(count);
    return 0;
  }
  static std::vector<std::string> Page(VirtualRows& source, int64_t first, int32_t count) {
    std::vector<VirtualRows::Row> page;
    source.Fetch(first, count, page);
    std::vector<std::string> keys;
    for (const auto& r : page) keys.push_back(r.key + r.texts[1] + r.texts[2]);
    return keys;
  }
  // Far jumps everywhere, against the reference read the same way.
  void ExpectJumpsAgree(const std::string& what) {
    for (int64_t first : {int64_t{150000}, int64_t{3000}, int64_t{199990}, int64_t{100000}, int64_t{50000},
                          int64_t{123456}, int64_t{75001}, int64_t{180000}})
      EXPECT_EQ(Page(*rows, first, 50), Page(*reference, first, 50)) << what << " at " << first;
  }
  TempFolder dir;
  std::shared_ptr<SqliteDatabase> db, memory;
  std::shared_ptr<VirtualRows> rows, reference;
  int64_t fileSteps = 0, memorySteps = 0;
};

TEST_F(SqliteBackgroundMap, FarJumpsRightAfterASortReadTheRowsOfAPassOfOurOwn) {
  for (VirtualRows* source : {rows.get(), reference.get()}) source->Sort(1, VirtualOrder::Number, false, "");
  fileSteps = memorySteps = 0;
  ExpectJumpsAgree("qty");
  // The pass ran on the other connection: this one only sought and read pages.
  EXPECT_LT(fileSteps * 4, memorySteps) << fileSteps << " against " << memorySteps;
  for (VirtualRows* source : {rows.get(), reference.get()}) source->Sort(2, VirtualOrder::Text, true, "");
  ExpectJumpsAgree("label, then qty");
  const Texts keys{"'1'", "'77777'", "'200000'", "'123'"};
  EXPECT_EQ(rows->Locate(keys), reference->Locate(keys));
  for (VirtualRows* source : {rows.get(), reference.get()}) source->Unsort();
  ExpectJumpsAgree("key order");
}

TEST_F(SqliteBackgroundMap, ChangesOfOrderWhileThePassRunsLeaveNoStaleBounds) {
  // Each change lands while the pass of the one before is running (or before it started).
  const std::vector<HeaderSort> series{{2, VirtualOrder::Text}, {1, VirtualOrder::Number}, {2, VirtualOrder::Number},
                                       {1, VirtualOrder::Text}};
  for (size_t i = 0; i < series.size(); ++i) {
    const bool descending = i % 2;
    rows->Sort(series[i].column, series[i].as, descending, i == 2 ? "L" : "");
    reference->Sort(series[i].column, series[i].as, descending, i == 2 ? "L" : "");
    if (i == 1) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ExpectJumpsAgree("four sorts");
  // A filter: the count comes first, then the pass.
  for (VirtualRows* source : {rows.get(), reference.get()}) {
    source->AddFilter({.column = 2, .text = "L1", .wild = true, .exclude = true});
    EXPECT_EQ(source->RowCount(), rows->RowCount());
  }
  std::vector<VirtualRows::Row> page;
  rows->Fetch(120000, 10, page);
  EXPECT_EQ(Page(*rows, 120000, 10), Page(*reference, 120000, 10));
  EXPECT_EQ(Page(*rows, 30000, 10), Page(*reference, 30000, 10));
  for (VirtualRows* source : {rows.get(), reference.get()}) source->ClearFilters();
  ExpectJumpsAgree("filter cleared");
}

TEST_F(SqliteBackgroundMap, ASourceGoesAwayWhileItsPassRuns) {
  for (int i = 0; i < 3; ++i) {
    auto source = OpenSqliteRowSource(db, {.from = "big", .keyColumn = "id"});
    source->Sort(2, VirtualOrder::Text, i % 2, "");
    if (i == 2) std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }  // joined, not left running on a closed connection
  // A table of the main connection alone: the second connection cannot see it, and the source
  // maps the order itself.
  db->Execute("CREATE TEMP TABLE mine AS SELECT * FROM big");
  const auto temp = OpenSqliteRowSource(db, {.from = "mine", .keyColumn = "id"});
  temp->Sort(1, VirtualOrder::Number, true, "");
  reference->Sort(1, VirtualOrder::Number, true, "");
  EXPECT_EQ(Page(*temp, 160000, 20), Page(*reference, 160000, 20));
}

}  // namespace
}  // namespace tamarind::testing
