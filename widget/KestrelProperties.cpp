// KestrelWidget's Q_PROPERTYs: each reads and writes the control's property of the same name.

#include <QApplication>

#include <map>
#include <string_view>

#include "platform/qt/QtSupport.h"
#include "platform/qt/QtToolkit.h"
#include "widget/KestrelSignals.h"

namespace tamarind {

using platform::qt::ToQString;
using platform::qt::ToUtf8;

namespace {

// A system colour shows as the palette's colour; a colour set here is a plain one.
QColor ColorOf(platform::OLE_COLOR c) { return platform::qt::ToQColor(c, QApplication::palette()); }

platform::OLE_COLOR OleColorOf(const QColor& c) {
  const QColor rgb = c.toRgb();
  return static_cast<platform::OLE_COLOR>(rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16));
}

QPixmap PixmapOf(const platform::PictureRef& p) {
  if (!p || !p->Handle()) return {};
  return QPixmap::fromImage(platform::qt::ToQImage(*p));
}

// An empty pixmap clears the picture.
platform::PictureRef PictureOf(const QPixmap& pm) {
  if (pm.isNull()) return nullptr;
  return platform::qt::FromQImage(pm.toImage());
}

QFont QFontOf(const platform::FontRef& f) { return f ? platform::qt::ToQFont(*f) : QFont(); }


}  // namespace

// A value the control refuses is an error no handler takes: reported, and the property keeps its
// value. Qt sets properties from places that expect no exception (setProperty, uic's set-up code).
template <class Set>
void KestrelWidget::SetProperty(Set&& set) {
  toolkit_->Guarded([&] { set(*kestrel_); });
}

QColor KestrelWidget::backColor() const {
  const Kestrel& k = *kestrel_;
  return ColorOf(k.BackColor());
}
void KestrelWidget::setBackColor(const QColor& v) {
  SetProperty([&](Kestrel& k) { k.BackColor(OleColorOf(v)); });
}

QColor KestrelWidget::foreColor() const {
  const Kestrel& k = *kestrel_;
  return ColorOf(k.ForeColor());
}
void KestrelWidget::setForeColor(const QColor& v) {
  SetProperty([&](Kestrel& k) { k.ForeColor(OleColorOf(v)); });
}

KestrelWidget::BorderStyle KestrelWidget::borderStyle() const {
  const Kestrel& k = *kestrel_;
  return static_cast<BorderStyle>(k.BorderStyle());
}
void KestrelWidget::setBorderStyle(BorderStyle v) {
  SetProperty([&](Kestrel& k) { k.BorderStyle(static_cast<int16_t>(v)); });
}

KestrelWidget::Appearance KestrelWidget::appearance() const {
  const Kestrel& k = *kestrel_;
  return static_cast<Appearance>(k.Appearance());
}
void KestrelWidget::setAppearance(Appearance v) {
  SetProperty([&](Kestrel& k) { k.Appearance(static_cast<int16_t>(v)); });
}

KestrelWidget::Arrange KestrelWidget::arrange() const {
  const Kestrel& k = *kestrel_;
  return static_cast<Arrange>(k.Arrange());
}
void KestrelWidget::setArrange(Arrange v) {
  SetProperty([&](Kestrel& k) { k.Arrange(static_cast<int16_t>(v)); });
}

bool KestrelWidget::hideColumnHeaders() const {
  const Kestrel& k = *kestrel_;
  return k.HideColumnHeaders();
}
void KestrelWidget::setHideColumnHeaders(bool v) {
  SetProperty([&](Kestrel& k) { k.HideColumnHeaders(v); });
}

bool KestrelWidget::hideSelection() const {
  const Kestrel& k = *kestrel_;
  return k.HideSelection();
}
void KestrelWidget::setHideSelection(bool v) {
  SetProperty([&](Kestrel& k) { k.HideSelection(v); });
}

