#pragma once
// Row sources for the list's virtual mode over database engines: SQLite directly, and PostgreSQL
// through ODBC. The engine sorts and filters; rows are read a page at a time with keyset
// pagination (bounds of (sort value, key) rather than OFFSET), so a jump deep into millions of
// rows costs a few index seeks once the source knows where every 1024th row lies.
//
//   auto rows = database::OpenSqliteRowSource(db, {.from = "orders", .keyColumn = "id"});
//
// Cells and keys read exactly as RecordSetFill shows the same query; sorts and filters give the
// rows the normal mode's sorts and filters give. Every failure is a runtime Error, after which
// the source stays usable.

#include <memory>
#include <string>
#include <vector>

#include "platform/database/OdbcDatabase.h"
#include "platform/database/SqliteDatabase.h"
#include "platform/listview/VirtualRows.h"

namespace tamarind::database {

struct RowSourceDefinition {
  std::string from{};                   // a table name, or a query "(SELECT ...)" used as a derived table
  std::string keyColumn{};              // a column whose values are unique and not null: the row key
  std::vector<std::string> columns{};   // shown columns in order; empty = every column of `from`
  std::vector<std::string> captions{};  // optional captions of the first columns (else the column names)
};

// Registers the source's SQL functions and collation on the connection (tamarind_text,
// tamarind_number, tamarind_date, tamarind_like, COLLATE tamarind_text).
std::shared_ptr<platform::VirtualRows> OpenSqliteRowSource(std::shared_ptr<SqliteDatabase> db, RowSourceDefinition definition);
// PostgreSQL only: Error 5 for another engine. Makes a temporary collation in the session.
std::shared_ptr<platform::VirtualRows> OpenOdbcRowSource(std::shared_ptr<OdbcConnection> connection,
                                                         RowSourceDefinition definition);

}  // namespace tamarind::database
