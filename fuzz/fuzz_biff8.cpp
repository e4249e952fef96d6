// libFuzzer target: the workbook reader on outside bytes.
//
// The first byte chooses what the rest is: 0 a bare "Workbook" stream of BIFF8 records, anything
// else a whole .xls file (compound document first). Whatever reads without an error must be
// written and read again to the same sheets and cells: the writer may refuse it (a text longer than
// a cell holds) but never write what its reader then refuses.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/spreadsheet/Biff8.h"
#include "runtime/Error.h"

using namespace tamarind;
using namespace tamarind::spreadsheet;

namespace {

bool SameCells(const Workbook& a, const Workbook& b) {
  if (a.SheetCount() != b.SheetCount()) return false;
  for (int32_t s = 0; s < a.SheetCount(); ++s) {
    const Worksheet& x = *a.Sheet(s);
    const Worksheet& y = *b.Sheet(s);
    if (x.Name() != y.Name() || x.CellCount() != y.CellCount()) return false;
    bool same = true;
    x.ForEachCell([&](int32_t r, int32_t c, const Cell& cell) {
      const Cell* other = y.Find(r, c);
      // A written text keeps its characters; ill-formed UTF-16 in the input reads as U+FFFD both times.
      if (!other || other->kind != cell.kind || (cell.kind == Cell::Kind::Text && other->text != cell.text)) same = false;
    });
    if (!same) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::span<const uint8_t> bytes(data + 1, size - 1);
  Workbook book;
  try {
    book = data[0] == 0 ? ReadWorkbookStream(bytes) : ReadWorkbookFile(bytes);
  } catch (const Error&) {
    return 0;
  }
  std::vector<uint8_t> written;
  try {
    written = WriteWorkbookFile(book);
  } catch (const Error&) {
    return 0;
  }
  try {
    if (!SameCells(book, ReadWorkbookFile(written))) std::abort();
  } catch (const Error&) {
    std::abort();  // the reader refused what the writer wrote
  }
  return 0;
}