bool KestrelWidget::labelWrap() const {
  const Kestrel& k = *kestrel_;
  return k.LabelWrap();
}
void KestrelWidget::setLabelWrap(bool v) {
  SetProperty([&](Kestrel& k) { k.LabelWrap(v); });
}

bool KestrelWidget::fullRowSelect() const {
  const Kestrel& k = *kestrel_;
  return k.FullRowSelect();
}
void KestrelWidget::setFullRowSelect(bool v) {
  SetProperty([&](Kestrel& k) { k.FullRowSelect(v); });
}

bool KestrelWidget::gridLines() const {
  const Kestrel& k = *kestrel_;
  return k.GridLines();
}
void KestrelWidget::setGridLines(bool v) {
  SetProperty([&](Kestrel& k) { k.GridLines(v); });
}

KestrelWidget::PictureAlignment KestrelWidget::pictureAlignment() const {
  const Kestrel& k = *kestrel_;
  return static_cast<PictureAlignment>(k.PictureAlignment());
}
void KestrelWidget::setPictureAlignment(PictureAlignment v) {
  SetProperty([&](Kestrel& k) { k.PictureAlignment(static_cast<int16_t>(v)); });
}

bool KestrelWidget::sorted() const {
  const Kestrel& k = *kestrel_;
  return k.Sorted();
}
void KestrelWidget::setSorted(bool v) {
  SetProperty([&](Kestrel& k) { k.Sorted(v); });
}

int KestrelWidget::sortKey() const {
  const Kestrel& k = *kestrel_;
  return k.SortKey();
}
void KestrelWidget::setSortKey(int v) {
  SetProperty([&](Kestrel& k) { k.SortKey(static_cast<int16_t>(v)); });
}

KestrelWidget::SortOrder KestrelWidget::sortOrder() const {
  const Kestrel& k = *kestrel_;
  return static_cast<SortOrder>(k.SortOrder());
}
void KestrelWidget::setSortOrder(SortOrder v) {
  SetProperty([&](Kestrel& k) { k.SortOrder(static_cast<int16_t>(v)); });
}

KestrelWidget::View KestrelWidget::view() const {
  const Kestrel& k = *kestrel_;
  return static_cast<View>(k.View());
}
void KestrelWidget::setView(View v) {
  SetProperty([&](Kestrel& k) { k.View(static_cast<int16_t>(v)); });
}

bool KestrelWidget::multiSelect() const {
  const Kestrel& k = *kestrel_;
  return k.MultiSelect();
}
void KestrelWidget::setMultiSelect(bool v) {
  SetProperty([&](Kestrel& k) { k.MultiSelect(v); });
}

KestrelWidget::OleDragMode KestrelWidget::oleDragMode() const {
  const Kestrel& k = *kestrel_;
  return static_cast<OleDragMode>(k.OLEDragMode());
}
void KestrelWidget::setOleDragMode(OleDragMode v) {
  SetProperty([&](Kestrel& k) { k.OLEDragMode(static_cast<int16_t>(v)); });
}

KestrelWidget::OleDropMode KestrelWidget::oleDropMode() const {
  const Kestrel& k = *kestrel_;
  return static_cast<OleDropMode>(k.OLEDropMode());
}
void KestrelWidget::setOleDropMode(OleDropMode v) {
  SetProperty([&](Kestrel& k) { k.OLEDropMode(static_cast<int16_t>(v)); });
}

bool KestrelWidget::checkboxes() const {
  const Kestrel& k = *kestrel_;
  return k.Checkboxes();
}
void KestrelWidget::setCheckboxes(bool v) {
  SetProperty([&](Kestrel& k) { k.Checkboxes(v); });
}

bool KestrelWidget::allowColumnReorder() const {
  const Kestrel& k = *kestrel_;
  return k.AllowColumnReorder();
}
void KestrelWidget::setAllowColumnReorder(bool v) {
  SetProperty([&](Kestrel& k) { k.AllowColumnReorder(v); });
}

