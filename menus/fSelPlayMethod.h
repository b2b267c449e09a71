#pragma once

#include "menus/StoredChoiceMenu.h"

namespace strikora {

// Play method 1 aims only; play method 2 also times the swing.
class fSelPlayMethod final : public StoredChoiceMenu {
 public:
  fSelPlayMethod(SoundEngine& engine, GameSession& session)
      : StoredChoiceMenu(engine, session, "Select a Play Method", 2, "Play", "psapm.wav") {}

 protected:
  void SpeakItem() override { SpeakClip(MenuClip("pm" + std::to_string(Item + 1) + ".wav")); }
  void Apply(int item) override { Session.PlayMethod = static_cast<std::int16_t>(item + 1); }
};

}  // namespace strikora
