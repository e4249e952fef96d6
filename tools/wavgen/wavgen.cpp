// wavgen: synthesises the control's four feedback sounds and writes them as RIFF/WAVE files.
//
//   wavgen <output directory>
//
// writes sort.wav, drop.wav, complete.wav and click.wav: mono, 16-bit PCM at 22,050 samples per
// second. Every sound is computed from a few sine partials and envelopes, so the output is the same
// on every build and nothing has to be fetched or committed as a binary.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int32_t kSampleRate = 22050;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

using Signal = std::vector<double>;

double Seconds(size_t sample) { return static_cast<double>(sample) / kSampleRate; }
size_t Samples(double seconds) { return static_cast<size_t>(std::lround(seconds * kSampleRate)); }

// Raised-cosine fades at both ends: the first and the last sample are exactly zero, so a sound
// never starts or stops with a step (which the ear hears as a click).
void Fade(Signal& s, double inSeconds, double outSeconds) {
  const size_t in = std::min(s.size(), std::max<size_t>(1, Samples(inSeconds)));
  const size_t out = std::min(s.size(), std::max<size_t>(1, Samples(outSeconds)));
  for (size_t i = 0; i < in; ++i) s[i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) / in);
  for (size_t i = 0; i < out; ++i) {
    const size_t at = s.size() - 1 - i;
    s[at] *= 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) / out);
  }
}

// Scales the sound so that its loudest sample reaches peak (of full scale).
void Normalise(Signal& s, double peak) {
  double highest = 0;
  for (double v : s) highest = std::max(highest, std::abs(v));
  if (highest > 0)
    for (double& v : s) v *= peak / highest;
}

// A struck note added at start: a fundamental with its partials (relative frequency, relative
// level), a short attack and an exponential decay with time constant tau.
struct Partial {
  double ratio, level;
};
void Strike(Signal& s, double startSeconds, double frequency, double level, double tau,
            std::initializer_list<Partial> partials) {
  const size_t first = Samples(startSeconds);
  const size_t attack = Samples(0.002);
  for (size_t i = first; i < s.size(); ++i) {
    const double t = Seconds(i - first);
    double v = 0;
    for (const Partial& p : partials) v += p.level * std::sin(kTwoPi * frequency * p.ratio * t);
    double env = level * std::exp(-t / tau);
    if (i - first < attack)
      env *= 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i - first) / attack);
    s[i] += v * env;
  }
}

// Sort: a quick rising sweep, a little more than an octave and a half, with soft overtones.
Signal MakeSort(size_t n) {
  Signal s(n);
  const double f0 = 520, f1 = 1560, length = Seconds(n);
  double phase = 0;
  for (size_t i = 0; i < n; ++i) {
    const double t = Seconds(i);
    const double f = f0 * std::pow(f1 / f0, t / length);  // exponential: every step sounds even
    phase += kTwoPi * f / kSampleRate;
    s[i] = std::sin(phase) + 0.25 * std::sin(2 * phase) + 0.08 * std::sin(3 * phase);
  }
  Fade(s, 0.006, 0.060);
  Normalise(s, 0.32);  // a sustained tone: quieter at its peak to sound as loud as the others
  return s;
}

// Drop: two soft falling notes (G5, then C5), like something settling into place.
Signal MakeDrop(size_t n) {
  Signal s(n);
  const double length = Seconds(n);
  const double split = length * 0.42;
  Signal first(n), second(n);
  Strike(first, 0.0, 783.99, 1.0, 0.090, {{1, 1.0}, {2, 0.12}});
  Strike(second, split, 523.25, 1.0, 0.110, {{1, 1.0}, {2, 0.15}, {3, 0.04}});
  // The first note gives way to the second with a short cross-fade rather than a cut.
  const size_t join = Samples(split), overlap = Samples(0.012);
  for (size_t i = 0; i < n; ++i) {
    double keep = 1.0;
    if (i >= join + overlap) keep = 0.0;
    else if (i >= join) keep = 0.5 + 0.5 * std::cos(std::numbers::pi * static_cast<double>(i - join) / overlap);
    s[i] = first[i] * keep + second[i];
  }
  Fade(s, 0.004, 0.040);
  Normalise(s, 0.45);
  return s;
}

