#pragma once
// Reading RIFF/WAVE files in tests, independently of the code under test.

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace tamarind::testing {

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// The fields of a WAVE file's chunks, as a test checks them.
struct WaveInfo {
  uint32_t riffSize = 0;
  uint16_t formatTag = 0, channels = 0, blockAlign = 0, bitsPerSample = 0;
  uint32_t sampleRate = 0, byteRate = 0;
  std::vector<uint8_t> data;  // the data chunk's bytes
};

inline std::optional<WaveInfo> InspectWave(const std::vector<uint8_t>& f) {
  if (f.size() < 12 || std::memcmp(f.data(), "RIFF", 4) != 0 || std::memcmp(f.data() + 8, "WAVE", 4) != 0)
    return std::nullopt;
  WaveInfo w;
  w.riffSize = Le32(f.data() + 4);
  bool fmt = false, data = false;
  for (size_t at = 12; at + 8 <= f.size();) {
    const uint32_t size = Le32(f.data() + at + 4);
    if (at + 8 + size > f.size()) return std::nullopt;
    const uint8_t* body = f.data() + at + 8;
    if (std::memcmp(f.data() + at, "fmt ", 4) == 0 && size >= 16) {
      w.formatTag = Le16(body);
      w.channels = Le16(body + 2);
      w.sampleRate = Le32(body + 4);
      w.byteRate = Le32(body + 8);
      w.blockAlign = Le16(body + 12);
      w.bitsPerSample = Le16(body + 14);
      fmt = true;
    } else if (std::memcmp(f.data() + at, "data", 4) == 0) {
      w.data.assign(body, body + size);
      data = true;
    }
    at += 8 + size + (size & 1);
  }
  if (!fmt || !data) return std::nullopt;
  return w;
}

}  // namespace tamarind::testing
