// Virtual-mode row sources over PostgreSQL through ODBC, against the normal mode filled from the
// same query. The server is a throw-away cluster (scripts/pg-cluster.sh): the one a CTest fixture
// started, or one this program starts for itself. Without a server the tests fail under CI and are
// skipped elsewhere.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "platform/database/OdbcDatabase.h"
#include "platform/database/SqlRowSource.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "tests/records/RecordsFixture.h"
#include "tests/records/VirtualRowsFixture.h"

namespace tamarind::testing {
namespace {

using database::OdbcConnection;
using database::OpenOdbcRowSource;
using platform::VirtualFilter;
using platform::VirtualOrder;
using platform::VirtualRows;

// The connection string of the cluster, or why there is none.
class PgServer : public ::testing::Environment {
 public:
  static std::string& Connection() {
    static std::string s;
    return s;
  }
  static std::string& Problem() {
    static std::string s;
    return s;
  }

  void SetUp() override {
    if (std::ifstream shared{TAMARIND_PG_ODBC_FILE};
        shared && std::getline(shared, Connection()) && !Connection().empty())
      return;
    // A folder every user can search, for the server's own user when run as root.
    char pattern[] = "/tmp/tamarind-pg-XXXXXX";
    if (!mkdtemp(pattern)) {
      Problem() = "no temporary folder";
      return;
    }
    std::filesystem::permissions(pattern, std::filesystem::perms::owner_all | std::filesystem::perms::group_exec |
                                              std::filesystem::perms::others_exec);
    own_ = pattern;
    const std::string command = std::string(TAMARIND_PG_SCRIPT) + " start " + own_ + "/cluster 2>&1";
    std::string output;
    if (FILE* p = popen(command.c_str(), "r")) {
      char buffer[512];
      while (fgets(buffer, sizeof buffer, p)) output += buffer;
      if (pclose(p) == 0 && output.rfind("Driver=", 0) == 0) {
        Connection() = output.substr(0, output.find('\n'));
        return;
      }
    }
    Problem() = "the PostgreSQL cluster did not start: " + output;
  }

  void TearDown() override {
    if (own_.empty()) return;
    const std::string command = std::string(TAMARIND_PG_SCRIPT) + " stop " + own_ + "/cluster >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "stopping the PostgreSQL cluster failed\n");
    std::filesystem::remove_all(own_);
  }

 private:
  std::string own_;
};

const auto* const kServer = ::testing::AddGlobalTestEnvironment(new PgServer);

#define REQUIRE_SERVER()                                                        \
  do {                                                                          \
    if (PgServer::Connection().empty()) {                                       \
      const char* ci = std::getenv("CI");                                       \
      if (ci && std::string(ci) == "true") GTEST_FAIL() << PgServer::Problem(); \
      GTEST_SKIP() << PgServer::Problem();                                      \
    }                                                                           \
  } while (false)

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return std::to_string(e.Number()) + " " + e.Description();
  }
  return "no error";
}

class PgRows : public ::testing::Test {
 protected:
  PgRows() : k(desk.Place()) { desk.form.Show(); }
  void SetUp() override {
    REQUIRE_SERVER();
    connection = OdbcConnection::Connect(PgServer::Connection());
    // A temporary table: tests running side by side each have their own.
    connection->Execute(
        "CREATE TEMP TABLE goods (id integer PRIMARY KEY, name text, price float8, qty integer, due date,"
        " amount varchar(20), seen timestamp, big numeric(20,2));"
        "INSERT INTO goods VALUES"
        " (1, 'apple', 2.5, 3, '2026-12-06', '12', '2026-12-06 15:04:05', 12.25),"
        " (2, 'Apple', NULL, 3, NULL, '', NULL, NULL),"
        " (3, 'Äpfel', 0, NULL, '2025-01-31', ' 1e3', '1999-01-01 00:00:00', 123456789012345678.5),"
        " (4, 'banana', -1.25, 0, '1899-12-30', '-4.5', '2026-12-06 10:00:00', -3),"
        " (5, '', 10, -7, '1850-06-01', '3.5', '1970-01-01 00:00:00', 0),"
        " (6, NULL, 1e20, 3, '1999-12-31', '.5', NULL, 7),"
        " (7, 'cherry pie', 0.1, 12, '2026-02-28', '0', '2026-02-28 23:59:59', 2.5),"
        " (8, 'Cherry', 2.5, NULL, NULL, NULL, '2026-12-06 15:04:05', NULL),"
        " (9, 'Été 42', 100, 2, '1970-01-01', '+7', '2000-01-01 12:00:00', 1),"
        " (10, 'a*b', 3, 3, '2000-01-01', '12', NULL, 3),"
        " (11, 'ete', 2.5, 0, '2026-12-06', '5%', '2026-12-06 15:04:05', 2.5);");
    rows = OpenOdbcRowSource(connection, {.from = "goods", .keyColumn = "id"});
    Refill();
  }
  void Refill() { k.RecordSetFill(connection->Query("SELECT * FROM goods ORDER BY id"), "", "0"); }

