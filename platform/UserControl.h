#pragma once
// A user control: the surface of a control built from inner controls, sited on a host's form.
//
// The container drives its life through UserControlLifecycle: Initialize, then InitProperties
// (a new instance) or ReadProperties (a saved one), Resize and Show as the form is shown,
// WriteProperties when the form is saved, ExitFocus when the focus leaves it, Terminate at the
// end. A user control overrides the UserControl_... handlers it needs.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Control.h"
#include "platform/Font.h"
#include "platform/PropertyBag.h"

namespace tamarind::platform {

class UserControl;

// What the container offers the control it sites.
class ControlSite {
 public:
  virtual ~ControlSite() = default;
  // False while the form is being designed, True when the host application runs.
  virtual bool UserMode() const = 0;
  virtual FontRef AmbientFont() const = 0;
  // A property of the control changed: the form needs saving.
  virtual void PropertyChanged(UserControl& control, std::string_view propertyName) = 0;
};

// Ambient properties of the container, as the control reads them.
struct AmbientProperties {
  bool UserMode = true;
  FontRef Font;
};

class UserControl : public Control {
 public:
  UserControl(Toolkit& tk, std::string className);
  ~UserControl() override;

  ControlSite* Site() const { return site_; }
  AmbientProperties Ambient() const;
  // Tells the container a property changed (nothing happens when the control is not sited).
  void PropertyChanged(std::string_view propertyName);

  // The inner area in twips (the surface has no border of its own).
  float ScaleWidth() const { return Width(); }
  float ScaleHeight() const { return Height(); }
  int16_t ScaleMode() const { return scaleMode_; }
  void ScaleMode(int16_t m) { scaleMode_ = m; }
  // With KeyPreview the surface sees every key of its inner controls first.
  bool KeyPreview() const { return keyPreview_; }
  void KeyPreview(bool v) { keyPreview_ = v; }

  // Shows a pop-up menu at (x, y); the headless realisation records it.
  struct PopupMenuRequest {
    std::string menu;
    int32_t flags = 0;
    float x = 0, y = 0;
    std::string defaultMenu;
  };
  void PopupMenu(const std::string& menu, int32_t flags, float x, float y, const std::string& defaultMenu);
  const std::vector<PopupMenuRequest>& PopupMenus() const { return popupMenus_; }

  bool Terminated() const { return terminated_; }

 protected:
  virtual void UserControl_Initialize() {}
  virtual void UserControl_InitProperties() {}
  virtual void UserControl_ReadProperties(PropertyBag&) {}
  virtual void UserControl_WriteProperties(PropertyBag&) {}
  virtual void UserControl_Show() {}
  virtual void UserControl_Hide() {}
  virtual void UserControl_Resize() {}
  virtual void UserControl_EnterFocus() {}
  virtual void UserControl_ExitFocus() {}
  virtual void UserControl_KeyDown(int16_t& /*KeyCode*/, int16_t& /*Shift*/) {}
  virtual void UserControl_KeyPress(int16_t& /*KeyAscii*/) {}
  virtual void UserControl_KeyUp(int16_t& /*KeyCode*/, int16_t& /*Shift*/) {}
  virtual void UserControl_HitTest(float& /*x*/, float& /*y*/, int16_t& /*HitResult*/) {}
  virtual void UserControl_Terminate() {}

  void OnResized() override;
  // The surface's own properties are followed by the realisation (Toolkit::MirrorSurface).
  void OnPropertyChanged(std::string_view property) override;

 private:
  friend class UserControlLifecycle;
  void AttachTo(Window* parent) { Reparent(parent); }
  ControlSite* site_ = nullptr;
  int16_t scaleMode_ = 1;
  bool keyPreview_ = false;
  bool initialized_ = false;
  bool terminated_ = false;
  std::vector<PopupMenuRequest> popupMenus_;
};

// The container's side of a user control's life.
class UserControlLifecycle {
 public:
  // Places the control on its container's window with the container's services.
  static void Site(UserControl& c, ControlSite* site, Window* parent);
  static void Initialize(UserControl& c);
  static void InitProperties(UserControl& c) { c.UserControl_InitProperties(); }
  static void ReadProperties(UserControl& c, PropertyBag& bag) { c.UserControl_ReadProperties(bag); }
  static void WriteProperties(UserControl& c, PropertyBag& bag) { c.UserControl_WriteProperties(bag); }
  static void Show(UserControl& c) { c.UserControl_Show(); }
  static void Hide(UserControl& c) { c.UserControl_Hide(); }
  static void Resize(UserControl& c) { c.UserControl_Resize(); }
  static void EnterFocus(UserControl& c) { c.UserControl_EnterFocus(); }
  static void ExitFocus(UserControl& c) { c.UserControl_ExitFocus(); }
  static void KeyDown(UserControl& c, int16_t& keyCode, int16_t& shift) { c.UserControl_KeyDown(keyCode, shift); }
  static void KeyPress(UserControl& c, int16_t& keyAscii) { c.UserControl_KeyPress(keyAscii); }
  static void KeyUp(UserControl& c, int16_t& keyCode, int16_t& shift) { c.UserControl_KeyUp(keyCode, shift); }
  static void HitTest(UserControl& c, float& x, float& y, int16_t& hitResult) { c.UserControl_HitTest(x, y, hitResult); }
  // Runs Terminate once; later calls do nothing.
  static void Terminate(UserControl& c);
};

}  // namespace tamarind::platform
