#include "platform/SavedProperties.h"

#include <cmath>
#include <map>
#include <mutex>

#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind::platform {

namespace saved {

namespace {

[[noreturn]] void Refuse(const std::string& why) { Raise(err::InvalidPropertyValue, "SavedProperties", why); }

// The value as a finite number; Error 380 for anything else.
double FiniteNumber(const Variant& v) {
  double d = 0;
  try {
    d = CDbl(v);
  } catch (const Error&) {
    Refuse("a number was expected");
  }
  if (!std::isfinite(d)) Refuse("a number was expected, not " + FormatDouble(d));
  return d;
}

double WholeWithin(const Variant& v, double low, double high) {
  const double r = RoundHalfEven(FiniteNumber(v));
  if (r < low || r > high)
    Refuse(FormatDouble(r) + " is outside " + FormatDouble(low) + " .. " + FormatDouble(high));
  return r;
}

template <class T>
std::shared_ptr<T> ObjectOf(const Variant& v, const char* what) {
  if (!v.IsObject()) Refuse(std::string(what) + " was expected");
  const ObjectRef& o = v.AsObject();
  if (!o) return nullptr;
  auto t = std::dynamic_pointer_cast<T>(o);
  if (!t) Refuse(std::string(what) + " was expected, not a " + o->TypeName());
  return t;
}

}  // namespace

OLE_COLOR Color(const Variant& v) {
  const double r = WholeWithin(v, -2147483648.0, 4294967295.0);
  return r < 0 ? static_cast<OLE_COLOR>(static_cast<int32_t>(r)) : static_cast<OLE_COLOR>(r);
}

bool Boolean(const Variant& v) {
  if (!v.IsString()) return FiniteNumber(v) != 0.0;
  try {
    return CBool(v);  // "True", "False" or a number
  } catch (const Error&) {
    Refuse("True, False or a number was expected");
  }
}

int16_t Integer(const Variant& v, int16_t low, int16_t high) {
  return static_cast<int16_t>(WholeWithin(v, low, high));
}

int32_t Long(const Variant& v, int32_t low, int32_t high) { return static_cast<int32_t>(WholeWithin(v, low, high)); }

float FontSize(const Variant& v) {
  const double d = FiniteNumber(v);
  StdFont probe;
  try {
    probe.Size(static_cast<float>(std::fmin(std::fmax(d, -1.0), 4096.0)));  // a float cast only in range
  } catch (const Error&) {
    Refuse(FormatDouble(d) + " is no font size");
  }
  return probe.Size();
}

std::string Text(const Variant& v) {
  if (v.IsNull() || v.IsObject()) Refuse("a text was expected");
  return CStr(v);
}

FontRef FontObject(const Variant& v) {
  FontRef f = ObjectOf<StdFont>(v, "a font");
  if (!f) Refuse("a font was expected, not Nothing");
  return f;
}

PictureRef PictureObject(const Variant& v) { return ObjectOf<StdPicture>(v, "a picture"); }

ImageListRef ImageListObject(const Variant& v) { return ObjectOf<platform::ImageList>(v, "an image list"); }

}  // namespace saved

SavedPropertyRules& SavedPropertyRules::Add(std::string_view name, Rule rule) {
  rules_[text::FoldCase(name)] = std::move(rule);
  return *this;
}

void SavedPropertyRules::Check(std::string_view name, const Variant& value) const {
  const auto it = rules_.find(text::FoldCase(name));
  if (it != rules_.end()) it->second(value);
}

bool SavedPropertyRules::Has(std::string_view name) const { return rules_.count(text::FoldCase(name)) != 0; }

namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, SavedPropertyRules, std::less<>> byType;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

bool RegisterSavedPropertyRules(std::string typeName, SavedPropertyRules rules) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.byType.insert_or_assign(std::move(typeName), std::move(rules));
  return true;
}

const SavedPropertyRules* FindSavedPropertyRules(std::string_view typeName) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  const auto it = r.byType.find(typeName);
  // Entries are never removed and a map keeps its nodes in place, so the pointer stays valid
  // (registering the type again replaces the rules inside the same node).
  return it == r.byType.end() ? nullptr : &it->second;
}

}  // namespace tamarind::platform
