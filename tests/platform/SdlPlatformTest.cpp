// The real desktop: its keys and events, Ctrl+C, its settings file and the sound device's
// private configuration.
#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include "platform/Keys.h"
#include "platform/PlatformError.h"
#include "platform/sdl/IniSettingsStore.h"
#include "platform/sdl/OpenAlContext.h"
#include "platform/sdl/PrivateConfigFile.h"
#include "platform/sdl/SdlEventSource.h"
#include "platform/sdl/SdlKeyMap.h"
#include "platform/sdl/SystemClock.h"
#include "tests/support/TempDir.h"

namespace strikora::sdl {
namespace {

namespace fs = std::filesystem;
using strikora::testing::TempDir;

std::string Contents(const fs::path& file) {
  std::ifstream in(file);
  return {std::istreambuf_iterator<char>(in), {}};
}

void PushKey(Uint32 type, SDL_Scancode scancode, SDL_Keycode keycode, Uint16 mods = KMOD_NONE,
             bool repeat = false) {
  SDL_Event event{};
  event.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym = {scancode, keycode, mods, 0};
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// Sets (or, with nullptr, unsets) an environment variable while the test runs.
struct ScopedEnv {
  ScopedEnv(const char* name, const char* value) : Name(name) {
    if (const char* old = std::getenv(name)) Old = old;
    value != nullptr ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { Old ? setenv(Name, Old->c_str(), 1) : unsetenv(Name); }
  const char* Name;
  std::optional<std::string> Old;
};

TEST(SdlKeyMapTest, EachKeyGivesTheGamesCodeAndModifierMask) {
  struct Case {
    SDL_Scancode scancode;
    SDL_Keycode keycode;
    int modifiers, code, shift;
  };
  const int N = KMOD_NONE, Shift = mod::Shift, Ctrl = mod::Ctrl, Alt = mod::Alt;
  // clang-format off
  const Case cases[] = {
      // Letters and digits are their upper-case codes; p is 80, never F1's 112.
      {SDL_SCANCODE_A, SDLK_a, N, 65, 0}, {SDL_SCANCODE_Z, SDLK_z, N, 90, 0},
      {SDL_SCANCODE_P, SDLK_p, N, 80, 0}, {SDL_SCANCODE_P, SDLK_p, KMOD_LSHIFT, 80, Shift},
      {SDL_SCANCODE_0, SDLK_0, N, 48, 0}, {SDL_SCANCODE_9, SDLK_9, N, 57, 0},
      // Other layouts: a Cyrillic letter and a French top row still give the key's position.
      {SDL_SCANCODE_Y, 0x43D, N, 89, 0}, {SDL_SCANCODE_1, SDLK_AMPERSAND, N, 49, 0},
      {SDL_SCANCODE_RETURN, SDLK_RETURN, N, 13, 0},
      {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, N, 13, 0},
      {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, N, 27, 0}, {SDL_SCANCODE_SPACE, SDLK_SPACE, N, 32, 0},
      {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, N, 33, 0},
      {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, N, 34, 0},
      {SDL_SCANCODE_END, SDLK_END, N, 35, 0}, {SDL_SCANCODE_HOME, SDLK_HOME, N, 36, 0},
      {SDL_SCANCODE_LEFT, SDLK_LEFT, N, 37, 0}, {SDL_SCANCODE_UP, SDLK_UP, N, 38, 0},
      {SDL_SCANCODE_RIGHT, SDLK_RIGHT, N, 39, 0}, {SDL_SCANCODE_DOWN, SDLK_DOWN, N, 40, 0},
      {SDL_SCANCODE_DELETE, SDLK_DELETE, N, 46, 0}, {SDL_SCANCODE_F1, SDLK_F1, N, 112, 0},
      {SDL_SCANCODE_F12, SDLK_F12, N, 123, 0}, {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, N, 8, 0},
      {SDL_SCANCODE_TAB, SDLK_TAB, N, 9, 0},
      // Modifiers make the mask, and are keys of their own, whether or not the library has
      // counted them in the state yet. Lock keys are no modifiers of the game's.
      {SDL_SCANCODE_S, SDLK_s, KMOD_LCTRL, 83, Ctrl},
      {SDL_SCANCODE_S, SDLK_s, KMOD_RCTRL | KMOD_RSHIFT | KMOD_LALT, 83, Shift | Ctrl | Alt},
      {SDL_SCANCODE_LCTRL, SDLK_LCTRL, N, 17, Ctrl},
      {SDL_SCANCODE_RCTRL, SDLK_RCTRL, KMOD_RCTRL, 17, Ctrl},
      {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, N, 16, Shift},
      {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, KMOD_LCTRL, 16, Shift | Ctrl},
      {SDL_SCANCODE_LALT, SDLK_LALT, N, 18, Alt},
      {SDL_SCANCODE_A, SDLK_a, KMOD_NUM | KMOD_CAPS, 65, 0},
      // The keypad follows Num Lock.
      {SDL_SCANCODE_KP_8, SDLK_KP_8, N, 38, 0}, {SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NUM, 104, 0},
      {SDL_SCANCODE_KP_3, SDLK_KP_3, N, 34, 0}, {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, N, 46, 0},
      {SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NUM, 96, 0},
      // Keys the game has no code for give nothing.
      {SDL_SCANCODE_VOLUMEUP, SDLK_VOLUMEUP, N, -1, 0},
      {SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN, N, -1, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    const auto key = MapSdlKey(c.scancode, c.keycode, c.modifiers);
    SCOPED_TRACE(std::string(SDL_GetKeyName(c.keycode)) + " " + std::to_string(c.modifiers));
    EXPECT_EQ(key ? std::make_pair(key->KeyCode, key->Shift) : std::make_pair(-1, 0),
              std::make_pair(c.code, c.shift));
  }
}

TEST(SdlEventSourceTest, KeyDownsArriveInOrderAsTheGamesKeysAndCtrlCOrClosingIsAQuitRequest) {
  SystemClock clock;
  SdlEventSource events{clock, "Strikora"};
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_P, SDLK_p);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_LEFT, SDLK_LEFT);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_LEFT, SDLK_LEFT, KMOD_NONE, true);  // held down: auto-repeat
  PushKey(SDL_KEYUP, SDL_SCANCODE_LEFT, SDLK_LEFT);
  PushKey(SDL_KEYDOWN, SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL);
  std::vector<std::tuple<int, int, bool>> got;
  while (auto key = events.PollKey()) got.emplace_back(key->KeyCode, key->Shift, key->Repeat);
  EXPECT_EQ(got, (std::vector<std::tuple<int, int, bool>>{{80, 0, false},
                                                          {vk::Left, 0, false},
                                                          {vk::Left, 0, true},
                                                          {vk::Control, mod::Ctrl, false}}));
  // With nothing pending and a timer already due, the wait returns without a key.
  events.WaitForEvent(clock.MonotonicMs() - 5, std::nullopt);
  EXPECT_FALSE(events.PollKey().has_value());
  EXPECT_FALSE(events.QuitRequested());
  {
    const QuitOnSignals signals;
    kill(getpid(), SIGINT);  // as Ctrl+C in the terminal
    const std::int64_t until = clock.MonotonicMs() + 5000;
    while (!events.QuitRequested() && clock.MonotonicMs() < until)
      events.WaitForEvent(clock.MonotonicMs() + 50, std::nullopt);
  }
  EXPECT_TRUE(events.QuitRequested());
  EXPECT_FALSE(events.PollKey().has_value());
  // Once asked to quit, a wait does not sleep again.
  const std::int64_t before = clock.MonotonicMs();
  events.WaitForEvent(std::nullopt, before + 200);
  EXPECT_LT(clock.MonotonicMs() - before, 100);
}

class SdlSettingsStoreTest : public ::testing::Test {
 protected:
  TempDir folder;
  fs::path file = folder / "strikora" / "settings.ini";
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
  for (const auto& [app, section, key, value] : saved)
    EXPECT_EQ(reopened.GetSetting(app, section, key, "-"), value == "5" ? "4" : value) << key;
  EXPECT_EQ(reopened.GetSetting("Strikora", "Options", "Missing", "fallback"), "fallback");
  const std::string text = Contents(file);
  EXPECT_NE(text.find("[Strikora/Options]\nPlayMethod=2\nSkill=4\n"), std::string::npos) << text;
}

TEST_F(SdlSettingsStoreTest, ASaveIsOnTheDiskBeforeItsRenameClearsKilledSavesAndFollowsNoLink) {
  fs::create_directories(file.parent_path());
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  ASSERT_EQ(waitpid(dead, nullptr, 0), dead);
  const auto temp = [&](const std::string& s) { return file.string() + ".tmp" + s; };
  for (const std::string& s : {std::to_string(dead), std::string("0"), std::string("123456789012")})
    std::ofstream(temp(s)) << "x";
  std::ofstream(temp(std::to_string(getppid()))) << "another copy is saving";
  std::ofstream(temp("x")) << "not a save's";
  std::ofstream(folder / "victim") << "mine";
  fs::create_symlink(folder / "victim", temp(std::to_string(getpid())));
  // Whether the file was in place at each sync: the new file is on the disk before the rename,
  // and the rename with its folder after it.
  std::vector<bool> inPlace;
  const auto sync = [&](int fd) { return inPlace.push_back(exists(file)), fsync(fd); };
  IniSettingsStore(file, {.Sync = sync}).SaveSetting("Strikora", "Options", "Skill", "4");
  EXPECT_EQ(inPlace, (std::vector<bool>{false, true}));
  std::set<std::string> left;
  for (const auto& e : fs::directory_iterator(file.parent_path()))
    left.insert(e.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"settings.ini", "settings.ini.tmpx",
                                         "settings.ini.tmp" + std::to_string(getppid())}));
  EXPECT_EQ(Contents(folder / "victim"), "mine");
}

