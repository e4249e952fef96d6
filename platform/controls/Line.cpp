#include "platform/controls/Line.h"

#include <algorithm>
#include <cmath>

#include "runtime/Error.h"

namespace tamarind::platform {

namespace {
float CheckedEnd(float v) {
  if (!std::isfinite(v)) Raise(err::InvalidPropertyValue, "Line");
  return v;
}
}  // namespace

Line::Line(Toolkit& tk, Window* parent) : Control(tk, "Line", parent) {
  TabStop(false);
  Place();
}

void Line::X1(float v) { Ends(v, y1_, x2_, y2_); }
void Line::Y1(float v) { Ends(x1_, v, x2_, y2_); }
void Line::X2(float v) { Ends(x1_, y1_, v, y2_); }
void Line::Y2(float v) { Ends(x1_, y1_, x2_, v); }

void Line::Ends(float x1, float y1, float x2, float y2) {
  x1_ = CheckedEnd(x1);
  y1_ = CheckedEnd(y1);
  x2_ = CheckedEnd(x2);
  y2_ = CheckedEnd(y2);
  Place();
}

void Line::BorderColor(OLE_COLOR c) {
  borderColor_ = c;
  OnPropertyChanged("BorderColor");
}

void Line::BorderWidth(int16_t v) {
  if (v < 1 || v > 8192) Raise(err::InvalidPropertyValue, "Line");
  borderWidth_ = v;
  OnPropertyChanged("BorderWidth");
}

// Move tells the realisation ("Move"), which draws the line from the ends.
void Line::Place() { Move(std::min(x1_, x2_), std::min(y1_, y2_), std::fabs(x2_ - x1_), std::fabs(y2_ - y1_)); }

}  // namespace tamarind::platform
