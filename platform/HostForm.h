#pragma once
// A host application's form. It sites user controls (Initialize, then
// InitProperties for a new instance or ReadProperties for a saved one), sizes them (Resize) and
// shows them (Show), runs them at design time or at run time (Ambient.UserMode), saves their
// property bags (WriteProperties) and unloads them (Terminate). It can also hold plain intrinsic
// controls, for instance a text box that takes the focus away from a user control.

#include <memory>
#include <string>
#include <vector>

#include "platform/FormFile.h"
#include "platform/RecentEntries.h"
#include "platform/UserControl.h"
#include "platform/controls/TextBox.h"
#include "platform/Toolkit.h"

namespace tamarind::platform {

class HostForm : public Window, private ControlSite {
 public:
  HostForm(Toolkit& tk, std::string caption = "Form1", float widthTwips = 9600, float heightTwips = 7200);
  ~HostForm() override;

  // --- run mode and ambient properties ------------------------------------------------------------
  // False while the form is being designed; True (the default) when the host application runs.
  void SetUserMode(bool userMode) { userMode_ = userMode; }
  bool UserMode() const override { return userMode_; }
  FontRef AmbientFont() const override { return ambientFont_; }
  void SetAmbientFont(FontRef f) { ambientFont_ = std::move(f); }

  // --- siting --------------------------------------------------------------------------------------
  // Creates a C(toolkit) and sites it; with a saved bag the control reads its saved state.
  template <class C>
  C& Add(std::string name, float left, float top, float width, float height, const PropertyBag* saved = nullptr) {
    auto control = std::make_unique<C>(tk_);
    C& ref = *control;
    Site(std::move(control), std::move(name), left, top, width, height, saved);
    return ref;
  }
  UserControl& Site(std::unique_ptr<UserControl> control, std::string name, float left, float top, float width,
                    float height, const PropertyBag* saved);
  // A text box on the form itself.
  TextBox& AddTextBox(std::string name, float left, float top, float width, float height);

  // Shows the form: each sited control gets Resize and Show (once). A realisation with real
  // windows shows its window here too.
  virtual void Show();
  bool Shown() const { return shown_; }
  // Moves and sizes a sited control (its Resize follows when the size changed).
  void MoveControl(UserControl& control, float left, float top, float width, float height);

  // --- saving ----------------------------------------------------------------------------------------
  // The control's saved state: WriteProperties into a new bag.
  PropertyBag Save(UserControl& control);
  // Every sited user control with its type, name, position and saved state.
  FormFile SaveForm();
  void SaveToFile(const std::string& path);

  // Terminates every sited control (in siting order) and releases them.
  void Unload();

  // The latest names passed to PropertyChanged, in order; the form is dirty while any are recorded.
  const std::vector<std::string>& PropertyChanges() const { return changes_.Entries(); }
  void ClearPropertyChanges() { changes_.Clear(); }

  const std::string& Caption() const { return caption_; }
  RECT BoundsPx() const override { return bounds_; }
  void SetBoundsPx(const RECT& r) override { bounds_ = r; }
  POINT ClientOffsetPx() const override { return POINT{4, 30}; }  // frame and caption bar
  std::string WindowText() const override { return caption_; }

 protected:
  // Records the change; a realisation that reports changes to its host extends it.
  void PropertyChanged(UserControl& control, std::string_view propertyName) override;

 private:
  struct Sited {
    std::unique_ptr<UserControl> control;
    bool shown = false;
  };
  Toolkit& tk_;
  std::string caption_;
  RECT bounds_;
  bool userMode_ = true;
  bool shown_ = false;
  FontRef ambientFont_;
  std::vector<Sited> controls_;
  std::vector<std::shared_ptr<TextBox>> textBoxes_;
  RecentEntries<std::string> changes_;
};

}  // namespace tamarind::platform
