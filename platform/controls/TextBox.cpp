#include "platform/controls/TextBox.h"

#include <algorithm>

#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind::platform {

TextBox::TextBox(Toolkit& tk, Window* parent) : Control(tk, "ThunderRT6TextBox", parent) {}

void TextBox::Text(std::string t) {
  if (maxLength_ > 0 && text::Len(t) > maxLength_) t = text::Left(t, maxLength_);
  const bool changed = t != text_;
  text_ = std::move(t);
  selStart_ = 0;
  selLength_ = 0;
  OnPropertyChanged("Text");
  if (changed) Change();
}

void TextBox::SelStart(int32_t v) {
  if (v < 0) Raise(err::InvalidPropertyValue);
  selStart_ = std::min(v, text::Len(text_));
  selLength_ = 0;
  OnPropertyChanged("SelStart");
}

void TextBox::SelLength(int32_t v) {
  if (v < 0) Raise(err::InvalidPropertyValue);
  selLength_ = std::min(v, text::Len(text_) - selStart_);
  OnPropertyChanged("SelLength");
}

std::string TextBox::SelText() const { return text::Mid(text_, selStart_ + 1, selLength_); }

void TextBox::SelText(const std::string& t) {
  std::string inserted = t;
  const int32_t keep = text::Len(text_) - selLength_;
  if (maxLength_ > 0 && keep + text::Len(inserted) > maxLength_) inserted = text::Left(inserted, std::max(0, maxLength_ - keep));
  std::string updated = text::Left(text_, selStart_) + inserted + text::Mid(text_, selStart_ + selLength_ + 1);
  const bool changed = updated != text_;
  text_ = std::move(updated);
  selStart_ += text::Len(inserted);
  selLength_ = 0;
  OnPropertyChanged("Text");
  if (changed) Change();
}

void TextBox::PasswordChar(std::string c) {
  if (text::Len(c) > 1) Raise(err::InvalidPropertyValue);
  passwordChar_ = std::move(c);
  OnPropertyChanged("PasswordChar");
}

}  // namespace tamarind::platform
