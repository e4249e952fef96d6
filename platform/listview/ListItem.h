#pragma once
// A row of the list view and its sub-items.
//
// A ListItem is shared: the list holds it while it is in the list, and anyone else may hold it
// too. A removed item keeps its key, text, icons, tag and sub-items readable for as long as it is
// held; its Index is then 0 and it no longer has a place on screen.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "runtime/Variant.h"

namespace tamarind::platform {

class ListView;
class ListItem;
class ListItems;
class ItemSequence;
class ListSubItem;
class ListSubItems;
using ListItemRef = std::shared_ptr<ListItem>;

class ListItem : public Object, public std::enable_shared_from_this<ListItem> {
 public:
  ListItem(std::string key, std::string text, Variant icon, Variant smallIcon, LPARAM param);
  ~ListItem() override;
  std::string TypeName() const override { return "ListItem"; }

  // 1-based position in the list; 0 once the item has been removed.
  int32_t Index() const;
  // The list the item is in; nullptr once removed.
  ListView* Owner() const { return owner_; }

  const std::string& Key() const { return key_; }
  // Error 35602 for a key another item has, 35603 for a key that reads as a number.
  void Key(std::string k);
  const std::string& Text() const { return text_; }
  void Text(std::string t);
  Variant Tag() const;
  void Tag(Variant t);
  Variant Icon() const;
  void Icon(Variant i);
  Variant SmallIcon() const;
  void SmallIcon(Variant i);
  std::string ToolTipText() const;
  void ToolTipText(std::string t);
  bool Bold() const { return bold_; }
  void Bold(bool b);
  OLE_COLOR ForeColor() const { return foreColor_; }
  void ForeColor(OLE_COLOR c);
  bool Ghosted() const { return ghosted_; }
  void Ghosted(bool g);
  bool Checked() const { return checked_; }
  void Checked(bool c);
  bool Selected() const { return selected_; }
  // With MultiSelect off, selecting an item deselects every other one. A removed item keeps the
  // flag it had.
  void Selected(bool s);

  // Sub-item texts: SubItems(j) for columns j + 1. j must lie in 1 .. ColumnHeaders.Count - 1
  // (Error 35600 otherwise); reading a sub-item the item was never given gives "", writing one
  // gives the item every sub-item up to j.
  std::string SubItems(int32_t j) const;
  void SubItems(int32_t j, std::string text);
  ListSubItems GetListSubItems();

  // Position on screen in twips, relative to the list's client area (Error 91 once removed).
  float Top() const;
  float Left() const;
  float Height() const;
  float Width() const;
  // Scrolls the list so that the item is shown.
  void EnsureVisible();

  // The item parameter: unique in its list, fixed for the item's life.
  LPARAM ItemParam() const { return param_; }

  // Text of column c (0 = the item's own text); "" where the item has no such sub-item.
  const std::string& ColumnText(int32_t c) const;
  // The number of sub-items the item has been given (its ListSubItems.Count), without a reference.
  int32_t SubItemCount() const { return static_cast<int32_t>(subItems_.size()); }

 private:
  friend class ListView;
  friend class ListItems;
  friend class ItemSequence;
  friend class VirtualCache;
  friend class ListSubItem;
  friend class ListSubItems;

  struct SubItemExtras {
    std::string key;
    Variant tag;
    Variant reportIcon;
    bool bold = false;
    OLE_COLOR foreColor = vbWindowText;
    std::string toolTipText;
  };
  struct SubItemData {
    std::string text;
    std::unique_ptr<SubItemExtras> extras;
    SubItemExtras& Extras();
  };
  struct ItemExtras {
    Variant tag;
    Variant icon;
    Variant smallIcon;
    std::string toolTipText;
  };
  ItemExtras& Extras();
  ListView& RequireOwner() const;
  // The text of column c of the row changed (-1: the sub-items moved, so possibly any column): the
  // list may no longer hold its rows in sort order.
  void TextsChanged(int32_t c);
  // The list's observer hears that the row's look changed.
  void Changed() const;

  ListView* owner_ = nullptr;
  // Where the item sits in its list's sequence (kept by ItemSequence).
  void* block_ = nullptr;
  mutable uint32_t hint_ = 0;
  // Where the item sits in its list's selected list while it is selected (kept by ListView).
  uint32_t selectionSlot_ = 0;

  LPARAM param_;
  std::string key_;
  std::string text_;
  std::unique_ptr<ItemExtras> extras_;
  std::vector<SubItemData> subItems_;
  OLE_COLOR foreColor_ = vbWindowText;
  bool bold_ = false, ghosted_ = false, checked_ = false, selected_ = false;
};

// One sub-item of an item, by position: ListSubItems(j). It refers to position j of its item's
// sub-items and keeps the item alive.
class ListSubItem {
 public:
  ListSubItem(ListItemRef item, int32_t index) : item_(std::move(item)), index_(index) {}

  int32_t Index() const { return index_; }
  const ListItemRef& Item() const { return item_; }

  // Each member is Error 35600 when the position no longer exists (a sub-item removed meanwhile).
  const std::string& Text() const;
  void Text(std::string t);
  const std::string& Key() const;
  void Key(std::string k);  // unique among the item's sub-items; 35602 / 35603 as for items
  Variant Tag() const;
  void Tag(Variant t);
  Variant ReportIcon() const;
  void ReportIcon(Variant icon);
  bool Bold() const;
  void Bold(bool b);
  OLE_COLOR ForeColor() const;
  void ForeColor(OLE_COLOR c);
  std::string ToolTipText() const;
  void ToolTipText(std::string t);

 private:
  ListItem::SubItemData& data() const;
  ListItemRef item_;
  int32_t index_;
};

// The sub-items an item has been given (ListSubItems). Sub-item j stands under column j + 1.
class ListSubItems {
 public:
  explicit ListSubItems(ListItemRef item) : item_(std::move(item)) {}
  int32_t Count() const;
  ListSubItem Item(int32_t index) const;  // 35600 outside 1..Count
  ListSubItem Item(std::string_view key) const;  // 35601 when absent
  ListSubItem operator()(int32_t index) const { return Item(index); }
  // Adds a sub-item at index (1-based; 0 = at the end).
  ListSubItem Add(int32_t index = 0, std::string key = {}, std::string text = {}, Variant reportIcon = {},
                  std::string toolTipText = {});
  void Remove(int32_t index);
  void Clear();

 private:
  ListItemRef item_;
};

}  // namespace tamarind::platform
