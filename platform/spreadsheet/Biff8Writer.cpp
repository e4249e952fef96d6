// The BIFF8 writer: a Workbook as the records of a "Workbook" stream.

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "platform/spreadsheet/Biff8.h"
#include "platform/spreadsheet/Biff8Records.h"
#include "platform/spreadsheet/CellText.h"
#include "platform/spreadsheet/CompoundFile.h"
#include "platform/spreadsheet/LittleEndian.h"
#include "runtime/Error.h"
#include "runtime/Utf8.h"

namespace tamarind::spreadsheet {

namespace {

using namespace biff;

// UTF-8 as UTF-16 code units; an ill-formed byte becomes U+FFFD.
void ToUtf16(std::string_view s, std::vector<uint16_t>& units) {
  units.clear();
  for (size_t i = 0; i < s.size();) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      units.push_back(b);
      ++i;
      continue;
    }
    const utf8::Char ch = utf8::Decode(s, i);
    i += ch.length;
    const char32_t c = ch.valid ? ch.codePoint : U'\uFFFD';
    if (c > 0xFFFF) {
      units.push_back(static_cast<uint16_t>(0xD800 + ((c - 0x10000) >> 10)));
      units.push_back(static_cast<uint16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<uint16_t>(c));
    }
  }
}

bool NeedsWide(const std::vector<uint16_t>& units) {
  return std::any_of(units.begin(), units.end(), [](uint16_t u) { return u > 0xFF; });
}

void PutChars(std::vector<uint8_t>& out, const uint16_t* units, size_t n, bool wide) {
  for (size_t i = 0; i < n; ++i) {
    if (wide) le::Put16(out, units[i]);
    else le::Put8(out, units[i]);
  }
}

class StreamWriter {
 public:
  std::vector<uint8_t> out;

  // Starts a record; End() fills in its length.
  void Begin(uint16_t id) {
    le::Put16(out, id);
    le::Put16(out, 0);
    dataStart_ = out.size();
  }
  void End() {
    const size_t length = out.size() - dataStart_;
    if (length > kMaxRecordData) Raise(kEngineError, "Workbook", "A record outgrew its size limit");
    le::Set16(out, dataStart_ - 2, static_cast<uint32_t>(length));
  }
  size_t Space() const { return kMaxRecordData - (out.size() - dataStart_); }
  size_t RecordHeaderStart() const { return dataStart_ - 4; }

  void Bof(uint16_t substream) {
    Begin(kBof);
    le::Put16(out, kBiff8Version);
    le::Put16(out, substream);
    le::Put16(out, 0x0DBB);  // build
    le::Put16(out, 0x07CC);  // year
    le::Put32(out, 0);       // file history
    le::Put32(out, 0x0006);  // lowest version that can read the file: BIFF8
    End();
  }
  void Eof() {
    Begin(kEof);
    End();
  }
  // A string with an 8-bit character count (sheet and font names).
  void ShortString(std::string_view s) {
    ToUtf16(s, units_);
    const bool wide = NeedsWide(units_);
    le::Put8(out, static_cast<uint32_t>(units_.size()));
    le::Put8(out, wide ? 1 : 0);
    PutChars(out, units_.data(), units_.size(), wide);
  }

 private:
  size_t dataStart_ = 0;
  std::vector<uint16_t> units_;
};

// The strings of every text cell, in the order the sheets' cells are written, and the unique
// strings in first-use order.
struct StringTable {
  std::vector<std::string_view> unique;
  std::vector<uint32_t> cellIndex;  // per text cell, in write order
  uint32_t total = 0;
};

StringTable CollectStrings(const Workbook& book) {
  StringTable t;
  std::unordered_map<std::string_view, uint32_t> index;
  for (int32_t s = 0; s < book.SheetCount(); ++s) {
    book.Sheet(s)->ForEachCell([&](int32_t row, int32_t column, const Cell& cell) {
      if (cell.kind != Cell::Kind::Text) return;
      if (Utf16Length(cell.text) > static_cast<size_t>(kMaxTextLength))
        Raise(kEngineError, "Workbook",
              "The text of cell " + CellName({row, column}) + " is longer than the 32,767 characters a cell holds");
      auto [it, added] = index.try_emplace(cell.text, static_cast<uint32_t>(t.unique.size()));
      if (added) t.unique.push_back(cell.text);
      t.cellIndex.push_back(it->second);
      ++t.total;
    });
  }
  return t;
}

