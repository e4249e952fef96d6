// The four feedback sounds as the library embeds them: valid WAVE files of the intended format and
// length, read by an independent tool, and sounds that start and end quietly without clipping.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "resources/Resources.h"
#include "runtime/Error.h"
#include "services/Sounds.h"
#include "tests/sounds/WaveTestSupport.h"

namespace tamarind {
namespace {

using platform::LoadResData;
using testing::InspectWave;
using testing::WaveInfo;

struct ExpectedSound {
  int32_t id;
  const char* name;
  uint32_t dataBytes;
};
constexpr ExpectedSound kSounds[] = {
    {snd_SORT, "sort", 8300}, {snd_DROP, "drop", 8300}, {snd_COMPLETE, "complete", 8804}, {snd_CLICK, "click", 1362}};

WaveInfo Inspect(int32_t id) {
  auto info = InspectWave(LoadResData(id, "WAVE"));
  if (!info) ADD_FAILURE() << "resource " << id << " is no WAVE file";
  return info.value_or(WaveInfo{});
}

// --- the resources -------------------------------------------------------------------------------

TEST(EmbeddedSounds, EachIsMonoSixteenBitPcmAt22050Hz) {
  for (const ExpectedSound& s : kSounds) {
    SCOPED_TRACE(s.name);
    const std::vector<uint8_t> file = LoadResData(s.id, "WAVE");
    const WaveInfo w = Inspect(s.id);
    EXPECT_EQ(w.riffSize, file.size() - 8);
    EXPECT_EQ(w.formatTag, 1);
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.sampleRate, 22050u);
    EXPECT_EQ(w.bitsPerSample, 16);
    EXPECT_EQ(w.byteRate, 44100u);
    EXPECT_EQ(w.blockAlign, 2);
  }
}

TEST(EmbeddedSounds, DataHasTheIntendedLength) {
  for (const ExpectedSound& s : kSounds) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(Inspect(s.id).dataBytes, s.dataBytes);
  }
}

TEST(EmbeddedSounds, TypeIsMatchedWithoutRegardToCase) {
  const std::vector<uint8_t> upper = LoadResData(snd_DROP, "WAVE");
  EXPECT_EQ(LoadResData(snd_DROP, "wave"), upper);
  EXPECT_EQ(LoadResData(snd_DROP, "Wave"), upper);
  EXPECT_NE(LoadResData(snd_SORT, "wave"), upper);
}

TEST(EmbeddedSounds, UnknownIdentifierRaises326) {
  for (int32_t id : {100, 105, 0, -1}) {
    try {
      LoadResData(id, "WAVE");
      ADD_FAILURE() << "no error for " << id;
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), 326);
      EXPECT_EQ(e.Description(), "Resource with identifier '" + std::to_string(id) + "' not found");
    }
  }
}

TEST(EmbeddedSounds, SoundIdentifierUnderAnotherTypeIsNotFound) {
  try {
    LoadResData(snd_SORT, "BITMAP");
    ADD_FAILURE() << "a sound was found as a bitmap";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 326);
  }
}

// --- what the sounds sound like --------------------------------------------------------------------

int32_t Peak(const std::vector<int16_t>& s, size_t from, size_t to) {
  int32_t p = 0;
  for (size_t i = from; i < to && i < s.size(); ++i) p = std::max(p, std::abs(static_cast<int32_t>(s[i])));
  return p;
}

int32_t ZeroCrossings(const std::vector<int16_t>& s, size_t from, size_t to) {
  int32_t n = 0;
  for (size_t i = from + 1; i < to && i < s.size(); ++i)
    if ((s[i - 1] < 0) != (s[i] < 0)) ++n;
  return n;
}

TEST(SoundCharacter, StartsAndEndsInSilenceSoNothingClicks) {
  for (const ExpectedSound& s : kSounds) {
    SCOPED_TRACE(s.name);
    const std::vector<int16_t> v = Inspect(s.id).samples;
    ASSERT_GT(v.size(), 20u);
    EXPECT_EQ(v.front(), 0);
    EXPECT_EQ(v.back(), 0);
    // The fades are gradual: the first and last few samples stay far below the peak.
    const int32_t peak = Peak(v, 0, v.size());
    EXPECT_LT(Peak(v, 0, 3), peak / 10);
    EXPECT_LT(Peak(v, v.size() - 3, v.size()), peak / 10);
  }
}

TEST(SoundCharacter, AudibleButNeverClipped) {
  for (const ExpectedSound& s : kSounds) {
    SCOPED_TRACE(s.name);
    const std::vector<int16_t> v = Inspect(s.id).samples;
    const int32_t peak = Peak(v, 0, v.size());
    EXPECT_GT(peak, 32767 / 4);
    EXPECT_LT(peak, 32000);
    double sum = 0;
    for (int16_t x : v) sum += x;
    EXPECT_LT(std::abs(sum / static_cast<double>(v.size())), 327.0) << "a DC offset thumps";
  }
}

TEST(SoundCharacter, SortRisesInPitch) {
  const std::vector<int16_t> v = Inspect(snd_SORT).samples;
  const size_t third = v.size() / 3;
  EXPECT_GT(ZeroCrossings(v, 2 * third, v.size()), ZeroCrossings(v, 0, third) * 3 / 2);
}

// --- read by sox -------------------------------------------------------------------------------------

std::string RunCommand(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

// The value sox --i prints for one field ("Channels       : 1" gives "1").
std::string Field(const std::string& report, const std::string& name) {
  const size_t at = report.find(name);
  if (at == std::string::npos) return {};
  const size_t colon = report.find(':', at);
  const size_t end = report.find('\n', colon);
  std::string v = report.substr(colon + 1, end == std::string::npos ? std::string::npos : end - colon - 1);
  v.erase(0, v.find_first_not_of(' '));
  return v;
}

TEST(SoxReadsTheSounds, MonoSixteenBitAt22050HzWithAllTheirSamples) {
  if (std::system("command -v sox > /dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed";
  const auto dir = std::filesystem::temp_directory_path() / ("tamarind-sounds-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  for (const ExpectedSound& s : kSounds) {
    SCOPED_TRACE(s.name);
    const auto path = dir / (std::string(s.name) + ".wav");
    const std::vector<uint8_t> bytes = LoadResData(s.id, "WAVE");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    const std::string report = RunCommand("sox --i '" + path.string() + "' 2>&1");
    EXPECT_EQ(Field(report, "Channels"), "1") << report;
    EXPECT_EQ(Field(report, "Sample Rate"), "22050") << report;
    EXPECT_EQ(Field(report, "Precision"), "16-bit") << report;
    EXPECT_EQ(Field(report, "Sample Encoding"), "16-bit Signed Integer PCM") << report;
    EXPECT_NE(Field(report, "Duration").find(std::to_string(s.dataBytes / 2) + " samples"), std::string::npos)
        << report;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tamarind
