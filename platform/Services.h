#pragma once
// The container's and runtime's services the control uses: screen metrics, clipboard, printer,
// application information, the clock and timers, sound output, the shell, text metrics and focus.
// A realisation (platform/headless, later a real toolkit) provides each of them.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Font.h"
#include "platform/Picture.h"
#include "platform/Types.h"
#include "runtime/Date.h"

namespace tamarind::platform {

class Control;

class Screen {
 public:
  virtual ~Screen() = default;
  virtual int32_t TwipsPerPixelX() const = 0;
  virtual int32_t TwipsPerPixelY() const = 0;
  virtual int16_t MousePointer() const = 0;
  virtual void MousePointer(int16_t pointer) = 0;
};

class Clipboard {
 public:
  static constexpr int16_t vbCFText = 1;
  virtual ~Clipboard() = default;
  virtual void Clear() = 0;
  virtual void SetText(const std::string& text, int16_t format = vbCFText) = 0;
  virtual std::string GetText(int16_t format = vbCFText) const = 0;
};

// How Printer::Line draws: a line, a box outline (B) or a filled box (BF).
enum class LineKind { Line, Box, FilledBox };

// The default printer. Positions and sizes are twips on the printable area.
class Printer {
 public:
  static constexpr int16_t vbPRORPortrait = 1;
  static constexpr int16_t vbPRORLandscape = 2;
  static constexpr int32_t vbSrcCopy = 0xCC0020;

  virtual ~Printer() = default;
  virtual int16_t Orientation() const = 0;
  virtual void Orientation(int16_t o) = 0;
  virtual StdFont& Font() = 0;
  virtual float CurrentX() const = 0;
  virtual void CurrentX(float x) = 0;
  virtual float CurrentY() const = 0;
  virtual void CurrentY(float y) = 0;
  virtual int16_t DrawMode() const = 0;
  virtual void DrawMode(int16_t mode) = 0;
  virtual float ScaleWidth() const = 0;   // the drawing width
  virtual float ScaleHeight() const = 0;  // the drawing height
  virtual float TextWidth(std::string_view text) const = 0;
  virtual float TextHeight(std::string_view text) const = 0;
  // Prints text at (CurrentX, CurrentY); then CurrentX = 0 and CurrentY moves one line down.
  virtual void Print(std::string_view text) = 0;
  virtual void Line(float x1, float y1, float x2, float y2, OLE_COLOR color, LineKind kind) = 0;
  virtual void PaintPicture(const StdPicture& picture, float x, float y, float width, float height,
                            int32_t rasterOp) = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  virtual void KillDoc() = 0;
};

// The application: its folder, version and names.
struct AppInfo {
  std::string Path;  // the folder for temporary files
  std::string EXEName;
  std::string Title;
  std::string ProductName;
  std::string CompanyName;
  std::string FileDescription;
  int32_t Major = 0, Minor = 0, Revision = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since the clock started; wraps after 49.7 days as the platform's does.
  virtual uint32_t GetTickCount() const = 0;
  // Blocks the thread; no events run meanwhile.
  virtual void Sleep(uint32_t ms) = 0;
  // The current local date and time.
  virtual Date Now() const = 0;
};

// Timers of Timer controls. A due timer fires when the event loop runs (DoEvents, or the
// realisation's own loop); a timer that fell behind fires once, not once per missed interval.
class TimerService {
 public:
  using TimerId = uint64_t;
  virtual ~TimerService() = default;
  virtual TimerId StartTimer(uint32_t intervalMs, std::function<void()> onTick) = 0;
  virtual void StopTimer(TimerId id) = 0;
};

// sndPlaySound. SND_MEMORY means sound points to a whole RIFF/WAVE file in memory.
class SoundOutput {
 public:
  static constexpr uint32_t SND_SYNC = 0x0000;
  static constexpr uint32_t SND_ASYNC = 0x0001;
  static constexpr uint32_t SND_NODEFAULT = 0x0002;
  static constexpr uint32_t SND_MEMORY = 0x0004;
  virtual ~SoundOutput() = default;
  virtual bool sndPlaySound(const void* sound, uint32_t flags) = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // The platform's ShellExecute: a value above 32 means success.
  virtual intptr_t ShellExecute(HWND owner, std::string_view operation, std::string_view file,
                                std::string_view parameters, std::string_view directory, int32_t showCmd) = 0;
};

// Text measurement in a font, in pixels.
class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  virtual int32_t TextWidthPx(const StdFont& font, std::string_view text) const = 0;
  virtual int32_t TextHeightPx(const StdFont& font) const = 0;
};

// The keyboard focus of the application.
class FocusManager {
 public:
  virtual ~FocusManager() = default;
  virtual Control* Focused() const = 0;
  // Moves the focus to the control: the control left is validated first (its Validate may cancel
  // the move), then LostFocus, the ExitFocus of a user control left, GotFocus.
  // Returns false when the move was cancelled.
  virtual bool SetFocus(Control& target) = 0;
  // The focused control was hidden or disabled: it loses the focus (LostFocus) to the next control
  // of its container that can take it.
  virtual void Forget(Control& control) = 0;
  // The control is being destroyed: the focus leaves it without any event.
  virtual void Released(Control& control) = 0;
};

}  // namespace tamarind::platform