void WriteSst(StreamWriter& w, const StringTable& t) {
  // The index record lists the stream position of every dsst-th string, in at most 128 buckets.
  const size_t perBucket = std::max<size_t>(8, (t.unique.size() + 127) / 128);
  struct Bucket {
    uint32_t streamPos;
    uint16_t recordOffset;
  };
  std::vector<Bucket> buckets;

  w.Begin(kSst);
  le::Put32(w.out, t.total);
  le::Put32(w.out, static_cast<uint32_t>(t.unique.size()));
  std::vector<uint16_t> units;
  auto startContinue = [&] {
    w.End();
    w.Begin(kContinue);
  };
  for (size_t i = 0; i < t.unique.size(); ++i) {
    ToUtf16(t.unique[i], units);
    const bool wide = NeedsWide(units);
    const size_t charBytes = wide ? 2 : 1;
    // How many of the units from `from` on fit into `room` units. A record never ends between
    // the two halves of a surrogate pair: readers decode each record's characters on their own,
    // and half a character makes the whole string (or workbook) unreadable to them.
    auto fit = [&](size_t from, size_t room) {
      size_t n = std::min(units.size() - from, room);
      if (from + n < units.size() && n > 0 && units[from + n - 1] >= 0xD800 && units[from + n - 1] <= 0xDBFF) --n;
      return n;
    };
    auto firstRoom = [&](size_t space) { return space < 3 ? 0 : (space - 3) / charBytes; };
    // How many times the string is split when it starts with `space` bytes left in its record.
    auto splits = [&](size_t space) {
      size_t done = fit(0, firstRoom(space)), count = 0;
      for (; done < units.size(); ++count) done += fit(done, (kMaxRecordData - 1) / charBytes);
      return count;
    };
    // The header and the first character are never split from each other; and a string starts in
    // a new record when that splits it less often (some readers follow a string over one record
    // boundary only).
    if (fit(0, firstRoom(w.Space())) == 0 || splits(w.Space()) > splits(kMaxRecordData)) startContinue();
    if (i % perBucket == 0)
      buckets.push_back({static_cast<uint32_t>(w.out.size()), static_cast<uint16_t>(w.out.size() - w.RecordHeaderStart())});
    le::Put16(w.out, static_cast<uint32_t>(units.size()));
    le::Put8(w.out, wide ? 1 : 0);
    size_t done = 0;
    for (;;) {
      const size_t n = fit(done, w.Space() / charBytes);
      PutChars(w.out, units.data() + done, n, wide);
      done += n;
      if (done == units.size()) break;
      // The characters go on in a CONTINUE record that starts with their width flag again.
      startContinue();
      le::Put8(w.out, wide ? 1 : 0);
    }
  }
  w.End();

  w.Begin(kExtSst);
  le::Put16(w.out, static_cast<uint32_t>(perBucket));
  for (const Bucket& b : buckets) {
    le::Put32(w.out, b.streamPos);
    le::Put16(w.out, b.recordOffset);
    le::Put16(w.out, 0);
  }
  w.End();
}

