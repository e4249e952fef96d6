#pragma once
// Windows and the window functions.
//
// Every control, the list view's header and every host form is a Window: it has a handle, a class
// name, a parent, extended styles and a rectangle in pixels inside its parent's client area.
// WindowManager owns the handle table and answers the window functions the control calls
// (SendMessage, GetWindowRect, LockWindowUpdate, ...). It also keeps a record of painting locks
// and invalidations, which tests and the demo read.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Types.h"
#include "runtime/Variant.h"

namespace tamarind::platform {

class Toolkit;

class Window : public Object {
 public:
  Window(Toolkit& toolkit, std::string className, Window* parent);
  ~Window() override;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hWnd() const { return hwnd_; }
  const std::string& ClassName() const { return className_; }
  Window* ParentWindow() const { return parent_; }
  const std::vector<Window*>& ChildWindows() const { return children_; }
  Toolkit& GetToolkit() const { return toolkit_; }

  // The window's title, as FindWindow matches it.
  virtual std::string WindowText() const { return {}; }

  int32_t Style() const { return style_; }
  void Style(int32_t s) { style_ = s; }
  int32_t ExStyle() const { return exStyle_; }
  void ExStyle(int32_t s) { exStyle_ = s; }

  // The window rectangle in pixels, in the parent's client coordinates (screen coordinates for a
  // top-level window).
  virtual RECT BoundsPx() const = 0;
  // Moves the window (MoveWindow); controls keep their position in twips and convert.
  virtual void SetBoundsPx(const RECT& r) = 0;
  // Offset of the client area inside the window rectangle (the border), in pixels.
  virtual POINT ClientOffsetPx() const { return {}; }
  // The client rectangle: (0, 0, client width, client height).
  virtual RECT ClientRectPx() const;

  // The window procedure: answers the messages this window understands, 0 for others.
  virtual LRESULT WindowProc(uint32_t msg, WPARAM wParam, LPARAM lParam);

  // Called when the window is invalidated (InvalidateRect) or told to repaint.
  virtual void Invalidate(bool erase);
  int32_t InvalidateCount() const { return invalidateCount_; }

 protected:
  // Lets a derived window adopt a parent after construction (the header of a list view).
  void Reparent(Window* parent);

 private:
  Toolkit& toolkit_;
  std::string className_;
  Window* parent_ = nullptr;
  std::vector<Window*> children_;
  HWND hwnd_ = 0;
  int32_t style_ = 0;
  int32_t exStyle_ = 0;
  int32_t invalidateCount_ = 0;
};

class WindowManager {
 public:
  explicit WindowManager(Toolkit&) {}
  virtual ~WindowManager() = default;

  HWND Register(Window* w);
  void Unregister(HWND h);
  Window* FromHandle(HWND h) const;

  // The window functions. A handle that names no window makes each of them fail (0 / false).
  // Screen positions follow from the windows' rectangles; a realisation with real windows answers
  // them from those windows.
  LRESULT SendMessage(HWND h, uint32_t msg, WPARAM wParam, LPARAM lParam);
  virtual bool GetWindowRect(HWND h, RECT& r) const;  // screen pixels
  bool GetClientRect(HWND h, RECT& r) const;           // (0, 0, width, height) of the client area
  virtual bool ScreenToClient(HWND h, POINT& p) const;
  virtual bool ClientToScreen(HWND h, POINT& p) const;
  // Moves the window to x, y (parent client pixels) with the given size.
  bool MoveWindow(HWND h, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint);
  bool InvalidateRect(HWND h, const RECT* r, bool erase);
  HWND GetWindow(HWND h, uint32_t cmd) const;  // GW_CHILD, GW_HWNDNEXT
  int32_t GetWindowLong(HWND h, int32_t index) const;
  int32_t SetWindowLong(HWND h, int32_t index, int32_t value);  // the previous value
  // A top-level window of that class (and title, when it is not empty); 0 when there is none.
  HWND FindWindow(std::string_view className, std::string_view title = {}) const;

  // Suspends painting of one window at a time; 0 resumes. Locking a second window while one is
  // locked fails (the platform allows one locked window).
  virtual bool LockWindowUpdate(HWND h);
  HWND LockedWindow() const { return locked_; }

  // What the control asked for, in order, for tests and the demo.
  const std::vector<HWND>& LockHistory() const { return lockHistory_; }
  struct Invalidation {
    HWND hwnd;
    bool erase;
  };
  const std::vector<Invalidation>& InvalidateHistory() const { return invalidateHistory_; }
  void ClearHistory() {
    lockHistory_.clear();
    invalidateHistory_.clear();
  }

 private:
  RECT ScreenRectOf(const Window& w) const;
  POINT ClientOriginOnScreen(const Window& w) const;

  std::unordered_map<HWND, Window*> windows_;
  HWND nextHandle_ = 0x1000;
  HWND locked_ = 0;
  std::vector<HWND> lockHistory_;
  std::vector<Invalidation> invalidateHistory_;
};

}  // namespace tamarind::platform
