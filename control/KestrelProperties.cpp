// The property surface: every property stores its value in an inner control or a member, tells the
// container (PropertyChanged) and then runs its side effect. Unless a property is said to pass its
// errors on, a failing step is skipped and the property goes on (resume next); a failing read gives
// the empty value of the property's type.

#include "control/Kestrel.h"
#include "editing/EditorPlacement.h"
#include "runtime/Conversions.h"
#include "presentation/TitleTabsLayout.h"
#include "sorting/HeaderArrows.h"

namespace tamarind {

using namespace platform;

// --- appearance -------------------------------------------------------------------------------------------

OLE_COLOR Kestrel::BackColor() const { return ResumeGet<OLE_COLOR>([&] { return s_.lvLIST->BackColor(); }); }
void Kestrel::BackColor(OLE_COLOR v) {
  ResumeEach([&] { s_.lvLIST->BackColor(v); }, [&] { PropertyChanged("BackColor"); });
}

OLE_COLOR Kestrel::ForeColor() const { return ResumeGet<OLE_COLOR>([&] { return s_.txtBOX->ForeColor(); }); }
void Kestrel::ForeColor(OLE_COLOR v) {
  ResumeEach([&] { s_.txtBOX->ForeColor(v); }, [&] { s_.cboBOX->ForeColor(v); }, [&] { s_.lvLIST->ForeColor(v); },
             [&] { PropertyChanged("ForeColor"); });
}

FontRef Kestrel::Font() const { return ResumeGet<FontRef>([&] { return s_.txtBOX->Font(); }); }
void Kestrel::Font(const FontRef& v) {
  ResumeEach([&] { s_.txtBOX->Font(v); }, [&] { s_.cboBOX->Font(v); }, [&] { s_.lvLIST->Font(v); },
             [&] { s_.cboDATE->Font(v); }, [&] { PropertyChanged("Font"); });
}

// The font attributes reach the two text editors.
#define TAMARIND_FONT_ATTRIBUTE(Property, Type, Attribute)                                        \
  Type Kestrel::Property() const {                                                                \
    return ResumeGet<Type>([&] { return s_.txtBOX->Font()->Attribute(); });                       \
  }                                                                                                \
  void Kestrel::Property(Type v) {                                                                \
    ResumeEach([&] { s_.txtBOX->Font()->Attribute(v); }, [&] { s_.cboBOX->Font()->Attribute(v); }, \
               [&] { PropertyChanged(#Property); });                                              \
  }
TAMARIND_FONT_ATTRIBUTE(FontBold, bool, Bold)
TAMARIND_FONT_ATTRIBUTE(FontItalic, bool, Italic)
TAMARIND_FONT_ATTRIBUTE(FontStrikethru, bool, Strikethrough)
TAMARIND_FONT_ATTRIBUTE(FontUnderline, bool, Underline)
TAMARIND_FONT_ATTRIBUTE(FontSize, float, Size)
#undef TAMARIND_FONT_ATTRIBUTE

std::string Kestrel::FontName() const { return ResumeGet<std::string>([&] { return s_.txtBOX->Font()->Name(); }); }
void Kestrel::FontName(const std::string& v) {
  ResumeEach([&] { s_.txtBOX->Font()->Name(v); }, [&] { s_.cboBOX->Font()->Name(v); },
             [&] { PropertyChanged("FontName"); });
}

int16_t Kestrel::BorderStyle() const { return ResumeGet<int16_t>([&] { return s_.lvLIST->BorderStyle(); }); }
void Kestrel::BorderStyle(int16_t v) {
  ResumeEach([&] { s_.lvLIST->BorderStyle(v); }, [&] { s_.txtBOX->BorderStyle(v); },
             [&] { PropertyChanged("BorderStyle"); });
}

int16_t Kestrel::Appearance() const { return ResumeGet<int16_t>([&] { return s_.lvLIST->Appearance(); }); }
void Kestrel::Appearance(int16_t v) {
  ResumeEach([&] { s_.lvLIST->Appearance(v); }, [&] { s_.txtBOX->Appearance(v); }, [&] { s_.cboBOX->Appearance(v); },
             [&] { PropertyChanged("Appearance"); });
}

bool Kestrel::Enabled() const { return UserControl::Enabled(); }
void Kestrel::Enabled(bool v) {
  ResumeEach([&] { UserControl::Enabled(v); }, [&] { PropertyChanged("Enabled"); });
}

// --- the list's options -------------------------------------------------------------------------------------

#define TAMARIND_LIST_PROPERTY_ARG(Property, Type, Arg)                                     \
  Type Kestrel::Property() const { return ResumeGet<Type>([&] { return s_.lvLIST->Property(); }); } \
  void Kestrel::Property(Arg v) {                                                             \
    ResumeEach([&] { s_.lvLIST->Property(v); }, [&] { PropertyChanged(#Property); });         \
  }
#define TAMARIND_LIST_PROPERTY(Property, Type) TAMARIND_LIST_PROPERTY_ARG(Property, Type, Type)

TAMARIND_LIST_PROPERTY(Arrange, int16_t)
TAMARIND_LIST_PROPERTY(HideColumnHeaders, bool)
TAMARIND_LIST_PROPERTY(HideSelection, bool)
TAMARIND_LIST_PROPERTY(LabelWrap, bool)
TAMARIND_LIST_PROPERTY(FullRowSelect, bool)
TAMARIND_LIST_PROPERTY(GridLines, bool)
TAMARIND_LIST_PROPERTY(PictureAlignment, int16_t)
TAMARIND_LIST_PROPERTY(Sorted, bool)
TAMARIND_LIST_PROPERTY(SortKey, int16_t)
TAMARIND_LIST_PROPERTY(SortOrder, int16_t)
TAMARIND_LIST_PROPERTY(View, int16_t)
TAMARIND_LIST_PROPERTY(MultiSelect, bool)
TAMARIND_LIST_PROPERTY(OLEDragMode, int16_t)
TAMARIND_LIST_PROPERTY(OLEDropMode, int16_t)
TAMARIND_LIST_PROPERTY_ARG(Icons, ImageListRef, const ImageListRef&)
TAMARIND_LIST_PROPERTY_ARG(ColumnHeaderIcons, ImageListRef, const ImageListRef&)
TAMARIND_LIST_PROPERTY_ARG(Picture, PictureRef, const PictureRef&)
#undef TAMARIND_LIST_PROPERTY
#undef TAMARIND_LIST_PROPERTY_ARG

// These change the rows' height or place, so the alternating background is painted again.
bool Kestrel::Checkboxes() const { return ResumeGet<bool>([&] { return s_.lvLIST->Checkboxes(); }); }
void Kestrel::Checkboxes(bool v) {
  ResumeEach([&] { s_.lvLIST->Checkboxes(v); }, [&] { PropertyChanged("Checkboxes"); }, [&] { UserControl_Show(); });
}
bool Kestrel::AllowColumnReorder() const { return ResumeGet<bool>([&] { return s_.lvLIST->AllowColumnReorder(); }); }
void Kestrel::AllowColumnReorder(bool v) {
  ResumeEach([&] { s_.lvLIST->AllowColumnReorder(v); }, [&] { PropertyChanged("AllowColumnReorder"); },
             [&] { UserControl_Show(); });
}
ImageListRef Kestrel::SmallIcons() const { return ResumeGet<ImageListRef>([&] { return s_.lvLIST->SmallIcons(); }); }
void Kestrel::SmallIcons(const ImageListRef& v) {
  ResumeEach([&] { s_.lvLIST->SmallIcons(v); }, [&] { PropertyChanged("SmallIcons"); }, [&] { UserControl_Show(); });
}

// --- the text editor -------------------------------------------------------------------------------------------

#define TAMARIND_TEXTBOX_PROPERTY(Property, Type, Arg)                                       \
  Type Kestrel::Property() const { return ResumeGet<Type>([&] { return s_.txtBOX->Property(); }); } \
  void Kestrel::Property(Arg v) {                                                             \
    ResumeEach([&] { s_.txtBOX->Property(v); }, [&] { PropertyChanged(#Property); });         \
  }
TAMARIND_TEXTBOX_PROPERTY(Text, std::string, const std::string&)
TAMARIND_TEXTBOX_PROPERTY(PasswordChar, std::string, const std::string&)
TAMARIND_TEXTBOX_PROPERTY(SelText, std::string, const std::string&)
TAMARIND_TEXTBOX_PROPERTY(SelStart, int32_t, int32_t)
TAMARIND_TEXTBOX_PROPERTY(SelLength, int32_t, int32_t)
#undef TAMARIND_TEXTBOX_PROPERTY

int16_t Kestrel::ScrollBars() const { return ResumeGet<int16_t>([&] { return s_.txtBOX->ScrollBars(); }); }

// Right to left at run time mirrors the two text editors only; a saved instance mirrors the list
// when it is loaded.
bool Kestrel::RightToLeft() const { return s_.txtBOX->RightToLeft(); }
void Kestrel::RightToLeft(bool v) {
  s_.txtBOX->RightToLeft(v);
  s_.cboBOX->RightToLeft(v);
  PropertyChanged("RightToLeft");
}

// --- the drop-down editor -------------------------------------------------------------------------------------

std::string Kestrel::DropDownText() const { return ResumeGet<std::string>([&] { return s_.cboBOX->Text(); }); }
void Kestrel::DropDownText(const std::string& v) {
  ResumeEach([&] { s_.cboBOX->Text(v); }, [&] { PropertyChanged("DropDownText"); });
}
int16_t Kestrel::ListIndex() const {
  return ResumeGet<int16_t>([&] { return static_cast<int16_t>(s_.cboBOX->ListIndex()); });
}
void Kestrel::ListIndex(int16_t v) {
  ResumeEach([&] { s_.cboBOX->ListIndex(v); }, [&] { PropertyChanged("ListIndex"); });
}
std::string Kestrel::List(int16_t index) const { return ResumeGet<std::string>([&] { return s_.cboBOX->List(index); }); }
void Kestrel::List(int16_t index, const std::string& v) {
  ResumeEach([&] { s_.cboBOX->List(index, v); }, [&] { PropertyChanged("List"); });
}
int32_t Kestrel::ItemData(int16_t index) const { return ResumeGet<int32_t>([&] { return s_.cboBOX->ItemData(index); }); }
void Kestrel::ItemData(int16_t index, int32_t v) {
  ResumeEach([&] { s_.cboBOX->ItemData(index, v); }, [&] { PropertyChanged("ItemData"); });
}
int16_t Kestrel::ListCount() const {
  return ResumeGet<int16_t>([&] { return static_cast<int16_t>(s_.cboBOX->ListCount()); });
}
int16_t Kestrel::NewIndex() const {
  return ResumeGet<int16_t>([&] { return static_cast<int16_t>(s_.cboBOX->NewIndex()); });
}
int16_t Kestrel::Style() const { return ResumeGet<int16_t>([&] { return s_.cboBOX->Style(); }); }

void Kestrel::DropWidth(int32_t v) {
  ResumeEach([&] { s_.m_DropWidth = v; }, [&] { PropertyChanged("DropWidth"); });
}
void Kestrel::DropLines(int32_t& v) {
  if (v < 8) v = 8;  // fewer lines than this make the list no easier to read
  ResumeEach([&] { s_.m_DropLines = v; }, [&] { PropertyChanged("DropLines"); });
}
void Kestrel::DropLines(const int32_t& v) {
  int32_t copy = v;
  DropLines(copy);
}
void Kestrel::DropDelay(int32_t v) {
  ResumeEach([&] { s_.m_DropDelay = v; }, [&] { PropertyChanged("DropDelay"); });
}

// --- the calendar editor ---------------------------------------------------------------------------------------

#define TAMARIND_CALENDAR_COLOR(Property)                                                           \
  OLE_COLOR Kestrel::Property() const { return ResumeGet<OLE_COLOR>([&] { return s_.cboDATE->Property(); }); } \
  void Kestrel::Property(OLE_COLOR v) {                                                              \
    ResumeEach([&] { s_.cboDATE->Property(v); }, [&] { PropertyChanged(#Property); });               \
  }
TAMARIND_CALENDAR_COLOR(CalendarBackColor)
TAMARIND_CALENDAR_COLOR(CalendarForeColor)
TAMARIND_CALENDAR_COLOR(CalendarTitleBackColor)
TAMARIND_CALENDAR_COLOR(CalendarTitleForeColor)
TAMARIND_CALENDAR_COLOR(CalendarTrailingForeColor)
#undef TAMARIND_CALENDAR_COLOR

// --- title bar and tabs ------------------------------------------------------------------------------------------

bool Kestrel::Titlebar() const { return ResumeGet<bool>([&] { return s_.lblTITLE->Visible(); }); }
void Kestrel::Titlebar(bool v) {
  ResumeEach([&] { s_.lblTITLE->Visible(v); }, [&] { PropertyChanged("TitleBar"); }, [&] { UserControl_Resize(); });
}
std::string Kestrel::TitleCaption() const { return ResumeGet<std::string>([&] { return s_.lblTITLE->Caption(); }); }
void Kestrel::TitleCaption(const std::string& v) {
  ResumeEach([&] { s_.lblTITLE->Caption(v); }, [&] { PropertyChanged("TitleCaption"); });
}
int32_t Kestrel::TitleHeight() const {
  return ResumeGet<int32_t>([&] { return CLng(Variant(static_cast<double>(s_.lblTITLE->Height()))); });
}
void Kestrel::TitleHeight(int32_t v) {
  ResumeEach(
      [&] {
        if (v < 0 || v > kMaxTitleHeight) Raise(err::InvalidPropertyValue, "Kestrel");
        s_.lblTITLE->Height(static_cast<float>(v));
      },
      [&] { PropertyChanged("TitleHeight"); }, [&] { UserControl_Resize(); });
}
OLE_COLOR Kestrel::TitleBackColor() const { return ResumeGet<OLE_COLOR>([&] { return s_.lblTITLE->BackColor(); }); }
void Kestrel::TitleBackColor(OLE_COLOR v) {
  ResumeEach([&] { s_.lblTITLE->BackColor(v); }, [&] { PropertyChanged("TitleBackColor"); });
}
OLE_COLOR Kestrel::TitleForeColor() const { return ResumeGet<OLE_COLOR>([&] { return s_.lblTITLE->ForeColor(); }); }
void Kestrel::TitleForeColor(OLE_COLOR v) {
  ResumeEach([&] { s_.lblTITLE->ForeColor(v); }, [&] { PropertyChanged("TitleForeColor"); });
}
FontRef Kestrel::TitleFont() const { return ResumeGet<FontRef>([&] { return s_.lblTITLE->Font(); }); }
void Kestrel::TitleFont(const FontRef& v) {
  ResumeEach([&] { s_.lblTITLE->Font(v); }, [&] { PropertyChanged("TitleFont"); });
}

bool Kestrel::Tabs() const { return s_.TabCTL->Visible(); }
void Kestrel::Tabs(bool v) { presentation::SetTabs(s_, v); }
std::string Kestrel::TabCaptions() const { return presentation::GetTabCaptions(s_); }
void Kestrel::TabCaptions(const std::string& v) { presentation::SetTabCaptions(s_, v); }
TabStyles Kestrel::TabStyle() const { return static_cast<TabStyles>(s_.TabCTL->Style()); }
void Kestrel::TabStyle(TabStyles v) {
  s_.TabCTL->Style(static_cast<int16_t>(v));
  PropertyChanged("TabStyle");
}
TabPlacements Kestrel::TabPlacement() const { return static_cast<TabPlacements>(s_.TabCTL->Placement()); }
void Kestrel::TabPlacement(TabPlacements v) {
  s_.TabCTL->Placement(static_cast<int16_t>(v));
  PropertyChanged("TabPlacement");
  UserControl_Resize();
}
int32_t Kestrel::SelectedTab() const {
  return ResumeGet<int32_t>([&] {
    Tab* t = s_.TabCTL->SelectedItem();
    if (!t) Raise(err::ObjectNotSet, "Kestrel");
    return t->Index();
  });
}
void Kestrel::SelectedTab(int32_t v) {
  ResumeNext([&] { s_.TabCTL->Item(v).Selected(true); });
}

// --- alternating row colours: errors reach the caller ---------------------------------------------------------

void Kestrel::LineEvenColor(OLE_COLOR v) {
  s_.m_LineEvenColor = v;
  PropertyChanged("LineEvenColor");
  UserControl_Show();
}
void Kestrel::LineOddColor(OLE_COLOR v) {
  s_.m_LineOddColor = v;
  PropertyChanged("LineOddColor");
  UserControl_Show();
}
void Kestrel::LineAltColor(bool v) {
  s_.m_LineAltColor = v;
  PropertyChanged("LineAltColor");
  if (!v) s_.lvLIST->Picture(nullptr);  // the stripes go; the host's own picture is not brought back
  UserControl_Show();
}

// --- sorting ------------------------------------------------------------------------------------------------

void Kestrel::SmartColumnSort(bool v) {
  ResumeEach([&] { s_.m_SmartColumnSort = v; }, [&] { PropertyChanged("SmartColumnSort"); }, [&] {
    if (v) AutoSort(true);
  });
}
void Kestrel::AutoSort(bool v) {
  ResumeEach([&] { s_.m_AutoSort = v; }, [&] { PropertyChanged("AutoSort"); }, [&] {
    if (v) Sorted(true);
  });
}
void Kestrel::SortArrows(bool v) { sorting::ApplySortArrows(s_, v); }
void Kestrel::SortArrowSize(int32_t v) {
  s_.m_SortArrowSize = v;
  PropertyChanged("SortArrowSize");
}
PictureRef Kestrel::SortArrowUpPicture() const { return ResumeGet<PictureRef>([&] { return s_.picSUP->Picture(); }); }
void Kestrel::SortArrowUpPicture(const PictureRef& v) {
  ResumeEach([&] { s_.picSUP->Picture(v); }, [&] { PropertyChanged("SortArrowUpPicture"); });
}
PictureRef Kestrel::SortArrowDownPicture() const {
  return ResumeGet<PictureRef>([&] { return s_.picSDOWN->Picture(); });
}
void Kestrel::SortArrowDownPicture(const PictureRef& v) {
  ResumeEach([&] { s_.picSDOWN->Picture(v); }, [&] { PropertyChanged("SortArrowDownPicture"); });
}

// --- sounds, column order, printing, the current cell ---------------------------------------------------------

void Kestrel::PlaySounds(bool v) {
  ResumeEach([&] { s_.m_PlaySounds = v; }, [&] { PropertyChanged("PlaySounds"); });
}
void Kestrel::ColOrderAppName(const std::string& v) {
  s_.m_ColOrderAppName = v;
  PropertyChanged("ColOrderAppName");
}
void Kestrel::ColOrderSettingName(const std::string& v) {
  s_.m_ColOrderSettingName = v;
  PropertyChanged("ColOrderSettingName");
}
void Kestrel::PrintingReportHeader(const std::string& v) {
  s_.m_PrintingReportHeader = v;
  PropertyChanged("PrintingReportHeader");
}
void Kestrel::SubItemClicked(int32_t v) { s_.SetSubItemClicked(v); }

ListItemRef Kestrel::SelectedItem() const {
  return ResumeGet<ListItemRef>([&] { return s_.lvLIST->SelectedItem(); });
}

}  // namespace tamarind