QPixmap KestrelWidget::picture() const {
  const Kestrel& k = *kestrel_;
  return PixmapOf(k.Picture());
}
void KestrelWidget::setPicture(const QPixmap& v) {
  SetProperty([&](Kestrel& k) { k.Picture(PictureOf(v)); });
}

QString KestrelWidget::text() const {
  const Kestrel& k = *kestrel_;
  return ToQString(k.Text());
}
void KestrelWidget::setText(const QString& v) {
  SetProperty([&](Kestrel& k) { k.Text(ToUtf8(v)); });
}

QString KestrelWidget::passwordChar() const {
  const Kestrel& k = *kestrel_;
  return ToQString(k.PasswordChar());
}
void KestrelWidget::setPasswordChar(const QString& v) {
  SetProperty([&](Kestrel& k) { k.PasswordChar(ToUtf8(v)); });
}

QString KestrelWidget::selText() const {
  const Kestrel& k = *kestrel_;
  return ToQString(k.SelText());
}
void KestrelWidget::setSelText(const QString& v) {
  SetProperty([&](Kestrel& k) { k.SelText(ToUtf8(v)); });
}

int KestrelWidget::selStart() const {
  const Kestrel& k = *kestrel_;
  return k.SelStart();
}
void KestrelWidget::setSelStart(int v) {
  SetProperty([&](Kestrel& k) { k.SelStart(static_cast<int32_t>(v)); });
}

int KestrelWidget::selLength() const {
  const Kestrel& k = *kestrel_;
  return k.SelLength();
}
void KestrelWidget::setSelLength(int v) {
  SetProperty([&](Kestrel& k) { k.SelLength(static_cast<int32_t>(v)); });
}

bool KestrelWidget::rightToLeft() const {
  const Kestrel& k = *kestrel_;
  return k.RightToLeft();
}
void KestrelWidget::setRightToLeft(bool v) {
  SetProperty([&](Kestrel& k) { k.RightToLeft(v); });
}

QString KestrelWidget::dropDownText() const {
  const Kestrel& k = *kestrel_;
  return ToQString(k.DropDownText());
}
void KestrelWidget::setDropDownText(const QString& v) {
  SetProperty([&](Kestrel& k) { k.DropDownText(ToUtf8(v)); });
}

int KestrelWidget::listIndex() const {
  const Kestrel& k = *kestrel_;
  return k.ListIndex();
}
void KestrelWidget::setListIndex(int v) {
  SetProperty([&](Kestrel& k) { k.ListIndex(static_cast<int16_t>(v)); });
}

int KestrelWidget::dropWidth() const {
  const Kestrel& k = *kestrel_;
  return k.DropWidth();
}
void KestrelWidget::setDropWidth(int v) {
  SetProperty([&](Kestrel& k) { k.DropWidth(static_cast<int32_t>(v)); });
}

int KestrelWidget::dropLines() const {
  const Kestrel& k = *kestrel_;
  return k.DropLines();
}
void KestrelWidget::setDropLines(int v) {
  SetProperty([&](Kestrel& k) { k.DropLines(static_cast<int32_t>(v)); });
}

int KestrelWidget::dropDelay() const {
  const Kestrel& k = *kestrel_;
  return k.DropDelay();
}
void KestrelWidget::setDropDelay(int v) {
  SetProperty([&](Kestrel& k) { k.DropDelay(static_cast<int32_t>(v)); });
}

QColor KestrelWidget::calendarBackColor() const {
  const Kestrel& k = *kestrel_;
  return ColorOf(k.CalendarBackColor());
}
void KestrelWidget::setCalendarBackColor(const QColor& v) {
  SetProperty([&](Kestrel& k) { k.CalendarBackColor(OleColorOf(v)); });
}

