#pragma once
// The headless realisation: a deterministic desktop without a display.
//
// Geometry comes from stated metrics (twips per pixel, text sizes per point); time is a virtual
// clock that moves only when a sleep, a wait or the test says so, and timers fire when the event
// loop runs on that clock; every service the control uses (message boxes, clipboard, printer,
// sounds, shell, painting locks) records what it was asked. Tests and the demo read the records.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Control.h"
#include "platform/Keyboard.h"
#include "platform/RecentEntries.h"
#include "platform/Toolkit.h"
#include "platform/UserControl.h"

namespace tamarind::platform::headless {

// Text metrics of the headless desktop: every character is as wide as the font's size times
// charWidthPerPoint pixels (bold ones boldWidthFactor wider); a line is size times
// lineHeightPerPoint pixels high. Verdana 8.25 pt gives 6-pixel characters and 13-pixel lines.
struct TextMetricsSettings {
  double charWidthPerPoint = 0.75;
  double lineHeightPerPoint = 1.6;
  double boldWidthFactor = 1.1;
};

struct HeadlessSettings {
  int32_t twipsPerPixelX = 15;
  int32_t twipsPerPixelY = 15;
  TextMetricsSettings text;
  Date startTime = Date::FromCalendar(2026, 12, 6, 10, 30, 0);  // the virtual clock's Now at tick 0
  AppInfo app{"/tmp", "TamarindHost", "Tamarind Host", "Tamarind", "Tamarind", "Tamarind host", 1, 0, 0};
  // The printable area of the default printer in portrait, twips.
  float printerWidth = 11520, printerHeight = 15120;
};

class HeadlessScreen : public Screen {
 public:
  explicit HeadlessScreen(const HeadlessSettings& s) : x_(s.twipsPerPixelX), y_(s.twipsPerPixelY) {}
  int32_t TwipsPerPixelX() const override { return x_; }
  int32_t TwipsPerPixelY() const override { return y_; }
  void SetTwipsPerPixel(int32_t x, int32_t y) {
    x_ = x;
    y_ = y;
  }
  int16_t MousePointer() const override { return pointer_; }
  void MousePointer(int16_t p) override {
    pointer_ = p;
    pointerHistory_.Add(p);
  }
  // The latest pointers set, oldest first.
  const std::vector<int16_t>& PointerHistory() const { return pointerHistory_.Entries(); }

 private:
  int32_t x_, y_;
  int16_t pointer_ = 0;
  RecentEntries<int16_t> pointerHistory_;
};

class VirtualClock : public Clock {
 public:
  explicit VirtualClock(Date start) : start_(start) {}
  uint32_t GetTickCount() const override { return static_cast<uint32_t>(ms_); }
  void Sleep(uint32_t ms) override {
    ms_ += ms;
    sleeps_.Add(ms);
  }
  Date Now() const override;
  uint64_t Milliseconds() const { return ms_; }
  void Advance(uint64_t ms) { ms_ += ms; }
  void SetTo(uint64_t ms) { ms_ = ms; }
  void SetStart(Date d) { start_ = d; }
  // The latest Sleeps asked for, in order (a click's pause alone asks for a hundred).
  const std::vector<uint32_t>& Sleeps() const { return sleeps_.Entries(); }

 private:
  Date start_;
  uint64_t ms_ = 0;
  RecentEntries<uint32_t> sleeps_;
};

class VirtualTimers : public TimerService {
 public:
  // A tick's error that nobody handled is reported on reportTo, as the desktop's own timers do.
  VirtualTimers(VirtualClock& clock, Toolkit& reportTo) : clock_(clock), reportTo_(reportTo) {}
  TimerId StartTimer(uint32_t intervalMs, std::function<void()> onTick) override;
  void StopTimer(TimerId id) override;
  // Fires every timer due at the clock's time, once each, earliest first.
  void FireDue();
  // The earliest due time of an active timer, or UINT64_MAX.
  uint64_t NextDue() const;
  size_t ActiveCount() const;

 private:
  struct Entry {
    uint32_t interval;
    uint64_t due;
    std::function<void()> onTick;
    bool running = false;
  };
  VirtualClock& clock_;
  Toolkit& reportTo_;
  std::map<TimerId, Entry> timers_;
  TimerId next_ = 1;
};

class RecordingClipboard : public Clipboard {
 public:
  void Clear() override {
    text_.clear();
    ++clears_;
  }
  void SetText(const std::string& text, int16_t format) override {
    text_ = text;
    format_ = format;
    history_.Add(text);
  }
  std::string GetText(int16_t) const override { return text_; }
  int32_t Clears() const { return clears_; }
  // The latest texts set, oldest first (a copy of a whole list can be large: only a few are kept).
  const std::vector<std::string>& History() const { return history_.Entries(); }
  void ClearHistory() { history_.Clear(); }

