#pragma once
// A desk is one realisation of the platform with a person at it: a toolkit, a host form holding a
// Kestrel, and the user's hands. The headless desk plays the user through the headless user driver;
// the Qt desk through real input events (QTest) on real widgets, at positions read from the view.
// A behaviour suite written against Desk runs on both, and must see the same thing on both.
//
// Both desks show the same fruit-order list: columns Name, Qty, Category, Date and Notes
// (1500, 1200, 1500, 1800 and 1800 twips), five rows, and a category drop-down with four entries.

#include <QPoint>
#include <QRect>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "control/Kestrel.h"
#include "platform/HostForm.h"
#include "platform/PropertyBag.h"
#include "platform/controls/TextBox.h"
#include "runtime/Date.h"

class QWidget;

namespace tamarind::platform::qt {
class QtToolkit;
class QtListView;
struct ClickTarget;
}  // namespace tamarind::platform::qt

namespace tamarind::testing {

class Desk {
 public:
  static constexpr float kWidth[5] = {1500, 1200, 1500, 1800, 1800};

  virtual ~Desk() = default;
  virtual const char* Name() const = 0;
  virtual platform::Toolkit& Tk() = 0;
  Kestrel& K() { return *k_; }
  platform::ListView& List() { return k_->ListViewControl(); }
  platform::TextBox& Away() { return *away_; }

  // --- the user's hands ---
  virtual void ClickCell(int32_t row, int32_t column) = 0;  // row 1-based, column in creation order
  virtual void ClickCheckBox(int32_t row) = 0;
  virtual void ClickIcon(int32_t row) = 0;
  virtual void ClickHeader(int32_t columnIndex) = 0;         // 1-based
  virtual void DragColumn(int32_t columnIndex, int32_t toPosition) = 0;
  virtual void ScrollDown(int32_t rows) = 0;                 // with the scroll bar's arrow
  virtual void Type(std::string_view text) = 0;              // into the focused control
  virtual void PressKey(int16_t keyCode, int16_t shift = 0) = 0;  // Enter, Tab, ...; shift: vbShiftMask, vbCtrlMask, ...
  virtual void ClickSpinner(bool up) = 0;
  virtual void ChooseEntry(std::string_view text) = 0;       // opens the drop-down and clicks the entry
  virtual void PickDate(Date date) = 0;                      // opens the month calendar and clicks the day
  virtual void ClickCommandButton() = 0;
  virtual void ClickAway() = 0;                              // into the form's other text box
  // Time passes with the event loop running.
  virtual void Wait(int ms) = 0;
  // The message boxes shown so far, each as "<title>|<prompt>".
  virtual std::vector<std::string> MessageBoxes() const = 0;

  // The list's rows to fill more than the list can show.
  void AddRows(int32_t count);

 protected:
  // Builds the list on a form of the desk's toolkit, as saved when `saved` is given.
  void Build(platform::HostForm& form, const platform::PropertyBag* saved = nullptr);
  Kestrel* k_ = nullptr;
  platform::TextBox* away_ = nullptr;
};

// What a saved instance in report view holds, mirrored when rightToLeft (the list mirrors only
// when loaded so).
platform::PropertyBag SavedReportView(bool rightToLeft);

// The selected row (0 for none), so a wrong selection fails a check rather than the run.
inline int32_t SelectedRow(Kestrel& k) { return k.SelectedItem() ? k.SelectedItem()->Index() : 0; }
// The indexes of every selected row, in order.
inline std::vector<int32_t> SelectedRows(Kestrel& k) {
  std::vector<int32_t> rows;
  for (int32_t i = 1; i <= k.ListItems().Count(); ++i)
    if (k.ListItems().Item(i)->Selected()) rows.push_back(i);
  return rows;
}

std::unique_ptr<Desk> MakeHeadlessDesk();
std::unique_ptr<Desk> MakeQtDesk();

// A suite parameterised by realisation runs on both desks, named by the realisation.
struct Realisation {
  const char* name;
  std::unique_ptr<Desk> (*make)();
};
inline void PrintTo(const Realisation& r, std::ostream* os) { *os << r.name; }
inline const Realisation kRealisations[] = {{"Headless", MakeHeadlessDesk}, {"Qt", MakeQtDesk}};
inline std::string RealisationName(const ::testing::TestParamInfo<Realisation>& info) { return info.param.name; }

// A real click with the left button, the events it causes handled; throws when there is nothing to click.
void ClickOn(const platform::qt::ClickTarget& t);

// The Qt desk's own views, for the suites that look at real pixels.
class QtDesk : public Desk {
 public:
  explicit QtDesk(const platform::PropertyBag* saved = nullptr);
  ~QtDesk() override;
  const char* Name() const override { return "Qt"; }
  platform::Toolkit& Tk() override;
  platform::qt::QtToolkit& QtTk() { return *tk_; }

  void ClickCell(int32_t row, int32_t column) override;
  void ClickCheckBox(int32_t row) override;
  void ClickIcon(int32_t row) override;
  void ClickHeader(int32_t columnIndex) override;
  void DragColumn(int32_t columnIndex, int32_t toPosition) override;
  void ScrollDown(int32_t rows) override;
  void Type(std::string_view text) override;
  void PressKey(int16_t keyCode, int16_t shift = 0) override;
  void ClickSpinner(bool up) override;
  void ChooseEntry(std::string_view text) override;
  void PickDate(Date date) override;
  void ClickCommandButton() override;
  void ClickAway() override;
  void Wait(int ms) override;
  std::vector<std::string> MessageBoxes() const override;

  // --- what the user sees ---
  QWidget* Window() const;
  QWidget* Surface() const;        // the control's own widget
  QWidget* Viewport() const;       // where the rows are painted
  QWidget* HeaderWidget() const;
  QWidget* WidgetOf(const platform::Window& w) const;
  // A cell's rectangle as painted, in the coordinates of the control's widget.
  QRect CellOnSurface(int32_t row, int32_t column) const;
  // The same rectangle in the coordinates of the viewport.
  QRect CellInViewport(int32_t row, int32_t column) const;
  // A widget's rectangle in the coordinates of the control's widget.
  QRect OnSurface(const QWidget* w) const;
  // A header section's rectangle in the header's coordinates.
  QRect SectionRect(int32_t columnIndex) const;
  QWidget* FocusedWidget() const;

 private:
  platform::qt::QtListView& QtList() const;
  std::unique_ptr<platform::qt::QtToolkit> tk_;
  std::unique_ptr<platform::HostForm> form_;
};

}  // namespace tamarind::testing
