#include "presentation/basALTCOLOR.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

#include "runtime/Error.h"

namespace tamarind::basALTCOLOR {

using namespace platform;

namespace {

// The stripes are horizontal bands tiled over the list, so a picture narrower than the list
// repeats seamlessly and looks exactly the same. The picture is as wide as the list, but never
// wider than the widest screen (7,680 pixels, 8K), and never more pixels than kStripePixelBudget:
// tall bands (a list whose image list or font makes rows thousands of pixels high) get a narrower
// tile instead. A list of any nominal size (from a damaged form file, say) then costs at most a
// few megabytes to paint, to hand to the list and to keep in a saved form, and the work grows with
// the band height alone, which the largest bitmap bounds.
constexpr int32_t kWidestScreenPx = 7680;
// 256 KB of pixels: bands up to 17 px high keep a width of 1,927 pixels, more than most screens.
constexpr int64_t kStripePixelBudget = int64_t{1} << 16;

// The stripe picture's width in pixels for bands of bandPx pixels on a list listPx pixels wide.
int32_t StripeWidthPx(float listPx, float bandPx) {
  const int64_t byBudget = kStripePixelBudget / std::max<int64_t>(1, std::llround(2.0 * std::max(1.0f, bandPx)));
  const auto widest = static_cast<float>(std::clamp<int64_t>(byBudget, 1, kWidestScreenPx));
  return static_cast<int32_t>(std::lround(std::min(listPx, widest)));
}

void Paint(Toolkit& tk, ListView& lv, PictureBox& pic, OLE_COLOR odd, OLE_COLOR even) {
  lv.Picture(tk.LoadPicture(""));
  lv.Refresh();
  pic.Cls();
  pic.AutoRedraw(true);
  pic.BorderStyle(0);
  pic.ScaleMode(PictureBox::vbTwips);
  pic.Visible(false);
  lv.PictureAlignment(ListView::lvwTile);
  pic.Font(lv.Font());
  pic.Refresh();
  const auto tppx = static_cast<float>(tk.GetScreen().TwipsPerPixelX());
  const auto tppy = static_cast<float>(tk.GetScreen().TwipsPerPixelY());
  float h = 0;
  if (lv.ListItems().Count() >= 1) {
    h = lv.ListItems().Item(1)->Height();  // the list's real row height
  } else {
    h = pic.TextHeight("W") + tppy;
    // The icon height plus one pixel, counted in floating point: an image list of any size fits.
    const float iconHeight = lv.SmallIcons() ? static_cast<float>(lv.SmallIcons()->ImageHeight()) : 0.0f;
    if (tppy * iconHeight > h) h = tppy * (iconHeight + 1.0f);
  }
  const float width = std::min(lv.Width(), tppx * static_cast<float>(StripeWidthPx(lv.Width() / tppx, h / tppy)));
  pic.Height(2 * h);
  pic.Width(width);
  pic.FillBox(0, 0, width, h, odd);
  pic.FillBox(0, h, width, 2 * h, even);
  pic.AutoSize(true);
  lv.Picture(pic.Image());
  lv.Refresh();
}

}  // namespace

void ApplyAltLineColors(Toolkit& tk, ListView& lv, PictureBox& pic, OLE_COLOR odd, OLE_COLOR even) {
  // Any error, a picture too large to allocate among them (Error 7), leaves the plain background.
  if (!ResumeNext([&] { Paint(tk, lv, pic, odd, even); }))
    ResumeEach([&] { lv.Picture(tk.LoadPicture("")); }, [&] { lv.Refresh(); });
}

}  // namespace tamarind::basALTCOLOR
