#pragma once
// The intrinsic combo box: an edit field with a list of entries (each with a 32-bit item datum)
// that drops down below it.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Control.h"

namespace tamarind::platform {

class ComboBox : public Control {
 public:
  static constexpr int16_t vbComboDropdown = 0;
  static constexpr int16_t vbComboSimple = 1;
  static constexpr int16_t vbComboDropdownList = 2;

  ComboBox(Toolkit& tk, Window* parent);

  int16_t Style() const { return style_; }
  void Style(int16_t s) { style_ = s; }  // fixed at design time

  const std::string& Text() const { return text_; }
  // Sets the edit text (Change when it differs); the caret goes to the end of the text. The list
  // index becomes that of the entry equal to the text, or -1.
  void Text(std::string t);

  int32_t SelStart() const { return selStart_; }
  void SelStart(int32_t v);
  int32_t SelLength() const { return selLength_; }
  void SelLength(int32_t v);
  std::string SelText() const;
  void SelText(const std::string& t);

  // Entries, 0-based. Reading past the end gives ""; writing there, or a negative index, is
  // Error 381 (Invalid property array index).
  std::string List(int32_t index) const;
  void List(int32_t index, std::string value);
  // Item data, 0-based; Error 381 outside the list.
  int32_t ItemData(int32_t index) const;
  void ItemData(int32_t index, int32_t value);
  int32_t ListCount() const { return static_cast<int32_t>(entries_.size()); }
  // -1 for none. Setting an index selects that entry: the text becomes the entry's and Click is
  // raised. Error 380 outside -1 .. ListCount - 1.
  int32_t ListIndex() const { return listIndex_; }
  void ListIndex(int32_t index);
  // The index of the entry added last; -1 when none was.
  int32_t NewIndex() const { return newIndex_; }
  // Adds an entry at index (-1 = at the end). Error 5 for an index past the end.
  void AddItem(std::string item, int32_t index = -1);
  void RemoveItem(int32_t index);  // Error 5 outside the list
  void Clear();                     // entries and text

  // The list portion.
  bool DroppedDown() const { return droppedDown_; }
  // Opens or closes the list; opening raises DropDown, as the platform's notification does.
  void ShowDropDown(bool show);
  int32_t DroppedWidthPx() const { return droppedWidthPx_; }
  // Height of one list entry in pixels (from the font).
  int32_t ItemHeightPx() const;
  // The window height set with MoveWindow: for a drop-down combo it decides how tall the opened
  // list is (the edit field keeps the height its font gives).
  int32_t DropWindowHeightPx() const { return dropWindowHeightPx_; }
  // Entries the opened list shows without scrolling.
  int32_t VisibleListEntries() const;
  // The first entry shown in the opened list; scrolling the list raises Scroll.
  int32_t TopIndex() const { return topIndex_; }
  void ScrollList(int32_t topIndex);

  // 0-based index of the first entry starting with (or, exact, equal to) text, ignoring case,
  // searching after index start (-1: from the top) and wrapping round; -1 (CB_ERR) when none.
  int32_t FindString(std::string_view text, int32_t start, bool exact) const;

  LRESULT WindowProc(uint32_t msg, WPARAM wParam, LPARAM lParam) override;
  void SetBoundsPx(const RECT& r) override;

  Event<> Change;
  Event<> DropDown;
  Event<> Scroll;

  // The edit field selects its whole text when the focus arrives, so typing replaces it.
  void OnFocusReceived() override {
    selStart_ = 0;
    selLength_ = static_cast<int32_t>(TextLength());
  }

 protected:
  // A hidden combo box cannot show its list.
  void OnPropertyChanged(std::string_view property) override {
    if (property == "Visible" && !Visible()) droppedDown_ = false;
  }

 private:
  struct Entry {
    std::string text;
    int32_t data = 0;
  };
  void SyncListIndexToText();
  int32_t TextLength() const;
  int16_t style_ = vbComboDropdown;
  std::string text_;
  int32_t selStart_ = 0, selLength_ = 0;
  std::vector<Entry> entries_;
  int32_t listIndex_ = -1, newIndex_ = -1, topIndex_ = 0;
  bool droppedDown_ = false;
  int32_t droppedWidthPx_ = 0;
  int32_t dropWindowHeightPx_ = 0;
};

}  // namespace tamarind::platform
