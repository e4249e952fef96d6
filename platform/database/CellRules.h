#pragma once
// The normal mode's rules for cells, keys, number and date sort values and wildcard tests,
// applied by row sources to values a database hands out.

#include <optional>
#include <string>
#include <string_view>

#include "runtime/Variant.h"

namespace tamarind::database::cells {

// A value as RecordSetFill writes it into a cell: Null is "", text as it is, else CStr.
std::string Text(const Variant& v);
// A row key as RecordSetFill makes it from one key field: CStr (Error 94 for Null), and a key that
// reads as a number wrapped in apostrophes.
std::string Key(const Variant& v);
// The key field's text again from a row key: Key's apostrophes around a number taken off.
std::string KeyFieldText(std::string_view key);

// A cell's sort value as the keyed sort reads it: the first 255 characters up to a NUL; empty is
// 0; then every character of omit dropped. Number: Error 13 (6 for an overflow) for a text that
// is no number. Date: a text that is no date is 0.
double SortNumber(std::string_view cell, std::string_view omit);
double SortDate(std::string_view cell, std::string_view omit);
// Whether dropping omit's characters can change the text of a number as CStr writes it.
bool OmitTouchesNumbers(std::string_view omit);

// The wild filter's pattern for a search text: "*" + UCase(search) + "*".
std::string WildPattern(std::string_view search);

// A Like pattern as a POSIX regular expression (PostgreSQL's), anchored at both ends, matching the
// same texts code point by code point; Error 93 for a malformed list.
std::string LikeToRegex(std::string_view pattern);

}  // namespace tamarind::database::cells
