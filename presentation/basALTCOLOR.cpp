#include "presentation/basALTCOLOR.h"

#include "runtime/Error.h"

namespace tamarind::basALTCOLOR {

using namespace platform;

void ApplyAltLineColors(Toolkit& tk, ListView& lv, PictureBox& pic, OLE_COLOR odd, OLE_COLOR even) {
  try {
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
    const auto tppy = static_cast<float>(tk.GetScreen().TwipsPerPixelY());
    float h = 0;
    if (lv.ListItems().Count() >= 1) {
      h = lv.ListItems().Item(1)->Height();  // the list's real row height
    } else {
      h = pic.TextHeight("W") + tppy;
      if (lv.SmallIcons() && tppy * static_cast<float>(lv.SmallIcons()->ImageHeight()) > h)
        h = tppy * static_cast<float>(lv.SmallIcons()->ImageHeight() + 1);
    }
    pic.Height(2 * h);
    pic.Width(lv.Width());
    pic.FillBox(0, 0, lv.Width(), h, odd);
    pic.FillBox(0, h, lv.Width(), 2 * h, even);
    pic.AutoSize(true);
    lv.Picture(pic.Image());
    lv.Refresh();
  } catch (const Error&) {
    // The list keeps a plain background.
    ResumeEach([&] { lv.Picture(tk.LoadPicture("")); }, [&] { lv.Refresh(); });
  }
}

}  // namespace tamarind::basALTCOLOR
