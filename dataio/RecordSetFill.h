#pragma once
// Filling the list from a database recordset: one column per chosen field, one row per record
// from the recordset's current position to its end, with an optional row key.
//
// The recordset is reached only by its late-bound names (Fields, Fields.Count, Fields(i) with its
// value and Name, EOF, MoveNext), so any object answering them serves: the SQLite and ODBC
// recordsets of platform/database, or a host's own.
//
// The three lists are separated by ":" and each entry is trimmed:
//   cols      field ordinals shown, in column order ("0:2:5"); "" shows every field
//   keycol    field ordinals whose values, joined by ":", make the row key; "" gives no keys
//   colNAMES  captions of the first columns ("Id:Name"); a column without one is titled with its
//             field's Name; used only with cols
// A key that reads as a number is wrapped in apostrophes ("17" is stored as "'17'"), since the
// list refuses numeric keys.

#include <string>

#include "platform/Toolkit.h"
#include "platform/listview/ListView.h"
#include "runtime/Variant.h"

namespace tamarind::dataio {

// Clears the list's rows and columns, then fills them from rs (nothing more for Nothing). Any
// error ends the fill with a "Warning" message box ("<number>:Error in FillListViewFromRS.  Error
// Message: <description>"); the columns and rows added until then stay. Nothing reaches the
// caller. The recordset is left at its end.
void FillListViewFromRS(platform::Toolkit& tk, platform::ListView& lv, const Variant& rs, const std::string& cols,
                        const std::string& keycol, const std::string& colNAMES);

}  // namespace tamarind::dataio
