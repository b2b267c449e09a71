// The main menu on the simulated desktop: what the player hears for each key.
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "menus/fMain.h"
#include "platform/Keys.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/TestSoundTree.h"

namespace strikora {
namespace {

using Clips = std::vector<std::string>;
// "psao lgb" is psao.wav, lgb.wav.
Clips Wavs(const std::string& words) {
  std::istringstream in(words);
  Clips out;
  for (std::string w; in >> w;) out.push_back(w + ".wav");
  return out;
}
struct Left {};  // the exit item was taken

class RecordingHost final : public MainMenuHost {
 public:
  std::function<void()> OnStartGame;
  int Started = 0, Created = 0, Viewed = 0;
  void StartGame() override {
    ++Started;
    if (OnStartGame) OnStartGame();
  }
  void CreatePlayer() override { ++Created; }
  void ShowViewPlayers() override { ++Viewed; }
  [[noreturn]] void ExitProgram() override { throw Left{}; }
};

// A key `ms` after the n-th play of a menu clip ("lgb" for lgb.wav) starts, or with no clip
// `ms` after the menu opens.
struct Key {
  const char* clip;
  int key, n = 1, ms = 450, shift = 0;
};

// The menu as start-up shows it, with a game that returns to it at once.
struct Desk {
  Desk() {
    host.OnStartGame = [this] {
      menu.Hide();
      menu.Show(ShowMode::Modeless);
    };
  }
  // Shows the menu with `item` chosen and plays the keys until the player leaves.
  void Run(int item, const std::vector<Key>& keys) {
    menu.Item = item;
    for (const Key& k : keys) {
      if (*k.clip == '\0') {
        sim.world.PressKeyAt(k.ms, k.key, k.shift);
      } else {
        sim.world.PressKeyWhenClipStarts(std::string("/") + k.clip + ".wav", k.key, k.shift, k.ms,
                                         k.n);
      }
    }
    engine.StartMenuMusic();
    EXPECT_THROW(menu.Show(ShowMode::Modal), Left);
  }
  // The clips played on a slot ("" any), by file name, pauses apart; and their pauses.
  [[nodiscard]] Clips Played(const std::string& slot, bool pauses = false) const {
    Clips out;
    for (const TraceEvent& e : sim.platform.Trace.Events()) {
      const std::string name =
          e.Kind == "play" ? std::filesystem::path(e.Fields[1]).filename().string() : "";
      if (!name.empty() && (slot.empty() || e.Fields[0] == slot) &&
          (name == "silence.wav") == pauses) {
        out.push_back(name);
      }
    }
    return out;
  }
  [[nodiscard]] int Stops() const {
    int n = 0;
    for (const TraceEvent& e : sim.platform.Trace.Events()) {
      n += e.Kind == "stop" && e.Fields[0] == "SpeechBuffer" ? 1 : 0;
    }
    return n;
  }

