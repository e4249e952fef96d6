// The window messages the control sends the list view, its header and the combo box, and the
// window functions.

#include <gtest/gtest.h>

#include "Fixture.h"
#include "platform/controls/ComboBox.h"
#include "runtime/Text.h"

namespace tamarind::platform::testing {
namespace {

class Messages : public ::testing::Test {
 protected:
  Desktop d;
  std::shared_ptr<ListView> lv = d.MakeList();
  WindowManager& wm = d.tk.Windows();

  LRESULT Send(HWND h, uint32_t msg, WPARAM w, LPARAM l) { return wm.SendMessage(h, msg, w, l); }
  LRESULT Send(uint32_t msg, WPARAM w, LPARAM l) { return Send(lv->hWnd(), msg, w, l); }
};

TEST_F(Messages, GetItemGivesTextAndParameterAndNeverSplitsACharacter) {
  auto it = lv->ListItems().Add(0, {}, "Zoë");
  it->SubItems(2, std::string(254, 'x') + "€€");  // 256 characters, the last two 3 bytes each
  TextBuffer<256> buf;
  LVITEMA rec{.mask = LVIF_TEXT | LVIF_PARAM, .pszText = buf.data(), .cchTextMax = 256};
  ASSERT_EQ(Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&rec)), 1);
  EXPECT_STREQ(rec.pszText, "Zoë");
  EXPECT_EQ(rec.lParam, it->ItemParam());
  rec.iSubItem = 2;
  Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&rec));
  EXPECT_EQ(text::Len(rec.pszText), 255);
  EXPECT_EQ(std::string(rec.pszText), std::string(254, 'x') + "€");
  rec.iItem = 1;
  EXPECT_EQ(Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&rec)), 0);
}

TEST_F(Messages, SubItemHitTestGivesTheRealFlags) {
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
  EXPECT_EQ(hit(15, y2).flags, LVHT_ONITEMSTATEICON);
  EXPECT_EQ(hit(16, y2).flags, LVHT_ONITEMICON);
  EXPECT_EQ(hit(31, y2).flags, LVHT_ONITEMICON);
  EXPECT_EQ(hit(32, y2).flags, LVHT_ONITEMLABEL);
  EXPECT_EQ(hit(95, y2).iSubItem, 0);
  EXPECT_EQ(hit(96, y2).iSubItem, 1);
  EXPECT_EQ(hit(10, header + 2 * row - 1).iItem, 1);  // the last pixel row of the second row
  EXPECT_EQ(hit(10, header + 2 * row).flags, LVHT_NOWHERE);  // the first below it
  const LVHITTESTINFO state = hit(5, y2);
  EXPECT_EQ(state.flags, LVHT_ONITEMSTATEICON);
  EXPECT_EQ(state.iItem, 1);
  EXPECT_EQ(hit(16 + 5, y2).flags, LVHT_ONITEMICON);
  EXPECT_EQ(hit(32 + 5, y2).flags, LVHT_ONITEMLABEL);
  auto sub = hit(96 + 10, y2);
  EXPECT_EQ(sub.flags, LVHT_ONITEMLABEL);
  EXPECT_EQ(sub.iSubItem, 1);
  const LVHITTESTINFO below = hit(10, header + 5 * row);
  EXPECT_EQ(below.flags, LVHT_NOWHERE);
  EXPECT_EQ(below.iSubItem, -1);
  lv->ColumnHeaders().Item(1)->Position(3);  // the item column moved to the end
  EXPECT_EQ(hit(2 * 96 + 16 + 5, y2).flags, LVHT_ONITEMICON);
}

// A column added while the user has the columns in another order takes the display place of its
// index; the others keep their places around it.
TEST_F(Messages, AColumnInsertedInTheMiddleOfADraggedOrderTakesTheDisplayPlaceOfItsIndex) {
  int32_t dragged[3] = {2, 0, 1};  // City, Name, Qty
  ASSERT_EQ(Send(LVM_SETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(dragged)), 1);
  lv->ColumnHeaders().Add(2, {}, "Price");  // between Name and Qty by index
  int32_t order[4] = {};
  ASSERT_EQ(Send(LVM_GETCOLUMNORDERARRAY, 4, reinterpret_cast<LPARAM>(order)), 1);
  EXPECT_EQ(std::vector<int32_t>(order, order + 4), (std::vector<int32_t>{3, 1, 0, 2}));
  std::vector<std::string> shown;
  for (int32_t c : lv->ColumnOrder()) shown.push_back(lv->ColumnHeaders().Item(c + 1)->Text());
  EXPECT_EQ(shown, (std::vector<std::string>{"City", "Price", "Name", "Qty"}));
  EXPECT_EQ(lv->ColumnHeaders().Item(2)->Position(), 2);
  lv->ListItems().Add(0, {}, "one")->SubItems(1, "9.50");
  LVHITTESTINFO info{.pt = {96 + 10, lv->HeaderHeightPx() + 2}};
  Send(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.iSubItem, 1);  // the second place shows the new column
}

TEST_F(Messages, ColumnOrderArraysGetAndSet) {
  int32_t order[3] = {};
  int32_t wanted[3] = {2, 0, 1};
  ASSERT_EQ(Send(LVM_SETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(wanted)), 1);
  EXPECT_EQ(lv->ColumnHeaders().Item(3)->Position(), 1);
  int32_t notAPermutation[3] = {0, 0, 1};
  EXPECT_EQ(Send(LVM_SETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(notAPermutation)), 0);
  EXPECT_EQ(Send(LVM_SETCOLUMNORDERARRAY, 2, reinterpret_cast<LPARAM>(wanted)), 0);
  EXPECT_EQ(Send(LVM_GETCOLUMNORDERARRAY, 3, reinterpret_cast<LPARAM>(order)), 1);
  EXPECT_EQ(std::vector<int32_t>(order, order + 3), (std::vector<int32_t>{2, 0, 1}));
}

