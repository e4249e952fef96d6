// Saving and loading the control's design-time state through the container's property bag.
//
// Loading reads every key in a fixed order and puts each value straight into its destination (an
// inner control or a member), without the property's side effects, except for the keys applied
// through their property (tab captions, pictures, image lists, the arrow size). Saving writes the
// same keys in the same order. Both run in resume-next mode: a value a control rejects is dropped.

#include "control/Kestrel.h"
#include "core/PaintingLock.h"
#include "presentation/TitleTabsLayout.h"
#include "platform/SavedProperties.h"
#include "runtime/Conversions.h"

namespace tamarind {

using namespace platform;

namespace {

// Colours are saved as the platform's 32-bit values (system colours read as negative numbers).
Variant ColorValue(OLE_COLOR c) { return Variant(static_cast<int32_t>(c)); }

constexpr OLE_COLOR kWhite = 0x00FFFFFF;
constexpr const char* kDefaultTabs = "Tab 1|Tab 2|Tab 3";

// What each saved key may hold: the form file's reader refuses a file whose values do not fit,
// and loading converts with the same functions.
SavedPropertyRules KestrelSavedRules() {
  using namespace saved;
  SavedPropertyRules rules;
  auto each = [&](std::initializer_list<const char*> names, const SavedPropertyRules::Rule& rule) {
    for (const char* name : names) rules.Add(name, rule);
  };
  each({"LineEvenColor", "LineOddColor", "BackColor", "ForeColor", "CalendarTrailingForeColor",
        "CalendarTitleForeColor", "CalendarTitleBackColor", "CalendarForeColor", "CalendarBackColor",
        "TitleBackColor", "TitleForeColor"},
       [](const Variant& v) { Color(v); });
  each({"LineAltColor", "Enabled", "Checkboxes", "AllowColumnReorder", "FontBold", "FontItalic", "FontStrikethru",
        "FontUnderline", "FullRowSelect", "GridLines", "HideColumnHeaders", "HideSelection", "Sorted", "AutoSort",
        "SmartColumnSort", "Titlebar", "PlaySounds", "MultiSelect", "SortArrows", "LabelWrap", "Tabs", "RightToLeft"},
       [](const Variant& v) { Boolean(v); });
  each({"BorderStyle", "Appearance", "Arrange", "PictureAlignment", "SortKey", "SortOrder", "View", "ListIndex",
        "OLEDropMode", "OLEDragMode", "TabStyle", "TabPlacement"},
       [](const Variant& v) { Integer(v); });
  each({"SelLength", "SelStart", "SubItemClicked", "ItemData0", "DropWidth", "DropLines", "DropDelay",
        "SortArrowSize"},
       [](const Variant& v) { Long(v); });
  each({"TitleHeight"}, [](const Variant& v) { Long(v, 0, Kestrel::kMaxTitleHeight); });
  each({"FontSize"}, [](const Variant& v) { FontSize(v); });
  each({"FontName", "List0", "PasswordChar", "SelText", "Text", "ColOrderAppName", "ColOrderSettingName",
        "DropDownText", "TitleCaption", "TabCaptions", "PrintingReportHeader"},
       [](const Variant& v) { Text(v); });
  each({"Font", "TitleFont"}, [](const Variant& v) { FontObject(v); });
  each({"Picture", "SortArrowUpPicture", "SortArrowDownPicture"}, [](const Variant& v) { PictureObject(v); });
  each({"ColumnHeaderIcons", "Icons", "SmallIcons"}, [](const Variant& v) { ImageListObject(v); });
  return rules;
}

[[maybe_unused]] const bool kRulesRegistered = RegisterSavedPropertyRules("Kestrel", KestrelSavedRules());

}  // namespace

void Kestrel::UserControl_ReadProperties(PropertyBag& bag) {
  KestrelState& s = s_;
  auto read = [&](const char* name, const Variant& def) { return bag.ReadProperty(name, def); };
  const Variant ambientFont(Ambient().Font);
  ResumeEach(
      [&] { s.m_LineEvenColor = saved::Color(read("LineEvenColor", ColorValue(kWhite))); },
      [&] { s.m_LineOddColor = saved::Color(read("LineOddColor", ColorValue(kWhite))); },
      [&] { s.m_LineAltColor = saved::Boolean(read("LineAltColor", false)); },
      [&] { s.lvLIST->BackColor(saved::Color(read("BackColor", ColorValue(vbWindowBackground)))); },
      [&] { s.txtBOX->ForeColor(saved::Color(read("ForeColor", ColorValue(vbWindowText)))); },
      [&] { UserControl::Enabled(saved::Boolean(read("Enabled", true))); },
      [&] { s.txtBOX->Font(saved::FontObject(read("Font", ambientFont))); },
      [&] { s.cboBOX->Font(saved::FontObject(read("Font", ambientFont))); },
      [&] { s.lvLIST->Font(saved::FontObject(read("Font", ambientFont))); },
      [&] { s.cboDATE->Font(saved::FontObject(read("Font", ambientFont))); },
      [&] { s.lblTITLE->Font(saved::FontObject(read("TitleFont", ambientFont))); },
      [&] { s.lvLIST->BorderStyle(saved::Integer(read("BorderStyle", int16_t{1}))); },
      [&] { s.lvLIST->Appearance(saved::Integer(read("Appearance", int16_t{1}))); },
      [&] { s.lvLIST->Arrange(saved::Integer(read("Arrange", int16_t{0}))); },
      [&] { s.lvLIST->Checkboxes(saved::Boolean(read("Checkboxes", false))); },
      [&] { s.lvLIST->AllowColumnReorder(saved::Boolean(read("AllowColumnReorder", false))); },
      [&] { ColumnHeaderIcons(saved::ImageListObject(read("ColumnHeaderIcons", Variant::Nothing()))); },
      [&] { s.txtBOX->Font()->Bold(saved::Boolean(read("FontBold", int16_t{0}))); },
      [&] { s.txtBOX->Font()->Italic(saved::Boolean(read("FontItalic", int16_t{0}))); },
      [&] { s.txtBOX->Font()->Name(saved::Text(read("FontName", "Verdana"))); },
      [&] { s.txtBOX->Font()->Size(saved::FontSize(read("FontSize", int16_t{8}))); },
      [&] { s.txtBOX->Font()->Strikethrough(saved::Boolean(read("FontStrikethru", int16_t{0}))); },
      [&] { s.txtBOX->Font()->Underline(saved::Boolean(read("FontUnderline", int16_t{0}))); },
      [&] { s.lvLIST->FullRowSelect(saved::Boolean(read("FullRowSelect", false))); },
      [&] { s.lvLIST->GridLines(saved::Boolean(read("GridLines", false))); },
      [&] { s.lvLIST->HideColumnHeaders(saved::Boolean(read("HideColumnHeaders", false))); },
      [&] { s.lvLIST->HideSelection(saved::Boolean(read("HideSelection", true))); },
      [&] { Icons(saved::ImageListObject(read("Icons", Variant::Nothing()))); },
      [&] { s.cboBOX->List(0, saved::Text(read("List0", ""))); },
      [&] { s.txtBOX->PasswordChar(saved::Text(read("PasswordChar", ""))); },
      [&] { Picture(saved::PictureObject(read("Picture", Variant::Nothing()))); },
      [&] { SortArrowUpPicture(saved::PictureObject(read("SortArrowUpPicture", Variant::Nothing()))); },
      [&] { SortArrowDownPicture(saved::PictureObject(read("SortArrowDownPicture", Variant::Nothing()))); },
      [&] { s.lvLIST->PictureAlignment(saved::Integer(read("PictureAlignment", int16_t{0}))); },
      [&] { s.txtBOX->SelLength(saved::Long(read("SelLength", int32_t{0}))); },
      [&] { s.txtBOX->SelStart(saved::Long(read("SelStart", int32_t{0}))); },
      [&] { s.txtBOX->SelText(saved::Text(read("SelText", ""))); },
      [&] { SmallIcons(saved::ImageListObject(read("SmallIcons", Variant::Nothing()))); },
      [&] { s.lvLIST->Sorted(saved::Boolean(read("Sorted", false))); },
      [&] { s.lvLIST->SortKey(saved::Integer(read("SortKey", int16_t{0}))); },
      [&] { s.lvLIST->SortOrder(saved::Integer(read("SortOrder", int16_t{0}))); },
      [&] { s.txtBOX->Text(saved::Text(read("Text", ""))); },
      [&] { s.lvLIST->View(saved::Integer(read("View", int16_t{0}))); },
      [&] { s.m_SubItemClicked = saved::Long(read("SubItemClicked", int32_t{0})); },
      [&] { s.m_ColOrderAppName = saved::Text(read("ColOrderAppName", "")); },
      [&] { s.m_ColOrderSettingName = saved::Text(read("ColOrderSettingName", "")); },
      [&] { s.cboBOX->Text(saved::Text(read("DropDownText", "cboBOX"))); },
      [&] { s.cboBOX->ListIndex(saved::Integer(read("ListIndex", int16_t{0}))); },
      [&] { s.cboBOX->ItemData(0, saved::Long(read("ItemData0", int32_t{0}))); },
      [&] { s.m_AutoSort = saved::Boolean(read("AutoSort", int16_t{0})); },
      [&] { s.cboDATE->CalendarTrailingForeColor(saved::Color(read("CalendarTrailingForeColor", ColorValue(vbGrayText)))); },
      [&] { s.cboDATE->CalendarTitleForeColor(saved::Color(read("CalendarTitleForeColor", ColorValue(vbButtonText)))); },
      [&] { s.cboDATE->CalendarTitleBackColor(saved::Color(read("CalendarTitleBackColor", ColorValue(vbButtonFace)))); },
      [&] { s.cboDATE->CalendarForeColor(saved::Color(read("CalendarForeColor", ColorValue(vbButtonText)))); },
      [&] { s.cboDATE->CalendarBackColor(saved::Color(read("CalendarBackColor", ColorValue(vbWindowBackground)))); },
      [&] { s.m_SmartColumnSort = saved::Boolean(read("SmartColumnSort", false)); },
      [&] { s.lblTITLE->Visible(saved::Boolean(read("Titlebar", false))); },
      [&] { s.lblTITLE->Caption(saved::Text(read("TitleCaption", "Title"))); },
      [&] { s.lblTITLE->Height(static_cast<float>(saved::Long(read("TitleHeight", int32_t{210}), 0, kMaxTitleHeight))); },
      [&] { s.lblTITLE->BackColor(saved::Color(read("TitleBackColor", ColorValue(vbButtonFace)))); },
      [&] { s.lblTITLE->ForeColor(saved::Color(read("TitleForeColor", ColorValue(vbButtonText)))); },
      [&] { s.m_PlaySounds = saved::Boolean(read("PlaySounds", true)); },
      [&] { s.lvLIST->MultiSelect(saved::Boolean(read("MultiSelect", false))); },
      [&] { s.m_DropWidth = saved::Long(read("DropWidth", int32_t{-1})); },
      [&] { s.m_DropLines = saved::Long(read("DropLines", int32_t{8})); },
      [&] { s.m_DropDelay = saved::Long(read("DropDelay", int32_t{100})); },
      [&] { s.m_SortArrows = saved::Boolean(read("SortArrows", false)); },  // the flag only: no arrows are bound
      [&] { s.lvLIST->OLEDropMode(saved::Integer(read("OLEDropMode", int16_t{0}))); },
      [&] { s.lvLIST->OLEDragMode(saved::Integer(read("OLEDragMode", int16_t{0}))); },
      [&] { s.lvLIST->LabelWrap(saved::Boolean(read("LabelWrap", true))); },
      [&] { s.TabCTL->Visible(saved::Boolean(read("Tabs", false))); },
      [&] { s.m_Tabs = saved::Boolean(read("Tabs", false)); },
      [&] { TabCaptions(saved::Text(read("TabCaptions", kDefaultTabs))); },
      [&] { s.TabCTL->Style(saved::Integer(read("TabStyle", int16_t{0}))); },
      [&] { s.TabCTL->Placement(saved::Integer(read("TabPlacement", int16_t{0}))); },
      [&] { s.txtBOX->RightToLeft(saved::Boolean(read("RightToLeft", false))); },
      [&] { s.cboBOX->RightToLeft(saved::Boolean(read("RightToLeft", false))); },
      [&] {
        if (RightToLeft()) SetRightToLeftLayout(s.tk, *s.lvLIST);
      },
      [&] { SortArrowSize(saved::Long(read("SortArrowSize", int32_t{12}))); },
      [&] { s.m_PrintingReportHeader = saved::Text(read("PrintingReportHeader", "")); });
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
      [&] {
        // A height set on the label directly that no TitleHeight can hold is not saved.
        write("TitleHeight", saved::Long(Variant(static_cast<double>(s.lblTITLE->Height())), 0, kMaxTitleHeight),
              int32_t{210});
      },
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
