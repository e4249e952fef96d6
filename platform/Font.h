#pragma once
// The platform's font object. A control keeps its own font: assigning a font to a control copies
// its attributes (so two controls never share one font by accident), and the control's Font()
// returns that control's own object, so `ctl.Font()->Bold(true)` changes the control.

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/Variant.h"

namespace tamarind::platform {

class StdFont : public Object {
 public:
  StdFont() = default;
  StdFont(std::string name, float size, bool bold = false) : name_(std::move(name)) {
    Size(size);
    Bold(bold);
  }

  std::string TypeName() const override { return "StdFont"; }

  const std::string& Name() const { return name_; }
  void Name(std::string v) { name_ = std::move(v); }
  // Points. Sizes are kept to the platform's 1/10000 point precision; Error 380 for a size that
  // is not above 0 at that precision, or above 2048.
  float Size() const { return size_; }
  void Size(float v);
  bool Bold() const { return weight_ >= 600; }
  void Bold(bool v) { weight_ = v ? 700 : 400; }
  int16_t Weight() const { return weight_; }
  void Weight(int16_t v) { weight_ = v; }
  bool Italic() const { return italic_; }
  void Italic(bool v) { italic_ = v; }
  bool Underline() const { return underline_; }
  void Underline(bool v) { underline_ = v; }
  bool Strikethrough() const { return strikethrough_; }
  void Strikethrough(bool v) { strikethrough_ = v; }
  int16_t Charset() const { return charset_; }
  void Charset(int16_t v) { charset_ = v; }

  std::shared_ptr<StdFont> Clone() const { return std::make_shared<StdFont>(*this); }
  void CopyFrom(const StdFont& other) { *this = other; }

  bool operator==(const StdFont& o) const {
    return name_ == o.name_ && size_ == o.size_ && weight_ == o.weight_ && italic_ == o.italic_ &&
           underline_ == o.underline_ && strikethrough_ == o.strikethrough_ && charset_ == o.charset_;
  }

 private:
  static float Round(float v);
  std::string name_ = "MS Sans Serif";
  float size_ = 8.25f;
  int16_t weight_ = 400;
  bool italic_ = false, underline_ = false, strikethrough_ = false;
  int16_t charset_ = 0;
};
using FontRef = std::shared_ptr<StdFont>;

}  // namespace tamarind::platform