 private:
  std::string text_;
  int16_t format_ = vbCFText;
  int32_t clears_ = 0;
  RecentEntries<std::string> history_{16};
};

// One drawing operation of the printer, in order.
struct PrintOperation {
  enum class Kind { Text, Line, Box, FilledBox, Picture, NewPage, EndDoc, KillDoc };
  Kind kind;
  int32_t page = 1;
  float x = 0, y = 0, x2 = 0, y2 = 0;
  OLE_COLOR color = 0;
  std::string text;
  float fontSize = 0;
  bool bold = false, underline = false;
  int16_t orientation = 1;
};

class RecordingPrinter : public Printer {
 public:
  RecordingPrinter(Toolkit& tk, const HeadlessSettings& s);
  int16_t Orientation() const override { return orientation_; }
  void Orientation(int16_t o) override;
  StdFont& Font() override { return font_; }
  float CurrentX() const override { return x_; }
  void CurrentX(float x) override { x_ = x; }
  float CurrentY() const override { return y_; }
  void CurrentY(float y) override { y_ = y; }
  int16_t DrawMode() const override { return drawMode_; }
  void DrawMode(int16_t m) override { drawMode_ = m; }
  float ScaleWidth() const override;
  float ScaleHeight() const override;
  float TextWidth(std::string_view text) const override;
  float TextHeight(std::string_view text) const override;
  void Print(std::string_view text) override;
  void Line(float x1, float y1, float x2, float y2, OLE_COLOR color, LineKind kind) override;
  void PaintPicture(const StdPicture& picture, float x, float y, float width, float height, int32_t rop) override;
  void NewPage() override;
  void EndDoc() override;
  void KillDoc() override;

  const std::vector<PrintOperation>& Operations() const { return ops_; }
  // The latest finished documents: the operations of each EndDoc, in order.
  const std::vector<std::vector<PrintOperation>>& Documents() const { return documents_.Entries(); }

 private:
  PrintOperation Op(PrintOperation::Kind k) const;
  Toolkit& tk_;
  float width_, height_;
  int16_t orientation_ = vbPRORPortrait, drawMode_ = 13;
  StdFont font_{"Arial", 10};
  float x_ = 0, y_ = 0;
  int32_t page_ = 1;
  std::vector<PrintOperation> ops_;
  RecentEntries<std::vector<PrintOperation>> documents_{16};
};

// Records every sndPlaySound request. A sound is a RIFF/WAVE file in memory; its length follows
// from its header, so an asynchronous sound still playing when the next request comes is marked
// cut off at that moment, as the platform's player cuts it off.
class RecordingSound : public SoundOutput {
 public:
  struct Request {
    uint32_t flags = 0;
    int32_t resourceId = 0;  // the library's "WAVE" resource these bytes are, 0 for other sounds
    uint64_t startMs = 0;
    uint32_t durationMs = 0;     // from the WAVE header; 0 when it could not be read
    std::vector<uint8_t> bytes;  // the whole file as passed
    bool cutOff = false;
    uint64_t endMs = 0;  // when it stopped (or will stop)
  };
  explicit RecordingSound(VirtualClock& clock) : clock_(clock) {}
  bool sndPlaySound(const void* sound, uint32_t flags) override;
  // The latest requests, oldest first.
  const std::vector<Request>& Requests() const { return requests_.Entries(); }
  void Clear() { requests_.Clear(); }

 private:
  VirtualClock& clock_;
  RecentEntries<Request> requests_{64};
};

class RecordingShell : public Shell {
 public:
  struct Call {
    HWND owner;
    std::string operation, file, parameters, directory;
    int32_t showCmd;
  };
  intptr_t ShellExecute(HWND owner, std::string_view operation, std::string_view file, std::string_view parameters,
                        std::string_view directory, int32_t showCmd) override;
  // The latest calls, oldest first.
  const std::vector<Call>& Calls() const { return calls_.Entries(); }
  // What the next calls return (42 = success unless set).
  void SetResult(intptr_t r) { result_ = r; }

 private:
  RecentEntries<Call> calls_;
  intptr_t result_ = 42;
};

class HeadlessTextMetrics : public TextMetrics {
 public:
  explicit HeadlessTextMetrics(const TextMetricsSettings& s) : s_(s) {}
  int32_t TextWidthPx(const StdFont& font, std::string_view text) const override;
  int32_t TextHeightPx(const StdFont& font) const override;
  int32_t CharWidthPx(const StdFont& font) const;
  void Settings(const TextMetricsSettings& s) { s_ = s; }

 private:
  TextMetricsSettings s_;
};

// The headless desktop's focus is the platform's own.
using HeadlessFocus = StandardFocus;

// A message box shown: what the control asked. The answer is scripted (vbOK unless queued).
struct MessageBoxRecord {
  std::string prompt;
  int32_t buttons = 0;
  std::string title;
};

// A colour or font chooser shown: what it was opened on, and what it answered.
struct ChooserRecord {
  enum class Kind { Color, Font };
  Kind kind = Kind::Color;
  std::string title;
  OLE_COLOR initialColor = 0;
  StdFont initialFont;
  bool chosen = false;
};

class HeadlessToolkit : public Toolkit {
 public:
  explicit HeadlessToolkit(HeadlessSettings settings = {});
  ~HeadlessToolkit() override;

