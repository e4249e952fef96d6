#pragma once
// The intrinsic text box: text with a selection, raising Change whenever its text changes.

#include <cstdint>
#include <string>

#include "platform/Control.h"

namespace tamarind::platform {

class TextBox : public Control {
 public:
  TextBox(Toolkit& tk, Window* parent);

  const std::string& Text() const { return text_; }
  // Sets the text, puts the caret at the start, raises Change when the text differs.
  void Text(std::string t);

  // Selection in characters; SelStart beyond the end moves to the end, SelLength is clipped.
  // Error 380 for negative values.
  int32_t SelStart() const { return selStart_; }
  void SelStart(int32_t v);
  int32_t SelLength() const { return selLength_; }
  void SelLength(int32_t v);
  std::string SelText() const;
  // Replaces the selection (as typing or pasting does): Change when the text differs; the caret
  // ends after the inserted text.
  void SelText(const std::string& t);

  const std::string& PasswordChar() const { return passwordChar_; }
  void PasswordChar(std::string c);  // "" or one character; Error 380 otherwise
  int32_t MaxLength() const { return maxLength_; }
  void MaxLength(int32_t v) {
    maxLength_ = v;
    OnPropertyChanged("MaxLength");
  }
  bool Locked() const { return locked_; }
  void Locked(bool v) {
    locked_ = v;
    OnPropertyChanged("Locked");
  }
  bool MultiLine() const { return multiLine_; }
  void MultiLine(bool v) { multiLine_ = v; }
  int16_t ScrollBars() const { return scrollBars_; }  // design time: 0 none, 1 horizontal, 2 vertical, 3 both
  void ScrollBars(int16_t v) { scrollBars_ = v; }
  int16_t Alignment() const { return alignment_; }
  void Alignment(int16_t v) {
    alignment_ = v;
    OnPropertyChanged("Alignment");
  }

  Event<> Change;

 private:
  std::string text_;
  int32_t selStart_ = 0, selLength_ = 0;
  std::string passwordChar_;
  int32_t maxLength_ = 0;
  bool locked_ = false, multiLine_ = false;
  int16_t scrollBars_ = 0, alignment_ = 0;
};

}  // namespace tamarind::platform
