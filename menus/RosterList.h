#pragma once

#include <cstdint>
#include <string>

#include "audio/NameSpeech.h"
#include "menus/SpokenMenu.h"
#include "players/Roster.h"

namespace strikora {

// Where a digit key (virtual-key code 48..57) moves a roster list: 0 to the first bowler, n to
// bowler 10 × n when there is one, otherwise nowhere. Selections count from 1.
[[nodiscard]] int JumpToTens(int KeyCode, int selection, int playerCount);

// A bowler as the roster menus name them: the roster number, then the first name and the last
// initial unless a silencing key has set `interrupted` meanwhile. A number that cannot be
// spoken is logged (the buzzer) and the names still follow.
void SpeakRosterEntry(SoundEngine& engine, NameSpeech& names, int index, const bool& interrupted);

// A spoken list of the roster, one bowler at a time (today's bowlers, view and delete). Every
// key cuts the speech first; Shift alone or Ctrl alone only silences, and does so even while an
// entry is being spoken, skipping the names not yet begun; keys with no meaning here are quiet.
class RosterList : public SpokenMenu {
 public:
  RosterList(SoundEngine& engine, std::string caption, Roster& roster, NameSpeech& names,
             std::string promptClip);

  [[nodiscard]] int ItemCount() const override { return Players.PlayerCount(); }
  // The bowler being spoken, 1..PlayerCount.
  [[nodiscard]] std::int16_t Selection() const { return static_cast<std::int16_t>(Item + 1); }
  // A key was pressed while the entry was spoken: its remaining name clips are skipped.
  bool Interrupted = false;

 protected:
  bool StartFocus() override;
  // The prompt, over lowered music; no key but a silencing one may cut into it.
  void PlayPrompt() override;
  void SpeakItem() override { AnnounceEntry(); }
  // Announces the selected bowler; with nobody left in the roster, closes the list instead.
  void AnnounceEntry();
  // After the number and names: what else an entry says (today's-bowler cue).
  virtual void AfterEntry() {}

  [[nodiscard]] bool OnlySilences(int Shift) const override {
    return Shift == mod::Shift || Shift == mod::Ctrl;
  }
  void SpeechCut() override { Interrupted = true; }
  void KeyWhileBusy(int KeyCode, int Shift) override;
  [[nodiscard]] bool RepeatsOnOtherKey() const override { return false; }
  KeyAction ExtraKey(int KeyCode) override;

  Roster& Players;
  NameSpeech& Names;

 private:
  std::string promptClip_;
};

}  // namespace strikora
