#include "platform/audio/AlsaSoundOutput.h"

// The system headers ALSA's own header includes, first, so that only ALSA's declarations fall in
// the block below: some versions declare snd_lib_error_set_local outside their C linkage block.
#include <assert.h>
#include <endian.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>

extern "C" {
#include <alsa/asoundlib.h>
}

namespace tamarind::platform::audio {

namespace {

// ALSA's library prints its own complaints (no card, no configuration) to stderr. Every call of
// this sink runs on the playback thread, so a handler local to that thread silences them without
// touching what the rest of the program has chosen; failures still come back as return codes.
void Quiet(const char*, int, const char*, int, const char*, va_list) {}

class AlsaPcmSink : public PcmSink {
 public:
  explicit AlsaPcmSink(std::string device) : device_(std::move(device)) {}
  ~AlsaPcmSink() override { Close(); }

  bool Open(const WaveFormat& format) override {
    snd_lib_error_set_local(&Quiet);
    Close();
    // Opened without blocking, so a device held by another program fails at once instead of
    // holding the playback thread; the writes then block as usual.
    if (snd_pcm_open(&pcm_, device_.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
      pcm_ = nullptr;
      return false;
    }
    if (snd_pcm_nonblock(pcm_, 0) < 0) {
      Close();
      return false;
    }
    const snd_pcm_format_t sampleFormat = format.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    // Resampling allowed (a device that cannot take 22,050 Hz still plays); 60 ms of buffering
    // keeps a cut-off prompt.
    if (snd_pcm_set_params(pcm_, sampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED, format.channels, format.sampleRate, 1,
                           60000) < 0) {
      Close();
      return false;
    }
    snd_pcm_uframes_t period = 0;
    if (snd_pcm_get_params(pcm_, &bufferFrames_, &period) < 0) bufferFrames_ = 0;
    return true;
  }

  int64_t Write(const uint8_t* frames, size_t count) override {
    if (!pcm_) return -1;
    snd_pcm_sframes_t n = snd_pcm_writei(pcm_, frames, count);
    if (n >= 0) return n;
    // An underrun or a suspended device: recover and let the caller write again.
    if (snd_pcm_recover(pcm_, static_cast<int>(n), 1) < 0) return -1;
    return 0;
  }

  int64_t Queued() override {
    if (!pcm_) return -1;
    switch (snd_pcm_state(pcm_)) {
      case SND_PCM_STATE_PREPARED:
        // A sound shorter than the buffer never fills it, and the device waits for a full buffer
        // before it starts: start it now that nothing more comes.
        if (snd_pcm_start(pcm_) < 0) return 0;
        break;
      case SND_PCM_STATE_RUNNING:
        break;
      default:
        return 0;  // played out (the device ran dry) or stopped
    }
    const snd_pcm_sframes_t avail = snd_pcm_avail_update(pcm_);
    if (avail < 0) return 0;
    const auto buffer = static_cast<snd_pcm_sframes_t>(bufferFrames_);
    return avail >= buffer ? 0 : buffer - avail;
  }

  void Drop() override {
    if (!pcm_) return;
    snd_pcm_drop(pcm_);
    snd_pcm_prepare(pcm_);
  }

  void Close() override {
    if (!pcm_) return;
    snd_pcm_close(pcm_);
    pcm_ = nullptr;
  }

 private:
  std::string device_;
  snd_pcm_t* pcm_ = nullptr;
  snd_pcm_uframes_t bufferFrames_ = 0;
};

}  // namespace

AlsaSoundOutput::AlsaSoundOutput(std::string device) : SoundPlayer(std::make_unique<AlsaPcmSink>(std::move(device))) {}

}  // namespace tamarind::platform::audio
