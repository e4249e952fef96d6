#pragma once
// The Qt realisation: the platform's contracts on Qt 6 Widgets, so that a host shows the control in
// a real window of a real application.
//
// Every inner control the control creates is a model control of platform/ mirrored by a real
// widget (the list view by a report view over an item-model adapter, the text box by a QLineEdit,
// and so on). The model keeps all state; each widget follows it, and the user's input on a widget
// comes back through the same entry points the headless user driver uses, so the control above
// platform/ runs unchanged. The services map to Qt: the screen's twips per pixel from the logical
// DPI, text metrics from QFontMetrics, the clipboard, message boxes, timers and the event loop,
// LoadPicture through QImage, the hourglass as the override cursor, the shell through
// QDesktopServices. Sounds play through ALSA.
//
// A QApplication must exist before the toolkit is made and outlive it.

#include <QFont>
#include <QFontMetrics>
#include <QObject>
#include <QPointer>

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Keyboard.h"
#include "platform/RecentEntries.h"
#include "platform/Toolkit.h"

class QDialog;
class QKeyEvent;
class QTimer;
class QWidget;

namespace tamarind::platform::qt {

class QtToolkit;

class QtScreen : public Screen {
 public:
  // Twips per pixel from the primary screen's logical DPI: 1440 / DPI, 15 at 96 DPI.
  int32_t TwipsPerPixelX() const override;
  int32_t TwipsPerPixelY() const override;
  int16_t MousePointer() const override { return pointer_; }
  // The hourglass (11) is the application's override cursor; any other value restores the cursor.
  void MousePointer(int16_t pointer) override;

 private:
  int16_t pointer_ = 0;
  bool overridden_ = false;
};

class QtClipboard : public Clipboard {
 public:
  void Clear() override;
  void SetText(const std::string& text, int16_t format) override;
  std::string GetText(int16_t format) const override;
};

class QtClock : public Clock {
 public:
  QtClock();
  uint32_t GetTickCount() const override;
  void Sleep(uint32_t ms) override;
  Date Now() const override;

 private:
  int64_t start_;
};

class QtTimers : public TimerService {
 public:
  explicit QtTimers(QtToolkit& tk) : tk_(tk) {}
  ~QtTimers() override;
  TimerId StartTimer(uint32_t intervalMs, std::function<void()> onTick) override;
  void StopTimer(TimerId id) override;
  size_t ActiveCount() const { return timers_.size(); }

 private:
  struct Entry {
    QTimer* timer = nullptr;
    std::function<void()> onTick;
    bool running = false;
  };
  void Fire(TimerId id);
  QtToolkit& tk_;
  std::map<TimerId, Entry> timers_;
  TimerId next_ = 1;
};

class QtShell : public Shell {
 public:
  // "open" (or no operation) on a file, folder or address opens it with the desktop's handler.
  intptr_t ShellExecute(HWND owner, std::string_view operation, std::string_view file, std::string_view parameters,
                        std::string_view directory, int32_t showCmd) override;
};

class QtTextMetrics : public TextMetrics {
 public:
  int32_t TextWidthPx(const StdFont& font, std::string_view text) const override;
  int32_t TextHeightPx(const StdFont& font) const override;

 private:
  // Measuring builds a font and its metrics and shapes the text; a paint or SizeColumns asks for
  // the same fonts and often the same texts again and again. Each font keeps its metrics and the
  // widths of the texts measured in it.
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  struct MeasuredFont {
    explicit MeasuredFont(const StdFont& f);
    // Whether f is the font these metrics were made for, in everything that sets them.
    bool Names(const StdFont& f) const {
      return f.Size() == size && f.Weight() == weight && f.Italic() == italic && f.Underline() == underline &&
             f.Strikethrough() == strikethrough && f.Name() == name;
    }
    std::string name;
    float size;
    int32_t weight;
    bool italic, underline, strikethrough;
    QFontMetrics metrics;
    int32_t height;
    // Looked up by the text as it is given, without a copy of it.
    std::unordered_map<std::string, int32_t, TextHash, std::equal_to<>> widths;
  };
  MeasuredFont& Measured(const StdFont& font) const;
  // A bound on the widths kept per font, so a list of a million distinct texts does not keep a
  // million widths: past it the font's widths start again.
  static constexpr size_t kWidthsPerFont = 16384;
  mutable std::unordered_map<std::string, std::unique_ptr<MeasuredFont>> fonts_;
  mutable MeasuredFont* last_ = nullptr;  // the font measured last
};

// The window functions on real windows: screen positions come from the widgets, and a painting
// lock holds back the locked window's updates.
class QtWindowManager : public WindowManager {
 public:
  explicit QtWindowManager(QtToolkit& tk);
  bool GetWindowRect(HWND h, RECT& r) const override;
  bool ScreenToClient(HWND h, POINT& p) const override;
  bool ClientToScreen(HWND h, POINT& p) const override;
  bool LockWindowUpdate(HWND h) override;

