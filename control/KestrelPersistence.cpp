// Saving and loading the control's design-time state through the container's property bag.
//
// Loading reads every key in a fixed order and puts each value straight into its destination (an
// inner control or a member), without the property's side effects, except for the keys applied
// through their property (tab captions, pictures, image lists, the arrow size). Saving writes the
// same keys in the same order. Both run in resume-next mode: a value a control rejects is dropped.

#include "control/Kestrel.h"
#include "core/PaintingLock.h"
#include "presentation/TitleTabsLayout.h"
#include "runtime/Conversions.h"

namespace tamarind {

using namespace platform;

namespace {

// Colours are saved as the platform's 32-bit values (system colours read as negative numbers).
Variant ColorValue(OLE_COLOR c) { return Variant(static_cast<int32_t>(c)); }
OLE_COLOR ToColor(const Variant& v) {
  if (v.Type() == VarType::Long) return static_cast<OLE_COLOR>(v.AsLong());
  const double d = CDbl(v);
  if (d < -2147483648.0 || d > 4294967295.0) Raise(err::Overflow, "Kestrel");
  return d < 0 ? static_cast<OLE_COLOR>(static_cast<int32_t>(d)) : static_cast<OLE_COLOR>(d);
}
FontRef ToFont(const Variant& v) {
  auto f = v.As<StdFont>();
  if (!f) Raise(err::ObjectNotSet, "Kestrel");
  return f;
}
std::string AsText(const Variant& v) { return CStr(v); }

constexpr OLE_COLOR kWhite = 0x00FFFFFF;
constexpr const char* kDefaultTabs = "Tab 1|Tab 2|Tab 3";

}  // namespace

void Kestrel::UserControl_ReadProperties(PropertyBag& bag) {
  KestrelState& s = s_;
  auto read = [&](const char* name, const Variant& def) { return bag.ReadProperty(name, def); };
  const Variant ambientFont(Ambient().Font);
  ResumeEach(
      [&] { s.m_LineEvenColor = ToColor(read("LineEvenColor", ColorValue(kWhite))); },
      [&] { s.m_LineOddColor = ToColor(read("LineOddColor", ColorValue(kWhite))); },
      [&] { s.m_LineAltColor = CBool(read("LineAltColor", false)); },
      [&] { s.lvLIST->BackColor(ToColor(read("BackColor", ColorValue(vbWindowBackground)))); },
      [&] { s.txtBOX->ForeColor(ToColor(read("ForeColor", ColorValue(vbWindowText)))); },
      [&] { UserControl::Enabled(CBool(read("Enabled", true))); },
      [&] { s.txtBOX->Font(ToFont(read("Font", ambientFont))); },
      [&] { s.cboBOX->Font(ToFont(read("Font", ambientFont))); },
      [&] { s.lvLIST->Font(ToFont(read("Font", ambientFont))); },
      [&] { s.cboDATE->Font(ToFont(read("Font", ambientFont))); },
      [&] { s.lblTITLE->Font(ToFont(read("TitleFont", ambientFont))); },
      [&] { s.lvLIST->BorderStyle(CInt(read("BorderStyle", int16_t{1}))); },
      [&] { s.lvLIST->Appearance(CInt(read("Appearance", int16_t{1}))); },
      [&] { s.lvLIST->Arrange(CInt(read("Arrange", int16_t{0}))); },
      [&] { s.lvLIST->Checkboxes(CBool(read("Checkboxes", false))); },
      [&] { s.lvLIST->AllowColumnReorder(CBool(read("AllowColumnReorder", false))); },
      [&] { ColumnHeaderIcons(read("ColumnHeaderIcons", Variant::Nothing()).As<ImageList>()); },
      [&] { s.txtBOX->Font()->Bold(CBool(read("FontBold", int16_t{0}))); },
      [&] { s.txtBOX->Font()->Italic(CBool(read("FontItalic", int16_t{0}))); },
      [&] { s.txtBOX->Font()->Name(AsText(read("FontName", "Verdana"))); },
      [&] { s.txtBOX->Font()->Size(CSng(read("FontSize", int16_t{8}))); },
      [&] { s.txtBOX->Font()->Strikethrough(CBool(read("FontStrikethru", int16_t{0}))); },
      [&] { s.txtBOX->Font()->Underline(CBool(read("FontUnderline", int16_t{0}))); },
      [&] { s.lvLIST->FullRowSelect(CBool(read("FullRowSelect", false))); },
      [&] { s.lvLIST->GridLines(CBool(read("GridLines", false))); },
      [&] { s.lvLIST->HideColumnHeaders(CBool(read("HideColumnHeaders", false))); },
      [&] { s.lvLIST->HideSelection(CBool(read("HideSelection", true))); },
      [&] { Icons(read("Icons", Variant::Nothing()).As<ImageList>()); },
      [&] { s.cboBOX->List(0, AsText(read("List0", ""))); },
      [&] { s.txtBOX->PasswordChar(AsText(read("PasswordChar", ""))); },
      [&] { Picture(read("Picture", Variant::Nothing()).As<StdPicture>()); },
      [&] { SortArrowUpPicture(read("SortArrowUpPicture", Variant::Nothing()).As<StdPicture>()); },
      [&] { SortArrowDownPicture(read("SortArrowDownPicture", Variant::Nothing()).As<StdPicture>()); },
      [&] { s.lvLIST->PictureAlignment(CInt(read("PictureAlignment", int16_t{0}))); },
      [&] { s.txtBOX->SelLength(CLng(read("SelLength", int32_t{0}))); },
      [&] { s.txtBOX->SelStart(CLng(read("SelStart", int32_t{0}))); },
      [&] { s.txtBOX->SelText(AsText(read("SelText", ""))); },
      [&] { SmallIcons(read("SmallIcons", Variant::Nothing()).As<ImageList>()); },
      [&] { s.lvLIST->Sorted(CBool(read("Sorted", false))); },
      [&] { s.lvLIST->SortKey(CInt(read("SortKey", int16_t{0}))); },
      [&] { s.lvLIST->SortOrder(CInt(read("SortOrder", int16_t{0}))); },
      [&] { s.txtBOX->Text(AsText(read("Text", ""))); },
      [&] { s.lvLIST->View(CInt(read("View", int16_t{0}))); },
      [&] { s.m_SubItemClicked = CLng(read("SubItemClicked", int32_t{0})); },
      [&] { s.m_ColOrderAppName = AsText(read("ColOrderAppName", "")); },
      [&] { s.m_ColOrderSettingName = AsText(read("ColOrderSettingName", "")); },
      [&] { s.cboBOX->Text(AsText(read("DropDownText", "cboBOX"))); },
      [&] { s.cboBOX->ListIndex(CInt(read("ListIndex", int16_t{0}))); },
      [&] { s.cboBOX->ItemData(0, CLng(read("ItemData0", int32_t{0}))); },
      [&] { s.m_AutoSort = CBool(read("AutoSort", int16_t{0})); },
      [&] { s.cboDATE->CalendarTrailingForeColor(ToColor(read("CalendarTrailingForeColor", ColorValue(vbGrayText)))); },
      [&] { s.cboDATE->CalendarTitleForeColor(ToColor(read("CalendarTitleForeColor", ColorValue(vbButtonText)))); },
      [&] { s.cboDATE->CalendarTitleBackColor(ToColor(read("CalendarTitleBackColor", ColorValue(vbButtonFace)))); },
      [&] { s.cboDATE->CalendarForeColor(ToColor(read("CalendarForeColor", ColorValue(vbButtonText)))); },
      [&] { s.cboDATE->CalendarBackColor(ToColor(read("CalendarBackColor", ColorValue(vbWindowBackground)))); },
      [&] { s.m_SmartColumnSort = CBool(read("SmartColumnSort", false)); },
      [&] { s.lblTITLE->Visible(CBool(read("Titlebar", false))); },
      [&] { s.lblTITLE->Caption(AsText(read("TitleCaption", "Title"))); },
      [&] { s.lblTITLE->Height(static_cast<float>(CLng(read("TitleHeight", int32_t{210})))); },
      [&] { s.lblTITLE->BackColor(ToColor(read("TitleBackColor", ColorValue(vbButtonFace)))); },
      [&] { s.lblTITLE->ForeColor(ToColor(read("TitleForeColor", ColorValue(vbButtonText)))); },
      [&] { s.m_PlaySounds = CBool(read("PlaySounds", true)); },
      [&] { s.lvLIST->MultiSelect(CBool(read("MultiSelect", false))); },
      [&] { s.m_DropWidth = CLng(read("DropWidth", int32_t{-1})); },
      [&] { s.m_DropLines = CLng(read("DropLines", int32_t{8})); },
      [&] { s.m_DropDelay = CLng(read("DropDelay", int32_t{100})); },
      [&] { s.m_SortArrows = CBool(read("SortArrows", false)); },  // the flag only: no arrows are bound
      [&] { s.lvLIST->OLEDropMode(CInt(read("OLEDropMode", int16_t{0}))); },
      [&] { s.lvLIST->OLEDragMode(CInt(read("OLEDragMode", int16_t{0}))); },
      [&] { s.lvLIST->LabelWrap(CBool(read("LabelWrap", true))); },
      [&] { s.TabCTL->Visible(CBool(read("Tabs", false))); },
      [&] { s.m_Tabs = CBool(read("Tabs", false)); },
      [&] { TabCaptions(AsText(read("TabCaptions", kDefaultTabs))); },
      [&] { s.TabCTL->Style(CInt(read("TabStyle", int16_t{0}))); },
      [&] { s.TabCTL->Placement(CInt(read("TabPlacement", int16_t{0}))); },
      [&] { s.txtBOX->RightToLeft(CBool(read("RightToLeft", false))); },
      [&] { s.cboBOX->RightToLeft(CBool(read("RightToLeft", false))); },
      [&] {
        if (RightToLeft()) SetRightToLeftLayout(s.tk, *s.lvLIST);
      },
      [&] { SortArrowSize(CLng(read("SortArrowSize", int32_t{12}))); },
      [&] { s.m_PrintingReportHeader = AsText(read("PrintingReportHeader", "")); });
}

void Kestrel::UserControl_WriteProperties(PropertyBag& bag) {
  KestrelState& s = s_;
  auto write = [&](const char* name, const Variant& value, const Variant& def) { bag.WriteProperty(name, value, def); };
  const Variant ambientFont(Ambient().Font);
  auto font = [](const FontRef& f) { return Variant(f ? f->Clone() : FontRef{}); };
  ResumeEach(
      [&] { write("LineEvenColor", ColorValue(s.m_LineEvenColor), ColorValue(kWhite)); },
      [&] { write("LineOddColor", ColorValue(s.m_LineOddColor), ColorValue(kWhite)); },
      [&] { write("LineAltColor", s.m_LineAltColor, false); },
      [&] { write("BackColor", ColorValue(s.lvLIST->BackColor()), ColorValue(vbWindowBackground)); },
      [&] { write("ForeColor", ColorValue(s.txtBOX->ForeColor()), ColorValue(vbWindowText)); },
      [&] { write("Enabled", UserControl::Enabled(), true); },
      [&] { write("Font", font(s.txtBOX->Font()), ambientFont); },
      [&] { write("TitleFont", font(s.lblTITLE->Font()), ambientFont); },
      [&] { write("BorderStyle", s.lvLIST->BorderStyle(), int16_t{1}); },
      [&] { write("Appearance", s.lvLIST->Appearance(), int16_t{1}); },
      [&] { write("Arrange", s.lvLIST->Arrange(), int16_t{0}); },
      [&] { write("Checkboxes", s.lvLIST->Checkboxes(), false); },
      [&] { write("AllowColumnReorder", s.lvLIST->AllowColumnReorder(), false); },
      [&] { write("ColumnHeaderIcons", Variant(ColumnHeaderIcons()), Variant::Nothing()); },
      [&] { write("FontBold", s.txtBOX->Font()->Bold(), int16_t{0}); },
      [&] { write("FontItalic", s.txtBOX->Font()->Italic(), int16_t{0}); },
      [&] { write("FontName", s.txtBOX->Font()->Name(), ""); },     // stored even when "Verdana"
      [&] { write("FontSize", s.txtBOX->Font()->Size(), int16_t{0}); },  // stored even when 8
      [&] { write("FontStrikethru", s.txtBOX->Font()->Strikethrough(), int16_t{0}); },
      [&] { write("FontUnderline", s.txtBOX->Font()->Underline(), int16_t{0}); },
      [&] { write("FullRowSelect", s.lvLIST->FullRowSelect(), false); },
      [&] { write("GridLines", s.lvLIST->GridLines(), false); },
      [&] { write("HideColumnHeaders", s.lvLIST->HideColumnHeaders(), false); },
      [&] { write("HideSelection", s.lvLIST->HideSelection(), true); },
      [&] { write("Icons", Variant(Icons()), Variant::Nothing()); },
      [&] { write("List0", s.cboBOX->List(0), ""); },
      [&] { write("PasswordChar", s.txtBOX->PasswordChar(), ""); },
      [&] { write("Picture", Variant(Picture()), Variant::Nothing()); },
      [&] { write("SortArrowUpPicture", Variant(SortArrowUpPicture()), Variant::Nothing()); },
      [&] { write("SortArrowDownPicture", Variant(SortArrowDownPicture()), Variant::Nothing()); },
      [&] { write("PictureAlignment", s.lvLIST->PictureAlignment(), int16_t{0}); },
      [&] { write("SelLength", s.txtBOX->SelLength(), int32_t{0}); },
      [&] { write("SelStart", s.txtBOX->SelStart(), int32_t{0}); },
      [&] { write("SelText", s.txtBOX->SelText(), ""); },
      [&] { write("SmallIcons", Variant(SmallIcons()), Variant::Nothing()); },
      [&] { write("Sorted", s.lvLIST->Sorted(), false); },
      [&] { write("SortKey", s.lvLIST->SortKey(), int16_t{0}); },
      [&] { write("SortOrder", s.lvLIST->SortOrder(), int16_t{0}); },
      [&] { write("Text", s.txtBOX->Text(), ""); },
      [&] { write("View", s.lvLIST->View(), int16_t{0}); },
      [&] { write("SubItemClicked", s.m_SubItemClicked, int32_t{0}); },
      [&] { write("ColOrderAppName", s.m_ColOrderAppName, ""); },
      [&] { write("ColOrderSettingName", s.m_ColOrderSettingName, ""); },
      [&] { write("DropDownText", s.cboBOX->Text(), "cboBOX"); },
      [&] { write("ListIndex", static_cast<int16_t>(s.cboBOX->ListIndex()), int16_t{0}); },
      [&] { write("ItemData0", s.cboBOX->ItemData(0), int32_t{0}); },
      [&] { write("AutoSort", s.m_AutoSort, int16_t{0}); },
      [&] { write("CalendarTrailingForeColor", ColorValue(s.cboDATE->CalendarTrailingForeColor()), ColorValue(vbGrayText)); },
      [&] { write("CalendarTitleForeColor", ColorValue(s.cboDATE->CalendarTitleForeColor()), ColorValue(vbButtonText)); },
      [&] { write("CalendarTitleBackColor", ColorValue(s.cboDATE->CalendarTitleBackColor()), ColorValue(vbButtonFace)); },
      [&] { write("CalendarForeColor", ColorValue(s.cboDATE->CalendarForeColor()), ColorValue(vbButtonText)); },
      [&] { write("CalendarBackColor", ColorValue(s.cboDATE->CalendarBackColor()), ColorValue(vbWindowBackground)); },
      [&] { write("SmartColumnSort", s.m_SmartColumnSort, false); },
      [&] { write("TitleBar", s.lblTITLE->Visible(), false); },
      [&] { write("TitleCaption", s.lblTITLE->Caption(), "Title"); },
      [&] { write("TitleHeight", static_cast<int32_t>(s.lblTITLE->Height()), int32_t{210}); },
      [&] { write("TitleBackColor", ColorValue(s.lblTITLE->BackColor()), ColorValue(vbButtonFace)); },
      [&] { write("TitleForeColor", ColorValue(s.lblTITLE->ForeColor()), ColorValue(vbButtonText)); },
      [&] { write("PlaySounds", s.m_PlaySounds, true); },
      [&] { write("MultiSelect", s.lvLIST->MultiSelect(), false); },
      [&] { write("DropWidth", s.m_DropWidth, int32_t{-1}); },
      [&] { write("DropLines", s.m_DropLines, int32_t{8}); },
      [&] { write("DropDelay", s.m_DropDelay, int32_t{100}); },
      [&] { write("SortArrows", s.m_SortArrows, false); },
      [&] { write("OLEDropMode", s.lvLIST->OLEDropMode(), int16_t{0}); },
      [&] { write("OLEDragMode", s.lvLIST->OLEDragMode(), int16_t{0}); },
      [&] { write("LabelWrap", s.lvLIST->LabelWrap(), true); },
      [&] { write("Tabs", s.TabCTL->Visible(), false); },
      [&] { write("TabCaptions", TabCaptions(), kDefaultTabs); },
      [&] { write("TabStyle", s.TabCTL->Style(), int16_t{0}); },
      [&] { write("TabPlacement", s.TabCTL->Placement(), int16_t{0}); },
      [&] { write("RightToLeft", s.txtBOX->RightToLeft(), false); },
      [&] { write("SortArrowSize", s.m_SortArrowSize, int32_t{12}); },
      [&] { write("PrintingReportHeader", s.m_PrintingReportHeader, ""); });
}

}  // namespace tamarind