QColor KestrelWidget::calendarForeColor() const {
  const Kestrel& k = *kestrel_;
  return ColorOf(k.CalendarForeColor());
}
void KestrelWidget::setCalendarForeColor(const QColor& v) {
  SetProperty([&](Kestrel& k) { k.CalendarForeColor(OleColorOf(v)); });
}

QColor KestrelWidget::calendarTitleBackColor() const {
  const Kestrel& k = *kestrel_;
  return ColorOf(k.CalendarTitleBackColor());
}
void KestrelWidget::setCalendarTitleBackColor(const QColor& v) {
  SetProperty([&](Kestrel& k) { k.CalendarTitleBackColor(OleColorOf(v)); });
}

QColor KestrelWidget::calendarTitleForeColor() const {
  const Kestrel& k = *kestrel_;
  return ColorOf(k.CalendarTitleForeColor());
}
void KestrelWidget::setCalendarTitleForeColor(const QColor& v) {
  SetProperty([&](Kestrel& k) { k.CalendarTitleForeColor(OleColorOf(v)); });
}

QColor KestrelWidget::calendarTrailingForeColor() const {
  const Kestrel& k = *kestrel_;
  return ColorOf(k.CalendarTrailingForeColor());
}
void KestrelWidget::setCalendarTrailingForeColor(const QColor& v) {
  SetProperty([&](Kestrel& k) { k.CalendarTrailingForeColor(OleColorOf(v)); });
}

bool KestrelWidget::titlebar() const {
  const Kestrel& k = *kestrel_;
  return k.Titlebar();
}
void KestrelWidget::setTitlebar(bool v) {
  SetProperty([&](Kestrel& k) { k.Titlebar(v); });
}

QString KestrelWidget::titleCaption() const {
  const Kestrel& k = *kestrel_;
  return ToQString(k.TitleCaption());
}
void KestrelWidget::setTitleCaption(const QString& v) {
  SetProperty([&](Kestrel& k) { k.TitleCaption(ToUtf8(v)); });
}

int KestrelWidget::titleHeight() const {
  const Kestrel& k = *kestrel_;
  return k.TitleHeight();
}
void KestrelWidget::setTitleHeight(int v) {
  SetProperty([&](Kestrel& k) { k.TitleHeight(static_cast<int32_t>(v)); });
}

QColor KestrelWidget::titleBackColor() const {
  const Kestrel& k = *kestrel_;
  return ColorOf(k.TitleBackColor());
}
void KestrelWidget::setTitleBackColor(const QColor& v) {
  SetProperty([&](Kestrel& k) { k.TitleBackColor(OleColorOf(v)); });
}

QColor KestrelWidget::titleForeColor() const {
  const Kestrel& k = *kestrel_;
  return ColorOf(k.TitleForeColor());
}
void KestrelWidget::setTitleForeColor(const QColor& v) {
  SetProperty([&](Kestrel& k) { k.TitleForeColor(OleColorOf(v)); });
}

QFont KestrelWidget::titleFont() const {
  const Kestrel& k = *kestrel_;
  return QFontOf(k.TitleFont());
}
void KestrelWidget::setTitleFont(const QFont& v) {
  SetProperty([&](Kestrel& k) { k.TitleFont(platform::qt::FromQFont(v)); });
}

bool KestrelWidget::tabs() const {
  const Kestrel& k = *kestrel_;
  return k.Tabs();
}
void KestrelWidget::setTabs(bool v) {
  SetProperty([&](Kestrel& k) { k.Tabs(v); });
}

QString KestrelWidget::tabCaptions() const {
  const Kestrel& k = *kestrel_;
  return ToQString(k.TabCaptions());
}
void KestrelWidget::setTabCaptions(const QString& v) {
  SetProperty([&](Kestrel& k) { k.TabCaptions(ToUtf8(v)); });
}

