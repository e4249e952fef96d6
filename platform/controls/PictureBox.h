#pragma once
// The intrinsic picture box: shows a Picture and, with AutoRedraw, keeps what is drawn on it in a
// persistent bitmap (Image).

#include <cstdint>
#include <string_view>

#include "platform/Control.h"
#include "platform/Picture.h"

namespace tamarind::platform {

class PictureBox : public Control {
 public:
  static constexpr int16_t vbTwips = 1;
  static constexpr int16_t vbPixels = 3;

  PictureBox(Toolkit& tk, Window* parent);

  // Never null: an empty picture when none is set.
  const PictureRef& Picture() const { return picture_; }
  void Picture(PictureRef p);
  // The persistent bitmap of what was drawn (AutoRedraw), the size of the control.
  PictureRef Image() const;

  bool AutoRedraw() const { return autoRedraw_; }
  void AutoRedraw(bool v) { autoRedraw_ = v; }
  bool AutoSize() const { return autoSize_; }
  void AutoSize(bool v);
  int16_t ScaleMode() const { return scaleMode_; }
  void ScaleMode(int16_t m) { scaleMode_ = m; }

  // Clears the drawing to the back colour.
  void Cls();
  // A filled box (the Line method with B and F) from (x1, y1) to (x2, y2) in scale units.
  void FillBox(float x1, float y1, float x2, float y2, OLE_COLOR color);
  // Text size in the picture box's font, in scale units.
  float TextWidth(std::string_view text) const;
  float TextHeight(std::string_view text) const;

  bool Focusable() const override { return false; }

 protected:
  void OnResized() override;

 private:
  float ToPxX(float v) const;
  float ToPxY(float v) const;
  void EnsureCanvas() const;
  PictureRef picture_;
  mutable PictureRef canvas_;
  bool cleared_ = false;  // Cls ran: the bitmap exists, in the back colour, once it is needed
  bool autoRedraw_ = false, autoSize_ = false;
  int16_t scaleMode_ = vbTwips;
};

}  // namespace tamarind::platform
