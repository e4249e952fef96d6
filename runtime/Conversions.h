#pragma once
// The runtime's conversions between kinds. Text is read with one set of en-US rules that the
// Is... tests and the C... conversions share, so a text IsNumeric accepts CDbl converts, and a
// text IsDate accepts CDate converts.
//
// Numbers: optional spaces around; one sign, before or after the digits ("-5", "5-"), or
// parentheses for a negative amount ("(5)"); one currency sign "$" before or after the sign;
// thousands separators "," between digits of the whole part; a decimal point "."; an exponent
// "E" or "e" with optional sign ("1.5E+3"). At least one digit. Nothing else.
// Spaces may separate the sign, "$" and parentheses from the digits ("$ 1,200", "- 5"); the "$"
// may also follow the digits ("5$"). A ","
// is accepted anywhere between two digits of the whole part, not only every three digits, as the
// runtime reads it ("1,2" is 12); ",5", "1,", "1,,2" and a "," after the decimal point are not
// numbers. A value beyond the range of a Double is no number (CDbl: Error 6, Overflow); one too
// small for it is 0.
//
// Dates: optional spaces around; m/d/yyyy, m/d/yy, yyyy-mm-dd, d-Mon-yyyy ("6-Dec-2026"),
// "Month d, yyyy" ("December 6, 2026", "Dec 6, 2026"), each optionally followed by a time;
// or a time alone (day 0). Times: h:mm or h:mm:ss, 24-hour or 12-hour with "AM"/"PM" (any case).
// Two-digit years 00-29 are 2000-2029, 30-99 are 1930-1999. Day and month are checked: 2/30/2026
// is no date (the text is not guessed in another order).
// Details: years of three or four digits are taken as written (1/1/100 is the year 100); month
// names are English, full or three-letter, any case ("6-december-26", "sep 30 2026": the comma is
// optional); minutes and seconds take one or two digits; "12:xx AM" is just after midnight.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/Date.h"
#include "runtime/Variant.h"

namespace tamarind {

// Whole-number rounding with halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double x);

// Text parsing under the rules above; std::nullopt when the text does not convert.
std::optional<double> ParseNumber(std::string_view text);
std::optional<Date> ParseDate(std::string_view text);

// Boolean, Integer, Long, Single, Double, Empty, and strings ParseNumber accepts. A Date value is
// not numeric here, as in the runtime (its IsNumeric is False for a date expression).
bool IsNumeric(const Variant& v);
bool IsDate(const Variant& v);     // Date values within 100-9999 and strings ParseDate accepts

// Conversions. Error 13 when the value does not convert, 6 (Overflow) when it does not fit,
// 94 (Invalid use of Null) for Null. Empty converts to 0, "" or day 0; objects do not convert.
std::string CStr(const Variant& v);
bool CBool(const Variant& v);     // numbers: non-zero is True; text: "True"/"False" (any case) or a number
int16_t CInt(const Variant& v);   // halves to even
int32_t CLng(const Variant& v);   // halves to even
float CSng(const Variant& v);
double CDbl(const Variant& v);
Date CDate(const Variant& v);     // numbers and Date values: Error 6 outside 100-9999; text by ParseDate

// The runtime's integer division a \ b: both operands rounded to whole numbers (halves to even,
// Error 6 outside the 32-bit range), then the quotient truncated toward zero. Error 11 for b = 0.
int32_t IntDiv(double a, double b);

// Text forms of numbers as the runtime prints them: up to 15 significant digits for a Double and
// 7 for a Single, no trailing zeros, "E+15"/"E-05" notation outside 1E-4 .. 1E+15 (Single 1E+7).
std::string FormatDouble(double d);
std::string FormatSingle(float f);

}  // namespace tamarind
