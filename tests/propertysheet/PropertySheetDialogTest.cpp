// The property pages' Qt dialog: its tabs hold the pages on embedded forms, Esc cancels, and a box
// ticked with the mouse is written when Apply is clicked.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <memory>

#include "control/Kestrel.h"
#include "platform/controls/CheckBox.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtHostForm.h"
#include "platform/qt/QtTargets.h"
#include "platform/qt/QtToolkit.h"
#include "propertysheet/PropertySheetDialog.h"

namespace tamarind {
namespace {

using platform::qt::QtHostForm;
using platform::qt::QtToolkit;

class Dialog : public ::testing::Test {
 protected:
  Dialog() {
    form.Show();
    k.GridLines(false);
  }
  // The page's check box of that name, as Qt shows it.
  static platform::qt::QtCheckBox& Box(PropertySheetDialog& d, int tab, const char* name) {
    auto* page = dynamic_cast<platform::Window*>(&*d.pages().Pages().at(static_cast<size_t>(tab)));
    auto* box = platform::FindControl<platform::qt::QtCheckBox>(*page, name);
    if (!box) throw std::runtime_error("no such box");
    return *box;
  }

  QtToolkit tk;
  QtHostForm form{tk, "Designer", 6000, 3000};
  Kestrel& k = form.Add<Kestrel>("K1", 120, 120, 4500, 2000);
};

TEST_F(Dialog, OpensWithThePagesOnTabsSizedFromTheirTwips) {
  PropertySheetDialog d({&k});
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  const QStringList captions{"Listview", "Titlebar", "StandardColor", "StandardFont", "About"};
  ASSERT_EQ(d.tabs()->count(), captions.size());
  for (int i = 0; i < captions.size(); ++i) EXPECT_EQ(d.tabs()->tabText(i), captions[i]);
  // The Listview page, 5700 by 2700 twips, fits its tab on this screen.
  const QWidget* tab = d.tabs()->widget(0);
  EXPECT_GE(tab->width(), 5700 / tk.GetScreen().TwipsPerPixelX());
  EXPECT_GE(tab->height(), 2700 / tk.GetScreen().TwipsPerPixelY());
  EXPECT_FALSE(d.buttons()->button(QDialogButtonBox::Apply)->isEnabled());
  EXPECT_EQ(&d.toolkit(), &tk);  // the pages run on the control's own desktop
}

TEST_F(Dialog, EscCancelsWithoutApplying) {
  PropertySheetDialog d({&k});
  QTimer::singleShot(0, &d, [&] {
    QTest::mouseClick(Box(d, 0, "chkGridLines").Box(), Qt::LeftButton, Qt::NoModifier,
                      platform::qt::targets::CheckIndicator(Box(d, 0, "chkGridLines")).at);
    EXPECT_TRUE(d.buttons()->button(QDialogButtonBox::Apply)->isEnabled());
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &d, Qt::Key_Escape);
  });
  EXPECT_EQ(d.exec(), QDialog::Rejected);
  EXPECT_FALSE(k.GridLines());
}

TEST_F(Dialog, ApplyWritesATickedBoxAndEnterClosesWithOk) {
  PropertySheetDialog d({&k});
  QTimer::singleShot(0, &d, [&] {
    const platform::qt::ClickTarget t = platform::qt::targets::CheckIndicator(Box(d, 0, "chkGridLines"));
    QTest::mouseClick(t.widget, Qt::LeftButton, Qt::NoModifier, t.at);
    QPushButton* apply = d.buttons()->button(QDialogButtonBox::Apply);
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_TRUE(k.GridLines());
    EXPECT_FALSE(apply->isEnabled());
    QTest::mouseClick(Box(d, 0, "chkFullRowSelect").Box(), Qt::LeftButton, Qt::NoModifier,
                      platform::qt::targets::CheckIndicator(Box(d, 0, "chkFullRowSelect")).at);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &d, Qt::Key_Return);
  });
  k.FullRowSelect(false);
  EXPECT_EQ(d.exec(), QDialog::Accepted);
  EXPECT_TRUE(k.FullRowSelect());
}

}  // namespace
}  // namespace tamarind

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
