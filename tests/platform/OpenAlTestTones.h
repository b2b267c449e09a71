#pragma once

#include <filesystem>
#include <span>
#include <vector>

#include "platform/sdl/OpenAlContext.h"
#include "tests/support/TempDir.h"

namespace strikora::sdl::testing {

using strikora::testing::TempDir;

struct ToneSpec {
  double Seconds = 1.0;
  int SampleRate = 44100;
  int Channels = 1;
  int Format = 0;  // libsndfile major|minor format; 0 is 16-bit WAV
  // Amplitude of each channel (0..1); channels past the list repeat its last entry.
  std::vector<double> Amplitudes = {0.5};
};
// A 441 Hz sine, written with libsndfile (WAV or MP3 by Format).
void WriteTone(const std::filesystem::path& file, const ToneSpec& spec);

struct StereoLevels {
  double Left = 0;
  double Right = 0;
};
// Root-mean-square level of each side of interleaved stereo frames.
[[nodiscard]] StereoLevels Rms(std::span<const float> frames);
[[nodiscard]] double Db(double ratio);

// Mixes frames on a loopback context and returns them.
[[nodiscard]] std::vector<float> Render(OpenAlContext& context, int frames);

}  // namespace strikora::sdl::testing
