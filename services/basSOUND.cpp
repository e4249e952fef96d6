#include "services/basSOUND.h"

#include <utility>
#include <vector>

#include "resources/Resources.h"
#include "runtime/Error.h"

namespace tamarind::basSOUND {

namespace {
// The resource data of the sound last started on this thread.
thread_local std::vector<uint8_t> buffer;
}  // namespace

void PlayResourceSound(platform::Toolkit& tk, int32_t id, uint32_t flags) {
  // Loaded first: an id that names no sound raises here and leaves the buffer (and the sound
  // playing from it) alone.
  std::vector<uint8_t> previous = std::exchange(buffer, platform::LoadResData(id, "WAVE"));
  tk.Sound().sndPlaySound(buffer.data(), flags | platform::SoundOutput::SND_MEMORY);
  // The previous sound's bytes are released only now, after the call above has cut it off: a
  // player that reads the caller's memory never reads freed memory.
}

void PlaySound(platform::Toolkit& tk, int32_t s) {
  ResumeNext([&] { PlayResourceSound(tk, s, platform::SoundOutput::SND_ASYNC); });
}

}  // namespace tamarind::basSOUND
