#include "tools/voicegen/Dsp.h"

#include <algorithm>
#include <numeric>

namespace strikora::voicegen {

Rng Rng::For(std::string_view name, std::uint64_t salt) {
  std::uint64_t h = 1469598103934665603ULL;  // FNV-1a
  for (const char c : name) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ULL;
  }
  return Rng(h ^ (salt * 0x9E3779B97F4A7C15ULL));
}

std::uint64_t Rng::Next() {
  std::uint64_t z = (State += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

namespace {
struct Coeffs {
  double w, cosw, alpha;
};
Coeffs Prepare(double freq, double q) {
  const double w = kTwoPi * std::clamp(freq, 10.0, kRate * 0.45) / kRate;
  return {w, std::cos(w), std::sin(w) / (2.0 * q)};
}
}  // namespace

Biquad Biquad::BandPass(double freq, double q) {
  const auto c = Prepare(freq, q);
  const double a0 = 1 + c.alpha;
  Biquad b;
  b.B0 = c.alpha / a0;
  b.B1 = 0;
  b.B2 = -c.alpha / a0;
  b.A1 = -2 * c.cosw / a0;
  b.A2 = (1 - c.alpha) / a0;
  return b;
}

Biquad Biquad::LowPass(double freq, double q) {
  const auto c = Prepare(freq, q);
  const double a0 = 1 + c.alpha;
  Biquad b;
  b.B0 = (1 - c.cosw) / 2 / a0;
  b.B1 = (1 - c.cosw) / a0;
  b.B2 = b.B0;
  b.A1 = -2 * c.cosw / a0;
  b.A2 = (1 - c.alpha) / a0;
  return b;
}

Biquad Biquad::HighPass(double freq, double q) {
  const auto c = Prepare(freq, q);
  const double a0 = 1 + c.alpha;
  Biquad b;
  b.B0 = (1 + c.cosw) / 2 / a0;
  b.B1 = -(1 + c.cosw) / a0;
  b.B2 = b.B0;
  b.A1 = -2 * c.cosw / a0;
  b.A2 = (1 - c.alpha) / a0;
  return b;
}

float Biquad::operator()(float x) {
  const double y = B0 * x + B1 * X1 + B2 * X2 - A1 * Y1 - A2 * Y2;
  X2 = X1;
  X1 = x;
  Y2 = Y1;
  Y1 = y;
  return static_cast<float>(y);
}

void MixInto(Samples& dst, const Samples& src, std::size_t at, float gain) {
  if (dst.size() < at + src.size()) dst.resize(at + src.size(), 0.0F);
  for (std::size_t i = 0; i < src.size(); ++i) dst[at + i] += gain * src[i];
}

void Normalize(Samples& s, float peak) {
  float max = 0;
  for (const float v : s) max = std::max(max, std::abs(v));
  if (max <= 0) return;
  const float g = peak / max;
  for (float& v : s) v *= g;
}

void Fade(Samples& s, double in, double out) {
  const std::size_t n = s.size();
  const std::size_t a = std::min(Len(in), n);
  const std::size_t b = std::min(Len(out), n);
  for (std::size_t i = 0; i < a; ++i) s[i] *= static_cast<float>(i) / a;
  for (std::size_t i = 0; i < b; ++i) s[n - 1 - i] *= static_cast<float>(i) / b;
}

void FoldToLoop(Samples& s, std::size_t length) {
  if (s.size() <= length) {
    s.resize(length, 0.0F);
    return;
  }
  for (std::size_t i = length; i < s.size(); ++i) s[(i - length) % length] += s[i];
  s.resize(length);
}

void SoftLimit(Samples& s) {
  for (float& v : s) v = std::tanh(v);
}

void AddPartial(Samples& s, std::size_t at, double freq, double amp, double decaySeconds,
                double seconds) {
  const std::size_t n = Len(seconds);
  if (s.size() < at + n) s.resize(at + n, 0.0F);
  const double step = kTwoPi * freq / kRate;
  const double decay = std::exp(-1.0 / (decaySeconds * kRate));
  double env = amp;
  for (std::size_t i = 0; i < n; ++i) {
    s[at + i] += static_cast<float>(env * std::sin(step * static_cast<double>(i)));
    env *= decay;
  }
}

Resampler::Resampler(int fromRate) : From(fromRate) {
  const int common = std::gcd(fromRate, kRate);
  Up = static_cast<std::size_t>(kRate / common);
  Down = static_cast<std::size_t>(fromRate / common);
  const double cutoff =
      0.9 * std::min(fromRate, kRate) / 2.0 / fromRate;  // cycles per input sample
  Taps.resize(Up * 2 * kHalf);
  for (std::size_t p = 0; p < Up; ++p) {
    const double frac = static_cast<double>(p) / static_cast<double>(Up);
    for (int j = 0; j < 2 * kHalf; ++j) {
      const double d = (j - kHalf + 1) - frac;  // distance from the output instant, input samples
      const double x = 2 * cutoff * d;
      const double sinc = d == 0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
      const double w = 0.42 + 0.5 * std::cos(std::numbers::pi * d / kHalf) +
                       0.08 * std::cos(2 * std::numbers::pi * d / kHalf);  // Blackman
      Taps[p * 2 * kHalf + static_cast<std::size_t>(j)] =
          static_cast<float>(2 * cutoff * sinc * std::max(0.0, w));
    }
  }
}

Samples Resampler::operator()(const Samples& in) const {
  if (From == kRate || in.empty()) return in;
  const std::size_t outLength = in.size() * Up / Down;
  Samples out(outLength);
  const auto n = static_cast<std::ptrdiff_t>(in.size());
  for (std::size_t i = 0; i < outLength; ++i) {
    const std::size_t pos = i * Down;
    const auto base = static_cast<std::ptrdiff_t>(pos / Up);
    const float* h = &Taps[(pos % Up) * 2 * kHalf];
    float acc = 0;
    for (int j = 0; j < 2 * kHalf; ++j) {
      const std::ptrdiff_t k = base + j - kHalf + 1;
      if (k >= 0 && k < n) acc += h[j] * in[static_cast<std::size_t>(k)];
    }
    out[i] = acc;
  }
  return out;
}

}  // namespace strikora::voicegen
