#include "tests/qt/Desks.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <stdexcept>

#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/UserDriver.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtHostForm.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/QtSupport.h"
#include "platform/qt/QtTargets.h"
#include "platform/qt/QtToolkit.h"

namespace tamarind::testing {

using namespace platform;

platform::PropertyBag SavedReportView(bool rightToLeft) {
  platform::PropertyBag saved;
  saved.WriteProperty("View", Variant(int16_t{3}), Variant(int16_t{0}));
  saved.WriteProperty("RightToLeft", Variant(rightToLeft), Variant(false));
  return saved;
}

void Desk::Build(HostForm& form, const PropertyBag* saved) {
  k_ = &form.Add<Kestrel>("K", 240, 240, 9000, 3600, saved);
  away_ = &form.AddTextBox("txtAway", 240, 4200, 2000, 300);
  const char* captions[] = {"Name", "Qty", "Category", "Date", "Notes"};
  for (int i = 0; i < 5; ++i) k_->ColumnHeaders().Add(0, {}, captions[i], kWidth[i]);
  const std::vector<std::vector<std::string>> rows = {{"Braeburn", "12", "Apple", "11/2/2026", ""},
                                                      {"Lemon", "4", "Citrus", "11/9/2026", ""},
                                                      {"Cherry", "7", "Stone fruit", "11/15/2026", "Sour"},
                                                      {"Blueberry", "3", "Berry", "11/21/2026", "Frozen"},
                                                      {"Lime", "2", "Citrus", "12/1/2026", ""}};
  for (const auto& cells : rows) {
    const ListItemRef item = k_->ListItems().Add(0, {}, cells[0]);
    for (int32_t column = 1; column <= 4; ++column) item->SubItems(column, cells[static_cast<size_t>(column)]);
  }
  for (const char* c : {"Apple", "Berry", "Citrus", "Stone fruit"}) k_->AddItem(c);
  k_->DropLines(int32_t{8});  // what a saved instance reads when it has no value of its own
  form.Show();
}

void Desk::AddRows(int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const ListItemRef item = k_->ListItems().Add(0, {}, "Extra " + std::to_string(i + 1));
    item->SubItems(1, std::to_string(i));
    item->SubItems(2, "Berry");
    item->SubItems(3, "12/3/2026");
  }
  Wait(0);
}

// --- the headless desk -----------------------------------------------------------------------------------

namespace {

class HeadlessDesk : public Desk {
 public:
  HeadlessDesk() { Build(form_); }
  const char* Name() const override { return "Headless"; }
  Toolkit& Tk() override { return tk_; }

  void ClickCell(int32_t row, int32_t column) override { user_.ClickCell(List(), row, column); }
  void ClickCheckBox(int32_t row) override { user_.ClickCell(List(), row, 0, headless::CellPart::StateIcon); }
  void ClickIcon(int32_t row) override { user_.ClickCell(List(), row, 0, headless::CellPart::Icon); }
  void ClickHeader(int32_t columnIndex) override { user_.ClickHeader(List(), columnIndex); }
  void DragColumn(int32_t columnIndex, int32_t toPosition) override {
    user_.DragColumn(List(), columnIndex, toPosition);
  }
  void ScrollDown(int32_t rows) override { user_.ScrollRows(List(), rows); }
  void Type(std::string_view text) override { user_.Type(text); }
  void PressKey(int16_t keyCode, int16_t shift = 0) override { user_.PressKey(keyCode, shift); }
  void ClickSpinner(bool up) override {
    UpDown& spinner = *FindControl<UpDown>(K(), "SPINNER");
    up ? user_.ClickUpArrow(spinner) : user_.ClickDownArrow(spinner);
  }
  void ChooseEntry(std::string_view text) override { user_.ChooseEntry(K().ComboBoxControl(), text); }
  void PickDate(Date date) override { user_.PickDate(K().CalendarControl(), date); }
  void ClickCommandButton() override { user_.Click(K().CommandButtonControl()); }
  void ClickAway() override { user_.Click(Away()); }
  void Wait(int ms) override { user_.Wait(static_cast<uint64_t>(ms)); }
  std::vector<std::string> MessageBoxes() const override {
    std::vector<std::string> out;
    for (const auto& m : tk_.MessageBoxes()) out.push_back(m.title + "|" + m.prompt);
    return out;
  }

