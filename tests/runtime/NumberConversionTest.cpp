#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind {
namespace {

using test_support::ErrorNumberOf;

struct NumberCase {
  const char* text;
  std::optional<double> value;
};

// Every text is checked three ways: ParseNumber, IsNumeric and CDbl must agree.
void ExpectNumberText(const std::vector<NumberCase>& cases) {
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(std::string("text \"") + c.text + "\"");
    const std::optional<double> parsed = ParseNumber(c.text);
    EXPECT_EQ(parsed.has_value(), c.value.has_value());
    EXPECT_EQ(IsNumeric(Variant(c.text)), c.value.has_value());
    if (c.value) {
      EXPECT_DOUBLE_EQ(parsed.value_or(NAN), *c.value);
      EXPECT_DOUBLE_EQ(CDbl(Variant(c.text)), *c.value);
    } else {
      EXPECT_EQ(ErrorNumberOf([&] { CDbl(Variant(c.text)); }), err::TypeMismatch);
    }
  }
}

TEST(NumberText, AcceptedForms) {
  ExpectNumberText({
      {"  42  ", 42},  {"+5", 5},       {"5-", -5},           {"- 5", -5},        {".5", 0.5},
      {"5.", 5},       {"1.5E+3", 1500}, {"-1.5e-3", -0.0015}, {"$ 1,200", 1200},  {"-$5", -5},
      {"5$", 5},       {"($5.50)", -5.5}, {"( 5 )", -5},       {"12,345.6", 12345.6},
      {"1,2", 12},  // separators are accepted anywhere between two digits of the whole part
  });
}

TEST(NumberText, EverythingElseIsRejected) {
  ExpectNumberText({
      {"", std::nullopt},     {"abc", std::nullopt},  {".", std::nullopt},     {"$", std::nullopt},
      {",5", std::nullopt},   {"1,,2", std::nullopt}, {"1,", std::nullopt},    {"1.2,3", std::nullopt},
      {"1.2.3", std::nullopt}, {"--5", std::nullopt}, {"-5-", std::nullopt},   {"(-5)", std::nullopt},
      {"(5", std::nullopt},   {"$$5", std::nullopt},  {"1e+", std::nullopt},   {"1 2", std::nullopt},
      {"0x10", std::nullopt}, {"\t5", std::nullopt},
  });
}

TEST(NumberText, ValuesBeyondADoubleOverflowAndTinyOnesBecomeZero) {
  EXPECT_FALSE(IsNumeric(Variant("1E400")));
  EXPECT_EQ(ErrorNumberOf([] { CDbl(Variant("1E400")); }), err::Overflow);
  EXPECT_EQ(ParseNumber("1E-400"), 0.0);
  EXPECT_EQ(ParseNumber("1.7976931348623157E308"), std::numeric_limits<double>::max());
  EXPECT_TRUE(IsNumeric(Variant()));
  EXPECT_FALSE(IsNumeric(Variant::Null()));
  EXPECT_FALSE(IsNumeric(Variant(Date(5))));
}

