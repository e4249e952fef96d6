#pragma once
// Late binding: calls on an object by the name of its member, decided when the call is made.
//
// Code that reaches an object only by names (a database recordset's Fields, EOF and MoveNext; a
// spreadsheet application's Workbooks, Range and Value) holds it as a Variant and calls through
// Invoke. An object that answers such calls derives from Dispatchable and decides by name; names
// are matched without regard to letter case, as the runtime's late-bound calls are. A member the
// object does not have is Error 438.
//
//   Variant xl = tk.GetObject("", "Excel.Application");
//   Variant sheet = Get(Get(xl, "sheets"), "Item", {1});        // xl.sheets(1)
//   Let(Get(sheet, "Range", {"A1"}), "Value", 42);               // ...Range("A1").Value = 42
//   Call(Get(xl, "sheets"), "Add", {Named("Before", sheet)});    // xl.sheets.Add Before:=sheet

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "runtime/Variant.h"

namespace tamarind {

// What a late-bound call does with the member: call it, read it, assign a value (Let) or an
// object (Set). The value assigned is the last argument.
enum class CallType : int16_t { Method = 1, Get = 2, Let = 4, Set = 8 };

// One argument of a late-bound call; a name makes it a named argument (Before:=x).
struct Argument {
  // Any value a Variant takes is a positional argument: {1, "A1", true}.
  template <class T, class = std::enable_if_t<std::is_constructible_v<Variant, T&&>>>
  Argument(T&& v) : value(std::forward<T>(v)) {}  // NOLINT(google-explicit-constructor)
  Argument(std::string n, Variant v) : name(std::move(n)), value(std::move(v)) {}
  std::string name;
  Variant value;
};
inline Argument Named(std::string name, Variant value) { return Argument(std::move(name), std::move(value)); }

using Arguments = std::vector<Argument>;

// An object that answers late-bound calls.
class Dispatchable : public Object {
 public:
  Dispatchable* AsDispatchable() final { return this; }
  // Performs one call. The empty name is the object's default member (a field's value, a
  // collection's Item). Error 438 when the object has no member of that name or that call type.
  virtual Variant Invoke(std::string_view name, CallType type, Arguments& args) = 0;
  // The members For Each visits, in order. Error 438 for an object that cannot be enumerated.
  virtual std::vector<Variant> Enumerate();
};

// Whether two member names are the same name (letter case ignored).
bool SameName(std::string_view a, std::string_view b);

// A late-bound call on obj. Error 91 when obj is Nothing (or not an object), 438 when obj does
// not answer late-bound calls or has no such member.
Variant Invoke(const Variant& obj, std::string_view name, CallType type, Arguments args = {});
inline Variant Get(const Variant& obj, std::string_view name, Arguments args = {}) {
  return Invoke(obj, name, CallType::Get, std::move(args));
}
inline Variant Call(const Variant& obj, std::string_view name, Arguments args = {}) {
  return Invoke(obj, name, CallType::Method, std::move(args));
}
// obj.name(args...) = value
void Let(const Variant& obj, std::string_view name, Variant value, Arguments args = {});
void Set(const Variant& obj, std::string_view name, Variant value, Arguments args = {});
// The default value of obj: an object's default member read with no arguments, any other
// Variant itself (so a recordset field's value is DefaultValue(field)).
Variant DefaultValue(const Variant& obj);
// For Each over obj.
std::vector<Variant> Enumerate(const Variant& obj);

// Helpers for objects that answer calls: the positional argument i (Error 449 when absent),
// a named argument (nullptr when absent).
const Variant& RequireArgument(const Arguments& args, size_t i);
const Variant* FindNamed(const Arguments& args, std::string_view name);

}  // namespace tamarind
