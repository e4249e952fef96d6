#pragma once
// The spice-order host shared by the demo programs: its data, the host that answers the list's
// events (an editor kind per column, every committed value stored), and a text rendering of the
// list.

#include <cstdint>
#include <string>

#include "control/Kestrel.h"

namespace tamarind::demo {

enum Column { kName = 0, kQty = 1, kCategory = 2, kDate = 3, kNotes = 4 };

// Fills an empty list with the built-in orders and the category drop-down with its entries.
void Fill(Kestrel& k);

// Prints a list as a text table under a title, columns in display order.
void PrintTable(const std::string& title, Kestrel& k);

// The host: opens the right editor for each column and stores every committed value. Each event
// is printed as it arrives.
class OrderHost : public KestrelEvents {
 public:
  explicit OrderHost(Kestrel& k) : k_(k) {}

  void ItemClick(const ListItemRef& Item, int16_t Button, bool SecondClick) override;
  void ChangeComplete(const std::string& OrigText, const std::string& NewText) override;
  void DropDownChangeComplete(const std::string& OrigText, const std::string& NewText) override;
  void CalendarChangeComplete(const std::string& OldDate, const std::string& NewDate, int32_t SI) override;
  void NotInList(const std::string& OldValue, std::string& NewValue, bool& Cancel) override;
  void TabRequest(int32_t& ItemIndex, int32_t CurrentSubItem, int32_t& NextSubItem) override;
  void SpinnerUpClick() override { Step(+1); }
  void SpinnerDownClick() override { Step(-1); }
  void CommandButtonClick() override;
  void DropDown() override { Log("DropDown"); }
  void DropDownClick() override { Log("DropDownClick"); }
  void ColumnClick(const ColumnHeaderRef& ColumnHeader) override;
  void BeforeColumnSort(const ColumnHeaderRef& ColumnHeader, SortDataType& SortType, std::string& OmitChar) override;
  void ColumnSortComplete() override;

 protected:
  void Log(const std::string& line);
  // The row being edited: the selected one.
  ListItemRef CurrentRow() const;

 private:
  void Store(const std::string& value, int32_t column = -1);
  void Step(int delta);
  Kestrel& k_;
};

}  // namespace tamarind::demo
