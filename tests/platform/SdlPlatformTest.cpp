#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "OpenAlTestTones.h"
#include "platform/sdl/SdlPlatform.h"

namespace strikora::sdl {
namespace {

using testing::TempDir;
using testing::WriteTone;

class LaneForm final : public Form {
 public:
  using Form::Form;
  void Form_KeyDown(int KeyCode, int Shift) override { Keys.emplace_back(KeyCode, Shift); }
  std::vector<std::pair<int, int>> Keys;
};

// Points the trace and the settings into a folder of the test's own while it runs.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
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
  const ScopedEnv trace("STRIKORA_TRACE", (folder / "trace.txt").string());
  const ScopedEnv config("XDG_CONFIG_HOME", folder.Path().string());
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
  std::ifstream in(folder / "trace.txt");
  std::stringstream text;
  text << in.rdbuf();
  const std::string lines = text.str();
  EXPECT_NE(lines.find("\tfocus\tLane 1\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("\tkey\t80\t0\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("\tplay\tSpeechBuffer\t" + (folder / "menu.wav").string() + "\t0\t-2000\t0"),
            std::string::npos)
      << lines;
  EXPECT_TRUE(std::filesystem::exists(folder / "strikora" / "settings.ini"));
}

}  // namespace
}  // namespace strikora::sdl
