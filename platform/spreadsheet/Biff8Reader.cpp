// The BIFF8 reader: the records of a "Workbook" stream as a Workbook. Every length and index in
// the bytes is checked before it is used.

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/spreadsheet/Biff8.h"
#include "platform/spreadsheet/Biff8Records.h"
#include "platform/spreadsheet/CompoundFile.h"
#include "platform/spreadsheet/LittleEndian.h"
#include "runtime/WholeFile.h"
#include "runtime/Error.h"
#include "runtime/Utf8.h"

namespace tamarind::spreadsheet {

namespace {

using namespace biff;

[[noreturn]] void Damaged(const std::string& what) {
  Raise(kEngineError, "Workbook", "The file is not a readable workbook: " + what);
}

struct Record {
  uint16_t id = 0;
  std::span<const uint8_t> data;
};

class RecordCursor {
 public:
  explicit RecordCursor(std::span<const uint8_t> stream, size_t pos = 0) : stream_(stream), pos_(pos) {}
  bool Next(Record& r) {
    if (pos_ + 4 > stream_.size()) return false;
    const uint32_t length = le::Get16(stream_, pos_ + 2);
    if (pos_ + 4 + length > stream_.size()) Damaged("a record runs past the end of the stream");
    r.id = static_cast<uint16_t>(le::Get16(stream_, pos_));
    r.data = stream_.subspan(pos_ + 4, length);
    pos_ += 4 + length;
    return true;
  }
  uint16_t PeekId() const { return pos_ + 4 <= stream_.size() ? static_cast<uint16_t>(le::Get16(stream_, pos_)) : 0; }
  size_t Position() const { return pos_; }

 private:
  std::span<const uint8_t> stream_;
  size_t pos_;
};

void Need(const Record& r, size_t bytes, const char* what) {
  if (r.data.size() < bytes) Damaged(std::string("a ") + what + " record is too short");
}

std::string FromUtf16(const std::vector<uint16_t>& units) {
  std::string s;
  s.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    const uint16_t u = units[i];
    if (u < 0x80) {
      s.push_back(static_cast<char>(u));
    } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      utf8::Append(s, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      utf8::Append(s, U'\uFFFD');
    } else {
      utf8::Append(s, u);
    }
  }
  return s;
}

// The bytes of a record and of the CONTINUE records after it, read across their boundaries.
class Segments {
 public:
  void Add(std::span<const uint8_t> part) { parts_.push_back(part); }
  bool AtEnd() {
    SkipEmpty();
    return part_ >= parts_.size();
  }
  uint8_t Byte() {
    SkipEmpty();
    if (part_ >= parts_.size()) Damaged("the shared strings end early");
    return parts_[part_][at_++];
  }
  uint32_t U16() {
    const uint32_t lo = Byte();
    return lo | static_cast<uint32_t>(Byte()) << 8;
  }
  uint32_t U32() {
    const uint32_t lo = U16();
    return lo | U16() << 16;
  }
  void Skip(size_t n) {
    while (n > 0) {
      SkipEmpty();
      if (part_ >= parts_.size()) Damaged("the shared strings end early");
      const size_t take = std::min(n, parts_[part_].size() - at_);
      at_ += take;
      n -= take;
    }
  }
  // count characters, 8-bit or 16-bit; where they go on in the next record, that record starts
  // with their width flag again.
  std::string Chars(size_t count, bool wide) {
    std::vector<uint16_t> units;
    units.reserve(std::min<size_t>(count, 8224));
    while (units.size() < count) {
      if (part_ < parts_.size() && at_ == parts_[part_].size()) {
        ++part_;
        at_ = 0;
        if (part_ >= parts_.size() || parts_[part_].empty()) Damaged("a shared string ends early");
        wide = parts_[part_][at_++] & 1;
      }
      if (part_ >= parts_.size()) Damaged("a shared string ends early");
      const auto p = parts_[part_];
      const size_t available = (p.size() - at_) / (wide ? 2 : 1);
      if (available == 0) Damaged("a character is split between records");
      const size_t n = std::min(count - units.size(), available);
      for (size_t k = 0; k < n; ++k) {
        units.push_back(wide ? static_cast<uint16_t>(le::Get16(p, at_)) : p[at_]);
        at_ += wide ? 2 : 1;
      }
    }
    return FromUtf16(units);
  }

