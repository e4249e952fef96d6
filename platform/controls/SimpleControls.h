#pragma once
// The small controls: up/down buttons, command button, label, progress bar and timer.

#include <cstdint>
#include <string>

#include "platform/Control.h"
#include "platform/Services.h"

namespace tamarind::platform {

// Spin buttons. A click on either arrow raises UpClick or DownClick and moves Value by Increment
// within Min..Max (wrapping when Wrap is set); Change follows when Value moved.
class UpDown : public Control {
 public:
  UpDown(Toolkit& tk, Window* parent);
  int32_t Value() const { return value_; }
  void Value(int32_t v);  // Error 380 outside Min..Max
  int32_t Min() const { return min_; }
  void Min(int32_t v) { min_ = v; }
  int32_t Max() const { return max_; }
  void Max(int32_t v) { max_ = v; }
  int32_t Increment() const { return increment_; }
  void Increment(int32_t v) { increment_ = v; }
  bool Wrap() const { return wrap_; }
  void Wrap(bool v) { wrap_ = v; }
  // What a click on an arrow does.
  void ClickUp();
  void ClickDown();

  Event<> UpClick;
  Event<> DownClick;
  Event<> Change;

 private:
  void Step(int32_t delta);
  int32_t value_ = 0, min_ = 0, max_ = 10, increment_ = 1;
  bool wrap_ = false;
};

class CommandButton : public Control {
 public:
  CommandButton(Toolkit& tk, Window* parent);
  const std::string& Caption() const { return caption_; }
  void Caption(std::string c) {
    caption_ = std::move(c);
    OnPropertyChanged("Caption");
  }
  std::string WindowText() const override { return caption_; }

 private:
  std::string caption_;
};

// A label cannot hold the focus.
class Label : public Control {
 public:
  Label(Toolkit& tk, Window* parent);
  const std::string& Caption() const { return caption_; }
  void Caption(std::string c);
  int16_t Alignment() const { return alignment_; }
  void Alignment(int16_t a) {
    alignment_ = a;
    OnPropertyChanged("Alignment");
  }
  bool Focusable() const override { return false; }
  std::string WindowText() const override { return caption_; }

 private:
  std::string caption_;
  int16_t alignment_ = 0;
};

// The bar is redrawn only when its filled part grows or shrinks by a whole pixel: Value may move
// once per row of a million-row list while the bar is redrawn a few hundred times at most.
class ProgressBar : public Control {
 public:
  ProgressBar(Toolkit& tk, Window* parent);
  float Min() const { return min_; }
  void Min(float v);
  float Max() const { return max_; }
  void Max(float v);
  float Value() const { return value_; }
  void Value(float v);  // Error 380 outside Min..Max
  bool Focusable() const override { return false; }

  // The filled width in pixels, as shown.
  int32_t ShownPosition() const { return shown_; }
  // How often the bar was redrawn for a change of its filled width.
  int32_t Repaints() const { return repaints_; }

 protected:
  void OnResized() override {
    widthPx_ = -1;
    Reshow();
  }

 private:
  // Recomputes the filled width; a change redraws the bar (the realisation hears "Value").
  void Reshow();
  float min_ = 0, max_ = 100, value_ = 0;
  int32_t widthPx_ = -1;  // the bar's width in pixels, measured when its size or range changes
  int32_t shown_ = 0, repaints_ = 0;
};

// A timer fires its Timer event every Interval milliseconds while it is enabled (Interval 0
// never fires). It runs on the toolkit's timer service.
class Timer : public Control {
 public:
  Timer(Toolkit& tk, Window* parent);
  ~Timer() override;
  uint32_t Interval() const { return interval_; }
  void Interval(uint32_t ms);
  bool TimerEnabled() const { return Enabled(); }
  bool Focusable() const override { return false; }

  Event<> Tick;  // the Timer event

 protected:
  void OnPropertyChanged(std::string_view property) override;

 private:
  void Restart();
  uint32_t interval_ = 0;
  TimerService::TimerId id_ = 0;
};

}  // namespace tamarind::platform
