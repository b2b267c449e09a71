#include "tools/voicegen/Level.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "tools/voicegen/Loudness.h"

namespace strikora::voicegen {
namespace {

constexpr double kTrimFloorDb = -45;  // below the loudest 10 ms, counted as silence
constexpr double kLeadSeconds = 0.02;
constexpr double kTailSeconds = 0.04;
constexpr double kReleaseSeconds = 0.03;

// The mean square of each hop-long stretch.
std::vector<double> Power(const Samples& s, std::size_t hop) {
  std::vector<double> power((s.size() + hop - 1) / hop, 0.0);
  for (std::size_t i = 0; i < s.size(); ++i) power[i / hop] += static_cast<double>(s[i]) * s[i];
  for (double& p : power) p /= static_cast<double>(hop);
  return power;
}

// How much gain each frame needs to keep its true peak under `ceiling` (1 where none): the
// frame's own magnitude and three points between it and the next frame (a quarter, a half and
// three quarters of the way) found by sinc interpolation. Between two samples both more than
// 6 dB under the ceiling no peak can reach it, so only the louder stretches are interpolated.
std::vector<float> GainNeeded(const Audio& a, float ceiling) {
  constexpr int kHalf = 8;
  float taps[3][2 * kHalf];
  for (int p = 1; p <= 3; ++p) {
    for (int j = 0; j < 2 * kHalf; ++j) {
      const double d = (j - kHalf + 1) - p / 4.0;
      const double sinc = std::sin(std::numbers::pi * d) / (std::numbers::pi * d);
      const double w = 0.5 + 0.5 * std::cos(std::numbers::pi * d / kHalf);
      taps[p - 1][j] = static_cast<float>(sinc * w);
    }
  }
  const std::size_t frames = a.Frames();
  const auto ch = static_cast<std::size_t>(a.Channels);
  std::vector<float> need(frames, 1.0F);
  for (std::size_t c = 0; c < ch; ++c) {
    const auto at = [&](std::ptrdiff_t i) {
      return i < 0 || i >= static_cast<std::ptrdiff_t>(frames)
                 ? 0.0F
                 : a.Data[static_cast<std::size_t>(i) * ch + c];
    };
    for (std::size_t i = 0; i < frames; ++i) {
      const auto k = static_cast<std::ptrdiff_t>(i);
      float m = std::abs(at(k));
      if (std::max(m, std::abs(at(k + 1))) < 0.5F * ceiling) continue;
      for (const auto& h : taps) {
        float v = 0;
        for (int j = 0; j < 2 * kHalf; ++j) v += h[j] * at(k + j - kHalf + 1);
        m = std::max(m, std::abs(v));
      }
      if (m > ceiling) need[i] = std::min(need[i], ceiling / m);
    }
  }
  return need;
}

// Holds every true peak under `ceiling` (linear) with a gain that dips ahead of a peak and
// recovers after it, never faster than over a few milliseconds, so the limiting itself does
// not click. Returns false when nothing needed it.
bool LimitPeaks(Audio& a, float ceiling) {
  const std::vector<float> need = GainNeeded(a, ceiling);
  const std::size_t n = need.size();
  // Each gain is the lowest any frame within `hold` needs, then averaged over half that span:
  // the average at a frame only takes in gains no higher than the frame itself needs.
  const std::size_t hold = Len(0.003);
  if (std::all_of(need.begin(), need.end(), [](float g) { return g >= 1.0F; })) return false;
  std::vector<float> low(n);
  std::deque<std::size_t> window;  // frames in reach, their needs rising from the front
  for (std::size_t i = 0, next = 0; i < n; ++i) {
    for (; next < n && next <= i + hold; ++next) {
      while (!window.empty() && need[window.back()] >= need[next]) window.pop_back();
      window.push_back(next);
    }
    while (window.front() + hold < i) window.pop_front();
    low[i] = need[window.front()];
  }
  std::vector<double> sum(n + 1, 0.0);  // running sums for the average
  for (std::size_t i = 0; i < n; ++i) sum[i + 1] = sum[i] + low[i];
  std::vector<float> gain(n);
  const std::size_t half = hold / 2;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t from = i > half ? i - half : 0, to = std::min(n, i + half + 1);
    gain[i] = static_cast<float>((sum[to] - sum[from]) / static_cast<double>(to - from));
  }
  // A slow recovery both ways, so the gain glides rather than pumps.
  const auto recover = static_cast<float>(std::exp(-1.0 / (0.05 * kRate)));
  for (std::size_t i = 1; i < n; ++i) gain[i] = std::min(gain[i], 1 - (1 - gain[i - 1]) * recover);
  for (std::size_t i = n - 1; i-- > 0;)
    gain[i] = std::min(gain[i], 1 - (1 - gain[i + 1]) * recover);
  const auto ch = static_cast<std::size_t>(a.Channels);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t c = 0; c < ch; ++c) a.Data[i * ch + c] *= gain[i];
  }
  return true;
}

