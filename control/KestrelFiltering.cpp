// Kestrel: filtering and the selection queries.

#include "control/Kestrel.h"
#include "dataio/Filtering.h"
#include "dataio/SelectionQueries.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind {

void Kestrel::Filter(const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch) {
  dataio::Filtering(s_, *sort_, FilteredListItems).Filter(searchSTR, SubItemIndex, ExcludeMatch);
}

void Kestrel::FilterWild(const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch) {
  dataio::Filtering(s_, *sort_, FilteredListItems).FilterWild(searchSTR, SubItemIndex, ExcludeMatch);
}

void Kestrel::FilterRemove() { dataio::Filtering(s_, *sort_, FilteredListItems).FilterRemove(); }

std::string Kestrel::GetSelectedKeys(const std::string& Delim) {
  return dataio::SelectionQueries(s_, *sort_).GetSelectedKeys(Delim);
}

std::string Kestrel::GetSelectedIndexes(const std::string& Delim) {
  return dataio::SelectionQueries(s_, *sort_).GetSelectedIndexes(Delim);
}

Kestrel::ListItemRef Kestrel::GetFirstVisible() {
  return ResumeGet<ListItemRef>([&] { return s_.lvLIST->GetFirstVisible(); });
}

Kestrel::ListItemRef Kestrel::FindItem(const std::string& sz, const Variant& Where, const Variant& index,
                              const Variant& fPartial) {
  return ResumeGet<ListItemRef>([&] {
    // A missing Where searches the items' texts; a missing fPartial wants whole texts.
    const int16_t where = Where.IsEmpty() ? int16_t{platform::ListView::lvwText} : CInt(Where);
    const int16_t how = fPartial.IsEmpty() ? int16_t{platform::ListView::lvwWholeWord} : CInt(fPartial);
    return s_.lvLIST->FindItem(sz, where, index, how);
  });
}

}  // namespace tamarind
