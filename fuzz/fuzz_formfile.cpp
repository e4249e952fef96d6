// The form-file reader, and the control's loading behind it. Whatever the reader accepts is
// written back to the same file; whatever a Kestrel loads from it, it saves in a form the reader
// accepts, and that loads to the same values again. Anything the reader refuses is a
// tamarind::Error; nothing crashes, leaks or exhausts memory on the way.

#include <cstdio>
#include <string>

#include "control/Kestrel.h"
#include "fuzz/FuzzSupport.h"
#include "platform/FormFile.h"
#include "platform/headless/HostForm.h"
#include "platform/registry/Registry.h"

using namespace tamarind;
using namespace tamarind::platform;

namespace {

constexpr size_t kMaxControls = 4;

// Sites every Kestrel of the file on a form of the headless desktop, shows the form (layout and
// the alternating-row picture run), and returns the form saved again.
std::string LoadAndSave(const FormFile& file) {
  headless::HeadlessToolkit tk;
  std::string saved;
  {
    headless::HostForm form(tk, file.caption);
    size_t sited = 0;
    for (const SavedControl& c : file.controls) {
      if (c.typeName != "Kestrel" || ++sited > kMaxControls) continue;
      form.Add<Kestrel>(c.name, c.left, c.top, c.width, c.height, &c.properties);
    }
    form.Show();
    saved = form.SaveForm().Serialize();
  }
  return saved;
}

// A form a control saved: the reader must take it.
FormFile Reread(const std::string& saved) {
  try {
    return FormFile::Parse(saved);
  } catch (const Error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    fuzz::Require(false, "what a control saves, the reader accepts");
  }
  return {};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A loaded control saves its column order when it ends: into a store that cannot exist, so the
  // run touches no file.
  SetRegistryStorePath("/dev/null/tamarind-fuzz/registry.txt");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  FormFile file;
  try {
    file = FormFile::Parse(fuzz::AsText(data, size));
  } catch (const Error&) {
    return 0;  // refused, as a damaged file must be
  }
  const std::string once = file.Serialize();
  fuzz::Require(FormFile::Parse(once).Serialize() == once, "a form file read back is written the same");

  // Loading can change what a first save holds: the whole font is saved once, from the text box,
  // and read into the list and the other editors too, so a list font the text box did not share
  // is gone after the first save (and the alternating-row picture, painted for the list's font,
  // with it). From then on saving and loading must change nothing.
  const std::string first = LoadAndSave(file);
  const std::string saved = LoadAndSave(Reread(first));
  const std::string again = LoadAndSave(Reread(saved));
  if (again != saved) std::fprintf(stderr, "saved once:\n%s\nsaved again:\n%s\n", saved.c_str(), again.c_str());
  fuzz::Require(again == saved, "what loads saves and loads to the same values");
  return 0;
}
