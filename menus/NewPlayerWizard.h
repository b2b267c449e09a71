#pragma once

#include "menus/NewPlayer.h"
#include "menus/fBowlingHand.h"
#include "menus/fFirstName.h"
#include "menus/fSelFirstName.h"
#include "menus/fSelInitial.h"
#include "menus/fSelSex.h"
#include "players/Roster.h"

namespace strikora {

// Adds a bowler by ear: first name (a recorded name or an initial), last initial, a greeting
// by that name, sex and bowling hand; then the bowler is written into the next record of the
// roster file and the main menu comes back. There is no way out half-way: a bowler is either
// whole in the roster or not there at all.
class NewPlayerWizard {
 public:
  // mainMenu is hidden while the wizard asks and shown again at its end.
  NewPlayerWizard(SoundEngine& engine, Roster& roster, Form& mainMenu);

  // The main menu's create-a-bowler item. With the roster full it only says so.
  void CreatePlayer();
  void ResetNewPlayer();

  [[nodiscard]] const NewPlayer& Answers() const { return answers_; }
  [[nodiscard]] fFirstName& FirstName() { return firstName_; }
  [[nodiscard]] fSelInitial& SelInitial() { return selInitial_; }
  [[nodiscard]] fSelFirstName& SelFirstName() { return selFirstName_; }
  [[nodiscard]] fSelSex& SelSex() { return selSex_; }
  [[nodiscard]] fBowlingHand& BowlingHand() { return bowlingHand_; }

 private:
  // Shows one question and waits, serving keys, until it has its answer.
  void Ask(Form& question, const char* what);
  void Greet();
  void SaveNewPlayer();

  SoundEngine& engine_;
  Roster& roster_;
  Form& mainMenu_;
  NewPlayer answers_;
  fSelInitial selInitial_;
  fSelFirstName selFirstName_;
  fFirstName firstName_;
  fSelSex selSex_;
  fBowlingHand bowlingHand_;
};

}  // namespace strikora
