// The main menu on the simulated desktop: what the player hears for each key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menus/fMain.h"
#include "platform/Keys.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/TestSoundTree.h"

namespace strikora {
namespace {

struct Left {};  // the exit item was taken

class RecordingHost final : public MainMenuHost {
 public:
  std::function<void()> OnStartGame;
  int Started = 0, Created = 0, Viewed = 0, Exited = 0;
  void StartGame() override {
    ++Started;
    if (OnStartGame) OnStartGame();
  }
  void CreatePlayer() override { ++Created; }
  void ShowViewPlayers() override { ++Viewed; }
  [[noreturn]] void ExitProgram() override {
    ++Exited;
    throw Left{};
  }
};

class MainMenu : public ::testing::Test {
 protected:
  MainMenu() : tree(dir.Path()), engine(sim.platform, tree.F), menu(engine, host, session) {}

  // Shows the menu as start-up does and runs the script until the player leaves.
  void RunUntilLeft() {
    engine.StartMenuMusic();
    EXPECT_THROW(menu.Show(ShowMode::Modal), Left);
  }

  // The clips heard on the speech slot, by file name, after the prompt's silences.
  [[nodiscard]] std::vector<std::string> Spoken() const {
    std::vector<std::string> out;
    for (const TraceEvent& e : sim.platform.Trace.Events()) {
      if (e.Kind != "play" || e.Fields[0] != "SpeechBuffer") continue;
      const std::string name = std::filesystem::path(e.Fields[1]).filename().string();
      if (name != "silence.wav") out.push_back(name);
    }
    return out;
  }
  [[nodiscard]] int Count(const std::string& kind, const std::string& slot) const {
    int n = 0;
    for (const TraceEvent& e : sim.platform.Trace.Events()) {
      if (e.Kind == kind && !e.Fields.empty() && e.Fields[0] == slot) ++n;
    }
    return n;
  }

