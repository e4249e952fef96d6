#include "platform/controls/SimpleControls.h"

#include <algorithm>

#include "platform/Toolkit.h"
#include "runtime/Error.h"

namespace tamarind::platform {

// --- UpDown ----------------------------------------------------------------------------------------

UpDown::UpDown(Toolkit& tk, Window* parent) : Control(tk, "UpDown20WndClass", parent) { TabStop(false); }

void UpDown::Value(int32_t v) {
  const int32_t lo = std::min(min_, max_), hi = std::max(min_, max_);
  if (v < lo || v > hi) Raise(err::InvalidPropertyValue, "UpDown");
  const bool changed = v != value_;
  value_ = v;
  if (changed) Change();
}

void UpDown::Step(int32_t delta) {
  const int32_t lo = std::min(min_, max_), hi = std::max(min_, max_);
  int64_t next = static_cast<int64_t>(value_) + delta;
  if (next > hi) next = wrap_ ? lo : hi;
  if (next < lo) next = wrap_ ? hi : lo;
  if (next != value_) {
    value_ = static_cast<int32_t>(next);
    Change();
  }
}

void UpDown::ClickUp() {
  UpClick();
  Step(min_ <= max_ ? increment_ : -increment_);
}

void UpDown::ClickDown() {
  DownClick();
  Step(min_ <= max_ ? -increment_ : increment_);
}

// --- CommandButton, Label ----------------------------------------------------------------------------

CommandButton::CommandButton(Toolkit& tk, Window* parent) : Control(tk, "ThunderRT6CommandButton", parent) {}

Label::Label(Toolkit& tk, Window* parent) : Control(tk, "ThunderRT6Label", parent) { TabStop(false); }

void Label::Caption(std::string c) {
  caption_ = std::move(c);
  OnPropertyChanged("Caption");
}

// --- ProgressBar -------------------------------------------------------------------------------------

ProgressBar::ProgressBar(Toolkit& tk, Window* parent) : Control(tk, "ProgressBar20WndClass", parent) { TabStop(false); }

void ProgressBar::Min(float v) {
  if (v >= max_) Raise(err::InvalidPropertyValue, "ProgressBar");
  min_ = v;
  if (value_ < min_) value_ = min_;
  widthPx_ = -1;
  Reshow();
  OnPropertyChanged("Min");
}

void ProgressBar::Max(float v) {
  if (v <= min_) Raise(err::InvalidPropertyValue, "ProgressBar");
  max_ = v;
  if (value_ > max_) value_ = max_;
  widthPx_ = -1;
  Reshow();
  OnPropertyChanged("Max");
}

void ProgressBar::Value(float v) {
  if (v < min_ || v > max_) Raise(err::InvalidPropertyValue, "ProgressBar");
  value_ = v;
  Reshow();
}

void ProgressBar::Reshow() {
  if (widthPx_ < 0) widthPx_ = TwipsToPixelsX(GetToolkit(), Width());
  const double fraction = (static_cast<double>(value_) - min_) / (static_cast<double>(max_) - min_);
  const auto shown = static_cast<int32_t>(fraction * widthPx_);
  if (shown == shown_) return;
  shown_ = shown;
  ++repaints_;
  OnPropertyChanged("Value");
}

// --- Timer -------------------------------------------------------------------------------------------

Timer::Timer(Toolkit& tk, Window* parent) : Control(tk, "ThunderRT6Timer", parent) {
  Visible(false);
  TabStop(false);
}

Timer::~Timer() {
  if (id_ != 0) GetToolkit().Timers().StopTimer(id_);
}

void Timer::Interval(uint32_t ms) {
  interval_ = ms;
  Restart();
}

void Timer::OnPropertyChanged(std::string_view property) {
  if (property == "Enabled") Restart();
}

void Timer::Restart() {
  TimerService& timers = GetToolkit().Timers();
  if (id_ != 0) {
    timers.StopTimer(id_);
    id_ = 0;
  }
  if (Enabled() && interval_ > 0) id_ = timers.StartTimer(interval_, [this] { Tick(); });
}

}  // namespace tamarind::platform
