#pragma once

#include "audio/NameSpeech.h"
#include "menus/SpokenMenu.h"
#include "players/Roster.h"

namespace strikora {

// One bowler's statistics, the roster's CurrentPlayer: name, bowling hand, then the average of
// every skill level under each play method. Averages with no game stored are skipped, always
// forward. Escape closes it.
class fStats final : public SpokenMenu {
 public:
  fStats(SoundEngine& engine, const Roster& roster, NameSpeech& names);

  // Item 0 the name, 1 the hand, 2 and 8 the play-method headings, 3..7 and 9..13 the skill
  // levels 1..5 under play methods 1 and 2.
  static constexpr int kItems = 14, kName = 0, kHand = 1, kMethod1 = 2, kMethod2 = 8;

 protected:
  bool StartFocus() override {
    Item = 0;
    return true;
  }
  void PlayPrompt() override { SpeakClip(MenuClip("stats.wav")); }
  void SpeakItem() override;
  void ChooseItem() override {}
  // Enter chooses nothing here: like any other key, it says the statistic again.
  KeyAction ExtraKey(int KeyCode) override {
    return KeyCode == vk::Enter ? KeyAction::Moved : KeyAction::NotTaken;
  }
  [[nodiscard]] bool Escape() override {
    Hide();
    return true;
  }
  [[nodiscard]] bool OnlySilences(int Shift) const override {
    return Shift == mod::Shift || Shift == mod::Ctrl;
  }

 private:
  const Roster& roster_;
  NameSpeech& names_;
};

}  // namespace strikora
