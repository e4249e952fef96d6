#pragma once
// KestrelWidget: the control as a QWidget, for any Qt application. It owns one Kestrel sited on a
// form embedded in the widget, so the list goes into layouts, splitters, docks and tab widgets like
// any other widget; geometry is in pixels, twips stay inside.
//
//   auto* list = new tamarind::KestrelWidget(parent);
//   list->kestrel().ColumnHeaders().Add(0, {}, "Spice", 2000);
//   connect(list, &tamarind::KestrelWidget::itemClick, this, &Window::openEditor);
//
// kestrel() is the control's whole API under its own names. Every event of the control is also a
// Qt signal (below): rows and columns are the model's, 0-based (row r is ListItems(r + 1), column
// c is sub-item c, 0 the item's own text); an event whose handler answers through its arguments
// carries a pointer to a small object (KestrelEventArgs.h) that the slots may change, read back
// once every slot ran. A KestrelEvents object set with setEvents() is called first, then the
// signal. The control's design-time properties are Q_PROPERTYs (so setProperty, .ui files and
// Qt Designer carry them), named as Qt names properties (GridLines is gridLines); the widget's own
// font and enabled state are the control's Font (with FontName, FontSize, FontBold...) and
// Enabled. The image lists (Icons, SmallIcons, ColumnHeaderIcons) are references to ImageList
// objects and the drop-down's entries are data, not design-time values: set them through
// kestrel(). A property the control refuses is reported like any error no handler took, and the
// value stays.
//
// All widgets of an application share one Qt desktop (toolkit()), made with the first widget and
// released with the last; a QApplication must exist first. With KestrelApplication in place of
// QApplication, errors thrown by the host's own handlers are reported too (KestrelApplication.h).

#include <QColor>
#include <QEvent>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <memory>

#include "control/Kestrel.h"
#include "widget/KestrelEventArgs.h"

class QAbstractItemModel;

