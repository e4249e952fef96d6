#include "designtime/PropertyPage.h"

#include "platform/Toolkit.h"
#include "platform/controls/CheckBox.h"
#include "platform/controls/Line.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/SimpleControls.h"
#include "platform/controls/TextBox.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::designtime {

using namespace platform;

namespace {
// Holds a flag for as long as it lives, also when an error leaves early.
class Holding {
 public:
  explicit Holding(bool& flag) : flag_(flag) { flag_ = true; }
  ~Holding() { flag_ = false; }
  Holding(const Holding&) = delete;
  Holding& operator=(const Holding&) = delete;

 private:
  bool& flag_;
};
}  // namespace

PropertyPage::PropertyPage(Toolkit& tk, std::string className, std::string caption)
    : UserControl(tk, std::move(className)), caption_(std::move(caption)) {}

// The inner controls go before the surface they are drawn on.
PropertyPage::~PropertyPage() { parts_.clear(); }

void PropertyPage::Select(std::vector<Kestrel*> controls) {
  selected_ = std::move(controls);
  changed_ = false;
  Holding filling(filling_);
  SelectionChanged();
}

void PropertyPage::Apply() {
  ApplyChanges();
  changed_ = false;
}

Kestrel& PropertyPage::SelectedControls(size_t index) const {
  if (index >= selected_.size() || !selected_[index]) Raise(err::SubscriptOutOfRange, "PropertyPage");
  return *selected_[index];
}

void PropertyPage::Changed(bool v) {
  if (filling_) return;
  const bool became = v && !changed_;
  changed_ = v;
  if (became) PageChanged();
}

int16_t PropertyPage::BoxValue(bool property) { return static_cast<int16_t>(CInt(Variant(property)) & 1); }

bool PropertyPage::Ticked(const CheckBox& box) { return box.Value() == CheckBox::vbChecked; }

template <class C>
C& PropertyPage::Keep(std::shared_ptr<C> control, std::string name) {
  control->Name(std::move(name));
  control->TabIndex(nextTabIndex_++);
  parts_.push_back(control);
  return *control;
}

CheckBox& PropertyPage::AddCheckBox(std::string name, std::string caption, float left, float top, float width) {
  CheckBox& box = Keep(GetToolkit().CreateCheckBox(*this), std::move(name));
  box.Caption(std::move(caption));
  box.Move(left, top, width, 255);
  return box;
}

TextBox& PropertyPage::AddTextBox(std::string name, float left, float top, float width, float height) {
  TextBox& box = Keep(GetToolkit().CreateTextBox(*this), std::move(name));
  box.Move(left, top, width, height);
  return box;
}

Label& PropertyPage::AddLabel(std::string name, std::string caption, float left, float top, float width,
                              float height) {
  Label& label = Keep(GetToolkit().CreateLabel(*this), std::move(name));
  label.Caption(std::move(caption));
  label.BackColor(vbButtonFace);  // on the dialog's face, not a window's white
  label.Move(left, top, width, height);
  return label;
}

CommandButton& PropertyPage::AddCommandButton(std::string name, std::string caption, float left, float top,
                                              float width, float height) {
  CommandButton& button = Keep(GetToolkit().CreateCommandButton(*this), std::move(name));
  button.Caption(std::move(caption));
  button.Move(left, top, width, height);
  return button;
}

PictureBox& PropertyPage::AddPictureBox(std::string name, float left, float top, float width, float height) {
  PictureBox& picture = Keep(GetToolkit().CreatePictureBox(*this), std::move(name));
  picture.BorderStyle(0);
  picture.Move(left, top, width, height);
  return picture;
}

Line& PropertyPage::AddLine(std::string name, float x1, float y1, float x2, float y2) {
  Line& line = Keep(GetToolkit().CreateLine(*this), std::move(name));
  line.Ends(x1, y1, x2, y2);
  return line;
}

}  // namespace tamarind::designtime