  testing::TempDir dir;
  testing::TestSoundTree tree{dir.Path()};
  sim::SimPlatform sim;
  RecordingHost host;
  SoundEngine engine{sim.platform, tree.F};
  GameSession session;
  fMain menu{engine, host, session};
};

TEST(MainMenu, WhatEachKeySaysAndDoes) {
  struct Case {
    const char* name;
    int item;
    std::vector<Key> keys;
    const char* spoken;
    int stops;                 // clips a key cut short
    std::array<int, 3> acted;  // games started, bowlers created, roster lists shown
    int pauses = 10;           // ten before each prompt
    const char* numbers = "";
  };
  const int Ctrl = mod::Ctrl, Shift = mod::Shift, Esc = vk::Escape;
  // clang-format off
  const std::vector<Case> cases = {
      {"arrows wrap both ways; other keys repeat the item, cutting it if it still plays",
       fMain::kStartGame, {{"lgb", vk::Up, 1, 50}, {"lta", vk::Down, 1, 50},
        {"lgb", vk::Letter('P'), 2, 50}, {"lgb", vk::Digit(7), 3, 500}, {"lgb", Esc, 4, 500}},
       "psao lgb lta lgb lgb lgb end", 3, {0, 0, 0}},
      {"Ctrl alone and Shift alone only silence; both held with a key act as the key",
       fMain::kStartGame, {{"lgb", vk::Down, 1, 50, Ctrl}, {"", vk::Control, 1, 2000, Ctrl},
        {"", vk::Letter('A'), 1, 2100, Shift}, {"", vk::Down, 1, 2200, Shift | Ctrl},
        {"", Esc, 1, 2300}},
       "psao lgb create end", 2 /* lgb by Ctrl+Down, create by Escape */, {0, 0, 0}},
      {"the handicap toggles; between its two clips the menu is busy: Down neither cuts nor moves",
       fMain::kHandicap,
       {{"off", vk::Enter}, {"uh", vk::Down, 2, 50}, {"on", vk::Enter}, {"off", Esc, 2}},
       "psao uh off uh on uh off end", 0, {0, 0, 0}},
      {"the speaker test is heard on reaching it; Enter and Space do nothing there", fMain::kQuit,
       {{"lta", vk::Up}, {"spkrtest", vk::Enter}, {"spkrtest", vk::Space}, {"", Esc, 1, 5000}},
       "psao lta spkrtest end", 0, {0, 0, 0}},
      {"Enter and Space start their items without speaking afterwards", fMain::kCreatePlayer,
       {{"create", vk::Enter}, {"", vk::Down, 1, 3000}, {"vps", vk::Space}, {"", Esc, 1, 6000}},
       "psao create vps end", 0, {0, 1, 1}},
      {"Escape cuts the item and leaves after the goodbye", fMain::kStartGame,
       {{"lgb", Esc, 1, 50}}, "psao lgb end", 1, {0, 0, 0}},
      {"back from a game: the prompt and the item it was left on", fMain::kStartGame,
       {{"lgb", vk::Enter}, {"lgb", Esc, 2}}, "psao lgb psao lgb end", 0, {1, 0, 0}, 20},
      {"F12 tells the time, not the item, and the menu listens again", fMain::kStartGame,
       {{"lgb", vk::F12}, {"", vk::Down, 1, 8000}, {"create", Esc}}, "psao lgb create end", 0,
       {0, 0, 0}, 12 /* two between the hour and the minutes */, "2 20"},
  };
  // clang-format on
  for (const Case& t : cases) {
    SCOPED_TRACE(t.name);
    Desk d;
    d.sim.world.SetLocalTime({2026, 12, 6, 14, 20, 0});
    d.sim.random.Push(0.5);  // hour and minutes in the plain voice
    d.sim.random.Push(0.5);
    d.Run(t.item, t.keys);
    EXPECT_EQ(d.Played("SpeechBuffer"), Wavs(t.spoken));
    EXPECT_EQ(d.Stops(), t.stops);
    EXPECT_EQ((std::array{d.host.Started, d.host.Created, d.host.Viewed}), t.acted);
    EXPECT_EQ(d.Played("", true).size(), static_cast<std::size_t>(t.pauses));
    EXPECT_EQ(d.Played("NumberBuffer"), Wavs(t.numbers));
    EXPECT_EQ(d.menu.Item, fMain::kQuit);
    EXPECT_FALSE(d.session.UseHandicap);
    EXPECT_FALSE(d.engine.MusicDucked);  // stopping the music ends its ducking too
    // The music stops, then the goodbye, over which nothing may speak.
    const auto& events = d.sim.platform.Trace.Events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events.end()[-2].Kind + " " + events.end()[-2].Fields[0], "stop BackgroundBuffer");
    EXPECT_TRUE(events.back().Kind == "play" && events.back().Fields[1].ends_with("/end.wav"));
    EXPECT_TRUE(d.engine.Busy);
  }
}

}  // namespace
}  // namespace strikora
