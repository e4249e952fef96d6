// The headless desktop: virtual time and timers, the host form's lifecycle, focus, keyboard routing
// and the user driver's event sequences; the window messages the control sends the list view, its
// header and the combo box, and the window functions.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "Fixture.h"
#include "platform/controls/ComboBox.h"
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
  clock.Sleep(500);  // a blocking sleep runs nothing;
  tk.DoEvents();     // a timer that fell behind fires once, not once per missed interval
  EXPECT_EQ(ticks, (std::vector<uint32_t>{100, 200, 300, 850}));
  // A pause loop of short sleeps lets the timer run inside DoEvents.
  while (clock.GetTickCount() < 1100) {
    clock.Sleep(1);
    tk.DoEvents();
  }
  EXPECT_EQ(ticks, (std::vector<uint32_t>{100, 200, 300, 850, 950, 1050}));
  EXPECT_NEAR((clock.Now().SerialNumber() - tk.Settings().startTime.SerialNumber()) * 86400000.0, 1100.0, 1e-3);
  timer->Enabled(false);
  tk.Wait(1000);
  EXPECT_EQ(ticks.size(), 6u);
  // What the desktop records for tests stays bounded through a long session, the latest kept.
  for (uint32_t i = 1; i <= 5000; ++i) tk.MsgBox("box " + std::to_string(i), 0, "T");
  EXPECT_LE(tk.MessageBoxes().size(), 2048u);
  EXPECT_EQ(tk.MessageBoxes().back().prompt, "box 5000");
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

// A list on the desktop, its events as they come, and the window messages sent to it.
class Input : public ::testing::Test {
 protected:
  Desktop d;
  std::shared_ptr<ListView> lv = d.MakeList();
  WindowManager& wm = d.tk.Windows();
  std::vector<std::string> events;

  LRESULT Send(HWND h, uint32_t msg, WPARAM w, LPARAM l) { return wm.SendMessage(h, msg, w, l); }
  LRESULT Send(uint32_t msg, WPARAM w, LPARAM l) { return Send(lv->hWnd(), msg, w, l); }

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

TEST_F(Input, TypingGoesThroughKeyEventsAndTabMovesTheFocusUnlessKeyPreviewTakesItFirst) {
  auto box = d.tk.CreateTextBox(d.surface), second = d.tk.CreateTextBox(d.surface);
  box->TabIndex(1);
  second->TabIndex(2);
  lv->TabIndex(0);
  Record(*box, "box");
  int changes = 0;
  box->Change.Connect([&] { ++changes; });
  d.user.Focus(*box);
  events.clear();
  d.user.Type("H\xC3\xA9!");
  EXPECT_EQ(box->Text(), "H\xC3\xA9!");
  EXPECT_EQ(changes, 3);
  ASSERT_GE(events.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 3),
            (std::vector<std::string>{"box.KeyDown 72", "box.KeyPress 72", "box.KeyUp 72"}));
  EXPECT_EQ(events[4], "box.KeyPress 233");
  d.user.PressKey(vbKeyBack);
  d.user.PressKey(vbKeyHome);
  d.user.PressKey(vbKeyDelete);
  EXPECT_EQ(box->Text(), "\xC3\xA9");
  d.user.PressKey(vbKeyTab);
  EXPECT_TRUE(second->HasFocus());
  d.user.PressKey(vbKeyTab, vbShiftMask);
  EXPECT_TRUE(box->HasFocus());
  // With KeyPreview the user control sees every key first: it may cancel one, and Tab is its key.
  box->Text("");
  d.surface.KeyPreview(true);
  d.surface.swallow = 'x';
  events.clear();
  d.user.Type("xy");
  d.user.PressKey(vbKeyTab);
  EXPECT_TRUE(box->HasFocus());
  const auto& log = d.surface.log;
  EXPECT_NE(std::find(log.begin(), log.end(), "uc.KeyDown 9"), log.end());
  EXPECT_EQ(std::count(events.begin(), events.end(), "box.KeyPress 9"), 1);
  EXPECT_EQ(box->Text(), "y");  // a single-line box types no Tab
}

using Messages = Input;

TEST_F(Messages, GetItemGivesTextAndParameterAndNeverSplitsACharacter) {
  auto it = lv->ListItems().Add(0, {}, "Zoë");
  it->SubItems(2, std::string(254, 'x') + "€€");  // 256 characters, the last two 3 bytes each
  TextBuffer<256> buf;
  LVITEMA rec{.mask = LVIF_TEXT | LVIF_PARAM, .pszText = buf.data(), .cchTextMax = 256};
  ASSERT_EQ(Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&rec)), 1);
  EXPECT_EQ(std::make_tuple(std::string(rec.pszText), rec.lParam),
            std::make_tuple(std::string("Zoë"), it->ItemParam()));
  rec.iSubItem = 2;
  Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&rec));
  EXPECT_EQ(std::string(rec.pszText), std::string(254, 'x') + "€");  // 255 characters and the terminating zero
  rec.iItem = 1;
  EXPECT_EQ(Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&rec)), 0);
}

