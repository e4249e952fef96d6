#pragma once
// Copying the whole list to the clipboard as tab-separated text, and exporting it to a workbook
// file through the spreadsheet application.

#include <string>

#include "core/KestrelState.h"

namespace tamarind::dataio {

class CopyExport {
 public:
  explicit CopyExport(KestrelState& s);

  // The column headers in index order, then every row, TAB between cells and CR after every line;
  // replaces the clipboard's text. Any error ends the copy silently; the clipboard then keeps what
  // it held.
  void CopyAll();
  // Writes the empty workbook template to FilePathAndName (".xls" is appended, in the caller's
  // variable, when the name does not end in it), opens it in the spreadsheet application, pastes
  // the list, fits the columns, raises ExportToExcelComplete, then saves and closes the workbook
  // when the export started the application (and opens the file when OpenAfterExport), or leaves
  // it open, unsaved, in the instance that was running. Errors are reported in a message box.
  void ExportToExcel(std::string& FilePathAndName, bool OpenAfterExport);

 private:
  // Lays the progress bar over the middle of the list, at 0 of the list's row count.
  void PlaceProgressBar();

  KestrelState& s_;
};

}  // namespace tamarind::dataio
