// The headless desktop: virtual time and timers, the host form's lifecycle, focus, keyboard routing
// and the user driver's event sequences.

#include <gtest/gtest.h>

#include "Fixture.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/DTPicker.h"
#include "platform/controls/SimpleControls.h"
#include "platform/controls/TextBox.h"
#include "runtime/Conversions.h"

namespace tamarind::platform::testing {
namespace {

TEST(VirtualTime, TimersFireOnTheVirtualClockOnlyWhenTheLoopRuns) {
  headless::HeadlessToolkit tk;
  headless::HostForm form(tk);
  auto& s = form.Add<Surface>("S", 0, 0, 1000, 1000);
  auto timer = tk.CreateTimer(s);
  std::vector<uint32_t> ticks;
  timer->Tick.Connect([&] { ticks.push_back(tk.GetClock().GetTickCount()); });
  timer->Interval(100);
  tk.Wait(350);
  EXPECT_EQ(ticks, (std::vector<uint32_t>{100, 200, 300}));
  tk.GetClock().Sleep(500);  // a blocking sleep runs nothing
  EXPECT_EQ(ticks.size(), 3u);
  tk.DoEvents();  // a timer that fell behind fires once, not once per missed interval
  EXPECT_EQ(ticks.size(), 4u);
  EXPECT_EQ(ticks.back(), 850u);
  timer->Enabled(false);
  tk.Wait(1000);
  EXPECT_EQ(ticks.size(), 4u);
  timer->Enabled(true);
  tk.Wait(100);
  EXPECT_EQ(ticks.size(), 5u);
}

TEST(VirtualTime, APauseLoopLetsTimersRunInsideDoEvents) {
  headless::HeadlessToolkit tk;
  headless::HostForm form(tk);
  auto& s = form.Add<Surface>("S", 0, 0, 1000, 1000);
  auto timer = tk.CreateTimer(s);
  int ticks = 0;
  timer->Tick.Connect([&] { ++ticks; });
  timer->Interval(100);
  Clock& clock = tk.GetClock();
  const uint32_t t0 = clock.GetTickCount();
  while (clock.GetTickCount() < t0 + 250) {
    clock.Sleep(1);
    tk.DoEvents();
  }
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(tk.DoEventsCount(), 250);
  const double elapsedDays = clock.Now().SerialNumber() - tk.Settings().startTime.SerialNumber();
  EXPECT_NEAR(elapsedDays * 86400000.0, 250.0, 1e-3);
}

TEST(HostFormLifecycle, NewAndSavedInstancesStartDifferently) {
  headless::HeadlessToolkit tk;
  headless::HostForm form(tk);
  auto& fresh = form.Add<Surface>("A", 0, 0, 1000, 1000);
  PropertyBag saved;
  auto& loaded = form.Add<Surface>("B", 0, 0, 1000, 1000, &saved);
  EXPECT_EQ(fresh.log, (std::vector<std::string>{"Initialize", "InitProperties"}));
  EXPECT_EQ(loaded.log, (std::vector<std::string>{"Initialize", "ReadProperties"}));
  form.Show();
  EXPECT_EQ(fresh.log.back(), "Show");
  EXPECT_EQ(fresh.log[fresh.log.size() - 2], "Resize");
  form.MoveControl(fresh, 0, 0, 2000, 1000);
  EXPECT_EQ(fresh.log.back(), "Resize");
  int terminated = 0;
  fresh.terminated = &terminated;
  loaded.terminated = &terminated;
  form.Unload();  // ends and releases both
  EXPECT_EQ(terminated, 2);
}

TEST(HostFormLifecycle, DesignModeAndPropertyChangesReachTheControl) {
  headless::HeadlessToolkit tk;
  headless::HostForm form(tk);
  form.SetUserMode(false);
  auto& s = form.Add<Surface>("A", 0, 0, 1000, 1000);
  EXPECT_FALSE(s.Ambient().UserMode);
  s.PropertyChanged("Caption");
  EXPECT_EQ(form.PropertyChanges(), (std::vector<std::string>{"Caption"}));
}

class Input : public ::testing::Test {
 protected:
  Desktop d;
  std::shared_ptr<ListView> lv = d.MakeList();
  std::vector<std::string> events;

