// The game from its first silence to the main menu and out again, on the simulated desktop,
// with packs made from a stand-in sound tree.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/Application.h"
#include "app/DataFolders.h"
#include "platform/Keys.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/TestSoundTree.h"
#include "tools/ClipList.h"

namespace strikora {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class Startup : public ::testing::Test {
 protected:
  Startup() : staged(dir.Path() / "staged") {
    testing::WriteTestPacks(staged.F);
    sim.world.SetLocalTime({2026, 12, 6, 9, 30, 0});
  }

  [[nodiscard]] fs::path DataFolder() const { return dir.Path() / "profile" / "Strikora"; }

  // What was heard and shown, one line per event, with paths cut to their file names.
  [[nodiscard]] Lines Heard() const {
    Lines out;
    for (const TraceEvent& e : sim.platform.Trace.Events()) {
      if (e.Kind == "key") continue;
      std::string line = e.Kind;
      for (std::size_t i = 0; i < e.Fields.size(); ++i) {
        std::string f = e.Fields[i];
        if (f.empty()) continue;
        if (f.find('/') != std::string::npos) f = fs::path(f).filename().string();
        line += " " + f;
      }
      out.push_back(line);
    }
    return out;
  }

  testing::TempDir dir;
  testing::TestSoundTree staged;
  sim::SimPlatform sim;
};

TEST_F(Startup, FromTheFirstSilenceToTheMenuAndOutThroughEscape) {
  sim.world.PressKeyWhenClipStarts("/lgb.wav", vk::Escape, 0, 100);
  int status = -1;
  {
    Application game(sim.platform, DataFolder(), staged.F.PackFolder);
    status = game.Run();
    // The very first start: the names were unpacked just before the catalogue was made.
    EXPECT_EQ(game.Players().FirstNameCount(), static_cast<int>(voiceset::FirstNames().size()));
  }
  EXPECT_EQ(status, 0);

  const Lines silence(10, "play SpeechBuffer silence.wav 0 0 0");
  Lines expected = silence;
  expected.insert(expected.begin() + 1, "focus Welcome to Strikora");
  for (const char* line :
       {"mp3 load logos.mp3", "mp3 rate 1", "mp3 run", "mp3 end", "mp3 stop",
        "mp3 load themesng.mp3", "mp3 rate 1", "play AnnouncerBuffer intro1a.wav 0 0 0", "mp3 run",
        "mp3 end", "mp3 stop", "mp3 load logos.mp3", "mp3 rate 1",
        "play BackgroundBuffer menu.wav -500 0 1", "focus Main Menu:"}) {
    expected.push_back(line);
  }
  expected.insert(expected.end(), silence.begin(), silence.end());
  for (const char* line :
       {"volume BackgroundBuffer -1500", "play SpeechBuffer psao.wav 0 0 0",
        "volume BackgroundBuffer -500", "volume BackgroundBuffer -1500",
        "play SpeechBuffer lgb.wav 0 0 0", "stop SpeechBuffer", "stop BackgroundBuffer",
        "play SpeechBuffer end.wav 0 0 0", "mp3 stop"}) {
    expected.push_back(line);
  }
  EXPECT_EQ(Heard(), expected);

  // The six played-from folders are cleared away; the names stay for the next start.
  const Folders f = Folders::Make(DataFolder(), staged.F.PackFolder);
  for (const fs::path& gone : {f.AdvertsFolder, f.AmbientFolder, f.AnnounceFolder, f.MenuFolder,
                               f.NumbersFolder, f.PlayFolder}) {
    EXPECT_FALSE(fs::exists(gone)) << gone;
  }
  EXPECT_TRUE(fs::exists(f.NamesFolder / "fn1.wav"));
  EXPECT_TRUE(fs::exists(f.InitialsFolder / "Q.wav"));
  EXPECT_TRUE(fs::exists(f.NamesDatFile));
  EXPECT_FALSE(fs::exists(f.DataFolder / "qbxerr.log"));
}

TEST_F(Startup, SplashSpeedKeysWaitForTheThemeSongAndStopAt225) {
  // During the silences and the jingle the game is busy unpacking: these change nothing.
  sim.world.PressKeyAt(50, vk::PageUp);
  sim.world.PressKeyAt(1500, vk::PageDown);
  // Ten presses while the theme song plays: the speed stops at 225 percent.
  for (int i = 0; i < 10; ++i) {
    sim.world.PressKeyWhenClipStarts("/intro1a.wav", vk::PageUp, 0, 500 + 10 * i);
  }
  sim.world.PressKeyWhenClipStarts("/lgb.wav", vk::Escape, 0, 100);
  Application game(sim.platform, DataFolder(), staged.F.PackFolder);
  EXPECT_EQ(game.Run(), 0);

  Lines rates;
  for (const std::string& line : Heard()) {
    if (line.starts_with("mp3 rate")) rates.push_back(line);
  }
  Lines expected = {"mp3 rate 1", "mp3 rate 1"};
  for (const char* r :
       {"1.25", "1.5", "1.75", "2", "2.25", "2.25", "2.25", "2.25", "2.25", "2.25"}) {
    expected.push_back(std::string("mp3 rate ") + r);
  }
  expected.push_back("mp3 rate 1");  // the jingle loaded again after the theme, at normal speed
  EXPECT_EQ(rates, expected);
  EXPECT_FLOAT_EQ(game.Engine().Mp3.MP3Speed, 225.0f);
}

TEST_F(Startup, PageDownStopsAtZeroAndOtherKeysDoNothing) {
  Application game(sim.platform, DataFolder(), staged.F.PackFolder);
  fSplash& splash = game.Splash();
  game.Engine().Busy = false;
  ASSERT_TRUE(game.Engine().Mp3.LoadMP3(staged.F.PackFolder / "logos.mp3"));
  for (int i = 0; i < 10; ++i) splash.Form_KeyDown(vk::PageDown, 0);
  EXPECT_FLOAT_EQ(game.Engine().Mp3.MP3Speed, 0.0f);
  EXPECT_DOUBLE_EQ(sim.world.GetRate(), 0.0);
  splash.Form_KeyDown(vk::Up, 0);
  splash.Form_KeyDown(vk::Letter('A'), 0);
  EXPECT_FLOAT_EQ(game.Engine().Mp3.MP3Speed, 0.0f);
  splash.Form_KeyDown(vk::PageUp, 0);
  EXPECT_FLOAT_EQ(game.Engine().Mp3.MP3Speed, 25.0f);
  EXPECT_DOUBLE_EQ(sim.world.GetRate(), 0.25);
}

TEST_F(Startup, AMissingPackIsLoggedWithoutAMessageBoxAndABrokenOneShowsTheBox) {
  fs::remove(staged.F.PackFolder / "adverts.des");
  // A menu pack whose second entry name has no terminator: the box, then the other packs
  // still unpack.
  std::string firstName(56, '\0');
  {
    std::fstream menuPack(staged.F.PackFolder / "menu.des",
                          std::ios::binary | std::ios::in | std::ios::out);
    unsigned char offset[4] = {};
    menuPack.seekg(4);
    menuPack.read(reinterpret_cast<char*>(offset), 4);
    const long directory = offset[0] | offset[1] << 8 | offset[2] << 16 | offset[3] << 24;
    menuPack.seekg(directory);
    menuPack.read(firstName.data(), 56);
    firstName.resize(firstName.find('\0'));
    menuPack.seekp(directory + 64);
    menuPack << std::string(56, 'A');
  }
  sim.world.PressKeyAfter(60000, vk::Escape);
  Application game(sim.platform, DataFolder(), staged.F.PackFolder);
  EXPECT_EQ(game.Run(), 0);

  ASSERT_EQ(sim.world.MessageBoxes().size(), 1U);
  // The box tells the length of the name in hand: the one read before the broken record.
  EXPECT_EQ(sim.world.MessageBoxes()[0], std::to_string(firstName.size()));
  std::ifstream log(DataFolder() / "qbxerr.log", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(log)), {});
  EXPECT_NE(text.find("adverts.des]\"\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("QBX-ErrCode 53 - 6/12/2026 - 9:30 ["), std::string::npos) << text;
  EXPECT_TRUE(fs::exists(DataFolder() / "sounds" / "play" / "buzzer.wav") ||
              !fs::exists(DataFolder() / "sounds" / "play"));  // the exit cleared it
  EXPECT_TRUE(fs::exists(DataFolder() / "sounds" / "names" / "initials" / "A.wav"));
}

TEST_F(Startup, ClosingTheWindowEndsTheGameFromTheSplashOrTheMenu) {
  struct Case {
    const char* When;
    std::function<void(sim::SimWorld&)> Close;
  };
  const Case cases[] = {
      {"while the packs unpack", [](sim::SimWorld& w) { w.CloseWindowAt(1500); }},
      {"in the main menu",
       [](sim::SimWorld& w) {
         w.PressKeyWhenClipStarts("/lgb.wav", vk::Down, 0, 100);  // something to wake for
         w.CloseWindowAt(1000000);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.When);
    testing::TempDir profile;
    sim::SimPlatform desktop;
    c.Close(desktop.world);
    const fs::path data = profile.Path() / "Strikora";
    {
      Application game(desktop.platform, data, staged.F.PackFolder);
      EXPECT_EQ(game.Run(), 0);
    }
    const Folders f = Folders::Make(data, staged.F.PackFolder);
    for (const fs::path& gone : {f.AnnounceFolder, f.MenuFolder, f.PlayFolder}) {
      EXPECT_FALSE(fs::exists(gone)) << gone;
    }
    // It ends at once: no goodbye to wait through.
    for (const TraceEvent& e : desktop.platform.Trace.Events()) {
      EXPECT_FALSE(e.Kind == "play" && e.Fields[1].ends_with("end.wav"));
    }
  }
}

TEST(DataFolder, AllUsersProfileFirstThenTheXdgDataFolder) {
  EXPECT_EQ(GetDataFolder(std::string("/srv/all"), std::string("/x"), std::string("/home/p")),
            fs::path("/srv/all/Application Data/Strikora"));
  EXPECT_EQ(GetDataFolder(std::nullopt, std::string("/x/data"), std::string("/home/p")),
            fs::path("/x/data/strikora"));
  EXPECT_EQ(GetDataFolder(std::nullopt, std::nullopt, std::string("/home/p")),
            fs::path("/home/p/.local/share/strikora"));
  EXPECT_EQ(GetDataFolder(std::string(""), std::string(""), std::string("/home/p")),
            fs::path("/home/p/.local/share/strikora"));
}

TEST(PackFolder, BesideTheProgramFirstThenTheInstalledShareFolder) {
  struct Case {
    bool Beside, Installed;
    const char* Found;  // below the temporary prefix
  };
  for (const Case& c : {Case{true, true, "bin/sounds"}, Case{false, true, "share/strikora/sounds"},
                        Case{true, false, "bin/sounds"}, Case{false, false, "bin/sounds"}}) {
    testing::TempDir prefix;
    for (const auto& [wanted, folder] :
         {std::pair{c.Beside, "bin/sounds"}, std::pair{c.Installed, "share/strikora/sounds"}}) {
      fs::create_directories(prefix.Path() / folder);
      if (wanted) std::ofstream(prefix.Path() / folder / "numbers.des") << "pack";
    }
    EXPECT_EQ(FindPackFolder(prefix.Path() / "bin"), prefix.Path() / c.Found)
        << c.Beside << c.Installed;
  }
}

}  // namespace
}  // namespace strikora
