#pragma once
// The common-controls tab strip: a 1-based collection of tabs, one of them selected.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Control.h"

namespace tamarind::platform {

class TabStrip;

class Tab {
 public:
  int32_t Index() const { return index_; }
  const std::string& Key() const { return key_; }
  const std::string& Caption() const { return caption_; }
  void Caption(std::string c);
  bool Selected() const;
  void Selected(bool v);  // selecting a tab deselects the others and raises the strip's Click
  const std::string& Tag() const { return tag_; }
  void Tag(std::string t) { tag_ = std::move(t); }

 private:
  friend class TabStrip;
  TabStrip* owner_ = nullptr;
  int32_t index_ = 0;
  std::string key_, caption_, tag_;
};

class TabStrip : public Control {
 public:
  static constexpr int16_t tabTabs = 0;
  static constexpr int16_t tabButtons = 1;
  static constexpr int16_t tabFlatButtons = 2;
  static constexpr int16_t tabPlacementTop = 0;
  static constexpr int16_t tabPlacementBottom = 1;

  TabStrip(Toolkit& tk, Window* parent);

  // Tabs collection.
  int32_t Count() const { return static_cast<int32_t>(tabs_.size()); }
  // Adds a tab at index (1-based; 0 = at the end). The first tab added becomes the selected one.
  // Error 35602 for a key in use, 35600 for an index out of range.
  Tab& Add(int32_t index = 0, std::string key = {}, std::string caption = {});
  Tab& Item(int32_t index);  // Error 35600 outside 1..Count
  const Tab& Item(int32_t index) const;
  void Remove(int32_t index);
  void Clear();

  // Nothing (nullptr) when there are no tabs.
  Tab* SelectedItem() const;
  int16_t Style() const { return style_; }
  void Style(int16_t s);
  int16_t Placement() const { return placement_; }
  void Placement(int16_t p);

 private:
  friend class Tab;
  void Select(Tab& t);
  void Renumber();
  std::vector<std::unique_ptr<Tab>> tabs_;
  Tab* selected_ = nullptr;
  int16_t style_ = tabTabs, placement_ = tabPlacementTop;
};

}  // namespace tamarind::platform
