#include "runtime/Dispatch.h"

#include "runtime/Error.h"

namespace tamarind {

namespace {

Dispatchable& Target(const Variant& obj) {
  if (!obj.IsObject() || obj.IsNothing()) Raise(err::ObjectNotSet);
  Dispatchable* d = obj.AsObject()->AsDispatchable();
  if (!d) Raise(err::ObjectDoesNotSupport);
  return *d;
}

}  // namespace

std::vector<Variant> Dispatchable::Enumerate() { Raise(err::ObjectDoesNotSupport); }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x == y) continue;
    // Member names are ASCII identifiers; anything else must match exactly.
    if (x >= 0x80 || y >= 0x80) return false;
    if ((x | 0x20) != (y | 0x20) || (x | 0x20) < 'a' || (x | 0x20) > 'z') return false;
  }
  return true;
}

Variant Invoke(const Variant& obj, std::string_view name, CallType type, Arguments args) {
  // Keep the object alive for the call even if the call releases the caller's last reference.
  const Variant hold = obj;
  return Target(hold).Invoke(name, type, args);
}

void Let(const Variant& obj, std::string_view name, Variant value, Arguments args) {
  args.emplace_back(std::move(value));
  Invoke(obj, name, CallType::Let, std::move(args));
}

void Set(const Variant& obj, std::string_view name, Variant value, Arguments args) {
  args.emplace_back(std::move(value));
  Invoke(obj, name, CallType::Set, std::move(args));
}

Variant DefaultValue(const Variant& obj) {
  if (!obj.IsObject()) return obj;
  return Invoke(obj, "", CallType::Get);
}

std::vector<Variant> Enumerate(const Variant& obj) {
  const Variant hold = obj;
  return Target(hold).Enumerate();
}

const Variant& RequireArgument(const Arguments& args, size_t i) {
  size_t positional = 0;
  for (const Argument& a : args) {
    if (!a.name.empty()) continue;
    if (positional++ == i) return a.value;
  }
  Raise(err::ArgumentNotOptional);
}

const Variant* FindNamed(const Arguments& args, std::string_view name) {
  for (const Argument& a : args)
    if (!a.name.empty() && SameName(a.name, name)) return &a.value;
  return nullptr;
}

}  // namespace tamarind
