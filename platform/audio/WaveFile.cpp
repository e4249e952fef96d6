#include "platform/audio/WaveFile.h"

#include <cstring>

namespace tamarind::platform::audio {

namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
bool Tag(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

}  // namespace

std::optional<WaveData> ReadWave(std::span<const uint8_t> file) {
  if (file.size() < 12 || !Tag(file.data(), "RIFF") || !Tag(file.data() + 8, "WAVE")) return std::nullopt;
  const uint64_t riffEnd = 8ull + Le32(file.data() + 4);
  if (riffEnd > file.size()) return std::nullopt;

  std::optional<WaveFormat> format;
  std::span<const uint8_t> data;
  bool haveData = false;
  for (uint64_t at = 12; at + 8 <= riffEnd;) {
    const uint8_t* chunk = file.data() + at;
    const uint32_t size = Le32(chunk + 4);
    if (at + 8 + size > riffEnd) return std::nullopt;
    if (Tag(chunk, "fmt ")) {
      if (size < 16 || Le16(chunk + 8) != 1) return std::nullopt;  // 1: uncompressed PCM
      WaveFormat f;
      f.channels = Le16(chunk + 10);
      f.sampleRate = Le32(chunk + 12);
      f.bitsPerSample = Le16(chunk + 22);
      const uint32_t byteRate = Le32(chunk + 16);
      const uint16_t blockAlign = Le16(chunk + 20);
      if (f.channels < 1 || f.channels > 2 || (f.bitsPerSample != 8 && f.bitsPerSample != 16) ||
          f.sampleRate == 0 || blockAlign != f.FrameBytes() || byteRate != f.sampleRate * f.FrameBytes())
        return std::nullopt;
      format = f;
    } else if (Tag(chunk, "data") && !haveData) {
      data = std::span<const uint8_t>(chunk + 8, size);
      haveData = true;
    }
    at += 8ull + size + (size & 1);  // chunks are padded to an even length
  }
  if (!format || !haveData) return std::nullopt;

  WaveData wave;
  wave.format = *format;
  const size_t whole = data.size() - data.size() % format->FrameBytes();
  wave.samples.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(whole));
  return wave;
}

std::optional<WaveData> ReadWave(const void* file) {
  if (!file) return std::nullopt;
  const auto* p = static_cast<const uint8_t*>(file);
  if (!Tag(p, "RIFF") || !Tag(p + 8, "WAVE")) return std::nullopt;
  const uint32_t riffSize = Le32(p + 4);
  if (riffSize > kMaxWaveFileBytes - 8) return std::nullopt;
  return ReadWave(std::span<const uint8_t>(p, 8ull + riffSize));
}

}  // namespace tamarind::platform::audio
