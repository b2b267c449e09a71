#pragma once

#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <span>
#include <stdexcept>
#include <string>
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
inline void WriteTone(const std::filesystem::path& file, const ToneSpec& spec) {
  SF_INFO info{};
  info.samplerate = spec.SampleRate;
  info.channels = spec.Channels;
  info.format = spec.Format != 0 ? spec.Format : (SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  SNDFILE* out = sf_open(file.c_str(), SFM_WRITE, &info);
  if (out == nullptr)
    throw std::runtime_error(std::string("cannot write tone: ") + sf_strerror(nullptr));
  const auto frames = static_cast<sf_count_t>(std::lround(spec.Seconds * spec.SampleRate));
  std::vector<double> samples(static_cast<std::size_t>(frames * spec.Channels));
  for (sf_count_t f = 0; f < frames; ++f) {
    const double s = std::sin(2 * std::numbers::pi * 441.0 * f / spec.SampleRate);
    for (int c = 0; c < spec.Channels; ++c) {
      const std::size_t a = std::min<std::size_t>(c, spec.Amplitudes.size() - 1);
      samples[f * spec.Channels + c] = spec.Amplitudes[a] * s;
    }
  }
  const sf_count_t wrote = sf_writef_double(out, samples.data(), frames);
  sf_close(out);
  if (wrote != frames) throw std::runtime_error("short write of a tone");
}

struct StereoLevels {
  double Left = 0;
  double Right = 0;
};
// Root-mean-square level of each side of interleaved stereo frames.
inline StereoLevels Rms(std::span<const float> frames) {
  double left = 0, right = 0;
  const std::size_t n = frames.size() / 2;
  for (std::size_t i = 0; i < n; ++i) {
    left += double{frames[2 * i]} * frames[2 * i];
    right += double{frames[2 * i + 1]} * frames[2 * i + 1];
  }
  return {std::sqrt(left / n), std::sqrt(right / n)};
}
inline double Db(double ratio) {
  return 20.0 * std::log10(ratio);
}
// Mixes frames on a loopback context and returns them.
inline std::vector<float> Render(OpenAlContext& context, int frames) {
  std::vector<float> out(static_cast<std::size_t>(frames) * 2);
  context.Render(out);
  return out;
}

}  // namespace strikora::sdl::testing
