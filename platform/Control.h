#pragma once
// A control: a window with a position in twips inside its container, visibility, focus, a font,
// colours, a Tag, and the events every control raises.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Event.h"
#include "platform/Font.h"
#include "platform/Types.h"
#include "platform/Window.h"

namespace tamarind::platform {

class Control : public Window {
 public:
  Control(Toolkit& toolkit, std::string className, Window* parent);
  ~Control() override;

  const std::string& Name() const { return name_; }
  void Name(std::string n) { name_ = std::move(n); }

  // Position and size in twips, in the container's coordinates.
  float Left() const { return left_; }
  float Top() const { return top_; }
  float Width() const { return width_; }
  float Height() const { return height_; }
  void Left(float v);
  void Top(float v);
  void Width(float v);
  void Height(float v);
  // Negative width or height keeps the current one. Error 380 for a position or size that is not
  // a finite number (and, in Width and Height, for a negative size).
  void Move(float left, float top, float width = -1, float height = -1);

  bool Visible() const { return visible_; }
  void Visible(bool v);
  bool Enabled() const { return enabled_; }
  void Enabled(bool v);
  // Visible and enabled, with every containing control visible and enabled too.
  bool IsShownAndEnabled() const;

  bool TabStop() const { return tabStop_; }
  void TabStop(bool v) { tabStop_ = v; }
  int16_t TabIndex() const { return tabIndex_; }
  void TabIndex(int16_t v) { tabIndex_ = v; }
  bool CausesValidation() const { return causesValidation_; }
  void CausesValidation(bool v) { causesValidation_ = v; }
  const std::string& Tag() const { return tag_; }
  void Tag(std::string v) { tag_ = std::move(v); }
  const std::string& ToolTipText() const { return toolTipText_; }
  void ToolTipText(std::string v) { toolTipText_ = std::move(v); }

  // The control's own font; setting copies the attributes (Error 91 for no font).
  const FontRef& Font() const { return font_; }
  void Font(const FontRef& f);
  OLE_COLOR ForeColor() const { return foreColor_; }
  void ForeColor(OLE_COLOR c);
  OLE_COLOR BackColor() const { return backColor_; }
  void BackColor(OLE_COLOR c);
  int16_t Appearance() const { return appearance_; }  // 0 flat, 1 3-D
  void Appearance(int16_t v);
  int16_t BorderStyle() const { return borderStyle_; }  // 0 none, 1 fixed single
  void BorderStyle(int16_t v);
  bool RightToLeft() const { return rightToLeft_; }
  void RightToLeft(bool v);

  // Whether this kind of control can hold the keyboard focus at all (labels cannot).
  virtual bool Focusable() const { return true; }
  // Error 5 when the control is hidden, disabled or cannot take the focus.
  void SetFocus();
  bool HasFocus() const;

  // 0 brings the control in front of its siblings, 1 sends it behind them.
  void ZOrder(int16_t position = 0);
  // Position in the container's drawing order; the highest is in front.
  int32_t ZOrderIndex() const { return zOrder_; }

  // The focus arrived: what the control itself does before its GotFocus event is raised.
  virtual void OnFocusReceived() {}

  // Repaints the control now.
  virtual void Refresh();
  int32_t RefreshCount() const { return refreshCount_; }

  RECT BoundsPx() const override;
  void SetBoundsPx(const RECT& r) override;
  POINT ClientOffsetPx() const override;

  std::string WindowText() const override { return name_; }

  Event<> GotFocus;
  Event<> LostFocus;
  Event<bool&> Validate;  // Cancel
  Event<> Click;
  Event<> DblClick;
  Event<int16_t&, int16_t&> KeyDown;  // KeyCode, Shift
  Event<int16_t&> KeyPress;           // KeyAscii
  Event<int16_t&, int16_t&> KeyUp;    // KeyCode, Shift
  Event<int16_t&, int16_t&, float&, float&> MouseDown;  // Button, Shift, x, y (twips, control coordinates)
  Event<int16_t&, int16_t&, float&, float&> MouseMove;
  Event<int16_t&, int16_t&, float&, float&> MouseUp;

 protected:
  // A realisation that mirrors controls in real widgets hooks here; the name is the property's.
  virtual void OnPropertyChanged(std::string_view /*property*/) {}
  // The control's size changed.
  virtual void OnResized() {}

 private:
  std::string name_;
  float left_ = 0, top_ = 0, width_ = 1215, height_ = 375;
  bool visible_ = true, enabled_ = true, tabStop_ = true, causesValidation_ = true, rightToLeft_ = false;
  int16_t tabIndex_ = 0, appearance_ = 1, borderStyle_ = 1;
  std::string tag_, toolTipText_;
  FontRef font_;
  OLE_COLOR foreColor_ = vbWindowText, backColor_ = vbWindowBackground;
  int32_t zOrder_ = 0;
  int32_t refreshCount_ = 0;
};

// The control of that name among the windows inside parent (its children, theirs, and so on),
// matched without regard to letter case as the runtime's Controls collection does; nullptr when
// none has it. A host reaches the parts of a composite control its user sees this way.
Control* FindControl(const Window& parent, std::string_view name);
template <class C>
C* FindControl(const Window& parent, std::string_view name) {
  return dynamic_cast<C*>(FindControl(parent, name));
}

// Pixels and twips through the screen's twips per pixel.
int32_t TwipsToPixelsX(Toolkit& tk, float twips);
int32_t TwipsToPixelsY(Toolkit& tk, float twips);
float PixelsToTwipsX(Toolkit& tk, int32_t px);
float PixelsToTwipsY(Toolkit& tk, int32_t px);

}  // namespace tamarind::platform