  void Record(Control& c, const std::string& name) {
    c.MouseDown.Connect([this, name](int16_t&, int16_t&, float&, float&) { events.push_back(name + ".MouseDown"); });
    c.MouseUp.Connect([this, name](int16_t&, int16_t&, float&, float&) { events.push_back(name + ".MouseUp"); });
    c.Click.Connect([this, name] { events.push_back(name + ".Click"); });
    c.GotFocus.Connect([this, name] { events.push_back(name + ".GotFocus"); });
    c.LostFocus.Connect([this, name] { events.push_back(name + ".LostFocus"); });
    c.KeyDown.Connect([this, name](int16_t& k, int16_t&) { events.push_back(name + ".KeyDown " + std::to_string(k)); });
    c.KeyPress.Connect([this, name](int16_t& a) { events.push_back(name + ".KeyPress " + std::to_string(a)); });
    c.KeyUp.Connect([this, name](int16_t& k, int16_t&) { events.push_back(name + ".KeyUp " + std::to_string(k)); });
  }
};

TEST_F(Input, APressOnACellRaisesMouseDownBeforeItemClick) {
  lv->ListItems().Add(0, {}, "one");
  lv->ListItems().Add(0, {}, "two")->SubItems(2, "Oslo");
  Record(*lv, "list");
  lv->ItemClick.Connect([&](ListItemRef it) { events.push_back("list.ItemClick " + it->Text()); });
  d.user.ClickCell(*lv, 2, 2);
  EXPECT_EQ(events, (std::vector<std::string>{"list.GotFocus", "list.MouseDown", "list.ItemClick two",
                                              "list.MouseUp", "list.Click"}));
  EXPECT_EQ(lv->SelectedItem()->Text(), "two");
  events.clear();
  d.user.ClickBelowRows(*lv);
  EXPECT_EQ(events, (std::vector<std::string>{"list.MouseDown", "list.MouseUp", "list.Click"}));
  EXPECT_EQ(lv->SelectedItem()->Text(), "two");  // a press on no row keeps the selection
}

TEST_F(Input, CheckBoxesToggleWithoutAnItemClick) {
  lv->Checkboxes(true);
  auto item = lv->ListItems().Add(0, {}, "one");
  int checks = 0, clicks = 0;
  lv->ItemCheck.Connect([&](ListItemRef) { ++checks; });
  lv->ItemClick.Connect([&](ListItemRef) { ++clicks; });
  d.user.ClickCell(*lv, 1, 0, headless::CellPart::StateIcon);
  EXPECT_TRUE(item->Checked());
  EXPECT_EQ(checks, 1);
  EXPECT_EQ(clicks, 0);
}

TEST_F(Input, FocusLeavingAUserControlValidatesAndExitsIt) {
  auto inner = d.tk.CreateTextBox(d.surface);
  auto& outside = d.form.AddTextBox("Other", 7000, 0, 1200, 300);
  Record(*inner, "inner");
  bool cancel = true;
  inner->Validate.Connect([&](bool& c) {
    events.push_back("inner.Validate");
    c = cancel;
  });
  d.user.Focus(*inner);
  EXPECT_EQ(d.surface.log.back(), "EnterFocus");
  events.clear();
  d.user.Focus(outside);  // cancelled: the focus stays
  EXPECT_TRUE(inner->HasFocus());
  EXPECT_EQ(events, (std::vector<std::string>{"inner.Validate"}));
  cancel = false;
  d.user.Focus(outside);
  EXPECT_TRUE(outside.HasFocus());
  EXPECT_EQ(events.back(), "inner.LostFocus");
  EXPECT_EQ(d.surface.log.back(), "ExitFocus");
  d.user.Focus(*lv);  // back into the user control
  EXPECT_EQ(d.surface.log.back(), "EnterFocus");
}

TEST_F(Input, TypingGoesThroughKeyEventsAndChangesText) {
  auto box = d.tk.CreateTextBox(d.surface);
  Record(*box, "box");
  int changes = 0;
  box->Change.Connect([&] { ++changes; });
  d.user.Focus(*box);
  events.clear();
  d.user.Type("Hé!");
  EXPECT_EQ(box->Text(), "Hé!");
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(events[0], "box.KeyDown 72");
  EXPECT_EQ(events[1], "box.KeyPress 72");
  EXPECT_EQ(events[2], "box.KeyUp 72");
  EXPECT_EQ(events[4], "box.KeyPress 233");
  d.user.PressKey(vbKeyBack);
  EXPECT_EQ(box->Text(), "Hé");
  d.user.PressKey(vbKeyHome);
  d.user.PressKey(vbKeyDelete);
  EXPECT_EQ(box->Text(), "é");
  box->KeyPress.Connect([](int16_t& a) {
    if (a < '0' || a > '9') a = 0;  // a host that wants digits only
  });
  d.user.Type("a1");
  EXPECT_EQ(box->Text(), "1é");
}

TEST_F(Input, KeyPreviewSeesEveryKeyFirstAndTabReachesIt) {
  d.surface.KeyPreview(true);
  auto box = d.tk.CreateTextBox(d.surface);
  Record(*box, "box");
  d.user.Focus(*box);
  events.clear();
  d.surface.swallow = 'x';
  d.user.Type("xy");
  EXPECT_EQ(box->Text(), "y");
  d.user.PressKey(vbKeyTab);
  EXPECT_TRUE(box->HasFocus());  // the key went to the control, not to the next tab stop
  const auto& log = d.surface.log;
  EXPECT_NE(std::find(log.begin(), log.end(), "uc.KeyDown 9"), log.end());
  EXPECT_EQ(std::count(events.begin(), events.end(), "box.KeyPress 9"), 1);
  EXPECT_EQ(box->Text(), "y");  // a single-line box types no Tab
}

TEST_F(Input, TabWithoutKeyPreviewMovesTheFocus) {
  auto first = d.tk.CreateTextBox(d.surface);
  auto second = d.tk.CreateTextBox(d.surface);
  first->TabIndex(1);
  second->TabIndex(2);
  lv->TabIndex(0);
  d.user.Focus(*first);
  d.user.PressKey(vbKeyTab);
  EXPECT_TRUE(second->HasFocus());
  d.user.PressKey(vbKeyTab, vbShiftMask);
  EXPECT_TRUE(first->HasFocus());
}

TEST_F(Input, ComboEntriesChosenRaiseClickNotChange) {
  auto cb = d.tk.CreateComboBox(d.surface);
  for (const char* e : {"red", "green"}) cb->AddItem(e);
  int clicks = 0, changes = 0, drops = 0;
  cb->Click.Connect([&] { ++clicks; });
  cb->Change.Connect([&] { ++changes; });
  cb->DropDown.Connect([&] { ++drops; });
  d.user.ChooseEntry(*cb, "green");
  EXPECT_EQ(cb->Text(), "green");
  EXPECT_EQ(cb->ListIndex(), 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(drops, 1);
  EXPECT_FALSE(cb->DroppedDown());
  d.user.Type("!");  // the caret sits at the end after a choice: typing appends
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(cb->ListIndex(), -1);
}

TEST_F(Input, PickingADateOpensChangesAndClosesTheCalendar) {
  auto dt = d.tk.CreateDTPicker(d.surface);
  dt->Value(Variant("1/2/2026 8:00:00 AM"));
  std::vector<std::string> seen;
  dt->DropDown.Connect([&] { seen.push_back("DropDown"); });
  dt->Change.Connect([&] { seen.push_back("Change " + CStr(dt->Value())); });
  dt->CloseUp.Connect([&] { seen.push_back("CloseUp"); });
  d.user.PickDate(*dt, Date::FromCalendar(2026, 12, 24));
  EXPECT_EQ(seen, (std::vector<std::string>{"DropDown", "Change 12/24/2026 8:00:00 AM", "CloseUp"}));
  EXPECT_THROW(dt->Value(Variant("not a date")), Error);
}

TEST_F(Input, UpDownArrowsStepWithinTheirRange) {
  auto spin = d.tk.CreateUpDown(d.surface);
  spin->Max(2);
  std::vector<std::string> seen;
  spin->UpClick.Connect([&] { seen.push_back("Up"); });
  spin->Change.Connect([&] { seen.push_back("Change " + std::to_string(spin->Value())); });
  for (int i = 0; i < 3; ++i) d.user.ClickUpArrow(*spin);
  EXPECT_EQ(seen, (std::vector<std::string>{"Up", "Change 1", "Up", "Change 2", "Up"}));
}

}  // namespace
}  // namespace tamarind::platform::testing
