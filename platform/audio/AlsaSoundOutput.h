#pragma once
// Real sound output through ALSA: sndPlaySound plays RIFF/WAVE sounds on the default playback
// device (or the one named), asynchronously on a thread of its own, a new sound cutting off the one
// still playing. On a machine without a sound device it stays silent: every request succeeds and
// nothing is printed.

#include <string>

#include "platform/audio/SoundPlayer.h"

namespace tamarind::platform::audio {

class AlsaSoundOutput : public SoundPlayer {
 public:
  // device: an ALSA PCM name ("default", "plughw:0,0", ...).
  explicit AlsaSoundOutput(std::string device = "default");
};

}  // namespace tamarind::platform::audio