TEST(WholeNumberRounding, CIntAndCLngRoundHalvesToEvenAndCheckTheirRange) {
  EXPECT_EQ(CInt(Variant(2.5)), 2);
  EXPECT_EQ(CInt(Variant(3.5)), 4);
  EXPECT_EQ(CInt(Variant(-2.5)), -2);
  EXPECT_EQ(CInt(Variant(-32768.5)), -32768);
  EXPECT_EQ(ErrorNumberOf([] { CInt(Variant(32767.5)); }), err::Overflow);
  // The exact ends of each range convert; one past them overflows, from numbers and from text.
  EXPECT_EQ(CInt(Variant(int32_t{32767})), 32767);
  EXPECT_EQ(CInt(Variant("32767")), 32767);
  EXPECT_EQ(CInt(Variant(32767.49)), 32767);
  EXPECT_EQ(CInt(Variant("-32768")), -32768);
  EXPECT_EQ(ErrorNumberOf([] { CInt(Variant("32768")); }), err::Overflow);
  EXPECT_EQ(ErrorNumberOf([] { CInt(Variant(int32_t{-32769})); }), err::Overflow);
  EXPECT_EQ(CLng(Variant(2147483647.0)), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(CLng(Variant("2147483647")), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(CLng(Variant("-2147483648")), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(ErrorNumberOf([] { CLng(Variant("2147483648")); }), err::Overflow);
  EXPECT_EQ(ErrorNumberOf([] { CLng(Variant(-2147483649.0)); }), err::Overflow);
  EXPECT_EQ(CLng(Variant(1507.5)), 1508);
  EXPECT_EQ(CLng(Variant(1508.5)), 1508);
  EXPECT_EQ(CLng(Variant(Date(46362.75))), 46363);
  EXPECT_EQ(CLng(Variant(-2147483648.5)), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(ErrorNumberOf([] { CLng(Variant(2147483647.5)); }), err::Overflow);
  EXPECT_EQ(ErrorNumberOf([] { CLng(Variant(NAN)); }), err::Overflow);
  EXPECT_EQ(ErrorNumberOf([] { CLng(Variant::Null()); }), err::InvalidUseOfNull);
}

TEST(IntegerDivision, OperandsAreRoundedThenTheQuotientTruncated) {
  EXPECT_EQ(IntDiv(1507.5, 15), 100);  // 1508 \ 15
  EXPECT_EQ(IntDiv(1499, 15), 99);
  EXPECT_EQ(IntDiv(-7.5, 2), -4);  // -8 \ 2
  EXPECT_EQ(IntDiv(7, -2), -3);
  EXPECT_EQ(IntDiv(10, 3.5), 2);  // 10 \ 4
  EXPECT_EQ(ErrorNumberOf([] { IntDiv(5, 0); }), err::DivisionByZero);
  EXPECT_EQ(ErrorNumberOf([] { IntDiv(5, 0.4); }), err::DivisionByZero);  // 0.4 rounds to 0
  EXPECT_EQ(ErrorNumberOf([] { IntDiv(3e9, 2); }), err::Overflow);
  EXPECT_EQ(ErrorNumberOf([] { IntDiv(-2147483648.0, -1); }), err::Overflow);
}

TEST(NumberFormat, DoublesPrintWithFifteenSignificantDigits) {
  EXPECT_EQ(FormatDouble(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatDouble(-0.0), "0");
  EXPECT_EQ(FormatDouble(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(FormatDouble(999999999999999.0), "999999999999999");
  EXPECT_EQ(FormatDouble(999999999999999.9), "1E+15");  // rounds up into exponent form
  EXPECT_EQ(FormatDouble(1.25e20), "1.25E+20");
  EXPECT_EQ(FormatDouble(1e100), "1E+100");
  EXPECT_EQ(FormatDouble(0.0001), "0.0001");
  EXPECT_EQ(FormatDouble(-0.000015), "-1.5E-05");
  EXPECT_EQ(FormatDouble(std::numeric_limits<double>::max()), "1.79769313486232E+308");
  EXPECT_EQ(FormatSingle(1.0f / 3), "0.3333333");  // singles keep seven
  EXPECT_EQ(FormatSingle(12345678.0f), "1.234568E+07");
  for (double d : {1.0 / 7, -123.456, 1e-10, 6.02214076e23}) {
    EXPECT_NEAR(*ParseNumber(FormatDouble(d)), d, std::fabs(d) * 1e-14) << d;
  }
}

TEST(Conversions, CStrOfEveryKind) {
  EXPECT_EQ(CStr(Variant()), "");
  EXPECT_EQ(CStr(Variant(true)), "True");
  EXPECT_EQ(CStr(Variant(std::numeric_limits<int32_t>::min())), "-2147483648");
  EXPECT_EQ(CStr(Variant(0.1 + 0.2)), "0.3");
  EXPECT_EQ(CStr(Variant(1e15)), "1E+15");
  EXPECT_EQ(CStr(Variant(Date(46362.5))), "12/6/2026 12:00:00 PM");
  EXPECT_EQ(ErrorNumberOf([] { CStr(Variant::Null()); }), err::InvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([] { CStr(Variant::Nothing()); }), err::TypeMismatch);
}

TEST(Conversions, CBoolCSngAndCDbl) {
  EXPECT_TRUE(CBool(Variant(" tRUE ")));
  EXPECT_TRUE(CBool(Variant("0.5")));
  EXPECT_EQ(ErrorNumberOf([] { CBool(Variant("yes")); }), err::TypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { CSng(Variant(1e39)); }), err::Overflow);
  EXPECT_EQ(CDbl(Variant(Date(46362.25))), 46362.25);
  EXPECT_EQ(ErrorNumberOf([] { CDbl(Variant(std::make_shared<Object>())); }), err::TypeMismatch);
}

}  // namespace
}  // namespace tamarind
