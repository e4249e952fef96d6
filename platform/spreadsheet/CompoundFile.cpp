#include "platform/spreadsheet/CompoundFile.h"

#include <algorithm>

#include "platform/spreadsheet/LittleEndian.h"
#include "platform/spreadsheet/Workbook.h"
#include "runtime/Error.h"
#include "runtime/Utf8.h"

namespace tamarind::spreadsheet::cfb {

namespace {

constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr uint32_t kDifSect = 0xFFFFFFFC;
constexpr uint32_t kFatSect = 0xFFFFFFFD;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSect = 0xFFFFFFFF;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr uint32_t kMaxRegularSector = 0xFFFFFFFA;

constexpr size_t kSectorSize = 512;
constexpr size_t kMiniSectorSize = 64;
constexpr uint32_t kMiniCutoff = 4096;
constexpr size_t kHeaderDifatEntries = 109;
constexpr size_t kEntrySize = 128;
constexpr uint8_t kTypeStream = 2, kTypeRoot = 5;

[[noreturn]] void Damaged(const std::string& what) {
  Raise(kEngineError, "CompoundFile", "The file is not a readable workbook: " + what);
}

size_t CeilDiv(size_t a, size_t b) { return (a + b - 1) / b; }

void PutName(std::vector<uint8_t>& out, std::string_view name) {
  // Names are ASCII here; each character becomes one UTF-16 code unit, then the terminator.
  const size_t start = out.size();
  for (char c : name.substr(0, 31)) le::Put16(out, static_cast<unsigned char>(c));
  le::Put16(out, 0);
  const size_t nameBytes = out.size() - start;
  out.resize(start + 64, 0);
  le::Put16(out, static_cast<uint32_t>(nameBytes));
}

void PutEntry(std::vector<uint8_t>& out, std::string_view name, uint8_t type, uint32_t child, uint32_t start,
              uint64_t size) {
  PutName(out, name);
  le::Put8(out, type);
  le::Put8(out, 1);  // black: a one-node tree is a valid red-black tree
  le::Put32(out, kNoStream);
  le::Put32(out, kNoStream);
  le::Put32(out, child);
  out.resize(out.size() + 16 + 4 + 8 + 8, 0);  // class id, state bits, creation and modification times
  le::Put32(out, start);
  le::Put64(out, size);
}

void PutUnusedEntry(std::vector<uint8_t>& out) {
  out.resize(out.size() + 68, 0);
  le::Put32(out, kNoStream);
  le::Put32(out, kNoStream);
  le::Put32(out, kNoStream);
  out.resize(out.size() + 48, 0);
}

std::string UpperAscii(std::string_view s) {
  std::string u(s);
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return u;
}

}  // namespace

std::vector<uint8_t> Write(std::string_view streamName, std::span<const uint8_t> data) {
  const bool mini = data.size() < kMiniCutoff;
  const size_t miniSectors = mini ? CeilDiv(data.size(), kMiniSectorSize) : 0;
  const size_t miniStreamBytes = miniSectors * kMiniSectorSize;
  const size_t miniStreamSectors = CeilDiv(miniStreamBytes, kSectorSize);
  const size_t miniFatSectors = CeilDiv(miniSectors * 4, kSectorSize);
  const size_t streamSectors = mini ? 0 : CeilDiv(data.size(), kSectorSize);
  const size_t dirSectors = 1;  // four entries: the root, the stream, two unused
  const size_t content = dirSectors + miniFatSectors + miniStreamSectors + streamSectors;

  // The allocation table covers every sector, its own included; past 109 table sectors the
  // header's list continues in extension sectors of 127 entries each.
  size_t fatSectors = 1, difatSectors = 0;
  for (;;) {
    const size_t total = content + fatSectors + difatSectors;
    const size_t needFat = CeilDiv(total, kSectorSize / 4);
    const size_t needDifat = needFat > kHeaderDifatEntries ? CeilDiv(needFat - kHeaderDifatEntries, 127) : 0;
    if (needFat == fatSectors && needDifat == difatSectors) break;
    fatSectors = needFat;
    difatSectors = needDifat;
  }
  const auto firstDifat = static_cast<uint32_t>(fatSectors);
  const auto dirStart = static_cast<uint32_t>(firstDifat + difatSectors);
  const auto miniFatStart = static_cast<uint32_t>(dirStart + dirSectors);
  const auto miniStreamStart = static_cast<uint32_t>(miniFatStart + miniFatSectors);
  const auto streamStart = static_cast<uint32_t>(miniStreamStart + miniStreamSectors);
  const size_t totalSectors = streamStart + streamSectors;

  std::vector<uint32_t> fat(fatSectors * (kSectorSize / 4), kFreeSect);
  for (size_t i = 0; i < fatSectors; ++i) fat[i] = kFatSect;
  for (size_t i = 0; i < difatSectors; ++i) fat[firstDifat + i] = kDifSect;
  auto chain = [&](uint32_t start, size_t count) {
    for (size_t i = 0; i < count; ++i)
      fat[start + i] = i + 1 < count ? static_cast<uint32_t>(start + i + 1) : kEndOfChain;
  };
  chain(dirStart, dirSectors);
  chain(miniFatStart, miniFatSectors);
  chain(miniStreamStart, miniStreamSectors);
  chain(streamStart, streamSectors);

  std::vector<uint8_t> out;
  out.reserve((totalSectors + 1) * kSectorSize);
  // Header.
  for (uint8_t b : kSignature) out.push_back(b);
  out.resize(out.size() + 16, 0);  // class id
  le::Put16(out, 0x003E);          // minor version
  le::Put16(out, 0x0003);          // major version 3: 512-byte sectors
  le::Put16(out, 0xFFFE);          // byte order: little-endian
  le::Put16(out, 9);               // sector size 2^9
  le::Put16(out, 6);               // mini sector size 2^6
  out.resize(out.size() + 6, 0);
  le::Put32(out, 0);  // directory sectors (always 0 in version 3)
  le::Put32(out, static_cast<uint32_t>(fatSectors));
  le::Put32(out, dirStart);
  le::Put32(out, 0);  // transaction signature
  le::Put32(out, kMiniCutoff);
  le::Put32(out, miniFatSectors ? miniFatStart : kEndOfChain);
  le::Put32(out, static_cast<uint32_t>(miniFatSectors));
  le::Put32(out, difatSectors ? firstDifat : kEndOfChain);
  le::Put32(out, static_cast<uint32_t>(difatSectors));
  for (size_t i = 0; i < kHeaderDifatEntries; ++i) le::Put32(out, i < fatSectors ? static_cast<uint32_t>(i) : kFreeSect);

  // Allocation table.
  for (uint32_t v : fat) le::Put32(out, v);
  // Its extension sectors.
  for (size_t d = 0; d < difatSectors; ++d) {
    for (size_t k = 0; k < 127; ++k) {
      const size_t fatIndex = kHeaderDifatEntries + d * 127 + k;
      le::Put32(out, fatIndex < fatSectors ? static_cast<uint32_t>(fatIndex) : kFreeSect);
    }
    le::Put32(out, d + 1 < difatSectors ? static_cast<uint32_t>(firstDifat + d + 1) : kEndOfChain);
  }
  // Directory.
  PutEntry(out, "Root Entry", kTypeRoot, 1, miniStreamSectors ? miniStreamStart : kEndOfChain, miniStreamBytes);
  const uint32_t dataStart = data.empty() ? kEndOfChain : mini ? 0 : streamStart;
  PutEntry(out, streamName, kTypeStream, kNoStream, dataStart, data.size());
  PutUnusedEntry(out);
  PutUnusedEntry(out);
  // Mini allocation table.
  if (miniFatSectors) {
    const size_t at = out.size();
    for (size_t i = 0; i < miniSectors; ++i) le::Put32(out, i + 1 < miniSectors ? static_cast<uint32_t>(i + 1) : kEndOfChain);
    out.resize(at + miniFatSectors * kSectorSize, 0xFF);
  }
  // Mini stream, then the stream itself, each padded to whole sectors.
  const size_t dataAt = out.size();
  out.insert(out.end(), data.begin(), data.end());
  out.resize(dataAt + (mini ? miniStreamSectors : streamSectors) * kSectorSize, 0);
  return out;
}

// --- Reader -----------------------------------------------------------------------------------------

Reader::Reader(std::span<const uint8_t> file) : file_(file) {
  if (file.size() < kSectorSize || !std::equal(std::begin(kSignature), std::end(kSignature), file.begin()))
    Damaged("it does not start with a compound document header");
  const uint32_t major = le::Get16(file, 0x1A);
  sectorShift_ = le::Get16(file, 0x1E);
  if (le::Get16(file, 0x1C) != 0xFFFE) Damaged("unknown byte order");
  if (!((major == 3 && sectorShift_ == 9) || (major == 4 && sectorShift_ == 12)))
    Damaged("unknown version or sector size");
  if (le::Get16(file, 0x20) != 6) Damaged("unknown mini sector size");
  const size_t sectorSize = size_t{1} << sectorShift_;
  if (file.size() < sectorSize) Damaged("the file ends inside its header");
  sectorCount_ = static_cast<uint32_t>(std::min<size_t>((file.size() - sectorSize + sectorSize - 1) / sectorSize,
                                                        kMaxRegularSector));
  const uint32_t fatCount = le::Get32(file, 0x2C);
  const uint32_t dirStart = le::Get32(file, 0x30);
  miniCutoff_ = le::Get32(file, 0x38);
  if (miniCutoff_ != kMiniCutoff) Damaged("unknown mini stream cutoff");
  const uint32_t miniFatStart = le::Get32(file, 0x3C);
  const uint32_t miniFatCount = le::Get32(file, 0x40);
  uint32_t difatNext = le::Get32(file, 0x44);
  const uint32_t difatCount = le::Get32(file, 0x48);
  if (fatCount == 0 || fatCount > sectorCount_) Damaged("bad allocation table size");
  if (difatCount > sectorCount_) Damaged("bad allocation table extension size");

  // The sectors of the allocation table: 109 in the header, the rest in extension sectors.
  std::vector<uint32_t> fatSectors;
  fatSectors.reserve(fatCount);
  for (size_t i = 0; i < kHeaderDifatEntries && fatSectors.size() < fatCount; ++i)
    fatSectors.push_back(le::Get32(file, 0x4C + 4 * i));
  const size_t perDifat = sectorSize / 4 - 1;
  for (uint32_t d = 0; d < difatCount && fatSectors.size() < fatCount; ++d) {
    const auto sector = Sector(difatNext);
    for (size_t k = 0; k < perDifat && fatSectors.size() < fatCount; ++k) fatSectors.push_back(le::Get32(sector, 4 * k));
    difatNext = le::Get32(sector, 4 * perDifat);
  }
  if (fatSectors.size() < fatCount) Damaged("the allocation table is incomplete");
  fat_.reserve(fatCount * (sectorSize / 4));
  for (uint32_t s : fatSectors) {
    const auto sector = Sector(s);
    for (size_t k = 0; k < sectorSize / 4; ++k) fat_.push_back(le::Get32(sector, 4 * k));
  }

  // The directory.
  const std::vector<uint8_t> dir = ReadChain(dirStart, UINT64_MAX);
  for (size_t at = 0; at + kEntrySize <= dir.size(); at += kEntrySize) {
    const std::span<const uint8_t> e(dir.data() + at, kEntrySize);
    Entry entry;
    const uint32_t nameBytes = std::min<uint32_t>(le::Get16(e, 0x40), 64);
    std::string name;
    for (uint32_t k = 0; k + 1 < nameBytes; k += 2) {
      const uint32_t unit = le::Get16(e, k);
      if (unit == 0) break;
      // Surrogates and other unpaired units cannot name a stream we look for; keep them visible.
      utf8::Append(name, utf8::IsScalarValue(unit) ? static_cast<char32_t>(unit) : U'\uFFFD');
    }
    entry.name = std::move(name);
    entry.type = e[0x42];
    entry.left = le::Get32(e, 0x44);
    entry.right = le::Get32(e, 0x48);
    entry.child = le::Get32(e, 0x4C);
    entry.start = le::Get32(e, 0x74);
    entry.size = major == 3 ? le::Get32(e, 0x78) : le::Get64(e, 0x78);
    entries_.push_back(std::move(entry));
  }
  if (entries_.empty() || entries_[0].type != kTypeRoot) Damaged("the directory has no root entry");

  // The mini allocation table.
  if (miniFatCount > 0 && miniFatStart != kEndOfChain) {
    const std::vector<uint8_t> table = ReadChain(miniFatStart, UINT64_MAX);
    for (size_t at = 0; at + 4 <= table.size(); at += 4) miniFat_.push_back(le::Get32(table, at));
  }
}

std::span<const uint8_t> Reader::Sector(uint32_t index) const {
  const size_t sectorSize = size_t{1} << sectorShift_;
  if (index >= sectorCount_) Damaged("a sector number points outside the file");
  const size_t at = (static_cast<size_t>(index) + 1) * sectorSize;
  if (at + sectorSize > file_.size()) Damaged("the file ends inside a sector");
  return file_.subspan(at, sectorSize);
}

std::vector<uint32_t> Reader::Chain(uint32_t start, const std::vector<uint32_t>& table, size_t limit) const {
  std::vector<uint32_t> chain;
  for (uint32_t s = start; s != kEndOfChain;) {
    if (s >= table.size()) Damaged("a sector chain leaves its allocation table");
    if (chain.size() >= table.size() || chain.size() >= limit) Damaged("a sector chain runs in a loop");
    chain.push_back(s);
    s = table[s];
  }
  return chain;
}

std::vector<uint8_t> Reader::ReadChain(uint32_t start, uint64_t size) const {
  const size_t sectorSize = size_t{1} << sectorShift_;
  // A chain can be no longer than the file has sectors.
  const std::vector<uint32_t> chain = Chain(start, fat_, sectorCount_);
  if (size != UINT64_MAX && chain.size() * sectorSize < size) Damaged("a stream is shorter than its size");
  std::vector<uint8_t> out;
  out.reserve(chain.size() * sectorSize);
  for (uint32_t s : chain) {
    const auto sector = Sector(s);
    out.insert(out.end(), sector.begin(), sector.end());
  }
  if (size != UINT64_MAX) out.resize(static_cast<size_t>(size));
  return out;
}

std::vector<uint8_t> Reader::ReadMini(uint32_t start, uint64_t size) const {
  const Entry& root = entries_[0];
  const std::vector<uint8_t> miniStream = ReadChain(root.start, root.size);
  const std::vector<uint32_t> chain = Chain(start, miniFat_, miniStream.size() / kMiniSectorSize);
  if (chain.size() * kMiniSectorSize < size) Damaged("a small stream is shorter than its size");
  std::vector<uint8_t> out;
  out.reserve(chain.size() * kMiniSectorSize);
  for (uint32_t s : chain) {
    const size_t at = static_cast<size_t>(s) * kMiniSectorSize;
    if (at + kMiniSectorSize > miniStream.size()) Damaged("a small stream's sector lies outside the mini stream");
    out.insert(out.end(), miniStream.begin() + static_cast<std::ptrdiff_t>(at),
               miniStream.begin() + static_cast<std::ptrdiff_t>(at + kMiniSectorSize));
  }
  out.resize(static_cast<size_t>(size));
  return out;
}

std::vector<uint32_t> Reader::RootChildren() const {
  // The root's children form a binary tree through their left and right siblings.
  std::vector<uint32_t> children;
  std::vector<bool> seen(entries_.size(), false);
  std::vector<uint32_t> pending{entries_[0].child};
  while (!pending.empty()) {
    const uint32_t id = pending.back();
    pending.pop_back();
    if (id == kNoStream) continue;
    if (id >= entries_.size() || seen[id]) Damaged("the directory tree is broken");
    seen[id] = true;
    children.push_back(id);
    pending.push_back(entries_[id].left);
    pending.push_back(entries_[id].right);
  }
  return children;
}

std::vector<std::string> Reader::StreamNames() const {
  std::vector<std::string> names;
  for (uint32_t id : RootChildren())
    if (entries_[id].type == kTypeStream) names.push_back(entries_[id].name);
  return names;
}

std::optional<std::vector<uint8_t>> Reader::ReadStream(std::string_view name) const {
  const std::string wanted = UpperAscii(name);
  for (uint32_t id : RootChildren()) {
    const Entry& e = entries_[id];
    if (e.type != kTypeStream || UpperAscii(e.name) != wanted) continue;
    if (e.size > file_.size()) Damaged("a stream is larger than the file");
    if (e.size == 0) return std::vector<uint8_t>{};
    return e.size < miniCutoff_ ? ReadMini(e.start, e.size) : ReadChain(e.start, e.size);
  }
  return std::nullopt;
}

}  // namespace tamarind::spreadsheet::cfb