 private:
  void SkipEmpty() {
    while (part_ < parts_.size() && at_ == parts_[part_].size()) {
      ++part_;
      at_ = 0;
    }
  }
  std::vector<std::span<const uint8_t>> parts_;
  size_t part_ = 0, at_ = 0;
};

// A string inside one record: a character count of 8 or 16 bits, option flags, characters.
std::string RecordString(std::span<const uint8_t> d, size_t& at, bool shortCount) {
  const size_t headerBytes = shortCount ? 2 : 3;
  if (at + headerBytes > d.size()) Damaged("a string runs past its record");
  const size_t count = shortCount ? d[at] : le::Get16(d, at);
  at += shortCount ? 1 : 2;
  const uint8_t flags = d[at++];
  size_t runs = 0, ext = 0;
  if (flags & 0x08) {
    if (at + 2 > d.size()) Damaged("a string runs past its record");
    runs = le::Get16(d, at);
    at += 2;
  }
  if (flags & 0x04) {
    if (at + 4 > d.size()) Damaged("a string runs past its record");
    ext = le::Get32(d, at);
    at += 4;
  }
  const bool wide = flags & 1;
  const size_t bytes = count * (wide ? 2 : 1);
  if (at + bytes > d.size()) Damaged("a string runs past its record");
  std::vector<uint16_t> units(count);
  for (size_t k = 0; k < count; ++k) units[k] = wide ? static_cast<uint16_t>(le::Get16(d, at + 2 * k)) : d[at + k];
  at += bytes;
  at = std::min(d.size(), at + runs * 4 + ext);
  return FromUtf16(units);
}

std::vector<std::string> ReadSharedStrings(Segments& seg) {
  std::vector<std::string> strings;
  seg.U32();  // references to the strings in the whole workbook
  const uint32_t unique = seg.U32();
  for (uint32_t i = 0; i < unique && !seg.AtEnd(); ++i) {
    const uint32_t count = seg.U16();
    const uint8_t flags = seg.Byte();
    const uint32_t runs = flags & 0x08 ? seg.U16() : 0;
    const uint32_t ext = flags & 0x04 ? seg.U32() : 0;
    strings.push_back(seg.Chars(count, flags & 1));
    seg.Skip(static_cast<size_t>(runs) * 4);
    seg.Skip(ext);
  }
  return strings;
}

// How the cells of a number format show their numbers: as numbers, dates, times or both.
NumberFormat ClassifyFormatCode(std::string_view code) {
  bool date = false, time = false, month = false;
  for (size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '"') {
      const size_t close = code.find('"', i + 1);
      if (close == std::string_view::npos) break;
      i = close;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;  // an escaped or spacing character
    } else if (c == '[') {
      const size_t close = code.find(']', i + 1);
      if (close == std::string_view::npos) break;
      const std::string_view inside = code.substr(i + 1, close - i - 1);
      if (!inside.empty() && (inside[0] == 'h' || inside[0] == 'H' || inside[0] == 'm' || inside[0] == 'M' ||
                              inside[0] == 's' || inside[0] == 'S'))
        time = true;  // elapsed hours, minutes or seconds
      i = close;
    } else {
      switch (c) {
        case 'y': case 'Y': case 'd': case 'D': date = true; break;
        case 'h': case 'H': case 's': case 'S': time = true; break;
        case 'm': case 'M': month = true; break;
        default: break;
      }
    }
  }
  if (month && !time) date = true;
  if (date && time) return NumberFormat::DateTime;
  if (date) return NumberFormat::Date;
  if (time) return NumberFormat::Time;
  return NumberFormat::General;
}

