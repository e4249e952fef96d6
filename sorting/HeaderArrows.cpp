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

void ApplySortArrows(KestrelState& s, bool value) {
  ListView& lv = *s.lvLIST;
  std::string alignments;
  ResumeEach([&] { alignments = GetColumnAlignments(s.tk, lv); }, [&] { s.m_SortArrows = value; });
  if (value) {
    const bool custom = !s.picSDOWN->Picture()->IsEmpty() && !s.picSUP->Picture()->IsEmpty();
    if (custom) {
      ResumeEach([&] { s.imgCUSTOM->Clear(); },
                 [&] { s.imgCUSTOM->ImageWidth(s.m_SortArrowSize); },
                 [&] { s.imgCUSTOM->ImageHeight(s.m_SortArrowSize); },
                 [&] { s.imgCUSTOM->Add(s.picSUP->Picture()); },
                 [&] { s.imgCUSTOM->Add(s.picSDOWN->Picture()); },
                 [&] { lv.ColumnHeaderIcons(s.imgCUSTOM); });
    } else {
      ResumeNext([&] { lv.ColumnHeaderIcons(s.imgHEADER); });
    }
    ResumeNext([&] { SetColumnAlignments(s.tk, lv, alignments); });
    for (const auto& h : lv.ColumnHeaders())
      ResumeNext([&] { SetHeaderSortIcon(s.tk, lv, h->Index() - 1, lv.SortOrder(), h->Index() - 1 == lv.SortKey()); });
  } else {
    for (const auto& h : lv.ColumnHeaders()) ResumeNext([&] { h->Icon(Variant(int32_t{0})); });
    ResumeEach([&] { lv.ColumnHeaderIcons(nullptr); }, [&] { SetColumnAlignments(s.tk, lv, alignments); });
  }
  ResumeNext([&] { s.surface.PropertyChanged("SortArrows"); });
}

}  // namespace tamarind::sorting
