#pragma once
// Kestrel: a report-style list whose cells are edited in place.
//
// A host sites the control on a form, fills the inner list through ListItems() and
// ColumnHeaders(), attaches a KestrelEvents sink, and answers ItemClick by opening an editor over
// the clicked cell (ShowTextBox, ShowTextBoxWithSpinner, ShowDropDown, ShowCalendar,
// ShowCommandButton). The control reports every finished edit (ChangeComplete,
// DropDownChangeComplete, CalendarChangeComplete) with the opening and the new text; the host
// stores the value. Properties are read with X() and set with X(value).

#include <cstdint>
#include <memory>
#include <string>

#include "core/Enums.h"
#include "core/KestrelEvents.h"
#include "core/KestrelState.h"
#include "platform/UserControl.h"
#include "platform/listview/VirtualRows.h"
#include "runtime/Collection.h"

namespace tamarind {

namespace dataio {
class CopyExport;
}  // namespace dataio

namespace editing {
class EditorPlacement;
class EditorInput;
class HitResolution;
}  // namespace editing
namespace sorting {
class ColumnSort;
}  // namespace sorting

class Kestrel : public platform::UserControl {
 public:
  using OLE_COLOR = platform::OLE_COLOR;
  using FontRef = platform::FontRef;
  using PictureRef = platform::PictureRef;
  using ImageListRef = platform::ImageListRef;
  using ListItemRef = platform::ListItemRef;
  using HWND = platform::HWND;

  explicit Kestrel(platform::Toolkit& tk);
  ~Kestrel() override;
  std::string TypeName() const override { return "Kestrel"; }

  // The host's events; nullptr detaches.
  void Attach(KestrelEvents* sink) { s_.events = sink; }

  // --- appearance, forwarded to the inner controls -------------------------------------------------
  OLE_COLOR BackColor() const;
  void BackColor(OLE_COLOR v);
  OLE_COLOR ForeColor() const;
  void ForeColor(OLE_COLOR v);
  FontRef Font() const;
  void Font(const FontRef& v);
  bool FontBold() const;
  void FontBold(bool v);
  bool FontItalic() const;
  void FontItalic(bool v);
  bool FontStrikethru() const;
  void FontStrikethru(bool v);
  bool FontUnderline() const;
  void FontUnderline(bool v);
  std::string FontName() const;
  void FontName(const std::string& v);
  float FontSize() const;
  void FontSize(float v);
  int16_t BorderStyle() const;
  void BorderStyle(int16_t v);
  int16_t Appearance() const;
  void Appearance(int16_t v);
  bool Enabled() const;
  void Enabled(bool v);

  // --- the list's own options ----------------------------------------------------------------------------
  int16_t Arrange() const;
  void Arrange(int16_t v);
  bool HideColumnHeaders() const;
  void HideColumnHeaders(bool v);
  bool HideSelection() const;
  void HideSelection(bool v);
  bool LabelWrap() const;
  void LabelWrap(bool v);
  bool FullRowSelect() const;
  void FullRowSelect(bool v);
  bool GridLines() const;
  void GridLines(bool v);
  int16_t PictureAlignment() const;
  void PictureAlignment(int16_t v);
  bool Sorted() const;
  void Sorted(bool v);
  int16_t SortKey() const;
  void SortKey(int16_t v);
  int16_t SortOrder() const;
  void SortOrder(int16_t v);
  int16_t View() const;
  void View(int16_t v);
  bool MultiSelect() const;
  void MultiSelect(bool v);
  int16_t OLEDragMode() const;
  void OLEDragMode(int16_t v);
  int16_t OLEDropMode() const;
  void OLEDropMode(int16_t v);
  bool Checkboxes() const;
  void Checkboxes(bool v);
  bool AllowColumnReorder() const;
  void AllowColumnReorder(bool v);
  ImageListRef Icons() const;
  void Icons(const ImageListRef& v);
  ImageListRef SmallIcons() const;
  void SmallIcons(const ImageListRef& v);
  ImageListRef ColumnHeaderIcons() const;
  void ColumnHeaderIcons(const ImageListRef& v);
  PictureRef Picture() const;
  void Picture(const PictureRef& v);

