// KestrelWidget in a real window: a QMainWindow whose central widget lays out a line edit, the
// list and a button; driven with real input events on the offscreen platform.

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QProxyStyle>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <QVBoxLayout>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/qt/QtControls.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/QtSupport.h"
#include "platform/qt/QtTargets.h"
#include "platform/qt/QtToolkit.h"
#include "runtime/Error.h"
#include "widget/KestrelWidget.h"

// Qt's libraries are not exception safe: an error thrown through Qt's own frames (a QLineEdit
// emitting textChanged, a delegate calling the style) is reported, but the temporaries of those
// frames are never freed. Those allocations are Qt's, not ours: the leak checker skips them.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAMARIND_LEAK_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TAMARIND_LEAK_CHECKED 1
#endif
#ifdef TAMARIND_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

namespace tamarind {
namespace {

struct ThrowingThroughQt {
#ifdef TAMARIND_LEAK_CHECKED
  ThrowingThroughQt() { __lsan_disable(); }
  ~ThrowingThroughQt() { __lsan_enable(); }
#endif
};

using platform::qt::ClickTarget;
using platform::qt::QtListView;
namespace targets = platform::qt::targets;
using ::testing::ElementsAre;

QtListView& ListOf(KestrelWidget& w) { return dynamic_cast<QtListView&>(w.kestrel().ListViewControl()); }

void Click(const ClickTarget& t) {
  ASSERT_TRUE(t) << "nothing to click there";
  QTest::mouseClick(t.widget, Qt::LeftButton, Qt::NoModifier, t.at);
  QApplication::processEvents();
}

void TypeIntoFocus(const QString& text, bool enter = true) {
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr);
  QTest::keyClicks(focus, text);
  if (enter) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QApplication::processEvents();
}

QString CellText(KestrelWidget& w, int row, int column) {
  return w.model()->data(w.model()->index(row, column)).toString();
}

// A host written as Qt developers write one: the editor for the clicked column opens from the
// itemClick signal, and each finished edit is stored from the signal that reports it.
struct Host {
  explicit Host(KestrelWidget& widget) : w(widget) {
    QObject::connect(&w, &KestrelWidget::itemClick, [this](int r, int c, bool, Qt::MouseButton) { Open(r, c); });
    auto store = [this](const QString& oldText, const QString& newText) { Store(oldText, newText); };
    QObject::connect(&w, &KestrelWidget::changeComplete, store);
    QObject::connect(&w, &KestrelWidget::dropDownChangeComplete, store);
    QObject::connect(&w, &KestrelWidget::calendarChangeComplete,
                     [store](const QString& o, const QString& n, int) { store(o, n); });
    // The spinner's arrows count in the text box: the host decides the step.
    QObject::connect(&w, &KestrelWidget::spinnerUpClick,
                     [&k = w.kestrel()] { k.Text(std::to_string(std::stoi(k.Text()) + 1)); });
  }
  void Open(int r, int c) {
    row = r, column = c;
    Kestrel& k = w.kestrel();
    const std::string text = k.ListItems().Item(r + 1)->ColumnText(c);
    switch (c) {
      case 0: k.ShowTextBox(text); break;
      case 1: k.ShowTextBoxWithSpinner(text); break;
      case 2: k.ShowDropDown(text); break;
      default: k.ShowCalendar(text); break;
    }
  }
  void Store(const QString& oldText, const QString& newText) {
    log.push_back(std::to_string(row) + "," + std::to_string(column) + " " + oldText.toStdString() + "->" +
                  newText.toStdString());
    const platform::ListItemRef item = w.kestrel().ListItems().Item(row + 1);
    column == 0 ? item->Text(platform::qt::ToUtf8(newText)) : item->SubItems(column, platform::qt::ToUtf8(newText));
  }
  KestrelWidget& w;
  int row = -1, column = -1;
  std::vector<std::string> log;
};

void Fill(KestrelWidget& w, int rows = 5) {
  Kestrel& k = w.kestrel();
  for (const char* caption : {"Name", "Qty", "Category", "Date"}) k.ColumnHeaders().Add(0, {}, caption, 1500);
  const char* names[] = {"Apple", "Lemon", "Fig", "Cherry", "Banana"};
  for (int i = 0; i < rows; ++i) {
    const platform::ListItemRef item = k.ListItems().Add(0, {}, std::string(names[i % 5]) + (i < 5 ? "" : std::to_string(i)));
    item->SubItems(1, std::to_string(12 - 2 * i));
    item->SubItems(2, i % 2 ? "Citrus" : "Berry");
    item->SubItems(3, "11/" + std::to_string(i + 2) + "/2026");
  }
  for (const char* entry : {"Berry", "Citrus", "Stone", "Tropical"}) k.AddItem(entry);
  k.View(3);
}

// The window: a line edit, the list and a button, top to bottom, in a layout.
struct Window {
  Window() {
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    before = new QLineEdit;
    list = new KestrelWidget;
    after = new QPushButton("OK");
    layout->addWidget(before);
    layout->addWidget(list, 1);
    layout->addWidget(after);
    main.setCentralWidget(central);
    main.resize(640, 420);
    list->toolkit().AnswerMessageBoxes([](const platform::qt::ShownMessageBox&) { return vbOK; });
    Fill(*list);
    tester = std::make_unique<QAbstractItemModelTester>(list->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    main.show();
    QApplication::setActiveWindow(&main);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&main));
    (void)QTest::qWaitForWindowActive(&main, 2000);  // keys go to the active window on a real X server
    QApplication::processEvents();
  }
  QMainWindow main;
  QLineEdit* before;
  KestrelWidget* list;
  QPushButton* after;
  std::unique_ptr<QAbstractItemModelTester> tester;
};