namespace tamarind {

namespace platform::qt {
class QtHostForm;
class QtToolkit;
}  // namespace platform::qt

class KestrelWidget : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor NOTIFY backColorChanged)
  Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor NOTIFY foreColorChanged)
  Q_PROPERTY(BorderStyle borderStyle READ borderStyle WRITE setBorderStyle NOTIFY borderStyleChanged)
  Q_PROPERTY(Appearance appearance READ appearance WRITE setAppearance NOTIFY appearanceChanged)
  Q_PROPERTY(Arrange arrange READ arrange WRITE setArrange)
  Q_PROPERTY(bool hideColumnHeaders READ hideColumnHeaders WRITE setHideColumnHeaders)
  Q_PROPERTY(bool hideSelection READ hideSelection WRITE setHideSelection)
  Q_PROPERTY(bool labelWrap READ labelWrap WRITE setLabelWrap)
  Q_PROPERTY(bool fullRowSelect READ fullRowSelect WRITE setFullRowSelect)
  Q_PROPERTY(bool gridLines READ gridLines WRITE setGridLines)
  Q_PROPERTY(PictureAlignment pictureAlignment READ pictureAlignment WRITE setPictureAlignment)
  Q_PROPERTY(bool sorted READ sorted WRITE setSorted)
  Q_PROPERTY(int sortKey READ sortKey WRITE setSortKey)
  Q_PROPERTY(SortOrder sortOrder READ sortOrder WRITE setSortOrder)
  Q_PROPERTY(View view READ view WRITE setView)
  Q_PROPERTY(bool multiSelect READ multiSelect WRITE setMultiSelect)
  Q_PROPERTY(OleDragMode oleDragMode READ oleDragMode WRITE setOleDragMode)
  Q_PROPERTY(OleDropMode oleDropMode READ oleDropMode WRITE setOleDropMode)
  Q_PROPERTY(bool checkboxes READ checkboxes WRITE setCheckboxes NOTIFY checkboxesChanged)
  Q_PROPERTY(bool allowColumnReorder READ allowColumnReorder WRITE setAllowColumnReorder NOTIFY allowColumnReorderChanged)
  Q_PROPERTY(QPixmap picture READ picture WRITE setPicture)
  Q_PROPERTY(QString text READ text WRITE setText)
  Q_PROPERTY(QString passwordChar READ passwordChar WRITE setPasswordChar)
  Q_PROPERTY(QString selText READ selText WRITE setSelText)
  Q_PROPERTY(int selStart READ selStart WRITE setSelStart)
  Q_PROPERTY(int selLength READ selLength WRITE setSelLength)
  Q_PROPERTY(bool rightToLeft READ rightToLeft WRITE setRightToLeft NOTIFY rightToLeftChanged)
  Q_PROPERTY(QString dropDownText READ dropDownText WRITE setDropDownText NOTIFY dropDownTextChanged)
  Q_PROPERTY(int listIndex READ listIndex WRITE setListIndex NOTIFY listIndexChanged)
  Q_PROPERTY(int dropWidth READ dropWidth WRITE setDropWidth NOTIFY dropWidthChanged)
  Q_PROPERTY(int dropLines READ dropLines WRITE setDropLines NOTIFY dropLinesChanged)
  Q_PROPERTY(int dropDelay READ dropDelay WRITE setDropDelay NOTIFY dropDelayChanged)
  Q_PROPERTY(QColor calendarBackColor READ calendarBackColor WRITE setCalendarBackColor)
  Q_PROPERTY(QColor calendarForeColor READ calendarForeColor WRITE setCalendarForeColor)
  Q_PROPERTY(QColor calendarTitleBackColor READ calendarTitleBackColor WRITE setCalendarTitleBackColor)
  Q_PROPERTY(QColor calendarTitleForeColor READ calendarTitleForeColor WRITE setCalendarTitleForeColor)
  Q_PROPERTY(QColor calendarTrailingForeColor READ calendarTrailingForeColor WRITE setCalendarTrailingForeColor)
  Q_PROPERTY(bool titlebar READ titlebar WRITE setTitlebar NOTIFY titlebarChanged)
  Q_PROPERTY(QString titleCaption READ titleCaption WRITE setTitleCaption NOTIFY titleCaptionChanged)
  Q_PROPERTY(int titleHeight READ titleHeight WRITE setTitleHeight NOTIFY titleHeightChanged)
  Q_PROPERTY(QColor titleBackColor READ titleBackColor WRITE setTitleBackColor NOTIFY titleBackColorChanged)
  Q_PROPERTY(QColor titleForeColor READ titleForeColor WRITE setTitleForeColor NOTIFY titleForeColorChanged)
  Q_PROPERTY(QFont titleFont READ titleFont WRITE setTitleFont NOTIFY titleFontChanged)
  Q_PROPERTY(bool tabs READ tabs WRITE setTabs)
  Q_PROPERTY(QString tabCaptions READ tabCaptions WRITE setTabCaptions)
  Q_PROPERTY(TabStyle tabStyle READ tabStyle WRITE setTabStyle NOTIFY tabStyleChanged)
  Q_PROPERTY(TabPlacement tabPlacement READ tabPlacement WRITE setTabPlacement NOTIFY tabPlacementChanged)
  Q_PROPERTY(QColor lineEvenColor READ lineEvenColor WRITE setLineEvenColor NOTIFY lineEvenColorChanged)
  Q_PROPERTY(QColor lineOddColor READ lineOddColor WRITE setLineOddColor NOTIFY lineOddColorChanged)
  Q_PROPERTY(bool lineAltColor READ lineAltColor WRITE setLineAltColor NOTIFY lineAltColorChanged)
  Q_PROPERTY(bool smartColumnSort READ smartColumnSort WRITE setSmartColumnSort NOTIFY smartColumnSortChanged)
  Q_PROPERTY(bool autoSort READ autoSort WRITE setAutoSort NOTIFY autoSortChanged)
  Q_PROPERTY(bool sortArrows READ sortArrows WRITE setSortArrows)
  Q_PROPERTY(int sortArrowSize READ sortArrowSize WRITE setSortArrowSize NOTIFY sortArrowSizeChanged)
  Q_PROPERTY(QPixmap sortArrowUpPicture READ sortArrowUpPicture WRITE setSortArrowUpPicture NOTIFY sortArrowUpPictureChanged)
  Q_PROPERTY(QPixmap sortArrowDownPicture READ sortArrowDownPicture WRITE setSortArrowDownPicture NOTIFY sortArrowDownPictureChanged)
  Q_PROPERTY(bool playSounds READ playSounds WRITE setPlaySounds NOTIFY playSoundsChanged)
  Q_PROPERTY(QString colOrderAppName READ colOrderAppName WRITE setColOrderAppName NOTIFY colOrderAppNameChanged)
  Q_PROPERTY(QString colOrderSettingName READ colOrderSettingName WRITE setColOrderSettingName NOTIFY colOrderSettingNameChanged)
  Q_PROPERTY(QString printingReportHeader READ printingReportHeader WRITE setPrintingReportHeader NOTIFY printingReportHeaderChanged)
  Q_PROPERTY(int subItemClicked READ subItemClicked WRITE setSubItemClicked)


 public:
  // The values of the control's enumerated properties, by name. Unscoped, as Qt's own widgets
  // have them: Designer and uic write a value as tamarind::KestrelWidget::<name>, which only an
  // unscoped enumeration can both parse and compile; the names are unique within the class. Each
  // is an int underneath, so a number the control refuses (setProperty("tabStyle", 7)) is still a
  // value of the type on its way there.
  enum BorderStyle : int { NoBorder = 0, FixedSingle = 1 };
  Q_ENUM(BorderStyle)
  enum Appearance : int { Flat = 0, ThreeD = 1 };
  Q_ENUM(Appearance)
  enum Arrange : int { NoArrange = 0, ArrangeLeft = 1, ArrangeTop = 2 };
  Q_ENUM(Arrange)
  enum PictureAlignment : int {
    PictureTopLeft = 0,
    PictureTopRight = 1,
    PictureBottomLeft = 2,
    PictureBottomRight = 3,
    PictureCenter = 4,
    PictureTile = 5
  };
  Q_ENUM(PictureAlignment)
  enum SortOrder : int { Ascending = 0, Descending = 1 };
  Q_ENUM(SortOrder)
  enum View : int { IconView = 0, SmallIconView = 1, ListView = 2, ReportView = 3 };
  Q_ENUM(View)
  enum OleDragMode : int { DragManual = 0, DragAutomatic = 1 };
  Q_ENUM(OleDragMode)
  enum OleDropMode : int { DropNone = 0, DropManual = 1 };
  Q_ENUM(OleDropMode)
  enum TabStyle : int { TabStyleTabs = 0, TabStyleButtons = 1, TabStyleFlatButtons = 2 };
  Q_ENUM(TabStyle)
  enum TabPlacement : int { TabsOnTop = 0, TabsAtBottom = 1 };
  Q_ENUM(TabPlacement)

  explicit KestrelWidget(QWidget* parent = nullptr);
  ~KestrelWidget() override;

  Kestrel& kestrel() { return *kestrel_; }
  const Kestrel& kestrel() const { return *kestrel_; }
  // A KestrelEvents object of the host's, called before each signal; nullptr detaches it.
  void setEvents(KestrelEvents* events);
  // The rows as a read-only table (Qt::DisplayRole the cell texts, CheckStateRole the check
  // boxes, the captions as horizontal header data), following every insertion, removal, sort,
  // filter and edit. Rows added in a burst are announced together when the event loop next runs;
  // calling model() announces those pending, so its counts are current at the call.
  QAbstractItemModel* model() const;
  // The Qt desktop of the application's widgets: message boxes, printer, sounds, timers.
  platform::qt::QtToolkit& toolkit() const { return *toolkit_; }
  // The same desktop before any widget exists (made on first use; a QApplication must exist).
  static std::shared_ptr<platform::qt::QtToolkit> sharedToolkit();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  QColor backColor() const;
  void setBackColor(const QColor& v);
  QColor foreColor() const;
  void setForeColor(const QColor& v);
  BorderStyle borderStyle() const;
  void setBorderStyle(BorderStyle v);
  Appearance appearance() const;
  void setAppearance(Appearance v);
  Arrange arrange() const;
  void setArrange(Arrange v);
  bool hideColumnHeaders() const;
  void setHideColumnHeaders(bool v);
  bool hideSelection() const;
  void setHideSelection(bool v);
  bool labelWrap() const;
  void setLabelWrap(bool v);
  bool fullRowSelect() const;
  void setFullRowSelect(bool v);
  bool gridLines() const;
  void setGridLines(bool v);
  PictureAlignment pictureAlignment() const;
  void setPictureAlignment(PictureAlignment v);
  bool sorted() const;
  void setSorted(bool v);
  int sortKey() const;
  void setSortKey(int v);
  SortOrder sortOrder() const;
  void setSortOrder(SortOrder v);
  View view() const;
  void setView(View v);
  bool multiSelect() const;
  void setMultiSelect(bool v);
  OleDragMode oleDragMode() const;
  void setOleDragMode(OleDragMode v);
  OleDropMode oleDropMode() const;
  void setOleDropMode(OleDropMode v);
  bool checkboxes() const;
  void setCheckboxes(bool v);
  bool allowColumnReorder() const;
  void setAllowColumnReorder(bool v);
  QPixmap picture() const;
  void setPicture(const QPixmap& v);
  QString text() const;
  void setText(const QString& v);
  QString passwordChar() const;
  void setPasswordChar(const QString& v);
  QString selText() const;
  void setSelText(const QString& v);
  int selStart() const;
  void setSelStart(int v);
  int selLength() const;
  void setSelLength(int v);
  bool rightToLeft() const;
  void setRightToLeft(bool v);
  QString dropDownText() const;
  void setDropDownText(const QString& v);
  int listIndex() const;
  void setListIndex(int v);
  int dropWidth() const;
  void setDropWidth(int v);
  int dropLines() const;
  void setDropLines(int v);
  int dropDelay() const;
  void setDropDelay(int v);
  QColor calendarBackColor() const;
  void setCalendarBackColor(const QColor& v);
  QColor calendarForeColor() const;
  void setCalendarForeColor(const QColor& v);
  QColor calendarTitleBackColor() const;
  void setCalendarTitleBackColor(const QColor& v);
  QColor calendarTitleForeColor() const;
  void setCalendarTitleForeColor(const QColor& v);
  QColor calendarTrailingForeColor() const;
  void setCalendarTrailingForeColor(const QColor& v);
  bool titlebar() const;
  void setTitlebar(bool v);
  QString titleCaption() const;
  void setTitleCaption(const QString& v);
  int titleHeight() const;
  void setTitleHeight(int v);
  QColor titleBackColor() const;
  void setTitleBackColor(const QColor& v);
  QColor titleForeColor() const;
  void setTitleForeColor(const QColor& v);
  QFont titleFont() const;
  void setTitleFont(const QFont& v);
  bool tabs() const;
  void setTabs(bool v);
  QString tabCaptions() const;
  void setTabCaptions(const QString& v);
  TabStyle tabStyle() const;
  void setTabStyle(TabStyle v);
  TabPlacement tabPlacement() const;
  void setTabPlacement(TabPlacement v);
  QColor lineEvenColor() const;
  void setLineEvenColor(const QColor& v);
  QColor lineOddColor() const;
  void setLineOddColor(const QColor& v);
  bool lineAltColor() const;
  void setLineAltColor(bool v);
  bool smartColumnSort() const;
  void setSmartColumnSort(bool v);
  bool autoSort() const;
  void setAutoSort(bool v);
  bool sortArrows() const;
  void setSortArrows(bool v);
  int sortArrowSize() const;
  void setSortArrowSize(int v);
  QPixmap sortArrowUpPicture() const;
  void setSortArrowUpPicture(const QPixmap& v);
  QPixmap sortArrowDownPicture() const;
  void setSortArrowDownPicture(const QPixmap& v);
  bool playSounds() const;
  void setPlaySounds(bool v);
  QString colOrderAppName() const;
  void setColOrderAppName(const QString& v);
  QString colOrderSettingName() const;
  void setColOrderSettingName(const QString& v);
  QString printingReportHeader() const;
  void setPrintingReportHeader(const QString& v);
  int subItemClicked() const;
  void setSubItemClicked(int v);


 signals:
  // --- the control's events ---------------------------------------------------------------------------
  void itemClick(int row, int column, bool secondClick, Qt::MouseButton button);
  void itemCheck(int row, bool checked);
  void columnClick(int column);
  void beforeColumnSort(int column, tamarind::KestrelSortRequest* request);
  void columnSortComplete();
  void clicked();
  void doubleClicked();
  void scrolled();
  void keyDown(tamarind::KestrelKey* key);
  void keyPress(tamarind::KestrelKey* key);
  void keyUp(tamarind::KestrelKey* key);
  void mouseDown(tamarind::KestrelMouse* mouse);
  void mouseMove(tamarind::KestrelMouse* mouse);
  void mouseUp(tamarind::KestrelMouse* mouse);
  void hitTest(tamarind::KestrelHitTest* hit);
  // The text editor.
  void changed(const QString& text);
  void changeComplete(const QString& oldText, const QString& newText);
  void textBoxValidate(bool* cancel);
  void spinnerUpClick();
  void spinnerDownClick();
  void tabRequest(tamarind::KestrelTabRequest* request);
  // The drop-down editor.
  void dropDown();
  void dropDownClick();
  void dropDownChange(const QString& text);
  void dropDownChangeComplete(const QString& oldText, const QString& newText);
  void notInList(tamarind::KestrelNotInList* entry);
  void comboBoxValidate(bool* cancel);
  // The calendar editor; column is the edited cell's.
  void calendarChange(const QString& newDate);
  void calendarChangeComplete(const QString& oldDate, const QString& newDate, int column);
  void calendarValidate(bool* cancel);
  // The "..." button, the title bar and the tabs.
  void commandButtonClick();
  void titleBarClick(Qt::MouseButton button);
  void tabClick(int* tabIndex);
  // Export, drag and drop.
  void exportToExcelComplete(tamarind::KestrelWorkbook* workbook);
  void oleStartDrag(tamarind::KestrelDrag* drag);
  void oleSetData(tamarind::KestrelDrag* drag);
  void oleGiveFeedback(tamarind::KestrelDrag* drag);
  void oleDragOver(tamarind::KestrelDrag* drag);
  void oleDragDrop(tamarind::KestrelDrag* drag);
  void oleCompleteDrag(tamarind::KestrelDrag* drag);

  // --- property changes the control reports (each also as propertyChanged with its saved name) ---
  void propertyChanged(const QString& name);
  void backColorChanged();
  void foreColorChanged();
  void borderStyleChanged();
  void appearanceChanged();
  void checkboxesChanged();
  void allowColumnReorderChanged();
  void rightToLeftChanged();
  void dropDownTextChanged();
  void listIndexChanged();
  void dropWidthChanged();
  void dropLinesChanged();
  void dropDelayChanged();
  void titlebarChanged();
  void titleCaptionChanged();
  void titleHeightChanged();
  void titleBackColorChanged();
  void titleForeColorChanged();
  void titleFontChanged();
  void tabStyleChanged();
  void tabPlacementChanged();
  void lineEvenColorChanged();
  void lineOddColorChanged();
  void lineAltColorChanged();
  void smartColumnSortChanged();
  void autoSortChanged();
  void sortArrowSizeChanged();
  void sortArrowUpPictureChanged();
  void sortArrowDownPictureChanged();
  void playSoundsChanged();
  void colOrderAppNameChanged();
  void colOrderSettingNameChanged();
  void printingReportHeaderChanged();

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  class SignalBridge;
  template <class Set>
  void SetProperty(Set&& set);
  void ReportPropertyChange(std::string_view name);
  void FollowFontAndEnabled(QEvent::Type what);
  bool LeaveAlongTabChain(bool forward);

  std::shared_ptr<platform::qt::QtToolkit> toolkit_;  // outlives the form
  std::unique_ptr<platform::qt::QtHostForm> form_;
  std::unique_ptr<SignalBridge> bridge_;
  Kestrel* kestrel_ = nullptr;  // sited on form_
  bool followingControl_ = false;  // the widget follows a change the control made
};

}  // namespace tamarind
