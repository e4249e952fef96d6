#include "platform/controls/PictureBox.h"

#include <algorithm>
#include <cmath>

#include "platform/SystemColors.h"
#include "platform/Toolkit.h"

namespace tamarind::platform {

PictureBox::PictureBox(Toolkit& tk, Window* parent)
    : Control(tk, "ThunderRT6PictureBox", parent), picture_(std::make_shared<StdPicture>()) {
  TabStop(false);
}

void PictureBox::Picture(PictureRef p) {
  picture_ = p ? std::move(p) : std::make_shared<StdPicture>();
  if (autoSize_ && !picture_->IsEmpty()) {
    Toolkit& tk = GetToolkit();
    Move(Left(), Top(), PixelsToTwipsX(tk, picture_->WidthPx()), PixelsToTwipsY(tk, picture_->HeightPx()));
  }
  OnPropertyChanged("Picture");
}

void PictureBox::AutoSize(bool v) {
  autoSize_ = v;
  if (v && (canvas_ || cleared_)) {
    EnsureCanvas();
    Toolkit& tk = GetToolkit();
    Move(Left(), Top(), PixelsToTwipsX(tk, canvas_->WidthPx()), PixelsToTwipsY(tk, canvas_->HeightPx()));
  }
}

float PictureBox::ToPxX(float v) const {
  return scaleMode_ == vbPixels ? v : v / static_cast<float>(GetToolkit().GetScreen().TwipsPerPixelX());
}
float PictureBox::ToPxY(float v) const {
  return scaleMode_ == vbPixels ? v : v / static_cast<float>(GetToolkit().GetScreen().TwipsPerPixelY());
}

void PictureBox::EnsureCanvas() const {
  const RECT b = BoundsPx();
  const int32_t w = std::max(1, b.Width()), h = std::max(1, b.Height());
  const OLE_COLOR back = ResolveColor(BackColor());
  if (!canvas_) {
    canvas_ = std::make_shared<StdPicture>(w, h, back);
  } else if (canvas_->WidthPx() != w || canvas_->HeightPx() != h) {
    // Resizing keeps what is drawn in the part that remains.
    auto grown = std::make_shared<StdPicture>(w, h, back);
    for (int32_t y = 0; y < std::min(h, canvas_->HeightPx()); ++y)
      for (int32_t x = 0; x < std::min(w, canvas_->WidthPx()); ++x) grown->SetPixel(x, y, canvas_->Pixel(x, y));
    canvas_ = grown;
  }
}

PictureRef PictureBox::Image() const {
  if (!canvas_ && !cleared_) return std::make_shared<StdPicture>();
  EnsureCanvas();
  return canvas_->Clone();
}

// The cleared bitmap is made when it is next drawn on or read, at the size the box has then: a
// box cleared and then resized never holds a bitmap of its old size.
void PictureBox::Cls() {
  canvas_.reset();
  cleared_ = true;
}

void PictureBox::FillBox(float x1, float y1, float x2, float y2, OLE_COLOR color) {
  EnsureCanvas();
  canvas_->FillRect(static_cast<int32_t>(std::lround(ToPxX(x1))), static_cast<int32_t>(std::lround(ToPxY(y1))),
                    static_cast<int32_t>(std::lround(ToPxX(x2))), static_cast<int32_t>(std::lround(ToPxY(y2))),
                    ResolveColor(color));
}

float PictureBox::TextWidth(std::string_view text) const {
  const float px = static_cast<float>(GetToolkit().Metrics().TextWidthPx(*Font(), text));
  return scaleMode_ == vbPixels ? px : px * static_cast<float>(GetToolkit().GetScreen().TwipsPerPixelX());
}

float PictureBox::TextHeight(std::string_view) const {
  const float px = static_cast<float>(GetToolkit().Metrics().TextHeightPx(*Font()));
  return scaleMode_ == vbPixels ? px : px * static_cast<float>(GetToolkit().GetScreen().TwipsPerPixelY());
}

void PictureBox::OnResized() {
  if (canvas_) EnsureCanvas();
}

}  // namespace tamarind::platform
