#include "presentation/basALTCOLOR.h"

#include <algorithm>
#include <new>

#include "runtime/Error.h"

namespace tamarind::basALTCOLOR {

using namespace platform;

namespace {

// The stripes are horizontal bands tiled over the list, so a picture narrower than the list
// repeats seamlessly; none needs to be wider than the widest screen (7,680 pixels, 8K). A list
// given a width far beyond any screen (from a damaged form file, say) then costs no more than a
// screen-wide one, in memory and in the saved form that keeps the picture.
constexpr int32_t kWidestScreenPx = 7680;

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
  const float width = std::min(lv.Width(), tppx * static_cast<float>(kWidestScreenPx));
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
