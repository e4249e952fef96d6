#pragma once
// The control's feedback sounds (CtrlSounds: snd_SORT 101, snd_DROP 102, snd_COMPLETE 103,
// snd_CLICK 104). Each value is also the identifier of the sound's "WAVE" resource. The enumeration
// is defined once, with the control's other public enumerations.

#include "core/Enums.h"
