#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "platform/Display.h"
#include "platform/Platform.h"
#include "players/Roster.h"
#include "screen/SpokenLine.h"
#include "session/GameSession.h"

namespace strikora {

// The colour schemes F8 goes through, each at least 7:1 between text and background.
inline constexpr std::array<ColourScheme, 3> kColourSchemes = {{
    {"yellow on black", {255, 255, 0}, {0, 0, 0}},
    {"white on black", {255, 255, 255}, {0, 0, 0}},
    {"black on white", {0, 0, 0}, {255, 255, 255}},
}};
inline constexpr int kTextSteps = 5;

// What the game window shows, worked out from what the game does: the active screen's caption,
// the words of the clips as they start (from the words file), and on the lane the scorecard,
// the pins and, at the end, the standings as the announcer calls them. It follows the sound
// trace and reads the roster and the game's state; it changes nothing the player hears.
// The window's own keys (F8 colours, F9/F10 text size, F11 full screen) are taken here on
// every screen and remembered in the settings.
class ScreenModel {
 public:
  // soundsFolder: the unpacked sound tree the clips are played from.
  ScreenModel(Platform& platform, const Roster& roster, const GameSession& session,
              std::filesystem::path soundsFolder);
  ~ScreenModel();
  ScreenModel(const ScreenModel&) = delete;
  ScreenModel& operator=(const ScreenModel&) = delete;

  [[nodiscard]] ClipWords& Words() { return words_; }
  // The form that is the lane: while it is active the scorecard is shown.
  void SetLane(const Form* lane) { lane_ = lane; }
  // Where pictures go; each change is shown at once, nothing is drawn when nothing changed.
  void SetDisplay(Display* display);

  [[nodiscard]] Picture Current() const;

 private:
  void Heard(const TraceEvent& event);
  bool TakeKey(const KeyEvent& key);
  void Refresh();
  void FollowTurn();
  void AddLane(Picture& picture) const;
  void AddStandings(Picture& picture) const;
  [[nodiscard]] std::string NameOf(const Player& bowler) const;
  [[nodiscard]] bool OnLane() const;

  Platform& platform_;
  const Roster& roster_;
  const GameSession& session_;
  std::filesystem::path soundsFolder_;
  ClipWords words_;
  SpokenLine line_;
  const Form* lane_ = nullptr;
  Display* display_ = nullptr;
  Picture shown_;
  bool everShown_ = false;

  int textStep_ = 2;
  int scheme_ = 0;
  bool fullScreen_ = false;

  // The turn whose first ball was seen announced: until then the frame just begun shows
  // nothing, though the game still holds the last turn's ball number.
  int turnPlayer_ = 0, turnFrame_ = 0;
  bool results_ = false;  // the closing music has begun the results
  int placesCalled_ = 0;
};

}  // namespace strikora