  Desk desk;
  Kestrel& k;
  std::shared_ptr<OdbcConnection> connection;
  std::shared_ptr<VirtualRows> rows;
};

TEST_F(PgRows, CellsKeysAndDeclaredOrdersAreTheNormalFills) {
  EXPECT_EQ(AllRows(*rows), ListRows(k));
  EXPECT_EQ(rows->RowCount(), 11);
  EXPECT_EQ(rows->Columns(), (Texts{"id", "name", "price", "qty", "due", "amount", "seen", "big"}));
  const std::vector<VirtualOrder> orders{VirtualOrder::Number, VirtualOrder::Text,  VirtualOrder::Number,
                                         VirtualOrder::Number, VirtualOrder::Date,  VirtualOrder::Text,
                                         VirtualOrder::Date,   VirtualOrder::Number};
  for (int32_t c = 0; c < 8; ++c) EXPECT_EQ(rows->DeclaredOrder(c), orders[static_cast<size_t>(c)]) << c;
  const auto query = OpenOdbcRowSource(connection, {.from = "(SELECT id, name || '!' AS shout FROM goods)",
                                                    .keyColumn = "id",
                                                    .columns = {"shout"},
                                                    .captions = {"Loud"}});
  EXPECT_EQ(query->Columns(), Texts{"Loud"});
  EXPECT_EQ(AllRows(*query)[2], (Shown{"'3'", "Äpfel!"}));
}

TEST_F(PgRows, SortsAreTheNormalModesIncludingTiesAndEmptyCells) {
  for (int32_t column : {1, 0, 3, 5})
    for (bool descending : {false, true}) {
      rows->Unsort();
      rows->Sort(column, VirtualOrder::Text, descending, "");
      EXPECT_EQ(AllKeys(*rows), TextSortedKeys(k, column, descending)) << column << (descending ? " desc" : "");
    }
  struct Case {
    int32_t column;
    VirtualOrder as;
    std::string omit;
  };
  for (const Case& c :
       {Case{0, VirtualOrder::Number, ""}, Case{2, VirtualOrder::Number, ""}, Case{3, VirtualOrder::Number, ""},
        Case{7, VirtualOrder::Number, ""}, Case{5, VirtualOrder::Number, "%"}, Case{4, VirtualOrder::Date, ""},
        Case{6, VirtualOrder::Date, ""}})
    for (bool descending : {false, true}) {
      Refill();
      const auto expected = KeySortedKeys(desk, k, c.column, c.as, descending, c.omit);
      rows->Unsort();
      rows->Sort(c.column, c.as, descending, c.omit);
      EXPECT_EQ(AllKeys(*rows), expected) << c.column << (descending ? " desc" : "");
    }
}

TEST_F(PgRows, CellsThatAreNoNumbersFailAsInNormalModeAndOthersSayWhy) {
  rows->Sort(1, VirtualOrder::Text, false, "");
  const auto before = AllKeys(*rows);
  // "5%" is no number while the "%" stays; names and dates are none at all.
  for (int32_t column : {5, 1, 4}) {
    Refill();
    EXPECT_EQ(ErrorNumberOf([&] { KeySortedKeys(desk, k, column, VirtualOrder::Number, false); }), err::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([&] { rows->Sort(column, VirtualOrder::Number, false, ""); }), err::TypeMismatch) << column;
    EXPECT_EQ(AllKeys(*rows), before);
  }
  // A number only the list reads: the server's order would differ, so it is refused, clearly.
  connection->Execute("UPDATE goods SET amount = '$1,200' WHERE id = 2");
  EXPECT_NE(ErrorOf([&] {
              rows->Sort(5, VirtualOrder::Number, false, "%");
            }).find("5 The server cannot order column \"amount\" as the list would: it holds \"$1,200\""),
            std::string::npos);
  EXPECT_EQ(AllKeys(*rows), before);
  // Filtered out, it no longer counts.
  rows->AddFilter({.column = 5, .text = "$1,200", .exclude = true});
  rows->Unsort();
  rows->Sort(5, VirtualOrder::Number, true, "%");
  Refill();
  k.Filter("$1,200", 5, true);
  EXPECT_EQ(AllKeys(*rows), KeySortedKeys(desk, k, 5, VirtualOrder::Number, true, "%"));
}

