// The four feedback sounds as the library embeds them (valid WAVE files of the intended format and
// length), and basSOUND playing them from memory through the platform's sndPlaySound, on the
// headless desktop that records each request.

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "platform/audio/WaveFile.h"
#include "platform/headless/HeadlessToolkit.h"
#include "resources/Resources.h"
#include "runtime/Error.h"
#include "services/basSOUND.h"
#include "tests/runtime/TestSupport.h"
#include "tests/sounds/WaveTestSupport.h"

namespace tamarind {
namespace {

using platform::LoadResData;
using platform::SoundOutput;
using platform::headless::HeadlessToolkit;

TEST(EmbeddedSounds, EachIsMonoSixteenBitPcmAt22050HzOfTheIntendedLength) {
  for (const auto& [id, dataBytes] : {std::pair{snd_SORT, 8300u}, std::pair{snd_DROP, 8300u},
                                      std::pair{snd_COMPLETE, 8804u}, std::pair{snd_CLICK, 1362u}}) {
    SCOPED_TRACE(id);
    const std::vector<uint8_t> file = LoadResData(id, "WAVE");
    const auto w = testing::InspectWave(file);
    ASSERT_TRUE(w) << "no WAVE file";
    // PCM, channels, rate, bytes a second, bytes a frame, bits a sample.
    EXPECT_EQ(std::tie(w->formatTag, w->channels, w->sampleRate, w->byteRate, w->blockAlign, w->bitsPerSample),
              std::make_tuple(1u, 1u, 22050u, 44100u, 2u, 16u));
    EXPECT_EQ(std::make_tuple(w->riffSize, w->data.size()), std::make_tuple(file.size() - 8, size_t{dataBytes}));
  }
  EXPECT_EQ(LoadResData(snd_DROP, "wave"), LoadResData(snd_DROP, "WAVE"));  // the type ignores case
  // An unknown identifier or type: error 326 (its text is checked where basSOUND reports it).
  EXPECT_EQ(test_support::ErrorNumberOf([] { LoadResData(105, "WAVE"); }), 326);
  EXPECT_EQ(test_support::ErrorNumberOf([] { LoadResData(0, "WAVE"); }), 326);
  EXPECT_EQ(test_support::ErrorNumberOf([] { LoadResData(snd_SORT, "BITMAP"); }), 326);
}

// What the player reads of a file: the format from "fmt ", whole frames from "data" after any
// other chunk; anything but PCM, or a chunk longer than the file, is no sound at all.
TEST(WaveFiles, StereoFramesAreReadPastOtherChunksAndDamagedFilesRefused) {
  const auto wave = [](uint16_t tag, uint32_t dataSize, size_t dataBytes) {
    std::vector<uint8_t> f;
    const auto put = [&](uint32_t v, int n) { for (int i = 0; i < n; ++i) f.push_back(uint8_t(v >> (8 * i))); };
    const auto tagged = [&](const char* t) { for (int i = 0; i < 4; ++i) f.push_back(uint8_t(t[i])); };
    tagged("RIFF"), put(uint32_t(4 + 24 + 12 + 8 + dataBytes), 4), tagged("WAVE");
    tagged("fmt "), put(16, 4), put(tag, 2), put(2, 2), put(11025, 4), put(44100, 4), put(4, 2), put(16, 2);
    tagged("LIST"), put(4, 4), tagged("INFO");
    tagged("data"), put(dataSize, 4);
    for (size_t i = 0; i < dataBytes; ++i) f.push_back(uint8_t(i));
    return f;
  };
  const auto ok = platform::audio::ReadWave(wave(1, 10, 10));
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->format, (platform::audio::WaveFormat{2, 11025, 16}));
  EXPECT_EQ(ok->samples, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7}));  // the partial third frame dropped
  EXPECT_FALSE(platform::audio::ReadWave(wave(3, 10, 10)));   // floating point
  EXPECT_FALSE(platform::audio::ReadWave(wave(1, 400, 10)));  // longer than the file
}


class PlaySoundTest : public ::testing::Test {
 protected:
  HeadlessToolkit tk;
  const std::vector<platform::headless::RecordingSound::Request>& Requests() { return tk.SoundImpl().Requests(); }
  void Advance(uint64_t ms) { tk.ClockImpl().Advance(ms); }
};

TEST_F(PlaySoundTest, PlaysFromMemoryAsynchronouslyASecondSoundCutsOffTheFirstAndAMissingOneNothing) {
  basSOUND::PlaySound(tk, snd_CLICK);
  ASSERT_EQ(Requests().size(), 1u);
  // 1,362 bytes at 44,100 bytes a second.
  EXPECT_EQ(std::tie(Requests()[0].flags, Requests()[0].bytes, Requests()[0].durationMs),
            std::make_tuple(SoundOutput::SND_ASYNC | SoundOutput::SND_MEMORY, LoadResData(104, "WAVE"), 31u));
  EXPECT_EQ(tk.ClockImpl().Milliseconds(), 0u) << "an asynchronous sound does not hold the caller";
  Advance(20);
  basSOUND::PlaySound(tk, snd_COMPLETE);
  ASSERT_EQ(Requests().size(), 2u);
  EXPECT_EQ(std::tie(Requests()[0].cutOff, Requests()[0].endMs), std::make_tuple(true, 20u));
  EXPECT_EQ(std::tie(Requests()[1].cutOff, Requests()[1].endMs),
            std::make_tuple(false, 20u + Requests()[1].durationMs));
  // A sound that does not exist: the public method raises nothing and does not stop the one playing.
  Advance(10);
  EXPECT_NO_THROW(basSOUND::PlaySound(tk, 105));
  ASSERT_EQ(Requests().size(), 2u);
  EXPECT_FALSE(Requests()[1].cutOff);
  EXPECT_TRUE(tk.MessageBoxes().empty());
  // The module procedure underneath reports the missing resource.
  try {
    basSOUND::PlayResourceSound(tk, 105, SoundOutput::SND_ASYNC);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 326);
    EXPECT_EQ(e.Description(), "Resource with identifier '105' not found");
  }
  EXPECT_EQ(Requests().size(), 2u);
}

// A sound output that reads the caller's memory later, as the platform's asynchronous player does.
class LateReadingToolkit : public HeadlessToolkit {
 public:
  struct LateReader : SoundOutput {
    bool sndPlaySound(const void* sound, uint32_t) override {
      pointers.push_back(sound);
      return true;
    }
    std::vector<const void*> pointers;
  } reader;
  SoundOutput& Sound() override { return reader; }
};

TEST(PlaySoundBuffer, SoundBytesStayAliveAfterTheCall) {
  LateReadingToolkit tk;
  const std::vector<uint8_t> sort = LoadResData(snd_SORT, "WAVE");
  basSOUND::PlaySound(tk, snd_SORT);
  ASSERT_EQ(tk.reader.pointers.size(), 1u);
  EXPECT_EQ(std::memcmp(tk.reader.pointers[0], sort.data(), sort.size()), 0);
  // A failed request leaves the buffer as it was: the sound that plays keeps its bytes.
  basSOUND::PlaySound(tk, 105);
  EXPECT_EQ(std::memcmp(tk.reader.pointers[0], sort.data(), sort.size()), 0);
}

}  // namespace
}  // namespace tamarind