TEST_F(SdlSettingsStoreTest, AGarbledFileIsReadForWhatItHoldsAndNeverFails) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary)
      << "Skill=1\n"                     // before any section
      << "[no slash here]\nSkill=2\n"    // not a section of ours
      << "[Strikora/Options\nSkill=3\n"  // unclosed
      << std::string("\0\xff\xfe garbage\n", 13) << "=nokey\n"
      << "  [ Strikora / Options ]  \r\n  PlayMethod = 2 \r\n; a comment=1\nno equals sign\n";
  IniSettingsStore store(file);
  EXPECT_EQ(store.GetSetting("Strikora", "Options", "Skill", "none"), "none");
  EXPECT_EQ(store.GetSetting("Strikora", "Options", "PlayMethod", ""), "2");
  // Saving over it keeps what could be read.
  store.SaveSetting("Strikora", "Options", "Skill", "5");
  EXPECT_EQ(IniSettingsStore(file).GetSetting("Strikora", "Options", "PlayMethod", ""), "2");
  // A folder where the file should be: reading still works, saving says why it failed.
  EXPECT_EQ(IniSettingsStore(folder.Path()).GetSetting("Strikora", "Options", "Skill", "3"), "3");
  IniSettingsStore unwritable(folder / "settings.ini" / "is" / "a" / "file");
  std::ofstream(folder / "settings.ini") << "x";
  EXPECT_THROW(unwritable.SaveSetting("Strikora", "Options", "Skill", "5"), PlatformError);
  const ScopedEnv unset("XDG_CONFIG_HOME", nullptr), home("HOME", folder.Path().c_str());
  EXPECT_EQ(IniSettingsStore::DefaultFile(), folder / ".config" / "strikora" / "settings.ini");
}

