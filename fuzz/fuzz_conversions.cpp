// The runtime's conversions of outside text and of arbitrary numbers. The Is... tests and the C...
// conversions agree on what converts; only the runtime's errors come out; a date that converts
// prints and reads back to the same second.

#include <cmath>
#include <cstring>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"

using namespace tamarind;

namespace {

// Runs a conversion; the number of the Error it raised, 0 when it succeeded.
template <class F>
int32_t ErrorOf(F&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.Number();
  }
  return 0;
}

bool OneOf(int32_t n, std::initializer_list<int32_t> allowed) {
  for (int32_t a : allowed)
    if (n == a) return true;
  return false;
}

void Text(std::string_view text) {
  const Variant v{std::string(text)};
  const bool numeric = IsNumeric(v);
  const int32_t dbl = ErrorOf([&] { CDbl(v); });
  fuzz::Require(numeric == (dbl == 0), "IsNumeric agrees with CDbl");
  fuzz::Require(OneOf(dbl, {0, err::TypeMismatch, err::Overflow}), "CDbl raises 13 or 6");
  for (const int32_t e : {ErrorOf([&] { CInt(v); }), ErrorOf([&] { CLng(v); }), ErrorOf([&] { CSng(v); }),
                          ErrorOf([&] { CBool(v); })})
    fuzz::Require(OneOf(e, {0, err::TypeMismatch, err::Overflow}), "number conversions raise 13 or 6");
  if (numeric) {
    const double d = CDbl(v);
    fuzz::Require(std::isfinite(d), "a numeric text is a finite number");
    const int32_t lng = ErrorOf([&] { CLng(v); });
    const double r = RoundHalfEven(d);
    fuzz::Require((lng == 0) == (r >= -2147483648.0 && r <= 2147483647.0), "CLng overflows exactly outside its range");
  }

  const bool date = IsDate(v);
  Date parsed;
  const int32_t cdate = ErrorOf([&] { parsed = CDate(v); });
  fuzz::Require(date == (cdate == 0), "IsDate agrees with CDate");
  fuzz::Require(OneOf(cdate, {0, err::TypeMismatch}), "CDate of text raises 13");
  if (date) {
    const std::string printed = CStr(Variant(parsed));
    const auto back = ParseDate(printed);
    fuzz::Require(back.has_value(), "a printed date reads back");
    fuzz::Require(CStr(Variant(*back)) == printed, "a printed date reads back to the same second");
  }
}

// Any 8 bytes as a Double, a Single and a Date: conversions raise the runtime's errors for values
// out of their range (NaN and infinities among them), never undefined behaviour.
void Number(const uint8_t* bytes) {
  double d;
  std::memcpy(&d, bytes, sizeof d);
  float f;
  std::memcpy(&f, bytes, sizeof f);
  for (const Variant& v : {Variant(d), Variant(f), Variant(Date(d))}) {
    fuzz::Require(OneOf(ErrorOf([&] { CInt(v); }), {0, err::Overflow}), "CInt raises 6");
    fuzz::Require(OneOf(ErrorOf([&] { CLng(v); }), {0, err::Overflow}), "CLng raises 6");
    fuzz::Require(OneOf(ErrorOf([&] { CSng(v); }), {0, err::Overflow}), "CSng raises 6");
    const int32_t cdate = ErrorOf([&] { CDate(v); });
    fuzz::Require(OneOf(cdate, {0, err::Overflow}), "CDate raises 6");
    if (v.Type() == VarType::Date) fuzz::Require(IsDate(v) == (cdate == 0), "IsDate of a Date agrees with CDate");
    if (cdate == 0) fuzz::Require(ErrorOf([&] { CStr(Variant(CDate(v))); }) == 0, "a date that converts prints");
    ErrorOf([&] { CStr(v); });
    ErrorOf([&] { IntDiv(d, static_cast<double>(f)); });
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  Text(fuzz::AsText(data, size));
  if (size >= 8) Number(data);
  return 0;
}