// Complete: a bright, bell-like chime, the notes of a major triad struck one after the other.
Signal MakeComplete(size_t n) {
  Signal s(n);
  const std::initializer_list<Partial> bell = {{1, 1.0}, {2, 0.35}, {2.76, 0.18}, {4.07, 0.07}};
  Strike(s, 0.000, 1046.50, 1.00, 0.080, bell);  // C6
  Strike(s, 0.045, 1318.51, 0.90, 0.080, bell);  // E6
  Strike(s, 0.090, 1567.98, 0.85, 0.070, bell);  // G6
  Fade(s, 0.002, 0.030);
  Normalise(s, 0.55);
  return s;
}

// Click: a short, dry tick: a high partial and a burst of noise, both gone within a few
// milliseconds.
Signal MakeClick(size_t n) {
  Signal s(n);
  uint32_t seed = 0x2545F491u;  // a fixed seed: the same tick on every build
  double low = 0;
  for (size_t i = 0; i < n; ++i) {
    const double t = Seconds(i);
    seed = seed * 1664525u + 1013904223u;
    const double noise = static_cast<double>(seed >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
    low += 0.35 * (noise - low);  // a gentle low-pass takes the hiss off the noise
    s[i] = 0.8 * std::sin(kTwoPi * 2900 * t) * std::exp(-t / 0.0035) + 0.6 * low * std::exp(-t / 0.0015);
  }
  Fade(s, 0.0005, 0.006);
  Normalise(s, 0.60);
  return s;
}

void PutLe16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>((v >> shift) & 0xFF));
}
void PutTag(std::vector<uint8_t>& out, const char (&tag)[5]) { out.insert(out.end(), tag, tag + 4); }

// A complete RIFF/WAVE file: the format chunk (PCM, 1 channel, 16 bits) and the data chunk.
std::vector<uint8_t> EncodeWave(const Signal& s) {
  constexpr uint16_t channels = 1, bits = 16;
  constexpr uint16_t blockAlign = channels * bits / 8;
  const auto dataBytes = static_cast<uint32_t>(s.size() * blockAlign);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  PutTag(out, "RIFF");
  PutLe32(out, 36 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutLe32(out, 16);
  PutLe16(out, 1);  // PCM
  PutLe16(out, channels);
  PutLe32(out, kSampleRate);
  PutLe32(out, kSampleRate * blockAlign);
  PutLe16(out, blockAlign);
  PutLe16(out, bits);
  PutTag(out, "data");
  PutLe32(out, dataBytes);
  for (double v : s) {
    const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
    PutLe16(out, static_cast<uint16_t>(static_cast<int16_t>(q)));
  }
  return out;
}

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  // Written beside the target and renamed, so an interrupted build never leaves half a file.
  const std::filesystem::path temp = path.string() + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  return !ec;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: wavgen <output directory>\n";
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);

  // Lengths in samples (two bytes each): 8,300, 8,300, 8,804 and 1,362 bytes of sound data.
  struct Sound {
    const char* file;
    Signal samples;
  };
  const Sound sounds[] = {
      {"sort.wav", MakeSort(4150)},
      {"drop.wav", MakeDrop(4150)},
      {"complete.wav", MakeComplete(4402)},
      {"click.wav", MakeClick(681)},
  };
  for (const Sound& s : sounds) {
    if (!WriteFile(dir / s.file, EncodeWave(s.samples))) {
      std::cerr << "wavgen: cannot write " << (dir / s.file).string() << "\n";
      return 1;
    }
  }
  return 0;
}
