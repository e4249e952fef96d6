#pragma once
// Reading RIFF/WAVE files in tests, independently of the code under test.

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace tamarind::testing {

// The little-endian number of `bytes` bytes at p.
inline uint32_t Le(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

// The fields of a WAVE file's chunks, as a test checks them.
struct WaveInfo {
  uint32_t riffSize = 0;
  uint32_t formatTag = 0, channels = 0, sampleRate = 0, byteRate = 0, blockAlign = 0, bitsPerSample = 0;
  std::vector<uint8_t> data;  // the data chunk's bytes
};

inline std::optional<WaveInfo> InspectWave(const std::vector<uint8_t>& f) {
  if (f.size() < 12 || std::memcmp(f.data(), "RIFF", 4) != 0 || std::memcmp(f.data() + 8, "WAVE", 4) != 0)
    return std::nullopt;
  WaveInfo w;
  w.riffSize = Le(f.data() + 4, 4);
  bool fmt = false, data = false;
  for (size_t at = 12; at + 8 <= f.size();) {
    const uint32_t size = Le(f.data() + at + 4, 4);
    if (at + 8 + size > f.size()) return std::nullopt;
    const uint8_t* body = f.data() + at + 8;
    if (std::memcmp(f.data() + at, "fmt ", 4) == 0 && size >= 16) {
      w.formatTag = Le(body, 2);
      w.channels = Le(body + 2, 2);
      w.sampleRate = Le(body + 4, 4);
      w.byteRate = Le(body + 8, 4);
      w.blockAlign = Le(body + 12, 2);
      w.bitsPerSample = Le(body + 14, 2);
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
