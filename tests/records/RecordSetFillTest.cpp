// Filling a Kestrel from a recordset over a real SQLite database, as a host does.

#include <gtest/gtest.h>

#include "platform/database/SqliteDatabase.h"
#include "tests/kestrel/KestrelFixture.h"
#include "tests/records/RecordsFixture.h"

namespace tamarind::testing {
namespace {

using database::OpenSqliteRecordset;

class RecordSetFill : public ::testing::Test {
 protected:
  RecordSetFill() : k(desk.Place()) { desk.form.Show(); }

  Variant Query(const std::string& sql) { return OpenSqliteRecordset(spices, sql); }

  std::vector<std::string> Captions() {
    std::vector<std::string> out;
    for (const auto& c : k.ColumnHeaders()) out.push_back(c->Text());
    return out;
  }
  // Every cell of row i (1-based), the item's text first.
  std::vector<std::string> Row(int32_t i) {
    const auto& item = k.ListItems().Item(i);
    std::vector<std::string> out{item->Text()};
    for (int32_t j = 1; j < k.ColumnHeaders().Count(); ++j) out.push_back(item->SubItems(j));
    return out;
  }
  std::vector<std::string> Keys() {
    return EachRow(k, [](const platform::ListItem& item) { return item.Key(); });
  }
  std::string Warning() const {
    const auto& boxes = desk.tk.MessageBoxes();
    if (boxes.empty()) return {};
    EXPECT_EQ(boxes.back().title, "Warning");
    EXPECT_EQ(boxes.back().buttons, vbCritical);
    return boxes.back().prompt;
  }

  TempFolder dir;
  const std::string spices =
      MakeDatabase(dir, "CREATE TABLE spices (Id INTEGER, Name TEXT, City TEXT, Price REAL, Due DATE);"
                        "INSERT INTO spices VALUES (17, 'Anise', 'Lyon', 2.5, '2026-12-06'),"
                        " (18, 'Basil', NULL, 3, '2026-12-24'), (19, 'Cumin', 'Fez', 0.75, NULL);");
  Desk desk;
  Kestrel& k;
};

TEST_F(RecordSetFill, EveryFieldInOrderWhenNoColumnsAreNamed) {
  k.ColumnHeaders().Add(0, {}, "Old");
  k.ListItems().Add(0, "old", "stale row");
  const Variant rs = Query("SELECT Id, Name, City, Price, Due FROM spices ORDER BY Id");
  // colNAMES counts only with chosen columns.
  k.RecordSetFill(rs, "", "", "Ignored:Captions");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Id", "Name", "City", "Price", "Due"}));
  ASSERT_EQ(k.ListItems().Count(), 3);
  EXPECT_EQ(Row(1), (std::vector<std::string>{"17", "Anise", "Lyon", "2.5", "12/6/2026"}));
  // Null is an empty cell.
  EXPECT_EQ(Row(2), (std::vector<std::string>{"18", "Basil", "", "3", "12/24/2026"}));
  EXPECT_EQ(Row(3), (std::vector<std::string>{"19", "Cumin", "Fez", "0.75", ""}));
  EXPECT_EQ(Keys(), (std::vector<std::string>{"", "", ""}));
  EXPECT_TRUE(AtEnd(rs));
  EXPECT_TRUE(desk.tk.MessageBoxes().empty());
}

TEST_F(RecordSetFill, ChosenColumnsTakeCaptionsFirstAndFieldNamesAfter) {
  k.RecordSetFill(Query("SELECT Id, Name, City FROM spices ORDER BY Id"), " 2 : 0 :1", "", "Town");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Town", "Id", "Name"}));
  EXPECT_EQ(Row(1), (std::vector<std::string>{"Lyon", "17", "Anise"}));

  // An empty caption leaves its column to the field's name; more captions than columns are unused.
  k.RecordSetFill(Query("SELECT Id, Name, City FROM spices"), "0:1:2", "", "No.::Where:Extra");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"No.", "Name", "Where"}));
}

TEST_F(RecordSetFill, RowKeysJoinTheirFieldsAndWrapNumbers) {
  k.RecordSetFill(Query("SELECT Id, Name FROM spices ORDER BY Id"), "1", "0");
  EXPECT_EQ(Keys(), (std::vector<std::string>{"'17'", "'18'", "'19'"}));
  EXPECT_EQ(k.ListItems().Item("'18'")->Text(), "Basil");

  k.RecordSetFill(Query("SELECT 'A' || Id, Id, Name FROM spices ORDER BY Id"), "2", "0");
  EXPECT_EQ(Keys(), (std::vector<std::string>{"A17", "A18", "A19"}));

  // Joined keys are not numbers; a Null after the first key field adds nothing after its ":".
  k.RecordSetFill(Query("SELECT Id, Name, City FROM spices ORDER BY Id"), "1", "0:2");
  EXPECT_EQ(Keys(), (std::vector<std::string>{"17:Lyon", "18:", "19:Fez"}));
  k.RecordSetFill(Query("SELECT 5, 'x'"), "0", "0:1");
  EXPECT_EQ(Keys(), (std::vector<std::string>{"5:x"}));
}

