// The threaded player behind the real sound output, over a device the test controls: a synchronous
// request waits for the end, a new sound cuts off the playing one. Then the ALSA output, over ALSA
// devices the test defines: every frame reaches the device, and no device means silence.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <future>
#include <mutex>
#include <string>
#include <unistd.h>

#include "platform/audio/AlsaSoundOutput.h"
#include "platform/audio/SoundPlayer.h"
#include "resources/Resources.h"
#include "services/Sounds.h"
#include "tests/sounds/WaveTestSupport.h"

namespace tamarind {
namespace {

using namespace std::chrono_literals;
using platform::SoundOutput;
using platform::audio::PcmSink;
using platform::audio::SoundPlayer;
using platform::audio::WaveFormat;

constexpr uint32_t kAsync = SoundOutput::SND_ASYNC | SoundOutput::SND_MEMORY;
constexpr uint32_t kSync = SoundOutput::SND_MEMORY;

// A device the test controls: what it was asked, and whether what was queued has been heard.
class FakeSink : public PcmSink {
 public:
  std::mutex m;
  std::condition_variable changed;
  bool heard = false;  // Queued reports 0 (all played) once true
  std::vector<std::string> calls;
  std::vector<std::vector<uint8_t>> sounds;  // bytes written, one entry per Open or Drop
  WaveFormat format;

  template <class P>
  bool WaitUntil(P predicate) {
    std::unique_lock l(m);
    return changed.wait_for(l, 5s, predicate);
  }
  bool Open(const WaveFormat& f) override {
    std::lock_guard l(m);
    format = f;
    return Record("open", true);
  }
  int64_t Write(const uint8_t* frames, size_t count) override {
    std::lock_guard l(m);
    sounds.back().insert(sounds.back().end(), frames, frames + count * format.FrameBytes());
    changed.notify_all();
    return static_cast<int64_t>(count);
  }
  int64_t Queued() override {
    std::lock_guard l(m);
    return heard ? 0 : 1;
  }
  void Drop() override {
    std::lock_guard l(m);
    Record("drop", true);
  }
  void Close() override {
    std::lock_guard l(m);
    Record("close", false);
  }

 private:
  // Notes a call, the lock held; opening and dropping start a new entry of written bytes.
  bool Record(const char* call, bool newSound) {
    calls.push_back(call);
    if (newSound) sounds.emplace_back();
    changed.notify_all();
    return true;
  }
};

// Plays two of the library's own sounds; the longer one reaches the device in several chunks.
class SoundPlayerTest : public ::testing::Test {
 protected:
  std::unique_ptr<FakeSink> sink = std::make_unique<FakeSink>();
  FakeSink& device = *sink;  // owned by the player from here on
  std::unique_ptr<SoundPlayer> player = std::make_unique<SoundPlayer>(std::move(sink));
  const std::vector<uint8_t> fileA = platform::LoadResData(snd_SORT, "WAVE");
  const std::vector<uint8_t> fileB = platform::LoadResData(snd_CLICK, "WAVE");
  const std::vector<uint8_t> a = testing::InspectWave(fileA).value().data;
  const std::vector<uint8_t> b = testing::InspectWave(fileB).value().data;

