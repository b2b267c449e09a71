#pragma once

#include "menus/RosterList.h"
#include "session/GameSession.h"

namespace strikora {

// Today's bowlers, before every game: Space adds or removes the bowler spoken (a chime either
// way), Enter confirms once at least one is in and names them all, Escape backs out. Shown
// modally by the game start, which reads MenuAccepted when it closes.
class fSelPlayers final : public RosterList {
 public:
  fSelPlayers(SoundEngine& engine, Roster& roster, NameSpeech& names, GameSession& session);

  // Closes the list without a choice.
  void ExitMenu();

 protected:
  bool StartFocus() override;
  void AfterEntry() override;
  void ChooseItem() override { Confirm(); }
  [[nodiscard]] bool Escape() override {
    ExitMenu();
    return true;
  }
  KeyAction ExtraKey(int KeyCode) override;

 private:
  void Toggle();
  void Confirm();

  GameSession& session_;
};

}  // namespace strikora
