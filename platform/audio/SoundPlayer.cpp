#include "platform/audio/SoundPlayer.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>

namespace tamarind::platform::audio {

namespace {

std::optional<WaveData> ReadWaveFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (auto it = std::istreambuf_iterator<char>(in); it != std::istreambuf_iterator<char>(); ++it) {
    if (bytes.size() >= kMaxWaveFileBytes) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(*it));
  }
  return ReadWave(std::span<const uint8_t>(bytes));
}

}  // namespace

SoundPlayer::SoundPlayer(std::unique_ptr<PcmSink> sink) : sink_(std::move(sink)), thread_([this] { Run(); }) {}

SoundPlayer::~SoundPlayer() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  ended_.notify_all();
  thread_.join();
}

bool SoundPlayer::sndPlaySound(const void* sound, uint32_t flags) {
  std::shared_ptr<const WaveData> wave;
  if (sound) {
    // The samples are copied here: the caller may reuse its memory as soon as the call returns.
    auto read = (flags & SND_MEMORY) ? ReadWave(sound) : ReadWaveFile(static_cast<const char*>(sound));
    if (!read) return false;
    wave = std::make_shared<const WaveData>(std::move(*read));
  }
  uint64_t serial;
  {
    std::lock_guard lock(mutex_);
    serial = ++requested_;
    if (wave) pending_ = std::make_unique<Job>(Job{serial, std::move(wave)});
    else pending_.reset();
  }
  wake_.notify_all();
  ended_.notify_all();  // a synchronous caller whose sound this request cuts off returns now
  if (sound && !(flags & SND_ASYNC)) {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [&] { return quit_ || finished_ >= serial || requested_ != serial; });
  }
  return true;
}

bool SoundPlayer::Superseded(uint64_t serial) {
  std::lock_guard lock(mutex_);
  return quit_ || requested_ != serial;
}

void SoundPlayer::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return quit_ || pending_; });
    if (quit_) break;
    const Job job = std::move(*pending_);
    pending_.reset();
    lock.unlock();
    Play(job);
    lock.lock();
    finished_ = std::max(finished_, job.serial);
    ended_.notify_all();
    if (!pending_ && sinkOpen_ && !quit_) {
      // Nothing more to play: the device is given back until the next sound.
      lock.unlock();
      sink_->Close();
      sinkOpen_ = false;
      lock.lock();
    }
  }
  lock.unlock();
  // A sound cut off by the end has been dropped already.
  if (sinkOpen_) {
    sink_->Close();
    sinkOpen_ = false;
  }
}

void SoundPlayer::Play(const Job& job) {
  const WaveData& wave = *job.wave;
  if (sinkOpen_ && !(sinkFormat_ == wave.format)) {
    sink_->Close();
    sinkOpen_ = false;
  }
  if (!sinkOpen_) {
    sinkOpen_ = sink_->Open(wave.format);
    if (!sinkOpen_) return;  // no device: the sound is skipped
    sinkFormat_ = wave.format;
  }

  const size_t frameBytes = wave.format.FrameBytes();
  const size_t frames = wave.Frames();
  for (size_t done = 0; done < frames;) {
    if (Superseded(job.serial)) {
      sink_->Drop();
      return;
    }
    const int64_t n = sink_->Write(wave.samples.data() + done * frameBytes, std::min(kChunkFrames, frames - done));
    if (n < 0) {
      sink_->Close();
      sinkOpen_ = false;
      return;
    }
    if (n == 0) {
      // The device took nothing: give it a moment rather than spin.
      std::unique_lock lock(mutex_);
      wake_.wait_for(lock, std::chrono::milliseconds(2), [&] { return quit_ || requested_ != job.serial; });
    }
    done += static_cast<size_t>(n);
  }

  // Everything is queued: wait until it has been heard, unless another request comes first.
  for (;;) {
    const int64_t queued = sink_->Queued();
    if (queued <= 0) return;
    const auto ms = std::clamp<int64_t>(queued * 1000 / std::max<uint32_t>(1, wave.format.sampleRate), 1, 10);
    std::unique_lock lock(mutex_);
    if (wake_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return quit_ || requested_ != job.serial; })) {
      lock.unlock();
      sink_->Drop();
      return;
    }
  }
}

}  // namespace tamarind::platform::audio