  testing::TempDir dir;
  testing::TestSoundTree tree;
  sim::SimPlatform sim;
  RecordingHost host;
  SoundEngine engine;
  GameSession session;
  fMain menu;
};

using Clips = std::vector<std::string>;

TEST_F(MainMenu, ArrowsWrapBothWaysAndOtherKeysRepeatTheItem) {
  sim.world.PressKeyWhenClipStarts("/lgb.wav", vk::Up, 0, 50, 1);
  sim.world.PressKeyWhenClipStarts("/lta.wav", vk::Down, 0, 50, 1);
  sim.world.PressKeyWhenClipStarts("/lgb.wav", vk::Letter('P'), 0, 50, 2);
  sim.world.PressKeyWhenClipStarts("/lgb.wav", vk::Digit(7), 0, 500, 3);
  sim.world.PressKeyWhenClipStarts("/lgb.wav", vk::Escape, 0, 500, 4);
  RunUntilLeft();
  EXPECT_EQ(Spoken(),
            (Clips{"psao.wav", "lgb.wav", "lta.wav", "lgb.wav", "lgb.wav", "lgb.wav", "end.wav"}));
  // The three keys that came mid-clip cut it; the one after a finished clip had nothing to cut.
  EXPECT_EQ(Count("stop", "SpeechBuffer"), 3);
  EXPECT_EQ(menu.Item, fMain::kQuit);
  EXPECT_EQ(host.Exited, 1);
  EXPECT_FALSE(engine.MusicDucked);
}

TEST_F(MainMenu, CtrlAloneAndShiftAloneOnlySilence) {
  sim.world.PressKeyWhenClipStarts("/lgb.wav", vk::Down, mod::Ctrl, 50);
  sim.world.PressKeyAfter(2000, vk::Control, mod::Ctrl);
  sim.world.PressKeyAfter(2100, vk::Letter('A'), mod::Shift);
  // Both held is no silencing state: the key acts.
  sim.world.PressKeyAfter(2200, vk::Down, mod::Shift | mod::Ctrl);
  sim.world.PressKeyAfter(2300, vk::Escape);
  RunUntilLeft();
  EXPECT_EQ(Spoken(), (Clips{"psao.wav", "lgb.wav", "create.wav", "end.wav"}));
  EXPECT_EQ(Count("stop", "SpeechBuffer"), 2);  // lgb.wav by Ctrl+Down, create.wav by Escape
  EXPECT_EQ(menu.Item, fMain::kQuit);
}

TEST_F(MainMenu, HandicapItemTogglesAndItsTwoClipsCannotBeCutApart) {
  menu.Item = fMain::kHandicap;
  sim.world.PressKeyWhenClipStarts("/off.wav", vk::Enter, 0, 450, 1);
  // Between "uh" and "on" the menu is Busy: this Down neither cuts nor moves.
  sim.world.PressKeyWhenClipStarts("/uh.wav", vk::Down, 0, 50, 2);
  sim.world.PressKeyWhenClipStarts("/on.wav", vk::Enter, 0, 450, 1);
  sim.world.PressKeyWhenClipStarts("/off.wav", vk::Escape, 0, 450, 2);
  RunUntilLeft();
  EXPECT_EQ(Spoken(), (Clips{"psao.wav", "uh.wav", "off.wav", "uh.wav", "on.wav", "uh.wav",
                             "off.wav", "end.wav"}));
  EXPECT_FALSE(session.UseHandicap);
  EXPECT_EQ(Count("stop", "SpeechBuffer"), 0);
}

TEST_F(MainMenu, SpeakerTestIsHeardOnReachingItAndEnterDoesNothing) {
  menu.Item = fMain::kQuit;
  sim.world.PressKeyWhenClipStarts("/lta.wav", vk::Up, 0, 450);
  sim.world.PressKeyWhenClipStarts("/spkrtest.wav", vk::Enter, 0, 450);
  sim.world.PressKeyWhenClipStarts("/spkrtest.wav", vk::Space, 0, 450);
  sim.world.PressKeyAfter(5000, vk::Escape);
  RunUntilLeft();
  EXPECT_EQ(Spoken(), (Clips{"psao.wav", "lta.wav", "spkrtest.wav", "end.wav"}));
  EXPECT_EQ(host.Started + host.Created + host.Viewed, 0);
}

TEST_F(MainMenu, EnterAndSpaceStartTheirItemsWithoutSpeakingAfterwards) {
  menu.Item = fMain::kCreatePlayer;
  sim.world.PressKeyWhenClipStarts("/create.wav", vk::Enter, 0, 450);
  sim.world.PressKeyAfter(3000, vk::Down);
  sim.world.PressKeyWhenClipStarts("/vps.wav", vk::Space, 0, 450);
  sim.world.PressKeyAfter(6000, vk::Escape);
  RunUntilLeft();
  EXPECT_EQ(host.Created, 1);
  EXPECT_EQ(host.Viewed, 1);
  EXPECT_EQ(Spoken(), (Clips{"psao.wav", "create.wav", "vps.wav", "end.wav"}));
}

TEST_F(MainMenu, EscapeStopsTheMusicAndLeavesAfterTheGoodbye) {
  sim.world.PressKeyWhenClipStarts("/lgb.wav", vk::Escape, 0, 50);
  RunUntilLeft();
  const auto& events = sim.platform.Trace.Events();
  std::vector<std::string> tail;
  for (auto it = events.end() - 4; it != events.end(); ++it) {
    std::string line = it->Kind + " " + it->Fields[0];
    if (it->Kind != "key" && it->Fields.size() > 1) {
      line += " " + std::filesystem::path(it->Fields[1]).filename().string();
    }
    tail.push_back(line);
  }
  EXPECT_EQ(tail, (Clips{"key 27", "stop SpeechBuffer", "stop BackgroundBuffer",
                         "play SpeechBuffer end.wav"}));
  EXPECT_TRUE(engine.Busy);  // nothing may speak over the goodbye
}

TEST_F(MainMenu, ReturningFromAGameSpeaksThePromptAndTheItemItWasLeftOn) {
  host.OnStartGame = [this] {
    menu.Hide();
    menu.Show(ShowMode::Modeless);
  };
  sim.world.PressKeyWhenClipStarts("/lgb.wav", vk::Enter, 0, 450, 1);
  sim.world.PressKeyWhenClipStarts("/lgb.wav", vk::Escape, 0, 450, 2);
  RunUntilLeft();
  EXPECT_EQ(host.Started, 1);
  EXPECT_EQ(Spoken(), (Clips{"psao.wav", "lgb.wav", "psao.wav", "lgb.wav", "end.wav"}));
  int silences = 0;
  for (const TraceEvent& e : sim.platform.Trace.Events()) {
    if (e.Kind == "play" && e.Fields[1].ends_with("silence.wav")) ++silences;
  }
  EXPECT_EQ(silences, 20);  // ten before each prompt
}

TEST_F(MainMenu, F12TellsTheTimeWithoutRepeatingTheItem) {
  sim.world.SetLocalTime({2026, 12, 6, 14, 20, 0});
  sim.random.Push(0.5);  // hour in the plain voice
  sim.random.Push(0.5);  // minutes in the plain voice
  sim.world.PressKeyWhenClipStarts("/lgb.wav", vk::F12, 0, 450);
  // Once the time is told the menu listens again.
  sim.world.PressKeyAfter(8000, vk::Down);
  sim.world.PressKeyWhenClipStarts("/create.wav", vk::Escape, 0, 450);
  RunUntilLeft();
  EXPECT_EQ(Spoken(), (Clips{"psao.wav", "lgb.wav", "create.wav", "end.wav"}));
  std::vector<std::string> numbers;
  for (const TraceEvent& e : sim.platform.Trace.Events()) {
    if (e.Kind == "play" && e.Fields[0] == "NumberBuffer") {
      numbers.push_back(std::filesystem::path(e.Fields[1]).filename().string());
    }
  }
  EXPECT_EQ(numbers, (Clips{"2.wav", "20.wav"}));
}

}  // namespace
}  // namespace strikora
