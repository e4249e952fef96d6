// The headless desktop: virtual time and timers, the host form's lifecycle, focus, keyboard routing
// and the user driver's event sequences.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Fixture.h"
#include "platform/controls/TextBox.h"

namespace tamarind::platform::testing {
namespace {

TEST(VirtualTime, TimersFireOnTheVirtualClockOnlyWhenTheLoopRuns) {
  headless::HeadlessToolkit tk;
  headless::HostForm form(tk);
  auto timer = tk.CreateTimer(form.Add<Surface>("S", 0, 0, 1000, 1000));
  Clock& clock = tk.GetClock();
  std::vector<uint32_t> ticks;
  timer->Tick.Connect([&] { ticks.push_back(clock.GetTickCount()); });
  timer->Interval(100);
  tk.Wait(350);
  EXPECT_EQ(ticks, (std::vector<uint32_t>{100, 200, 300}));
  clock.Sleep(500);  // a blocking sleep runs nothing
  EXPECT_EQ(ticks.size(), 3u);
  tk.DoEvents();  // a timer that fell behind fires once, not once per missed interval
  EXPECT_EQ(ticks, (std::vector<uint32_t>{100, 200, 300, 850}));
  // A pause loop of short sleeps lets the timer run inside DoEvents.
  while (clock.GetTickCount() < 1100) {
    clock.Sleep(1);
    tk.DoEvents();
  }
  EXPECT_EQ(ticks, (std::vector<uint32_t>{100, 200, 300, 850, 950, 1050}));
  const double elapsedDays = clock.Now().SerialNumber() - tk.Settings().startTime.SerialNumber();
  EXPECT_NEAR(elapsedDays * 86400000.0, 1100.0, 1e-3);
  timer->Enabled(false);
  tk.Wait(1000);
  EXPECT_EQ(ticks.size(), 6u);
}

// What the desktop records for tests stays bounded through a long session: the latest entries
// are kept, in order, and the memory does not grow with the number of events.
TEST(Records, ALongSessionKeepsOnlyTheLatestEntriesInOrder) {
  headless::HeadlessToolkit tk;
  headless::HostForm form(tk);
  for (uint32_t i = 1; i <= 100000; ++i) {
    tk.GetClock().Sleep(i);
    tk.MsgBox("box " + std::to_string(i), 0, "T");
  }
  const auto& sleeps = tk.ClockImpl().Sleeps();
  ASSERT_FALSE(sleeps.empty());
  EXPECT_LE(sleeps.size(), 2048u);
  EXPECT_EQ(sleeps.back(), 100000u);
  EXPECT_TRUE(std::is_sorted(sleeps.begin(), sleeps.end()));
  EXPECT_EQ(sleeps.front() + sleeps.size() - 1, 100000u);  // the latest ones, none skipped
  const auto& boxes = tk.MessageBoxes();
  EXPECT_LE(boxes.size(), 2048u);
  EXPECT_EQ(boxes.back().prompt, "box 100000");
  EXPECT_EQ(tk.ClockImpl().Milliseconds(), uint64_t{100000} * 100001 / 2);  // time itself is not forgotten
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
  EXPECT_EQ(fresh.log, (std::vector<std::string>{"Initialize", "InitProperties", "Resize", "Show"}));
  form.MoveControl(fresh, 0, 0, 2000, 1000);
  EXPECT_EQ(fresh.log.back(), "Resize");
  int terminated = 0;
  fresh.terminated = loaded.terminated = &terminated;
  form.Unload();  // ends and releases both
  EXPECT_EQ(terminated, 2);
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
  ASSERT_GE(events.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 3),
            (std::vector<std::string>{"box.KeyDown 72", "box.KeyPress 72", "box.KeyUp 72"}));
  EXPECT_EQ(events[4], "box.KeyPress 233");
  d.user.PressKey(vbKeyBack);
  d.user.PressKey(vbKeyHome);
  d.user.PressKey(vbKeyDelete);
  EXPECT_EQ(box->Text(), "é");
}

TEST_F(Input, TabMovesTheFocusUnlessKeyPreviewTakesEveryKeyFirst) {
  auto box = d.tk.CreateTextBox(d.surface);
  auto second = d.tk.CreateTextBox(d.surface);
  box->TabIndex(1);
  second->TabIndex(2);
  lv->TabIndex(0);
  d.user.Focus(*box);
  d.user.PressKey(vbKeyTab);
  EXPECT_TRUE(second->HasFocus());
  d.user.PressKey(vbKeyTab, vbShiftMask);
  EXPECT_TRUE(box->HasFocus());

  d.surface.KeyPreview(true);
  Record(*box, "box");
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

}  // namespace
}  // namespace tamarind::platform::testing