KestrelWidget::TabStyle KestrelWidget::tabStyle() const {
  const Kestrel& k = *kestrel_;
  return static_cast<TabStyle>(k.TabStyle());
}
void KestrelWidget::setTabStyle(TabStyle v) {
  SetProperty([&](Kestrel& k) { k.TabStyle(static_cast<TabStyles>(v)); });
}

KestrelWidget::TabPlacement KestrelWidget::tabPlacement() const {
  const Kestrel& k = *kestrel_;
  return static_cast<TabPlacement>(k.TabPlacement());
}
void KestrelWidget::setTabPlacement(TabPlacement v) {
  SetProperty([&](Kestrel& k) { k.TabPlacement(static_cast<TabPlacements>(v)); });
}

QColor KestrelWidget::lineEvenColor() const {
  const Kestrel& k = *kestrel_;
  return ColorOf(k.LineEvenColor());
}
void KestrelWidget::setLineEvenColor(const QColor& v) {
  SetProperty([&](Kestrel& k) { k.LineEvenColor(OleColorOf(v)); });
}

QColor KestrelWidget::lineOddColor() const {
  const Kestrel& k = *kestrel_;
  return ColorOf(k.LineOddColor());
}
void KestrelWidget::setLineOddColor(const QColor& v) {
  SetProperty([&](Kestrel& k) { k.LineOddColor(OleColorOf(v)); });
}

bool KestrelWidget::lineAltColor() const {
  const Kestrel& k = *kestrel_;
  return k.LineAltColor();
}
void KestrelWidget::setLineAltColor(bool v) {
  SetProperty([&](Kestrel& k) { k.LineAltColor(v); });
}

bool KestrelWidget::smartColumnSort() const {
  const Kestrel& k = *kestrel_;
  return k.SmartColumnSort();
}
void KestrelWidget::setSmartColumnSort(bool v) {
  SetProperty([&](Kestrel& k) { k.SmartColumnSort(v); });
}

bool KestrelWidget::autoSort() const {
  const Kestrel& k = *kestrel_;
  return k.AutoSort();
}
void KestrelWidget::setAutoSort(bool v) {
  SetProperty([&](Kestrel& k) { k.AutoSort(v); });
}

bool KestrelWidget::sortArrows() const {
  const Kestrel& k = *kestrel_;
  return k.SortArrows();
}
void KestrelWidget::setSortArrows(bool v) {
  SetProperty([&](Kestrel& k) { k.SortArrows(v); });
}

int KestrelWidget::sortArrowSize() const {
  const Kestrel& k = *kestrel_;
  return k.SortArrowSize();
}
void KestrelWidget::setSortArrowSize(int v) {
  SetProperty([&](Kestrel& k) { k.SortArrowSize(static_cast<int32_t>(v)); });
}

QPixmap KestrelWidget::sortArrowUpPicture() const {
  const Kestrel& k = *kestrel_;
  return PixmapOf(k.SortArrowUpPicture());
}
void KestrelWidget::setSortArrowUpPicture(const QPixmap& v) {
  SetProperty([&](Kestrel& k) { k.SortArrowUpPicture(PictureOf(v)); });
}

QPixmap KestrelWidget::sortArrowDownPicture() const {
  const Kestrel& k = *kestrel_;
  return PixmapOf(k.SortArrowDownPicture());
}
void KestrelWidget::setSortArrowDownPicture(const QPixmap& v) {
  SetProperty([&](Kestrel& k) { k.SortArrowDownPicture(PictureOf(v)); });
}

bool KestrelWidget::playSounds() const {
  const Kestrel& k = *kestrel_;
  return k.PlaySounds();
}
void KestrelWidget::setPlaySounds(bool v) {
  SetProperty([&](Kestrel& k) { k.PlaySounds(v); });
}

QString KestrelWidget::colOrderAppName() const {
  const Kestrel& k = *kestrel_;
  return ToQString(k.ColOrderAppName());
}
void KestrelWidget::setColOrderAppName(const QString& v) {
  SetProperty([&](Kestrel& k) { k.ColOrderAppName(ToUtf8(v)); });
}

