#include "platform/Automation.h"

#include <mutex>

#include "runtime/Text.h"

namespace tamarind::platform {

namespace {

struct ClassRegistry {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<const AutomationClass>> byProgId;  // folded identifiers
};

ClassRegistry& Registry() {
  static ClassRegistry registry;
  return registry;
}

std::string Folded(std::string_view s) { return text::FoldCase(s); }

}  // namespace

void RegisterAutomationClass(AutomationClass c) {
  ClassRegistry& r = Registry();
  const std::string key = Folded(c.progId);
  auto entry = std::make_shared<const AutomationClass>(std::move(c));
  std::lock_guard lock(r.mutex);
  r.byProgId[key] = std::move(entry);
}

std::shared_ptr<const AutomationClass> FindAutomationClass(std::string_view progId) {
  ClassRegistry& r = Registry();
  const std::string key = Folded(progId);
  std::lock_guard lock(r.mutex);
  auto it = r.byProgId.find(key);
  return it == r.byProgId.end() ? nullptr : it->second;
}

std::shared_ptr<const AutomationClass> FindAutomationClassForFile(std::string_view path) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return nullptr;
  const std::string extension = Folded(path.substr(dot));
  ClassRegistry& r = Registry();
  std::lock_guard lock(r.mutex);
  for (const auto& [key, c] : r.byProgId)
    for (const std::string& e : c->extensions)
      if (Folded(e) == extension) return c;
  return nullptr;
}

bool RunningObjectTable::Register(std::string_view progId, Variant object) {
  const std::string key = Folded(progId);
  auto it = objects_.find(key);
  if (it != objects_.end() && !it->second.IsNothing()) return false;
  objects_[key] = std::move(object);
  return true;
}

void RunningObjectTable::Revoke(std::string_view progId, const Object* object) {
  auto it = objects_.find(Folded(progId));
  if (it != objects_.end() && it->second.IsObject() && it->second.AsObject().get() == object) objects_.erase(it);
}

Variant RunningObjectTable::Find(std::string_view progId) const {
  auto it = objects_.find(Folded(progId));
  return it == objects_.end() ? Variant::Nothing() : it->second;
}

}  // namespace tamarind::platform
