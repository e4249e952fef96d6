#include "tests/designtime/PageDesks.h"

#include "platform/controls/SimpleControls.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/UserDriver.h"
#include "runtime/Text.h"

#ifdef TAMARIND_DESIGNTIME_QT
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "platform/qt/QtControls.h"
#include "platform/qt/QtHostForm.h"
#include "platform/qt/QtSupport.h"
#include "platform/qt/QtTargets.h"
#include "platform/qt/QtToolkit.h"
#endif

namespace tamarind::testing {

using namespace platform;

void PageDesk::Build(HostForm& form) {
  k1_ = &form.Add<Kestrel>("K1", 120, 120, 4500, 2000);
  k2_ = &form.Add<Kestrel>("K2", 120, 2280, 4500, 2000);
  form.Show();
}

namespace {

std::string BoxText(const std::string& title, const std::string& prompt, int32_t buttons) {
  return title + "|" + prompt + "|" + std::to_string(buttons);
}

std::vector<std::string> CallsOf(const headless::RecordingShell& shell) {
  std::vector<std::string> out;
  for (const auto& call : shell.Calls()) out.push_back(call.operation + " " + call.file);
  return out;
}

class HeadlessPageDesk : public PageDesk {
 public:
  HeadlessPageDesk() { Build(form_); }
  Toolkit& Tk() override { return tk_; }

  void Click(Control& control) override { user_.Click(control); }
  void PressSpace(CheckBox& box) override {
    user_.Focus(box);
    user_.PressKey(vbKeySpace);
  }
  void Retype(TextBox& box, std::string_view text) override {
    user_.Click(box);
    user_.PressKey(vbKeyEnd);
    for (int32_t n = text::Len(box.Text()); n > 0; --n) user_.PressKey(vbKeyBack);
    user_.Type(text);
  }

  std::vector<std::string> MessageBoxes() override {
    std::vector<std::string> out;
    for (const auto& m : tk_.MessageBoxes()) out.push_back(BoxText(m.title, m.prompt, m.buttons));
    return out;
  }
  std::vector<std::string> Opened() override { return CallsOf(tk_.ShellImpl()); }

 protected:
  HostForm& Form() override { return form_; }

 private:
  headless::HeadlessToolkit tk_;
  HostForm form_{tk_, "Designer", 10800, 4800};
  headless::UserDriver user_{tk_};
};

#ifdef TAMARIND_DESIGNTIME_QT

// The Qt desktop with a shell that records what it is asked instead of starting a browser.
class RecordingQtToolkit : public qt::QtToolkit {
 public:
  Shell& GetShell() override { return shell; }
  headless::RecordingShell shell;
};

void ClickAt(QWidget* w, QPoint at) {
  if (!w) throw std::runtime_error("nothing to click there");
  QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
  QApplication::processEvents();
}

class QtPageDesk : public PageDesk {
 public:
  QtPageDesk() {
    tk_.AnswerMessageBoxes([](const qt::ShownMessageBox&) { return vbOK; });
    form_ = std::make_unique<qt::QtHostForm>(tk_, "Designer", 10800, 4800);
    Build(*form_);
    QWidget* window = form_->WindowWidget();
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowExposed(window)) throw std::runtime_error("the form was never shown");
    Settle();
  }
  Toolkit& Tk() override { return tk_; }

  void Click(Control& control) override {
    if (auto* box = dynamic_cast<qt::QtCheckBox*>(&control)) {
      const qt::ClickTarget t = qt::targets::CheckIndicator(*box);
      ClickAt(t.widget, t.at);
    } else if (auto* button = dynamic_cast<qt::QtCommandButton*>(&control)) {
      ClickAt(button->Button(), button->Button()->rect().center());
    } else {
      QWidget* w = tk_.WidgetOf(control);
      ClickAt(w, w ? w->rect().center() : QPoint());
    }
  }
  void PressSpace(CheckBox& box) override {
    QTest::keyClick(dynamic_cast<qt::QtCheckBox&>(box).Box(), Qt::Key_Space);
    QApplication::processEvents();
  }
  void Retype(TextBox& box, std::string_view text) override {
    QLineEdit* edit = dynamic_cast<qt::QtTextBox&>(box).Edit();
    ClickAt(edit, edit->rect().center());
    QTest::keyClick(edit, Qt::Key_End);
    for (int32_t n = text::Len(box.Text()); n > 0; --n) QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, qt::ToQString(text));
    QApplication::processEvents();
  }

  std::vector<std::string> MessageBoxes() override {
    std::vector<std::string> out;
    for (const auto& m : tk_.MessageBoxes()) out.push_back(BoxText(m.title, m.prompt, m.buttons));
    return out;
  }
  std::vector<std::string> Opened() override { return CallsOf(tk_.shell); }

 protected:
  HostForm& Form() override { return *form_; }
  void Settle() override { QApplication::processEvents(); }

 private:
  RecordingQtToolkit tk_;
  std::unique_ptr<qt::QtHostForm> form_;  // goes before its toolkit
};

#endif

}  // namespace

std::vector<PageRealisation> PageRealisations() {
  std::vector<PageRealisation> all{{"Headless", [] { return std::unique_ptr<PageDesk>(new HeadlessPageDesk); }}};
#ifdef TAMARIND_DESIGNTIME_QT
  all.push_back({"Qt", [] { return std::unique_ptr<PageDesk>(new QtPageDesk); }});
#endif
  return all;
}

}  // namespace tamarind::testing