TEST_F(PgRows, FiltersKeepTheRowsTheListsFiltersKeep) {
  const std::vector<VirtualFilter> filters{{.column = 1, .text = "apple"},
                                           {.column = 1, .text = ""},
                                           {.column = 1, .text = "", .exclude = true},
                                           {.column = 1, .text = "Apple", .exclude = true},
                                           {.column = 3, .text = "3"},
                                           {.column = 5, .text = "12"},
                                           {.column = 1, .text = "APP", .wild = true},
                                           {.column = 1, .text = "p?e", .wild = true},
                                           {.column = 1, .text = "*", .wild = true},
                                           {.column = 1, .text = "[!a-c]", .wild = true, .exclude = true},
                                           {.column = 1, .text = "#", .wild = true},
                                           {.column = 1, .text = "a[*]b", .wild = true},
                                           {.column = 1, .text = "été", .wild = true},
                                           {.column = 1, .text = "[]e", .wild = true},
                                           {.column = 1, .text = "[!]4", .wild = true},
                                           {.column = 0, .text = "1", .wild = true, .exclude = true},
                                           {.column = 5, .text = "[-+.]", .wild = true},
                                           {.column = 1, .text = "\\", .wild = true}};
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
  }
  rows->ClearFilters();
  EXPECT_EQ(ErrorNumberOf([&] { rows->AddFilter({.column = 1, .text = "[z-a]", .wild = true}); }),
            err::InvalidPatternString);
  // A float's text is the list's, not the server's: refused rather than wrong.
  EXPECT_NE(ErrorOf([&] { rows->AddFilter({.column = 2, .text = "2.5"}); }).find("5 The server cannot write"),
            std::string::npos);
  EXPECT_EQ(rows->RowCount(), 11);
}

TEST_F(PgRows, PagesLocateAndRowsChangedByAnotherConnection) {
  const std::string table = "big_" + std::to_string(::getpid());
  connection->Execute("DROP TABLE IF EXISTS " + table + "; CREATE TABLE " + table +
                      " (id integer PRIMARY KEY, grp integer NOT NULL, label text);"
                      "INSERT INTO " +
                      table + " SELECT x, x % 13, 'L' || (x % 97) FROM generate_series(1, 9000) x;");
  const auto big = OpenOdbcRowSource(connection, {.from = table, .keyColumn = "id"});
  big->Sort(1, VirtualOrder::Number, true, "");
  const auto all = AllKeys(*big);
  ASSERT_EQ(all.size(), 9000u);
  auto page = [&](int64_t first, int32_t count) {
    std::vector<VirtualRows::Row> out;
    big->Fetch(first, count, out);
    std::vector<std::string> keys;
    for (const auto& r : out) keys.push_back(r.key);
    return keys;
  };
  for (int64_t first : {int64_t{6000}, int64_t{8990}, int64_t{0}, int64_t{4444}, int64_t{9000}}) {
    const auto to = std::min<int64_t>(first + 30, 9000);
    EXPECT_EQ(page(first, 30), std::vector<std::string>(all.begin() + first, all.begin() + to)) << first;
  }
  const auto at = big->Locate({all[17], all[8999], "'123456'", "abc"});
  EXPECT_EQ(at, (std::vector<int64_t>{17, 8999, -1, -1}));

  // Another connection deletes and inserts between two pages.
  auto seen = page(0, 400);
  const auto other = OdbcConnection::Connect(PgServer::Connection());
  other->Execute("DELETE FROM " + table +
                 " WHERE id IN (12, 389, 701);"
                 "INSERT INTO " +
                 table + " VALUES (9001, 12, 'new'), (0, 12, 'first')");
  const auto next = page(400, 400);
  seen.insert(seen.end(), next.begin(), next.end());
  std::set<std::string> unique(seen.begin(), seen.end());
  EXPECT_EQ(unique.size(), seen.size()) << "a row came twice";
  std::vector<std::string> kept, stayed;
  for (const auto& key : seen)
    if (key != "'389'" && key != "'701'" && key != "'12'" && key != "'9001'" && key != "'0'") kept.push_back(key);
  for (const auto& key : all)
    if (key != "'389'" && key != "'701'" && key != "'12'") stayed.push_back(key);
  EXPECT_EQ(kept, std::vector<std::string>(stayed.begin(), stayed.begin() + static_cast<std::ptrdiff_t>(kept.size())));
  EXPECT_TRUE(unique.count("'9001'"));
  EXPECT_FALSE(unique.count("'0'"));
  EXPECT_EQ(big->RowCount(), 8999);
  connection->Execute("DROP TABLE " + table);
}

