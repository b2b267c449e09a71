#pragma once

#include "menus/RosterList.h"
#include "menus/fStats.h"

namespace strikora {

// The roster from the main menu: Enter opens a bowler's statistics, Delete asks whether to
// delete the bowler spoken (only Y or N answers it), Escape goes back. The list closes by
// itself once the roster is empty.
class fViewPlayers final : public RosterList {
 public:
  fViewPlayers(SoundEngine& engine, Roster& roster, NameSpeech& names, fStats& stats);

  void ExitMenu() { Hide(); }
  // Asks whether to delete the selected bowler and waits, serving keys, for Y or N.
  void ConfirmDelete();

  // The delete question is open: only Y and N act.
  bool ConfirmPending = false;
  // 0 no answer yet, 1 yes, 2 no.
  std::int16_t Answer = 0;

 protected:
  bool StartFocus() override;
  void ChooseItem() override { OpenStatistics(); }
  [[nodiscard]] bool Escape() override {
    ExitMenu();
    return true;
  }
  KeyAction ExtraKey(int KeyCode) override;

 private:
  void OpenStatistics();
  // The question: "delete", the bowler, "yes or no". Y and N count from its last clip on.
  void AskDelete();

  fStats& stats_;
};

// The main menu's view-the-bowlers item: the list in place of the main menu until it closes.
void ShowViewPlayers(Form& mainMenu, fViewPlayers& viewPlayers);

}  // namespace strikora