  Screen& GetScreen() override { return screen_; }
  Clipboard& GetClipboard() override { return clipboard_; }
  // The recording printer, or the printer a host or test put in its place.
  Printer& GetPrinter() override { return chosenPrinter_ ? *chosenPrinter_ : printer_; }
  const AppInfo& App() const override { return settings_.app; }
  Clock& GetClock() override { return clock_; }
  TimerService& Timers() override { return timers_; }
  SoundOutput& Sound() override { return sound_; }
  Shell& GetShell() override { return shell_; }
  TextMetrics& Metrics() override { return metrics_; }
  FocusManager& Focus() override { return focus_; }
  WindowManager& Windows() override { return windows_; }
  void DoEvents() override;
  Variant GetObject(const std::string& pathName, const std::string& className) override;
  MsgBoxResult MsgBox(const std::string& prompt, int32_t buttons, const std::string& title) override;
  bool ChooseColor(OLE_COLOR initial, OLE_COLOR& chosen, const std::string& title) override;
  bool ChooseFont(const StdFont& initial, FontRef& chosen, const std::string& title) override;

  // --- what a test drives and reads ---------------------------------------------------------------
  HeadlessScreen& ScreenImpl() { return screen_; }
  VirtualClock& ClockImpl() { return clock_; }
  VirtualTimers& TimersImpl() { return timers_; }
  RecordingClipboard& ClipboardImpl() { return clipboard_; }
  RecordingPrinter& PrinterImpl() { return printer_; }
  // Puts a real printer (a PDF file printer, the system's printer) behind GetPrinter; nullptr
  // goes back to the recording printer.
  void SetPrinter(std::shared_ptr<Printer> printer) { chosenPrinter_ = std::move(printer); }
  RecordingSound& SoundImpl() { return sound_; }
  RecordingShell& ShellImpl() { return shell_; }
  HeadlessTextMetrics& MetricsImpl() { return metrics_; }
  HeadlessFocus& FocusImpl() { return focus_; }
  const HeadlessSettings& Settings() const { return settings_; }

  // The latest message boxes shown, oldest first.
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_.Entries(); }
  void ClearMessageBoxes() { messageBoxes_.Clear(); }
  // Answers for the next message boxes, in order.
  void QueueMessageBoxAnswer(MsgBoxResult r) { answers_.push_back(r); }

  // The latest colour and font choosers shown, oldest first.
  const std::vector<ChooserRecord>& Choosers() const { return choosers_.Entries(); }
  // Answers for the next colour (font) choosers, in order; nullopt cancels. A chooser with no
  // answer queued is cancelled, as a user who closes it.
  void QueueColorAnswer(std::optional<OLE_COLOR> c) { colorAnswers_.push_back(c); }
  void QueueFontAnswer(std::optional<StdFont> f) { fontAnswers_.push_back(std::move(f)); }

  // Work for the event loop, run by the next DoEvents or Wait.
  void Post(std::function<void()> work) { posted_.push_back(std::move(work)); }
  // Lets ms milliseconds pass with the event loop running: every timer fires at its due times.
  void Wait(uint64_t ms);
  int32_t DoEventsCount() const { return doEventsCount_; }

  // Stand-in automation servers for tests, by class name or by file extension (".xls"): GetObject
  // asks them first, then the library's registered servers.
  using AutomationFactory = std::function<Variant(const std::string& pathName)>;
  void RegisterAutomation(std::string classOrExtension, AutomationFactory factory);

  // Keyboard input to the focused control, routed as the platform does: a user control with
  // KeyPreview sees each key first and may cancel it. Tab moves the focus to the next tab stop
  // unless the focused control lies in a user control with KeyPreview, which then gets the key.
  // Space pushes a focused check box and releasing it clicks the box, after KeyUp, as the
  // desktop's buttons do; a Space whose KeyDown was cancelled pushes nothing.
  void KeyDown(int16_t keyCode, int16_t shift = 0);
  void KeyPress(int16_t keyAscii) { keyboard_.KeyPress(keyAscii); }
  void KeyUp(int16_t keyCode, int16_t shift = 0);

 private:
  void RunPosted();

  HeadlessSettings settings_;
  WindowManager windows_;
  HeadlessScreen screen_;
  VirtualClock clock_;
  VirtualTimers timers_;
  RecordingClipboard clipboard_;
  RecordingPrinter printer_;
  std::shared_ptr<Printer> chosenPrinter_;
  RecordingSound sound_;
  RecordingShell shell_;
  HeadlessTextMetrics metrics_;
  HeadlessFocus focus_;
  KeyboardRouter keyboard_{focus_};
  RecentEntries<MessageBoxRecord> messageBoxes_;
  std::deque<MsgBoxResult> answers_;
  RecentEntries<ChooserRecord> choosers_;
  std::deque<std::optional<OLE_COLOR>> colorAnswers_;
  std::deque<std::optional<StdFont>> fontAnswers_;
  std::deque<std::function<void()>> posted_;
  std::map<std::string, AutomationFactory> automation_;
  int32_t doEventsCount_ = 0;
  int32_t loopDepth_ = 0;
  HWND pushedBox_ = 0;  // the check box Space went down on (handles are never reused)
};

}  // namespace tamarind::platform::headless
