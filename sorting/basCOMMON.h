#pragma once
// Small text helpers the sorting code shares with other parts of the control.

#include <string>
#include <string_view>

#include "runtime/Error.h"

namespace tamarind::basCOMMON {

// text with every occurrence of search replaced by replacement, left to right; with
// caseSensitive False, occurrences are found without regard to letter case. An empty search
// changes nothing. On an error: a "Warning" message box and "".
std::string ReplaceChar(MessageBoxService& box, std::string_view text, std::string_view search,
                        std::string_view replacement, bool caseSensitive);

}  // namespace tamarind::basCOMMON
