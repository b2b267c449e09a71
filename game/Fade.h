#pragma once

#include <initializer_list>

#include "audio/SoundEngine.h"

namespace strikora {

// Lowers each slot's clip from its own level by 200 hundredths of a dB a step, down to -4900,
// with `silences` silence clips after each step: a fade heard from where the sound stands, with
// no jump at its start. The caller stops the clips.
void FadeOut(SoundEngine& engine, std::initializer_list<SoundSlot*> slots, int silences);

}  // namespace strikora