NumberFormat BuiltInFormat(uint32_t id) {
  if ((id >= 14 && id <= 17) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58)) return NumberFormat::Date;
  if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47)) return NumberFormat::Time;
  if (id == 22) return NumberFormat::DateTime;
  return NumberFormat::General;
}

struct Globals {
  struct SheetEntry {
    std::string name;
    uint32_t offset = 0;
  };
  std::vector<SheetEntry> sheets;
  std::vector<std::string> strings;
  std::vector<NumberFormat> xfFormats;  // per cell format
  bool date1904 = false;
  size_t end = 0;  // where the globals' EOF record ends
  uint32_t activeSheet = 0;
  bool windowHidden = false;
};

Globals ReadGlobals(std::span<const uint8_t> stream) {
  RecordCursor cur(stream);
  Record r;
  if (!cur.Next(r) || r.id != kBof || r.data.size() < 4) Damaged("the stream does not start with a BOF record");
  if (le::Get16(r.data, 0) != kBiff8Version) Damaged("it is written in an older file format than BIFF8");
  if (le::Get16(r.data, 2) != kGlobalsSubstream) Damaged("the stream does not start with the workbook globals");

  Globals g;
  std::vector<std::pair<uint32_t, NumberFormat>> customFormats;
  std::vector<uint32_t> xfFormatIds;
  while (cur.Next(r)) {
    switch (r.id) {
      case kEof: {
        for (uint32_t id : xfFormatIds) {
          NumberFormat f = BuiltInFormat(id);
          for (const auto& [customId, customFormat] : customFormats)
            if (customId == id) f = customFormat;
          g.xfFormats.push_back(f);
        }
        g.end = cur.Position();
        return g;
      }
      case kBoundSheet: {
        Need(r, 8, "sheet");
        if (r.data[5] != 0) Damaged("it holds a chart, macro or module sheet, which this engine does not keep");
        size_t at = 6;
        Globals::SheetEntry e;
        e.offset = le::Get32(r.data, 0);
        e.name = RecordString(r.data, at, true);
        g.sheets.push_back(std::move(e));
        break;
      }
      case kDateMode:
        Need(r, 2, "date system");
        g.date1904 = le::Get16(r.data, 0) == 1;
        break;
      case kWindow1:
        Need(r, 12, "window");
        g.windowHidden = le::Get16(r.data, 8) & 1;
        g.activeSheet = le::Get16(r.data, 10);
        break;
      case kFormat: {
        Need(r, 2, "number format");
        size_t at = 2;
        customFormats.emplace_back(le::Get16(r.data, 0), ClassifyFormatCode(RecordString(r.data, at, false)));
        break;
      }
      case kXf:
        Need(r, 4, "cell format");
        xfFormatIds.push_back(le::Get16(r.data, 2));
        break;
      case kSst: {
        Segments seg;
        seg.Add(r.data);
        while (cur.PeekId() == kContinue) {
          cur.Next(r);
          seg.Add(r.data);
        }
        g.strings = ReadSharedStrings(seg);
        break;
      }
      case kBof: Damaged("the workbook globals hold another substream");
      default: break;
    }
  }
  Damaged("the workbook globals have no EOF record");
}

Cell NumberCell(double value, uint32_t xf, const Globals& g) {
  const NumberFormat f = xf < g.xfFormats.size() ? g.xfFormats[xf] : NumberFormat::General;
  // Serial numbers of the 1904 date system count from 1 January 1904.
  if (f != NumberFormat::General) value = g.date1904 ? value + 1462 : ModelDays(value);
  return Cell::Number(value, f);
}

