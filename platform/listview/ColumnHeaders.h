#pragma once
// The list view's columns. Column k (1-based Index) shows the item text for k = 1 and sub-item
// k - 1 otherwise. Columns keep their Index (creation order) when the user drags them into
// another display order; Position is the place on screen.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/Variant.h"

namespace tamarind::platform {

class ListView;
class ColumnHeaders;

class ColumnHeader : public Object {
 public:
  static constexpr int16_t lvwColumnLeft = 0;
  static constexpr int16_t lvwColumnRight = 1;
  static constexpr int16_t lvwColumnCenter = 2;
  static constexpr float kDefaultWidth = 1440;  // twips

  std::string TypeName() const override { return "ColumnHeader"; }

  int32_t Index() const { return index_; }
  int32_t SubItemIndex() const { return index_ - 1; }
  ListView* Owner() const { return owner_; }
  const std::string& Key() const { return key_; }
  void Key(std::string k);
  const std::string& Text() const { return text_; }
  void Text(std::string t);
  // Twips; Error 380 for a negative width.
  float Width() const { return width_; }
  void Width(float w);
  int16_t Alignment() const { return alignment_; }
  void Alignment(int16_t a);  // Error 380 outside 0..2; the header item follows
  // An image of ColumnHeaderIcons (1-based index or key); 0 or Empty for none. The header item
  // shows it.
  const Variant& Icon() const { return icon_; }
  void Icon(Variant i);
  const Variant& Tag() const { return tag_; }
  void Tag(Variant t) { tag_ = std::move(t); }
  // 1-based place in the display order; setting it moves the column there.
  int32_t Position() const;
  void Position(int32_t p);

  // The header control's own item state (HDM_SETITEMA): format flags and 0-based image.
  int32_t HeaderFormat() const { return headerFormat_; }
  int32_t HeaderImage() const { return headerImage_; }
  void SetHeaderItem(int32_t format, int32_t image);

 private:
  friend class ColumnHeaders;
  // The list's observer hears that the column changed.
  void Changed() const;
  ListView* owner_ = nullptr;
  int32_t index_ = 0;
  std::string key_, text_;
  float width_ = kDefaultWidth;
  int16_t alignment_ = lvwColumnLeft;
  Variant icon_;
  Variant tag_;
  int32_t headerFormat_ = 0x4000;  // HDF_STRING, left
  int32_t headerImage_ = 0;
};
using ColumnHeaderRef = std::shared_ptr<ColumnHeader>;

class ColumnHeaders {
 public:
  explicit ColumnHeaders(ListView& owner) : owner_(owner) {}
  ~ColumnHeaders();

  int32_t Count() const { return static_cast<int32_t>(columns_.size()); }
  // Adds a column at index (1-based; 0 = at the end); a negative width takes the default.
  // Error 35602 for a key in use, 35603 for a numeric key, 35600 for an index out of range.
  ColumnHeaderRef Add(int32_t index = 0, std::string key = {}, std::string text = {}, float width = -1,
                      int16_t alignment = ColumnHeader::lvwColumnLeft, Variant icon = {});
  const ColumnHeaderRef& Item(int32_t index) const;      // 35600 outside 1..Count
  const ColumnHeaderRef& Item(std::string_view key) const;  // 35601 when absent
  const ColumnHeaderRef& Item(const Variant& indexOrKey) const;
  const ColumnHeaderRef& Item(const char* key) const { return Item(std::string_view(key)); }
  const ColumnHeaderRef& operator()(int32_t index) const { return Item(index); }
  void Remove(int32_t index);
  void Remove(std::string_view key);
  void Remove(const char* key) { Remove(std::string_view(key)); }
  void Clear();

  auto begin() const { return columns_.begin(); }
  auto end() const { return columns_.end(); }

 private:
  void Renumber();
  ListView& owner_;
  std::vector<ColumnHeaderRef> columns_;
};

}  // namespace tamarind::platform
