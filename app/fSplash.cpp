#include "app/fSplash.h"

#include <algorithm>

#include "platform/Keys.h"

namespace strikora {

fSplash::fSplash(SoundEngine& engine)
    : Form(engine.GetPlatform().Windows, "Welcome to Strikora"), engine_(engine) {
  engine_.Mp3.MP3Speed = 100.0f;
}

void fSplash::Form_KeyDown(int KeyCode, int Shift) {
  (void)Shift;
  if (engine_.Busy) return;
  if (KeyCode == vk::Enter || KeyCode == vk::Escape) {
    // A player who starts the game every day need not hear the greeting and the theme song
    // through: the wait on either ends, no song follows, and the main menu comes at once.
    engine_.StopSpeech();
    (void)engine_.Mp3.TerminateEngine();
    return;
  }
  float& speed = engine_.Mp3.MP3Speed;
  if (KeyCode == vk::PageUp) {
    speed = std::min(speed + kStep, kFastest);
  } else if (KeyCode == vk::PageDown) {
    speed = std::max(speed - kStep, kSlowest);
  } else {
    return;
  }
  (void)engine_.Mp3.SetPlayBackSpeed(speed / 100.0f);
}

}  // namespace strikora
