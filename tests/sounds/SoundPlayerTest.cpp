// The threaded player behind the real sound output, over a device the test controls: requests
// return at once or wait for the end, a new sound cuts off the playing one, samples are copied, a
// missing device stays silent. Then WAVE reading, and the ALSA output on this machine.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

#include "platform/audio/AlsaSoundOutput.h"
#include "platform/audio/SoundPlayer.h"
#include "platform/audio/WaveFile.h"
#include "resources/Resources.h"
#include "services/Sounds.h"
#include "tests/sounds/WaveTestSupport.h"

namespace tamarind {
namespace {

using namespace std::chrono_literals;
using platform::SoundOutput;
using platform::audio::PcmSink;
using platform::audio::ReadWave;
using platform::audio::SoundPlayer;
using platform::audio::WaveFormat;
using testing::BuildWave;

constexpr uint32_t kAsync = SoundOutput::SND_ASYNC | SoundOutput::SND_MEMORY;
constexpr uint32_t kSync = SoundOutput::SND_MEMORY;

// What the device was asked, shared between the test and the sink the player owns.
struct Device {
  std::mutex m;
  std::condition_variable changed;
  bool present = true;      // Open succeeds
  bool openAllowed = true;  // Open waits while false
  bool heard = true;        // Queued reports 0 (all played) while true
  std::vector<std::string> calls;
  std::vector<std::vector<uint8_t>> sounds;  // bytes written, one entry per Open or Drop
  WaveFormat format;

  void Set(bool Device::*flag, bool v) {
    std::lock_guard l(m);
    this->*flag = v;
    changed.notify_all();
  }
  template <class P>
  bool WaitUntil(P predicate) {
    std::unique_lock l(m);
    return changed.wait_for(l, 5s, [&] { return predicate(*this); });
  }
  std::vector<std::string> Calls() {
    std::lock_guard l(m);
    return calls;
  }
  std::vector<std::vector<uint8_t>> Sounds() {
    std::lock_guard l(m);
    return sounds;
  }
};

class FakeSink : public PcmSink {
 public:
  explicit FakeSink(std::shared_ptr<Device> d) : d_(std::move(d)) {}
  bool Open(const WaveFormat& f) override {
    std::unique_lock l(d_->m);
    d_->changed.wait(l, [&] { return d_->openAllowed; });
    Record("open");
    if (!d_->present) return false;
    d_->format = f;
    frameBytes_ = f.FrameBytes();
    d_->sounds.emplace_back();
    return true;
  }
  int64_t Write(const uint8_t* frames, size_t count) override {
    std::lock_guard l(d_->m);
    d_->sounds.back().insert(d_->sounds.back().end(), frames, frames + count * frameBytes_);
    d_->changed.notify_all();
    return static_cast<int64_t>(count);
  }
  int64_t Queued() override {
    std::lock_guard l(d_->m);
    return d_->heard ? 0 : 1;
  }
  void Drop() override {
    std::lock_guard l(d_->m);
    Record("drop");
    d_->sounds.emplace_back();
  }
  void Close() override {
    std::lock_guard l(d_->m);
    Record("close");
  }

 private:
  void Record(const char* what) {
    d_->calls.push_back(what);
    d_->changed.notify_all();
  }
  std::shared_ptr<Device> d_;
  uint32_t frameBytes_ = 2;
};

// A mono 16-bit sound of n samples, each sample distinct so a lost or reordered chunk shows.
std::vector<uint8_t> Samples(size_t n, uint16_t seed) {
  std::vector<uint8_t> b;
  for (size_t i = 0; i < n; ++i) {
    const auto v = static_cast<uint16_t>(seed + i * 7);
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    b.push_back(static_cast<uint8_t>(v >> 8));
  }
  return b;
}

class SoundPlayerTest : public ::testing::Test {
 protected:
  std::shared_ptr<Device> device = std::make_shared<Device>();
  std::unique_ptr<SoundPlayer> player = std::make_unique<SoundPlayer>(std::make_unique<FakeSink>(device));
  const std::vector<uint8_t> a = Samples(3000, 1);  // several chunks
  const std::vector<uint8_t> b = Samples(700, 40000);
  const std::vector<uint8_t> fileA = BuildWave(1, 22050, 16, a);
  const std::vector<uint8_t> fileB = BuildWave(1, 22050, 16, b);