  // --- the text editor ---------------------------------------------------------------------------------
  std::string Text() const;
  void Text(const std::string& v);
  std::string PasswordChar() const;
  void PasswordChar(const std::string& v);
  std::string SelText() const;
  void SelText(const std::string& v);
  int32_t SelStart() const;
  void SelStart(int32_t v);
  int32_t SelLength() const;
  void SelLength(int32_t v);
  int16_t ScrollBars() const;
  // Errors reach the caller.
  bool RightToLeft() const;
  void RightToLeft(bool v);

  // --- the drop-down editor ------------------------------------------------------------------------------
  std::string DropDownText() const;
  void DropDownText(const std::string& v);
  int16_t ListIndex() const;
  void ListIndex(int16_t v);
  std::string List(int16_t index) const;
  void List(int16_t index, const std::string& v);
  int32_t ItemData(int16_t index) const;
  void ItemData(int16_t index, int32_t v);
  int16_t ListCount() const;
  int16_t NewIndex() const;
  int16_t Style() const;
  void AddItem(const std::string& Item, const Variant& index = {});
  void RemoveItem(int16_t index);
  void Clear();
  int32_t DropWidth() const { return s_.m_DropWidth; }
  void DropWidth(int32_t v);
  int32_t DropLines() const { return s_.m_DropLines; }
  // Fewer than 8 lines become 8, also in the caller's variable.
  void DropLines(int32_t& v);
  void DropLines(const int32_t& v);
  int32_t DropDelay() const { return s_.m_DropDelay; }
  void DropDelay(int32_t v);

  // --- the calendar editor ---------------------------------------------------------------------------
  OLE_COLOR CalendarBackColor() const;
  void CalendarBackColor(OLE_COLOR v);
  OLE_COLOR CalendarForeColor() const;
  void CalendarForeColor(OLE_COLOR v);
  OLE_COLOR CalendarTitleBackColor() const;
  void CalendarTitleBackColor(OLE_COLOR v);
  OLE_COLOR CalendarTitleForeColor() const;
  void CalendarTitleForeColor(OLE_COLOR v);
  OLE_COLOR CalendarTrailingForeColor() const;
  void CalendarTrailingForeColor(OLE_COLOR v);

  // --- title bar and tabs ----------------------------------------------------------------------------
  bool Titlebar() const;
  void Titlebar(bool v);
  std::string TitleCaption() const;
  void TitleCaption(const std::string& v);
  // Twips, 0 to kMaxTitleHeight (every whole number up to it is exact in the label's Single
  // height); Error 380 otherwise, skipped as the property's other errors are.
  static constexpr int32_t kMaxTitleHeight = 16777216;
  int32_t TitleHeight() const;
  void TitleHeight(int32_t v);
  OLE_COLOR TitleBackColor() const;
  void TitleBackColor(OLE_COLOR v);
  OLE_COLOR TitleForeColor() const;
  void TitleForeColor(OLE_COLOR v);
  FontRef TitleFont() const;
  void TitleFont(const FontRef& v);
  // Tabs, TabStyle and TabPlacement pass errors to the caller, as does reading TabCaptions.
  bool Tabs() const;
  void Tabs(bool v);
  std::string TabCaptions() const;
  void TabCaptions(const std::string& v);
  TabStyles TabStyle() const;
  void TabStyle(TabStyles v);
  TabPlacements TabPlacement() const;
  void TabPlacement(TabPlacements v);
  int32_t SelectedTab() const;
  void SelectedTab(int32_t v);

  // --- alternating row colours (errors reach the caller) ------------------------------------------------
  OLE_COLOR LineEvenColor() const { return s_.m_LineEvenColor; }
  void LineEvenColor(OLE_COLOR v);
  OLE_COLOR LineOddColor() const { return s_.m_LineOddColor; }
  void LineOddColor(OLE_COLOR v);
  bool LineAltColor() const { return s_.m_LineAltColor; }
  void LineAltColor(bool v);