TEST(PrivateConfigFileTest, LivesInAFreshFolderOfThePlayersOwnAndLeavesNothingBehind) {
  TempDir scratch;
  const fs::path tmp = scratch / "tmp", own = scratch / "run", shared = scratch / "shared";
  for (const auto& [dir, mode] : {std::pair{tmp, 01777}, {own, 0700}, {shared, 0777}}) {
    fs::create_directory(dir);
    chmod(dir.c_str(), static_cast<mode_t>(mode));
  }
  std::ofstream(scratch / "victim") << "mine";
  const ScopedEnv tmpdir("TMPDIR", tmp.c_str());
  const std::string planted = "strikora-openal-" + std::to_string(getuid()) + ".conf";
  for (const fs::path& runtime : {fs::path(), own, shared}) {
    const fs::path where = runtime == own ? own : tmp;
    SCOPED_TRACE("XDG_RUNTIME_DIR " + runtime.string());
    const ScopedEnv rt("XDG_RUNTIME_DIR", runtime.empty() ? nullptr : runtime.c_str());
    if (!fs::is_symlink(where / planted)) fs::create_symlink(scratch / "victim", where / planted);
    fs::path folder;
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
    EXPECT_FALSE(fs::exists(folder));
  }
  // The sound device reads its configuration from such a file, and leaves nothing behind.
  const ScopedEnv unset("ALSOFT_CONF", nullptr), rt("XDG_RUNTIME_DIR", nullptr);
  { const OpenAlContext device(OpenAlOutput::DefaultDevice); }
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp), {}), 1);  // the planted link
  EXPECT_EQ(Contents(scratch / "victim"), "mine");
  EXPECT_EQ(std::getenv("ALSOFT_CONF"), nullptr);
}

}  // namespace
}  // namespace strikora::sdl