  bool Written(size_t entry, const std::vector<uint8_t>& bytes) {
    return device->WaitUntil([&](Device& d) { return d.sounds.size() > entry && d.sounds[entry] == bytes; });
  }
  bool Called(const std::string& what, size_t times = 1) {
    return device->WaitUntil(
        [&](Device& d) { return static_cast<size_t>(std::count(d.calls.begin(), d.calls.end(), what)) >= times; });
  }
};

TEST_F(SoundPlayerTest, AsynchronousRequestReturnsWhileTheSoundPlays) {
  device->Set(&Device::heard, false);
  EXPECT_TRUE(player->sndPlaySound(fileA.data(), kAsync));
  ASSERT_TRUE(Written(0, a));
  EXPECT_EQ(device->format, (WaveFormat{1, 22050, 16}));
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(device->Calls(), (std::vector<std::string>{"open"})) << "the sound has not ended yet";
  device->Set(&Device::heard, true);
  ASSERT_TRUE(Called("close"));
  EXPECT_EQ(device->Calls(), (std::vector<std::string>{"open", "close"}));
}

TEST_F(SoundPlayerTest, SynchronousRequestWaitsForTheEnd) {
  device->Set(&Device::heard, false);
  auto call = std::async(std::launch::async, [&] { return player->sndPlaySound(fileA.data(), kSync); });
  ASSERT_TRUE(Written(0, a));
  EXPECT_EQ(call.wait_for(50ms), std::future_status::timeout);
  device->Set(&Device::heard, true);
  ASSERT_EQ(call.wait_for(5s), std::future_status::ready);
  EXPECT_TRUE(call.get());
}

TEST_F(SoundPlayerTest, NewSoundCutsOffThePlayingOne) {
  device->Set(&Device::heard, false);
  player->sndPlaySound(fileA.data(), kAsync);
  ASSERT_TRUE(Written(0, a));
  player->sndPlaySound(fileB.data(), kAsync);
  ASSERT_TRUE(Written(1, b));
  // Same format: the device stays open, what was queued of the first sound is dropped.
  EXPECT_EQ(device->Calls(), (std::vector<std::string>{"open", "drop"}));
  device->Set(&Device::heard, true);
  ASSERT_TRUE(Called("close"));
}

TEST_F(SoundPlayerTest, SynchronousCallCutOffByAnotherRequestReturns) {
  device->Set(&Device::heard, false);
  auto call = std::async(std::launch::async, [&] { return player->sndPlaySound(fileA.data(), kSync); });
  ASSERT_TRUE(Written(0, a));
  player->sndPlaySound(fileB.data(), kAsync);
  ASSERT_EQ(call.wait_for(5s), std::future_status::ready);
  EXPECT_TRUE(call.get());
  EXPECT_TRUE(Written(1, b));
}

TEST_F(SoundPlayerTest, NullSoundStopsThePlayingOne) {
  device->Set(&Device::heard, false);
  player->sndPlaySound(fileA.data(), kAsync);
  ASSERT_TRUE(Written(0, a));
  EXPECT_TRUE(player->sndPlaySound(nullptr, 0));
  ASSERT_TRUE(Called("close"));
  EXPECT_EQ(device->Calls(), (std::vector<std::string>{"open", "drop", "close"}));
}

TEST_F(SoundPlayerTest, SamplesAreCopiedBeforeTheCallReturns) {
  device->Set(&Device::openAllowed, false);
  auto file = std::make_unique<std::vector<uint8_t>>(fileA);
  EXPECT_TRUE(player->sndPlaySound(file->data(), kAsync));
  std::fill(file->begin(), file->end(), uint8_t{0});
  file.reset();
  device->Set(&Device::openAllowed, true);
  EXPECT_TRUE(Written(0, a));
}

TEST_F(SoundPlayerTest, AnotherFormatReopensTheDevice) {
  const std::vector<uint8_t> stereo8 = BuildWave(2, 11025, 8, std::vector<uint8_t>(400, 0x80));
  player->sndPlaySound(fileA.data(), kSync);
  player->sndPlaySound(stereo8.data(), kSync);
  ASSERT_TRUE(Called("close", 2));
  EXPECT_EQ(device->format, (WaveFormat{2, 11025, 8}));
  EXPECT_EQ(device->Calls(), (std::vector<std::string>{"open", "close", "open", "close"}));
  EXPECT_EQ(device->Sounds().back(), std::vector<uint8_t>(400, 0x80));
}

TEST_F(SoundPlayerTest, WithoutADeviceEveryRequestSucceedsSilently) {
  device->Set(&Device::present, false);
  EXPECT_TRUE(player->sndPlaySound(fileA.data(), kAsync));
  auto call = std::async(std::launch::async, [&] { return player->sndPlaySound(fileB.data(), kSync); });
  ASSERT_EQ(call.wait_for(5s), std::future_status::ready);
  EXPECT_TRUE(call.get());
  EXPECT_TRUE(device->Sounds().empty());
}

TEST_F(SoundPlayerTest, DataThatIsNoPlayableSoundIsRefused) {
  const std::vector<uint8_t> text = {'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
  const std::vector<uint8_t> floats = BuildWave(1, 22050, 32, Samples(10, 0), {}, 3);
  EXPECT_FALSE(player->sndPlaySound(text.data(), kAsync));
  EXPECT_FALSE(player->sndPlaySound(floats.data(), kAsync));
  std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(device->Calls().empty());
}

TEST_F(SoundPlayerTest, SoundIsReadFromAFileWithoutSndMemory) {
  const auto path = std::filesystem::temp_directory_path() / ("tamarind-player-" + std::to_string(getpid()) + ".wav");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(fileB.data()),
                                               static_cast<std::streamsize>(fileB.size()));
  const std::string name = path.string();
  EXPECT_TRUE(player->sndPlaySound(name.c_str(), SoundOutput::SND_ASYNC));
  EXPECT_TRUE(Written(0, b));
  std::filesystem::remove(path);
  EXPECT_FALSE(player->sndPlaySound(name.c_str(), SoundOutput::SND_ASYNC));
}

TEST_F(SoundPlayerTest, DestroyingThePlayerStopsTheSound) {
  device->Set(&Device::heard, false);
  player->sndPlaySound(fileA.data(), kAsync);
  ASSERT_TRUE(Written(0, a));
  auto done = std::async(std::launch::async, [&] { player.reset(); });
  ASSERT_EQ(done.wait_for(5s), std::future_status::ready);
  EXPECT_EQ(device->Calls(), (std::vector<std::string>{"open", "drop", "close"}));
}

// --- reading WAVE files --------------------------------------------------------------------------------

TEST(WaveReading, FindsFormatAndDataAmongOtherChunks) {
  // An odd-sized chunk before the data is padded to an even length.
  const std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  const auto wave = ReadWave(std::span<const uint8_t>(BuildWave(2, 44100, 16, Samples(8, 3), list)));
  ASSERT_TRUE(wave);
  EXPECT_EQ(wave->format, (WaveFormat{2, 44100, 16}));
  EXPECT_EQ(wave->samples, Samples(8, 3));
  EXPECT_EQ(wave->Frames(), 4u);
}

TEST(WaveReading, RefusesWhatItCannotPlay) {
  EXPECT_FALSE(ReadWave(std::span<const uint8_t>(BuildWave(1, 22050, 16, Samples(4, 0), {}, 3))));  // float
  EXPECT_FALSE(ReadWave(std::span<const uint8_t>(BuildWave(1, 22050, 24, Samples(6, 0)))));
  EXPECT_FALSE(ReadWave(std::span<const uint8_t>(BuildWave(3, 22050, 16, Samples(6, 0)))));
  EXPECT_FALSE(ReadWave(std::span<const uint8_t>(BuildWave(1, 0, 16, Samples(6, 0)))));
}

TEST(WaveReading, RefusesChunksThatRunPastTheFile) {
  std::vector<uint8_t> f = BuildWave(1, 22050, 16, Samples(10, 0));
  f[f.size() - 20 - 4] += 2;  // the data chunk's size now claims two bytes more than there are
  EXPECT_FALSE(ReadWave(std::span<const uint8_t>(f)));
  std::vector<uint8_t> cut = BuildWave(1, 22050, 16, Samples(10, 0));
  cut.resize(cut.size() - 1);  // the RIFF header claims more than the file holds
  EXPECT_FALSE(ReadWave(std::span<const uint8_t>(cut)));
}

TEST(WaveReading, FileInMemoryIsReadToTheLengthItsHeaderGives) {
  std::vector<uint8_t> f = BuildWave(1, 22050, 16, Samples(5, 1));
  f.insert(f.end(), {'d', 'a', 't', 'a', 200, 0, 0, 0});  // whatever follows the file is not read
  const auto wave = ReadWave(static_cast<const void*>(f.data()));
  ASSERT_TRUE(wave);
  EXPECT_EQ(wave->samples, Samples(5, 1));
}

// --- the ALSA output on this machine -------------------------------------------------------------------

// Collects what is written to stderr while it lives.
class StderrCapture {
 public:
  StderrCapture() {
    std::fflush(stderr);
    saved_ = dup(2);
    file_ = std::tmpfile();
    dup2(fileno(file_), 2);
  }
  std::string Finish() {
    std::fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
    std::string out;
    std::rewind(file_);
    char buf[256];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file_)) > 0) out.append(buf, n);
    std::fclose(file_);
    return out;
  }

 private:
  int saved_ = -1;
  FILE* file_ = nullptr;
};

