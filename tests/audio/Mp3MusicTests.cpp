#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Keys.h"
#include "tests/audio/EngineWorld.h"

namespace strikora {
namespace {

using testing::EngineWorld;
using Strings = std::vector<std::string>;

// The speed key of the theme song and the adverts.
class SpeedKey final : public Form {
 public:
  SpeedKey(WindowSystem& windows, Mp3Music& music) : Form(windows, "Splash"), music_(music) {
    Show();
  }
  void Form_KeyDown(int, int) override { EXPECT_TRUE(music_.SetPlayBackSpeed(2.25f)); }

 private:
  Mp3Music& music_;
};

TEST(Mp3Music, PlaysToItsEndAtTheSpeedTheKeysChooseAndEachLoadStartsAfresh) {
  EngineWorld w;
  Mp3Music& mp3 = w.engine.Mp3;
  // A missing file loads and plays nothing, without a log or a buzzer.
  EXPECT_FALSE(mp3.LoadMP3(w.F.AdvertsFolder / "advert99.mp3"));
  EXPECT_FALSE(mp3.PlayMP3(true));
  EXPECT_FALSE(mp3.PlayMP3(false));
  mp3.WaitForMP3();
  EXPECT_TRUE(mp3.SetPlayBackSpeed(2.25f));
  EXPECT_EQ(w.Heard({"mp3", "play", "error"}), Strings{"mp3 load advert99.mp3"});
  EXPECT_FALSE(std::filesystem::exists(w.log.File()));

  const SpeedKey key(w.sim.platform.Windows, mp3);
  ASSERT_TRUE(mp3.LoadMP3(w.F.AnnounceFolder / "themesng.mp3"));
  ASSERT_TRUE(mp3.PlayMP3(false));
  EXPECT_EQ(w.Now(), 3000);
  // Reloaded, one second in the key makes the last two seconds 2.25 times as fast.
  ASSERT_TRUE(mp3.LoadMP3(w.F.AnnounceFolder / "themesng.mp3"));
  w.world.PressKeyAfter(1000, vk::Up);
  ASSERT_TRUE(mp3.PlayMP3(false));
  EXPECT_EQ(w.Now(), 3000 + 1000 + 889);
  // A new load stops what plays and comes back to normal speed: three full seconds again.
  ASSERT_TRUE(mp3.LoadMP3(w.F.AnnounceFolder / "themesng.mp3"));
  ASSERT_TRUE(mp3.PlayMP3(true));
  ASSERT_TRUE(mp3.LoadMP3(w.F.PackFolder / "logos.mp3"));
  EXPECT_FALSE(w.world.Mp3Running());
  ASSERT_TRUE(mp3.PlayMP3(true));
  const std::int64_t started = w.Now();
  mp3.WaitForMP3();
  EXPECT_EQ(w.Now() - started, 3000);
  // Letting go of the music leaves nothing to wait for.
  EXPECT_TRUE(mp3.TerminateEngine());
  EXPECT_FALSE(w.sim.platform.Music.IsLoaded());
  mp3.WaitForMP3();
  EXPECT_EQ(w.Now() - started, 3000);
}

}  // namespace
}  // namespace strikora