class KestrelWidgetTest : public ::testing::Test {
 protected:
  Window win;
  KestrelWidget& w = *win.list;
  Kestrel& k = w.kestrel();
  Host host{w};
};

TEST_F(KestrelWidgetTest, EveryEditorsEditTravelsThroughTheSignalsIntoTheListAndTheModel) {
  Click(targets::Cell(ListOf(w), 2, 0));
  ASSERT_TRUE(k.TextBoxControl().Visible());
  TypeIntoFocus("Yuzu");
  Click(targets::Cell(ListOf(w), 3, 1));
  ASSERT_TRUE(k.TextBoxControl().Visible());
  Click(targets::SpinArrow(dynamic_cast<platform::qt::QtUpDown&>(*platform::FindControl<platform::UpDown>(k, "SPINNER")), true));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  Click(targets::Cell(ListOf(w), 4, 3));
  Click(targets::CalendarArrow(dynamic_cast<platform::qt::QtDTPicker&>(k.CalendarControl())));
  for (int step = 0; step < 24; ++step) {
    bool day = false;
    Click(targets::CalendarStep(dynamic_cast<platform::qt::QtDTPicker&>(k.CalendarControl()), Date::FromCalendar(2026, 12, 24), day));
    if (day) break;
  }

  EXPECT_THAT(host.log, ElementsAre("1,0 Lemon->Yuzu", "2,1 8->9", "3,3 11/5/2026->12/24/2026"));
  EXPECT_EQ(CellText(w, 1, 0), "Yuzu");
  EXPECT_EQ(CellText(w, 2, 1), "9");
  EXPECT_EQ(CellText(w, 3, 3), "12/24/2026");
}

TEST_F(KestrelWidgetTest, TheLayoutSizesTheControlAndAnOpenEditorFollowsItsCell) {
  const int tppx = w.toolkit().GetScreen().TwipsPerPixelX();
  EXPECT_FLOAT_EQ(k.Width(), static_cast<float>(w.width() * tppx));
  EXPECT_GE(w.width(), w.minimumSizeHint().width());
  Click(targets::Cell(ListOf(w), 1, 3));
  ASSERT_TRUE(k.CalendarControl().Visible());
  QWidget* editor = w.toolkit().WidgetOf(k.CalendarControl());

  win.main.resize(900, 500);
  QApplication::processEvents();
  EXPECT_FLOAT_EQ(k.Width(), static_cast<float>(w.width() * tppx));
  const QRect cell = ListOf(w).ReportWidget()->CellRect(0, 3);
  const QPoint cellOnWidget = ListOf(w).ReportWidget()->viewport()->mapTo(&w, cell.topLeft());
  const QPoint editorOnWidget = editor->mapTo(&w, QPoint(0, 0));
  EXPECT_NEAR(editorOnWidget.x(), cellOnWidget.x(), 2);
  EXPECT_NEAR(editorOnWidget.y(), cellOnWidget.y(), 2);
}

TEST_F(KestrelWidgetTest, TabEntersTheListAndLeavesItForTheNextWidget) {
  win.before->setFocus();
  QTest::keyClick(win.before, Qt::Key_Tab);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), w.toolkit().WidgetOf(k.ListViewControl()));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), win.after);
  QTest::keyClick(win.after, Qt::Key_Backtab);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), w.toolkit().WidgetOf(k.ListViewControl()));
}