void Scale(Audio& a, double db) {
  const auto g = static_cast<float>(std::pow(10.0, db / 20));
  for (float& v : a.Data) v *= g;
}

// A second-order high-pass at 30 Hz: takes away DC and the rumble no speaker plays.
void HighPass(Audio& a) {
  const auto ch = static_cast<std::size_t>(a.Channels);
  for (std::size_t c = 0; c < ch; ++c) {
    Biquad hp = Biquad::HighPass(30);
    for (std::size_t i = c; i < a.Data.size(); i += ch) a.Data[i] = hp(a.Data[i]);
  }
}

// What DC a short clip still holds after the high-pass (a kick's lopsided thump, say) is taken
// out as a smooth bump that is zero at both ends, so the faded edges stay silent.
void SubtractMeanInside(Audio& a) {
  const auto ch = static_cast<std::size_t>(a.Channels);
  const std::size_t n = a.Frames();
  if (n < 3) return;
  // The bump 0.5 - 0.5 cos(2 pi i / (n - 1)), its cosine by rotation.
  std::vector<double> bump(n);
  const double k = 2 * std::cos(kTwoPi / static_cast<double>(n - 1));
  double c1 = 1, c0 = std::cos(kTwoPi / static_cast<double>(n - 1));  // cos at i and i - 1
  double weight = 0;
  for (std::size_t i = 0; i < n; ++i) {
    bump[i] = 0.5 - 0.5 * c1;
    weight += bump[i];
    const double next = k * c1 - c0;
    c0 = c1;
    c1 = next;
  }
  for (std::size_t c = 0; c < ch; ++c) {
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += a.Data[i * ch + c];
    const double dc = sum / weight;
    for (std::size_t i = 0; i < n; ++i) a.Data[i * ch + c] -= static_cast<float>(dc * bump[i]);
  }
}

void SubtractMean(Audio& a) {
  const auto ch = static_cast<std::size_t>(a.Channels);
  for (std::size_t c = 0; c < ch; ++c) {
    double sum = 0;
    for (std::size_t i = c; i < a.Data.size(); i += ch) sum += a.Data[i];
    const auto mean = static_cast<float>(sum / static_cast<double>(a.Frames()));
    for (std::size_t i = c; i < a.Data.size(); i += ch) a.Data[i] -= mean;
  }
}

// A loop starts where it is quietest near its own start, on a zero crossing: the first play
// then starts without a click, and the join back to the start stays what it was.
void StartLoopQuietly(Audio& a) {
  const std::size_t n = a.Frames();
  const auto ch = static_cast<std::size_t>(a.Channels);
  const std::size_t reach = std::min(n / 2, Len(0.03));
  const auto level = [&](std::size_t i) {
    float m = 0;
    for (std::size_t c = 0; c < ch; ++c) {
      const float here = a.Data[i * ch + c], before = a.Data[((i + n - 1) % n) * ch + c];
      m = std::max({m, std::abs(here), std::abs(before)});
    }
    return m;
  };
  std::size_t best = 0;
  float bestLevel = level(0);
  for (std::size_t k = 1; k <= 2 * reach; ++k) {
    const std::size_t i = (n - reach + k) % n;
    const float l = level(i);
    if (l < bestLevel) {
      bestLevel = l;
      best = i;
    }
  }
  std::rotate(a.Data.begin(), a.Data.begin() + static_cast<std::ptrdiff_t>(best * ch),
              a.Data.end());
}

}  // namespace

