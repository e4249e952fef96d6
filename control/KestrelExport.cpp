// Kestrel: copy and spreadsheet export, forwarded to the data subsystem.

#include "control/Kestrel.h"
#include "dataio/CopyExport.h"

namespace tamarind {

void Kestrel::CopyAll() { export_->CopyAll(); }

void Kestrel::ExportToExcel(std::string& FilePathAndName, bool OpenAfterExport) {
  export_->ExportToExcel(FilePathAndName, OpenAfterExport);
}

void Kestrel::ExportToExcel(const std::string& FilePathAndName, bool OpenAfterExport) {
  std::string copy = FilePathAndName;
  export_->ExportToExcel(copy, OpenAfterExport);
}

}  // namespace tamarind
