// Kestrel: composition, lifecycle and the forwarding of the public members to the subsystems.

#include "control/Kestrel.h"

#include "core/PaintingLock.h"
#include "dataio/CopyExport.h"
#include "runtime/Conversions.h"
#include "editing/EditorInput.h"
#include "editing/EditorPlacement.h"
#include "editing/HitResolution.h"
#include "editing/basLVHITTEST.h"
#include "presentation/EditableStyling.h"
#include "presentation/TitleTabsLayout.h"
#include "presentation/basALTCOLOR.h"
#include "services/ColumnOrder.h"
#include "services/basSOUND.h"
#include "sorting/ColumnSort.h"
#include "sorting/HeaderArrows.h"

namespace tamarind {

using namespace platform;

namespace {
FontRef Verdana(float size) { return std::make_shared<StdFont>("Verdana", size); }
}  // namespace

Kestrel::Kestrel(Toolkit& tk) : UserControl(tk, "Kestrel"), s_(tk, *this) {
  CreateInnerControls();
  placement_ = std::make_unique<editing::EditorPlacement>(s_);
  input_ = std::make_unique<editing::EditorInput>(s_, *placement_);
  hit_ = std::make_unique<editing::HitResolution>(s_, *placement_, *input_);
  sort_ = std::make_unique<sorting::ColumnSort>(s_, *placement_);
  export_ = std::make_unique<dataio::CopyExport>(s_);
  WireInnerControls();
}

Kestrel::~Kestrel() {
  // A control released without its form still ends as a control does.
  UserControlLifecycle::Terminate(*this);
}

// The inner controls with their design-time settings. Only the list is visible; the other
// visible kinds start hidden and are shown by the part that owns them.
void Kestrel::CreateInnerControls() {
  Toolkit& tk = s_.tk;
  UserControl::Font(Verdana(8.25f));
  // The control sees every key of its editors first: Tab moves between cells instead of leaving.
  KeyPreview(true);
  Move(0, 0, 4800, 3600);

  s_.lvLIST = tk.CreateListView(*this);
  s_.lvLIST->Name("lvLIST");
  s_.lvLIST->Font(Verdana(8.25f));
  s_.lvLIST->View(ListView::lvwReport);  // a new instance is a report list, ready to edit in
  s_.lvLIST->Move(0, 0, 4800, 3600);
  s_.lvLIST->TabIndex(0);

  s_.TabCTL = tk.CreateTabStrip(*this);
  s_.TabCTL->Name("TabCTL");
  s_.TabCTL->Visible(false);
  s_.TabCTL->Height(400);
  for (const char* caption : {"Tab 1", "Tab 2", "Tab 3"}) s_.TabCTL->Add(0, {}, caption);

  s_.lblTITLE = tk.CreateLabel(*this);
  s_.lblTITLE->Name("lblTITLE");
  s_.lblTITLE->Caption("Title");
  s_.lblTITLE->Visible(false);
  s_.lblTITLE->Height(210);
  s_.lblTITLE->Font(Verdana(8.25f));
  s_.lblTITLE->BackColor(vbButtonFace);
  s_.lblTITLE->ForeColor(vbButtonText);

  auto editor = [&](Control& c, const char* name, float height) {
    c.Name(name);
    c.Visible(false);
    c.TabStop(false);
    c.Height(height);
  };
  s_.txtBOX = tk.CreateTextBox(*this);
  editor(*s_.txtBOX, "txtBOX", 255);
  s_.txtBOX->Font(Verdana(8.25f));
  s_.SPINNER = tk.CreateUpDown(*this);
  editor(*s_.SPINNER, "SPINNER", 255);
  s_.SPINNER->Width(255);
  s_.cboBOX = tk.CreateComboBox(*this);
  editor(*s_.cboBOX, "cboBOX", 255);  // one row high, like the other editors
  s_.cboBOX->Font(Verdana(8.25f));
  s_.cboBOX->Text("cboBOX");
  s_.cboDATE = tk.CreateDTPicker(*this);
  editor(*s_.cboDATE, "cboDATE", 255);
  s_.cboDATE->Font(Verdana(8.25f));
  s_.cmdBUTTON = tk.CreateCommandButton(*this);
  editor(*s_.cmdBUTTON, "cmdBUTTON", 255);
  s_.cmdBUTTON->Caption("...");
  s_.cmdBUTTON->Font(Verdana(6));
  s_.cmdBUTTON->Width(255);
  s_.txtSEL = tk.CreateTextBox(*this);
  editor(*s_.txtSEL, "txtSEL", 255);
  s_.txtSEL->BackColor(0x00C0FFFF);

  s_.Timer = tk.CreateTimer(*this);
  s_.Timer->Name("Timer");
  s_.Timer->Enabled(false);
  s_.Timer->Interval(100);

  s_.picSUP = tk.CreatePictureBox(*this);
  s_.picSUP->Name("picSUP");
  s_.picSUP->Visible(false);
  s_.picSDOWN = tk.CreatePictureBox(*this);
  s_.picSDOWN->Name("picSDOWN");
  s_.picSDOWN->Visible(false);
  s_.imgCUSTOM = std::make_shared<ImageList>();
  s_.imgHEADER = sorting::BuiltInArrowImages();
  s_.picCOLOR = tk.CreatePictureBox(*this);
  s_.picCOLOR->Name("picCOLOR");
  s_.picCOLOR->Visible(false);
  s_.picCOLOR->BackColor(vbWindowBackground);
  s_.picCOLOR->ForeColor(vbWindowText);
  s_.prgBAR = tk.CreateProgressBar(*this);
  s_.prgBAR->Name("prgBAR");
  s_.prgBAR->Visible(false);
  s_.lblEXCELMSG = tk.CreateTextBox(*this);
  editor(*s_.lblEXCELMSG, "lblEXCELMSG", 255);
  s_.lblEXCELMSG->Text("Finalizing workbook formatting...");
  s_.lblEXCELMSG->BackColor(vbHighlight);
  s_.lblEXCELMSG->ForeColor(vbHighlightText);
}

void Kestrel::WireInnerControls() {
  s_.Timer->Tick.Connect([this] { placement_->TrackEditors(); });
  presentation::WireTitleAndTabs(s_);
}

// --- lifecycle ------------------------------------------------------------------------------------------

void Kestrel::UserControl_Initialize() {}

void Kestrel::UserControl_InitProperties() {
  s_.m_SubItemClicked = 0;
  s_.m_AutoSort = false;
}

void Kestrel::UserControl_Show() {
  ResumeNext([&] {
    if (s_.m_LineAltColor)
      basALTCOLOR::ApplyAltLineColors(s_.tk, *s_.lvLIST, *s_.picCOLOR, s_.m_LineOddColor, s_.m_LineEvenColor);
  });
}

void Kestrel::UserControl_Resize() { presentation::LayOut(s_); }

void Kestrel::UserControl_ExitFocus() {
  ResumeNext([&] { placement_->HideEditAreas(true); });
}

void Kestrel::UserControl_KeyDown(int16_t& KeyCode, int16_t&) {
  if (KeyCode == vbKeyTab) ResumeNext([&] { input_->ProcessTabKey(); });
}

void Kestrel::UserControl_KeyPress(int16_t& KeyAscii) {
  if (KeyAscii == vbKeyTab) KeyAscii = 0;  // Tab moves between cells; it never types a character
}

void Kestrel::UserControl_HitTest(float& x, float& y, int16_t& HitResult) {
  ResumeNext([&] { s_.Events().HitTest(x, y, HitResult); });
}

void Kestrel::UserControl_Terminate() { SaveColumnOrder(); }

// --- forwarding methods ---------------------------------------------------------------------------------

void Kestrel::PopupMenu(const std::string& menu, int32_t flags, float x, float y, const std::string& defaultMenu) {
  ResumeNext([&] { UserControl::PopupMenu(menu, flags, x, y, defaultMenu); });
}

void Kestrel::OLEDrag() {
  ResumeNext([&] { s_.lvLIST->OLEDrag(); });
}

void Kestrel::AddItem(const std::string& Item, const Variant& index) {
  ResumeNext([&] { s_.cboBOX->AddItem(Item, index.IsEmpty() ? -1 : CInt(index)); });
}

void Kestrel::RemoveItem(int16_t index) {
  ResumeNext([&] { s_.cboBOX->RemoveItem(index); });
}

void Kestrel::Clear() {
  ResumeNext([&] { s_.cboBOX->Clear(); });
}

void Kestrel::SetFocusToTextBox() { input_->SetFocusToTextBox(); }
void Kestrel::SetFocusToDropdown() { input_->SetFocusToDropdown(); }
void Kestrel::SetFocusToCommandButton() { input_->SetFocusToCommandButton(); }

// --- painting lock ----------------------------------------------------------------------------------------

void Kestrel::LockWindow(bool& UnLockWin) { tamarind::LockWindow(s_, UnLockWin); }

void Kestrel::LockWindow(const bool& UnLockWin) {
  bool copy = UnLockWin;
  LockWindow(copy);
}

// --- editable columns -------------------------------------------------------------------------------------

void Kestrel::SetEditableItemsBold(const std::string& idxSTR) {
  presentation::SetEditableItemsBold(s_.tk, *s_.lvLIST, idxSTR);
}

void Kestrel::SetEditableItemsForeColor(const std::string& idxSTR, OLE_COLOR clr) {
  presentation::SetEditableItemsForeColor(s_.tk, *s_.lvLIST, idxSTR, clr);
}

void Kestrel::SetNonEditableItemsForeColor(const std::string& idxSTR, OLE_COLOR clr) {
  presentation::SetNonEditableItemsForeColor(s_.tk, *s_.lvLIST, idxSTR, clr);
}

// --- editors --------------------------------------------------------------------------------------------------

void Kestrel::ShowTextBox(const std::string& DefaultText) { placement_->ShowTextBox(DefaultText); }
void Kestrel::ShowTextBoxWithSpinner(const std::string& DefaultText) { placement_->ShowTextBoxWithSpinner(DefaultText); }
void Kestrel::ShowDropDown(const std::string& DefaultText) { placement_->ShowDropDown(DefaultText); }
void Kestrel::ShowCalendar(std::string& DefaultText) { placement_->ShowCalendar(DefaultText); }
void Kestrel::ShowCalendar(const std::string& DefaultText) {
  std::string copy = DefaultText;
  placement_->ShowCalendar(copy);
}
void Kestrel::ShowCommandButton() { placement_->ShowCommandButton(); }
void Kestrel::HideTextBox() { placement_->HideTextBox(); }
void Kestrel::HideDropDown() { placement_->HideDropDown(); }
void Kestrel::HideCalendar() { placement_->HideCalendar(); }
void Kestrel::HideCommandButton() { placement_->HideCommandButton(); }
void Kestrel::HideEditAreas(bool CheckForChange) { placement_->HideEditAreas(CheckForChange); }

ListItemRef Kestrel::HitTest(float x, float y) { return hit_->HitTest(x, y); }
int32_t Kestrel::GetSubItemLeftOnScreen() { return hit_->CellEdgeOnScreen(editing::CellEdge::Left); }
int32_t Kestrel::GetSubItemRightOnScreen() { return hit_->CellEdgeOnScreen(editing::CellEdge::Right); }
int32_t Kestrel::GetSubItemTopOnScreen() { return hit_->CellEdgeOnScreen(editing::CellEdge::Top); }
int32_t Kestrel::GetSubItemBottomOnScreen() { return hit_->CellEdgeOnScreen(editing::CellEdge::Bottom); }

bool Kestrel::IconClicked() const { return basLVHITTEST::g_IconClicked; }

// --- sounds and column order --------------------------------------------------------------------------------

void Kestrel::PlaySound(CtrlSounds s) { basSOUND::PlaySound(s_.tk, s); }

void Kestrel::SaveColumnOrder() {
  ResumeNext([&] { services::SaveColumnOrder(s_.tk, *s_.lvLIST, s_.m_ColOrderAppName, s_.m_ColOrderSettingName); });
}

void Kestrel::RestoreColumnOrder() {
  services::RestoreColumnOrder(s_.tk, *s_.lvLIST, s_.m_ColOrderAppName, s_.m_ColOrderSettingName);
}

}  // namespace tamarind
