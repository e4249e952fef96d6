// The four feedback sounds as the library embeds them: valid WAVE files of the intended format and
// length, also as an independent tool reads them.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>

#include "resources/Resources.h"
#include "runtime/Error.h"
#include "services/Sounds.h"
#include "tests/sounds/WaveTestSupport.h"

namespace tamarind {
namespace {

using platform::LoadResData;

struct ExpectedSound {
  int32_t id;
  const char* name;
  uint32_t dataBytes;
};
constexpr ExpectedSound kSounds[] = {
    {snd_SORT, "sort", 8300}, {snd_DROP, "drop", 8300}, {snd_COMPLETE, "complete", 8804}, {snd_CLICK, "click", 1362}};

TEST(EmbeddedSounds, EachIsMonoSixteenBitPcmAt22050HzOfTheIntendedLength) {
  for (const ExpectedSound& s : kSounds) {
    SCOPED_TRACE(s.name);
    const std::vector<uint8_t> file = LoadResData(s.id, "WAVE");
    const auto w = testing::InspectWave(file);
    ASSERT_TRUE(w) << "no WAVE file";
    EXPECT_EQ(w->riffSize, file.size() - 8);
    EXPECT_EQ(w->formatTag, 1);
    EXPECT_EQ(w->channels, 1);
    EXPECT_EQ(w->sampleRate, 22050u);
    EXPECT_EQ(w->bitsPerSample, 16);
    EXPECT_EQ(w->byteRate, 44100u);
    EXPECT_EQ(w->blockAlign, 2);
    EXPECT_EQ(w->data.size(), s.dataBytes);
  }
  EXPECT_EQ(LoadResData(snd_DROP, "wave"), LoadResData(snd_DROP, "WAVE"));  // the type ignores case
}

TEST(EmbeddedSounds, UnknownIdentifierOrTypeRaises326) {
  const std::pair<int32_t, const char*> cases[] = {{105, "WAVE"}, {0, "WAVE"}, {snd_SORT, "BITMAP"}};
  for (const auto& [id, type] : cases) {
    try {
      LoadResData(id, type);
      ADD_FAILURE() << "no error for " << id << " " << type;
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), 326);
      EXPECT_EQ(e.Description(), "Resource with identifier '" + std::to_string(id) + "' not found");
    }
  }
}

// What one sox --i query prints about a file, without the line break.
std::string SoxInfo(const char* option, const std::filesystem::path& file) {
  std::string out;
  if (FILE* p = popen(("sox --i " + std::string(option) + " '" + file.string() + "' 2>&1").c_str(), "r")) {
    char buf[256];
    while (const size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    pclose(p);
  }
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
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
    EXPECT_EQ(SoxInfo("-c", path), "1");
    EXPECT_EQ(SoxInfo("-r", path), "22050");
    EXPECT_EQ(SoxInfo("-p", path), "16");
    EXPECT_EQ(SoxInfo("-e", path), "Signed Integer PCM");
    EXPECT_EQ(SoxInfo("-s", path), std::to_string(s.dataBytes / 2));
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tamarind
