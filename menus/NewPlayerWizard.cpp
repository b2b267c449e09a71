#include "menus/NewPlayerWizard.h"

#include <exception>

namespace strikora {

NewPlayerWizard::NewPlayerWizard(SoundEngine& engine, Roster& roster, Form& mainMenu)
    : engine_(engine),
      roster_(roster),
      mainMenu_(mainMenu),
      selInitial_(engine, answers_),
      selFirstName_(engine, answers_, roster),
      firstName_(engine, answers_, selInitial_, selFirstName_),
      selSex_(engine, answers_),
      bowlingHand_(engine, answers_) {}

void NewPlayerWizard::ResetNewPlayer() {
  answers_.NewFirstName.clear();
  answers_.NewLastName.clear();
  answers_.NewFemale = false;
  answers_.NewLefthanded = false;
  answers_.PickingLastInitial = false;
}

void NewPlayerWizard::Ask(Form& question, const char* what) {
  question.Show(ShowMode::Modeless);
  engine_.GetPlatform().Windows.WaitUntil([&question] { return !question.Visible(); }, what);
}

void NewPlayerWizard::CreatePlayer() {
  if (roster_.PlayerCount() >= Roster::kMaxPlayers) {
    // Nothing may be overwritten: say so before the first question, and the main menu,
    // never left, listens again.
    engine_.DuckMusic();
    engine_.PlayAndWait(engine_.GetFolders().MenuFolder / "full.wav");
    engine_.RestoreMusic();
    return;
  }
  ResetNewPlayer();
  mainMenu_.Hide();
  Ask(firstName_, "the first name of a new bowler");
  answers_.PickingLastInitial = true;
  Ask(selInitial_, "the last initial of a new bowler");
  Greet();
  Ask(selSex_, "the sex of a new bowler");
  Ask(bowlingHand_, "the bowling hand of a new bowler");
  SaveNewPlayer();
  mainMenu_.Show(ShowMode::Modeless);
}

void NewPlayerWizard::Greet() {
  const Folders& f = engine_.GetFolders();
  engine_.DuckMusic();
  engine_.PlayAndWait(f.MenuFolder / "hello.wav");
  engine_.PlayAndWait((answers_.NewFirstIsInitial ? f.InitialsFolder : f.NamesFolder) /
                      answers_.NewFirstName);
  engine_.PlayAndWait(f.InitialsFolder / answers_.NewLastName);
  engine_.RestoreMusic();
}

void NewPlayerWizard::SaveNewPlayer() {
  Player bowler;
  bowler.SetFirstName(answers_.NewFirstName);
  bowler.SetLastName(answers_.NewLastName);
  bowler.SetLefthanded(answers_.NewLefthanded);
  bowler.SetFemale(answers_.NewFemale);
  const int slot = roster_.PlayerCount() + 1;
  try {
    // Into the file first: the table takes the bowler only once the record is written, so
    // the two stay in step and a failed save leaves the slot for the next new bowler.
    bowler.Save(roster_.PlayersFile(), slot);
    roster_.AddPlayer() = bowler;
  } catch (const std::exception&) {
    engine_.LogError(roster_.PlayersFile().string());
  }
}

}  // namespace strikora
