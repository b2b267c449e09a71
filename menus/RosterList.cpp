#include "menus/RosterList.h"

#include <exception>

namespace strikora {

int JumpToTens(int KeyCode, int selection, int playerCount) {
  const int tens = (KeyCode - vk::Digit0) * 10;
  if (tens == 0) return 1;
  return tens <= playerCount ? tens : selection;
}

void SpeakRosterEntry(SoundEngine& engine, NameSpeech& names, int index, const bool& interrupted) {
  try {
    engine.Numbers.SpeakNumber(index);
  } catch (const std::exception&) {
    engine.LogError("SpeakNumber");
  }
  if (!interrupted) names.SpeakFirstName(index);
  if (!interrupted) names.SpeakLastName(index);
}

RosterList::RosterList(SoundEngine& engine, std::string caption, Roster& roster, NameSpeech& names,
                       std::string promptClip)
    : SpokenMenu(engine, std::move(caption), 0),
      Players(roster),
      Names(names),
      promptClip_(std::move(promptClip)) {}

bool RosterList::StartFocus() {
  Item = 0;
  Interrupted = false;
  return true;
}

void RosterList::PlayPrompt() {
  Engine.DuckMusic();
  const BusyScope busy(Engine);
  Engine.PlayAndWait(MenuClip(promptClip_));
}

void RosterList::AnnounceEntry() {
  if (Players.PlayerCount() == 0) {
    Hide();
    return;
  }
  Interrupted = false;
  {
    const BusyScope busy(Engine);
    Engine.DuckMusic();
    SpeakRosterEntry(Engine, Names, Selection(), Interrupted);
    if (!Interrupted) AfterEntry();
  }
  Engine.RestoreMusic();
}

void RosterList::KeyWhileBusy(int KeyCode, int Shift) {
  (void)KeyCode;
  if (!OnlySilences(Shift)) return;
  Engine.StopSpeech();
  Interrupted = true;
}

SpokenMenu::KeyAction RosterList::ExtraKey(int KeyCode) {
  int selection = Selection();
  switch (KeyCode) {
    case vk::PageUp:
      selection -= 5;
      break;
    case vk::PageDown:
      selection += 5;
      break;
    case vk::Home:
      selection = 1;
      break;
    case vk::End:
      selection = Players.PlayerCount();
      break;
    default:
      if (KeyCode < vk::Digit0 || KeyCode > vk::Digit(9)) return KeyAction::NotTaken;
      selection = JumpToTens(KeyCode, selection, Players.PlayerCount());
      break;
  }
  Item = static_cast<std::int16_t>(selection - 1);
  return KeyAction::Moved;
}

}  // namespace strikora
