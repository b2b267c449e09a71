#pragma once

#include "audio/SoundEngine.h"
#include "platform/WindowSystem.h"

namespace strikora {

// The window on screen while the game starts: Page Up and Page Down change the speed of the
// start-up music, 25 percent a press, from 0 to 225 percent; Enter or Escape ends the greeting
// and the theme song and goes on to the main menu. Ignored while Busy.
class fSplash final : public Form {
 public:
  explicit fSplash(SoundEngine& engine);
  void Form_KeyDown(int KeyCode, int Shift) override;

  static constexpr float kStep = 25.0f, kFastest = 225.0f, kSlowest = 0.0f;

 private:
  SoundEngine& engine_;
};

}  // namespace strikora
