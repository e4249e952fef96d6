#include "platform/Window.h"

#include <algorithm>

#include "platform/Messages.h"
#include "platform/Toolkit.h"

namespace tamarind::platform {

Window::Window(Toolkit& toolkit, std::string className, Window* parent)
    : toolkit_(toolkit), className_(std::move(className)) {
  hwnd_ = toolkit_.Windows().Register(this);
  Reparent(parent);
}

Window::~Window() {
  for (Window* child : children_) child->parent_ = nullptr;
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  toolkit_.Windows().Unregister(hwnd_);
}

void Window::Reparent(Window* parent) {
  if (parent_) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  parent_ = parent;
  if (parent_) parent_->children_.push_back(this);
}

RECT Window::ClientRectPx() const {
  const RECT b = BoundsPx();
  const POINT off = ClientOffsetPx();
  return RECT{0, 0, std::max(0, b.Width() - 2 * off.x), std::max(0, b.Height() - 2 * off.y)};
}

LRESULT Window::WindowProc(uint32_t, WPARAM, LPARAM) { return 0; }

void Window::Invalidate(bool) { ++invalidateCount_; }

// --- WindowManager -------------------------------------------------------------------------------

HWND WindowManager::Register(Window* w) {
  const HWND h = nextHandle_;
  nextHandle_ += 4;  // handles are multiples of four, as the platform's are
  windows_[h] = w;
  return h;
}

void WindowManager::Unregister(HWND h) {
  windows_.erase(h);
  if (locked_ == h) locked_ = 0;
}

Window* WindowManager::FromHandle(HWND h) const {
  auto it = windows_.find(h);
  return it == windows_.end() ? nullptr : it->second;
}

LRESULT WindowManager::SendMessage(HWND h, uint32_t msg, WPARAM wParam, LPARAM lParam) {
  Window* w = FromHandle(h);
  return w ? w->WindowProc(msg, wParam, lParam) : 0;
}

POINT WindowManager::ClientOriginOnScreen(const Window& w) const {
  const RECT r = ScreenRectOf(w);
  const POINT off = w.ClientOffsetPx();
  return POINT{r.left + off.x, r.top + off.y};
}

RECT WindowManager::ScreenRectOf(const Window& w) const {
  RECT r = w.BoundsPx();
  if (const Window* parent = w.ParentWindow()) {
    const POINT origin = ClientOriginOnScreen(*parent);
    r.left += origin.x;
    r.right += origin.x;
    r.top += origin.y;
    r.bottom += origin.y;
  }
  return r;
}

bool WindowManager::GetWindowRect(HWND h, RECT& r) const {
  const Window* w = FromHandle(h);
  if (!w) return false;
  r = ScreenRectOf(*w);
  return true;
}

bool WindowManager::GetClientRect(HWND h, RECT& r) const {
  const Window* w = FromHandle(h);
  if (!w) return false;
  r = w->ClientRectPx();
  return true;
}

bool WindowManager::ScreenToClient(HWND h, POINT& p) const {
  const Window* w = FromHandle(h);
  if (!w) return false;
  const POINT o = ClientOriginOnScreen(*w);
  p.x -= o.x;
  p.y -= o.y;
  return true;
}

bool WindowManager::ClientToScreen(HWND h, POINT& p) const {
  const Window* w = FromHandle(h);
  if (!w) return false;
  const POINT o = ClientOriginOnScreen(*w);
  p.x += o.x;
  p.y += o.y;
  return true;
}

bool WindowManager::MoveWindow(HWND h, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) {
  Window* w = FromHandle(h);
  if (!w || width < 0 || height < 0) return false;
  w->SetBoundsPx(RECT{x, y, x + width, y + height});
  if (repaint) w->Invalidate(true);
  return true;
}

bool WindowManager::InvalidateRect(HWND h, const RECT*, bool erase) {
  Window* w = FromHandle(h);
  if (!w) return false;
  invalidateHistory_.push_back({h, erase});
  w->Invalidate(erase);
  return true;
}

HWND WindowManager::GetWindow(HWND h, uint32_t cmd) const {
  const Window* w = FromHandle(h);
  if (!w) return 0;
  if (cmd == GW_CHILD) return w->ChildWindows().empty() ? 0 : w->ChildWindows().front()->hWnd();
  if (cmd == GW_HWNDNEXT && w->ParentWindow()) {
    const auto& siblings = w->ParentWindow()->ChildWindows();
    auto it = std::find(siblings.begin(), siblings.end(), w);
    if (it != siblings.end() && ++it != siblings.end()) return (*it)->hWnd();
  }
  return 0;
}

int32_t WindowManager::GetWindowLong(HWND h, int32_t index) const {
  const Window* w = FromHandle(h);
  if (!w) return 0;
  if (index == GWL_EXSTYLE) return w->ExStyle();
  if (index == GWL_STYLE) return w->Style();
  return 0;
}

int32_t WindowManager::SetWindowLong(HWND h, int32_t index, int32_t value) {
  Window* w = FromHandle(h);
  if (!w) return 0;
  int32_t previous = 0;
  if (index == GWL_EXSTYLE) {
    previous = w->ExStyle();
    w->ExStyle(value);
  } else if (index == GWL_STYLE) {
    previous = w->Style();
    w->Style(value);
  }
  return previous;
}

HWND WindowManager::FindWindow(std::string_view className, std::string_view title) const {
  HWND found = 0;
  for (const auto& [h, w] : windows_) {
    if (w->ParentWindow() || w->ClassName() != className) continue;
    if (!title.empty() && w->WindowText() != title) continue;
    if (found == 0 || h < found) found = h;  // the oldest window: deterministic
  }
  return found;
}

bool WindowManager::LockWindowUpdate(HWND h) {
  if (h != 0 && (locked_ != 0 || !FromHandle(h))) return false;
  lockHistory_.push_back(h);
  if (h == 0 && locked_ != 0) {
    if (Window* w = FromHandle(locked_)) w->Invalidate(true);  // what was held back is painted now
  }
  locked_ = h;
  return true;
}

}  // namespace tamarind::platform