TEST_F(Messages, SetColumnWidthFitsContentsAndHeader) {
  // 6 pixels a character at Verdana 8.25 on the headless desktop, 12 pixels of padding.
  lv->Font(std::make_shared<StdFont>("Verdana", 8.25f));
  lv->ListItems().Add(0, {}, "abcdefghij")->SubItems(1, "x");
  lv->ColumnHeaders().Item(2)->Text("Quantity");
  auto widthPx = [&](int c) { return lv->ColumnWidthPx(c); };
  ASSERT_EQ(Send(LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE), 1);
  EXPECT_EQ(widthPx(0), 10 * 6 + 12);
  Send(LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE);
  EXPECT_EQ(widthPx(1), 6 + 12);
  Send(LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE_USEHEADER);
  EXPECT_EQ(widthPx(1), 8 * 6 + 12);  // the caption is wider than the cell
  // The last column also fills the rest of the list: 400 pixels wide in all.
  Send(LVM_SETCOLUMNWIDTH, 2, LVSCW_AUTOSIZE_USEHEADER);
  EXPECT_EQ(widthPx(2), 400 - 72 - 60);
  EXPECT_EQ(Send(LVM_SETCOLUMNWIDTH, 3, 10), 0);  // no such column
  lv->View(ListView::lvwList);
  EXPECT_EQ(Send(LVM_SETCOLUMNWIDTH, 0, 10), 0);  // only in report view
  EXPECT_EQ(widthPx(0), 72);
}

TEST_F(Messages, HeaderIsTheListsFirstChildAndTakesFormatAndImage) {
  const HWND header = static_cast<HWND>(Send(LVM_GETHEADER, 0, 0));
  EXPECT_NE(header, 0);
  EXPECT_EQ(wm.GetWindow(lv->hWnd(), GW_CHILD), header);
  lv->ColumnHeaders().Item(2)->Alignment(ColumnHeader::lvwColumnRight);
  HDITEMA rec{
      .mask = HDI_FORMAT | HDI_IMAGE, .fmt = HDF_STRING | HDF_IMAGE | HDF_BITMAP_ON_RIGHT | HDF_RIGHT, .iImage = 1};
  ASSERT_EQ(Send(header, HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&rec)), 1);
  HDITEMA back{.mask = HDI_FORMAT | HDI_IMAGE};
  Send(header, HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&back));
  EXPECT_EQ(back.fmt, 0x5801);
  EXPECT_EQ(back.iImage, 1);
  EXPECT_EQ(lv->ColumnHeaders().Item(2)->Text(), "Qty");  // HDI_TEXT was not in the mask
  EXPECT_EQ(Send(header, HDM_SETITEMA, 3, reinterpret_cast<LPARAM>(&rec)), 0);
}

TEST_F(Messages, WindowFunctionsAnswerInScreenPixels) {
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
  EXPECT_FLOAT_EQ(box->Left(), 15);
  EXPECT_FLOAT_EQ(box->Height(), 600);
  EXPECT_FALSE(wm.GetWindowRect(0x7777, r));
  EXPECT_EQ(wm.SendMessage(0x7777, LVM_GETHEADER, 0, 0), 0);
}

TEST_F(Messages, OneWindowAtATimeCanBeLocked) {
  EXPECT_TRUE(wm.LockWindowUpdate(lv->hWnd()));
  EXPECT_FALSE(wm.LockWindowUpdate(d.surface.hWnd()));
  EXPECT_TRUE(wm.LockWindowUpdate(0));
  EXPECT_EQ(wm.LockHistory(), (std::vector<HWND>{lv->hWnd(), 0}));
}

TEST_F(Messages, RightToLeftIsAnExtendedStyleBitOfTheListAlone) {
  const HWND header = static_cast<HWND>(Send(LVM_GETHEADER, 0, 0));
  const int32_t style = wm.GetWindowLong(lv->hWnd(), GWL_EXSTYLE);
  EXPECT_EQ(style & WS_EX_LAYOUTRTL, 0);
  EXPECT_EQ(wm.SetWindowLong(lv->hWnd(), GWL_EXSTYLE, style | WS_EX_LAYOUTRTL), style);
  EXPECT_NE(wm.GetWindowLong(lv->hWnd(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0);
  EXPECT_EQ(wm.GetWindowLong(header, GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0);
  ASSERT_TRUE(wm.InvalidateRect(lv->hWnd(), nullptr, true));
  EXPECT_TRUE(wm.InvalidateHistory().back().erase);
}

TEST_F(Messages, ComboBoxFindsShowsAndSizesItsList) {
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
  wm.SendMessage(cb->hWnd(), CB_SHOWDROPDOWN, 1, 0);
  EXPECT_TRUE(cb->DroppedDown());
  EXPECT_EQ(wm.SendMessage(cb->hWnd(), CB_SETDROPPEDWIDTH, 40, 0), 100);  // never narrower than the box
  EXPECT_EQ(wm.SendMessage(cb->hWnd(), CB_SETDROPPEDWIDTH, 180, 0), 180);
  EXPECT_EQ(wm.SendMessage(cb->hWnd(), CB_GETITEMHEIGHT, 0, 0), cb->ItemHeightPx());
}

}  // namespace
}  // namespace tamarind::platform::testing
