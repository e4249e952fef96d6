#pragma once
// Reading a RIFF/WAVE file held in memory: the sample format and a copy of the samples.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tamarind::platform::audio {

struct WaveFormat {
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t bitsPerSample = 0;  // 8 (unsigned) or 16 (signed, little-endian)
  uint32_t FrameBytes() const { return static_cast<uint32_t>(channels) * bitsPerSample / 8; }
  bool operator==(const WaveFormat&) const = default;
};

struct WaveData {
  WaveFormat format;
  std::vector<uint8_t> samples;  // whole frames, interleaved
  size_t Frames() const { return format.FrameBytes() ? samples.size() / format.FrameBytes() : 0; }
};

// The largest file a header may announce; a larger length is taken for a damaged header.
inline constexpr uint32_t kMaxWaveFileBytes = 64u << 20;

// Reads the file from its chunks ("fmt " and "data", in any order, others skipped). Only
// uncompressed PCM with one or two channels and 8 or 16 bits per sample is accepted; anything else,
// and any file whose chunks do not fit in it, gives nullopt. A data chunk that ends in a partial
// frame loses that partial frame.
std::optional<WaveData> ReadWave(std::span<const uint8_t> file);

// The same for a file known only by its address (sndPlaySound's SND_MEMORY): the RIFF header gives
// the length, which is read first.
std::optional<WaveData> ReadWave(const void* file);

}  // namespace tamarind::platform::audio
