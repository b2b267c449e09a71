// From a key press to the sound it calls up: a player walking a menu with the arrow keys hears
// each item as it is reached. The key arrives from another thread at a random moment while the
// game sits in a wait, as a real key does; the menu's handler stops the speech and starts the
// next prompt.
#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <exception>
#include <random>
#include <thread>
#include <vector>

#include "Figures.h"
#include "audio/Folders.h"
#include "audio/SoundEngine.h"
#include "platform/sdl/SdlPlatform.h"
#include "tests/support/TestSoundTree.h"

namespace {

using Steady = std::chrono::steady_clock;

constexpr int kPresses = 50;
constexpr double kTargetMs = 5.0;

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Steady::now().time_since_epoch())
      .count();
}

// A menu: every key moves on and speaks the next item.
class MenuForm final : public strikora::Form {
 public:
  MenuForm(strikora::SoundEngine& engine, std::filesystem::path prompt,
           const std::atomic<std::int64_t>& pressedAtNs)
      : Form(engine.GetPlatform().Windows, "Main menu"),
        engine_(engine),
        prompt_(std::move(prompt)),
        pressedAtNs_(pressedAtNs) {}

  void Form_KeyDown(int /*KeyCode*/, int /*Shift*/) override {
    engine_.StopSpeech();
    engine_.Load(engine_.SpeechBuffer, prompt_)->Play(strikora::PlayMode::Once);
    const std::int64_t startedNs = NowNs();
    if (!engine_.SpeechBuffer.IsPlaying()) ++Silent;
    LatencyMs.push_back(static_cast<double>(startedNs - pressedAtNs_.load()) / 1e6);
    Answered.fetch_add(1);
  }

  std::vector<double> LatencyMs;
  int Silent = 0;
  std::atomic<int> Answered{0};

 private:
  strikora::SoundEngine& engine_;
  std::filesystem::path prompt_;
  const std::atomic<std::int64_t>& pressedAtNs_;
};

// Presses Down once the previous press has been answered, after a random pause, so that each
// key lands somewhere inside the game's idle wait.
void PressKeys(const std::stop_token& stop, const MenuForm& menu,
               std::atomic<std::int64_t>& pressedAtNs) {
  std::minstd_rand pick(12345);
  std::uniform_int_distribution<int> pauseUs(10000, 40000);
  for (int i = 0; i < kPresses && !stop.stop_requested(); ++i) {
    while (menu.Answered.load() < i && !stop.stop_requested()) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    std::this_thread::sleep_for(std::chrono::microseconds(pauseUs(pick)));
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.scancode = SDL_SCANCODE_DOWN;
    event.key.keysym.sym = SDLK_DOWN;
    pressedAtNs.store(NowNs());
    if (SDL_PushEvent(&event) != 1) std::fprintf(stderr, "key lost: %s\n", SDL_GetError());
  }
}

int Run() {
  const strikora::testing::TempDir dir;
  const strikora::Folders folders = strikora::Folders::Make(dir.Path() / "data", dir.Path());
  const auto prompt = folders.MenuFolder / "item.wav";
  strikora::testing::WriteWav(prompt, 1000);

  strikora::sdl::SdlPlatform desktop("Strikora bench");
  strikora::Platform& platform = desktop.GetPlatform();
  strikora::SoundEngine engine(platform, folders);
  std::atomic<std::int64_t> pressedAtNs{0};
  MenuForm menu(engine, prompt, pressedAtNs);
  menu.Show();
  {
    const std::jthread keyboard(PressKeys, std::cref(menu), std::ref(pressedAtNs));
    platform.Windows.WaitUntil([&] { return menu.Answered.load() == kPresses; }, "the presses");
  }
  engine.ShutDownDirectX();

  const auto s = strikora::bench::SpreadOf(menu.LatencyMs);
  std::printf(
      "key down to prompt playing (%d presses): median %.3f ms, best %.3f ms, "
      "worst %.3f ms\n",
      kPresses, s.Median, s.Best, s.Worst);
  std::printf("prompts not playing after Play: %d\n", menu.Silent);
  strikora::bench::PrintVerdict("target under 5 ms (worst press)", s.Worst < kTargetMs);
  return menu.Silent == 0 ? 0 : 1;
}

}  // namespace

int main() {
  try {
    return Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "strikora_bench_key_to_sound: %s\n", e.what());
    return 2;
  }
}
