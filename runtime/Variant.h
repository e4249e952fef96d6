#pragma once
// The runtime's Variant: one value of any of the runtime's kinds, with its comparison rules.

#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "runtime/Date.h"

namespace tamarind {

class Dispatchable;

// Base of every object a Variant can hold (fonts, pictures, list items, collections, ...).
class Object {
 public:
  virtual ~Object() = default;
  // The runtime's TypeName of the object ("StdFont", "ListItem", "Collection", ...).
  virtual std::string TypeName() const { return "Object"; }
  // The object as one that answers late-bound calls (runtime/Dispatch.h), or nullptr. Cheaper
  // than a dynamic_cast on every call by name.
  virtual Dispatchable* AsDispatchable() { return nullptr; }
};
using ObjectRef = std::shared_ptr<Object>;

// The runtime's VarType numbers.
enum class VarType : int16_t {
  Empty = 0,
  Null = 1,
  Integer = 2,
  Long = 3,
  Single = 4,
  Double = 5,
  Date = 7,
  String = 8,
  Object = 9,
  Boolean = 11,
};

struct NullValue {
  bool operator==(const NullValue&) const = default;
};

class Variant {
 public:
  Variant() = default;  // Empty
  Variant(NullValue) : v_(NullValue{}) {}
  Variant(bool b) : v_(b) {}
  Variant(int16_t i) : v_(i) {}              // Integer
  Variant(int32_t l) : v_(l) {}              // Long
  Variant(float f) : v_(f) {}                // Single
  Variant(double d) : v_(d) {}               // Double
  Variant(Date d) : v_(d) {}                 // Date
  Variant(std::string s) : v_(std::move(s)) {}
  Variant(std::string_view s) : v_(std::string(s)) {}
  Variant(const char* s) : v_(std::string(s)) {}
  Variant(ObjectRef o) : v_(std::move(o)) {}  // Nothing when null
  template <class T, class = std::enable_if_t<std::is_base_of_v<Object, T>>>
  Variant(std::shared_ptr<T> o) : v_(ObjectRef(std::move(o))) {}

  static Variant Null() { return Variant(NullValue{}); }
  static Variant Nothing() { return Variant(ObjectRef{}); }

  VarType Type() const;
  bool IsEmpty() const { return v_.index() == 0; }
  bool IsNull() const { return std::holds_alternative<NullValue>(v_); }
  bool IsObject() const { return std::holds_alternative<ObjectRef>(v_); }
  bool IsNothing() const { return IsObject() && !std::get<ObjectRef>(v_); }
  bool IsString() const { return std::holds_alternative<std::string>(v_); }
  // Boolean, Integer, Long, Single, Double or Date: the kinds the runtime compares as numbers.
  bool IsNumericKind() const;

  // Exact accessors: Error 13 (Type mismatch) when the Variant holds another kind.
  bool AsBoolean() const;
  int16_t AsInteger() const;
  int32_t AsLong() const;
  float AsSingle() const;
  double AsDouble() const;
  Date AsDate() const;
  const std::string& AsString() const;
  const ObjectRef& AsObject() const;
  // The object cast to T; nullptr for Nothing; Error 13 for a non-object or an object of another type.
  template <class T>
  std::shared_ptr<T> As() const {
    const ObjectRef& o = AsObject();
    if (!o) return nullptr;
    auto t = std::dynamic_pointer_cast<T>(o);
    if (!t) ThrowTypeMismatch();
    return t;
  }

  // The numeric value of a numeric kind (Boolean True is -1, a Date its serial number).
  // Error 13 for other kinds.
  double NumericValue() const;

  // Same kind and same value (objects: the same object). Used by persistence to find defaults.
  bool SameAs(const Variant& other) const;

  using Storage = std::variant<std::monostate, NullValue, bool, int16_t, int32_t, float, double, Date, std::string,
                               ObjectRef>;
  const Storage& Raw() const { return v_; }

 private:
  [[noreturn]] static void ThrowTypeMismatch();
  Storage v_;
};

// How strings compare: Binary compares code points, Text ignores letter case (locale-aware).
enum class CompareMethod { Binary, Text };

// The runtime's comparison of two Variants:
//   both numeric kinds (or Empty)  -> by value (Empty counts as 0);
//   both strings (or Empty)        -> as strings (Empty counts as "");
//   a numeric kind and a string    -> the numeric one is less;
//   Null on either side            -> no result (std::nullopt);
//   an object                      -> Error 13.
std::optional<std::strong_ordering> Compare(const Variant& a, const Variant& b,
                                            CompareMethod method = CompareMethod::Binary);

// a = b as the runtime evaluates it, with Null giving false.
bool Equals(const Variant& a, const Variant& b, CompareMethod method = CompareMethod::Binary);

// A String compared with a Variant (the runtime converts the Variant to text, Null excepted):
// used where a string property such as an editor's Tag is compared with a Variant value.
bool TextEquals(std::string_view text, const Variant& v);

}  // namespace tamarind