  // --- sorting --------------------------------------------------------------------------------------
  bool SmartColumnSort() const { return s_.m_SmartColumnSort; }
  void SmartColumnSort(bool v);
  bool AutoSort() const { return s_.m_AutoSort; }
  void AutoSort(bool v);
  bool SortArrows() const { return s_.m_SortArrows; }
  void SortArrows(bool v);
  int32_t SortArrowSize() const { return s_.m_SortArrowSize; }
  void SortArrowSize(int32_t v);  // errors reach the caller
  PictureRef SortArrowUpPicture() const;
  void SortArrowUpPicture(const PictureRef& v);
  PictureRef SortArrowDownPicture() const;
  void SortArrowDownPicture(const PictureRef& v);

  // --- sounds, column order, printing ---------------------------------------------------------------
  bool PlaySounds() const { return s_.m_PlaySounds; }
  void PlaySounds(bool v);
  // Plays one of the control's sounds whatever PlaySounds says; a value that names no sound does
  // nothing.
  void PlaySound(CtrlSounds s);
  std::string ColOrderAppName() const { return s_.m_ColOrderAppName; }
  void ColOrderAppName(const std::string& v);  // errors reach the caller
  std::string ColOrderSettingName() const { return s_.m_ColOrderSettingName; }
  void ColOrderSettingName(const std::string& v);
  void SaveColumnOrder();
  // Errors (a damaged stored order) reach the caller.
  void RestoreColumnOrder();
  std::string PrintingReportHeader() const { return s_.m_PrintingReportHeader; }
  void PrintingReportHeader(const std::string& v);

  // --- the current cell --------------------------------------------------------------------------
  int32_t SubItemClicked() const { return s_.m_SubItemClicked; }
  // Error 387 at design time.
  void SubItemClicked(int32_t v);
  // Whether the latest press on any list of this thread landed on an item's icon.
  bool IconClicked() const;

  // --- references -----------------------------------------------------------------------------------
  HWND hwnd() const { return hWnd(); }
  HWND ListViewhWnd() const { return s_.lvLIST->hWnd(); }
  HWND DropDownhWnd() const { return s_.cboBOX->hWnd(); }
  HWND TextBoxhWnd() const { return s_.txtBOX->hWnd(); }
  platform::ListItems& ListItems() { return s_.lvLIST->ListItems(); }
  platform::ColumnHeaders& ColumnHeaders() { return s_.lvLIST->ColumnHeaders(); }
  ListItemRef SelectedItem() const;
  platform::ListView& ListViewControl() { return *s_.lvLIST; }
  platform::TextBox& TextBoxControl() { return *s_.txtBOX; }
  platform::ComboBox& ComboBoxControl() { return *s_.cboBOX; }
  platform::DTPicker& CalendarControl() { return *s_.cboDATE; }
  platform::CommandButton& CommandButtonControl() { return *s_.cmdBUTTON; }
  platform::Label& TitleBarLabelControl() { return *s_.lblTITLE; }

  // The rows a filter took out of the list (nullptr when none).
  std::shared_ptr<Collection> FilteredListItems;

  // --- forwarding methods -------------------------------------------------------------------------------
  void PopupMenu(const std::string& menu, int32_t flags = 0, float x = 0, float y = 0,
                 const std::string& defaultMenu = {});
  void OLEDrag();
  void SetFocusToTextBox();
  void SetFocusToDropdown();
  void SetFocusToCommandButton();

  // --- painting and layout -----------------------------------------------------------------------------
  // Suspends painting of the control's window; LockWindow(true) resumes it.
  void LockWindow(bool& UnLockWin);
  void LockWindow(const bool& UnLockWin = false);

  // --- editable columns ----------------------------------------------------------------------------------
  // idxSTR lists columns: "0" the item's own text, n sub-item n, separated by commas.
  void SetEditableItemsBold(const std::string& idxSTR);
  void SetEditableItemsForeColor(const std::string& idxSTR, OLE_COLOR clr);
  void SetNonEditableItemsForeColor(const std::string& idxSTR, OLE_COLOR clr);

