#pragma once
// The intrinsic controls on real widgets. Each class is the model control of platform/ with a
// widget that follows it: the model keeps the state and raises the events; the widget shows the
// state, and what the user does on the widget goes back to the model through the same entry points
// the headless user driver uses (focus, mouse down and up, keys through the keyboard router,
// choosing an entry, picking a date, clicking an arrow).

#include <QComboBox>
#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>
#include <string_view>

#include "platform/controls/CheckBox.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/DTPicker.h"
#include "platform/controls/Line.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/SimpleControls.h"
#include "platform/controls/TabStrip.h"
#include "platform/controls/TextBox.h"
#include "platform/qt/QtToolkit.h"

class QCheckBox;
class QLineEdit;
class QDateTimeEdit;
class QPushButton;
class QLabel;
class QTabBar;
class QProgressBar;
class QToolButton;

namespace tamarind::platform::qt {

// Keeps a widget in step with a control's common properties (position, visibility, enabled state,
// font, colours, stacking order, reading direction) and hands mouse and key events on the widget to
// the control first. The mirror owns the widget.
class WidgetMirror : public QObject {
 public:
  struct Options {
    KeyHandling keys = KeyHandling::Native;
    bool mouse = true;           // a press takes the focus and raises MouseDown, a release MouseUp
    bool clickOnRelease = false;  // a left release over the widget raises Click (text boxes, labels)
  };
  WidgetMirror(QtToolkit& tk, Control& control, QWidget* widget, Options options);
  ~WidgetMirror() override;
  WidgetMirror(const WidgetMirror&) = delete;
  WidgetMirror& operator=(const WidgetMirror&) = delete;

  QWidget* Widget() const { return widget_; }
  // The widget follows one property of the control; "" follows all the common ones.
  void Follow(std::string_view property);
  // The model gave the control the focus: the widget takes Qt's.
  void TakeFocus();
  // Events on another widget of the same control (a combo box's edit field) are handled alike.
  void Watch(QWidget* part);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The event's part for the model; runs inside the toolkit's guard.
  bool Deliver(QObject* watched, QEvent* event);
  void Restack();
  QtToolkit& tk_;
  Control& control_;
  QPointer<QWidget> widget_;
  Options options_;
  // The font the widget shows (none before the first); a font changed in place is noticed too.
  std::optional<StdFont> shownFont_;
};

class QtTextBox : public TextBox {
 public:
  QtTextBox(QtToolkit& tk, Window& parent);
  QLineEdit* Edit() const { return edit_; }

 protected:
  void OnPropertyChanged(std::string_view property) override;
  void OnFocusReceived() override;
  void Invalidate(bool erase) override;

 private:
  void ShowText();
  void TakeSelection();
  QLineEdit* edit_;
  WidgetMirror mirror_;
  bool showing_ = false;
};

class QtComboBox;

// The combo box widget tells the model when the user opens or closes its list.
class ComboWidget : public QComboBox {
 public:
  ComboWidget(QtComboBox& owner, QWidget* parent) : QComboBox(parent), owner_(owner) {}
  void showPopup() override;
  void hidePopup() override;

 private:
  QtComboBox& owner_;
};

class QtComboBox : public ComboBox {
 public:
  QtComboBox(QtToolkit& tk, Window& parent);
  ~QtComboBox() override;
  ComboWidget* Combo() const { return combo_; }
  // The user opened or closed the list on the widget.
  void UserOpensList();
  void UserClosedList(bool wasOpen);

 protected:
  void OnPropertyChanged(std::string_view property) override;
  void OnFocusReceived() override;
  void Invalidate(bool erase) override;