TEST_F(KestrelWidgetTest, TheModelFollowsSortsFiltersAndAppendedRows) {
  k.AutoSort(true);
  Click(targets::HeaderSection(ListOf(w), 1));  // a text column turns the order over: descending
  EXPECT_EQ(CellText(w, 0, 0), "Lemon");
  EXPECT_EQ(CellText(w, 4, 0), "Apple");

  k.FilterWild("*e*", 0);  // Apple, Lemon, Cherry stay
  EXPECT_EQ(w.model()->rowCount(), 3);
  k.FilterRemove();
  EXPECT_EQ(w.model()->rowCount(), 5);
  for (int i = 0; i < 1000; ++i) k.ListItems().Add(0, {}, "Row " + std::to_string(i));
  EXPECT_EQ(w.model()->rowCount(), 1005);  // announced at the call, not at the next event loop
  EXPECT_EQ(w.model()->headerData(2, Qt::Horizontal).toString(), "Category");
}

TEST_F(KestrelWidgetTest, AnswersGivenThroughSignalObjectsReachTheControl) {
  // Smart sorting would take the quantities for numbers; the host's events object says they are
  // text, and the slot, called after it, sees that answer and keeps it.
  struct Events : KestrelEvents {
    void BeforeColumnSort(const ColumnHeaderRef&, SortDataType& type, std::string&) override {
      if (type == sdt_NUMERIC) type = sdt_STRING;
    }
  } events;
  w.setEvents(&events);
  std::vector<SortDataType> seen;
  QObject::connect(&w, &KestrelWidget::beforeColumnSort,
                   [&](int column, KestrelSortRequest* request) { if (column == 1) seen.push_back(request->sortType); });
  k.AutoSort(true);
  k.SmartColumnSort(true);
  k.AutoSort(true);
  for (int i = 0; i < 3; ++i) k.ListItems().Add(0, {}, "X")->SubItems(1, std::to_string(100 * (i + 1)));
  QApplication::processEvents();
  Click(targets::HeaderSection(ListOf(w), 2));
  std::vector<std::string> qty;
  for (int r = 0; r < w.model()->rowCount(); ++r) qty.push_back(CellText(w, r, 1).toStdString());
  EXPECT_THAT(qty, ElementsAre("8", "6", "4", "300", "200", "12", "100", "10"));  // text, turned over
  EXPECT_THAT(seen, ElementsAre(sdt_STRING));
  w.setEvents(nullptr);

  // A slot that cancels the text box's validation keeps the edit open.
  QObject::connect(&w, &KestrelWidget::textBoxValidate, [](bool* cancel) { *cancel = true; });
  Click(targets::Cell(ListOf(w), 2, 0));
  TypeIntoFocus("Kiwi", false);
  win.before->setFocus();
  QApplication::processEvents();
  EXPECT_TRUE(k.TextBoxControl().Visible());
  EXPECT_TRUE(host.log.empty());
}

TEST_F(KestrelWidgetTest, PropertiesCarryTheControlsValuesByNameAndReportChanges) {
  std::vector<QString> reported;
  QObject::connect(&w, &KestrelWidget::propertyChanged, [&](const QString& name) { reported.push_back(name); });
  int captionSignals = 0;
  QObject::connect(&w, &KestrelWidget::titleCaptionChanged, [&] { ++captionSignals; });

  EXPECT_TRUE(w.setProperty("gridLines", true));
  EXPECT_TRUE(k.GridLines());
  EXPECT_TRUE(w.setProperty("titleCaption", QString("Orders")));
  EXPECT_EQ(k.TitleCaption(), "Orders");
  EXPECT_EQ(captionSignals, 1);
  EXPECT_TRUE(w.setProperty("tabPlacement", "TabsAtBottom"));  // an enumeration by its name, as .ui files give it
  EXPECT_EQ(k.TabPlacement(), tplaceBOTTOM);
  EXPECT_TRUE(w.setProperty("lineOddColor", QColor(0x10, 0x20, 0x30)));
  EXPECT_EQ(k.LineOddColor(), 0x302010u);
  EXPECT_EQ(w.property("view").value<KestrelWidget::View>(), KestrelWidget::ReportView);

  QFont font("DejaVu Sans", 13);
  font.setBold(true);
  w.setFont(font);
  EXPECT_EQ(k.FontName(), "DejaVu Sans");
  EXPECT_TRUE(k.FontBold());
  k.Enabled(false);  // the control's own change shows on the widget
  EXPECT_FALSE(w.isEnabled());
  EXPECT_THAT(reported, ::testing::IsSupersetOf({QString("TitleCaption"), QString("Enabled")}));

  // A value the control refuses is reported once the event loop runs; the property keeps its value.
  EXPECT_TRUE(w.setProperty("tabStyle", 7));
  QApplication::processEvents();
  EXPECT_EQ(k.TabStyle(), ts_TAB);
  ASSERT_FALSE(w.toolkit().MessageBoxes().empty());
  EXPECT_THAT(w.toolkit().MessageBoxes().back().prompt, ::testing::StartsWith("Run-time error '380'"));
}