TEST(AlsaSoundOutput, PlaysOrStaysSilentWithoutErrorsOrMessages) {
  const std::vector<uint8_t> click = platform::LoadResData(snd_CLICK, "WAVE");
  StderrCapture capture;
  bool async = false, sync = false;
  const auto start = std::chrono::steady_clock::now();
  {
    platform::audio::AlsaSoundOutput out;
    async = out.sndPlaySound(click.data(), kAsync);
    sync = out.sndPlaySound(click.data(), kSync);
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  const std::string messages = capture.Finish();
  EXPECT_TRUE(async);
  EXPECT_TRUE(sync);
  EXPECT_LT(elapsed, 5s);
  EXPECT_EQ(messages, "");
}

TEST(AlsaSoundOutput, PlaysThroughAnAlsaDeviceToTheEnd) {
  // ALSA's null device takes the samples like a sound card and discards them: the whole path
  // (opening, format, writing, starting a short sound, waiting for the end) runs without hardware.
  const std::vector<uint8_t> sort = platform::LoadResData(snd_SORT, "WAVE");
  StderrCapture capture;
  bool played = false;
  {
    platform::audio::AlsaSoundOutput out("null");
    played = out.sndPlaySound(sort.data(), kSync) && out.sndPlaySound(sort.data(), kAsync) &&
             out.sndPlaySound(sort.data(), kAsync);
  }
  EXPECT_EQ(capture.Finish(), "");
  EXPECT_TRUE(played);
}

TEST(AlsaSoundOutput, RefusesDataThatIsNoSound) {
  platform::audio::AlsaSoundOutput out;
  const char text[] = "RIFF but not a wave file";
  EXPECT_FALSE(out.sndPlaySound(text, kAsync));
}

}  // namespace
}  // namespace tamarind
