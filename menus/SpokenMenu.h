#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "audio/SoundEngine.h"
#include "platform/WindowSystem.h"

namespace strikora {

// The shape every spoken menu shares: on gaining the focus it plays its prompt over lowered
// music and speaks the current item; arrows move through the items and wrap both ways; Enter
// chooses; F12 tells the time; Ctrl only silences; any other key repeats the current item;
// while a spoken sequence runs (Busy) keys and focus prompts are ignored.
class SpokenMenu : public Form {
 public:
  // silenceMask: the modifier states (1 Shift, 2 Ctrl, 4 Alt) that only silence the speech.
  SpokenMenu(SoundEngine& engine, std::string caption, int itemCount, int silenceMask);

  void Form_GotFocus() override;
  void Form_KeyDown(int KeyCode, int Shift) override;
  void Form_LostFocus() override;

  // The current item, 0-based; kept while the window loses and regains the focus.
  std::int16_t Item = 0;
  [[nodiscard]] int ItemCount() const { return itemCount_; }

 protected:
  // The prompt heard on gaining the focus.
  virtual void PlayPrompt() = 0;
  virtual void SpeakItem() = 0;
  virtual void ChooseItem() = 0;
  virtual void Escape() = 0;
  // Whether the key cuts the clip in progress before it is handled.
  [[nodiscard]] virtual bool StopsSpeechOnKey(int KeyCode) const {
    (void)KeyCode;
    return true;
  }
  // Whether Space chooses like Enter.
  [[nodiscard]] virtual bool TakesSpace() const { return false; }

  // One clip of this menu, spoken over lowered music.
  void SpeakClip(const std::filesystem::path& clip);

  SoundEngine& Engine;

 private:
  int itemCount_;
  int silenceMask_;
};

}  // namespace strikora