TEST_F(Messages, SubItemHitTestGivesTheRealFlagsAndOrderArraysPlaceInsertedColumns) {
  auto icons = std::make_shared<ImageList>();
  icons->Add(std::make_shared<StdPicture>(16, 16));
  lv->SmallIcons(icons);
  lv->Checkboxes(true);
  lv->ListItems().Add(0, {}, "one");
  lv->ListItems().Add(0, {}, "two");
  const int32_t header = lv->HeaderHeightPx(), row = lv->RowHeightPx();
  auto hit = [&](int32_t x, int32_t y) {
    LVHITTESTINFO info{.pt = {x, y}, .flags = LVHT_ONITEM};
    const LRESULT r = Send(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(r, info.iItem);
    return info;
  };
  const int32_t y2 = header + row + row / 2;  // second row
  // Check box 0-15, icon 16-31, label from 32, the next column from 96: each edge pixel.
  for (const auto& [x, flags, column] : std::vector<std::tuple<int32_t, uint32_t, int32_t>>{
           {15, LVHT_ONITEMSTATEICON, 0}, {16, LVHT_ONITEMICON, 0}, {31, LVHT_ONITEMICON, 0},
           {32, LVHT_ONITEMLABEL, 0}, {95, LVHT_ONITEMLABEL, 0}, {96, LVHT_ONITEMLABEL, 1}}) {
    const LVHITTESTINFO info = hit(x, y2);
    EXPECT_EQ(std::make_tuple(info.iItem, info.flags, info.iSubItem), std::make_tuple(1, flags, column)) << x;
  }
  EXPECT_EQ(hit(10, header + 2 * row - 1).iItem, 1);  // the last pixel row of the second row
  const LVHITTESTINFO below = hit(10, header + 2 * row);  // the first below it
  EXPECT_EQ(below.flags, LVHT_NOWHERE);
  EXPECT_EQ(below.iSubItem, -1);
  lv->ColumnHeaders().Item(1)->Position(3);  // the item column moved to the end
  EXPECT_EQ(hit(2 * 96 + 16 + 5, y2).flags, LVHT_ONITEMICON);
  // Order arrays are refused unless they are a permutation of the columns. A column added while the
  // user has the columns in another order takes the display place of its index; the others keep their
  // places around it.
  int32_t dragged[3] = {2, 0, 1};  // City, Name, Qty
  int32_t notAPermutation[3] = {0, 0, 1};
  EXPECT_EQ(Send(LVM_SETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(notAPermutation)), 0);
  EXPECT_EQ(Send(LVM_SETCOLUMNORDERARRAY, 2, reinterpret_cast<LPARAM>(dragged)), 0);  // a count that is not the list's
  ASSERT_EQ(Send(LVM_SETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(dragged)), 1);
  EXPECT_EQ(lv->ColumnHeaders().Item(3)->Position(), 1);
  lv->ColumnHeaders().Add(2, {}, "Price");  // between Name and Qty by index
  int32_t order[4] = {};
  ASSERT_EQ(Send(LVM_GETCOLUMNORDERARRAY, 4, reinterpret_cast<LPARAM>(order)), 1);
  EXPECT_EQ(std::vector<int32_t>(order, order + 4), (std::vector<int32_t>{3, 1, 0, 2}));
  EXPECT_EQ(lv->ColumnHeaders().Item(2)->Position(), 2);
  lv->ListItems().Add(0, {}, "one")->SubItems(1, "9.50");
  LVHITTESTINFO info{.pt = {96 + 10, lv->HeaderHeightPx() + 2}};
  Send(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.iSubItem, 1);  // the second place shows the new column
}

// Fitting a column to its cells or to its caption as well, in report view only. (How the last
// column fills the list is the control's column sizing.)
TEST_F(Messages, SetColumnWidthFitsContentsOrHeaderInReportViewOnlyAndTheHeaderIsTheListsFirstChild) {
  // 6 pixels a character at Verdana 8.25 on the headless desktop, 12 pixels of padding.
  lv->Font(std::make_shared<StdFont>("Verdana", 8.25f));
  lv->ListItems().Add(0, {}, "abcdefghij")->SubItems(1, "x");
  lv->ColumnHeaders().Item(2)->Text("Quantity");
  ASSERT_EQ(Send(LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE), 1);
  EXPECT_EQ(lv->ColumnWidthPx(0), 10 * 6 + 12);
  Send(LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE);
  EXPECT_EQ(lv->ColumnWidthPx(1), 6 + 12);
  Send(LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE_USEHEADER);
  EXPECT_EQ(lv->ColumnWidthPx(1), 8 * 6 + 12);  // the caption is wider than the cell
  EXPECT_EQ(Send(LVM_SETCOLUMNWIDTH, 3, 10), 0);  // no such column
  lv->View(ListView::lvwList);
  EXPECT_EQ(Send(LVM_SETCOLUMNWIDTH, 0, 10), 0);
  EXPECT_EQ(lv->ColumnWidthPx(0), 72);
  // The header is the list's first child; an item beyond its columns is refused. (The formats and
  // images it takes are the sort arrows' own tests.)
  const HWND header = static_cast<HWND>(Send(LVM_GETHEADER, 0, 0));
  EXPECT_NE(header, 0);
  EXPECT_EQ(wm.GetWindow(lv->hWnd(), GW_CHILD), header);
  HDITEMA rec{.mask = HDI_FORMAT, .fmt = HDF_STRING};
  EXPECT_EQ(Send(header, HDM_SETITEMA, 3, reinterpret_cast<LPARAM>(&rec)), 0);
  EXPECT_EQ(Send(header, HDM_GETITEMA, 3, reinterpret_cast<LPARAM>(&rec)), 0);
}

TEST_F(Messages, WindowFunctionsAnswerInScreenPixelsAndUpdateLockAndRightToLeftStyle) {
  // Form at (100, 100) with a 4-pixel frame and a 30-pixel caption; the surface at (20, 20) pixels.
  auto box = d.tk.CreateTextBox(d.surface);
  box->Move(150, 300, 1500, 300);  // 10, 20 pixels into the surface; 100 x 20
  box->BorderStyle(0);
  RECT r;
  ASSERT_TRUE(wm.GetWindowRect(box->hWnd(), r));
  EXPECT_EQ(r, (RECT{100 + 4 + 20 + 10, 100 + 30 + 20 + 20, 134 + 100, 170 + 20}));
  POINT p{r.left, r.top};
  wm.ScreenToClient(d.surface.hWnd(), p);
  EXPECT_EQ(p, (POINT{10, 20}));
  ASSERT_TRUE(wm.MoveWindow(box->hWnd(), 1, 2, 30, 40, true));
  EXPECT_EQ(std::make_tuple(box->Left(), box->Top(), box->Width(), box->Height()),
            std::make_tuple(15.0f, 30.0f, 450.0f, 600.0f));
  EXPECT_FALSE(wm.GetWindowRect(0x7777, r));
  EXPECT_EQ(wm.SendMessage(0x7777, LVM_GETHEADER, 0, 0), 0);
  // One window at a time can be locked; right to left is an extended style bit of the list alone.
  EXPECT_TRUE(wm.LockWindowUpdate(lv->hWnd()));
  EXPECT_FALSE(wm.LockWindowUpdate(d.surface.hWnd()));
  EXPECT_TRUE(wm.LockWindowUpdate(0));
  EXPECT_EQ(wm.LockHistory(), (std::vector<HWND>{lv->hWnd(), 0}));
  const HWND header = static_cast<HWND>(Send(LVM_GETHEADER, 0, 0));
  const int32_t style = wm.GetWindowLong(lv->hWnd(), GWL_EXSTYLE);
  EXPECT_EQ(style & WS_EX_LAYOUTRTL, 0);
  EXPECT_EQ(wm.SetWindowLong(lv->hWnd(), GWL_EXSTYLE, style | WS_EX_LAYOUTRTL), style);
  EXPECT_NE(wm.GetWindowLong(lv->hWnd(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0);
  EXPECT_EQ(wm.GetWindowLong(header, GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0);
  ASSERT_TRUE(wm.InvalidateRect(lv->hWnd(), nullptr, true));
  EXPECT_TRUE(wm.InvalidateHistory().back().erase);
}

// Searches start after the given entry and wrap round. (Showing and sizing the list are the
// drop-down editor's tests.)
TEST_F(Messages, ComboBoxFindsEntriesIgnoringCase) {
  auto cb = d.tk.CreateComboBox(d.surface);
  cb->Move(0, 0, 1500, 315);
  for (const char* e : {"Apple", "apricot", "Banana", "apple pie"}) cb->AddItem(e);
  auto find = [&](uint32_t msg, int32_t start, const char* s) {
    return wm.SendMessage(cb->hWnd(), msg, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(s));
  };
  EXPECT_EQ(find(CB_FINDSTRING, 0, "ap"), 1);      // searching after entry 0
  EXPECT_EQ(find(CB_FINDSTRING, 3, "AP"), 0);      // wrapping round
  EXPECT_EQ(find(CB_FINDSTRINGEXACT, 0, "apple"), 0);  // wraps back to itself
  EXPECT_EQ(find(CB_FINDSTRINGEXACT, -1, "pie"), CB_ERR);
}

}  // namespace
}  // namespace tamarind::platform::testing