  // --- in-place editors ----------------------------------------------------------------------------------
  void ShowTextBox(const std::string& DefaultText = {});
  void ShowTextBoxWithSpinner(const std::string& DefaultText = {});
  void ShowDropDown(const std::string& DefaultText = {});
  // An empty DefaultText opens the calendar on the current date and time, written back to the
  // caller's variable.
  void ShowCalendar(std::string& DefaultText);
  void ShowCalendar(const std::string& DefaultText = {});
  void ShowCommandButton();
  void HideTextBox();
  void HideDropDown();
  void HideCalendar();
  void HideCommandButton();
  void HideEditAreas(bool CheckForChange = true);

  // --- hit testing and the current cell on screen -------------------------------------------------------
  // The item at (x, y), twips in the list's client area; nullptr when there is none.
  ListItemRef HitTest(float x, float y);
  int32_t GetSubItemLeftOnScreen();
  int32_t GetSubItemRightOnScreen();
  int32_t GetSubItemTopOnScreen();
  int32_t GetSubItemBottomOnScreen();

  // --- sorting, column sizing and presets ---------------------------------------------------------
  // Sorts by column colINDEX (1-based) as a header click would, but as sOrder says and without
  // ColumnClick: BeforeColumnSort lets the host change the type and the character to omit; numbers
  // and dates sort in direction sdir, text turns SortOrder over. Errors (a column that does not
  // exist, a cell that is no number) reach the caller.
  void PerformSortOnColumn(int32_t colINDEX, SortDataType sOrder, SortDataDir sdir);
  // Fits every column to its texts and caption, the last one also filling the list, keeping the
  // sort arrows and the alignments. Errors are passed over.
  void SizeColumns();
  // Sets SmartColumnSort, GridLines, PlaySounds and SortArrows (and for the presets without
  // sorting AutoSort and Sorted) to one of fourteen combinations; any other value changes nothing.
  void LoadTemplateSetting(SettingTemplateTypes st);

  // --- filtering and selection queries -------------------------------------------------------------
  // Takes out of the list every row whose cell in column SubItemIndex (0 = the item's own text,
  // n = sub-item n) is not exactly searchSTR, letter case counting; with ExcludeMatch every row
  // whose cell is. The rows taken out are parked in FilteredListItems, last row first, and further
  // filters add to them. Errors (a column the list does not have, a failed smart sort) reach the
  // caller with the list unlocked; rows taken out before stay parked.
  void Filter(const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch = false);
  // As Filter, testing whether the cell contains searchSTR, ignoring letter case; searchSTR may
  // hold the wildcards ? * # [list] [!list] (a "[" without "]" is Error 93).
  void FilterWild(const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch = false);
  // Puts every parked row back at the end of the list and empties FilteredListItems. A key that a
  // row added meanwhile uses is Error 35602: the rows put back before it stay, and all stay parked.
  void FilterRemove();
  // The keys (or 1-based indexes) of the selected rows in list order, joined by Delim: "a,,c" for
  // keys "a", "", "c"; a leading empty key leaves no trace. "" when nothing is selected. An error
  // is shown in a "Warning" message box and gives "".
  std::string GetSelectedKeys(const std::string& Delim = ",");
  std::string GetSelectedIndexes(const std::string& Delim = ",");
  // The first row shown in the list area; nullptr for an empty list (or on any failure).
  ListItemRef GetFirstVisible();
  // The list view's search: the first row (from index, a number or a key) whose text (Where
  // lvwText, the default), a sub-item's text (lvwSubItem) or tag (lvwTag) equals sz ignoring
  // case, or with fPartial lvwPartial starts with it. nullptr when none, or on any failure.
  ListItemRef FindItem(const std::string& sz, const Variant& Where = {}, const Variant& index = {},
                       const Variant& fPartial = {});

  // --- copy and spreadsheet export ------------------------------------------------------------------
  // Replaces the clipboard's text with the whole list: the column headers, then every row, TAB
  // between cells, CR after every line.
  void CopyAll();
  // Writes the list to a workbook file through the spreadsheet application (the library's own,
  // reached by GetObject). FilePathAndName gains ".xls" when it does not end in it, also in the
  // caller's variable. ExportToExcelComplete hands the open workbook to the host before it is
  // saved; when an instance of the application was already running, the workbook stays open and
  // unsaved in it instead. Errors are reported in a message box.
  void ExportToExcel(std::string& FilePathAndName, bool OpenAfterExport = true);
  void ExportToExcel(const std::string& FilePathAndName, bool OpenAfterExport = true);