 private:
  headless::HeadlessToolkit tk_;
  HostForm form_{tk_, "Orders", 12000, 6000};
  headless::UserDriver user_{tk_};
};

}  // namespace

std::unique_ptr<Desk> MakeHeadlessDesk() { return std::make_unique<HeadlessDesk>(); }
std::unique_ptr<Desk> MakeQtDesk() { return std::make_unique<QtDesk>(); }

// --- the Qt desk ---------------------------------------------------------------------------------------

QtDesk::QtDesk(const PropertyBag* saved) : tk_(std::make_unique<qt::QtToolkit>()) {
  // The person at the desk answers every message box (the suites read what was asked).
  tk_->AnswerMessageBoxes([](const qt::ShownMessageBox&) { return vbOK; });
  form_ = std::make_unique<qt::QtHostForm>(*tk_, "Orders", 12000, 6000);
  Build(*form_, saved);
  QWidget* window = Window();
  window->activateWindow();
  QApplication::setActiveWindow(window);
  if (!QTest::qWaitForWindowExposed(window)) throw std::runtime_error("the test window was never shown");
  (void)QTest::qWaitForWindowActive(window, 2000);
  Wait(0);
}

QtDesk::~QtDesk() = default;  // the form goes before its toolkit

Toolkit& QtDesk::Tk() { return *tk_; }

QWidget* QtDesk::Window() const { return static_cast<qt::QtHostForm&>(*form_).WindowWidget(); }
QWidget* QtDesk::Surface() const { return tk_->WidgetOf(*k_); }
qt::QtListView& QtDesk::QtList() const { return dynamic_cast<qt::QtListView&>(k_->ListViewControl()); }
QWidget* QtDesk::Viewport() const { return QtList().ReportWidget()->viewport(); }
QWidget* QtDesk::HeaderWidget() const { return QtList().ReportWidget()->Header()->viewport(); }
QWidget* QtDesk::WidgetOf(const platform::Window& w) const { return tk_->WidgetOf(w); }

QRect QtDesk::OnSurface(const QWidget* w) const {
  return QRect(w->mapTo(Surface(), QPoint(0, 0)), w->size());
}

QRect QtDesk::CellInViewport(int32_t row, int32_t column) const {
  return QtList().ReportWidget()->CellRect(row - 1, column);
}

QRect QtDesk::CellOnSurface(int32_t row, int32_t column) const {
  const QRect r = CellInViewport(row, column);
  return QRect(Viewport()->mapTo(Surface(), r.topLeft()), r.size());
}

QRect QtDesk::SectionRect(int32_t columnIndex) const {
  const QHeaderView* h = QtList().ReportWidget()->Header();
  return QRect(h->sectionViewportPosition(columnIndex - 1), 0, h->sectionSize(columnIndex - 1), h->height());
}

QWidget* QtDesk::FocusedWidget() const {
  if (QWidget* w = QApplication::focusWidget()) return w;
  const Control* focused = tk_->Focus().Focused();
  return focused ? tk_->WidgetOf(*focused) : Window();
}

void ClickOn(const qt::ClickTarget& t) {
  if (!t) throw std::runtime_error("nothing to click there");
  QTest::mouseClick(t.widget, Qt::LeftButton, Qt::NoModifier, t.at);
  QApplication::processEvents();
}

namespace {
void ClickMiddle(QWidget* w) { ClickOn({w, w->rect().center()}); }
}  // namespace

void QtDesk::ClickCell(int32_t row, int32_t column) { ClickOn(qt::targets::Cell(QtList(), row, column)); }