  bool Written(size_t entry, const std::vector<uint8_t>& bytes) {
    return device.WaitUntil([&] { return device.sounds.size() > entry && device.sounds[entry] == bytes; });
  }
  void Hear() {
    std::lock_guard l(device.m);
    device.heard = true;
  }
  bool CallsAre(const std::vector<std::string>& calls) {
    return device.WaitUntil([&] { return device.calls == calls; });
  }
};

TEST_F(SoundPlayerTest, SynchronousRequestWaitsForTheEndAndANewSoundCutsOffThePlayingOne) {
  auto first = std::async(std::launch::async, [&] { return player->sndPlaySound(fileA.data(), kSync); });
  ASSERT_TRUE(Written(0, a));
  EXPECT_EQ(device.format, (WaveFormat{1, 22050, 16}));
  EXPECT_EQ(first.wait_for(50ms), std::future_status::timeout) << "the sound has not ended yet";
  // The waiting caller of the first sound is let go; the second sound plays in full. Same format:
  // the device stays open, what was queued of the first sound is dropped.
  EXPECT_TRUE(player->sndPlaySound(fileB.data(), kAsync));
  ASSERT_EQ(first.wait_for(5s), std::future_status::ready);
  EXPECT_TRUE(first.get());
  ASSERT_TRUE(Written(1, b));
  EXPECT_TRUE(CallsAre({"open", "drop"}));
  auto second = std::async(std::launch::async, [&] { return player->sndPlaySound(fileA.data(), kSync); });
  ASSERT_TRUE(Written(2, a));
  EXPECT_EQ(second.wait_for(50ms), std::future_status::timeout);
  Hear();  // played out: the call returns and the device is closed
  ASSERT_EQ(second.wait_for(5s), std::future_status::ready);
  EXPECT_TRUE(second.get());
  EXPECT_TRUE(CallsAre({"open", "drop", "drop", "close"}));
}

// --- the ALSA output, observed at the device ------------------------------------------------------

// ALSA reads its configuration from the files ALSA_CONFIG_PATH names. The test's own file defines
// the devices the output is opened on: "tamarind_capture", a file plugin over a null device, which
// keeps every frame written in a file the test reads back, and nothing else.
class AlsaDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(::testing::TempDir()) / ("alsa-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    frames_ = dir_ / "frames.raw";
    const std::filesystem::path conf = dir_ / "asound.conf";
    std::ofstream(conf) << "pcm.tamarind_capture {\n  type file\n  slave { pcm { type null } }\n  file \""
                        << frames_.string() << "\"\n  format \"raw\"\n}\n";
    ::setenv("ALSA_CONFIG_PATH", conf.c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("ALSA_CONFIG_PATH");
    std::filesystem::remove_all(dir_);
  }
  std::vector<uint8_t> Captured() const {
    std::ifstream in(frames_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Runs f; what it wrote to stderr.
  template <class F>
  static std::string StderrOf(F&& f) {
    ::testing::internal::CaptureStderr();
    f();
    return ::testing::internal::GetCapturedStderr();
  }

  std::filesystem::path dir_, frames_;
};

// A device that cannot be opened: the sound is skipped, the call still succeeds, and a synchronous
// request does not wait for a sound that never plays. On a device, every frame of a sound reaches
// it. Neither prints anything.
TEST_F(AlsaDevice, WithoutADeviceSoundsAreSkippedAndOnADeviceEveryFrameReachesIt) {
  const std::vector<uint8_t> sort = platform::LoadResData(snd_SORT, "WAVE");
  const auto wave = testing::InspectWave(sort);
  ASSERT_TRUE(wave.has_value());
  ASSERT_GT(wave->data.size(), 2 * SoundPlayer::kChunkFrames * wave->blockAlign);  // several writes
  bool async = false, sync = false, played = false;
  const auto start = std::chrono::steady_clock::now();
  std::string messages = StderrOf([&] {
    platform::audio::AlsaSoundOutput out("tamarind_no_such_device");
    async = out.sndPlaySound(sort.data(), kAsync);
    sync = out.sndPlaySound(sort.data(), kSync);
  });
  EXPECT_TRUE(async && sync);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  EXPECT_FALSE(std::filesystem::exists(frames_));
  messages += StderrOf([&] {
    platform::audio::AlsaSoundOutput out("tamarind_capture");
    played = out.sndPlaySound(sort.data(), kSync);  // returns once the sound has ended
  });
  EXPECT_TRUE(played);
  EXPECT_EQ(messages, "");
  EXPECT_EQ(Captured(), wave->data);
}

}  // namespace
}  // namespace tamarind