 private:
  QtToolkit& tk_;
  QPointer<QWidget> lockedWidget_;
};

// A message box the toolkit showed: what the control asked, and the answer it got.
struct ShownMessageBox {
  std::string prompt;
  int32_t buttons = 0;
  std::string title;
  MsgBoxResult answer = vbOK;
};

// A colour or font chooser the toolkit showed: what it was opened on, and what it answered (the
// colour or font chosen, when chosen is true).
struct ShownChooser {
  enum class Kind { Color, Font };
  Kind kind = Kind::Color;
  std::string title;
  OLE_COLOR color = 0;
  StdFont font;
  bool chosen = false;
};

// How the realisation's widgets treat keys after the control had them.
enum class KeyHandling {
  ModelEdits,  // the control's model edits (text boxes, editable combo boxes); the widget only shows it
  Native,      // the widget does its own part unless the control cancelled the key
  List,        // the list: the model moves the selection and scrolls; the widget only shows it
};

class QtToolkit : public Toolkit {
 public:
  QtToolkit();
  ~QtToolkit() override;

  Screen& GetScreen() override { return screen_; }
  Clipboard& GetClipboard() override { return clipboard_; }
  // The host's printer, else the default one (the CUPS default destination, or PDF files in the
  // documents folder), chosen when something is first printed.
  Printer& GetPrinter() override;
  // The application's names and version as QCoreApplication has them now (a host usually sets
  // them after making the toolkit), unless the host set its own with SetApp.
  const AppInfo& App() const override;
  Clock& GetClock() override { return clock_; }
  TimerService& Timers() override { return timers_; }
  SoundOutput& Sound() override { return *sound_; }
  Shell& GetShell() override { return shell_; }
  TextMetrics& Metrics() override { return metrics_; }
  FocusManager& Focus() override { return focus_; }
  WindowManager& Windows() override { return windows_; }
  // Runs what is queued in Qt's event loop: input, timers, posted work, painting.
  void DoEvents() override;
  PictureRef LoadPicture(const std::string& fileName) override;
  // No automation server is reachable from this realisation yet: Error 429.
  MsgBoxResult MsgBox(const std::string& prompt, int32_t buttons, const std::string& title) override;
  // QColorDialog and QFontDialog, modal over the active window.
  bool ChooseColor(OLE_COLOR initial, OLE_COLOR& chosen, const std::string& title) override;
  bool ChooseFont(const StdFont& initial, FontRef& chosen, const std::string& title) override;
  void MirrorSurface(UserControl& control, std::string_view what) override;

  std::shared_ptr<ListView> CreateListView(Window& parent) override;
  std::shared_ptr<TextBox> CreateTextBox(Window& parent) override;
  std::shared_ptr<ComboBox> CreateComboBox(Window& parent) override;
  std::shared_ptr<DTPicker> CreateDTPicker(Window& parent) override;
  std::shared_ptr<UpDown> CreateUpDown(Window& parent) override;
  std::shared_ptr<CommandButton> CreateCommandButton(Window& parent) override;
  std::shared_ptr<Label> CreateLabel(Window& parent) override;
  std::shared_ptr<CheckBox> CreateCheckBox(Window& parent) override;
  std::shared_ptr<Line> CreateLine(Window& parent) override;
  std::shared_ptr<PictureBox> CreatePictureBox(Window& parent) override;
  std::shared_ptr<TabStrip> CreateTabStrip(Window& parent) override;
  std::shared_ptr<ProgressBar> CreateProgressBar(Window& parent) override;

  // --- for the realisation's own parts and for hosts ---------------------------------------------
  // The host's printer and sound output replace the defaults; a null printer goes back to the
  // default one.
  void SetPrinter(std::shared_ptr<Printer> printer) { printer_ = std::move(printer); }
  void SetSound(std::unique_ptr<SoundOutput> sound) { sound_ = std::move(sound); }
  void SetApp(AppInfo app) {
    app_ = std::move(app);
    appFromHost_ = true;
  }

