#include "platform/Control.h"

#include <algorithm>
#include <cmath>

#include "platform/Toolkit.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind::platform {

namespace {
// Positions and sizes are finite numbers of twips; sizes are not negative.
void CheckPosition(float v) {
  if (!std::isfinite(v)) Raise(err::InvalidPropertyValue);
}
void CheckSize(float v) {
  if (!(v >= 0) || !std::isfinite(v)) Raise(err::InvalidPropertyValue);
}

int32_t NextZOrder() {
  static int32_t counter = 0;
  return ++counter;
}
}  // namespace

Control::Control(Toolkit& toolkit, std::string className, Window* parent)
    : Window(toolkit, std::move(className), parent), font_(std::make_shared<StdFont>()), zOrder_(NextZOrder()) {}

Control::~Control() {
  if (GetToolkit().Focus().Focused() == this) GetToolkit().Focus().Released(*this);
}

void Control::Left(float v) {
  CheckPosition(v);
  left_ = v;
  OnPropertyChanged("Left");
}
void Control::Top(float v) {
  CheckPosition(v);
  top_ = v;
  OnPropertyChanged("Top");
}
void Control::Width(float v) {
  CheckSize(v);
  const bool changed = v != width_;
  width_ = v;
  OnPropertyChanged("Width");
  if (changed) OnResized();
}
void Control::Height(float v) {
  CheckSize(v);
  const bool changed = v != height_;
  height_ = v;
  OnPropertyChanged("Height");
  if (changed) OnResized();
}

void Control::Move(float left, float top, float width, float height) {
  CheckPosition(left);
  CheckPosition(top);
  if (std::isnan(width) || std::isnan(height) || std::isinf(width) || std::isinf(height))
    Raise(err::InvalidPropertyValue);
  left_ = left;
  top_ = top;
  bool resized = false;
  if (width >= 0 && width != width_) {
    width_ = width;
    resized = true;
  }
  if (height >= 0 && height != height_) {
    height_ = height;
    resized = true;
  }
  OnPropertyChanged("Move");
  if (resized) OnResized();
}

void Control::Visible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (!v && HasFocus()) GetToolkit().Focus().Forget(*this);
  OnPropertyChanged("Visible");
}

void Control::Enabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  if (!v && HasFocus()) GetToolkit().Focus().Forget(*this);
  OnPropertyChanged("Enabled");
}

bool Control::IsShownAndEnabled() const {
  for (const Window* w = this; w; w = w->ParentWindow()) {
    if (const auto* c = dynamic_cast<const Control*>(w)) {
      if (!c->visible_ || !c->enabled_) return false;
    }
  }
  return true;
}

void Control::Font(const FontRef& f) {
  if (!f) Raise(err::ObjectNotSet);
  font_->CopyFrom(*f);
  OnPropertyChanged("Font");
}

void Control::ForeColor(OLE_COLOR c) {
  foreColor_ = c;
  OnPropertyChanged("ForeColor");
}
void Control::BackColor(OLE_COLOR c) {
  backColor_ = c;
  OnPropertyChanged("BackColor");
}
void Control::Appearance(int16_t v) {
  if (v < 0 || v > 1) Raise(err::InvalidPropertyValue);
  appearance_ = v;
  OnPropertyChanged("Appearance");
}
void Control::BorderStyle(int16_t v) {
  if (v < 0 || v > 1) Raise(err::InvalidPropertyValue);
  borderStyle_ = v;
  OnPropertyChanged("BorderStyle");
}
void Control::RightToLeft(bool v) {
  rightToLeft_ = v;
  OnPropertyChanged("RightToLeft");
}

void Control::SetFocus() {
  if (!Focusable() || !IsShownAndEnabled()) Raise(err::InvalidProcedureCall);
  GetToolkit().Focus().SetFocus(*this);
}

bool Control::HasFocus() const { return GetToolkit().Focus().Focused() == this; }

void Control::ZOrder(int16_t position) {
  if (position == 0) {
    zOrder_ = NextZOrder();
  } else {
    int32_t lowest = zOrder_;
    if (ParentWindow()) {
      for (const Window* w : ParentWindow()->ChildWindows())
        if (const auto* c = dynamic_cast<const Control*>(w)) lowest = std::min(lowest, c->zOrder_);
    }
    zOrder_ = lowest - 1;
  }
  OnPropertyChanged("ZOrder");
}

void Control::Refresh() {
  ++refreshCount_;
  Invalidate(true);
}

RECT Control::BoundsPx() const {
  Toolkit& tk = GetToolkit();
  const int32_t x = TwipsToPixelsX(tk, left_), y = TwipsToPixelsY(tk, top_);
  return RECT{x, y, x + TwipsToPixelsX(tk, width_), y + TwipsToPixelsY(tk, height_)};
}

void Control::SetBoundsPx(const RECT& r) {
  Toolkit& tk = GetToolkit();
  Move(PixelsToTwipsX(tk, r.left), PixelsToTwipsY(tk, r.top), PixelsToTwipsX(tk, r.Width()),
       PixelsToTwipsY(tk, r.Height()));
}

POINT Control::ClientOffsetPx() const {
  if (borderStyle_ == 0) return {};
  const int32_t b = appearance_ == 1 ? 2 : 1;
  return {b, b};
}

Control* FindControl(const Window& parent, std::string_view name) {
  const std::string wanted = text::FoldCase(name);
  for (Window* child : parent.ChildWindows()) {
    if (auto* c = dynamic_cast<Control*>(child); c && text::FoldCase(c->Name()) == wanted) return c;
    if (Control* inner = FindControl(*child, name)) return inner;
  }
  return nullptr;
}

int32_t TwipsToPixelsX(Toolkit& tk, float twips) {
  return static_cast<int32_t>(std::lround(twips / static_cast<float>(tk.GetScreen().TwipsPerPixelX())));
}
int32_t TwipsToPixelsY(Toolkit& tk, float twips) {
  return static_cast<int32_t>(std::lround(twips / static_cast<float>(tk.GetScreen().TwipsPerPixelY())));
}
float PixelsToTwipsX(Toolkit& tk, int32_t px) { return static_cast<float>(px * tk.GetScreen().TwipsPerPixelX()); }
float PixelsToTwipsY(Toolkit& tk, int32_t px) { return static_cast<float>(px * tk.GetScreen().TwipsPerPixelY()); }

}  // namespace tamarind::platform
