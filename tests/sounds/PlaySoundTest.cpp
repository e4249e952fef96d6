// basSOUND: the library's sounds played from memory through the platform's sndPlaySound, on the
// headless desktop that records each request.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/headless/HeadlessToolkit.h"
#include "resources/Resources.h"
#include "runtime/Error.h"
#include "services/basSOUND.h"

namespace tamarind {
namespace {

using platform::LoadResData;
using platform::SoundOutput;
using platform::headless::HeadlessToolkit;

class PlaySoundTest : public ::testing::Test {
 protected:
  HeadlessToolkit tk;
  const std::vector<platform::headless::RecordingSound::Request>& Requests() { return tk.SoundImpl().Requests(); }
  void Advance(uint64_t ms) { tk.ClockImpl().Advance(ms); }
};

TEST_F(PlaySoundTest, PlaysTheResourceFromMemoryAsynchronously) {
  basSOUND::PlaySound(tk, snd_CLICK);
  ASSERT_EQ(Requests().size(), 1u);
  const auto& r = Requests()[0];
  EXPECT_EQ(r.flags, 5u);  // SND_ASYNC | SND_MEMORY
  EXPECT_EQ(r.bytes, LoadResData(104, "WAVE"));
  EXPECT_EQ(r.durationMs, 31u);  // 1,362 bytes at 44,100 bytes a second
  EXPECT_EQ(tk.ClockImpl().Milliseconds(), 0u) << "an asynchronous sound does not hold the caller";
}

TEST_F(PlaySoundTest, SecondSoundCutsOffTheFirst) {
  basSOUND::PlaySound(tk, snd_SORT);
  Advance(50);
  basSOUND::PlaySound(tk, snd_COMPLETE);
  ASSERT_EQ(Requests().size(), 2u);
  EXPECT_TRUE(Requests()[0].cutOff);
  EXPECT_EQ(Requests()[0].endMs, 50u);
  EXPECT_FALSE(Requests()[1].cutOff);
  EXPECT_EQ(Requests()[1].endMs, 50u + Requests()[1].durationMs);
}

TEST_F(PlaySoundTest, SoundThatDoesNotExistPlaysNothing) {
  basSOUND::PlaySound(tk, snd_SORT);
  Advance(10);
  // The public method raises nothing and does not stop the sound that is playing.
  EXPECT_NO_THROW(basSOUND::PlaySound(tk, 105));
  ASSERT_EQ(Requests().size(), 1u);
  EXPECT_FALSE(Requests()[0].cutOff);
  EXPECT_TRUE(tk.MessageBoxes().empty());
  // The module procedure underneath reports the missing resource.
  try {
    basSOUND::PlayResourceSound(tk, 105, SoundOutput::SND_ASYNC);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 326);
    EXPECT_EQ(e.Description(), "Resource with identifier '105' not found");
  }
  EXPECT_EQ(Requests().size(), 1u);
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
