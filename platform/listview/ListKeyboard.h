#pragma once
// What the keys do in a list view with the focus, as users of desktop list views expect:
//   Up/Down, Home/End, Page Up/Page Down  move to a row and select it alone (each move is an
//                                         item click, as the platform reports keyboard selections);
//   Shift + any of those                  selects the range from the anchor row to the row landed on
//                                         (MultiSelect), else moves as without Shift;
//   Ctrl + any of those                   moves the focus rectangle only (MultiSelect);
//   Space                                 ticks or clears the focused row's check box (Checkboxes),
//                                         else selects the focused row;
//   Ctrl+Space                            adds the focused row to the selection or takes it out
//                                         (MultiSelect);
//   letters and digits                    type-ahead: the first row from the focused one whose text
//                                         starts with what was typed within the last second (one
//                                         letter typed again steps through the rows starting with it).

#include <cstdint>
#include <memory>
#include <string>

namespace tamarind::platform {

class ListItem;
class ListView;

class ListKeyboard {
 public:
  explicit ListKeyboard(ListView& list) : list_(list) {}

  // A navigation key; false when the key means nothing to the list.
  bool KeyDown(int16_t keyCode, int16_t shift);
  // A typed character (type-ahead); false when the list did nothing with it.
  bool Character(char32_t c);

  // How long typed letters keep adding to one search, as the desktop's list views do.
  static constexpr uint32_t kTypeAheadMs = 1000;

 private:
  // Moves the focus to row index (1-based): selected alone, added as a range, or the focus alone.
  enum class Move { Select, Extend, FocusOnly };
  void MoveTo(int32_t index, Move how);
  int32_t FocusedIndex() const;  // 0 for none
  int32_t AnchorIndex();         // the row a Shift range starts from
  ListView& list_;
  std::weak_ptr<ListItem> anchor_;
  std::weak_ptr<ListItem> lastFocus_;  // where the keys last left the focus (a click moves it elsewhere)
  std::string typed_;
  uint32_t lastTypedMs_ = 0;
};

}  // namespace tamarind::platform
