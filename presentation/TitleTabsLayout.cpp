#include "presentation/TitleTabsLayout.h"

#include "presentation/basTOKENS.h"

namespace tamarind::presentation {

namespace {
// The list overlaps the tab strip by this much on the side facing the list.
constexpr float kTabOverlap = 50;
}  // namespace

void LayOut(KestrelState& s, bool tabsWanted, bool refreshPicture) {
  platform::ListView& lv = *s.lvLIST;
  const float sw = s.surface.ScaleWidth(), sh = s.surface.ScaleHeight();
  ResumeNext([&] { lv.Width(sw); });
  if (s.lblTITLE->Visible()) {
    const float th = s.lblTITLE->Height();
    ResumeEach([&] { lv.Height(sh - th); }, [&] { lv.Top(th); }, [&] { s.lblTITLE->Top(0); },
               [&] { s.lblTITLE->Left(0); }, [&] { s.lblTITLE->Width(sw); });
  } else if (tabsWanted) {
    const float th = s.TabCTL->Height();
    if (s.TabCTL->Placement() == tplaceTOP) {
      ResumeEach([&] { s.TabCTL->Move(0, 0, sw); }, [&] { lv.Move(0, th - kTabOverlap, sw, sh - (th - kTabOverlap)); });
    } else {
      ResumeEach([&] { s.TabCTL->Move(0, sh - th, sw); }, [&] { lv.Move(0, 0, sw, sh - (th - kTabOverlap)); });
    }
  } else {
    ResumeEach([&] { lv.Height(sh); }, [&] { lv.Top(0); });
  }
  if (refreshPicture) {
    ResumeNext([&] {
      const int16_t align = lv.PictureAlignment();
      if (!s.m_LineAltColor && !lv.Picture()->IsEmpty() && align != platform::ListView::lvwTopLeft &&
          align != platform::ListView::lvwTile)
        lv.Refresh();
    });
  }
}

void SetTabs(KestrelState& s, bool value) {
  s.TabCTL->Visible(value);
  s.m_Tabs = value;
  LayOut(s, value, false);
  s.surface.PropertyChanged("Tabs");
}

std::string GetTabCaptions(const KestrelState& s) {
  std::string text;
  for (int32_t i = 1; i <= s.TabCTL->Count(); ++i) {
    const std::string& caption = s.TabCTL->Item(i).Caption();
    text += text.empty() ? caption : "|" + caption;
  }
  return text;
}

void SetTabCaptions(KestrelState& s, const std::string& captions) {
  ResumeNext([&] { s.TabCTL->Clear(); });
  std::string rest = captions;
  const int16_t n = basTOKENS::CountTokens(s.tk, rest, "|");
  for (int16_t i = 0; i < n; ++i) ResumeNext([&] { s.TabCTL->Add(0, {}, basTOKENS::GetToken(s.tk, rest, "|")); });
  ResumeNext([&] { s.surface.PropertyChanged("TabCaptions"); });
}

void WireTitleAndTabs(KestrelState& s) {
  s.lblTITLE->MouseUp.Connect([&s](int16_t& button, int16_t&, float&, float&) {
    ResumeNext([&] { s.Events().TitleBarClick(button); });
  });
  s.TabCTL->Click.Connect([&s] {
    ResumeNext([&] {
      platform::Tab* selected = s.TabCTL->SelectedItem();
      if (!selected) Raise(err::ObjectNotSet, "Kestrel");
      int32_t index = selected->Index();  // the host may change it; nothing reads it back
      s.Events().TabClick(index);
    });
  });
}

}  // namespace tamarind::presentation
