#pragma once
// Everything one Kestrel is made of: its inner controls, its member variables and the host's
// event sink. Every subsystem (editing, presentation, sorting, services) works on this one object;
// the Kestrel class is the public face over it.

#include <cstdint>
#include <memory>
#include <string>

#include "core/Enums.h"
#include "core/KestrelEvents.h"
#include "platform/ImageList.h"
#include "platform/Toolkit.h"
#include "platform/UserControl.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/DTPicker.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/SimpleControls.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/TextBox.h"
#include "platform/listview/ListView.h"

namespace tamarind::editing {
class CCBO;
}

namespace tamarind {

struct KestrelState {
  KestrelState(platform::Toolkit& toolkit, platform::UserControl& surface);

  platform::Toolkit& tk;
  platform::UserControl& surface;  // the control's own window: hWnd, Ambient, PropertyChanged

  // --- inner controls, created with the control and kept for its whole life ----------------------
  std::shared_ptr<platform::ListView> lvLIST;
  std::shared_ptr<platform::TabStrip> TabCTL;
  std::shared_ptr<platform::Label> lblTITLE;
  std::shared_ptr<platform::TextBox> txtBOX;
  std::shared_ptr<platform::UpDown> SPINNER;
  std::shared_ptr<platform::ComboBox> cboBOX;
  std::shared_ptr<platform::DTPicker> cboDATE;
  std::shared_ptr<platform::CommandButton> cmdBUTTON;
  std::shared_ptr<platform::TextBox> txtSEL;
  std::shared_ptr<platform::Timer> Timer;
  std::shared_ptr<platform::PictureBox> picSUP;
  std::shared_ptr<platform::PictureBox> picSDOWN;
  platform::ImageListRef imgCUSTOM;
  platform::ImageListRef imgHEADER;
  std::shared_ptr<platform::PictureBox> picCOLOR;
  std::shared_ptr<platform::ProgressBar> prgBAR;
  std::shared_ptr<platform::TextBox> lblEXCELMSG;

  // --- member variables -----------------------------------------------------------------------------
  bool m_Tabs = false;
  bool m_AutoSort = false;
  int32_t m_SubItemClicked = 0;
  bool m_SmartColumnSort = false;
  bool m_PlaySounds = false;
  int32_t m_DropWidth = 0, m_DropLines = 0, m_DropDelay = 0;
  bool m_SortArrows = false;
  platform::OLE_COLOR m_LineEvenColor = 0, m_LineOddColor = 0;
  bool m_LineAltColor = false;
  std::string m_ColOrderAppName, m_ColOrderSettingName;
  std::string m_PrintingReportHeader;
  int32_t m_SortArrowSize = 0;
  std::shared_ptr<editing::CCBO> m_CCBO;
  bool m_Loading = false;
  int32_t m_LastItem = 0, m_LastSubItem = 0, m_CurItem = 0;
  int16_t m_Button = 0;

  // --- the host --------------------------------------------------------------------------------------
  // The host's sink, or a sink that answers nothing.
  KestrelEvents& Events() { return events ? *events : silent; }
  KestrelEvents* events = nullptr;

  // --- shared operations -----------------------------------------------------------------------------
  // The SubItemClicked property's let: Error 387 at design time, else store and tell the container.
  void SetSubItemClicked(int32_t value);

 private:
  KestrelEvents silent;
};

}  // namespace tamarind
