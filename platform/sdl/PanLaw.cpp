#include "platform/sdl/PanLaw.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace strikora::sdl {

PanLaw::PanLaw(std::vector<Sample> samples, double centreLevel)
    : samples_(std::move(samples)), centreLevel_(centreLevel > 0 ? centreLevel : 1.0) {
  if (samples_.empty()) throw std::invalid_argument("a pan law needs at least the centre");
  // Past the first direction where the quieter side is silent (100 dB down is silence to the
  // game) nothing more is learnt; a measurement that wobbles near silence must not make the
  // ratio climb again either.
  constexpr double kSilent = 1e-5;
  for (std::size_t i = 0; i < samples_.size(); ++i) {
    if (i > 0) {
      samples_[i].QuietOverLoud =
          std::min(samples_[i].QuietOverLoud, samples_[i - 1].QuietOverLoud);
    }
    if (samples_[i].QuietOverLoud <= kSilent) {
      samples_[i].QuietOverLoud = 0.0;
      samples_.resize(i + 1);
      break;
    }
  }
}

PanLaw PanLaw::ConstantPower() {
  std::vector<Sample> samples;
  constexpr int kSteps = 180;
  for (int i = 0; i <= kSteps; ++i) {
    const double azimuth = std::numbers::pi / 2 * i / kSteps;
    const double theta = std::numbers::pi / 4 + azimuth / 2;
    const double loud = std::sin(theta);
    samples.push_back({azimuth, std::cos(theta) / loud, loud / std::sin(std::numbers::pi / 4)});
  }
  return PanLaw(std::move(samples));
}

double PanLaw::FullSideGain() const {
  return For(10000).Gain / centreLevel_;
}

PanLaw::Placement PanLaw::For(int pan) const {
  pan = std::clamp(pan, -10000, 10000);
  if (pan == 0 || samples_.size() < 2) return {0.0, 1.0 / samples_.front().LoudOverCentre};
  const double wanted = std::pow(10.0, -std::abs(pan) / 2000.0);
  const double side = pan < 0 ? -1.0 : 1.0;

  // The ratio falls as the source moves aside: find the two directions around the wanted one.
  const auto after = std::find_if(samples_.begin(), samples_.end(),
                                  [&](const Sample& s) { return s.QuietOverLoud <= wanted; });
  if (after == samples_.end()) {
    // Quieter than the mixer can make it: as far aside as it goes.
    return {side * samples_.back().Azimuth, 1.0 / samples_.back().LoudOverCentre};
  }
  if (after == samples_.begin()) return {0.0, 1.0 / samples_.front().LoudOverCentre};
  const Sample& a = *(after - 1);
  const Sample& b = *after;
  const double span = a.QuietOverLoud - b.QuietOverLoud;
  const double t = span > 0 ? (a.QuietOverLoud - wanted) / span : 1.0;
  const double azimuth = a.Azimuth + t * (b.Azimuth - a.Azimuth);
  const double loud = a.LoudOverCentre + t * (b.LoudOverCentre - a.LoudOverCentre);
  return {side * azimuth, 1.0 / loud};
}

}  // namespace strikora::sdl