  // --- recordset fill and printing ------------------------------------------------------------------
  // Replaces the columns and rows with those of a recordset (any object answering Fields, EOF
  // and MoveNext; see platform/database), from its current record to its end. cols, keycol and
  // colNAMES are ":" lists of field ordinals, key field ordinals and captions; "" shows every
  // field, makes no keys, takes the fields' names. Errors are reported in a message box; the
  // caller's strings are left as they were.
  void RecordSetFill(const Variant& rs, const std::string& cols = {}, const std::string& keycol = {},
                     const std::string& colNAMES = {});
  // --- virtual mode: rows read from a database engine --------------------------------------------
  // Shows the rows of a source without holding them: the list's columns become the source's, its
  // rows are read a page at a time as they are drawn or asked for (a bounded cache), and header
  // sorts and filters run in the source's engine (see platform/listview/VirtualRows.h, and the
  // row sources of platform/database/SqlRowSource.h). What differs from a list that holds its rows:
  //   - the rows start in the source's order and Sorted turns False (no sort nobody asked for);
  //   - rows equal in a sorted column stand in the order of their keys, not of the sort before;
  //   - a column's declared type in the engine decides a header click's sort type;
  //   - Filter and FilterWild park nothing (FilteredListItems stays Nothing) and keep the order;
  //     FilterRemove drops every filter;
  //   - the selection is kept by row key; GetSelectedKeys/GetSelectedIndexes ask the engine where
  //     the selected rows stand;
  //   - ListItems.Add/Remove/Clear, SetEditableItems*, and sorting by a comparison routine are
  //     Error 5: the rows are the source's. An edited cell is the host's to write back (in
  //     ChangeComplete, with an UPDATE), then RefreshRows shows it;
  //   - a page the engine cannot give (an error, a lost connection) stands blank, and the error
  //     is shown once in a "Warning" message box; RefreshRows tries again.
  // Error 380 for no source; an error of the engine's first count reaches the caller.
  void BindRowSource(std::shared_ptr<platform::VirtualRows> source);
  // Back to a list that holds its rows, with no rows and no columns. Nothing when not bound.
  void UnbindRowSource();
  bool VirtualMode() const;
  // Counts and reads the rows again (after the host or others changed them); the selection stays.
  void RefreshRows();

  // Prints the list on the toolkit's printer, titled PrintingReportHeader, in portrait or
  // landscape; the rows alternate LineOddColor and LineEvenColor while LineAltColor is on.
  void PrintToDefaultPrinter();
  void PrintToDefaultPrinterLandscape();

 protected:
  void UserControl_Initialize() override;
  void UserControl_InitProperties() override;
  void UserControl_ReadProperties(platform::PropertyBag& bag) override;
  void UserControl_WriteProperties(platform::PropertyBag& bag) override;
  void UserControl_Show() override;
  void UserControl_Resize() override;
  void UserControl_ExitFocus() override;
  void UserControl_KeyDown(int16_t& KeyCode, int16_t& Shift) override;
  void UserControl_KeyPress(int16_t& KeyAscii) override;
  void UserControl_HitTest(float& x, float& y, int16_t& HitResult) override;
  void UserControl_Terminate() override;

 private:
  void CreateInnerControls();
  void WireInnerControls();
  void PropertyChanged(std::string_view name) { UserControl::PropertyChanged(name); }

  KestrelState s_;
  std::unique_ptr<editing::EditorPlacement> placement_;
  std::unique_ptr<editing::EditorInput> input_;
  std::unique_ptr<editing::HitResolution> hit_;
  // sorting subsystems
  std::unique_ptr<sorting::ColumnSort> sort_;
  bool fetchFailureHeard_ = false;  // the list's failed pages are reported (virtual mode)

  // data in and out subsystems
  std::unique_ptr<dataio::CopyExport> export_;

};

}  // namespace tamarind
