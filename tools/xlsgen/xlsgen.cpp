// xlsgen: writes the library's workbook template, an empty workbook with one worksheet "Export",
// with the library's own workbook writer.
//
//   xlsgen <output.xls>

#include <fstream>
#include <iostream>

#include "platform/spreadsheet/Biff8.h"
#include "runtime/Error.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: xlsgen <output.xls>\n";
    return 2;
  }
  try {
    const auto bytes = tamarind::spreadsheet::WriteWorkbookFile(tamarind::spreadsheet::Workbook::WithSheet("Export"));
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::cerr << "xlsgen: cannot write " << argv[1] << "\n";
      return 1;
    }
  } catch (const tamarind::Error& e) {
    std::cerr << "xlsgen: " << e.Description() << "\n";
    return 1;
  }
  return 0;
}