void TrimToWords(Samples& s, int rate) {
  const auto seconds = [rate](double t) { return static_cast<std::size_t>(std::lround(t * rate)); };
  const std::size_t hop = seconds(0.01);
  const std::vector<double> power = Power(s, hop);
  const double loudest = power.empty() ? 0 : *std::max_element(power.begin(), power.end());
  if (loudest <= 0) {
    s.clear();
    return;
  }
  const double floor = loudest * std::pow(10.0, kTrimFloorDb / 10);
  std::size_t first = 0, last = power.size() - 1;
  while (power[first] < floor) ++first;
  while (power[last] < floor) --last;
  const std::size_t lead = seconds(kLeadSeconds);
  const std::size_t from = first * hop > lead ? first * hop - lead : 0;
  const std::size_t soundEnd = std::min(s.size(), (last + 1) * hop);
  // A voice that stops on a full vowel (eSpeak NG does) is let go over a short release rather
  // than cut; a voice that has already died away is not touched by it.
  const std::size_t release = std::min(soundEnd - from, seconds(kReleaseSeconds));
  for (std::size_t i = 0; i < release; ++i) {
    const double x = static_cast<double>(i) / static_cast<double>(release);
    s[soundEnd - 1 - i] *= static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * x));
  }
  Samples words(s.begin() + static_cast<std::ptrdiff_t>(from),
                s.begin() + static_cast<std::ptrdiff_t>(soundEnd));
  words.resize(words.size() + seconds(kTailSeconds), 0.0F);  // silence after, always
  s = std::move(words);
}

double LevelTo(Audio& audio, double lufs, double ceilingDb) {
  const auto ceiling = static_cast<float>(std::pow(10.0, ceilingDb / 20));
  double reached = IntegratedLoudness(audio);
  if (!std::isfinite(reached)) return reached;
  // Gain moves the loudness by exactly itself; limiting lowers it a little, so after limiting
  // measure, level and limit again.
  for (int pass = 0; pass < 8; ++pass) {
    Scale(audio, lufs - reached);
    if (!LimitPeaks(audio, ceiling)) return lufs;
    reached = IntegratedLoudness(audio);
    if (std::abs(reached - lufs) < 0.05) break;
  }
  return reached;
}

void FadeEdges(Audio& audio, double in, double out) {
  const std::size_t n = audio.Frames();
  const auto ch = static_cast<std::size_t>(audio.Channels);
  const auto ramp = [&](std::size_t length, auto frameAt) {
    length = std::min(length, n);
    for (std::size_t i = 0; i < length; ++i) {
      const auto g =
          static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) /
                                                  static_cast<double>(length)));
      for (std::size_t c = 0; c < ch; ++c) audio.Data[frameAt(i) * ch + c] *= g;
    }
  };
  ramp(Len(in), [](std::size_t i) { return i; });
  ramp(Len(out), [n](std::size_t i) { return n - 1 - i; });
}

void Finish(const voiceset::Clip& clip, Audio& audio, double ceilingDb) {
  if (audio.Data.empty() || clip.effect == voiceset::Effect::Silence) return;
  if (clip.Loops()) {
    SubtractMean(audio);
  } else {
    HighPass(audio);
  }
  LevelTo(audio, (voiceset::kSpeechLoudness + clip.level) / 100.0, ceilingDb);
  if (clip.Loops()) {
    StartLoopQuietly(audio);
  } else {
    FadeEdges(audio, 0.005, 0.01);
    SubtractMeanInside(audio);
  }
  if (clip.IsMp3()) {
    // The encoder smears a sharp start back by up to one frame (26 ms here): a little silence
    // first keeps the first sound played a clean one.
    audio.Data.insert(audio.Data.begin(), Len(0.04) * static_cast<std::size_t>(audio.Channels),
                      0.0F);
  }
}

double TruePeakEstimate(const Audio& audio) {
  const std::vector<float> need = GainNeeded(audio, 0.5F);  // every frame within 12 dB of 1
  float peak = 0;
  for (const float v : audio.Data) peak = std::max(peak, std::abs(v));
  for (const float g : need) peak = std::max(peak, 0.5F / g);
  return 20 * std::log10(std::max(peak, 1e-9F));
}

}  // namespace strikora::voicegen
