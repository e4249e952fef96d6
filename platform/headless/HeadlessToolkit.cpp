#include "platform/headless/HeadlessToolkit.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include "platform/UnhandledErrors.h"
#include "platform/controls/CheckBox.h"
#include "resources/Resources.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind::platform::headless {

// --- clock and timers --------------------------------------------------------------------------------

Date VirtualClock::Now() const { return Date(start_.SerialNumber() + static_cast<double>(ms_) / 86400000.0); }

TimerService::TimerId VirtualTimers::StartTimer(uint32_t intervalMs, std::function<void()> onTick) {
  const TimerId id = next_++;
  timers_[id] = Entry{intervalMs, clock_.Milliseconds() + intervalMs, std::move(onTick)};
  return id;
}

void VirtualTimers::StopTimer(TimerId id) { timers_.erase(id); }

uint64_t VirtualTimers::NextDue() const {
  uint64_t due = UINT64_MAX;
  for (const auto& [id, e] : timers_)
    if (!e.running) due = std::min(due, e.due);
  return due;
}

size_t VirtualTimers::ActiveCount() const { return timers_.size(); }

void VirtualTimers::FireDue() {
  const uint64_t now = clock_.Milliseconds();
  // Collect first: a tick may start or stop timers.
  std::vector<std::pair<uint64_t, TimerId>> due;
  for (const auto& [id, e] : timers_)
    if (!e.running && e.due <= now) due.emplace_back(e.due, id);
  std::sort(due.begin(), due.end());
  for (const auto& [when, id] : due) {
    auto it = timers_.find(id);
    if (it == timers_.end() || it->second.running) continue;
    // A timer that fell behind fires once and is due again one interval from now.
    it->second.due = now + it->second.interval;
    it->second.running = true;
    std::function<void()> tick = it->second.onTick;
    RunGuarded(reportTo_, tick);
    it = timers_.find(id);
    if (it != timers_.end()) it->second.running = false;
  }
}

// --- printer -----------------------------------------------------------------------------------------

RecordingPrinter::RecordingPrinter(Toolkit& tk, const HeadlessSettings& s)
    : tk_(tk), width_(s.printerWidth), height_(s.printerHeight) {}

void RecordingPrinter::Orientation(int16_t o) {
  if (o != vbPRORPortrait && o != vbPRORLandscape) Raise(err::InvalidPropertyValue, "Printer");
  orientation_ = o;
}

float RecordingPrinter::ScaleWidth() const { return orientation_ == vbPRORPortrait ? width_ : height_; }
float RecordingPrinter::ScaleHeight() const { return orientation_ == vbPRORPortrait ? height_ : width_; }

float RecordingPrinter::TextWidth(std::string_view text) const {
  return static_cast<float>(tk_.Metrics().TextWidthPx(font_, text) * tk_.GetScreen().TwipsPerPixelX());
}

float RecordingPrinter::TextHeight(std::string_view) const {
  return static_cast<float>(tk_.Metrics().TextHeightPx(font_) * tk_.GetScreen().TwipsPerPixelY());
}

PrintOperation RecordingPrinter::Op(PrintOperation::Kind k) const {
  PrintOperation op;
  op.kind = k;
  op.page = page_;
  op.fontSize = font_.Size();
  op.bold = font_.Bold();
  op.underline = font_.Underline();
  op.orientation = orientation_;
  return op;
}

void RecordingPrinter::Print(std::string_view text) {
  PrintOperation op = Op(PrintOperation::Kind::Text);
  op.x = x_;
  op.y = y_;
  op.text = std::string(text);
  ops_.push_back(op);
  x_ = 0;
  y_ += TextHeight(text);
}

void RecordingPrinter::Line(float x1, float y1, float x2, float y2, OLE_COLOR color, LineKind kind) {
  PrintOperation op = Op(kind == LineKind::Line  ? PrintOperation::Kind::Line
                         : kind == LineKind::Box ? PrintOperation::Kind::Box
                                                 : PrintOperation::Kind::FilledBox);
  op.x = x1;
  op.y = y1;
  op.x2 = x2;
  op.y2 = y2;
  op.color = color;
  ops_.push_back(op);
  x_ = x2;
  y_ = y2;
}

void RecordingPrinter::PaintPicture(const StdPicture&, float x, float y, float width, float height, int32_t) {
  PrintOperation op = Op(PrintOperation::Kind::Picture);
  op.x = x;
  op.y = y;
  op.x2 = x + width;
  op.y2 = y + height;
  ops_.push_back(op);
}