  // The widget that shows a window (nullptr when none does); a window's children are placed in it.
  QWidget* WidgetOf(const Window& w) const;
  // The control a widget (or the nearest of its parents) shows; nullptr when none.
  Control* ControlOf(const QWidget* w) const;
  void Register(Window& w, QWidget* widget);
  void Unregister(const Window& w);
  // The widget new children of a window are placed in; a user control's surface is made on demand.
  QWidget* ParentWidgetFor(Window& parent);

  // Keys and clicks on the realisation's widgets reach the model through here.
  KeyboardRouter& Keyboard() { return keyboard_; }
  // A key event on the widget of a control: the control (and a user control previewing its keys)
  // has it first; returns whether the widget must not process the event itself.
  bool RouteKey(Control& control, const QKeyEvent& e, bool press, KeyHandling handling);
  // The model's focus follows a focus change Qt made by itself (a popup closing, the window
  // activated) and the widget of the model's focused control keeps Qt's focus.
  void FollowQtFocus(QWidget* now);

  // The latest message boxes shown, in order. Each runs modally until the user answers it; a script
  // can answer through AnswerMessageBoxes.
  const std::vector<ShownMessageBox>& MessageBoxes() const { return messageBoxes_.Entries(); }
  // While set, each message box is answered with the result the function returns, after the box has
  // been shown for a moment (a scripted session or a test); nullptr restores waiting for the user.
  void AnswerMessageBoxes(std::function<MsgBoxResult(const ShownMessageBox&)> answer) {
    answer_ = std::move(answer);
  }

  // The latest colour and font choosers shown, in order.
  const std::vector<ShownChooser>& Choosers() const { return choosers_.Entries(); }
  // While set, each chooser is answered by the function, after it has been shown for a moment: it
  // gets the chooser as opened and returns true to choose the colour or font it leaves there, false
  // to cancel; nullptr restores waiting for the user.
  void AnswerChoosers(std::function<bool(ShownChooser&)> answer) { chooserAnswer_ = std::move(answer); }

  // Runs work for an entry point Qt calls (an event handler, a slot, a timer, a paint). An error no
  // handler took goes no further than here (an exception in Qt's event loop ends the process): it
  // is reported as an unhandled run-time error (UnhandledErrors.h) once the event loop is back, so
  // no dialog opens inside a paint or a half-delivered event. The same error twice before the
  // report shows is reported once; a paint's error (once = true) is reported once for good, as
  // every later paint would raise it again. True when the work ran to its end.
  template <class Work>
  bool Guarded(Work&& work, bool once = false) noexcept {
    try {
      std::forward<Work>(work)();
      return true;
    } catch (...) {
      ReportLater(std::current_exception(), once);
      return false;
    }
  }

 private:
  void ReportLater(const std::exception_ptr& error, bool once) noexcept;
  void ShowReports();
  // Runs a chooser dialog modally, answered by the script when one is set; true when accepted.
  bool RunChooser(QDialog& dialog, ShownChooser& shown, const std::function<void()>& takeAnswer);
  bool RouteKeyUnguarded(Control& control, const QKeyEvent& e, bool press, KeyHandling handling);
  QtScreen screen_;
  QtClipboard clipboard_;
  std::shared_ptr<Printer> printer_;
  mutable AppInfo app_;
  bool appFromHost_ = false;
  QtClock clock_;
  QtTimers timers_;
  std::unique_ptr<SoundOutput> sound_;
  QtShell shell_;
  QtTextMetrics metrics_;
  StandardFocus focus_;
  KeyboardRouter keyboard_{focus_};
  QtWindowManager windows_;
  std::unordered_map<const Window*, QPointer<QWidget>> widgets_;
  std::unordered_map<const QWidget*, Control*> controls_;
  std::unordered_map<const Window*, QWidget*> surfaces_;  // surfaces this toolkit made
  RecentEntries<ShownMessageBox> messageBoxes_;
  std::function<MsgBoxResult(const ShownMessageBox&)> answer_;
  RecentEntries<ShownChooser> choosers_;
  std::function<bool(ShownChooser&)> chooserAnswer_;
  QMetaObject::Connection focusConnection_;
  std::vector<std::string> pendingReports_;
  std::set<std::string> reportedOnce_;
  bool showingReports_ = false;
  std::string currentReport_;
  std::unique_ptr<QObject> reportContext_ = std::make_unique<QObject>();  // drops late reports with the toolkit
};

// The toolkit of a window of this realisation.
inline QtToolkit& QtToolkitOf(const Window& w) { return static_cast<QtToolkit&>(w.GetToolkit()); }

}  // namespace tamarind::platform::qt
