#include "platform/Toolkit.h"

#include <fstream>
#include <iterator>

#include "platform/controls/CheckBox.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/DTPicker.h"
#include "platform/controls/Line.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/SimpleControls.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/TextBox.h"
#include "platform/listview/ListView.h"

namespace tamarind::platform {

PictureRef Toolkit::LoadPicture(const std::string& fileName) {
  if (fileName.empty()) return std::make_shared<StdPicture>();
  std::ifstream in(fileName, std::ios::binary);
  if (!in) Raise(err::FileNotFound, "LoadPicture", "File not found: " + fileName);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return StdPicture::FromBmp(bytes);
}

Variant Toolkit::GetObject(const std::string& pathName, const std::string& className) {
  if (pathName.empty()) {
    if (!className.empty()) {
      Variant running = runningObjects_.Find(className);
      if (!running.IsNothing()) return running;
    }
    Raise(err::CannotCreateObject, "GetObject");
  }
  auto cls = className.empty() ? FindAutomationClassForFile(pathName) : FindAutomationClass(className);
  if (!cls || !cls->open) Raise(err::CannotCreateObject, "GetObject");
  return cls->open(*this, pathName);
}

Variant Toolkit::CreateObject(const std::string& className) {
  auto cls = FindAutomationClass(className);
  if (!cls || !cls->create) Raise(err::CannotCreateObject, "CreateObject");
  return cls->create(*this);
}

bool Toolkit::ChooseColor(OLE_COLOR, OLE_COLOR&, const std::string&) { return false; }
bool Toolkit::ChooseFont(const StdFont&, FontRef&, const std::string&) { return false; }

std::shared_ptr<ListView> Toolkit::CreateListView(Window& parent) { return std::make_shared<ListView>(*this, &parent); }
std::shared_ptr<TextBox> Toolkit::CreateTextBox(Window& parent) { return std::make_shared<TextBox>(*this, &parent); }
std::shared_ptr<ComboBox> Toolkit::CreateComboBox(Window& parent) { return std::make_shared<ComboBox>(*this, &parent); }
std::shared_ptr<DTPicker> Toolkit::CreateDTPicker(Window& parent) { return std::make_shared<DTPicker>(*this, &parent); }
std::shared_ptr<UpDown> Toolkit::CreateUpDown(Window& parent) { return std::make_shared<UpDown>(*this, &parent); }
std::shared_ptr<CommandButton> Toolkit::CreateCommandButton(Window& parent) {
  return std::make_shared<CommandButton>(*this, &parent);
}
std::shared_ptr<Label> Toolkit::CreateLabel(Window& parent) { return std::make_shared<Label>(*this, &parent); }
std::shared_ptr<CheckBox> Toolkit::CreateCheckBox(Window& parent) { return std::make_shared<CheckBox>(*this, &parent); }
std::shared_ptr<Line> Toolkit::CreateLine(Window& parent) { return std::make_shared<Line>(*this, &parent); }
std::shared_ptr<PictureBox> Toolkit::CreatePictureBox(Window& parent) {
  return std::make_shared<PictureBox>(*this, &parent);
}
std::shared_ptr<TabStrip> Toolkit::CreateTabStrip(Window& parent) { return std::make_shared<TabStrip>(*this, &parent); }
std::shared_ptr<ProgressBar> Toolkit::CreateProgressBar(Window& parent) {
  return std::make_shared<ProgressBar>(*this, &parent);
}
std::shared_ptr<Timer> Toolkit::CreateTimer(Window& parent) { return std::make_shared<Timer>(*this, &parent); }

}  // namespace tamarind::platform
