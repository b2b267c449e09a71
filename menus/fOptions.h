#pragma once

#include "menus/SpokenMenu.h"
#include "platform/Mixer.h"

namespace strikora {

// The sound options: a volume for speech, the lane's effects, the crowd and the music, then
// clear speech and headphones (3D). Up and Down choose; Left and Right change the value, heard
// at once with a sample of that kind of sound and then the value; Enter switches an on/off
// item; Escape goes back to the main menu. Every change is kept in the settings file.
class fOptions final : public SpokenMenu {
 public:
  explicit fOptions(SoundEngine& engine);
  static constexpr int kSpeech = 0, kEffects = 1, kCrowd = 2, kMusic = 3, kClearSpeech = 4,
                       kHeadphones = 5;

 protected:
  void PlayPrompt() override;
  void SpeakItem() override;
  void ChooseItem() override;
  [[nodiscard]] bool Escape() override;
  KeyAction ExtraKey(int KeyCode) override;

 private:
  // Moves the current item's value one step (a volume by ten, a switch to on or off).
  void Change(int direction);
  void SpeakValue();
  void PlaySample();
  [[nodiscard]] Mixer& Mix() const { return Engine.GetPlatform().Mix; }
};

// Shows the options in place of the main menu until Escape, then the main menu again.
void ShowOptions(Form& mainMenu, fOptions& options);

}  // namespace strikora