void WriteGlobals(StreamWriter& w, const Workbook& book, const StringTable& strings,
                  std::vector<size_t>& sheetOffsetFields) {
  auto& out = w.out;
  w.Bof(kGlobalsSubstream);

  w.Begin(kCodepage);
  le::Put16(out, kUtf16CodePage);
  w.End();

  w.Begin(kWindow1);
  le::Put16(out, 0x0168);  // position and size of the window, twips
  le::Put16(out, 0x001E);
  le::Put16(out, 0x4000);
  le::Put16(out, 0x2000);
  le::Put16(out, 0x0038 | (book.WindowHidden() ? 0x0001 : 0));  // scroll bars and tabs shown
  le::Put16(out, static_cast<uint32_t>(book.ActiveSheet()));
  le::Put16(out, 0);  // first tab shown
  le::Put16(out, 1);  // sheets selected
  le::Put16(out, 0x0258);
  w.End();

  w.Begin(kDateMode);
  le::Put16(out, 0);  // the 1900 date system
  w.End();

  // Four fonts: the default one and its bold, italic and bold italic forms, all Arial 10.
  for (uint32_t style = 0; style < 4; ++style) {
    w.Begin(kFont);
    le::Put16(out, 200);                     // height, 1/20 point
    le::Put16(out, style & 2 ? 0x0002 : 0);  // italic
    le::Put16(out, 0x7FFF);                  // automatic colour
    le::Put16(out, style & 1 ? 700 : 400);   // weight
    le::Put16(out, 0);                       // no super- or subscript
    le::Put8(out, 0);                        // no underline
    le::Put8(out, 2);                        // family: swiss
    le::Put8(out, 0);                        // character set
    le::Put8(out, 0);
    w.ShortString("Arial");
    w.End();
  }

  // Fifteen style formats, then the cell formats the cells use.
  auto xf = [&](uint16_t font, uint16_t format, bool style, uint8_t usedAttributes) {
    w.Begin(kXf);
    le::Put16(out, font);
    le::Put16(out, format);
    le::Put16(out, style ? 0xFFF5 : 0x0001);  // locked; style formats have no parent
    le::Put8(out, 0x20);                      // aligned to the bottom
    le::Put8(out, 0);                         // no rotation
    le::Put8(out, 0);                         // no indent
    le::Put8(out, usedAttributes);
    le::Put32(out, 0);       // no borders
    le::Put32(out, 0);       // border colours
    le::Put16(out, 0x20C0);  // automatic pattern colours
    w.End();
  };
  xf(0, 0, true, 0);
  for (int i = 1; i < 15; ++i) xf(0, 0, true, 0xF4);
  xf(0, 0, false, 0);
  xf(0, 14, false, 0x04);  // the number format is this format's own
  xf(0, 22, false, 0x04);
  xf(0, 21, false, 0x04);

  w.Begin(kStyle);
  le::Put16(out, 0x8000);  // built-in style on format 0
  le::Put8(out, 0);        // "Normal"
  le::Put8(out, 0xFF);
  w.End();

  for (int32_t s = 0; s < book.SheetCount(); ++s) {
    w.Begin(kBoundSheet);
    sheetOffsetFields.push_back(out.size());
    le::Put32(out, 0);  // where the sheet's BOF is, filled in once the sheet is written
    le::Put8(out, 0);   // visible
    le::Put8(out, 0);   // worksheet
    w.ShortString(book.Sheet(s)->Name());
    w.End();
  }

  WriteSst(w, strings);
  w.Eof();
}

std::optional<uint32_t> ToRk(double d) {
  constexpr double kLow = -536870912.0, kHigh = 536870911.0;  // 30-bit integers
  if (d == std::floor(d) && d >= kLow && d <= kHigh && !(d == 0 && std::signbit(d)))
    return static_cast<uint32_t>(static_cast<int32_t>(d)) << 2 | 2;
  const uint64_t bits = std::bit_cast<uint64_t>(d);
  if ((bits & 0x3FFFFFFFFull) == 0) return static_cast<uint32_t>(bits >> 32);
  const double hundred = d * 100;
  if (hundred == std::floor(hundred) && hundred >= kLow && hundred <= kHigh &&
      static_cast<double>(static_cast<int32_t>(hundred)) / 100 == d)
    return static_cast<uint32_t>(static_cast<int32_t>(hundred)) << 2 | 3;
  return std::nullopt;
}

uint16_t XfOf(const Cell& cell) {
  if (cell.kind != Cell::Kind::Number) return kXfGeneral;
  switch (cell.format) {
    case NumberFormat::Date: return kXfDate;
    case NumberFormat::DateTime: return kXfDateTime;
    case NumberFormat::Time: return kXfTime;
    case NumberFormat::General: break;
  }
  return kXfGeneral;
}