 private:
  void ShowEntries();
  void ShowText();
  void ShowList(bool open);
  void HookListKeys(bool open);
  void TakeSelection();
  ComboWidget* combo_;
  WidgetMirror mirror_;
  QPointer<QObject> listKeys_;  // takes the keys while the list is open (a filter of the application)
  bool showing_ = false;
  // True from the moment the opened list closes until the event loop runs again: an entry chosen
  // in the list is reported right after the list closes. Qt also reports an entry when the edit
  // field, holding an entry's text, loses the focus; that is no choice.
  bool listJustClosed_ = false;
};

class QtDTPicker : public DTPicker {
 public:
  QtDTPicker(QtToolkit& tk, Window& parent);
  QDateTimeEdit* Edit() const { return edit_; }
  // The month calendar's pop-up window, once it exists.
  QWidget* CalendarPopup() const;

 protected:
  void OnPropertyChanged(std::string_view property) override;
  void OnFocusReceived() override;
  void Invalidate(bool erase) override;

 private:
  void ShowValue();
  void ShowField();
  void WatchPopup();
  QDateTimeEdit* edit_;
  WidgetMirror mirror_;
  bool showing_ = false;
  QPointer<QWidget> popup_;  // the month calendar's pop-up, watched for showing and hiding
};

class QtUpDown : public UpDown {
 public:
  QtUpDown(QtToolkit& tk, Window& parent);
  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

 protected:
  void OnPropertyChanged(std::string_view property) override;
  void Invalidate(bool erase) override;

 private:
  QWidget* box_;
  QToolButton* up_;
  QToolButton* down_;
  WidgetMirror mirror_;
};

class QtCommandButton : public CommandButton {
 public:
  QtCommandButton(QtToolkit& tk, Window& parent);
  QPushButton* Button() const { return button_; }

 protected:
  void OnPropertyChanged(std::string_view property) override;
  void OnFocusReceived() override;
  void Invalidate(bool erase) override;

 private:
  QPushButton* button_;
  WidgetMirror mirror_;
};

class QtLabel : public Label {
 public:
  QtLabel(QtToolkit& tk, Window& parent);
  QLabel* Widget() const { return label_; }

 protected:
  void OnPropertyChanged(std::string_view property) override;
  void Invalidate(bool erase) override;

 private:
  QLabel* label_;
  WidgetMirror mirror_;
};

// The widget turns the box as the desktop does (a click, Space released), then the model takes
// the user's click and the widget shows the model's value again, grayed included.
class QtCheckBox : public CheckBox {
 public:
  QtCheckBox(QtToolkit& tk, Window& parent);
  QCheckBox* Box() const { return box_; }

 protected:
  void OnPropertyChanged(std::string_view property) override;
  void OnFocusReceived() override;
  void Invalidate(bool erase) override;

 private:
  void ShowValue();
  QCheckBox* box_;
  WidgetMirror mirror_;
};

class LineWidget;

// The line is drawn on a widget spanning its ends (and the pen's width); the mouse passes through.
class QtLine : public Line {
 public:
  QtLine(QtToolkit& tk, Window& parent);
  QWidget* Widget() const;

 protected:
  void OnPropertyChanged(std::string_view property) override;
  void Invalidate(bool erase) override;

 private:
  void Place();
  LineWidget* stroke_;
  WidgetMirror mirror_;
};

class QtPictureBox : public PictureBox {
 public:
  QtPictureBox(QtToolkit& tk, Window& parent);

 protected:
  void OnPropertyChanged(std::string_view property) override;
  void Invalidate(bool erase) override;

 private:
  QLabel* label_;
  WidgetMirror mirror_;
};

class QtTabStrip : public TabStrip {
 public:
  QtTabStrip(QtToolkit& tk, Window& parent);
  QTabBar* Bar() const { return bar_; }

 protected:
  void OnPropertyChanged(std::string_view property) override;
  void OnFocusReceived() override;
  void Invalidate(bool erase) override;

 private:
  void ShowTabs();
  QTabBar* bar_;
  WidgetMirror mirror_;
  bool showing_ = false;
};

class QtProgressBar : public ProgressBar {
 public:
  QtProgressBar(QtToolkit& tk, Window& parent);

 protected:
  void OnPropertyChanged(std::string_view property) override;

 private:
  QProgressBar* bar_;
  WidgetMirror mirror_;
};

}  // namespace tamarind::platform::qt
