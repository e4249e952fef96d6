#pragma once
// How database values become the runtime's values, shared by every backend so that the same
// table reads the same through SQLite and through ODBC.

#include <cstdint>
#include <optional>
#include <string_view>

#include "runtime/Date.h"
#include "runtime/Variant.h"

namespace tamarind::database {

// What a column's declared type says about its values.
enum class DeclaredKind { Plain, Date, Boolean };

// A declared type naming a date or a time (DATE, DATETIME, TIMESTAMP, TIME, ...) is Date; one
// naming a boolean (BOOL, BOOLEAN) is Boolean; letter case ignored.
DeclaredKind KindOfDeclaredType(std::string_view declaredType);

// A whole number as the runtime holds it: a Long when it fits 32 bits, else a Double while that
// is exact (up to 2^53), else its decimal text, so that no digit is ever lost.
Variant IntegerValue(int64_t v);

// A date and time written as databases write them: "yyyy-mm-dd", optionally followed by a space
// or "T" and "hh:mm", "hh:mm:ss" or "hh:mm:ss.fff", optionally ending in "Z"; or a time alone
// ("hh:mm[:ss[.fff]]", day 0). std::nullopt for anything else, for a field out of range and for
// a date outside the years 100-9999.
std::optional<Date> ParseDateText(std::string_view text);

// A Unix time (seconds since 1970-01-01) or a Julian day number as a Date; std::nullopt outside
// the years 100-9999.
std::optional<Date> DateFromUnixSeconds(double seconds);
std::optional<Date> DateFromJulianDay(double julianDay);

// A decimal number written as text (DECIMAL, NUMERIC): a Double when it has at most 15
// significant digits (so the Double gives the same text back), else the text itself.
Variant DecimalValue(std::string_view text);

}  // namespace tamarind::database
