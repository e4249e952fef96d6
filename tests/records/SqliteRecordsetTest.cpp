// Recordsets over SQLite: values with their types, streaming, and the errors a host meets.

#include <gtest/gtest.h>

#include "platform/database/Recordset.h"
#include "runtime/Error.h"
#include "tests/records/RecordsFixture.h"
#include "tests/kestrel/KestrelFixture.h"

namespace tamarind::testing {
namespace {

using database::OpenSqliteRecordset;

class SqliteRecordset : public ::testing::Test {
 protected:
  TempFolder dir;
};

TEST_F(SqliteRecordset, ValuesComeThroughWithTheirTypes) {
  const std::string db = MakeDatabase(dir,
                                      "CREATE TABLE t (i INTEGER, r REAL, s TEXT, n TEXT, big INTEGER, huge INTEGER,"
                                      " flag BOOLEAN, untyped);"
                                      "INSERT INTO t VALUES (42, 2.5, 'Zimt', NULL, 5000000000, 9007199254740993,"
                                      " 1, 'x');");
  const Variant rs = OpenSqliteRecordset(db, "SELECT * FROM t");
  EXPECT_EQ(Get(Get(rs, "Fields"), "Count").AsLong(), 8);
  EXPECT_EQ(FieldValue(rs, 0).Type(), VarType::Long);
  EXPECT_EQ(FieldValue(rs, 0).AsLong(), 42);
  EXPECT_EQ(FieldValue(rs, 1).AsDouble(), 2.5);
  EXPECT_EQ(FieldValue(rs, 2).AsString(), "Zimt");
  EXPECT_TRUE(FieldValue(rs, 3).IsNull());
  // Beyond 32 bits: a Double while exact, else the digits as text, never a rounded number.
  EXPECT_EQ(FieldValue(rs, 4).AsDouble(), 5000000000.0);
  EXPECT_EQ(FieldValue(rs, 5).AsString(), "9007199254740993");
  EXPECT_TRUE(FieldValue(rs, 6).AsBoolean());
  EXPECT_EQ(FieldValue(rs, 7).AsString(), "x");
  EXPECT_EQ(FieldName(rs, 4), "big");
}

TEST_F(SqliteRecordset, ColumnsDeclaredAsDatesGiveDates) {
  const std::string db = MakeDatabase(dir,
                                      "CREATE TABLE d (day DATE, at DATETIME, t TIME, unix TIMESTAMP, jd DATE,"
                                      " notadate DATE, plain TEXT);"
                                      "INSERT INTO d VALUES ('2026-12-06', '2026-12-06T15:04:05', '08:30', 0,"
                                      " 2461015.5, 'next Tuesday', '2026-12-06');");
  const Variant rs = OpenSqliteRecordset(db, "SELECT * FROM d");
  EXPECT_EQ(FieldValue(rs, 0).AsDate(), Date::FromCalendar(2026, 12, 6));
  EXPECT_EQ(FieldValue(rs, 1).AsDate(), Date::FromCalendar(2026, 12, 6, 15, 4, 5));
  EXPECT_EQ(FieldValue(rs, 2).AsDate().ToString(), "8:30:00 AM");
  EXPECT_EQ(FieldValue(rs, 3).AsDate(), Date::FromCalendar(1970, 1, 1));
  EXPECT_EQ(FieldValue(rs, 4).AsDate(), Date::FromCalendar(2025, 12, 6));
  // A text that is no date keeps its text; a date-like text in a plain column stays text.
  EXPECT_EQ(FieldValue(rs, 5).AsString(), "next Tuesday");
  EXPECT_EQ(FieldValue(rs, 6).AsString(), "2026-12-06");
}

TEST_F(SqliteRecordset, MovesRecordByRecordToItsEnd) {
  const std::string db = MakeDatabase(dir, "CREATE TABLE t (v); INSERT INTO t VALUES (1), (2), (3);");
  const Variant rs = OpenSqliteRecordset(db, "SELECT v FROM t ORDER BY v");
  // Names are matched without regard to letter case, as late-bound calls are.
  for (int32_t expected = 1; expected <= 3; ++expected) {
    ASSERT_FALSE(Get(rs, "eof").AsBoolean());
    EXPECT_EQ(DefaultValue(Invoke(Get(rs, "FIELDS"), "", CallType::Get, {0})).AsLong(), expected);
    Call(rs, "movenext");
  }
  EXPECT_TRUE(AtEnd(rs));
  EXPECT_EQ(ErrorNumberOf([&] { Call(rs, "MoveNext"); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([&] { FieldValue(rs, 0); }), err::InvalidProcedureCall);
  EXPECT_TRUE(AtEnd(OpenSqliteRecordset(db, "SELECT v FROM t WHERE v > 3")));
}

TEST_F(SqliteRecordset, StreamsRowsInsteadOfLoadingTheResult) {
  const std::string db = MakeDatabase(dir, "CREATE TABLE t (v);");
  // An endless query: only a recordset that steps as it moves can open it.
  const Variant rs = OpenSqliteRecordset(db, "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c)"
                                             " SELECT x FROM c");
  for (int i = 0; i < 1000; ++i) Call(rs, "MoveNext");
  EXPECT_EQ(FieldValue(rs, 0).AsLong(), 1001);
}

TEST_F(SqliteRecordset, FieldsByOrdinalOrNameAndTheErrorsOfAMissingOne) {
  const std::string db = MakeDatabase(dir, "CREATE TABLE t (Id, Name); INSERT INTO t VALUES (7, 'Anise');");
  const Variant rs = OpenSqliteRecordset(db, "SELECT * FROM t");
  EXPECT_EQ(FieldValue(rs, "name").AsString(), "Anise");
  EXPECT_EQ(ErrorNumberOf([&] { FieldValue(rs, 2); }), err::SubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { FieldValue(rs, -1); }), err::SubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { FieldValue(rs, "City"); }), err::SubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { Get(rs, "RecordCount"); }), err::ObjectDoesNotSupport);
  EXPECT_EQ(ErrorNumberOf([&] { Let(rs, "EOF", true); }), err::ObjectDoesNotSupport);
}

TEST_F(SqliteRecordset, BinaryDataIsAClearErrorWhenRead) {
  const std::string db = MakeDatabase(dir, "CREATE TABLE t (photo BLOB, n BLOB); INSERT INTO t VALUES (x'00FF', NULL);");
  const Variant rs = OpenSqliteRecordset(db, "SELECT * FROM t");
  try {
    FieldValue(rs, 0);
    ADD_FAILURE() << "a BLOB was read as a value";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), err::TypeMismatch);
    EXPECT_NE(e.Description().find("\"photo\" holds binary data"), std::string::npos) << e.Description();
  }
  EXPECT_TRUE(FieldValue(rs, 1).IsNull());
}

TEST_F(SqliteRecordset, OpeningFailuresSayWhatWentWrong) {
  EXPECT_EQ(ErrorNumberOf([&] { OpenSqliteRecordset((dir / "missing.db").string(), "SELECT 1"); }), err::FileNotFound);
  const std::string db = MakeDatabase(dir, "CREATE TABLE t (v);");
  try {
    OpenSqliteRecordset(db, "SELECT * FROM nowhere");
    ADD_FAILURE() << "a query of a missing table opened";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), err::InvalidProcedureCall);
    EXPECT_NE(e.Description().find("no such table: nowhere"), std::string::npos) << e.Description();
  }
  std::ofstream(dir / "junk.db") << std::string(4096, 'j');
  EXPECT_EQ(ErrorNumberOf([&] { OpenSqliteRecordset((dir / "junk.db").string(), "SELECT * FROM t"); }), err::InvalidProcedureCall);
  // Read-only: a query cannot change the host's database by accident.
  EXPECT_EQ(ErrorNumberOf([&] { OpenSqliteRecordset(db, "INSERT INTO t VALUES (1) RETURNING v"); }),
            err::InvalidProcedureCall);
}

}  // namespace
}  // namespace tamarind::testing
