#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/sdl/PanLaw.h"

namespace strikora::sdl {
namespace {

// A law like the mixer's: the sides separate fully at 60 degrees, and the louder side grows
// as the source moves aside.
PanLaw::Sample Modelled(double azimuth) {
  const double s = std::min(azimuth * 1.5, std::numbers::pi / 2);
  const double quiet = std::max(0.0, 0.5 - 0.5 * std::sin(s) + 0.1 * std::cos(s));
  const double loud = 0.5 + 0.5 * std::sin(s) + 0.1 * std::cos(s);
  return {azimuth, quiet / loud, loud / 0.6};
}

PanLaw::Sample ConstantPower(double azimuth) {
  const double theta = std::numbers::pi / 4 + azimuth / 2;
  return {azimuth, std::cos(theta) / std::sin(theta),
          std::sin(theta) / std::sin(std::numbers::pi / 4)};
}

PanLaw ModelledLaw() {
  std::vector<PanLaw::Sample> samples;
  for (int step = 0; step <= 360; ++step)
    samples.push_back(Modelled(std::numbers::pi / 720 * step));
  return PanLaw(samples);
}

TEST(OpenAlPanLawTest, PlacementGivesTheWantedDifferenceAndKeepsTheLouderSide) {
  struct Case {
    PanLaw Law;
    PanLaw::Sample (*Mixer)(double);  // what the mixer makes of a direction
  };
  const Case cases[] = {{PanLaw::ConstantPower(), &ConstantPower}, {ModelledLaw(), &Modelled}};
  for (const Case& c : cases) {
    for (const int pan : {-5000, -3000, -600, 600, 1500, 3000, 5000}) {
      const PanLaw::Placement at = c.Law.For(pan);
      EXPECT_EQ(at.Azimuth < 0, pan < 0) << pan;
      const PanLaw::Sample heard = c.Mixer(std::abs(at.Azimuth));
      EXPECT_NEAR(20 * std::log10(heard.QuietOverLoud), -std::abs(pan) / 100.0, 0.3) << pan;
      EXPECT_NEAR(20 * std::log10(heard.LoudOverCentre * at.Gain), 0.0, 0.05) << pan;
    }
  }
}

TEST(OpenAlPanLawTest, CentreAndTheFarEnds) {
  const PanLaw law = ModelledLaw();
  EXPECT_EQ(law.For(0).Azimuth, 0.0);
  EXPECT_NEAR(law.For(0).Gain, 1.0, 1e-9);
  // Nothing is learnt past the direction where the quieter side falls silent.
  EXPECT_NEAR(law.Samples().back().Azimuth, std::numbers::pi / 3, 0.01);
  EXPECT_NEAR(law.For(10000).Azimuth, -law.For(-10000).Azimuth, 1e-12);
  EXPECT_LE(law.For(10000).Azimuth, law.Samples().back().Azimuth);
  EXPECT_GT(law.For(10000).Azimuth, law.For(5000).Azimuth);
  // Beyond the scale is the end of the scale.
  EXPECT_EQ(law.For(25000).Azimuth, law.For(10000).Azimuth);
}

}  // namespace
}  // namespace strikora::sdl
