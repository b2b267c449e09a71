// The sound options heard through the whole application: what each key says, what is kept in
// the settings file and read again, and what the player's mix does to the clips under it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "audio/SoundMix.h"
#include "tests/support/AppWorld.h"

namespace strikora {
namespace {

using testing::At;
using testing::Said;

TEST(SoundOptions, EachKeyIsHeardKeptAndReadAgainAfterARestart) {
  // Keys from the options' first "percent" on; heard from their prompt on.
  struct Case {
    const char* name;
    std::vector<testing::KeyAt> keys;
    const char* heard;
    MixSettings kept;
  };
  // clang-format off
  const int L = vk::Left, R = vk::Right, D = vk::Down;
  const std::vector<Case> cases = {
      {"speech a step down; effects two, each with a pin; Enter switches clear speech off",
       {At("percent", L), At("percent", D, 2), At("percent", L, 3), At("percent", L, 4), At("percent", D, 5),
        At("percent", D, 6), At("percent", D, 7), At("on", vk::Enter), At("off", vk::Escape)},
       "psoption volspch #1 #hundred percent #90 percent volfx #1 #hundred percent play/pin7 #90 percent "
       "play/pin7 #80 percent volcrowd #1 #hundred percent volmusic #1 #hundred percent clearsp on off",
       {{90, 80, 100, 100}, false, false}},
      {"speech never goes below ten; Left and Right set a switch off and on",
       {At("percent", L), At("percent", L, 2), At("percent", L, 3), At("percent", L, 4), At("percent", L, 5), At("percent", L, 6),
        At("percent", L, 7), At("percent", L, 8), At("percent", L, 9), At("percent", L, 10), At("percent", vk::Up, 11),
        At("off", L), At("off", vk::Up, 2), At("on", R), At("on", vk::Escape, 2)},
       "psoption volspch #1 #hundred percent #90 percent #80 percent #70 percent #60 percent #50 percent "
       "#40 percent #30 percent #20 percent #10 percent #10 percent headph off off clearsp on on",
       {{10, 100, 100, 100}, true, false}},
      {"3D asked for where no head-related sound can be had: the buzzer, and it stays off",
       {At("percent", vk::Up), At("off", R), At("off", vk::Escape, 2)},
       "psoption volspch #1 #hundred percent headph off play/buzzer off", {}},
  };
  // clang-format on
  for (const Case& t : cases) {
    SCOPED_TRACE(t.name);
    testing::AppWorld w;
    w.app->MainMenu().Item = fMain::kOptions;
    w.Script({At("options", vk::Enter), At("options", vk::Escape, 2)});
    w.Script(t.keys);
    w.RunMainMenu();
    EXPECT_EQ(w.HeardFrom("psoption.wav"), Said(std::string(t.heard) + " psao options end"));
    EXPECT_EQ(LoadMixSettings(w.sim.settings), t.kept);
    w.Start();  // a restart reads them again
    EXPECT_EQ(w.sim.platform.Mix.Settings(), t.kept);
  }
}

TEST(SoundOptions, AStoredValueThatIsNoVolumeReadsAsItsDefault) {
  testing::AppWorld w;
  for (const auto& [key, value] :
       std::vector<std::pair<const char*, const char*>>{{"Speech", "5"},
                                                        {"Effects", "55"},
                                                        {"Crowd", "-10"},
                                                        {"Music", "x"},
                                                        {"ClearSpeech", "2"},
                                                        {"Headphones", "yes"}})
    w.sim.settings.SaveSetting("KORVELDA", "Sound", key, value);
  EXPECT_EQ(LoadMixSettings(w.sim.settings), MixSettings{});
  w.sim.settings.SaveSetting("KORVELDA", "Sound", "Music", "40");
  w.sim.settings.SaveSetting("KORVELDA", "Sound", "Headphones", "1");
  w.sim.platform.Trace.Clear();
  w.Start();
  EXPECT_EQ(w.sim.platform.Mix.Settings(), (MixSettings{{100, 100, 100, 40}, true, true}));
  // Headphones asked for where there is no 3D: said once in the log, with no buzzer.
  std::ifstream log(w.tree.F.DataFolder / "qbxerr.log");
  EXPECT_NE(std::string(std::istreambuf_iterator<char>(log), {}).find("HRTF"), std::string::npos);
  EXPECT_EQ(w.Count("play"), 1) << "only the menu music, no buzzer";
}

TEST(SoundOptions, TheLaneGivesWayToTheAnnouncerAndEachKindKeepsItsVolume) {
  // The crowd's volume in percent and what it does to a clip in hundredths of a dB; the alley's
  // dip under a call 150 ms in, and a second later.
  struct Case {
    const char* name;
    bool laneOpen, clear;
    int crowd, crowdLevel, during, after;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"on the lane: down under the call, back after it", true, true, 100, 0, -2000, 0},
      {"clear speech off: the lane stays", true, false, 100, 0, 0, 0},
      {"off the lane nothing gives way", false, true, 100, 0, 0, 0},
      {"half the crowd's volume is 12 dB, on top of the dip", true, true, 50, -1204, -2000, 0},
      {"a tenth is 40 dB", true, false, 10, -4000, 0, 0},
  };
  // clang-format on
  for (const Case& t : cases) {
    SCOPED_TRACE(t.name);
    testing::AppWorld w;
    SoundEngine& e = w.app->Engine();
    (void)w.sim.platform.Mix.Apply(MixSettings{{100, 100, t.crowd, 100}, t.clear, false});
    e.SetLaneOpen(t.laneOpen);
    e.StartAlleyAmbience();
    const int alley = -1500 + t.crowdLevel;  // the alley's own level, and the player's mix
    std::vector<int> heard;
    Timer look(w.sim.platform.Windows);
    look.OnTimer = [&] {
      heard.push_back(*w.sim.world.DeviceVolume("ambient/alley.wav"));
      look.SetInterval(1000);
    };
    look.SetInterval(150);
    look.SetEnabled(true);
    e.PlayAnnouncerAndWait("\\frame1.wav");
    w.sim.platform.Windows.WaitUntil([&] { return heard.size() == 2; }, "two looks");
    EXPECT_EQ(heard, (std::vector<int>{alley + t.during, alley + t.after}));
    EXPECT_EQ(e.BackgroundBuffer.Buffer->GetVolume(), -1500) << "the game reads back its own level";
  }
}

}  // namespace
}  // namespace strikora