TEST(KestrelWidgets, TwoInOneWindowEditIndependentlyAndOneDiesWithItsEditorOpen) {
  QSplitter splitter;
  auto* left = new KestrelWidget(&splitter);
  auto* right = new KestrelWidget(&splitter);
  Fill(*left);
  Fill(*right);
  Host leftHost(*left), rightHost(*right);
  splitter.resize(900, 400);
  splitter.show();
  QApplication::setActiveWindow(&splitter);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&splitter));
  (void)QTest::qWaitForWindowActive(&splitter, 2000);
  EXPECT_EQ(&left->toolkit(), &right->toolkit());

  Click(targets::Cell(ListOf(*left), 1, 0));
  TypeIntoFocus("Quince");
  Click(targets::Cell(ListOf(*right), 1, 0));
  TypeIntoFocus("Medlar");
  EXPECT_EQ(left->kestrel().ListItems().Item(1)->Text(), "Quince");
  EXPECT_EQ(right->kestrel().ListItems().Item(1)->Text(), "Medlar");

  Click(targets::Cell(ListOf(*left), 2, 0));
  ASSERT_TRUE(left->kestrel().TextBoxControl().Visible());
  delete left;  // with its editor open and focused
  QApplication::processEvents();
  Click(targets::Cell(ListOf(*right), 2, 0));
  TypeIntoFocus("Loquat");
  EXPECT_EQ(right->kestrel().ListItems().Item(2)->Text(), "Loquat");
  auto* later = new KestrelWidget(&splitter);  // made while the program runs, on the same desktop
  EXPECT_EQ(&later->toolkit(), &right->toolkit());
}

TEST(KestrelWidgets, AThrowingSlotOrABadPatternLeavesTheWindowAndItsData) {
  Window win;
  KestrelWidget& w = *win.list;
  QObject::connect(&w, &KestrelWidget::columnClick, [](int) { throw std::runtime_error("slot failed"); });
  QObject::connect(win.before, &QLineEdit::textChanged, [&](const QString& text) {
    w.kestrel().FilterRemove();
    if (!text.isEmpty()) w.kestrel().FilterWild(platform::qt::ToUtf8(text), 0);
  });
  Click(targets::HeaderSection(ListOf(w), 1));
  win.before->setFocus();
  {
    [[maybe_unused]] const ThrowingThroughQt qtFrames;
    QTest::keyClicks(win.before, "[a-c]*");  // "[" alone is Error 93, raised from a key press
    QApplication::processEvents();
  }

  EXPECT_TRUE(win.main.isVisible());
  std::vector<std::string> prompts;
  for (const auto& box : w.toolkit().MessageBoxes()) prompts.push_back(box.prompt);
  EXPECT_THAT(prompts, ::testing::Contains(::testing::HasSubstr("Run-time error '93'")));
  EXPECT_THAT(prompts, ::testing::Contains(::testing::HasSubstr("slot failed")));
  EXPECT_EQ(win.before->text(), "[a-c]*");
  EXPECT_EQ(w.model()->rowCount(), 3);  // Apple, Banana, Cherry
  w.kestrel().FilterRemove();
  EXPECT_EQ(w.model()->rowCount(), 5);
}

// A host's style whose item drawing fails: the host's code, called inside the list's paint.
class FailingStyle : public QProxyStyle {
 public:
  void drawControl(ControlElement e, const QStyleOption* o, QPainter* p, const QWidget* w) const override {
    if (e == CE_ItemViewItem) throw std::runtime_error("style failed");
    QProxyStyle::drawControl(e, o, p, w);
  }
};

TEST(KestrelWidgets, APaintThatFailsIsReportedOnceAndTheWindowStays) {
  // The style's error unwinds through Qt's painting: nothing of this test is leak checked.
  [[maybe_unused]] const ThrowingThroughQt qtFrames;
  FailingStyle style;  // outlives the window
  Window win;
  QAbstractScrollArea* view = ListOf(*win.list).ReportWidget();
  view->setStyle(&style);
  view->viewport()->setStyle(&style);
  for (int i = 0; i < 3; ++i) view->viewport()->repaint();
  QApplication::processEvents();

  int reports = 0;
  for (const auto& box : win.list->toolkit().MessageBoxes()) reports += box.prompt.find("style failed") != std::string::npos;
  EXPECT_EQ(reports, 1);  // every later paint fails the same way: one report
  EXPECT_TRUE(win.main.isVisible());
  EXPECT_EQ(CellText(*win.list, 1, 0), "Lemon");
}

}  // namespace
}  // namespace tamarind
