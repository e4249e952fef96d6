#pragma once
// Printing the list as a ruled report: an optional centred, underlined title, a header row drawn
// as raised buttons, one row per item with its icons, the cell texts aligned like their columns
// and cut with "..." when too long, the rows filled in two alternating colours, and a centred
// "Page n" at the foot of every page.
//
// The table takes 90% of the printable width (each column in proportion to its width on screen)
// and starts 2.5% of the width from the left edge; rows are 17 screen pixels high.

#include <cstdint>
#include <string>

#include "platform/Toolkit.h"
#include "platform/listview/ListView.h"

namespace tamarind::basLVPRINT {

// Prints every row of lv as one document on the toolkit's printer, in the given orientation
// (1 portrait, 2 landscape). oddColor fills the 1st, 3rd, ... rows, evenColor the 2nd, 4th, ...
// The mouse pointer shows the hourglass for the whole job.
//
// True when the document was finished. When any step fails, the document is abandoned (nothing
// half-printed is handed on), and the pointer, the orientation and the printer's font are put
// back; the result is then False and nothing is raised.
bool PrintListView(platform::Toolkit& tk, platform::ListView& lv, const std::string& title,
                   platform::OLE_COLOR evenColor, platform::OLE_COLOR oddColor, int16_t orientation);

}  // namespace tamarind::basLVPRINT
