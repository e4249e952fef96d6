#pragma once
// CEXCEL: one workbook opened in the spreadsheet application for an export. The host receives it
// in ExportToExcelComplete and may read and write cells and add sheets before the workbook is
// saved. Hosts cannot create one.
//
// Every method except CloseExcel ignores errors: a failing step is skipped, and a function whose
// value could not be read returns its empty value (0, "", Empty).

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Toolkit.h"
#include "runtime/Variant.h"

namespace tamarind {

namespace dataio {
class CopyExport;
}

class CEXCEL {
 public:
  // The workbook's automation object (what GetObject returned for the file name), or Nothing.
  Variant XL = Variant::Nothing();
  // True when no instance of the spreadsheet application was running when the workbook was
  // opened, so that one was started for it; CloseExcel then quits that instance.
  bool ExcelWasNotRunning = false;

  // Opens the workbook file, in the running instance when there is one.
  void OpenExcel(const std::string& FileName, const bool& MakeVisible = false);
  // Shows every window of the application, then saves every workbook (or turns the application's
  // alerts off, discarding), quits the instance this object started, and lets the workbook go.
  // Errors reach the caller.
  void CloseExcel(const bool& SaveWorkBooks);
  int32_t SheetCount();
  // The name of sheet sNUM (1-based).
  std::string SheetName(const int32_t& sNUM);
  // The value of the cell at Column and row ("B" and 3: B3) of sheet SheetNumber.
  Variant GetCell(const int32_t& SheetNumber, const std::string& Column, const int32_t& row);
  void WriteToCell(const Variant& pValue, const int32_t& SheetNumber, const std::string& Column, const int32_t& row);
  // Adds a sheet before the first one and names it sNAME.
  void AddShet(const std::string& sNAME);

 private:
  friend class dataio::CopyExport;
  explicit CEXCEL(platform::Toolkit& tk) : tk_(tk) {}
  // Asks a spreadsheet application that runs without being reachable to make itself reachable.
  void SignalExcelWindow();

  platform::Toolkit& tk_;
};

}  // namespace tamarind
