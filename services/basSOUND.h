#pragma once
// Playing the library's own sounds through the platform's sndPlaySound.

#include <cstdint>

#include "platform/Toolkit.h"
#include "services/Sounds.h"

namespace tamarind::basSOUND {

// Loads "WAVE" resource id into this thread's sound buffer (replacing the sound last started) and
// plays it from there with flags plus SND_MEMORY. The buffer stays alive until the next request on
// the same thread, since asynchronous playback may read it after the call has returned. Raises
// error 326 for an id that names no sound; the sound playing then goes on.
void PlayResourceSound(platform::Toolkit& tk, int32_t id, uint32_t flags);

// Plays sound s at once and asynchronously. Any error (an id that names no sound) is swallowed:
// nothing plays and nothing is raised.
void PlaySound(platform::Toolkit& tk, int32_t s);

}  // namespace tamarind::basSOUND
