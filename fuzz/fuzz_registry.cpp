// The settings store file. Whatever the reader accepts it writes back to text that reads to the
// same tree; whatever it refuses, it refuses with a reason, never a crash.

#include <string>

#include "fuzz/FuzzSupport.h"
#include "platform/registry/RegistryStore.h"

using namespace tamarind;
using namespace tamarind::platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  std::string problem;
  const auto tree = RegistryTree::Parse(fuzz::AsText(data, size), &problem);
  if (!tree) {
    fuzz::Require(!problem.empty(), "a refused store says why");
    return 0;
  }
  const std::string text = tree->Serialize();
  const auto again = RegistryTree::Parse(text);
  fuzz::Require(again.has_value(), "a store written out reads back");
  fuzz::Require(*again == *tree, "a store reads back to the same keys and values");
  fuzz::Require(again->Serialize() == text, "a store written twice is written the same");
  return 0;
}
