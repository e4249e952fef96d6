#pragma once
// The in-process spreadsheet application: an automation server of the class "Excel.Application"
// over the workbook engine, reached through the toolkit's GetObject and CreateObject.
//
// Its object model answers late-bound calls (runtime/Dispatch.h), names matched without regard to
// letter case:
//
//   Application  Visible, DisplayAlerts, Workbooks, Windows, ActiveWorkbook, ActiveSheet, Sheets,
//                Worksheets, Quit, Application, Parent
//   Workbooks    Count, Item (default), Open, Add
//   Workbook     Name, FullName, Path, Saved, Sheets, Worksheets, ActiveSheet, Windows, Save,
//                SaveAs, Close, Activate
//   Sheets       Count, Item (default), Add (named Before, After, Count)
//   Worksheet    Name, Index, Range, Cells, UsedRange, Select, Activate, Paste (named Destination)
//   Range        Value (default), Text, Address, Row, Column, Count, Cells, Item, EntireColumn,
//                EntireRow, AutoFit, Select, Activate, ClearContents, Worksheet
//   Windows      Count, Item (default);  Window  Visible, Caption
// and every object has Application and Parent. An unknown member is Error 438; a collection
// index out of range Error 9; what the engine refuses (an address outside the sheet, a name
// already taken, a paste beyond the last row or column, a file that cannot be read or written)
// Error 1004 with a description that says why.
//
// Running instances: an instance enters the toolkit's running objects when it starts
// (CreateObject, StartApplication, or GetObject with a file name while none runs) and leaves them
// when it quits. GetObject with the class alone finds the running instance (Error 429 while none
// runs); GetObject with a file name opens the workbook in the running instance, or starts one for
// it, and returns the workbook with its window hidden, as an automation client's workbook is.
// Paste reads the clipboard of the toolkit the instance runs on.
//
// The instance owns no top-level window: it is reachable from the moment it starts, so there is
// never an instance to be signalled into the running objects.

#include "platform/Toolkit.h"
#include "runtime/Variant.h"

namespace tamarind::spreadsheet {

inline constexpr const char* kApplicationClass = "Excel.Application";

// Registers the application's class (and the ".xls" documents it opens) with the automation
// classes every Toolkit consults. Calling it again changes nothing.
void RegisterAutomationServer();

// The error a worksheet's Paste gives for a block of rows lines that does not fit below row
// atRow (1-based): what a caller that knows the size already can raise without copying it.
[[noreturn]] void RefusePasteRows(int64_t rows, int32_t atRow);

// Starts an instance on the toolkit's desktop, as CreateObject does, and returns its Application
// object. A host that starts an instance before an export keeps the exported workbook open in it;
// the host ends the instance with its Quit.
Variant StartApplication(platform::Toolkit& tk);

}  // namespace tamarind::spreadsheet
