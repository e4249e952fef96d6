#include "dataio/Filtering.h"

#include <optional>
#include <typeinfo>

#include "core/PaintingLock.h"
#include "runtime/Error.h"
#include "runtime/Like.h"
#include "runtime/Text.h"

namespace tamarind::dataio {

using namespace platform;

void Filtering::Filter(const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch) {
  Run(Test::Exact, searchSTR, SubItemIndex, ExcludeMatch);
}

void Filtering::FilterWild(const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch) {
  Run(Test::Wild, searchSTR, SubItemIndex, ExcludeMatch);
}

void Filtering::Run(Test test, const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch) {
  ListView& lv = *s_.lvLIST;
  const HWND list = lv.hWnd();
  if (lv.Virtual()) return RunInSource(test, searchSTR, SubItemIndex, ExcludeMatch);
  LockWindowInternal(s_.tk, list);
  CleanupAndReraise(
      [&] {
        const bool smart = s_.m_SmartColumnSort;
        int16_t sortKey = 0, sortOrder = 0;
        bool sounds = false;
        if (smart) {
          sortKey = lv.SortKey();
          sortOrder = lv.SortOrder();
          sounds = s_.m_PlaySounds;
          // Silenced for this call only: the member, not the property, since the host's setting
          // has not changed and the form has nothing new to save.
          s_.m_PlaySounds = false;
          sort_.PerformSortOnColumn(1, sdt_STRING, lvASC);
          LockWindowInternal(s_.tk, list);
        }
        TakeOut(test, searchSTR, SubItemIndex, ExcludeMatch);
        if (smart) {
          if (lv.ListItems().Count() >= 1) {
            const SortDataType type = sort_.DetermineSortType(sortKey);
            sort_.PerformSortOnColumn(sortKey + 1, type, static_cast<SortDataDir>(sortOrder));
          }
          s_.m_PlaySounds = sounds;
        }
        LockWindowInternal(s_.tk, 0);
      },
      // A failure leaves the list unlocked; PlaySounds stays off after a failed smart filter.
      [&] { LockWindowInternal(s_.tk, 0); });
}

void Filtering::CheckColumn(int32_t SubItemIndex) const {
  // The cell's column is checked once, as reading the last row's cell would check it: the index
  // goes to the list view as 16 bits, and a sub-item must lie under a column of the list.
  if (SubItemIndex < INT16_MIN || SubItemIndex > INT16_MAX) Raise(err::Overflow, "Kestrel");
  if (SubItemIndex < 0 || (SubItemIndex > 0 && SubItemIndex >= s_.lvLIST->ColumnHeaders().Count()))
    Raise(err::IndexOutOfBounds, "ListItem");
}

void Filtering::RunInSource(Test test, const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch) {
  // The engine tests the cells by the same rules; nothing is parked, since the rows stay in the
  // source, and the rows keep the order the engine gives them (a smart sort's round trip through
  // a text sort of the first column would cost two sorts of every row and change nothing shown).
  ListView& lv = *s_.lvLIST;
  if (lv.ListItems().Count() < 1) return;
  CheckColumn(SubItemIndex);
  if (test == Test::Wild) {
    const LikePattern wellFormed("*" + text::UCase(searchSTR) + "*");  // Error 93 before the engine runs
    static_cast<void>(wellFormed);
  }
  lv.VirtualSource()->AddFilter(platform::VirtualFilter{SubItemIndex, searchSTR, test == Test::Wild, ExcludeMatch});
  lv.VirtualRowsChanged(true);
  lv.ScrollTo(0, lv.ScrollXPx());  // a new set of rows is read from its start
}

void Filtering::TakeOut(Test test, const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch) {
  ListItems& items = s_.lvLIST->ListItems();
  const int32_t count = items.Count();
  if (count < 1) return;
  CheckColumn(SubItemIndex);

  // The wildcard test: the upper-cased cell against "*" + the upper-cased search text + "*".
  std::optional<LikePattern> pattern;
  if (test == Test::Wild) pattern.emplace("*" + text::UCase(searchSTR) + "*");
  std::string upper;  // one buffer for every cell's upper-cased text

  std::vector<ListItemRef> out = items.RemoveIf([&](const ListItem& row) {
    const std::string& cell = row.ColumnText(SubItemIndex);
    bool matches = false;
    if (test == Test::Exact) {
      matches = cell == searchSTR;
    } else {
      text::UCase(cell, upper);
      matches = pattern->Matches(upper);
    }
    return matches == ExcludeMatch;  // taken out
  });
  if (out.empty()) return;
  // Parked from the last row to the first, as they were taken out.
  if (!parked_) parked_ = std::make_shared<Collection>();
  for (ListItemRef& item : out) parked_->Add(Variant(std::move(item)));
}

void Filtering::FilterRemove() {
  if (platform::VirtualRows* source = s_.lvLIST->VirtualSource()) {
    source->ClearFilters();
    s_.lvLIST->VirtualRowsChanged(true);
    s_.lvLIST->ScrollTo(0, s_.lvLIST->ScrollXPx());
    return;
  }
  LockWindowInternal(s_.tk, s_.lvLIST->hWnd());
  CleanupAndReraise(
      [&] {
        if (parked_) {
          // Held here, so that the rows stay alive whatever the collection's owner does meanwhile.
          const std::shared_ptr<Collection> parked = parked_;
          const int32_t count = parked->Count();
          for (int32_t k = 1; k <= count; ++k) {
            const Variant& member = parked->Item(k);
            if (!member.IsObject()) Raise(err::ObjectRequired, "Kestrel");
            const ObjectRef& object = member.AsObject();
            // Rows are ListItems exactly (nothing derives from them): a type check is enough.
            if (!object) Raise(err::TypeMismatch, "Kestrel");
            const Object& held = *object;
            if (typeid(held) != typeid(ListItem)) Raise(err::TypeMismatch, "Kestrel");
            const auto item = std::static_pointer_cast<ListItem>(object);
            Restore(item);
          }
        }
        parked_ = nullptr;
        LockWindowInternal(s_.tk, 0);
      },
      [&] { LockWindowInternal(s_.tk, 0); });
}

void Filtering::Restore(const ListItemRef& parked) {
  // A new row starts with every value at its default: a value equal to it is not assigned again,
  // which changes nothing but keeps rows without tags, icons or styling small.
  ListItemRef row = s_.lvLIST->ListItems().Add(0, parked->Key(), parked->Text(), parked->Icon(), parked->SmallIcon());
  if (Variant tag = parked->Tag(); !tag.IsEmpty()) row->Tag(std::move(tag));

  const ListSubItems from = parked->GetListSubItems();
  const int32_t subItems = from.Count();
  if (subItems == 0) return;
  const ListSubItems to = row->GetListSubItems();
  for (int32_t j = 1; j <= subItems; ++j) {
    const ListSubItem source = from.Item(j);
    row->SubItems(j, source.Text());
    ListSubItem target = to.Item(j);
    if (Variant tag = source.Tag(); !tag.IsEmpty() || !target.Tag().IsEmpty()) target.Tag(std::move(tag));
    if (Variant icon = source.ReportIcon(); !icon.IsEmpty() || !target.ReportIcon().IsEmpty())
      target.ReportIcon(std::move(icon));
    if (source.Bold() != target.Bold()) target.Bold(source.Bold());
    if (source.ForeColor() != target.ForeColor()) target.ForeColor(source.ForeColor());
    if (source.Key() != target.Key()) target.Key(source.Key());
    if (std::string tip = source.ToolTipText(); tip != target.ToolTipText()) target.ToolTipText(std::move(tip));
  }
}

}  // namespace tamarind::dataio
