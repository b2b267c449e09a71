#pragma once

#include <vector>

namespace strikora::sdl {

// How the mixer spreads a mono source between the two speakers, and that turned around: for a
// pan in hundredths of a decibel, where to place the source and how much gain keeps the louder
// side at the level it has in the centre. The mixer's own law differs between library versions
// (some separate the sides fully well before 90 degrees), so it is measured, not assumed.
class PanLaw {
 public:
  // One measured direction: the azimuth (radians, 0 ahead, towards the louder side), the
  // quieter side's amplitude over the louder side's, and the louder side's amplitude over its
  // amplitude at the centre.
  struct Sample {
    double Azimuth = 0;
    double QuietOverLoud = 1;
    double LoudOverCentre = 1;
  };
  // Where a mono source goes: azimuth in radians (negative left, positive right) and the gain
  // that brings the louder side back to its centre level.
  struct Placement {
    double Azimuth = 0;
    double Gain = 1;
  };

  // samples start at the centre and run towards one side; the law is taken as symmetric.
  // centreLevel: each speaker's amplitude for a centred source, over the source's own.
  explicit PanLaw(std::vector<Sample> samples, double centreLevel = kConstantPowerCentre);
  // The textbook constant-power law over the half circle, for when nothing can be measured.
  [[nodiscard]] static PanLaw ConstantPower();

  // pan: -10000 (left) .. 10000 (right); the quieter side is |pan| hundredths of a dB down.
  [[nodiscard]] Placement For(int pan) const;
  [[nodiscard]] const std::vector<Sample>& Samples() const { return samples_; }
  // The gain that plays one channel of a stereo clip on its own speaker at the level the
  // clip itself has: the source placed as far to that side as the law goes.
  [[nodiscard]] double FullSideGain() const;

  static constexpr double kConstantPowerCentre = 0.70710678118654752;

 private:
  std::vector<Sample> samples_;
  double centreLevel_;
};

}  // namespace strikora::sdl
