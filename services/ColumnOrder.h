#pragma once
// Keeping the user's column order between sessions.
//
// The order is the list view's column order array (0-based column numbers from left to right),
// stored as decimal numbers joined by "," ("2,0,1") in the current user's registry under
// Software\TAMARIND\COLUMNORDERS\<appName>, value <settingName>. Nothing is stored or restored
// unless both names are not "".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Toolkit.h"
#include "platform/listview/ListView.h"

namespace tamarind::services {

// The list's display order as text ("0,1,2" for the unchanged order of three columns); "" when
// the list view does not answer.
std::string GetColumnOrderText(platform::Toolkit& tk, platform::ListView& list);

// The entries of a stored order text, split at "," (one more than the commas), each trimmed of
// spaces and converted to a 32-bit integer (the conversion's error for an entry that is not one);
// std::nullopt when the text is empty or has another number of entries than columnCount. The
// order is not checked further: the list view refuses one that is not a permutation of its columns.
std::optional<std::vector<int32_t>> ParseColumnOrder(std::string_view text, int32_t columnCount);

// Reads the stored order and gives it to the list view, then repaints the list. A missing or empty
// setting, or one with another number of entries than the list has columns, is ignored (False).
// An entry that is not a number raises the conversion's error. True when the list view took the
// order.
bool ApplySavedColumnOrder(platform::Toolkit& tk, platform::ListView& list, std::string_view appName,
                           std::string_view settingName);

// Stores the list's current order; every error is ignored.
void SaveColumnOrder(platform::Toolkit& tk, platform::ListView& list, std::string_view appName,
                     std::string_view settingName);

// Applies the stored order; errors go to the caller.
void RestoreColumnOrder(platform::Toolkit& tk, platform::ListView& list, std::string_view appName,
                        std::string_view settingName);

}  // namespace tamarind::services
