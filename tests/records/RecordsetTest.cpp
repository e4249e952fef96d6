// Recordsets over SQLite, opened directly and through the ODBC driver manager (with the SQLite ODBC
// driver behind it): values with their types, moving to the end, and the errors a host meets.

#include <gtest/gtest.h>

#include "platform/database/OdbcDatabase.h"
#include "platform/database/Recordset.h"
#include "runtime/Error.h"
#include "tests/kestrel/KestrelFixture.h"
#include "tests/records/RecordsFixture.h"

namespace tamarind::testing {
namespace {

using namespace database;

constexpr const char* kSpices =
    "CREATE TABLE spices (Id INTEGER, Name VARCHAR(40), Price DOUBLE, Stock NUMERIC(12,2), Due DATE,"
    " Seen TIMESTAMP, Photo BLOB, Notes TEXT);"
    "INSERT INTO spices VALUES (17, 'Anise', 2.5, 12.25, '2026-12-06', '2026-12-06 15:04:05', x'0102', NULL),"
    " (18, 'Basil', NULL, NULL, NULL, NULL, NULL, 'fresh');";

// The same database and queries through either engine: true is through ODBC.
class Recordsets : public ::testing::TestWithParam<bool> {
 protected:
  Recordsets() : source(GetParam() ? MakeOdbcDatabase(kSpices) : MakeDatabase(dir, kSpices)) {}
  Variant Open(const std::string& sql) const {
    return GetParam() ? OpenOdbcRecordset(source, sql) : OpenSqliteRecordset(source, sql);
  }
  TempFolder dir;
  std::string source;
};

TEST_P(Recordsets, ValuesComeThroughWithTheirTypesToTheLastRecord) {
  const Variant rs = Open("SELECT Id, Name, Price, Stock, Due, Seen, Notes FROM spices ORDER BY Id");
  EXPECT_EQ(Get(Get(rs, "Fields"), "Count").AsLong(), 7);
  EXPECT_EQ(FieldName(rs, 1), "Name");
  EXPECT_EQ(FieldValue(rs, 0).Type(), VarType::Long);
  EXPECT_EQ(FieldValue(rs, 0).AsLong(), 17);
  EXPECT_EQ(FieldValue(rs, 1).AsString(), "Anise");
  EXPECT_EQ(FieldValue(rs, 2).AsDouble(), 2.5);
  EXPECT_EQ(FieldValue(rs, 3).AsDouble(), 12.25);
  EXPECT_EQ(FieldValue(rs, 4).AsDate(), Date::FromCalendar(2026, 12, 6));
  EXPECT_EQ(FieldValue(rs, 5).AsDate(), Date::FromCalendar(2026, 12, 6, 15, 4, 5));
  EXPECT_TRUE(FieldValue(rs, 6).IsNull());
  // Names are matched without regard to letter case, as late-bound calls are.
  Call(rs, "movenext");
  ASSERT_FALSE(Get(rs, "eof").AsBoolean());
  for (int i = 2; i <= 5; ++i) EXPECT_TRUE(FieldValue(rs, i).IsNull()) << "field " << i;
  EXPECT_EQ(DefaultValue(Invoke(Get(rs, "FIELDS"), "", CallType::Get, {"notes"})).AsString(), "fresh");
  Call(rs, "MoveNext");
  EXPECT_TRUE(AtEnd(rs));
  EXPECT_EQ(ErrorNumberOf([&] { Call(rs, "MoveNext"); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([&] { FieldValue(rs, 0); }), err::InvalidProcedureCall);
  EXPECT_TRUE(AtEnd(Open("SELECT Id FROM spices WHERE Id > 18")));
}

TEST_P(Recordsets, MissingFieldsMembersAndTablesAndBinaryDataAreClearErrors) {
  const Variant rs = Open("SELECT Id, Photo FROM spices ORDER BY Id");
  for (const Variant& missing : {Variant(2), Variant(-1), Variant("City")})
    EXPECT_EQ(ErrorNumberOf([&] { FieldValue(rs, missing); }), err::SubscriptOutOfRange) << missing.AsString();
  EXPECT_EQ(ErrorNumberOf([&] { Get(rs, "RecordCount"); }), err::ObjectDoesNotSupport);
  EXPECT_EQ(ErrorNumberOf([&] { Let(rs, "EOF", true); }), err::ObjectDoesNotSupport);
  try {
    FieldValue(rs, 1);
    ADD_FAILURE() << "a BLOB was read as a value";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), err::TypeMismatch);
    EXPECT_NE(e.Description().find("\"Photo\" holds binary data"), std::string::npos) << e.Description();
  }
  Call(rs, "MoveNext");
  EXPECT_TRUE(FieldValue(rs, 1).IsNull());
  try {
    Open("SELECT * FROM nowhere");
    ADD_FAILURE() << "a query of a missing table opened";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), err::InvalidProcedureCall);
    EXPECT_NE(e.Description().find("no such table: nowhere"), std::string::npos) << e.Description();
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, Recordsets, ::testing::Bool(),
                         [](const auto& engine) { return engine.param ? "Odbc" : "Sqlite"; });

TEST(SqliteRecordset, WideNumbersFlagsDatesInTheirManyFormsAndEndlessResults) {
  TempFolder dir;
  const std::string db = MakeDatabase(dir,
                                      "CREATE TABLE t (big INTEGER, huge INTEGER, flag BOOLEAN, untyped, at DATETIME,"
                                      " t TIME, unix TIMESTAMP, jd DATE, notadate DATE, plain TEXT);"
                                      "INSERT INTO t VALUES (5000000000, 9007199254740993, 1, 'x', '2026-12-06T15:04:05',"
                                      " '08:30', 0, 2461015.5, 'next Tuesday', '2026-12-06');");
  const Variant rs = OpenSqliteRecordset(db, "SELECT * FROM t");
  // Beyond 32 bits: a Double while exact, else the digits as text, never a rounded number.
  EXPECT_EQ(FieldValue(rs, 0).AsDouble(), 5000000000.0);
  EXPECT_EQ(FieldValue(rs, 1).AsString(), "9007199254740993");
  EXPECT_TRUE(FieldValue(rs, 2).AsBoolean());
  EXPECT_EQ(FieldValue(rs, 3).AsString(), "x");
  EXPECT_EQ(FieldValue(rs, 4).AsDate(), Date::FromCalendar(2026, 12, 6, 15, 4, 5));
  EXPECT_EQ(FieldValue(rs, 5).AsDate().ToString(), "8:30:00 AM");
  EXPECT_EQ(FieldValue(rs, 6).AsDate(), Date::FromCalendar(1970, 1, 1));
  EXPECT_EQ(FieldValue(rs, 7).AsDate(), Date::FromCalendar(2025, 12, 6));
  // A text that is no date keeps its text; a date-like text in a plain column stays text.
  EXPECT_EQ(FieldValue(rs, 8).AsString(), "next Tuesday");
  EXPECT_EQ(FieldValue(rs, 9).AsString(), "2026-12-06");

  // An endless query: only a recordset that steps as it moves can open it.
  const Variant endless = OpenSqliteRecordset(db, "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c)"
                                                  " SELECT x FROM c");
  for (int i = 0; i < 1000; ++i) Call(endless, "MoveNext");
  EXPECT_EQ(FieldValue(endless, 0).AsLong(), 1001);
}

TEST(SqliteRecordset, OpeningFailuresSayWhatWentWrong) {
  TempFolder dir;
  EXPECT_EQ(ErrorNumberOf([&] { OpenSqliteRecordset(dir.File("missing.db"), "SELECT 1"); }), err::FileNotFound);
  const std::string db = MakeDatabase(dir, "CREATE TABLE t (v);");
  std::ofstream(dir.Path() / "junk.db") << std::string(4096, 'j');
  EXPECT_EQ(ErrorNumberOf([&] { OpenSqliteRecordset(dir.File("junk.db"), "SELECT * FROM t"); }), err::InvalidProcedureCall);
  // Read-only: a query cannot change the host's database by accident.
  EXPECT_EQ(ErrorNumberOf([&] { OpenSqliteRecordset(db, "INSERT INTO t VALUES (1) RETURNING v"); }),
            err::InvalidProcedureCall);
}

TEST(OdbcRecordset, LongTextsArriveWholeAndAMissingSourceIsNamed) {
  const std::string dsn = MakeOdbcDatabase(kSpices);
  const auto conn = OdbcConnection::Connect(dsn);
  const std::string longText(20000, 'z');
  conn->Execute("UPDATE spices SET Notes = '" + longText + "' WHERE Id = 17");
  EXPECT_EQ(FieldValue(conn->Query("SELECT Notes FROM spices WHERE Id = 17"), 0).AsString(), longText);
  try {
    OpenOdbcRecordset("DSN=nowhere", "SELECT 1");
    ADD_FAILURE() << "connected to a data source that does not exist";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), err::InvalidProcedureCall);
    EXPECT_NE(e.Description().find("Connecting failed: ["), std::string::npos) << e.Description();
  }
}

}  // namespace
}  // namespace tamarind::testing
