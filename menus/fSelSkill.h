#pragma once

#include "menus/StoredChoiceMenu.h"

namespace strikora {

// Skill levels 1 to 5: each item is its name followed by a description of the level, which a
// key that acts while the name is spoken leaves out.
class fSelSkill final : public StoredChoiceMenu {
 public:
  fSelSkill(SoundEngine& engine, GameSession& session)
      : StoredChoiceMenu(engine, session, "select a Skill Level:", 5, "Skill", "pssl.wav") {}

  // Set by a key that cut the speech; cleared when an item starts being spoken.
  bool Interrupted = false;

 protected:
  void SpeakItem() override;
  void SpeechCut() override { Interrupted = true; }
  void Apply(int item) override { Session.SkillLevel = static_cast<std::int16_t>(item + 1); }

 private:
  // Counts the items begun, so that an item spoken again over this one (a key that repeats
  // it) is not followed by this one's description as well.
  unsigned spoken_ = 0;
};

}  // namespace strikora
