#pragma once
// The compound document container of .xls files: a small file system of 512-byte sectors inside
// one file (header, sector allocation table, directory, and a mini stream of 64-byte sectors for
// streams under 4,096 bytes).
//
// The writer makes version-3 files holding one stream in the root storage. The reader takes
// version-3 and version-4 files, any directory tree and any number of allocation-table sectors,
// and treats the bytes as untrusted: a damaged file is Error 1004 with a description of what is
// wrong, never a crash or an unbounded allocation.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tamarind::spreadsheet::cfb {

// A compound file whose root storage holds one stream.
std::vector<uint8_t> Write(std::string_view streamName, std::span<const uint8_t> data);

class Reader {
 public:
  // Reads the header, the allocation tables and the directory. Error 1004 when the bytes are no
  // compound file or the structures are damaged.
  explicit Reader(std::span<const uint8_t> file);

  // The names of the streams in the root storage.
  std::vector<std::string> StreamNames() const;
  // The stream of that name in the root storage (letter case ignored); nullopt when there is none.
  // Error 1004 when its sectors are damaged.
  std::optional<std::vector<uint8_t>> ReadStream(std::string_view name) const;

 private:
  struct Entry {
    std::string name;  // UTF-8
    uint8_t type = 0;  // 1 storage, 2 stream, 5 root
    uint32_t left = 0, right = 0, child = 0;
    uint32_t start = 0;
    uint64_t size = 0;
  };
  std::span<const uint8_t> Sector(uint32_t index) const;
  std::vector<uint32_t> Chain(uint32_t start, const std::vector<uint32_t>& table, size_t limit) const;
  std::vector<uint8_t> ReadChain(uint32_t start, uint64_t size) const;
  std::vector<uint8_t> ReadMini(uint32_t start, uint64_t size) const;
  std::vector<uint32_t> RootChildren() const;

  std::span<const uint8_t> file_;
  uint32_t sectorShift_ = 9;
  uint32_t sectorCount_ = 0;
  std::vector<uint32_t> fat_;
  std::vector<uint32_t> miniFat_;
  std::vector<Entry> entries_;
  uint32_t miniCutoff_ = 4096;
};

}  // namespace tamarind::spreadsheet::cfb
