#pragma once
// The line control: a straight line between two points of its container, drawn in BorderColor,
// BorderWidth pixels wide. It is only drawn: it takes neither the focus nor the mouse.

#include <cstdint>

#include "platform/Control.h"

namespace tamarind::platform {

// The ends are the line's position: the control's rectangle follows them (the rectangle the two
// ends span, so a horizontal line is 0 twips high). Move the line by its ends.
class Line : public Control {
 public:
  Line(Toolkit& tk, Window* parent);

  // Twips in the container's coordinates; Error 380 for a value that is not a finite number.
  float X1() const { return x1_; }
  void X1(float v);
  float Y1() const { return y1_; }
  void Y1(float v);
  float X2() const { return x2_; }
  void X2(float v);
  float Y2() const { return y2_; }
  void Y2(float v);
  // All four ends at once (one change for the realisation).
  void Ends(float x1, float y1, float x2, float y2);

  OLE_COLOR BorderColor() const { return borderColor_; }
  void BorderColor(OLE_COLOR c);
  int16_t BorderWidth() const { return borderWidth_; }
  void BorderWidth(int16_t v);  // pixels, 1 to 8192; Error 380 otherwise

  bool Focusable() const override { return false; }

 private:
  void Place();
  float x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
  OLE_COLOR borderColor_ = vbWindowText;
  int16_t borderWidth_ = 1;
};

}  // namespace tamarind::platform
