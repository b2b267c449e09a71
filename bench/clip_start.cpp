// How long the game takes to load a one-second clip into a slot and start it on the real sound
// device: the gap the player hears between a key and the prompt it calls up.
#include <cstdio>
#include <exception>
#include <vector>

#include "Figures.h"
#include "audio/Folders.h"
#include "audio/SoundEngine.h"
#include "platform/sdl/SdlPlatform.h"
#include "tests/support/TestSoundTree.h"

namespace {

using strikora::bench::MsSince;

constexpr int kWarmUp = 5;
constexpr int kStarts = 100;

int Run() {
  const strikora::testing::TempDir dir;
  const strikora::Folders folders = strikora::Folders::Make(dir.Path() / "data", dir.Path());
  const auto clip = folders.MenuFolder / "prompt.wav";
  strikora::testing::WriteWav(clip, 1000);  // a one-second prompt, 22.05 kHz mono 16-bit

  strikora::sdl::SdlPlatform desktop("Strikora bench");
  strikora::SoundEngine engine(desktop.GetPlatform(), folders);

  std::vector<double> ms;
  int silent = 0;
  for (int i = 0; i < kWarmUp + kStarts; ++i) {
    const auto start = std::chrono::steady_clock::now();
    engine.Load(engine.SpeechBuffer, clip)->Play(strikora::PlayMode::Once);
    const double took = MsSince(start);
    if (!engine.SpeechBuffer.IsPlaying()) ++silent;
    if (i >= kWarmUp) ms.push_back(took);
  }
  const auto pcmBytes = static_cast<long long>(engine.SpeechBuffer.Buffer->GetByteLength());
  engine.ShutDownDirectX();

  const auto s = strikora::bench::SpreadOf(ms);
  std::printf(
      "clip load + start (1 s WAV, SpeechBuffer, %d starts): median %.3f ms, best %.3f ms, "
      "worst %.3f ms\n",
      kStarts, s.Median, s.Best, s.Worst);
  std::printf("clip: %lld bytes of PCM; clips not playing after Play: %d\n", pcmBytes, silent);
  return silent == 0 ? 0 : 1;
}

}  // namespace

int main() {
  try {
    return Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "strikora_bench_clip_start: %s\n", e.what());
    return 2;
  }
}
