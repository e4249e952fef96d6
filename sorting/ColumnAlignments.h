#pragma once
// The alignments of all columns as one text ("0,1,2" for left, right, centre), saved before and
// restored after operations that disturb the header.

#include <string>

#include "platform/listview/ListView.h"
#include "runtime/Error.h"

namespace tamarind::sorting {

// "" for a list without columns. On an error: a message box and "".
std::string GetColumnAlignments(MessageBoxService& box, platform::ListView& list);
// Assigns each listed alignment to its column in turn. On an error: a message box; the columns
// assigned before it keep their alignment.
void SetColumnAlignments(MessageBoxService& box, platform::ListView& list, const std::string& alignments);

}  // namespace tamarind::sorting
