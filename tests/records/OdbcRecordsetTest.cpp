// Recordsets through the ODBC driver manager, with the SQLite ODBC driver behind it.

#include <gtest/gtest.h>

#include "platform/database/OdbcDatabase.h"
#include "runtime/Error.h"
#include "tests/kestrel/KestrelFixture.h"
#include "tests/records/RecordsFixture.h"

namespace tamarind::testing {
namespace {

using database::OdbcConnection;
using database::OpenOdbcRecordset;

class OdbcRecordset : public ::testing::Test {
 protected:
  OdbcRecordset() {
    dsn = MakeOdbcDatabase(
        "CREATE TABLE spices (Id INTEGER, Name VARCHAR(40), Price DOUBLE, Stock NUMERIC(12,2),"
        " Due DATE, Seen TIMESTAMP, Photo BLOB, Notes TEXT);"
        "INSERT INTO spices VALUES (17, 'Anise', 2.5, 12.25, '2026-12-06', '2026-12-06 15:04:05',"
        " x'0102', NULL), (18, 'Basil', NULL, NULL, NULL, NULL, NULL, 'fresh');");
  }
  std::string dsn;
};

TEST_F(OdbcRecordset, ValuesComeThroughTheDriverWithTheirTypes) {
  const Variant rs = OpenOdbcRecordset(dsn, "SELECT Id, Name, Price, Stock, Due, Seen, Notes FROM spices ORDER BY Id");
  EXPECT_EQ(Get(Get(rs, "Fields"), "Count").AsLong(), 7);
  EXPECT_EQ(FieldName(rs, 1), "Name");
  EXPECT_EQ(FieldValue(rs, 0).AsLong(), 17);
  EXPECT_EQ(FieldValue(rs, 1).AsString(), "Anise");
  EXPECT_EQ(FieldValue(rs, 2).AsDouble(), 2.5);
  EXPECT_EQ(FieldValue(rs, 3).AsDouble(), 12.25);
  EXPECT_EQ(FieldValue(rs, 4).AsDate(), Date::FromCalendar(2026, 12, 6));
  EXPECT_EQ(FieldValue(rs, 5).AsDate(), Date::FromCalendar(2026, 12, 6, 15, 4, 5));
  EXPECT_TRUE(FieldValue(rs, 6).IsNull());
  Call(rs, "MoveNext");
  for (int i = 2; i <= 5; ++i) EXPECT_TRUE(FieldValue(rs, i).IsNull()) << "field " << i;
  EXPECT_EQ(FieldValue(rs, 6).AsString(), "fresh");
  Call(rs, "MoveNext");
  EXPECT_TRUE(AtEnd(rs));
}

TEST_F(OdbcRecordset, LongTextsArriveWhole) {
  const auto conn = OdbcConnection::Connect(dsn);
  const std::string longText(20000, 'z');
  conn->Execute("UPDATE spices SET Notes = '" + longText + "' WHERE Id = 17");
  const Variant rs = conn->Query("SELECT Notes FROM spices WHERE Id = 17");
  EXPECT_EQ(FieldValue(rs, 0).AsString(), longText);
}

TEST_F(OdbcRecordset, BinaryDataAndFailuresAreClearErrors) {
  const Variant rs = OpenOdbcRecordset(dsn, "SELECT Photo FROM spices ORDER BY Id");
  EXPECT_EQ(ErrorNumberOf([&] { FieldValue(rs, 0); }), err::TypeMismatch);
  Call(rs, "MoveNext");
  EXPECT_TRUE(FieldValue(rs, 0).IsNull());

  try {
    OpenOdbcRecordset("DSN=nowhere", "SELECT 1");
    ADD_FAILURE() << "connected to a data source that does not exist";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), err::InvalidProcedureCall);
    EXPECT_NE(e.Description().find("Connecting failed: ["), std::string::npos) << e.Description();
  }
  EXPECT_EQ(ErrorNumberOf([&] { OpenOdbcRecordset(dsn, "SELECT * FROM nowhere"); }), err::InvalidProcedureCall);
}

TEST_F(OdbcRecordset, FillsAKestrelAsTheSqliteRecordsetDoes) {
  Desk desk;
  Kestrel& k = desk.Place();
  desk.form.Show();
  k.RecordSetFill(OpenOdbcRecordset(dsn, "SELECT Id, Name, Due FROM spices ORDER BY Id"), "1:2", "0", "Spice");
  ASSERT_EQ(k.ListItems().Count(), 2);
  EXPECT_EQ(k.ColumnHeaders().Item(1)->Text(), "Spice");
  EXPECT_EQ(k.ColumnHeaders().Item(2)->Text(), "Due");
  EXPECT_EQ(k.ListItems().Item("'17'")->SubItems(1), "12/6/2026");
  EXPECT_EQ(k.ListItems().Item("'18'")->Text(), "Basil");
  EXPECT_EQ(k.ListItems().Item("'18'")->SubItems(1), "");
  EXPECT_TRUE(desk.tk.MessageBoxes().empty());
}

}  // namespace
}  // namespace tamarind::testing
