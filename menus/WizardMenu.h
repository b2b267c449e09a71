#pragma once

#include <filesystem>
#include <string>

#include "menus/NewPlayer.h"
#include "menus/SpokenMenu.h"

namespace strikora {

// One question of the new-bowler wizard: it starts on its first answer every time it gets the
// focus, and a key does not cut the clip in progress (the next item simply replaces it).
class WizardMenu : public SpokenMenu {
 public:
  WizardMenu(SoundEngine& engine, std::string caption, int itemCount, NewPlayer& answers)
      : SpokenMenu(engine, std::move(caption), itemCount), Answers(answers) {}

 protected:
  bool StartFocus() override {
    Item = 0;
    return true;
  }
  // The question, when the window asks one; then the music comes back up in any case.
  void PlayPrompt() override {
    const std::string prompt = PromptClip();
    if (!prompt.empty()) SpeakClip(MenuClip(prompt));
    Engine.RestoreMusic();
  }
  void SpeakItem() override { SpeakClip(ItemClip(Item)); }
  [[nodiscard]] bool StopsSpeechOnKey(int KeyCode) const override {
    (void)KeyCode;
    return false;
  }
  // Escape repeats the item unless the window gives it a meaning.
  [[nodiscard]] bool Escape() override { return false; }

  // The menu-folder clip asked on gaining the focus; empty for none.
  [[nodiscard]] virtual std::string PromptClip() const = 0;
  [[nodiscard]] virtual std::filesystem::path ItemClip(int item) const = 0;

  NewPlayer& Answers;
};

}  // namespace strikora
