// The real desktop as the game starts it (keys, sounds, trace) and its settings file.
#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "OpenAlTestTones.h"
#include "platform/PlatformError.h"
#include "platform/sdl/IniSettingsStore.h"
#include "platform/sdl/SdlPlatform.h"

namespace strikora::sdl {
namespace {

using testing::TempDir;
using testing::WriteTone;

std::string Contents(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class LaneForm final : public Form {
 public:
  using Form::Form;
  void Form_KeyDown(int KeyCode, int Shift) override { Keys.emplace_back(KeyCode, Shift); }
  std::vector<std::pair<int, int>> Keys;
};

// Sets (or, with nullptr, unsets) an environment variable while the test runs.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) setenv(name, value, 1);
    if (value == nullptr) unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SdlPlatformTest, KeysReachTheActiveFormAndWhatIsPlayedIsTraced) {
  TempDir folder;
  const ScopedEnv trace("STRIKORA_TRACE", (folder / "trace.txt").c_str());
  const ScopedEnv config("XDG_CONFIG_HOME", folder.Path().c_str());
  WriteTone(folder / "menu.wav", {.Seconds = 0.1});
  {
    SdlPlatform desktop;
    Platform& platform = desktop.GetPlatform();

    LaneForm lane(platform.Windows, "Lane 1");
    lane.Show();
    EXPECT_EQ(desktop.Window().Title(), "Lane 1");
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.scancode = SDL_SCANCODE_P;
    event.key.keysym.sym = SDLK_p;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    for (int i = 0; i < 100 && lane.Keys.empty(); ++i) platform.Windows.DoEvents();
    ASSERT_EQ(lane.Keys.size(), 1u);
    EXPECT_EQ(lane.Keys[0], std::make_pair(80, 0));

    auto clip = platform.Audio.CreateSoundBufferFromFile(folder / "menu.wav", "SpeechBuffer");
    clip->SetPan(-2000);
    clip->Play(PlayMode::Once);
    EXPECT_TRUE(clip->IsPlaying());
    platform.Windows.WaitUntil([&] { return !clip->IsPlaying(); }, "the clip to end");

    platform.Settings.SaveSetting("Strikora", "Options", "Skill", "4");
  }
  const std::string lines = Contents(folder / "trace.txt");
  EXPECT_NE(lines.find("\tfocus\tLane 1\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("\tkey\t80\t0\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("\tplay\tSpeechBuffer\t" + (folder / "menu.wav").string() + "\t0\t-2000\t0"),
            std::string::npos)
      << lines;
  // The settings live in the user's configuration folder.
  EXPECT_TRUE(std::filesystem::exists(folder / "strikora" / "settings.ini"));
}

class SdlSettingsStoreTest : public ::testing::Test {
 protected:
  TempDir folder;
  std::filesystem::path file = folder / "strikora" / "settings.ini";
};

TEST_F(SdlSettingsStoreTest, SavedSettingsReadBackPerApplicationSectionAndKey) {
  {
    IniSettingsStore store(file);
    EXPECT_EQ(store.GetSetting("Strikora", "Options", "Skill", "3"), "3");  // no file yet
    store.SaveSetting("Strikora", "Options", "Skill", "5");
    store.SaveSetting("Strikora", "Options", "PlayMethod", "2");
    store.SaveSetting("Strikora", "Sound", "Skill", "other section");
    store.SaveSetting("Other", "Options", "Skill", "other app");
    store.SaveSetting("Strikora", "Options", "Skill", "4");  // replaced, not added
  }
  const IniSettingsStore reopened(file);
  EXPECT_EQ(reopened.GetSetting("Strikora", "Options", "Skill", ""), "4");
  EXPECT_EQ(reopened.GetSetting("Strikora", "Options", "PlayMethod", ""), "2");
  EXPECT_EQ(reopened.GetSetting("Strikora", "Sound", "Skill", ""), "other section");
  EXPECT_EQ(reopened.GetSetting("Other", "Options", "Skill", ""), "other app");
  EXPECT_EQ(reopened.GetSetting("Strikora", "Options", "Missing", "fallback"), "fallback");

  const std::string text = Contents(file);
  EXPECT_NE(text.find("[Strikora/Options]\nPlayMethod=2\nSkill=4\n"), std::string::npos) << text;
  // Written through a temporary file that does not stay behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()), {}), 1);
}

TEST_F(SdlSettingsStoreTest, AwkwardNamesAndValuesComeBackUnchanged) {
  IniSettingsStore store(file);
  const std::string value = " two\nlines = [odd] ; # \\x41 ";
  store.SaveSetting("App/Name", "Sec]tion", "key=with;equals", value);
  store.SaveSetting("App", "Name/Sec]tion", "key=with;equals", "a different place");
  EXPECT_EQ(store.GetSetting("App/Name", "Sec]tion", "key=with;equals", ""), value);
  EXPECT_EQ(store.GetSetting("App", "Name/Sec]tion", "key=with;equals", ""), "a different place");
}

TEST_F(SdlSettingsStoreTest, AGarbledFileIsReadForWhatItHoldsAndNeverFails) {
  std::filesystem::create_directories(file.parent_path());
  {
    std::ofstream out(file, std::ios::binary);
    out << "Skill=1\n"                     // before any section
        << "[no slash here]\nSkill=2\n"    // not a section of ours
        << "[Strikora/Options\nSkill=3\n"  // unclosed
        << std::string("\0\xff\xfe garbage\n", 13) << "=nokey\n"
        << "  [ Strikora / Options ]  \r\n"
        << "  PlayMethod = 2 \r\n"
        << "; a comment=1\n"
        << "no equals sign\n";
  }
  IniSettingsStore store(file);
  EXPECT_EQ(store.GetSetting("Strikora", "Options", "Skill", "none"), "none");
  EXPECT_EQ(store.GetSetting("Strikora", "Options", "PlayMethod", ""), "2");
  // Saving over it keeps what could be read.
  store.SaveSetting("Strikora", "Options", "Skill", "5");
  EXPECT_EQ(IniSettingsStore(file).GetSetting("Strikora", "Options", "PlayMethod", ""), "2");

  // A folder where the file should be: reading still works, saving says why it failed.
  const IniSettingsStore blocked(folder.Path());
  EXPECT_EQ(blocked.GetSetting("Strikora", "Options", "Skill", "3"), "3");
  IniSettingsStore unwritable(folder / "settings.ini" / "is" / "a" / "file");
  { std::ofstream(folder / "settings.ini") << "x"; }
  try {
    unwritable.SaveSetting("Strikora", "Options", "Skill", "5");
    ADD_FAILURE() << "saved under a plain file";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Code(), ErrorCode::FileAccess);
  }
}

TEST_F(SdlSettingsStoreTest, WithoutXdgConfigHomeTheFileLivesUnderHomesConfig) {
  const ScopedEnv unset("XDG_CONFIG_HOME", nullptr), home("HOME", folder.Path().c_str());
  EXPECT_EQ(IniSettingsStore::DefaultFile(), folder / ".config" / "strikora" / "settings.ini");
}

}  // namespace
}  // namespace strikora::sdl