void WriteSheet(StreamWriter& w, const Worksheet& sheet, bool active, const StringTable& strings, size_t& nextString) {
  auto& out = w.out;
  w.Bof(kWorksheetSubstream);

  w.Begin(kDefColWidth);
  le::Put16(out, 8);
  w.End();
  for (int32_t c = 0; c < kMaxColumns; ++c) {
    const auto width = sheet.ColumnWidth(c);
    if (!width) continue;
    w.Begin(kColInfo);
    le::Put16(out, static_cast<uint32_t>(c));
    le::Put16(out, static_cast<uint32_t>(c));
    le::Put16(out, *width);
    le::Put16(out, kXfGeneral);
    le::Put16(out, 0x0006);  // set by the user, fitted to the contents
    le::Put16(out, 0);
    w.End();
  }

  const Worksheet::Bounds b = sheet.UsedBounds();
  w.Begin(kDimensions);
  le::Put32(out, static_cast<uint32_t>(b.firstRow));
  le::Put32(out, static_cast<uint32_t>(b.endRow));
  le::Put16(out, static_cast<uint32_t>(b.firstColumn));
  le::Put16(out, static_cast<uint32_t>(b.endColumn));
  le::Put16(out, 0);
  w.End();

  sheet.ForEachCell([&](int32_t row, int32_t column, const Cell& cell) {
    auto head = [&](uint16_t id) {
      w.Begin(id);
      le::Put16(out, static_cast<uint32_t>(row));
      le::Put16(out, static_cast<uint32_t>(column));
      le::Put16(out, XfOf(cell));
    };
    switch (cell.kind) {
      case Cell::Kind::Text:
        head(kLabelSst);
        le::Put32(out, strings.cellIndex[nextString++]);
        break;
      case Cell::Kind::Number: {
        const double value = cell.format == NumberFormat::General ? cell.number : FileSerial(cell.number);
        if (const auto rk = ToRk(value)) {
          head(kRk);
          le::Put32(out, *rk);
        } else {
          head(kNumber);
          le::PutDouble(out, value);
        }
        break;
      }
      case Cell::Kind::Boolean:
      case Cell::Kind::Error:
        head(kBoolErr);
        le::Put8(out, cell.kind == Cell::Kind::Boolean ? (cell.number != 0 ? 1 : 0) : cell.errorCode);
        le::Put8(out, cell.kind == Cell::Kind::Error ? 1 : 0);
        break;
      case Cell::Kind::Empty: return;
    }
    w.End();
  });

  w.Begin(kWindow2);
  le::Put16(out, active ? 0x06B6 : 0x00B6);  // grid, headers, zeros, outline; the active sheet is selected
  le::Put16(out, 0);                         // first row shown
  le::Put16(out, 0);                         // first column shown
  le::Put16(out, 0x40);                      // grid colour: automatic
  le::Put16(out, 0);
  le::Put16(out, 0);  // zoom of the page break preview
  le::Put16(out, 0);  // zoom of the normal view
  le::Put32(out, 0);
  w.End();

  const CellRef a = sheet.ActiveCell();
  w.Begin(kSelection);
  le::Put8(out, 3);  // the pane of a window that is not split
  le::Put16(out, static_cast<uint32_t>(a.row));
  le::Put16(out, static_cast<uint32_t>(a.column));
  le::Put16(out, 0);
  le::Put16(out, 1);
  le::Put16(out, static_cast<uint32_t>(a.row));
  le::Put16(out, static_cast<uint32_t>(a.row));
  le::Put8(out, static_cast<uint32_t>(a.column));
  le::Put8(out, static_cast<uint32_t>(a.column));
  w.End();

  w.Eof();
}

}  // namespace

std::vector<uint8_t> WriteWorkbookStream(const Workbook& book) {
  if (book.SheetCount() == 0) Raise(kEngineError, "Workbook", "A workbook must hold at least one sheet");
  const StringTable strings = CollectStrings(book);
  StreamWriter w;
  size_t cells = 0;
  for (int32_t s = 0; s < book.SheetCount(); ++s) cells += book.Sheet(s)->CellCount();
  w.out.reserve(4096 + cells * 18);
  std::vector<size_t> offsetFields;
  WriteGlobals(w, book, strings, offsetFields);
  size_t nextString = 0;
  for (int32_t s = 0; s < book.SheetCount(); ++s) {
    le::Set32(w.out, offsetFields[static_cast<size_t>(s)], static_cast<uint32_t>(w.out.size()));
    WriteSheet(w, *book.Sheet(s), s == book.ActiveSheet(), strings, nextString);
  }
  return std::move(w.out);
}

std::vector<uint8_t> WriteWorkbookFile(const Workbook& book) {
  const std::vector<uint8_t> stream = WriteWorkbookStream(book);
  return cfb::Write("Workbook", stream);
}

}  // namespace tamarind::spreadsheet
