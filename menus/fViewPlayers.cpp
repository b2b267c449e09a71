#include "menus/fViewPlayers.h"

#include <exception>

namespace strikora {

fViewPlayers::fViewPlayers(SoundEngine& engine, Roster& roster, NameSpeech& names, fStats& stats)
    : RosterList(engine, "Select/Delete Players", roster, names, "vpsmenu.wav"), stats_(stats) {}

bool fViewPlayers::StartFocus() {
  if (ConfirmPending) {
    // Back with the question still open: ask it again rather than start the list over and
    // leave Y and N waiting for an answer nobody was asked for.
    AskDelete();
    return false;
  }
  Answer = 0;
  ConfirmPending = false;
  return RosterList::StartFocus();
}

SpokenMenu::KeyAction fViewPlayers::ExtraKey(int KeyCode) {
  if (ConfirmPending) {
    if (KeyCode == vk::Letter('Y')) Answer = 1;
    if (KeyCode == vk::Letter('N')) Answer = 2;
    return KeyAction::Done;
  }
  if (KeyCode == vk::Delete) {
    if (Players.PlayerCount() > 0) ConfirmDelete();
    return KeyAction::Done;
  }
  return RosterList::ExtraKey(KeyCode);
}

void fViewPlayers::OpenStatistics() {
  Players.SetCurrentPlayer(Selection());
  stats_.Show(ShowMode::Modal, this);
  Players.SetCurrentPlayer(0);
}

void fViewPlayers::AskDelete() {
  {
    const BusyScope busy(Engine);
    Interrupted = false;
    Engine.DuckMusic();
    Engine.PlayAndWait(MenuClip("delete.wav"));
    AnnounceEntry();
  }
  // Open before the last clip, not after it: a Y or N while it plays is an answer, and no
  // other key can move the list away from the bowler just named.
  ConfirmPending = true;
  Engine.DuckMusic();
  Engine.PlayAndWait(MenuClip("yesno.wav"));
  Engine.RestoreMusic();
}

void fViewPlayers::ConfirmDelete() {
  AskDelete();
  Windows().WaitUntil([this] { return Answer != 0; }, "a yes or no to deleting a bowler");
  if (Answer == 1) {
    try {
      Players.DeletePlayer(Selection());
    } catch (const std::exception&) {
      // The roster file and the table are as they were; the bowler is still there.
      Engine.LogError("DeletePlayer");
    }
    if (Selection() > Players.PlayerCount()) Item = 0;
  }
  Answer = 0;
  Interrupted = false;
  ConfirmPending = false;
  AnnounceEntry();
}

void ShowViewPlayers(Form& mainMenu, fViewPlayers& viewPlayers) {
  mainMenu.Hide();
  viewPlayers.Show(ShowMode::Modeless);
  viewPlayers.Windows().WaitUntil([&viewPlayers] { return !viewPlayers.Visible(); },
                                  "the bowler list to close");
  mainMenu.Show(ShowMode::Modeless);
}

}  // namespace strikora