void RecordingPrinter::NewPage() {
  ops_.push_back(Op(PrintOperation::Kind::NewPage));
  ++page_;
  x_ = 0;
  y_ = 0;
}

void RecordingPrinter::EndDoc() {
  ops_.push_back(Op(PrintOperation::Kind::EndDoc));
  documents_.Add(ops_);
  ops_.clear();
  page_ = 1;
  x_ = 0;
  y_ = 0;
}

void RecordingPrinter::KillDoc() {
  ops_.push_back(Op(PrintOperation::Kind::KillDoc));
  ops_.clear();
  page_ = 1;
}

// --- sound -------------------------------------------------------------------------------------------

namespace {
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
}  // namespace

bool RecordingSound::sndPlaySound(const void* sound, uint32_t flags) {
  const uint64_t now = clock_.Milliseconds();
  // A new request stops whatever is still playing: at most the latest one, since each request
  // stopped the ones before it.
  if (!requests_.Entries().empty()) {
    Request& last = requests_.Last();
    if (!last.cutOff && last.endMs > now) {
      last.cutOff = true;
      last.endMs = now;
    }
  }
  if (!sound) return true;  // a null sound only stops the current one
  Request r;
  r.flags = flags;
  r.startMs = now;
  if (flags & SND_MEMORY) {
    const auto* p = static_cast<const uint8_t*>(sound);
    if (p[0] == 'R' && p[1] == 'I' && p[2] == 'F' && p[3] == 'F' && p[8] == 'W' && p[9] == 'A' && p[10] == 'V' &&
        p[11] == 'E') {
      const uint32_t riffSize = Le32(p + 4);
      r.bytes.assign(p, p + riffSize + 8);
      // Walk the chunks for the format's byte rate and the data length.
      uint32_t byteRate = 0, dataBytes = 0;
      for (size_t at = 12; at + 8 <= r.bytes.size();) {
        const uint32_t size = Le32(r.bytes.data() + at + 4);
        if (std::equal(r.bytes.begin() + static_cast<std::ptrdiff_t>(at), r.bytes.begin() + static_cast<std::ptrdiff_t>(at) + 4, "fmt ") && at + 20 <= r.bytes.size())
          byteRate = Le32(r.bytes.data() + at + 16);
        if (std::equal(r.bytes.begin() + static_cast<std::ptrdiff_t>(at), r.bytes.begin() + static_cast<std::ptrdiff_t>(at) + 4, "data")) dataBytes = size;
        at += 8 + size + (size & 1);
      }
      if (byteRate > 0) r.durationMs = static_cast<uint32_t>((static_cast<uint64_t>(dataBytes) * 1000 + byteRate - 1) / byteRate);
    } else {
      return false;
    }
  }
  r.resourceId = FindResourceId("WAVE", r.bytes);
  r.endMs = now + r.durationMs;
  const uint32_t durationMs = r.durationMs;
  requests_.Add(std::move(r));
  // A synchronous sound plays to its end before the call returns.
  if (!(flags & SND_ASYNC)) clock_.Advance(durationMs);
  return true;
}

// --- shell, metrics ------------------------------------------------------------------------------------

intptr_t RecordingShell::ShellExecute(HWND owner, std::string_view operation, std::string_view file,
                                      std::string_view parameters, std::string_view directory, int32_t showCmd) {
  calls_.Add(Call{owner, std::string(operation), std::string(file), std::string(parameters),
                        std::string(directory), showCmd});
  return result_;
}

int32_t HeadlessTextMetrics::CharWidthPx(const StdFont& font) const {
  double w = font.Size() * s_.charWidthPerPoint;
  if (font.Bold()) w *= s_.boldWidthFactor;
  return std::max<int32_t>(1, static_cast<int32_t>(std::lround(w)));
}

int32_t HeadlessTextMetrics::TextWidthPx(const StdFont& font, std::string_view text) const {
  return text::Len(text) * CharWidthPx(font);
}

int32_t HeadlessTextMetrics::TextHeightPx(const StdFont& font) const {
  return std::max<int32_t>(1, static_cast<int32_t>(std::lround(font.Size() * s_.lineHeightPerPoint)));
}

// --- the toolkit -------------------------------------------------------------------------------------

HeadlessToolkit::HeadlessToolkit(HeadlessSettings settings)
    : settings_(std::move(settings)),
      windows_(*this),
      screen_(settings_),
      clock_(settings_.startTime),
      timers_(clock_, *this),
      printer_(*this, settings_),
      sound_(clock_),
      metrics_(settings_.text) {}

