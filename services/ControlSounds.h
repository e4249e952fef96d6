#pragma once
// The control's feedback sounds: played only while PlaySounds is True, except the ones that
// always play (the editor button's click and the host's own PlaySound).

#include "core/KestrelState.h"

namespace tamarind::services {

void PlayFeedback(KestrelState& s, CtrlSounds sound);
void PlayAlways(KestrelState& s, CtrlSounds sound);

}  // namespace tamarind::services