TEST_F(PgRows, EngineErrorsAndADroppedConnectionAreErrorsNotCrashes) {
  EXPECT_NE(ErrorOf([&] {
              OpenOdbcRowSource(connection, {.from = "nowhere", .keyColumn = "id"});
            }).find("relation \"nowhere\" does not exist"),
            std::string::npos);
  EXPECT_NE(ErrorOf([&] {
              OpenOdbcRowSource(connection, {.from = "goods", .keyColumn = "ident"});
            }).find("column \"ident\" does not exist"),
            std::string::npos);
  // The source's connection ends mid-scroll.
  std::vector<VirtualRows::Row> page;
  rows->Fetch(0, 3, page);
  const auto pid = CStr(FieldValue(connection->Query("SELECT pg_backend_pid()"), 0));
  OdbcConnection::Connect(PgServer::Connection())->Execute("SELECT pg_terminate_backend(" + pid + ")");
  const std::string first = ErrorOf([&] { rows->Fetch(3, 3, page); });
  EXPECT_EQ(first.rfind("5 ", 0), 0u) << first;
  EXPECT_GT(first.size(), 20u) << first;
  // It stays failing, with the driver's message, and never crashes.
  EXPECT_EQ(ErrorOf([&] { rows->RowCount(); }).rfind("5 ", 0), 0u);
  EXPECT_EQ(ErrorOf([&] {
              rows->Sort(1, VirtualOrder::Text, false, "");
              rows->Fetch(0, 3, page);
            }).rfind("5 ", 0),
            0u);
}

TEST_F(PgRows, SeriesOfSortsAreStableAndShownTellsWhatLocateTells) {
  // Few distinct values per column: most rows tie in any one sort and the sorts before decide.
  connection->Execute(
      "CREATE TEMP TABLE ties (id integer PRIMARY KEY, word text, qty integer, amount varchar(8), due date);"
      "INSERT INTO ties SELECT x, (ARRAY['ab', 'Ab', 'AB', 'b', '', 'Éa', 'ea', NULL, 'b '])[(x * 7) % 9 + 1],"
      " CASE WHEN x % 11 = 0 THEN NULL ELSE (x * 5) % 4 END,"
      " (ARRAY['1', '1.0', '', '2', '0', NULL, '-1'])[(x * 3) % 7 + 1],"
      " (ARRAY[DATE '2026-01-02', DATE '2025-05-05', NULL, DATE '2026-01-02', DATE '1999-12-31'])[x % 5 + 1]"
      " FROM generate_series(1, 240) x;");
  const auto ties = OpenOdbcRowSource(connection, {.from = "ties", .keyColumn = "id"});
  const auto refill = [&] { k.RecordSetFill(connection->Query("SELECT * FROM ties ORDER BY id"), "", "0"); };
  Kestrel& v = desk.Place("V");
  ExpectSeriesOfSortsAgree(k, v, ties, refill,
                           {{1, VirtualOrder::Text},
                            {2, VirtualOrder::Number},
                            {2, VirtualOrder::Text},
                            {3, VirtualOrder::Number},
                            {3, VirtualOrder::Text},
                            {4, VirtualOrder::Date}},
                           40, 7);
  ties->AddFilter({.column = 1, .text = "A", .wild = true});
  const auto all = AllKeys(*ties);
  const std::set<std::string> shown(all.begin(), all.end());
  Texts keys{"'0'", "'241'", "abc", "'1.5'"};
  for (int id = 1; id <= 240; ++id) keys.push_back("'" + std::to_string(id) + "'");
  for (int id = 1; id <= 400; ++id) keys.push_back("'" + std::to_string(id * 3) + "'");  // past one IN list
  const auto is = ties->Shown(keys);
  ASSERT_EQ(is.size(), keys.size());
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(is[i], shown.count(keys[i]) == 1) << keys[i];
  const Texts few{all[3], "'2'", "'999'"};
  const auto at = ties->Locate(few);
  const auto fewShown = ties->Shown(few);
  for (size_t i = 0; i < few.size(); ++i) EXPECT_EQ(fewShown[i], at[i] >= 0) << few[i];
}

}  // namespace
}  // namespace tamarind::testing
