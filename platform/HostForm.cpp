#include "platform/HostForm.h"

#include "runtime/Error.h"

namespace tamarind::platform {

// A form window: its own Window rather than a Control, because it is the top of its tree.
HostForm::HostForm(Toolkit& tk, std::string caption, float widthTwips, float heightTwips)
    : Window(tk, "ThunderRT6FormDC", nullptr),
      tk_(tk),
      caption_(std::move(caption)),
      ambientFont_(std::make_shared<StdFont>("MS Sans Serif", 8.25f)) {
  const int32_t w = static_cast<int32_t>(widthTwips) / tk.GetScreen().TwipsPerPixelX();
  const int32_t h = static_cast<int32_t>(heightTwips) / tk.GetScreen().TwipsPerPixelY();
  bounds_ = RECT{100, 100, 100 + w, 100 + h};  // where the form stands on the screen
}

HostForm::~HostForm() { Unload(); }

UserControl& HostForm::Site(std::unique_ptr<UserControl> control, std::string name, float left, float top,
                            float width, float height, const PropertyBag* saved) {
  UserControl& c = *control;
  controls_.push_back(Sited{std::move(control), false});
  UserControlLifecycle::Site(c, this, this);
  c.Name(std::move(name));
  c.Move(left, top, width, height);  // before Initialize: no Resize yet
  UserControlLifecycle::Initialize(c);
  if (saved) {
    PropertyBag bag = *saved;  // reading never changes the caller's saved state
    UserControlLifecycle::ReadProperties(c, bag);
  } else {
    UserControlLifecycle::InitProperties(c);
  }
  if (shown_) {
    UserControlLifecycle::Resize(c);
    UserControlLifecycle::Show(c);
    controls_.back().shown = true;
  }
  return c;
}

TextBox& HostForm::AddTextBox(std::string name, float left, float top, float width, float height) {
  auto box = tk_.CreateTextBox(*this);
  box->Name(std::move(name));
  box->Move(left, top, width, height);
  textBoxes_.push_back(box);
  return *box;
}

void HostForm::Show() {
  shown_ = true;
  for (auto& s : controls_) {
    if (s.shown) continue;
    UserControlLifecycle::Resize(*s.control);
    UserControlLifecycle::Show(*s.control);
    s.shown = true;
  }
}

void HostForm::MoveControl(UserControl& control, float left, float top, float width, float height) {
  control.Move(left, top, width, height);
}

PropertyBag HostForm::Save(UserControl& control) {
  PropertyBag bag;
  UserControlLifecycle::WriteProperties(control, bag);
  return bag;
}

FormFile HostForm::SaveForm() {
  FormFile file;
  file.caption = caption_;
  for (auto& s : controls_) {
    SavedControl saved;
    saved.typeName = s.control->TypeName();
    saved.name = s.control->Name();
    saved.left = s.control->Left();
    saved.top = s.control->Top();
    saved.width = s.control->Width();
    saved.height = s.control->Height();
    saved.properties = Save(*s.control);
    file.controls.push_back(std::move(saved));
  }
  return file;
}

void HostForm::SaveToFile(const std::string& path) {
  SaveForm().Save(path);
  changes_.Clear();
}

void HostForm::Unload() {
  for (auto& s : controls_) UserControlLifecycle::Terminate(*s.control);
  // Release in reverse order of siting; the focus leaves each as it goes.
  while (!controls_.empty()) controls_.pop_back();
  textBoxes_.clear();
}

void HostForm::PropertyChanged(UserControl&, std::string_view propertyName) { changes_.Add(std::string(propertyName)); }

}  // namespace tamarind::platform
