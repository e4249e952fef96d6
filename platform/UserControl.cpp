#include "platform/UserControl.h"

#include "platform/Toolkit.h"

namespace tamarind::platform {

UserControl::UserControl(Toolkit& tk, std::string className) : Control(tk, std::move(className), nullptr) {
  BorderStyle(0);  // the surface draws no border of its own
}

UserControl::~UserControl() { GetToolkit().MirrorSurface(*this, "Released"); }

void UserControl::OnPropertyChanged(std::string_view property) { GetToolkit().MirrorSurface(*this, property); }

AmbientProperties UserControl::Ambient() const {
  AmbientProperties a;
  if (site_) {
    a.UserMode = site_->UserMode();
    a.Font = site_->AmbientFont();
  }
  if (!a.Font) a.Font = std::make_shared<StdFont>();
  return a;
}

void UserControl::PropertyChanged(std::string_view propertyName) {
  if (site_) site_->PropertyChanged(*this, propertyName);
}

void UserControl::PopupMenu(const std::string& menu, int32_t flags, float x, float y, const std::string& defaultMenu) {
  popupMenus_.push_back({menu, flags, x, y, defaultMenu});
}

void UserControl::OnResized() {
  if (initialized_ && !terminated_) UserControl_Resize();
}

void UserControlLifecycle::Site(UserControl& c, ControlSite* site, Window* parent) {
  c.site_ = site;
  c.AttachTo(parent);
  c.GetToolkit().MirrorSurface(c, "Parent");
}

void UserControlLifecycle::Initialize(UserControl& c) {
  c.initialized_ = true;
  c.UserControl_Initialize();
}

void UserControlLifecycle::Terminate(UserControl& c) {
  if (c.terminated_) return;
  c.terminated_ = true;
  c.UserControl_Terminate();
}

}  // namespace tamarind::platform
