#include "platform/qt/QtControls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "platform/qt/QtAccessibleList.h"
#include "platform/qt/QtSupport.h"
#include "runtime/Error.h"

namespace tamarind::platform::qt {

namespace {

QRect ToQRect(const RECT& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

float TwipsX(Toolkit& tk, double px) { return static_cast<float>(px * tk.GetScreen().TwipsPerPixelX()); }
float TwipsY(Toolkit& tk, double px) { return static_cast<float>(px * tk.GetScreen().TwipsPerPixelY()); }

// Runs a function for the events of one object.
class EventHook : public QObject {
 public:
  // f answers whether it took the event (the watched object then never sees it).
  EventHook(QObject* watched, std::function<bool(QEvent*)> f) : QObject(watched), f_(std::move(f)) {
    watched->installEventFilter(this);
  }
  EventHook(QObject* watched, const std::function<void(QEvent*)>& f)
      : EventHook(watched, std::function<bool(QEvent*)>([f](QEvent* e) {
                    f(e);
                    return false;
                  })) {}

 protected:
  bool eventFilter(QObject*, QEvent* e) override { return f_(e); }

 private:
  std::function<bool(QEvent*)> f_;
};

// The widget is made before the mirror that owns it, inside its parent's widget.
template <class W, class... Args>
W* MakeWidget(QtToolkit& tk, Window& parent, Args&&... args) {
  auto* w = new W(std::forward<Args>(args)..., tk.ParentWidgetFor(parent));
  w->setFocusPolicy(Qt::NoFocus);  // the model decides where the focus goes
  return w;
}

// Guards a flag for as long as it lives.
class Showing {
 public:
  explicit Showing(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~Showing() { flag_ = was_; }
  Showing(const Showing&) = delete;
  Showing& operator=(const Showing&) = delete;

 private:
  bool& flag_;
  bool was_;
};

QDateTime ToQDateTime(Date d) {
  const CalendarDate c = d.ToCalendar();
  return QDateTime(QDate(c.Year, c.Month, c.Day), QTime(c.Hour, c.Minute, c.Second));
}

Date FromQDateTime(const QDateTime& dt) {
  return Date::FromCalendar(dt.date().year(), dt.date().month(), dt.date().day(), dt.time().hour(),
                            dt.time().minute(), dt.time().second());
}

}  // namespace

// --- WidgetMirror ------------------------------------------------------------------------------------

WidgetMirror::WidgetMirror(QtToolkit& tk, Control& control, QWidget* widget, Options options)
    : tk_(tk), control_(control), widget_(widget), options_(options) {
  widget->setObjectName(ToQString(control.ClassName()));
  tk_.Register(control, widget);
  widget->installEventFilter(this);
}

WidgetMirror::~WidgetMirror() {
  tk_.Unregister(control_);
  delete widget_.data();
}

void WidgetMirror::Watch(QWidget* part) {
  part->setFocusPolicy(Qt::NoFocus);
  part->installEventFilter(this);
}

void WidgetMirror::Follow(std::string_view p) {
  QWidget* w = widget_;
  if (!w) return;
  const bool all = p.empty();
  if (all || p == "Left" || p == "Top" || p == "Width" || p == "Height" || p == "Move")
    w->setGeometry(ToQRect(control_.BoundsPx()));
  if (all || p == "Enabled") w->setEnabled(control_.Enabled());
  if (!shownFont_ || !(*control_.Font() == *shownFont_)) {
    shownFont_ = *control_.Font();
    w->setFont(ToQFont(*shownFont_));
  }
  if (all || p == "ForeColor" || p == "BackColor") {
    QPalette pal = w->palette();
    const QPalette app = QApplication::palette();
    const QColor fore = ToQColor(control_.ForeColor(), app), back = ToQColor(control_.BackColor(), app);
    for (QPalette::ColorRole r : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) pal.setColor(r, fore);
    for (QPalette::ColorRole r : {QPalette::Base, QPalette::Window}) pal.setColor(r, back);
    w->setPalette(pal);
  }
  if (all || p == "RightToLeft") w->setLayoutDirection(control_.RightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
  if (all || p == "ZOrder") Restack();
  // Shown last, in place; never as a window of its own.
  if (all || p == "Visible") w->setVisible(control_.Visible() && w->parentWidget());
  accessible::FollowEditor(control_, *w, p);  // an editor over a cell is named after it
}

void WidgetMirror::Restack() {
  // The siblings' widgets in the controls' drawing order, the front one raised last.
  Window* parent = control_.ParentWindow();
  if (!parent) return;
  std::vector<Control*> siblings;
  for (Window* child : parent->ChildWindows())
    if (auto* c = dynamic_cast<Control*>(child); c && tk_.WidgetOf(*c)) siblings.push_back(c);
  std::stable_sort(siblings.begin(), siblings.end(),
                   [](Control* a, Control* b) { return a->ZOrderIndex() < b->ZOrderIndex(); });
  for (Control* c : siblings) tk_.WidgetOf(*c)->raise();
}

void WidgetMirror::TakeFocus() {
  if (widget_ && widget_->window()) widget_->setFocus(Qt::OtherFocusReason);
}

bool WidgetMirror::eventFilter(QObject* watched, QEvent* event) {
  bool eaten = false;
  tk_.Guarded([&] { eaten = Deliver(watched, event); });
  return eaten;
}

bool WidgetMirror::Deliver(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return tk_.RouteKey(control_, *static_cast<QKeyEvent*>(event), event->type() == QEvent::KeyPress,
                          options_.keys);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (!options_.mouse || !control_.IsShownAndEnabled()) return false;
      auto* me = static_cast<QMouseEvent*>(event);
      // The press takes the focus first; a Validate that keeps it elsewhere swallows the press.
      if (control_.Focusable() && !control_.HasFocus() && !tk_.Focus().SetFocus(control_)) return true;
      const QPointF at = static_cast<QWidget*>(watched)->mapTo(widget_, me->position());
      int16_t b = ButtonOf(me->button()), s = ShiftOf(me->modifiers());
      float x = TwipsX(tk_, at.x()), y = TwipsY(tk_, at.y());
      control_.MouseDown(b, s, x, y);
      return false;
    }
    case QEvent::MouseButtonRelease: {
      if (!options_.mouse || !control_.IsShownAndEnabled()) return false;
      auto* me = static_cast<QMouseEvent*>(event);
      const QPointF at = static_cast<QWidget*>(watched)->mapTo(widget_, me->position());
      int16_t b = ButtonOf(me->button()), s = ShiftOf(me->modifiers());
      float x = TwipsX(tk_, at.x()), y = TwipsY(tk_, at.y());
      control_.MouseUp(b, s, x, y);
      if (options_.clickOnRelease && me->button() == Qt::LeftButton && widget_ &&
          widget_->rect().contains(at.toPoint()))
        control_.Click();
      return false;
    }
    default:
      return false;
  }
}

// --- text box ----------------------------------------------------------------------------------------

QtTextBox::QtTextBox(QtToolkit& tk, Window& parent)
    : TextBox(tk, &parent),
      edit_(MakeWidget<QLineEdit>(tk, parent)),
      mirror_(tk, *this, edit_, {KeyHandling::ModelEdits, true, true}) {
  edit_->setMaxLength(32767);
  // Keys are the model's; what the widget changes by itself (a paste from its menu, a selection
  // made with the mouse) goes back to the model.
  QObject::connect(edit_, &QLineEdit::textEdited, [this](const QString& text) {
    QtToolkitOf(*this).Guarded([&] {
      if (showing_) return;
      const int32_t caret = CharacterIndex(text, edit_->cursorPosition());
      Text(ToUtf8(text));
      SelStart(caret);
    });
  });
  QObject::connect(edit_, &QLineEdit::selectionChanged, [this] {
    QtToolkitOf(*this).Guarded([&] { TakeSelection(); });
  });
  QObject::connect(edit_, &QLineEdit::cursorPositionChanged, [this](int, int) {
    QtToolkitOf(*this).Guarded([&] { TakeSelection(); });
  });
  mirror_.Follow("");
  OnPropertyChanged("BorderStyle");
  ShowText();
}

void QtTextBox::TakeSelection() {
  if (showing_) return;
  Showing guard(showing_);
  const QString t = edit_->text();
  if (edit_->hasSelectedText()) {
    const int32_t start = CharacterIndex(t, edit_->selectionStart());
    const int32_t end = CharacterIndex(t, edit_->selectionEnd());
    SelStart(start);
    SelLength(end - start);
  } else {
    SelStart(CharacterIndex(t, edit_->cursorPosition()));
  }
}

void QtTextBox::ShowText() {
  Showing guard(showing_);
  const QString t = ToQString(Text());
  if (edit_->text() != t) edit_->setText(t);
  const int start = Utf16Index(t, SelStart());
  const int end = Utf16Index(t, SelStart() + SelLength());
  if (end > start) edit_->setSelection(start, end - start);
  else edit_->setCursorPosition(start);
}

void QtTextBox::OnPropertyChanged(std::string_view p) {
  TextBox::OnPropertyChanged(p);
  mirror_.Follow(p);
  if (p == "Text" || p == "SelStart" || p == "SelLength") {
    if (!showing_) ShowText();
  } else if (p == "PasswordChar") {
    edit_->setEchoMode(PasswordChar().empty() ? QLineEdit::Normal : QLineEdit::Password);
  } else if (p == "Locked") {
    edit_->setReadOnly(Locked());
  } else if (p == "MaxLength") {
    edit_->setMaxLength(MaxLength() > 0 ? MaxLength() : 32767);
  } else if (p == "Alignment") {
    edit_->setAlignment(Alignment() == 1 ? Qt::AlignRight : Alignment() == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
  } else if (p == "BorderStyle") {
    edit_->setFrame(BorderStyle() != 0);
  }
}

void QtTextBox::OnFocusReceived() {
  TextBox::OnFocusReceived();
  mirror_.TakeFocus();
}

void QtTextBox::Invalidate(bool erase) {
  TextBox::Invalidate(erase);
  edit_->update();
}

// --- combo box ---------------------------------------------------------------------------------------

void ComboWidget::showPopup() {
  QtToolkitOf(owner_).Guarded([&] { owner_.UserOpensList(); });
}

void ComboWidget::hidePopup() {
  const bool wasOpen = view()->isVisible();
  QComboBox::hidePopup();
  QtToolkitOf(owner_).Guarded([&] { owner_.UserClosedList(wasOpen); });
}

QtComboBox::QtComboBox(QtToolkit& tk, Window& parent)
    : ComboBox(tk, &parent),
      combo_(MakeWidget<ComboWidget>(tk, parent, *this)),
      mirror_(tk, *this, combo_, {KeyHandling::ModelEdits, true, false}) {
  combo_->setEditable(Style() != vbComboDropdownList);
  combo_->setInsertPolicy(QComboBox::NoInsert);
  if (QLineEdit* edit = combo_->lineEdit()) {
    combo_->setCompleter(nullptr);  // completion is the control's own
    mirror_.Watch(edit);
    QObject::connect(edit, &QLineEdit::textEdited, [this, edit](const QString& text) {
      QtToolkitOf(*this).Guarded([&] {
        if (showing_) return;
        const int32_t caret = CharacterIndex(text, edit->cursorPosition());
        Text(ToUtf8(text));
        SelStart(caret);
      });
    });
    QObject::connect(edit, &QLineEdit::selectionChanged, [this] {
      QtToolkitOf(*this).Guarded([&] { TakeSelection(); });
    });
    QObject::connect(edit, &QLineEdit::cursorPositionChanged, [this](int, int) {
      QtToolkitOf(*this).Guarded([&] { TakeSelection(); });
    });
  }
  // An entry chosen in the opened list.
  QObject::connect(combo_, &QComboBox::activated, [this](int index) {
    QtToolkitOf(*this).Guarded([&] {
      if (showing_ || !listJustClosed_ || index < 0 || index >= ListCount()) return;
      listJustClosed_ = false;
      ListIndex(index);
      if (DroppedDown()) ShowDropDown(false);
    });
  });
  // Scrolling the opened list.
  QObject::connect(combo_->view()->verticalScrollBar(), &QScrollBar::valueChanged, [this](int) {
    QtToolkitOf(*this).Guarded([&] {
      if (showing_ || !DroppedDown()) return;
      const QModelIndex top = combo_->view()->indexAt(QPoint(1, 1));
      if (top.isValid()) ScrollList(top.row());
    });
  });
  mirror_.Follow("");
  ShowEntries();
}

QtComboBox::~QtComboBox() { HookListKeys(false); }

void QtComboBox::UserOpensList() {
  if (DroppedDown()) ShowList(true);
  else ShowDropDown(true);  // DropDown, then the list opens (OnPropertyChanged)
}

void QtComboBox::UserClosedList(bool wasOpen) {
  if (wasOpen && !listJustClosed_) {
    listJustClosed_ = true;
    QTimer::singleShot(0, combo_, [this] { listJustClosed_ = false; });
  }
  if (!showing_ && DroppedDown()) ShowDropDown(false);
}

void QtComboBox::HookListKeys(bool open) {
  // Keys typed while the list is open are the control's as in the edit field (they type, choose
  // with the arrows and finish with Enter), not the list's own search by letter. Qt's popup filters
  // the list's keys itself ahead of any filter on the list, so the keys are taken at the
  // application while the list is open.
  if (!open) {
    delete listKeys_.data();
    return;
  }
  if (listKeys_) return;
  QtToolkit& tk = QtToolkitOf(*this);
  QAbstractItemView* view = combo_->view();
  listKeys_ = new EventHook(QCoreApplication::instance(), std::function<bool(QEvent*)>([this, &tk, view](QEvent* e) {
    const QEvent::Type type = e->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride) return false;
    if (QApplication::focusWidget() != view) return false;
    if (type == QEvent::ShortcutOverride) {
      e->accept();  // the key comes as a key press, never as the popup's Enter (which picks its own row)
      return true;
    }
    return tk.RouteKey(*this, *static_cast<QKeyEvent*>(e), e->type() == QEvent::KeyPress, KeyHandling::ModelEdits);
  }));
}

void QtComboBox::ShowList(bool open) {
  Showing guard(showing_);
  QAbstractItemView* view = combo_->view();
  const bool shown = view->window()->isVisible();
  if (open && !shown) {
    combo_->setMaxVisibleItems(std::max(1, VisibleListEntries()));
    view->setMinimumWidth(DroppedWidthPx() > 0 ? DroppedWidthPx() : 0);
    combo_->QComboBox::showPopup();
    HookListKeys(true);
    if (TopIndex() > 0) view->scrollTo(combo_->model()->index(TopIndex(), 0), QAbstractItemView::PositionAtTop);
  } else if (!open && shown) {
    combo_->QComboBox::hidePopup();
  }
  if (!open) HookListKeys(false);
}

void QtComboBox::ShowEntries() {
  Showing guard(showing_);
  combo_->clear();
  for (int32_t i = 0; i < ListCount(); ++i) combo_->addItem(ToQString(List(i)));
  combo_->setCurrentIndex(ListIndex());
  ShowText();
}

void QtComboBox::ShowText() {
  Showing guard(showing_);
  if (combo_->currentIndex() != ListIndex()) combo_->setCurrentIndex(ListIndex());
  QLineEdit* edit = combo_->lineEdit();
  if (!edit) return;
  const QString t = ToQString(Text());
  if (edit->text() != t) edit->setText(t);
  const int start = Utf16Index(t, SelStart());
  const int end = Utf16Index(t, SelStart() + SelLength());
  if (end > start) edit->setSelection(start, end - start);
  else edit->setCursorPosition(start);
}

void QtComboBox::TakeSelection() {
  QLineEdit* edit = combo_->lineEdit();
  if (showing_ || !edit) return;
  Showing guard(showing_);
  const QString t = edit->text();
  if (edit->hasSelectedText()) {
    const int32_t start = CharacterIndex(t, edit->selectionStart());
    SelStart(start);
    SelLength(CharacterIndex(t, edit->selectionEnd()) - start);
  } else {
    SelStart(CharacterIndex(t, edit->cursorPosition()));
  }
}

void QtComboBox::OnPropertyChanged(std::string_view p) {
  ComboBox::OnPropertyChanged(p);
  mirror_.Follow(p);
  if (p == "Visible" && !Visible()) ShowList(false);
  if (showing_) return;
  if (p == "List") {
    ShowEntries();
  } else if (p == "ListIndex") {
    Showing guard(showing_);
    combo_->setCurrentIndex(ListIndex());
    ShowText();
  } else if (p == "Text" || p == "SelStart" || p == "SelLength") {
    ShowText();
  } else if (p == "DroppedDown") {
    ShowList(DroppedDown());
  } else if (p == "DroppedWidth") {
    combo_->view()->setMinimumWidth(DroppedWidthPx());
  } else if (p == "Move") {
    combo_->setMaxVisibleItems(std::max(1, VisibleListEntries()));
  } else if (p == "TopIndex" && DroppedDown()) {
    Showing guard(showing_);
    combo_->view()->scrollTo(combo_->model()->index(TopIndex(), 0), QAbstractItemView::PositionAtTop);
  }
}

void QtComboBox::OnFocusReceived() {
  ComboBox::OnFocusReceived();
  ShowText();
  mirror_.TakeFocus();
}

void QtComboBox::Invalidate(bool erase) {
  ComboBox::Invalidate(erase);
  combo_->update();
}

// --- date picker -------------------------------------------------------------------------------------

QtDTPicker::QtDTPicker(QtToolkit& tk, Window& parent)
    : DTPicker(tk, &parent),
      edit_(MakeWidget<QDateTimeEdit>(tk, parent)),
      // The model edits the date field by field, the same on every realisation; the widget shows
      // the value and marks the field the keys go to.
      mirror_(tk, *this, edit_, {KeyHandling::ModelEdits, true, false}) {
  edit_->setCalendarPopup(true);
  edit_->setDisplayFormat("M/d/yyyy");
  edit_->setDateTimeRange(ToQDateTime(MinDate()), ToQDateTime(MaxDate()));
  QObject::connect(edit_, &QDateTimeEdit::dateTimeChanged, [this](const QDateTime& dt) {
    QtToolkitOf(*this).Guarded([&] {
      if (showing_) return;
      try {
        Value(Variant(FromQDateTime(dt)));
      } catch (const Error&) {
        ShowValue();  // a value the model refuses: the widget goes back to the model's
      }
    });
  });
  WatchPopup();
  mirror_.Follow("");
  ShowValue();
}

QWidget* QtDTPicker::CalendarPopup() const {
  QCalendarWidget* calendar = edit_->calendarWidget();
  return calendar ? calendar->window() : nullptr;
}

void QtDTPicker::WatchPopup() {
  QWidget* popup = CalendarPopup();
  if (!popup || popup == popup_) return;
  popup_ = popup;
  // The month calendar opening and closing are the picker's DropDown and CloseUp.
  new EventHook(popup, [this](QEvent* e) {
    QtToolkitOf(*this).Guarded([&] {
      if (showing_) return;
      if (e->type() == QEvent::Show && !DroppedDown()) OpenCalendar();
      if (e->type() == QEvent::Hide && DroppedDown()) CloseCalendar();
    });
  });
}

void QtDTPicker::ShowValue() {
  Showing guard(showing_);
  edit_->setDateTime(ToQDateTime(DateValue()));
  ShowField();
}

void QtDTPicker::ShowField() {
  // The display format is month/day/year: the sections in the model's field order.
  static constexpr QDateTimeEdit::Section kSections[] = {QDateTimeEdit::MonthSection, QDateTimeEdit::DaySection,
                                                         QDateTimeEdit::YearSection};
  edit_->setSelectedSection(kSections[static_cast<int>(CurrentField())]);
}

void QtDTPicker::OnPropertyChanged(std::string_view p) {
  DTPicker::OnPropertyChanged(p);
  mirror_.Follow(p);
  if (p == "Value") {
    if (!showing_) ShowValue();
  } else if (p == "Field") {
    ShowField();
  } else if (p == "MinDate" || p == "MaxDate") {
    Showing guard(showing_);
    edit_->setDateTimeRange(ToQDateTime(MinDate()), ToQDateTime(MaxDate()));
  } else if ((p == "DroppedDown" && !DroppedDown()) || (p == "Visible" && !Visible())) {
    Showing guard(showing_);
    if (popup_ && popup_->isVisible()) popup_->hide();
  }
}

void QtDTPicker::OnFocusReceived() {
  DTPicker::OnFocusReceived();
  mirror_.TakeFocus();
}

void QtDTPicker::Invalidate(bool erase) {
  DTPicker::Invalidate(erase);
  edit_->update();
}

// --- spin buttons ------------------------------------------------------------------------------------

QtUpDown::QtUpDown(QtToolkit& tk, Window& parent)
    : UpDown(tk, &parent),
      box_(MakeWidget<QWidget>(tk, parent)),
      up_(new QToolButton(box_)),
      down_(new QToolButton(box_)),
      // Clicking the arrows leaves the focus where it is: the edit goes on in the text box.
      mirror_(tk, *this, box_, {KeyHandling::Native, false, false}) {
  auto* layout = new QVBoxLayout(box_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (QToolButton* b : {up_, down_}) {
    b->setArrowType(b == up_ ? Qt::UpArrow : Qt::DownArrow);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRepeat(true);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(b);
  }
  QObject::connect(up_, &QToolButton::clicked, [this] {
    QtToolkitOf(*this).Guarded([&] {
      if (IsShownAndEnabled()) ClickUp();
    });
  });
  QObject::connect(down_, &QToolButton::clicked, [this] {
    QtToolkitOf(*this).Guarded([&] {
      if (IsShownAndEnabled()) ClickDown();
    });
  });
  mirror_.Follow("");
}

void QtUpDown::OnPropertyChanged(std::string_view p) {
  UpDown::OnPropertyChanged(p);
  mirror_.Follow(p);
}

void QtUpDown::Invalidate(bool erase) {
  UpDown::Invalidate(erase);
  box_->update();
}

// --- command button ----------------------------------------------------------------------------------

QtCommandButton::QtCommandButton(QtToolkit& tk, Window& parent)
    : CommandButton(tk, &parent),
      button_(MakeWidget<QPushButton>(tk, parent)),
      // Space and Enter press the button through the model, the same on every realisation.
      mirror_(tk, *this, button_, {KeyHandling::ModelEdits, true, false}) {
  QObject::connect(button_, &QPushButton::clicked, [this] {
    QtToolkitOf(*this).Guarded([&] {
      if (IsShownAndEnabled()) Click();
    });
  });
  mirror_.Follow("");
}

void QtCommandButton::OnPropertyChanged(std::string_view p) {
  CommandButton::OnPropertyChanged(p);
  mirror_.Follow(p);
  if (p == "Caption") button_->setText(ToQString(Caption()));
}

void QtCommandButton::OnFocusReceived() {
  CommandButton::OnFocusReceived();
  mirror_.TakeFocus();
}

void QtCommandButton::Invalidate(bool erase) {
  CommandButton::Invalidate(erase);
  button_->update();
}

// --- label -------------------------------------------------------------------------------------------

QtLabel::QtLabel(QtToolkit& tk, Window& parent)
    : Label(tk, &parent),
      label_(MakeWidget<QLabel>(tk, parent)),
      mirror_(tk, *this, label_, {KeyHandling::Native, true, true}) {
  label_->setAutoFillBackground(true);
  label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label_->setIndent(4);
  mirror_.Follow("");
}

void QtLabel::OnPropertyChanged(std::string_view p) {
  Label::OnPropertyChanged(p);
  mirror_.Follow(p);
  if (p == "Caption") {
    label_->setText(ToQString(Caption()));
  } else if (p == "Alignment") {
    const Qt::Alignment h = Alignment() == 1 ? Qt::AlignRight : Alignment() == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    label_->setAlignment(h | Qt::AlignVCenter);
  }
}

void QtLabel::Invalidate(bool erase) {
  Label::Invalidate(erase);
  label_->update();
}

// --- check box ---------------------------------------------------------------------------------------

QtCheckBox::QtCheckBox(QtToolkit& tk, Window& parent)
    : CheckBox(tk, &parent),
      box_(MakeWidget<QCheckBox>(tk, parent)),
      mirror_(tk, *this, box_, {KeyHandling::Native, true, false}) {
  // Only the user's click (or Space) emits clicked; the values the program sets do not.
  QObject::connect(box_, &QCheckBox::clicked, [this] {
    QtToolkitOf(*this).Guarded([&] {
      if (IsShownAndEnabled()) UserClick();
    });
    ShowValue();  // whatever Qt turned the box to, and whatever a Click handler did
  });
  mirror_.Follow("");
  ShowValue();
}

void QtCheckBox::ShowValue() {
  // A grayed box needs Qt's third state; without it a click would never pass through grayed.
  box_->setTristate(Value() == vbGrayed);
  box_->setCheckState(Value() == vbChecked  ? Qt::Checked
                      : Value() == vbGrayed ? Qt::PartiallyChecked
                                            : Qt::Unchecked);
}

void QtCheckBox::OnPropertyChanged(std::string_view p) {
  CheckBox::OnPropertyChanged(p);
  mirror_.Follow(p);
  if (p == "Caption") box_->setText(ToQString(Caption()));
  else if (p == "Value") ShowValue();
}

void QtCheckBox::OnFocusReceived() {
  CheckBox::OnFocusReceived();
  mirror_.TakeFocus();
}

void QtCheckBox::Invalidate(bool erase) {
  CheckBox::Invalidate(erase);
  box_->update();
}

// --- line --------------------------------------------------------------------------------------------

class LineWidget : public QWidget {
 public:
  explicit LineWidget(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }
  QPoint from, to;  // the ends in the widget's coordinates
  QColor color;
  int width = 1;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(from, to);
  }
};

QtLine::QtLine(QtToolkit& tk, Window& parent)
    : Line(tk, &parent),
      stroke_(MakeWidget<LineWidget>(tk, parent)),
      mirror_(tk, *this, stroke_, {KeyHandling::Native, false, false}) {
  mirror_.Follow("");
  Place();
}

QWidget* QtLine::Widget() const { return stroke_; }

void QtLine::Place() {
  Toolkit& tk = GetToolkit();
  const QPoint a(TwipsToPixelsX(tk, X1()), TwipsToPixelsY(tk, Y1()));
  const QPoint b(TwipsToPixelsX(tk, X2()), TwipsToPixelsY(tk, Y2()));
  // The rectangle the ends span, widened by the pen on every side: a horizontal line has a height.
  const int pad = BorderWidth() / 2 + 1;
  const QRect span = QRect(a, b).normalized().adjusted(-pad, -pad, pad, pad);
  stroke_->setGeometry(span);
  stroke_->from = a - span.topLeft();
  stroke_->to = b - span.topLeft();
  stroke_->color = ToQColor(BorderColor(), QApplication::palette());
  stroke_->width = BorderWidth();
  stroke_->update();
}

void QtLine::OnPropertyChanged(std::string_view p) {
  Line::OnPropertyChanged(p);
  mirror_.Follow(p);
  // The mirror placed the widget on the control's rectangle; the line's own span replaces it.
  if (p == "Left" || p == "Top" || p == "Width" || p == "Height" || p == "Move" || p == "BorderColor" ||
      p == "BorderWidth")
    Place();
}

void QtLine::Invalidate(bool erase) {
  Line::Invalidate(erase);
  stroke_->update();
}

// --- picture box -------------------------------------------------------------------------------------

QtPictureBox::QtPictureBox(QtToolkit& tk, Window& parent)
    : PictureBox(tk, &parent),
      label_(MakeWidget<QLabel>(tk, parent)),
      mirror_(tk, *this, label_, {KeyHandling::Native, true, true}) {
  label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  mirror_.Follow("");
}

void QtPictureBox::OnPropertyChanged(std::string_view p) {
  PictureBox::OnPropertyChanged(p);
  mirror_.Follow(p);
  if (p == "Picture") label_->setPixmap(QPixmap::fromImage(ToQImage(*Picture())));
}

void QtPictureBox::Invalidate(bool erase) {
  PictureBox::Invalidate(erase);
  label_->update();
}

// --- tab strip ---------------------------------------------------------------------------------------

QtTabStrip::QtTabStrip(QtToolkit& tk, Window& parent)
    : TabStrip(tk, &parent),
      bar_(MakeWidget<QTabBar>(tk, parent)),
      mirror_(tk, *this, bar_, {KeyHandling::Native, true, false}) {
  bar_->setExpanding(false);
  bar_->setDrawBase(true);
  QObject::connect(bar_, &QTabBar::currentChanged, [this](int index) {
    QtToolkitOf(*this).Guarded([&] {
      if (showing_ || index < 0 || index >= Count()) return;
      Item(index + 1).Selected(true);
    });
  });
  mirror_.Follow("");
  ShowTabs();
}

void QtTabStrip::ShowTabs() {
  Showing guard(showing_);
  while (bar_->count() > Count()) bar_->removeTab(bar_->count() - 1);
  for (int32_t i = 1; i <= Count(); ++i) {
    if (bar_->count() < i) bar_->addTab(QString());
    bar_->setTabText(i - 1, ToQString(Item(i).Caption()));
  }
  if (const Tab* selected = SelectedItem()) bar_->setCurrentIndex(selected->Index() - 1);
  const bool bottom = Placement() == tabPlacementBottom;
  // Tabs look like tabs; the two button styles draw without the tab frame.
  bar_->setDocumentMode(Style() != tabTabs);
  bar_->setShape(Style() == tabTabs ? (bottom ? QTabBar::RoundedSouth : QTabBar::RoundedNorth)
                                    : (bottom ? QTabBar::TriangularSouth : QTabBar::TriangularNorth));
}

void QtTabStrip::OnPropertyChanged(std::string_view p) {
  TabStrip::OnPropertyChanged(p);
  mirror_.Follow(p);
  if (p == "Tabs" || p == "SelectedItem" || p == "Style" || p == "Placement") ShowTabs();
}

void QtTabStrip::OnFocusReceived() {
  TabStrip::OnFocusReceived();
  mirror_.TakeFocus();
}

void QtTabStrip::Invalidate(bool erase) {
  TabStrip::Invalidate(erase);
  bar_->update();
}

// --- progress bar ------------------------------------------------------------------------------------

QtProgressBar::QtProgressBar(QtToolkit& tk, Window& parent)
    : ProgressBar(tk, &parent),
      bar_(MakeWidget<QProgressBar>(tk, parent)),
      mirror_(tk, *this, bar_, {KeyHandling::Native, true, false}) {
  bar_->setRange(0, 1000);
  bar_->setTextVisible(false);
  mirror_.Follow("");
  OnPropertyChanged("Value");
}

void QtProgressBar::OnPropertyChanged(std::string_view p) {
  ProgressBar::OnPropertyChanged(p);
  mirror_.Follow(p);
  if (p == "Value" || p == "Min" || p == "Max") {
    const double span = static_cast<double>(Max()) - static_cast<double>(Min());
    const double part = span > 0 ? (static_cast<double>(Value()) - static_cast<double>(Min())) / span : 0;
    bar_->setValue(static_cast<int>(std::lround(part * 1000)));
  }
}

}  // namespace tamarind::platform::qt
