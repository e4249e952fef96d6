#pragma once
// Styling of whole columns of every current row: bold text, or a text colour. The columns are an
// index list ("0" the item's own text, n sub-item n, separated by commas). Each call styles the
// rows present now; rows added later are plain.
//
// Each stops at its first error with a "Warning" message box (what was styled stays styled): a
// token that is no number ("1,x"), or a column the list does not have. A row whose trailing cells
// were never filled has nothing to style in those columns and is passed over.

#include <string>
#include <string_view>

#include "platform/listview/ListView.h"
#include "runtime/Error.h"

namespace tamarind::presentation {

void SetEditableItemsBold(MessageBoxService& box, platform::ListView& list, const std::string& idxSTR);
void SetEditableItemsForeColor(MessageBoxService& box, platform::ListView& list, const std::string& idxSTR,
                               platform::OLE_COLOR clr);
void SetNonEditableItemsForeColor(MessageBoxService& box, platform::ListView& list, const std::string& idxSTR,
                                  platform::OLE_COLOR clr);

}  // namespace tamarind::presentation
