#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Keys.h"
#include "tests/audio/EngineWorld.h"

namespace strikora {
namespace {

using testing::EngineWorld;
using testing::WriteWav;
using Strings = std::vector<std::string>;

// The music lines of the trace: "load themesng.mp3", "run", "rate 2.25", ...
Strings MusicTrace(const EngineWorld& w) {
  Strings out;
  for (const TraceEvent& e : w.EventsOf("mp3")) {
    std::string line = e.Fields[0];
    if (!e.Fields[1].empty()) {
      line += " " + std::filesystem::path(e.Fields[1]).filename().string();
    }
    out.push_back(line);
  }
  return out;
}

// The speed keys of the theme song and the adverts.
class SpeedKeys final : public Form {
 public:
  SpeedKeys(WindowSystem& windows, Mp3Music& music) : Form(windows, "Splash"), music_(music) {}
  void Form_KeyDown(int KeyCode, int /*Shift*/) override {
    if (KeyCode == vk::Up) {
      EXPECT_TRUE(music_.SetPlayBackSpeed(2.25f));
    }
  }

 private:
  Mp3Music& music_;
};

TEST(Mp3Music, AMissingFileLoadsNothingAndPlaysNothing) {
  EngineWorld w;
  Mp3Music& mp3 = w.engine.Mp3;
  EXPECT_FALSE(mp3.LoadMP3(w.F.AdvertsFolder / "advert99.mp3"));
  EXPECT_FALSE(mp3.PlayMP3(true));
  EXPECT_FALSE(mp3.PlayMP3(false));
  EXPECT_FALSE(w.world.Mp3Running());
  // Nothing to wait for, and no speed to change.
  mp3.WaitForMP3();
  EXPECT_TRUE(mp3.SetPlayBackSpeed(2.25f));
  EXPECT_EQ(w.Now(), 0);
  EXPECT_EQ(MusicTrace(w), Strings{"load advert99.mp3"});
  // Music failures are answered by the result alone: no log, no buzzer.
  EXPECT_TRUE(w.EventsOf("play").empty());
  EXPECT_FALSE(std::filesystem::exists(w.log.File()));
}

TEST(Mp3Music, TheSpeedKeysMakeTheThemeEndSooner) {
  EngineWorld w;
  Mp3Music& mp3 = w.engine.Mp3;
  SpeedKeys keys(w.sim.platform.Windows, mp3);
  keys.Show();

  ASSERT_TRUE(mp3.LoadMP3(w.F.AnnounceFolder / "themesng.mp3"));
  ASSERT_TRUE(mp3.PlayMP3(false));
  const std::int64_t normal = w.Now();
  EXPECT_EQ(normal, 3000);
  EXPECT_GE(w.sim.platform.Music.CurrentPosition(), w.sim.platform.Music.Duration());

  // A second load starts again from the top at normal speed; one second in, faster.
  ASSERT_TRUE(mp3.LoadMP3(w.F.AnnounceFolder / "themesng.mp3"));
  w.world.PressKeyAfter(1000, vk::Up);
  ASSERT_TRUE(mp3.PlayMP3(false));
  const std::int64_t faster = w.Now() - normal;
  EXPECT_LT(faster, 3000);
  EXPECT_EQ(faster, 1000 + 889);  // the last two seconds at 2.25 times the speed
  EXPECT_GE(w.sim.platform.Music.CurrentPosition(), w.sim.platform.Music.Duration());

  // The next load plays from the top at normal speed whatever the keys chose before: played
  // without waiting, then waited for separately, it lasts its full three seconds.
  ASSERT_TRUE(mp3.LoadMP3(w.F.PackFolder / "logos.mp3"));
  ASSERT_TRUE(mp3.PlayMP3(true));
  const std::int64_t started = w.Now();
  EXPECT_TRUE(w.world.Mp3Running());
  mp3.WaitForMP3();
  EXPECT_EQ(w.Now() - started, 3000);
}

TEST(Mp3Music, ASecondLoadStopsTheFirstAndKeepsOnlyItself) {
  EngineWorld w;
  Mp3Music& mp3 = w.engine.Mp3;
  WriteWav(w.F.PackFolder / "logos.mp3", 1500);

  ASSERT_TRUE(mp3.LoadMP3(w.F.AnnounceFolder / "themesng.mp3"));
  ASSERT_TRUE(mp3.PlayMP3(true));
  ASSERT_TRUE(mp3.LoadMP3(w.F.PackFolder / "logos.mp3"));

  EXPECT_FALSE(w.world.Mp3Running());
  EXPECT_DOUBLE_EQ(w.sim.platform.Music.Duration(), 1.5);
  EXPECT_EQ(MusicTrace(w),
            (Strings{"load themesng.mp3", "rate 1", "run", "stop", "load logos.mp3", "rate 1"}));

  // Letting go of the music leaves nothing loaded, and nothing to wait for.
  EXPECT_TRUE(mp3.TerminateEngine());
  EXPECT_FALSE(w.sim.platform.Music.IsLoaded());
  const std::int64_t before = w.Now();
  mp3.WaitForMP3();
  EXPECT_EQ(w.Now(), before);
}

}  // namespace
}  // namespace strikora
