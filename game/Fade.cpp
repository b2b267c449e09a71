#include "game/Fade.h"

#include <utility>
#include <vector>

namespace strikora {

void FadeOut(SoundEngine& engine, std::initializer_list<SoundSlot*> slots, int silences) {
  // Each clip is held here, not read from its slot: a clip loaded into the slot meanwhile
  // (the buzzer) is not the one being faded.
  std::vector<std::pair<LoadedClip, int>> fading;
  for (SoundSlot* slot : slots) {
    if (slot->Buffer != nullptr) fading.emplace_back(slot->Buffer, slot->Buffer->GetVolume());
  }
  for (;;) {
    bool any = false;
    for (auto& [clip, level] : fading) {
      if (level < -4900) continue;
      clip->SetVolume(level);
      level -= 200;
      any = true;
    }
    if (!any) return;
    engine.PlaySilence(silences);
  }
}

}  // namespace strikora
