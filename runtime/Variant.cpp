#include "runtime/Variant.h"

#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind {

namespace {

template <class T>
const T& Get(const Variant::Storage& v) {
  const T* p = std::get_if<T>(&v);
  if (!p) Raise(err::TypeMismatch);
  return *p;
}

std::strong_ordering OrderOf(int c) {
  return c < 0 ? std::strong_ordering::less : c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal;
}

std::strong_ordering OrderOf(double a, double b) {
  return a < b ? std::strong_ordering::less : a > b ? std::strong_ordering::greater : std::strong_ordering::equal;
}

}  // namespace

VarType Variant::Type() const {
  static_assert(std::variant_size_v<Storage> == 10, "every alternative needs a VarType");
  constexpr VarType kTypes[] = {VarType::Empty, VarType::Null,   VarType::Boolean, VarType::Integer, VarType::Long,
                                VarType::Single, VarType::Double, VarType::Date,    VarType::String,  VarType::Object};
  return kTypes[v_.index()];
}

bool Variant::IsNumericKind() const {
  return std::holds_alternative<bool>(v_) || std::holds_alternative<int16_t>(v_) ||
         std::holds_alternative<int32_t>(v_) || std::holds_alternative<float>(v_) ||
         std::holds_alternative<double>(v_) || std::holds_alternative<Date>(v_);
}

bool Variant::AsBoolean() const { return Get<bool>(v_); }
int16_t Variant::AsInteger() const { return Get<int16_t>(v_); }
int32_t Variant::AsLong() const { return Get<int32_t>(v_); }
float Variant::AsSingle() const { return Get<float>(v_); }
double Variant::AsDouble() const { return Get<double>(v_); }
Date Variant::AsDate() const { return Get<Date>(v_); }
const std::string& Variant::AsString() const { return Get<std::string>(v_); }
const ObjectRef& Variant::AsObject() const { return Get<ObjectRef>(v_); }

double Variant::NumericValue() const {
  return std::visit(
      [](const auto& x) -> double {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, bool>) {
          return x ? -1.0 : 0.0;
        } else if constexpr (std::is_same_v<T, int16_t> || std::is_same_v<T, int32_t> || std::is_same_v<T, float> ||
                             std::is_same_v<T, double>) {
          return static_cast<double>(x);
        } else if constexpr (std::is_same_v<T, Date>) {
          return x.SerialNumber();
        } else {
          Raise(err::TypeMismatch);
        }
      },
      v_);
}

bool Variant::SameAs(const Variant& other) const {
  // Same alternative and equal values; ObjectRef compares the pointers, so objects must be the same.
  return v_ == other.v_;
}

void Variant::ThrowTypeMismatch() { Raise(err::TypeMismatch); }

std::optional<std::strong_ordering> Compare(const Variant& a, const Variant& b, CompareMethod method) {
  if (a.IsNull() || b.IsNull()) return std::nullopt;
  if (a.IsObject() || b.IsObject()) Raise(err::TypeMismatch);
  const bool aNumber = a.IsNumericKind() || a.IsEmpty();
  const bool bNumber = b.IsNumericKind() || b.IsEmpty();
  if (aNumber && bNumber) {
    return OrderOf(a.IsEmpty() ? 0.0 : a.NumericValue(), b.IsEmpty() ? 0.0 : b.NumericValue());
  }
  const bool aText = a.IsString() || a.IsEmpty();
  const bool bText = b.IsString() || b.IsEmpty();
  if (aText && bText) {
    const std::string_view x = a.IsEmpty() ? std::string_view() : std::string_view(a.AsString());
    const std::string_view y = b.IsEmpty() ? std::string_view() : std::string_view(b.AsString());
    // Binary: byte order of UTF-8, which is code point order.
    return OrderOf(method == CompareMethod::Text ? text::CompareText(x, y) : x.compare(y));
  }
  // A number against a string: the number is less.
  return a.IsString() ? std::strong_ordering::greater : std::strong_ordering::less;
}

bool Equals(const Variant& a, const Variant& b, CompareMethod method) {
  const auto order = Compare(a, b, method);
  return order && *order == std::strong_ordering::equal;
}

bool TextEquals(std::string_view text, const Variant& v) {
  if (v.IsNull()) return false;
  return CStr(v) == text;
}

}  // namespace tamarind