double RkValue(uint32_t rk) {
  double v = (rk & 2) ? static_cast<double>(static_cast<int32_t>(rk) >> 2)
                      : std::bit_cast<double>(static_cast<uint64_t>(rk & 0xFFFFFFFC) << 32);
  return (rk & 1) ? v / 100 : v;
}

// Reads one sheet's substream; returns where its EOF record ends.
size_t ReadSheet(std::span<const uint8_t> stream, uint32_t offset, const Globals& g, Worksheet& sheet) {
  if (offset >= stream.size()) Damaged("a sheet lies outside the stream");
  RecordCursor cur(stream, offset);
  Record r;
  if (!cur.Next(r) || r.id != kBof || r.data.size() < 4) Damaged("a sheet does not start with a BOF record");
  if (le::Get16(r.data, 2) != kWorksheetSubstream) Damaged("a sheet is no worksheet");

  auto put = [&](uint32_t row, uint32_t column, Cell cell) {
    if (row >= static_cast<uint32_t>(kMaxRows) || column >= static_cast<uint32_t>(kMaxColumns))
      Damaged("a cell lies outside the sheet");
    sheet.Set(static_cast<int32_t>(row), static_cast<int32_t>(column), std::move(cell));
  };
  // A formula whose text result follows in a STRING record.
  bool textPending = false;
  uint32_t pendingRow = 0, pendingColumn = 0;

  while (cur.Next(r)) {
    const auto& d = r.data;
    switch (r.id) {
      case kEof: return cur.Position();
      case kBof: {
        // An embedded substream (a chart on the sheet): skipped to its own EOF.
        int depth = 1;
        while (depth > 0) {
          if (!cur.Next(r)) Damaged("an embedded substream has no EOF record");
          depth += r.id == kBof ? 1 : r.id == kEof ? -1 : 0;
        }
        break;
      }
      case kLabelSst: {
        Need(r, 10, "text cell");
        const uint32_t index = le::Get32(d, 6);
        if (index >= g.strings.size()) Damaged("a text cell names a shared string that does not exist");
        put(le::Get16(d, 0), le::Get16(d, 2), Cell::Text(g.strings[index]));
        break;
      }
      case kLabel:
      case kRString: {
        Need(r, 9, "text cell");
        size_t at = 6;
        put(le::Get16(d, 0), le::Get16(d, 2), Cell::Text(RecordString(d, at, false)));
        break;
      }
      case kNumber:
        Need(r, 14, "number cell");
        put(le::Get16(d, 0), le::Get16(d, 2), NumberCell(le::GetDouble(d, 6), le::Get16(d, 4), g));
        break;
      case kRk:
        Need(r, 10, "number cell");
        put(le::Get16(d, 0), le::Get16(d, 2), NumberCell(RkValue(le::Get32(d, 6)), le::Get16(d, 4), g));
        break;
      case kMulRk: {
        Need(r, 6, "number cells");
        const size_t count = (d.size() - 6) / 6;
        if (d.size() != 6 + count * 6) Damaged("a run of number cells has a wrong length");
        const uint32_t row = le::Get16(d, 0), first = le::Get16(d, 2);
        for (size_t k = 0; k < count; ++k)
          put(row, first + static_cast<uint32_t>(k),
              NumberCell(RkValue(le::Get32(d, 4 + 6 * k + 2)), le::Get16(d, 4 + 6 * k), g));
        break;
      }
      case kBoolErr:
        Need(r, 8, "truth or error cell");
        put(le::Get16(d, 0), le::Get16(d, 2), d[7] ? Cell::Error(d[6]) : Cell::Boolean(d[6] != 0));
        break;
      case kFormula: {
        Need(r, 20, "formula cell");
        const uint32_t row = le::Get16(d, 0), column = le::Get16(d, 2);
        if (le::Get16(d, 12) == 0xFFFF) {
          switch (d[6]) {
            case 0:
              textPending = true;
              pendingRow = row;
              pendingColumn = column;
              break;
            case 1: put(row, column, Cell::Boolean(d[8] != 0)); break;
            case 2: put(row, column, Cell::Error(d[8])); break;
            default: put(row, column, Cell::Text({})); break;
          }
        } else {
          put(row, column, NumberCell(le::GetDouble(d, 6), le::Get16(d, 4), g));
        }
        break;
      }
      case kString:
        if (textPending) {
          size_t at = 0;
          put(pendingRow, pendingColumn, Cell::Text(RecordString(d, at, false)));
          textPending = false;
        }
        break;
      case kColInfo: {
        Need(r, 10, "column width");
        const uint32_t first = le::Get16(d, 0), last = std::min<uint32_t>(le::Get16(d, 2), kMaxColumns - 1);
        for (uint32_t c = first; c <= last; ++c)
          sheet.SetColumnWidth(static_cast<int32_t>(c), static_cast<uint16_t>(le::Get16(d, 4)));
        break;
      }
      case kSelection: {
        Need(r, 5, "selection");
        const uint32_t row = le::Get16(d, 1), column = le::Get16(d, 3);
        if (row < static_cast<uint32_t>(kMaxRows) && column < static_cast<uint32_t>(kMaxColumns))
          sheet.SetActiveCell({static_cast<int32_t>(row), static_cast<int32_t>(column)});
        break;
      }
      default: break;
    }
  }
  Damaged("a sheet has no EOF record");
}

