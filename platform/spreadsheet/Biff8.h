#pragma once
// The .xls workbook file (BIFF8 records in the "Workbook" stream of a compound document).
//
// The writer stores what the model holds: the workbook globals (code page, window, date system,
// fonts, cell formats, the sheets' names and places, the shared string table split into CONTINUE
// records where it outgrows a record, its index), then each worksheet (standard and fitted column
// widths, dimensions, cells as LABELSST, RK, NUMBER and BOOLERR records, window and selection).
//
// The reader takes workbooks of other writers too: inline LABEL and RSTRING cells, MULRK runs,
// formula cells (kept as their last computed values: the engine does not compute formulas),
// custom number formats (to tell dates from numbers) and the 1904 date system. Sheets other than
// worksheets (charts, macro sheets) and files of older formats are refused with Error 1004, as is
// every damaged structure; reading never crashes and never allocates beyond what the bytes hold.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/spreadsheet/Workbook.h"

namespace tamarind::spreadsheet {

// The bytes of the "Workbook" stream.
std::vector<uint8_t> WriteWorkbookStream(const Workbook& book);
Workbook ReadWorkbookStream(std::span<const uint8_t> stream);

// The whole .xls file.
std::vector<uint8_t> WriteWorkbookFile(const Workbook& book);
Workbook ReadWorkbookFile(std::span<const uint8_t> file);

// The file on disk. Error 1004 naming the path and the reason when it cannot be read or written.
// Saving replaces the file whole or leaves it as it was (runtime/WholeFile.h).
Workbook LoadWorkbook(const std::string& path);
void SaveWorkbook(const Workbook& book, const std::string& path);

}  // namespace tamarind::spreadsheet