// Running automation servers go first: they may still refer to the services below.
HeadlessToolkit::~HeadlessToolkit() { RunningObjects().Clear(); }

void HeadlessToolkit::RunPosted() {
  while (!posted_.empty()) {
    auto work = std::move(posted_.front());
    posted_.pop_front();
    work();
  }
}

void HeadlessToolkit::DoEvents() {
  ++doEventsCount_;
  ++loopDepth_;
  RunPosted();
  timers_.FireDue();
  RunPosted();
  --loopDepth_;
}

void HeadlessToolkit::Wait(uint64_t ms) {
  const uint64_t end = clock_.Milliseconds() + ms;
  RunPosted();
  for (;;) {
    const uint64_t due = timers_.NextDue();
    if (due > end) break;
    if (due > clock_.Milliseconds()) clock_.SetTo(due);
    timers_.FireDue();
    RunPosted();
  }
  if (clock_.Milliseconds() < end) clock_.SetTo(end);
  RunPosted();
}

Variant HeadlessToolkit::GetObject(const std::string& pathName, const std::string& className) {
  if (!className.empty()) {
    auto it = automation_.find(className);
    if (it != automation_.end()) return it->second(pathName);
  } else {
    const auto dot = pathName.rfind('.');
    if (dot != std::string::npos) {
      auto it = automation_.find(text::LCase(pathName.substr(dot)));
      if (it != automation_.end()) return it->second(pathName);
    }
  }
  // Everything else is answered as on any desktop: by the library's registered servers.
  return Toolkit::GetObject(pathName, className);
}

void HeadlessToolkit::RegisterAutomation(std::string classOrExtension, AutomationFactory factory) {
  if (!classOrExtension.empty() && classOrExtension[0] == '.') classOrExtension = text::LCase(classOrExtension);
  automation_[std::move(classOrExtension)] = std::move(factory);
}

void HeadlessToolkit::KeyDown(int16_t keyCode, int16_t shift) {
  const bool delivered = keyboard_.KeyDown(keyCode, shift);
  if (keyCode != vbKeySpace) return;
  auto* box = dynamic_cast<CheckBox*>(focus_.Focused());
  pushedBox_ = delivered && box ? box->hWnd() : 0;
}

void HeadlessToolkit::KeyUp(int16_t keyCode, int16_t shift) {
  keyboard_.KeyUp(keyCode, shift);
  if (keyCode != vbKeySpace) return;
  const HWND pushed = std::exchange(pushedBox_, 0);
  auto* box = dynamic_cast<CheckBox*>(focus_.Focused());
  if (box && box->hWnd() == pushed && box->IsShownAndEnabled()) box->UserClick();
}

MsgBoxResult HeadlessToolkit::MsgBox(const std::string& prompt, int32_t buttons, const std::string& title) {
  messageBoxes_.Add(MessageBoxRecord{prompt, buttons, title});
  if (!answers_.empty()) {
    const MsgBoxResult r = answers_.front();
    answers_.pop_front();
    return r;
  }
  switch (buttons & 7) {
    case vbYesNo:
    case vbYesNoCancel:
      return vbYes;
    case vbRetryCancel:
      return vbRetry;
    case vbAbortRetryIgnore:
      return vbAbort;
    default:
      return vbOK;
  }
}

bool HeadlessToolkit::ChooseColor(OLE_COLOR initial, OLE_COLOR& chosen, const std::string& title) {
  ChooserRecord record{ChooserRecord::Kind::Color, title, initial, {}, false};
  std::optional<OLE_COLOR> answer;
  if (!colorAnswers_.empty()) {
    answer = colorAnswers_.front();
    colorAnswers_.pop_front();
  }
  record.chosen = answer.has_value();
  choosers_.Add(record);
  if (answer) chosen = *answer;
  return record.chosen;
}

bool HeadlessToolkit::ChooseFont(const StdFont& initial, FontRef& chosen, const std::string& title) {
  ChooserRecord record{ChooserRecord::Kind::Font, title, 0, initial, false};
  std::optional<StdFont> answer;
  if (!fontAnswers_.empty()) {
    answer = std::move(fontAnswers_.front());
    fontAnswers_.pop_front();
  }
  record.chosen = answer.has_value();
  choosers_.Add(record);
  if (answer) chosen = std::make_shared<StdFont>(*answer);
  return record.chosen;
}

}  // namespace tamarind::platform::headless
