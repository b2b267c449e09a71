#include "menus/fSelPlayers.h"

namespace strikora {

fSelPlayers::fSelPlayers(SoundEngine& engine, Roster& roster, NameSpeech& names,
                         GameSession& session)
    : RosterList(engine, "Select today's players...", roster, names, "selplyrs.wav"),
      session_(session) {}

void fSelPlayers::ExitMenu() {
  session_.MenuAccepted = false;
  Hide();
}

bool fSelPlayers::StartFocus() {
  if (Players.PlayerCount() == 0) {
    // Nobody to choose: the prompt is heard once, then the game start steps back.
    PlayPrompt();
    ExitMenu();
    return false;
  }
  return RosterList::StartFocus();
}

void fSelPlayers::AfterEntry() {
  if (Players.Players(Selection()).IsActive()) Engine.PlayActiveCue();
}

SpokenMenu::KeyAction fSelPlayers::ExtraKey(int KeyCode) {
  if (KeyCode == vk::Space) {
    Toggle();
    return KeyAction::Done;
  }
  return RosterList::ExtraKey(KeyCode);
}

void fSelPlayers::Toggle() {
  if (Players.PlayerCount() == 0) return;
  Player& bowler = Players.Players(Selection());
  bowler.SetIsActive(!bowler.IsActive());
  Engine.PlayActiveCue();
}

void fSelPlayers::Confirm() {
  if (Players.CountActivePlayers() < 1) return;
  {
    const BusyScope busy(Engine);
    Engine.PlayAndWait(MenuClip("selplay.wav"));
    for (int i = 1; i <= Players.PlayerCount(); ++i) {
      if (!Players.Players(i).IsActive()) continue;
      Names.SpeakPlayerName(i);
      Engine.PlaySilence(2);
    }
  }
  session_.MenuAccepted = true;
  Hide();
}

}  // namespace strikora
