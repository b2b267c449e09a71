#include "menus/fStats.h"

#include <exception>
#include <string>

#include "menus/RosterList.h"

namespace strikora {

fStats::fStats(SoundEngine& engine, const Roster& roster, NameSpeech& names)
    : SpokenMenu(engine, "Player Stats", kItems), roster_(roster), names_(names) {}

void fStats::SpeakItem() {
  const int index = roster_.CurrentPlayer();
  const Player* bowler = roster_.PlayerCount() > 0 ? roster_.PlayerAt(index) : nullptr;
  if (bowler == nullptr) {
    Hide();
    return;
  }
  const auto method = [this] { return Item < kMethod2 ? 1 : 2; };
  const auto skill = [this, &method] { return Item - (method() == 1 ? kMethod1 : kMethod2); };
  const auto isAverage = [this] { return Item > kMethod1 && Item != kMethod2; };
  // An average with no game stored is skipped, always forward, so an Up onto an empty average
  // comes back where it started. The headings are never skipped, so this ends.
  while (isAverage() && bowler->Average(method(), skill()) == 0) {
    Item = static_cast<std::int16_t>(Item + 1 < kItems ? Item + 1 : 0);
  }
  switch (Item) {
    case kName: {
      const BusyScope busy(Engine);
      Engine.DuckMusic();
      const bool never = false;
      SpeakRosterEntry(Engine, names_, index, never);
      Engine.RestoreMusic();
      return;
    }
    case kHand:
      Engine.PlayAndWait(MenuClip(bowler->Lefthanded() ? "lefty.wav" : "righty.wav"));
      return;
    case kMethod1:
    case kMethod2:
      Engine.PlayAndWait(MenuClip(Item == kMethod1 ? "pm1.wav" : "pm2.wav"));
      return;
    default:
      break;
  }
  const BusyScope busy(Engine);
  Engine.DuckMusic();
  Engine.PlayAndWait(MenuClip("l" + std::to_string(skill()) + ".wav"));
  Engine.PlayAndWait(MenuClip("avgof.wav"));
  try {
    Engine.Numbers.SpeakNumber(bowler->Average(method(), skill()));
  } catch (const std::exception&) {
    Engine.LogError("SpeakNumber");
  }
  Engine.RestoreMusic();
}

}  // namespace strikora
