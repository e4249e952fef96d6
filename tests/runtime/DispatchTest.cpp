#include "runtime/Dispatch.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "runtime/Collection.h"
#include "runtime/Error.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind {
namespace {

using test_support::ErrorNumberOf;

// A small object with a property, a method with a named argument and a default member.
class Cell : public Dispatchable {
 public:
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override {
    if (SameName(name, "Value") || name.empty()) {
      if (type == CallType::Get) return value;
      if (type == CallType::Let) return value = RequireArgument(args, 0);
    }
    if (SameName(name, "Offset") && type == CallType::Method) {
      const Variant* by = FindNamed(args, "By");
      return Variant(RequireArgument(args, 0).AsLong() + (by ? by->AsLong() : 0));
    }
    Raise(err::ObjectDoesNotSupport);
  }
  Variant value;
};

TEST(LateBinding, NamesMatchWithoutRegardToCase) {
  auto cell = std::make_shared<Cell>();
  Variant obj(cell);
  Let(obj, "VALUE", 42);
  EXPECT_EQ(Get(obj, "value").AsLong(), 42);
  EXPECT_EQ(DefaultValue(obj).AsLong(), 42);
  EXPECT_EQ(Call(obj, "offset", {1, Named("by", 2)}).AsLong(), 3);
  EXPECT_TRUE(SameName("ActiveSheet", "activesheet"));
  EXPECT_FALSE(SameName("Value", "Valu"));
  EXPECT_FALSE(SameName("A1", "a!"));  // only letters fold
}

TEST(LateBinding, ErrorsForNothingUnknownMembersAndMissingArguments) {
  Variant obj(std::make_shared<Cell>());
  EXPECT_EQ(ErrorNumberOf([&] { Get(Variant::Nothing(), "Value"); }), err::ObjectNotSet);
  EXPECT_EQ(ErrorNumberOf([&] { Get(Variant(5), "Value"); }), err::ObjectNotSet);
  EXPECT_EQ(ErrorNumberOf([&] { Get(obj, "Formula"); }), err::ObjectDoesNotSupport);
  EXPECT_EQ(ErrorNumberOf([&] { Call(obj, "Offset"); }), err::ArgumentNotOptional);
  EXPECT_EQ(ErrorNumberOf([&] { Enumerate(obj); }), err::ObjectDoesNotSupport);
  // An object that is not late-bound at all.
  EXPECT_EQ(ErrorNumberOf([&] { Get(Variant(std::make_shared<Collection>()), "Count"); }), err::ObjectDoesNotSupport);
  // A plain value is its own default value.
  EXPECT_EQ(DefaultValue(Variant("x")).AsString(), "x");
}

TEST(LateBinding, ArgumentsKeepTheirKinds) {
  Arguments args{true, 1, "A1", 2.5};
  EXPECT_EQ(args[0].value.Type(), VarType::Boolean);
  EXPECT_EQ(args[1].value.Type(), VarType::Long);
  EXPECT_EQ(args[2].value.Type(), VarType::String);
  EXPECT_EQ(args[3].value.Type(), VarType::Double);
}

}  // namespace
}  // namespace tamarind
