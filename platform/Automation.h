#pragma once
// Automation servers: the classes a program reaches by name through GetObject and CreateObject,
// and the objects running on one desktop.
//
// A class is registered once per process under its program identifier ("Excel.Application") with
// the file extensions whose documents it opens (".xls"). Every Toolkit keeps the table of the
// objects running on its own desktop: a server enters its instance there when the instance starts
// and takes it out when it quits, so GetObject with a class and no file name finds it. Servers live
// in the library itself, so every realisation of the platform reaches the same ones.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Variant.h"

namespace tamarind::platform {

class Toolkit;

struct AutomationClass {
  std::string progId;
  // Extensions of the documents the class opens, with the dot, in any case: ".xls".
  std::vector<std::string> extensions;
  // Starts a new instance on the desktop (CreateObject).
  std::function<Variant(Toolkit&)> create;
  // Opens a document (GetObject with a file name) and returns its object: in the running instance
  // when there is one, else in an instance started for it.
  std::function<Variant(Toolkit&, const std::string& path)> open;
};

// Registers a class; a class of the same program identifier (letter case ignored) is replaced.
void RegisterAutomationClass(AutomationClass c);
// The class of a program identifier (letter case ignored); nullptr when none is registered.
std::shared_ptr<const AutomationClass> FindAutomationClass(std::string_view progId);
// The class that opens documents with the extension of path; nullptr when none does.
std::shared_ptr<const AutomationClass> FindAutomationClassForFile(std::string_view path);

// The objects running on one desktop, by program identifier (letter case ignored). The first
// instance of a class to start is the one found; a second instance is not entered while the first
// runs, as on the desktop the platform describes.
class RunningObjectTable {
 public:
  // Enters the object unless an instance of the class is already entered. True when entered.
  bool Register(std::string_view progId, Variant object);
  // Takes the object out, when it is the one entered for the class.
  void Revoke(std::string_view progId, const Object* object);
  // The entered instance, or Nothing.
  Variant Find(std::string_view progId) const;
  // Takes every object out (the desktop is going away).
  void Clear() { objects_.clear(); }

 private:
  std::map<std::string, Variant> objects_;
};

}  // namespace tamarind::platform
