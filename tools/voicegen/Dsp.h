#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string_view>
#include <vector>

// Small sound-making tools for the voice-set generator: a seeded random source, filters and
// mixing. Everything is deterministic so that the same clip list gives the same packs.
namespace strikora::voicegen {

inline constexpr int kRate = 22050;  // samples per second of every clip
inline constexpr double kTwoPi = 2.0 * std::numbers::pi;

using Samples = std::vector<float>;

// A clip as it leaves the generator: interleaved samples in -1..1.
struct Audio {
  int Channels = 1;
  Samples Data;
  [[nodiscard]] std::size_t Frames() const { return Data.size() / Channels; }
};

[[nodiscard]] inline std::size_t Len(double seconds) {
  return static_cast<std::size_t>(std::lround(seconds * kRate));
}

// splitmix64: tiny, and the same on every standard library.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : State(seed) {}
  static Rng For(std::string_view name, std::uint64_t salt = 0);
  std::uint64_t Next();
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }  // [0, 1)
  double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
  double Noise() { return 2.0 * Uniform() - 1.0; }

 private:
  std::uint64_t State;
};

// RBJ biquad; band-pass with constant peak gain, low-pass and high-pass.
class Biquad {
 public:
  static Biquad BandPass(double freq, double q);
  static Biquad LowPass(double freq, double q = 0.707);
  static Biquad HighPass(double freq, double q = 0.707);
  float operator()(float x);

 private:
  double B0 = 1, B1 = 0, B2 = 0, A1 = 0, A2 = 0;
  double X1 = 0, X2 = 0, Y1 = 0, Y2 = 0;
};

class OnePole {
 public:
  explicit OnePole(double cutoff) : A(1.0 - std::exp(-kTwoPi * cutoff / kRate)) {}
  float operator()(float x) { return Y += static_cast<float>(A) * (x - Y); }

 private:
  double A;
  float Y = 0;
};

// The per-sample factor of an exponential decay with this time constant, so inner loops need
// no exp per sample.
[[nodiscard]] inline double DecayPerSample(double seconds) {
  return std::exp(-1.0 / (seconds * kRate));
}

// A sine wave by rotation, y[n] = 2 cos(w) y[n-1] - y[n-2], from sin(0): no sin per sample.
class Sine {
 public:
  explicit Sine(double freq)
      : K(2 * std::cos(kTwoPi * freq / kRate)),
        Y1(-std::sin(kTwoPi * freq / kRate)),
        Y2(-std::sin(2 * kTwoPi * freq / kRate)) {}
  double operator()() {
    const double y = K * Y1 - Y2;
    Y2 = Y1;
    Y1 = y;
    return y;
  }

 private:
  double K, Y1, Y2;
};

// Adds src into dst starting at sample `at`, growing dst when needed.
void MixInto(Samples& dst, const Samples& src, std::size_t at, float gain = 1.0F);
// Scales so the loudest sample reaches peak.
void Normalize(Samples& s, float peak);
// Linear fades at both ends, in seconds.
void Fade(Samples& s, double in, double out);
// Folds everything past `length` back onto the start so the clip loops without a seam.
void FoldToLoop(Samples& s, std::size_t length);
// Soft saturation that keeps loud mixes inside -1..1.
void SoftLimit(Samples& s);

// A decaying sine, the building block of knocks, bells and pins.
void AddPartial(Samples& s, std::size_t at, double freq, double amp, double decaySeconds,
                double seconds);
// Converts sound made at another rate to kRate: windowed-sinc interpolation, band-limited
// below the lower rate's Nyquist frequency. Built once, used from any thread.
class Resampler {
 public:
  explicit Resampler(int fromRate);
  [[nodiscard]] Samples operator()(const Samples& in) const;
  [[nodiscard]] int FromRate() const { return From; }

 private:
  static constexpr int kHalf = 12;  // taps each side
  int From;
  std::size_t Up = 1, Down = 1;  // output and input steps per common period
  std::vector<float> Taps;       // 2 * kHalf for each output position between input samples
};

// The pitch of a MIDI note number.
[[nodiscard]] inline double MidiHz(double note) {
  return 440.0 * std::pow(2.0, (note - 69) / 12);
}

}  // namespace strikora::voicegen
