#pragma once
// A realisation of the platform: every service the control uses and the factory of its inner
// controls. The control is written against this interface only; platform/headless provides the
// deterministic reference realisation.

#include <memory>
#include <string>
#include <string_view>

#include "platform/Automation.h"
#include "platform/Picture.h"
#include "platform/Services.h"
#include "platform/Window.h"
#include "runtime/Error.h"
#include "runtime/Variant.h"

namespace tamarind::platform {

class ListView;
class TextBox;
class ComboBox;
class DTPicker;
class UpDown;
class CommandButton;
class Label;
class CheckBox;
class Line;
class PictureBox;
class TabStrip;
class ProgressBar;
class Timer;
class UserControl;

class Toolkit : public MessageBoxService {
 public:
  ~Toolkit() override = default;

  virtual Screen& GetScreen() = 0;
  virtual Clipboard& GetClipboard() = 0;
  virtual Printer& GetPrinter() = 0;
  virtual const AppInfo& App() const = 0;
  virtual Clock& GetClock() = 0;
  virtual TimerService& Timers() = 0;
  virtual SoundOutput& Sound() = 0;
  virtual Shell& GetShell() = 0;
  virtual TextMetrics& Metrics() = 0;
  virtual FocusManager& Focus() = 0;
  virtual WindowManager& Windows() = 0;

  // Lets queued events run: due timers, posted work, input (the runtime's DoEvents).
  virtual void DoEvents() = 0;

  // LoadPicture: a bitmap file; "" gives the empty picture. Error 53 for a missing file, 481 for
  // a file that is no picture.
  virtual PictureRef LoadPicture(const std::string& fileName);

  // GetObject. With a class and no file name: the instance of the class running on this desktop.
  // With a file name: the document's object, opened by the class named or else by the class that
  // opens files of its extension. Error 429 when no instance runs or no class answers.
  // The registered automation classes (platform/Automation.h) answer by default.
  virtual Variant GetObject(const std::string& pathName, const std::string& className);
  // CreateObject: a new instance of the class. Error 429 when no class of that name is registered.
  virtual Variant CreateObject(const std::string& className);
  // The automation objects running on this desktop.
  RunningObjectTable& RunningObjects() { return runningObjects_; }

  // A user control's surface changed: "Parent" when it is sited on a form, "Released" when it is
  // destroyed, otherwise the name of the property (position, visibility, font, ...). A realisation
  // that shows user controls in real windows follows the surface here; the default does nothing.
  virtual void MirrorSurface(UserControl& /*control*/, std::string_view /*what*/) {}

  // The desktop's common dialogs for a colour and a font, modal, titled title and opened on
  // initial. True with chosen set when the user chose; false (chosen untouched) when the user
  // cancelled. A desktop without such dialogs has nothing to offer: it answers as cancelled.
  virtual bool ChooseColor(OLE_COLOR initial, OLE_COLOR& chosen, const std::string& title);
  virtual bool ChooseFont(const StdFont& initial, FontRef& chosen, const std::string& title);

  // The inner controls, created for a parent window (the user control surface).
  virtual std::shared_ptr<ListView> CreateListView(Window& parent);
  virtual std::shared_ptr<TextBox> CreateTextBox(Window& parent);
  virtual std::shared_ptr<ComboBox> CreateComboBox(Window& parent);
  virtual std::shared_ptr<DTPicker> CreateDTPicker(Window& parent);
  virtual std::shared_ptr<UpDown> CreateUpDown(Window& parent);
  virtual std::shared_ptr<CommandButton> CreateCommandButton(Window& parent);
  virtual std::shared_ptr<Label> CreateLabel(Window& parent);
  virtual std::shared_ptr<CheckBox> CreateCheckBox(Window& parent);
  virtual std::shared_ptr<Line> CreateLine(Window& parent);
  virtual std::shared_ptr<PictureBox> CreatePictureBox(Window& parent);
  virtual std::shared_ptr<TabStrip> CreateTabStrip(Window& parent);
  virtual std::shared_ptr<ProgressBar> CreateProgressBar(Window& parent);
  virtual std::shared_ptr<Timer> CreateTimer(Window& parent);

 private:
  RunningObjectTable runningObjects_;
};

}  // namespace tamarind::platform
