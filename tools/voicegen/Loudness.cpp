#include "tools/voicegen/Loudness.h"

#include <ebur128.h>

#include <cmath>
#include <memory>
#include <stdexcept>

namespace strikora::voicegen {
namespace {

struct StateDeleter {
  void operator()(ebur128_state* s) const { ebur128_destroy(&s); }
};
using State = std::unique_ptr<ebur128_state, StateDeleter>;

State Measure(const Audio& audio, int rate, int mode) {
  const auto channels = static_cast<unsigned>(audio.Channels);
  State state(ebur128_init(channels, static_cast<unsigned long>(rate), mode));
  if (!state) throw std::runtime_error("libebur128 could not start");
  const std::size_t block = static_cast<std::size_t>(rate) * 4 / 10;
  if (ebur128_add_frames_float(state.get(), audio.Data.data(), audio.Frames()) != EBUR128_SUCCESS) {
    throw std::runtime_error("libebur128 could not measure");
  }
  if (audio.Frames() < block) {
    const Samples pad((block - audio.Frames()) * channels, 0.0F);
    ebur128_add_frames_float(state.get(), pad.data(), block - audio.Frames());
  }
  return state;
}

}  // namespace

double IntegratedLoudness(const Audio& audio, int rate) {
  const State state = Measure(audio, rate, EBUR128_MODE_I);
  double lufs = -HUGE_VAL;
  if (ebur128_loudness_global(state.get(), &lufs) != EBUR128_SUCCESS) return -HUGE_VAL;
  return lufs;
}

double TruePeak(const Audio& audio, int rate) {
  const State state = Measure(audio, rate, EBUR128_MODE_TRUE_PEAK);
  double peak = 0;
  for (unsigned c = 0; c < static_cast<unsigned>(audio.Channels); ++c) {
    double p = 0;
    if (ebur128_true_peak(state.get(), c, &p) == EBUR128_SUCCESS) peak = std::max(peak, p);
  }
  return peak > 0 ? 20 * std::log10(peak) : -HUGE_VAL;
}

}  // namespace strikora::voicegen
