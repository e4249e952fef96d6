// xlsgen: writes the library's workbook template, an empty workbook with one worksheet "Export",
// with the library's own workbook writer.
//
//   xlsgen <output.xls>

#include <cstring>
#include <iostream>

#include "platform/spreadsheet/Biff8.h"
#include "runtime/Error.h"
#include "runtime/WholeFile.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: xlsgen <output.xls>\n";
    return 2;
  }
  try {
    const auto bytes = tamarind::spreadsheet::WriteWorkbookFile(tamarind::spreadsheet::Workbook::WithSheet("Export"));
    // Whole or not at all: an interrupted build never leaves a template cut short.
    if (const int error = tamarind::WriteWholeFile(argv[1], bytes)) {
      std::cerr << "xlsgen: cannot write " << argv[1] << ": " << std::strerror(error) << "\n";
      return 1;
    }
  } catch (const tamarind::Error& e) {
    std::cerr << "xlsgen: " << e.Description() << "\n";
    return 1;
  }
  return 0;
}