void QtDesk::ClickCheckBox(int32_t row) { ClickOn(qt::targets::CheckBox(QtList(), row)); }
void QtDesk::ClickIcon(int32_t row) { ClickOn(qt::targets::Icon(QtList(), row)); }

void QtDesk::ClickHeader(int32_t columnIndex) { ClickOn(qt::targets::HeaderSection(QtList(), columnIndex)); }

void QtDesk::DragColumn(int32_t columnIndex, int32_t toPosition) {
  const qt::targets::Drag drag = qt::targets::ColumnDrag(QtList(), columnIndex, toPosition);
  QWidget* header = drag.from.widget;
  QTest::mousePress(header, Qt::LeftButton, Qt::NoModifier, drag.from.at);
  QTest::mouseMove(header, (drag.from.at + drag.to) / 2);
  QTest::mouseMove(header, drag.to);
  QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, drag.to);
  QApplication::processEvents();
}

void QtDesk::ScrollDown(int32_t rows) {
  for (int32_t i = 0; i < rows; ++i) ClickOn(qt::targets::ScrollDownArrow(QtList()));
}

void QtDesk::Type(std::string_view text) {
  // Each key goes where the focus is when it is struck, as a keyboard's do.
  for (const QChar c : qt::ToQString(text)) {
    QTest::keyClicks(FocusedWidget(), QString(c));
    QApplication::processEvents();
  }
}

void QtDesk::PressKey(int16_t keyCode, int16_t shift) {
  Qt::KeyboardModifiers modifiers;
  if (shift & vbShiftMask) modifiers |= Qt::ShiftModifier;
  if (shift & vbCtrlMask) modifiers |= Qt::ControlModifier;
  if (shift & vbAltMask) modifiers |= Qt::AltModifier;
  QTest::keyClick(FocusedWidget(), qt::QtKeyOf(keyCode), modifiers);
  QApplication::processEvents();
}

void QtDesk::ClickSpinner(bool up) {
  ClickOn(qt::targets::SpinArrow(dynamic_cast<qt::QtUpDown&>(*FindControl<UpDown>(K(), "SPINNER")), up));
}

void QtDesk::ChooseEntry(std::string_view text) {
  auto& combo = dynamic_cast<qt::QtComboBox&>(K().ComboBoxControl());
  ClickOn(qt::targets::DropDownArrow(combo));
  // The pointer travels from the arrow to the entry before it clicks: the opened list takes no
  // click that comes without the pointer having moved away from the arrow.
  const qt::ClickTarget entry = qt::targets::DropDownEntry(combo, text);
  if (!entry) throw std::runtime_error("the drop-down did not open on the entry");
  QMouseEvent move(QEvent::MouseMove, entry.at, entry.widget->mapToGlobal(entry.at), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(entry.widget, &move);
  ClickOn(entry);
}

void QtDesk::PickDate(Date date) {
  auto& picker = dynamic_cast<qt::QtDTPicker&>(K().CalendarControl());
  ClickOn(qt::targets::CalendarArrow(picker));
  for (int step = 0; step < 240; ++step) {
    bool day = false;
    ClickOn(qt::targets::CalendarStep(picker, date, day));
    if (day) return;
  }
  throw std::runtime_error("the month calendar never reached the date");
}

void QtDesk::ClickCommandButton() {
  ClickMiddle(dynamic_cast<qt::QtCommandButton&>(K().CommandButtonControl()).Button());
}

void QtDesk::ClickAway() { ClickMiddle(WidgetOf(Away())); }

std::vector<std::string> QtDesk::MessageBoxes() const {
  std::vector<std::string> out;
  for (const auto& m : tk_->MessageBoxes()) out.push_back(m.title + "|" + m.prompt);
  return out;
}

void QtDesk::Wait(int ms) {
  QTest::qWait(ms);
  QApplication::processEvents();
}

}  // namespace tamarind::testing