std::string Reason() { return std::strerror(errno); }

}  // namespace

Workbook ReadWorkbookStream(std::span<const uint8_t> stream) {
  const Globals g = ReadGlobals(stream);
  if (g.sheets.empty()) Damaged("it has no sheet");
  // Sheets are read in the order they lie in the stream, and no two may share records: every
  // record is read once, however the sheet list points into the stream.
  std::vector<size_t> order(g.sheets.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return g.sheets[a].offset < g.sheets[b].offset; });
  std::vector<std::shared_ptr<Worksheet>> sheets(g.sheets.size());
  size_t readUpTo = g.end;
  for (size_t i : order) {
    if (g.sheets[i].offset < readUpTo) Damaged("two parts of the workbook share their records");
    sheets[i] = std::make_shared<Worksheet>(g.sheets[i].name);
    readUpTo = ReadSheet(stream, g.sheets[i].offset, g, *sheets[i]);
  }
  Workbook book;
  for (auto& sheet : sheets) book.InsertSheet(book.SheetCount(), std::move(sheet));
  book.SetActiveSheet(std::min<int32_t>(static_cast<int32_t>(g.activeSheet), book.SheetCount() - 1));
  book.SetWindowHidden(g.windowHidden);
  return book;
}

Workbook ReadWorkbookFile(std::span<const uint8_t> file) {
  const cfb::Reader container(file);
  const auto stream = container.ReadStream("Workbook");
  if (!stream) {
    if (container.ReadStream("Book")) Damaged("it is written in an older file format than BIFF8");
    Damaged("it has no Workbook stream");
  }
  return ReadWorkbookStream(*stream);
}

Workbook LoadWorkbook(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) Raise(kEngineError, "Workbook", "'" + path + "' could not be opened: " + Reason());
  std::vector<uint8_t> bytes;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
  const bool failed = std::ferror(f);
  std::fclose(f);
  if (failed) Raise(kEngineError, "Workbook", "'" + path + "' could not be read");
  try {
    return ReadWorkbookFile(bytes);
  } catch (const Error& e) {
    Raise(e.Number(), "Workbook", "'" + path + "': " + e.Description());
  }
}

void SaveWorkbook(const Workbook& book, const std::string& path) {
  const std::vector<uint8_t> bytes = WriteWorkbookFile(book);
  if (const int error = WriteWholeFile(path, bytes))
    Raise(kEngineError, "Workbook", "'" + path + "' could not be saved: " + std::strerror(error));
}

}  // namespace tamarind::spreadsheet