TEST_F(RecordSetFill, FillsFromTheCurrentRecordAndLeavesTheRecordsetAtItsEnd) {
  const Variant rs = Query("SELECT Name FROM spices ORDER BY Id");
  Call(rs, "MoveNext");
  k.RecordSetFill(rs);
  ASSERT_EQ(k.ListItems().Count(), 2);
  EXPECT_EQ(k.ListItems().Item(1)->Text(), "Basil");
  EXPECT_TRUE(AtEnd(rs));

  // At its end already: the columns and no rows.
  k.RecordSetFill(rs, "", "0");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Name"}));
  EXPECT_EQ(k.ListItems().Count(), 0);
  EXPECT_TRUE(desk.tk.MessageBoxes().empty());
}

// Each entry of the lists is read when the fill comes to it, and each record when it is added: a
// bad one ends the fill there with a warning, and the columns and rows made before it stay.
TEST_F(RecordSetFill, BadEntriesAndRecordsEndTheFillWhereTheyAreMet) {
  const std::string fill = ":Error in FillListViewFromRS.  Error Message: ", mismatch = "13" + fill + "Type mismatch";
  struct Case {
    const char *sql, *columns, *keys, *captions;
    std::string warning;
    std::vector<std::string> headers, keysMade, firstRow;
  };
  const Case cases[] = {
      // A field the recordset does not have; an entry that is no number, also an empty one.
      {"SELECT Id, Name FROM spices", "1:5:0", "", "", "9" + fill + "Subscript out of range", {"Name"}, {}, {}},
      {"SELECT Id, Name FROM spices", "0:Name", "", "", mismatch, {"Id"}, {}, {}},
      {"SELECT Id, Name FROM spices", "1:0:", "", "", mismatch, {"Name", "Id"}, {}, {}},
      // A column with a caption needs its field only for the rows: the first row stops at that cell.
      {"SELECT Id, Name FROM spices ORDER BY Id", "1:x:0", "", "What:Bad:No.", mismatch, {"What", "Bad", "No."}, {""},
       {"Anise", "", ""}},
      // The key's entries are read for the first row, before it is added.
      {"SELECT Id, Name FROM spices", "0", "0:", "", mismatch, {"Id"}, {}, {}},
      // A Null in the first key field; a key met twice.
      {"SELECT City, Name FROM spices ORDER BY Id", "1", "0", "", "94" + fill + "Invalid use of Null", {"Name"}, {"Lyon"},
       {"Anise"}},
      {"SELECT 'k', Name FROM spices ORDER BY Id", "1", "0", "", "35602" + fill + "Key is not unique in collection", {"Name"},
       {"k"}, {"Anise"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.columns) + " / " + c.keys);
    k.RecordSetFill(Query(c.sql), c.columns, c.keys, c.captions);
    EXPECT_EQ(Warning().rfind(c.warning, 0), 0u) << Warning();
    EXPECT_EQ(Captions(), c.headers);
    EXPECT_EQ(Keys(), c.keysMade);
    EXPECT_EQ(c.keysMade.empty() ? std::vector<std::string>{} : Row(1), c.firstRow);
  }
  EXPECT_EQ(desk.tk.MessageBoxes().size(), std::size(cases));
  // Without a record to fill, the key is never built.
  k.RecordSetFill(Query("SELECT Id FROM spices WHERE Id = 0"), "0", "x");
  EXPECT_EQ(desk.tk.MessageBoxes().size(), std::size(cases));

  // Binary data in a shown field, on the second record.
  const std::string db = MakeDatabase(dir, "CREATE TABLE p (n, img BLOB); INSERT INTO p VALUES ('a', 'text'), ('b', x'00');",
                                      "p.db");
  k.RecordSetFill(OpenSqliteRecordset(db, "SELECT n, img FROM p ORDER BY n"));
  EXPECT_EQ(Warning().rfind("13" + fill + "Field \"img\" holds binary data", 0), 0u) << Warning();
  ASSERT_EQ(k.ListItems().Count(), 2);
  EXPECT_EQ(Row(2), (std::vector<std::string>{"b", ""}));
}

TEST_F(RecordSetFill, NothingEmptiesTheListAndWhatIsNoRecordsetIsReported) {
  k.RecordSetFill(Query("SELECT * FROM spices"));
  k.RecordSetFill(Variant::Nothing());
  EXPECT_EQ(k.ColumnHeaders().Count(), 0);
  EXPECT_EQ(k.ListItems().Count(), 0);
  EXPECT_TRUE(desk.tk.MessageBoxes().empty());
  k.RecordSetFill(Variant(std::make_shared<platform::StdFont>()));
  EXPECT_EQ(Warning(), "438:Error in FillListViewFromRS.  Error Message: Object doesn't support this property or method");
  k.RecordSetFill(Variant("not an object"));
  EXPECT_EQ(Warning(), "91:Error in FillListViewFromRS.  Error Message: Object variable or With block variable not set");
}

}  // namespace
}  // namespace tamarind::testing
