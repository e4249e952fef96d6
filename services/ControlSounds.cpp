#include "services/ControlSounds.h"

#include "services/basSOUND.h"

namespace tamarind::services {

void PlayFeedback(KestrelState& s, CtrlSounds sound) {
  if (s.m_PlaySounds) basSOUND::PlaySound(s.tk, sound);
}

void PlayAlways(KestrelState& s, CtrlSounds sound) { basSOUND::PlaySound(s.tk, sound); }

}  // namespace tamarind::services
