// The real desktop as the game starts it (keys, sounds, trace) and its settings file.
#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>
#include <vector>

#include "OpenAlTestTones.h"
#include "platform/PlatformError.h"
#include "platform/sdl/IniSettingsStore.h"
#include "platform/sdl/PrivateConfigFile.h"
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
    value != nullptr ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
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

TEST_F(SdlSettingsStoreTest, SettingsReadBackPerApplicationSectionAndKeyWhateverTheyHold) {
  using Setting = std::tuple<std::string, std::string, std::string, std::string>;
  const std::vector<Setting> saved = {
      {"Strikora", "Options", "Skill", "5"},  // replaced below, not added
      {"Strikora", "Options", "PlayMethod", "2"},
      {"Strikora", "Sound", "Skill", "other section"},
      {"Other", "Options", "Skill", "other app"},
      {"Strikora", "Options", "Skill", "4"},
      {"App/Name", "Sec]tion", "key=with;equals", " two\nlines = [odd] ; # \\x41 "},
      {"App", "Name/Sec]tion", "key=with;equals", "a different place"},
      {"App", "Name", "#not;a comment", "#1"}};
  {
    IniSettingsStore store(file);
    EXPECT_EQ(store.GetSetting("Strikora", "Options", "Skill", "3"), "3");  // no file yet
    for (const auto& [app, section, key, value] : saved)
      store.SaveSetting(app, section, key, value);
  }
  const IniSettingsStore reopened(file);
  for (const auto& [app, section, key, value] : saved) {
    if (value == "5") continue;
    EXPECT_EQ(reopened.GetSetting(app, section, key, "fallback"), value) << app << section << key;
  }
  EXPECT_EQ(reopened.GetSetting("Strikora", "Options", "Missing", "fallback"), "fallback");
  const std::string text = Contents(file);
  EXPECT_NE(text.find("[Strikora/Options]\nPlayMethod=2\nSkill=4\n"), std::string::npos) << text;
}

TEST_F(SdlSettingsStoreTest, ASaveIsOnTheDiskBeforeItsRenameClearsKilledSavesAndFollowsNoLink) {
  std::filesystem::create_directories(file.parent_path());
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  ASSERT_EQ(waitpid(dead, nullptr, 0), dead);
  const auto temp = [&](const std::string& s) { return file.string() + ".tmp" + s; };
  for (const std::string& s : std::vector<std::string>{std::to_string(dead), "0", "123456789012"})
    std::ofstream(temp(s)) << "x";
  std::ofstream(temp(std::to_string(getppid()))) << "another copy is saving";
  std::ofstream(temp("x")) << "not a save's";
  std::ofstream(folder / "victim") << "mine";
  std::filesystem::create_symlink(folder / "victim", temp(std::to_string(getpid())));
  // Whether the file was in place at each sync: the new file is on the disk before the rename,
  // and the rename with its folder after it.
  std::vector<bool> inPlace;
  const auto sync = [&](int fd) { return inPlace.push_back(exists(file)), fsync(fd); };
  IniSettingsStore(file, {.Sync = sync}).SaveSetting("Strikora", "Options", "Skill", "4");
  EXPECT_EQ(inPlace, (std::vector<bool>{false, true}));
  std::set<std::string> left;
  for (const auto& e : std::filesystem::directory_iterator(file.parent_path()))
    left.insert(e.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"settings.ini", "settings.ini.tmpx",
                                         "settings.ini.tmp" + std::to_string(getppid())}));
  EXPECT_EQ(Contents(folder / "victim"), "mine");
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
  EXPECT_EQ(IniSettingsStore(folder.Path()).GetSetting("Strikora", "Options", "Skill", "3"), "3");
  IniSettingsStore unwritable(folder / "settings.ini" / "is" / "a" / "file");
  { std::ofstream(folder / "settings.ini") << "x"; }
  EXPECT_THROW(unwritable.SaveSetting("Strikora", "Options", "Skill", "5"), PlatformError);
  const ScopedEnv unset("XDG_CONFIG_HOME", nullptr), home("HOME", folder.Path().c_str());
  EXPECT_EQ(IniSettingsStore::DefaultFile(), folder / ".config" / "strikora" / "settings.ini");
}

TEST(PrivateConfigFileTest, LivesInAFreshFolderOfThePlayersOwnAndLeavesNothingBehind) {
  TempDir scratch;
  const std::filesystem::path tmp = scratch / "tmp", own = scratch / "run",
                              shared = scratch / "shared";
  for (const auto& [dir, mode] : {std::pair{tmp, 01777}, {own, 0700}, {shared, 0777}}) {
    std::filesystem::create_directory(dir);
    chmod(dir.c_str(), static_cast<mode_t>(mode));
  }
  std::ofstream(scratch / "victim") << "mine";
  const ScopedEnv tmpdir("TMPDIR", tmp.c_str());
  const std::string planted = "strikora-openal-" + std::to_string(getuid()) + ".conf";
  for (const std::filesystem::path& runtime : {std::filesystem::path(), own, shared}) {
    const std::filesystem::path where = runtime == own ? own : tmp;
    SCOPED_TRACE("XDG_RUNTIME_DIR " + runtime.string());
    const ScopedEnv rt("XDG_RUNTIME_DIR", runtime.empty() ? nullptr : runtime.c_str());
    if (!std::filesystem::is_symlink(where / planted)) {
      std::filesystem::create_symlink(scratch / "victim", where / planted);
    }
    std::filesystem::path folder;
    {
      const PrivateConfigFile config("[general]\n");
      ASSERT_FALSE(config.File().empty());
      folder = config.File().parent_path();
      EXPECT_EQ(folder.parent_path(), where);
      struct stat st {};
      ASSERT_EQ(lstat(folder.c_str(), &st), 0);
      EXPECT_TRUE(S_ISDIR(st.st_mode));
      EXPECT_EQ(st.st_mode & 0777, 0700u);
      EXPECT_EQ(st.st_uid, getuid());
      EXPECT_EQ(Contents(config.File()), "[general]\n");
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
  }
  // The sound device reads its configuration from such a file, and leaves nothing behind.
  const ScopedEnv unset("ALSOFT_CONF", nullptr), rt("XDG_RUNTIME_DIR", nullptr);
  { const OpenAlContext device(OpenAlOutput::DefaultDevice); }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp), {}), 1);  // the planted link
  EXPECT_EQ(Contents(scratch / "victim"), "mine");
  EXPECT_EQ(std::getenv("ALSOFT_CONF"), nullptr);
}

}  // namespace
}  // namespace strikora::sdl
