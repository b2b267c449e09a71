#pragma once

#include "menus/SpokenMenu.h"
#include "session/GameSession.h"

namespace strikora {

// What the main menu starts; the program's application object provides them.
class MainMenuHost {
 public:
  virtual ~MainMenuHost() = default;
  virtual void StartGame() = 0;
  virtual void CreatePlayer() = 0;
  virtual void ShowViewPlayers() = 0;
  virtual void ShowOptions() {}  // a host without sound options ignores the item
  // Clears the unpacked sounds away and ends the program; does not return.
  [[noreturn]] virtual void ExitProgram() = 0;
};

// The main menu: start a game, create a bowler, view the bowlers, handicap scoring on or off,
// the speaker test, the sound options, and leave. Shift and Ctrl only silence; Space chooses like
// Enter; Escape leaves at once.
class fMain final : public SpokenMenu {
 public:
  fMain(SoundEngine& engine, MainMenuHost& host, GameSession& session);

  static constexpr int kStartGame = 0, kCreatePlayer = 1, kViewPlayers = 2, kHandicap = 3,
                       kSpeakerTest = 4, kOptions = 5, kQuit = 6;

  void SpeakMainMenuItem();
  void DoMainMenuItem();

 protected:
  void PlayPrompt() override;
  void SpeakItem() override { SpeakMainMenuItem(); }
  void ChooseItem() override { DoMainMenuItem(); }
  [[nodiscard]] bool Escape() override;
  [[nodiscard]] bool TakesSpace() const override { return true; }
  // Shift alone or Ctrl alone only silences; other combinations act as the key itself.
  [[nodiscard]] bool OnlySilences(int Shift) const override {
    return Shift == mod::Shift || Shift == mod::Ctrl;
  }

 private:
  void Quit();  // ends the program through ExitProgram

  MainMenuHost& host_;
  GameSession& session_;  // the handicap switch lives there, where the results read it
};

}  // namespace strikora
