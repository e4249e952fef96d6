#include "sorting/HeaderArrows.h"

#include "platform/Messages.h"
#include "sorting/ColumnAlignments.h"

namespace tamarind::sorting {

using namespace platform;

ImageListRef BuiltInArrowImages() {
  const OLE_COLOR green = RGB(0, 255, 0), grey = RGB(128, 128, 128), white = RGB(255, 255, 255);
  auto up = std::make_shared<StdPicture>(12, 12, green);
  auto down = std::make_shared<StdPicture>(12, 12, green);
  for (int32_t i = 0; i < 5; ++i) {
    // Up: the edges run down and outward from the apex at row 3; the base is row 8.
    up->SetPixel(5 - i, 3 + i, grey);
    up->SetPixel(6 + i, 3 + i, white);
    // Down: the top is row 3; the edges run down and inward to meet at row 8.
    down->SetPixel(1 + i, 4 + i, grey);
    down->SetPixel(10 - i, 4 + i, white);
  }
  for (int32_t x = 1; x <= 10; ++x) {
    up->SetPixel(x, 8, white);
    down->SetPixel(x, 3, grey);
  }
  auto list = std::make_shared<ImageList>();
  list->MaskColor(green);
  list->ThemeStrokes(true);  // a themed realisation draws the strokes in its header's colours
  list->Add(up);
  list->Add(down);
  return list;
}

void SetHeaderSortIcon(Toolkit& tk, ListView& list, int32_t c, int32_t k, bool show) {
  const HWND header = static_cast<HWND>(tk.Windows().SendMessage(list.hWnd(), LVM_GETHEADER, 0, 0));
  int32_t align = HDF_LEFT;
  switch (list.ColumnHeaders().Item(c + 1)->Alignment()) {
    case ColumnHeader::lvwColumnRight: align = HDF_RIGHT; break;
    case ColumnHeader::lvwColumnCenter: align = HDF_CENTER; break;
    default: break;
  }
  std::string caption = list.ColumnHeaders().Item(c + 1)->Text();
  HDITEMA item;
  item.mask = HDI_FORMAT | HDI_IMAGE;
  item.pszText = caption.data();  // not applied: HDI_TEXT is not in the mask
  item.fmt = (show ? HDF_STRING | HDF_IMAGE | HDF_BITMAP_ON_RIGHT : HDF_STRING) | align;
  item.iImage = show ? k : 0;
  tk.Windows().SendMessage(header, HDM_SETITEMA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item));
}

namespace {

// The largest arrow a header shows, in pixels; a larger SortArrowSize gets the pictures unscaled
// (which the image list refuses unless they have that size).
constexpr int32_t kLargestArrow = 256;

// A picture at size x size pixels: the host's own when it has that size, else a copy scaled to it
// (nearest pixel), so that pictures of any size become arrows of SortArrowSize. A size of 0 or
// less leaves the picture as it is; the image list then takes the first picture's size.
PictureRef AtArrowSize(const PictureRef& picture, int32_t size) {
  if (!picture || picture->IsEmpty() || size <= 0 || size > kLargestArrow ||
      (picture->WidthPx() == size && picture->HeightPx() == size))
    return picture;
  auto scaled = std::make_shared<StdPicture>(size, size);
  const int64_t width = picture->WidthPx(), height = picture->HeightPx();
  for (int32_t y = 0; y < size; ++y)
    for (int32_t x = 0; x < size; ++x)
      scaled->SetPixel(x, y, picture->Pixel(static_cast<int32_t>(x * width / size), static_cast<int32_t>(y * height / size)));
  return scaled;
}

}  // namespace

void RedrawSortArrows(Toolkit& tk, ListView& list, int32_t shownIndex) {
  for (const auto& h : list.ColumnHeaders())
    ResumeNext([&] { SetHeaderSortIcon(tk, list, h->Index() - 1, list.SortOrder(), h->Index() == shownIndex); });
}

void BindArrowImages(KestrelState& s, const std::string& alignments, bool withUnbind) {
  ListView& lv = *s.lvLIST;
  const bool custom = ResumeGet<bool>([&] {
    return s.picSDOWN->Picture()->Handle() != 0 && s.picSUP->Picture()->Handle() != 0;
  });
  if (!custom) {
    ResumeNext([&] { lv.ColumnHeaderIcons(s.imgHEADER); });
    return;
  }
  if (withUnbind) ResumeEach([&] { lv.ColumnHeaderIcons(nullptr); }, [&] { SetColumnAlignments(s.tk, lv, alignments); });
  ResumeEach([&] { s.imgCUSTOM->Clear(); },
             [&] { s.imgCUSTOM->ImageWidth(s.m_SortArrowSize); },
             [&] { s.imgCUSTOM->ImageHeight(s.m_SortArrowSize); },
             [&] { s.imgCUSTOM->Add(AtArrowSize(s.picSUP->Picture(), s.m_SortArrowSize)); },
             [&] { s.imgCUSTOM->Add(AtArrowSize(s.picSDOWN->Picture(), s.m_SortArrowSize)); },
             [&] { lv.ColumnHeaderIcons(s.imgCUSTOM); });
}

void ApplySortArrows(KestrelState& s, bool value) {
  ListView& lv = *s.lvLIST;
  std::string alignments;
  ResumeEach([&] { alignments = GetColumnAlignments(s.tk, lv); }, [&] { s.m_SortArrows = value; });
  if (value) {
    BindArrowImages(s, alignments, false);
    ResumeNext([&] { SetColumnAlignments(s.tk, lv, alignments); });
    RedrawSortArrows(s.tk, lv, lv.SortKey() + 1);
  } else {
    for (const auto& h : lv.ColumnHeaders()) ResumeNext([&] { h->Icon(Variant(int32_t{0})); });
    ResumeEach([&] { lv.ColumnHeaderIcons(nullptr); }, [&] { SetColumnAlignments(s.tk, lv, alignments); });
  }
  ResumeNext([&] { s.surface.PropertyChanged("SortArrows"); });
}

}  // namespace tamarind::sorting
