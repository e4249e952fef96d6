#pragma once
// A workbook file as libfreexl, a reader this project did not write, sees it: every sheet's name
// and every cell's type and value.

#include <freexl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tamarind::testing {

struct XlsCell {
  int type = FREEXL_CELL_NULL;  // FREEXL_CELL_INT, _DOUBLE, _TEXT, _SST_TEXT, _DATE, _DATETIME, _TIME
  int integer = 0;
  double number = 0;
  std::string text;  // text, and dates and times as freexl writes them ("2026-12-06")

  // The value as one string: "int 42", "double 2.5", "text abc", "date 2026-12-06", "null".
  std::string Describe() const {
    switch (type) {
      case FREEXL_CELL_INT: return "int " + std::to_string(integer);
      case FREEXL_CELL_DOUBLE: {
        std::string s = std::to_string(number);
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
        return "double " + s;
      }
      case FREEXL_CELL_TEXT:
      case FREEXL_CELL_SST_TEXT: return "text " + text;
      case FREEXL_CELL_DATE: return "date " + text;
      case FREEXL_CELL_DATETIME: return "datetime " + text;
      case FREEXL_CELL_TIME: return "time " + text;
      default: return "null";
    }
  }
};

struct XlsSheet {
  std::string name;
  uint32_t rows = 0;
  uint32_t columns = 0;
  std::vector<std::vector<XlsCell>> cells;  // [row][column]

  const XlsCell& At(uint32_t row, uint32_t column) const {
    static const XlsCell kNull;
    return row < cells.size() && column < cells[row].size() ? cells[row][column] : kNull;
  }
};

struct XlsFile {
  int openResult = FREEXL_OK;
  uint32_t biffVersion = 0;
  std::vector<XlsSheet> sheets;
};

inline XlsFile ReadWithFreexl(const std::string& path) {
  XlsFile file;
  const void* handle = nullptr;
  file.openResult = freexl_open(path.c_str(), &handle);
  if (file.openResult != FREEXL_OK) {
    freexl_close(handle);
    return file;
  }
  unsigned int count = 0;
  freexl_get_info(handle, FREEXL_BIFF_VERSION, &file.biffVersion);
  freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count);
  for (unsigned int s = 0; s < count; ++s) {
    XlsSheet& sheet = file.sheets.emplace_back();
    const char* name = nullptr;
    freexl_get_worksheet_name(handle, static_cast<unsigned short>(s), &name);
    sheet.name = name ? name : "";
    freexl_select_active_worksheet(handle, static_cast<unsigned short>(s));
    unsigned short columns = 0;
    freexl_worksheet_dimensions(handle, &sheet.rows, &columns);
    sheet.columns = columns;
    sheet.cells.assign(sheet.rows, std::vector<XlsCell>(columns));
    for (unsigned int r = 0; r < sheet.rows; ++r) {
      for (unsigned short c = 0; c < columns; ++c) {
        FreeXL_CellValue v;
        if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK) continue;
        XlsCell& cell = sheet.cells[r][c];
        cell.type = v.type;
        if (v.type == FREEXL_CELL_INT) cell.integer = v.value.int_value;
        else if (v.type == FREEXL_CELL_DOUBLE) cell.number = v.value.double_value;
        else if (v.type != FREEXL_CELL_NULL && v.value.text_value) cell.text = v.value.text_value;
      }
    }
  }
  freexl_close(handle);
  return file;
}

}  // namespace tamarind::testing