QString KestrelWidget::colOrderSettingName() const {
  const Kestrel& k = *kestrel_;
  return ToQString(k.ColOrderSettingName());
}
void KestrelWidget::setColOrderSettingName(const QString& v) {
  SetProperty([&](Kestrel& k) { k.ColOrderSettingName(ToUtf8(v)); });
}

QString KestrelWidget::printingReportHeader() const {
  const Kestrel& k = *kestrel_;
  return ToQString(k.PrintingReportHeader());
}
void KestrelWidget::setPrintingReportHeader(const QString& v) {
  SetProperty([&](Kestrel& k) { k.PrintingReportHeader(ToUtf8(v)); });
}

int KestrelWidget::subItemClicked() const {
  const Kestrel& k = *kestrel_;
  return k.SubItemClicked();
}
void KestrelWidget::setSubItemClicked(int v) {
  SetProperty([&](Kestrel& k) { k.SubItemClicked(static_cast<int32_t>(v)); });
}


void NotifyPropertyChange(KestrelWidget& w, std::string_view savedName) {
  using Notify = void (KestrelWidget::*)();
  static const std::map<std::string_view, Notify> kNotify{
      {"BackColor", &KestrelWidget::backColorChanged},
      {"ForeColor", &KestrelWidget::foreColorChanged},
      {"BorderStyle", &KestrelWidget::borderStyleChanged},
      {"Appearance", &KestrelWidget::appearanceChanged},
      {"Checkboxes", &KestrelWidget::checkboxesChanged},
      {"AllowColumnReorder", &KestrelWidget::allowColumnReorderChanged},
      {"RightToLeft", &KestrelWidget::rightToLeftChanged},
      {"DropDownText", &KestrelWidget::dropDownTextChanged},
      {"ListIndex", &KestrelWidget::listIndexChanged},
      {"DropWidth", &KestrelWidget::dropWidthChanged},
      {"DropLines", &KestrelWidget::dropLinesChanged},
      {"DropDelay", &KestrelWidget::dropDelayChanged},
      {"TitleBar", &KestrelWidget::titlebarChanged},
      {"TitleCaption", &KestrelWidget::titleCaptionChanged},
      {"TitleHeight", &KestrelWidget::titleHeightChanged},
      {"TitleBackColor", &KestrelWidget::titleBackColorChanged},
      {"TitleForeColor", &KestrelWidget::titleForeColorChanged},
      {"TitleFont", &KestrelWidget::titleFontChanged},
      {"TabStyle", &KestrelWidget::tabStyleChanged},
      {"TabPlacement", &KestrelWidget::tabPlacementChanged},
      {"LineEvenColor", &KestrelWidget::lineEvenColorChanged},
      {"LineOddColor", &KestrelWidget::lineOddColorChanged},
      {"LineAltColor", &KestrelWidget::lineAltColorChanged},
      {"SmartColumnSort", &KestrelWidget::smartColumnSortChanged},
      {"AutoSort", &KestrelWidget::autoSortChanged},
      {"SortArrowSize", &KestrelWidget::sortArrowSizeChanged},
      {"SortArrowUpPicture", &KestrelWidget::sortArrowUpPictureChanged},
      {"SortArrowDownPicture", &KestrelWidget::sortArrowDownPictureChanged},
      {"PlaySounds", &KestrelWidget::playSoundsChanged},
      {"ColOrderAppName", &KestrelWidget::colOrderAppNameChanged},
      {"ColOrderSettingName", &KestrelWidget::colOrderSettingNameChanged},
      {"PrintingReportHeader", &KestrelWidget::printingReportHeaderChanged},
  };
  if (auto it = kNotify.find(savedName); it != kNotify.end()) emit(w.*(it->second))();
}

}  // namespace tamarind
