#pragma once
// Type-ahead completion for the drop-down cell editor: while a combo box is linked, every key
// released in its edit field completes the typed text to the first list entry that starts with it
// (opening the list), or closes the list when no entry does. With AutoAdd, Enter adds the typed
// text to the list when it is not there yet.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Event.h"
#include "platform/controls/ComboBox.h"

namespace tamarind::editing {

class CCBO {
 public:
  CCBO() = default;
  // Releasing the object disconnects it from the combo box: its keys are no longer handled here.
  ~CCBO();
  CCBO(const CCBO&) = delete;
  CCBO& operator=(const CCBO&) = delete;

  bool AutoAdd() const { return autoAdd_; }
  void AutoAdd(bool v) { autoAdd_ = v; }

  const std::shared_ptr<platform::ComboBox>& LinkedComboBox() const { return mComboBox; }
  // Links the combo box (its KeyPress and KeyUp events arrive here), unlinking the previous one;
  // nullptr only unlinks.
  void LinkedComboBox(std::shared_ptr<platform::ComboBox> combo);

 private:
  // 0-based index of the first entry that starts with (exact: equals) text, ignoring case,
  // searching after index start (-1: the whole list); -1 when none does.
  int32_t FindListString(const std::string& text, int32_t start, bool exact);
  // Opens or closes the list.
  void ShowList(bool show);
  void mComboBox_KeyPress(int16_t& KeyAscii);
  void mComboBox_KeyUp(int16_t& KeyCode, int16_t& Shift);
  void Unlink();

  std::shared_ptr<platform::ComboBox> mComboBox;
  platform::Event<int16_t&>::Token keyPressToken_ = 0;
  platform::Event<int16_t&, int16_t&>::Token keyUpToken_ = 0;
  bool autoAdd_ = false;
};

}  // namespace tamarind::editing
