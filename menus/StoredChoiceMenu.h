#pragma once

#include <string>

#include "menus/SpokenMenu.h"
#include "session/GameSession.h"

namespace strikora {

// A choice made before each game and remembered for the next one in the settings store
// (application "KORVELDA", section "Menu"). Each showing starts on the stored item; Enter
// stores it and confirms, Escape leaves without storing; MenuAccepted tells the game start
// which. Only Ctrl alone silences; Up, Down, Enter and Escape cut the speech, other keys repeat
// the item over it; losing the focus only brings the music back up.
class StoredChoiceMenu : public SpokenMenu {
 public:
  StoredChoiceMenu(SoundEngine& engine, GameSession& session, std::string caption, int itemCount,
                   std::string settingsKey, std::string promptClip);

  // The stored item; a missing setting, one that is not a whole number, or one outside the
  // menu's items reads as item 0.
  [[nodiscard]] int StoredItem() const;
  void LeaveMenu();

 protected:
  bool StartFocus() override {
    Item = static_cast<std::int16_t>(StoredItem());
    return true;
  }
  void PlayPrompt() override { SpeakClip(MenuClip(promptClip_)); }
  void ChooseItem() override;
  [[nodiscard]] bool Escape() override {
    LeaveMenu();
    return true;
  }
  [[nodiscard]] bool StopsSpeechOnKey(int KeyCode) const override {
    return KeyCode == vk::Up || KeyCode == vk::Down || KeyCode == vk::Enter ||
           KeyCode == vk::Escape;
  }
  void Form_LostFocus() override { Engine.RestoreMusic(); }

  // Sets the game's choice from the chosen item.
  virtual void Apply(int item) = 0;

  GameSession& Session;

 private:
  std::string settingsKey_;
  std::string promptClip_;
};

}  // namespace strikora
