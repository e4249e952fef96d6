#pragma once
// sndPlaySound over a PCM output device, played on a thread of its own.
//
// A request copies the sound's samples and hands them to the playback thread; a new request cuts
// off the sound still playing (what is queued in the device is dropped at once). With SND_ASYNC the
// call returns at once; without it the call waits until its sound has ended, or has been cut off by
// a request from another thread. Where there is no device the sound is skipped: the call still
// succeeds and nothing is reported, so a machine without audio simply stays silent.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/Services.h"
#include "platform/audio/WaveFile.h"

namespace tamarind::platform::audio {

// The device a SoundPlayer writes to. Only the playback thread calls it.
class PcmSink {
 public:
  virtual ~PcmSink() = default;
  // Opens the device for the format; false when there is no usable device (the sound is skipped).
  virtual bool Open(const WaveFormat& format) = 0;
  // Queues up to count frames, blocking while the device's buffer is full. Returns the frames
  // taken (possibly 0), or a negative value when the device failed.
  virtual int64_t Write(const uint8_t* frames, size_t count) = 0;
  // Frames written but not yet heard (0 once the sound has played out); negative on failure.
  virtual int64_t Queued() = 0;
  // Discards what is queued and stops at once; the device stays open for the next sound.
  virtual void Drop() = 0;
  virtual void Close() = 0;
};

class SoundPlayer : public SoundOutput {
 public:
  explicit SoundPlayer(std::unique_ptr<PcmSink> sink);
  ~SoundPlayer() override;
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  // sound: a whole RIFF/WAVE file in memory with SND_MEMORY, otherwise a file name (a
  // NUL-terminated path). A null sound stops the current one. False for a sound that cannot be
  // read or is not uncompressed 8- or 16-bit PCM.
  bool sndPlaySound(const void* sound, uint32_t flags) override;

  // Largest number of frames handed to the device at once; a cut-off waits at most this long.
  static constexpr size_t kChunkFrames = 512;

 private:
  struct Job {
    uint64_t serial = 0;
    std::shared_ptr<const WaveData> wave;
  };
  void Run();
  void Play(const Job& job);
  bool Superseded(uint64_t serial);

  std::unique_ptr<PcmSink> sink_;
  bool sinkOpen_ = false;  // playback thread only
  WaveFormat sinkFormat_;  // playback thread only

  std::mutex mutex_;
  std::condition_variable wake_;   // the playback thread: a request or the end
  std::condition_variable ended_;  // synchronous callers: a sound ended or was superseded
  std::unique_ptr<Job> pending_;
  uint64_t requested_ = 0;  // serial of the latest request; a sound with another serial is cut off
  uint64_t finished_ = 0;   // serial of the latest sound that has ended
  bool quit_ = false;
  std::thread thread_;  // last: starts once everything above exists
};

}  // namespace tamarind::platform::audio
