#pragma once
// The fruit-order list the editing suites work on, with the host opening one kind of editor per
// column: Name (text box), Qty (spin buttons), Category (drop-down), Date (calendar), Notes ("...").
//
// Geometry of the headless desktop: 15 twips per pixel; Verdana 8.25 rows are 17 px (255 twips)
// high under a 20 px (300 twips) header; the columns are 1500, 1200, 1500, 1800 and 1800 twips wide.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ImageList.h"
#include "platform/Picture.h"
#include "tests/kestrel/KestrelFixture.h"

namespace tamarind::testing {

class EditingTest : public KestrelTest {
 protected:
  static constexpr float kWidth[5] = {1500, 1200, 1500, 1800, 1800};
  static constexpr float kHeaderTwips = 300, kRowTwips = 255;
  static constexpr float kListWidth = 9000;

  EditingTest() {
    host.editors = RecordingHost::OneKindPerColumn();
    const char* captions[] = {"Name", "Qty", "Category", "Date", "Notes"};
    for (int i = 0; i < 5; ++i) k.ColumnHeaders().Add(0, {}, captions[i], kWidth[i]);
    AddRow({"Braeburn", "12", "Apple", "11/2/2026", ""});
    AddRow({"Lemon", "4", "Citrus", "11/9/2026", ""});
    AddRow({"Cherry", "7", "Stone fruit", "11/15/2026", "Sour"});
    AddRow({"Blueberry", "3", "Berry", "11/21/2026", "Frozen"});
    AddRow({"Lime", "2", "Citrus", "12/1/2026", ""});
    for (const char* c : {"Apple", "Berry", "Citrus", "Stone fruit"}) k.AddItem(c);
  }

  void AddRow(const std::vector<std::string>& cells) {
    const ListItemRef item = k.ListItems().Add(0, {}, cells[0]);
    for (int32_t column = 1; column <= 4; ++column) item->SubItems(column, cells[column]);
  }
  std::string Cell(int32_t row, int32_t column) {
    const ListItemRef item = k.ListItems().Item(row);
    return column == 0 ? item->Text() : item->SubItems(column);
  }
  void GiveRowsIcons() {
    auto icons = std::make_shared<platform::ImageList>();
    icons->Add(std::make_shared<platform::StdPicture>(16, 16, 0x00FF00));
    k.SmallIcons(icons);
    for (int32_t row = 1; row <= k.ListItems().Count(); ++row) k.ListItems().Item(row)->SmallIcon(Variant(int32_t{1}));
  }
  // The top of a row (1-based) in twips while the list shows its first row first.
  static float RowTop(int32_t row) { return kHeaderTwips + static_cast<float>(row - 1) * kRowTwips; }

  platform::TextBox& Box() { return k.TextBoxControl(); }
  // The spin buttons have no member of their own: the user sees them, so a host finds them by name.
  platform::UpDown& Spinner() { return *platform::FindControl<platform::UpDown>(k, "SPINNER"); }
  platform::ComboBox& Combo() { return k.ComboBoxControl(); }
  platform::DTPicker& Calendar() { return k.CalendarControl(); }
  platform::CommandButton& Button() { return k.CommandButtonControl(); }
  // The tracking timer as the desktop sees it: the only timer this form runs.
  bool TimerOn() { return tk.TimersImpl().ActiveCount() > 0; }
  // The bytes of every sound played, in order.
  std::vector<std::vector<uint8_t>> SoundsPlayed() {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& r : tk.SoundImpl().Requests()) out.push_back(r.bytes);
    return out;
  }

  platform::TextBox& away = form.AddTextBox("txtAway", 240, 4200, 2000, 300);
};

}  // namespace tamarind::testing
