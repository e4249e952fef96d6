#pragma once
// Reading and building RIFF/WAVE files in tests, independently of the code under test.

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
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
  uint32_t dataBytes = 0;
  std::vector<int16_t> samples;  // 16-bit data only
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
      w.dataBytes = size;
      for (uint32_t i = 0; i + 1 < size; i += 2) w.samples.push_back(static_cast<int16_t>(Le16(body + i)));
      data = true;
    }
    at += 8 + size + (size & 1);
  }
  if (!fmt || !data) return std::nullopt;
  return w;
}

// A WAVE file with the given format and sample bytes; extra chunks may be put before the data.
inline std::vector<uint8_t> BuildWave(uint16_t channels, uint32_t rate, uint16_t bits, const std::vector<uint8_t>& data,
                                      const std::vector<uint8_t>& chunksBeforeData = {}, uint16_t formatTag = 1) {
  std::vector<uint8_t> f;
  auto put = [&](const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    f.insert(f.end(), b, b + n);
  };
  auto put16 = [&](uint16_t v) { put(&v, 2); };  // the test machine is little-endian
  auto put32 = [&](uint32_t v) { put(&v, 4); };
  const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
  put("RIFF", 4);
  put32(0);
  put("WAVE", 4);
  put("fmt ", 4);
  put32(16);
  put16(formatTag);
  put16(channels);
  put32(rate);
  put32(rate * align);
  put16(align);
  put16(bits);
  put(chunksBeforeData.data(), chunksBeforeData.size());
  put("data", 4);
  put32(static_cast<uint32_t>(data.size()));
  put(data.data(), data.size());
  if (data.size() & 1) f.push_back(0);
  const auto riff = static_cast<uint32_t>(f.size() - 8);
  std::memcpy(f.data() + 4, &riff, 4);
  return f;
}

}  // namespace tamarind::testing
