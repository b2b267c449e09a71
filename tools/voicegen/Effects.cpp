#include "tools/voicegen/Effects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>
#include <stdexcept>

#include "tools/voicegen/Music.h"

namespace strikora::voicegen {
namespace {

using voiceset::Clip;
using voiceset::Effect;
using voiceset::Voice;

struct Vowel {
  double F1, F2;
};
constexpr Vowel kAh{730, 1090}, kOh{450, 800}, kOo{320, 870}, kEh{530, 1840}, kAy{660, 1700};

// One human voice as a buzz through two vowel resonances: enough for a crowd, a whoop or an
// "ohh" from the next lane.
void AddVoice(Samples& s, std::size_t at, double seconds, double f0From, double f0To, Vowel from,
              Vowel to, float gain, Rng& rng, double attack = 0.08) {
  const std::size_t n = Len(seconds);
  if (s.size() < at + n) s.resize(at + n, 0.0F);
  double phase = rng.Uniform();
  Sine vibrato(rng.Range(4.5, 6.5));
  Biquad f1 = Biquad::BandPass(from.F1, 6), f2 = Biquad::BandPass(from.F2, 9);
  for (std::size_t i = 0; i < n; ++i) {
    const double x = static_cast<double>(i) / static_cast<double>(n);
    const double t = static_cast<double>(i) / kRate;
    if (i % 128 == 0) {  // re-tuned as the vowel glides
      f1 = Biquad::BandPass(from.F1 + (to.F1 - from.F1) * x, 6);
      f2 = Biquad::BandPass(from.F2 + (to.F2 - from.F2) * x, 9);
    }
    const double f0 = (f0From + (f0To - f0From) * x) * (1 + 0.02 * vibrato());
    phase += f0 / kRate;
    if (phase >= 1) phase -= 1;
    const auto src = static_cast<float>(2 * phase - 1 + 0.15 * rng.Noise());
    const double env = std::min(1.0, t / attack) * std::min(1.0, (seconds - t) / 0.15);
    s[at + i] += gain * static_cast<float>(env) * (f1(src) + 0.6F * f2(src));
  }
}

void AddNoiseBurst(Samples& s, std::size_t at, double seconds, double decay, Biquad filter,
                   float gain, Rng& rng) {
  const std::size_t n = Len(seconds);
  if (s.size() < at + n) s.resize(at + n, 0.0F);
  const double fall = DecayPerSample(decay);
  double env = 1;
  for (std::size_t i = 0; i < n; ++i) {
    s[at + i] += gain * filter(static_cast<float>(rng.Noise())) * static_cast<float>(env);
    env *= fall;
  }
}

// A wooden pin knocked over: a few inharmonic ringing partials and a click.
void AddPinKnock(Samples& s, std::size_t at, float gain, Rng& rng) {
  const double f = rng.Range(650, 1150);
  AddPartial(s, at, f, gain, rng.Range(0.03, 0.07), 0.25);
  AddPartial(s, at, f * 2.31, gain * 0.5, 0.03, 0.15);
  AddPartial(s, at, f * 3.93, gain * 0.3, 0.015, 0.1);
  AddNoiseBurst(s, at, 0.03, 0.006, Biquad::HighPass(2000), gain * 0.6F, rng);
}

Samples Silence() {
  return Samples(Len(0.1), 0.0F);
}

Samples AimTone(int landmark, int skill) {
  // Quicker tones at higher skills make the sweep faster; the landmark is an octave higher
  // with a bell's overtones, so the pin lines stand out at once.
  const double seconds =
      std::array<double, 5>{0.26, 0.22, 0.18, 0.15, 0.12}[static_cast<std::size_t>(skill - 1)];
  Samples s(Len(seconds));
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double env = std::min(1.0, t / 0.005) * std::min(1.0, (seconds - t) / 0.03);
    double v = 0;
    if (landmark == 0) {
      v = std::sin(kTwoPi * 440 * t) + 0.15 * std::sin(kTwoPi * 880 * t);
    } else {
      v = std::sin(kTwoPi * 1046.5 * t) + 0.5 * std::sin(kTwoPi * 1568 * t) * std::exp(-t / 0.05) +
          0.3 * std::sin(kTwoPi * 2637 * t) * std::exp(-t / 0.03);
    }
    s[i] = static_cast<float>(env * v);
  }
  Normalize(s, 0.7F);
  return s;
}

Samples Swing(int skill, int k, Rng& rng) {
  // The arm's pendulum: the whoosh rises in pitch and strength toward the release point.
  const double seconds =
      std::array<double, 5>{0.30, 0.26, 0.22, 0.19, 0.16}[static_cast<std::size_t>(skill - 1)];
  const double speed = 0.35 + 0.65 * std::sin(std::numbers::pi * k / 11.0);
  Samples s(Len(seconds));
  Biquad band = Biquad::BandPass(350 + 900 * speed + 40 * k, 1.5);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double x = static_cast<double>(i) / static_cast<double>(s.size());
    const double env = std::sin(std::numbers::pi * x);
    s[i] = static_cast<float>(env * env * speed) * band(static_cast<float>(rng.Noise()));
  }
  AddPartial(s, 0, 1800, 0.05, 0.004, 0.02);  // the tick that keeps the count
  Normalize(s, static_cast<float>(0.35 + 0.4 * speed));
  return s;
}

Samples Roll(bool hard, Rng& rng) {
  const double seconds = hard ? 3.0 : 3.4;
  const double turn = hard ? 7.0 : 4.5;  // revolutions per second
  Samples s(Len(seconds));
  Biquad low = Biquad::LowPass(hard ? 320 : 190);
  Biquad low2 = Biquad::LowPass(hard ? 320 : 190);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double env = std::min(1.0, t / 0.08) * std::min(1.0, (seconds - t) / 0.6);
    const double wobble = 0.75 + 0.25 * std::sin(kTwoPi * turn * t);
    const double hum = std::sin(kTwoPi * (hard ? 68 : 55) * t);
    s[i] = static_cast<float>(env * wobble *
                              (3.0 * low2(low(static_cast<float>(rng.Noise()))) + 0.35 * hum));
  }
  AddKick(s, 0, hard ? 0.9F : 0.6F);  // the ball lands on the lane
  Normalize(s, hard ? 0.9F : 0.7F);
  return s;
}

Samples Hook(Rng& rng) {
  const double seconds = 0.7;
  Samples s(Len(seconds));
  for (std::size_t i = 0; i < s.size(); i += 256) {
    const double x = static_cast<double>(i) / static_cast<double>(s.size());
    Biquad band = Biquad::BandPass(300 + 1100 * x, 3);
    for (std::size_t j = i; j < std::min(s.size(), i + 256); ++j) {
      const double y = static_cast<double>(j) / static_cast<double>(s.size());
      s[j] = static_cast<float>(std::sin(std::numbers::pi * y)) *
             band(static_cast<float>(rng.Noise()));
    }
  }
  Normalize(s, 0.6F);
  return s;
}

Samples Thumb(Rng& rng) {
  Samples s(Len(0.16));
  AddKick(s, 0, 0.8F);
  s.resize(Len(0.16));
  AddNoiseBurst(s, 0, 0.02, 0.004, Biquad::BandPass(2500, 1), 0.4F, rng);
  Fade(s, 0, 0.03);
  Normalize(s, 0.7F);
  return s;
}

Samples Gutter(Rng& rng) {
  const double seconds = 3.2;
  Samples s(Len(seconds));
  Biquad a = Biquad::BandPass(240, 4), b = Biquad::BandPass(520, 6);
  double rattle = 1;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    if (i % 300 == 0) rattle = 0.6 + 0.4 * rng.Uniform();
    const double env = std::min(1.0, t / 0.05) * std::min(1.0, (seconds - t) / 0.8);
    const auto n = static_cast<float>(rng.Noise());
    s[i] = static_cast<float>(env * rattle) * (a(n) + 0.6F * b(n));
  }
  Normalize(s, 0.7F);
  return s;
}

Samples PinCrash(int pins, Rng& rng) {
  // More pins, a longer and louder clatter.
  const double seconds = 0.8 + 0.12 * pins;
  Samples s(Len(seconds));
  AddKick(s, 0, 0.5F);
  const double spread = 0.08 + 0.06 * pins;
  for (int p = 0; p < pins; ++p) {
    const double t = p == 0 ? 0.005 : rng.Range(0.01, spread);
    AddPinKnock(s, Len(t), 0.5F, rng);
    // Fallen pins clatter on the deck a moment later.
    AddPinKnock(s, Len(t + rng.Range(0.12, 0.35)), 0.22F, rng);
  }
  AddNoiseBurst(s, 0, seconds * 0.8, 0.06 + 0.025 * pins, Biquad::BandPass(900, 0.6),
                0.08F * static_cast<float>(pins), rng);
  s.resize(Len(seconds));
  Fade(s, 0, 0.1);
  Normalize(s, 0.45F + 0.045F * static_cast<float>(pins));
  return s;
}

Samples Applause(double seconds, int clappers, Rng& rng) {
  Samples s(Len(seconds));
  for (int c = 0; c < clappers; ++c) {
    const double rate = rng.Range(3.2, 5.0);
    const double tone = rng.Range(900, 2400);
    for (double t = rng.Range(0, 0.4); t < seconds - 0.05; t += 1 / rate * rng.Range(0.9, 1.1)) {
      AddNoiseBurst(s, Len(t), 0.03, 0.006, Biquad::BandPass(tone, 1.2), 0.5F, rng);
    }
  }
  s.resize(Len(seconds));
  return s;
}

Samples CrowdRoar(int size, Rng& rng) {
  // The big roar outlasts 500000 bytes of samples (about 11.3 s): the strike call waits for it.
  const double seconds = size == 1 ? 13.5 : 6.0;
  Samples s = Applause(seconds, size == 1 ? 40 : 22, rng);
  const int voices = size == 1 ? 34 : 8;
  const Vowel vowels[] = {kAh, kAy, kOh, kEh};
  for (int v = 0; v < voices; ++v) {
    double t = rng.Range(0, 0.6);
    const bool female = rng.Uniform() < 0.45;
    while (t < seconds - 1.0) {
      const double len = rng.Range(0.8, 2.8);
      const double f0 = female ? rng.Range(240, 380) : rng.Range(120, 220);
      const Vowel vw = vowels[rng.Next() % 4];
      AddVoice(s, Len(t), std::min(len, seconds - t), f0, f0 * rng.Range(1.05, 1.3), vw, kAh, 0.12F,
               rng);
      t += len + rng.Range(0.05, 0.6);
    }
  }
  s.resize(Len(seconds));
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double swell =
        std::min(1.0, t / 0.4) * (t < 2.5 ? 1.0 : 0.75 + 0.25 * std::exp(-(t - 2.5)));
    const double tail = std::min(1.0, (seconds - t) / (size == 1 ? 4.0 : 2.0));
    s[i] *= static_cast<float>(swell * tail);
  }
  Normalize(s, size == 1 ? 0.9F : 0.7F);
  return s;
}

Samples Whoop(int k, Rng& rng) {
  Samples s;
  if (k == 9) {  // a fingers-in-the-mouth whistle
    const double seconds = 0.9;
    s.resize(Len(seconds));
    double phase = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
      const double x = static_cast<double>(i) / static_cast<double>(s.size());
      const double f = x < 0.4 ? 1500 + 1000 * x / 0.4 : 2500 - 700 * (x - 0.4) / 0.6;
      phase += kTwoPi * f / kRate;
      s[i] = static_cast<float>(std::sin(phase) * std::sin(std::numbers::pi * x));
    }
  } else {
    const bool female = k % 2 == 0;
    const double f0 = female ? 280 + 20 * k : 150 + 15 * k;
    const Vowel from = k % 3 == 0 ? kEh : kOo;
    const Vowel to = k % 3 == 1 ? kAh : kOo;
    const double seconds = 0.6 + 0.08 * k;
    AddVoice(s, 0, seconds, f0, f0 * 1.6, from, to, 0.8F, rng, 0.05);
  }
  Normalize(s, 0.8F);
  return s;
}

Samples CrowdShout(const std::vector<Samples>& speech, Rng& rng) {
  // A few supporters shouting together, a little out of step, with a murmur behind them.
  Samples s;
  const double offsets[] = {0.0, 0.035, 0.06};
  for (std::size_t i = 0; i < speech.size(); ++i)
    MixInto(s, speech[i], Len(offsets[i % 3] + 0.05), 0.5F);
  Samples murmur = Applause(static_cast<double>(s.size()) / kRate + 0.2, 6, rng);
  MixInto(s, murmur, 0, 0.15F);
  Normalize(s, 0.85F);
  return s;
}

Samples BallReturn(Rng& rng) {
  const double seconds = 2.0;
  Samples s(Len(seconds));
  Biquad low = Biquad::LowPass(150);
  for (std::size_t i = 0; i < Len(1.4); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double env = std::min(1.0, t / 0.9) * std::min(1.0, (1.4 - t) / 0.1);
    s[i] = static_cast<float>(3.0 * env) * low(static_cast<float>(rng.Noise()));
  }
  AddKick(s, Len(1.4), 0.6F);
  AddPartial(s, Len(1.42), 420, 0.5, 0.05, 0.4);  // ball meets ball on the rack
  AddPartial(s, Len(1.42), 1130, 0.25, 0.03, 0.3);
  s.resize(Len(seconds));
  Fade(s, 0, 0.2);
  Normalize(s, 0.7F);
  return s;
}

Samples Buzzer() {
  const double seconds = 0.6;
  Samples s(Len(seconds));
  Biquad low = Biquad::LowPass(2200);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double sq =
        (std::sin(kTwoPi * 110 * t) > 0 ? 1 : -1) + (std::sin(kTwoPi * 116.5 * t) > 0 ? 1 : -1);
    const double env = std::min(1.0, t / 0.004) * std::min(1.0, (seconds - t) / 0.01);
    s[i] = static_cast<float>(env) * low(static_cast<float>(sq * 0.5));
  }
  Normalize(s, 0.8F);
  return s;
}

Samples Miss(Rng& rng) {
  const double seconds = 0.7;
  Samples s(Len(seconds));
  AddNoiseBurst(s, 0, 0.25, 0.06, Biquad::LowPass(400), 1.2F, rng);  // into the pit curtain
  double phase = 0;
  for (std::size_t i = Len(0.15); i < s.size(); ++i) {
    const double x = static_cast<double>(i - Len(0.15)) / static_cast<double>(s.size() - Len(0.15));
    phase += kTwoPi * (380 - 180 * x) / kRate;
    s[i] += static_cast<float>(0.35 * std::sin(phase) * std::sin(std::numbers::pi * x));
  }
  Normalize(s, 0.6F);
  return s;
}

Samples Chime() {
  Samples s;
  AddBell(s, 0, 880, 0.3, 0.5F);
  AddBell(s, Len(0.09), 1318.5, 0.3, 0.5F);
  Normalize(s, 0.6F);
  return s;
}

Samples Murmur(double seconds, int voices, Rng& rng, float gain) {
  Samples s(Len(seconds));
  const Vowel vowels[] = {kAh, kOh, kEh, kAy, kOo};
  for (int v = 0; v < voices; ++v) {
    double t = rng.Range(0, 0.5);
    const bool female = rng.Uniform() < 0.5;
    while (t < seconds) {
      const double len = rng.Range(0.12, 0.35);  // a syllable
      const double f0 = female ? rng.Range(190, 260) : rng.Range(95, 150);
      AddVoice(s, Len(t), len, f0, f0 * rng.Range(0.85, 1.15), vowels[rng.Next() % 5],
               vowels[rng.Next() % 5], gain, rng, 0.03);
      t += len + (rng.Uniform() < 0.15 ? rng.Range(0.3, 0.9) : rng.Range(0.0, 0.08));
    }
  }
  s.resize(Len(seconds));
  return s;
}

Samples AlleyAmbience(Rng& rng) {
  // Ten seconds that loop: a crowd talking, balls rolling on other lanes, the odd crash.
  const double seconds = 10.0;
  Samples s = Murmur(seconds + 1.0, 10, rng, 0.05F);
  Samples roll = Roll(false, rng);
  for (float& v : roll) v *= 0.25F;
  OnePole far(500);
  for (float& v : roll) v = far(v);
  MixInto(s, roll, Len(0.7));
  MixInto(s, roll, Len(5.8));
  Samples crash = PinCrash(8, rng);
  OnePole far2(1200);
  for (float& v : crash) v = far2(v);
  MixInto(s, crash, Len(3.9), 0.25F);
  MixInto(s, PinCrash(4, rng), Len(8.4), 0.12F);
  OnePole hum(80);
  for (std::size_t i = 0; i < s.size(); ++i) s[i] += 0.2F * hum(static_cast<float>(rng.Noise()));
  FoldToLoop(s, Len(seconds));
  Normalize(s, 0.6F);
  return s;
}

Samples AmbientEvent(int k, Rng& rng) {
  Samples s;
  switch (k % 5) {
    case 1: {  // a strike on a distant lane
      s = PinCrash(6 + k % 5, rng);
      OnePole far(900 + 100.0 * k);
      for (float& v : s) v = far(v);
      MixInto(s, Applause(1.5, 6, rng), Len(0.4), 0.3F);
      break;
    }
    case 2: {  // laughter
      const double f0 = k < 8 ? 210 : 130;
      for (int h = 0; h < 5 + k % 3; ++h) {
        AddVoice(s, Len(0.17 * h), 0.12, f0 * (1.1 - 0.03 * h), f0 * (1.0 - 0.03 * h), kAh, kAh,
                 0.5F, rng, 0.01);
      }
      break;
    }
    case 3:  // two people talking nearby
      s = Murmur(2.5, 2, rng, 0.4F);
      break;
    case 4: {  // glasses and the snack bar's bell
      AddBell(s, 0, 2093 + 40.0 * k, 0.6, 0.4F);
      AddBell(s, Len(0.12), 2637 + 30.0 * k, 0.6, 0.3F);
      if (k > 5) AddBell(s, Len(0.5), 1568, 1.2, 0.35F);
      break;
    }
    default: {  // footsteps past the lanes
      for (int f = 0; f < 6; ++f) {
        AddNoiseBurst(s, Len(0.42 * f + 0.02 * k), 0.08, 0.02,
                      Biquad::BandPass(300 + 30.0 * k, 1.5), 0.6F, rng);
      }
      break;
    }
  }
  Fade(s, 0.005, 0.05);
  Normalize(s, 0.55F);
  return s;
}

Samples Ohs(int k, Rng& rng) {
  // The next lane's "ohh" at a near miss: a dozen voices sinking together.
  const double seconds = 1.6 + 0.1 * k;
  Samples s;
  for (int v = 0; v < 12; ++v) {
    const bool female = v % 3 == 0;
    const double f0 = (female ? 230 : 130) * rng.Range(0.9, 1.15) * (1 + 0.04 * k);
    AddVoice(s, Len(rng.Range(0, 0.12)), seconds, f0, f0 * 0.75, k % 2 ? kOh : kAh, kOh, 0.2F, rng,
             0.15);
  }
  Normalize(s, 0.7F);
  return s;
}

SongSpec LoopSpec(int k) {
  const auto seed = 100 + static_cast<std::uint64_t>(k);
  switch (k) {
    case 1:
      return {118, 57, false, {0, 4, 5, 3}, 8, true, true, true, 0.25F, seed};
    case 2:
      return {126, 55, true, {0, 5, 2, 6}, 8, true, true, true, 0.2F, seed};
    case 3:
      return {100, 60, false, {1, 4, 0, 0}, 4, true, true, false, 0.3F, seed};
    case 4:
      return {132, 52, false, {0, 3, 0, 4}, 8, true, false, true, 0.2F, seed};
    default:
      return {110, 58, true, {0, 3, 4, 4}, 8, true, true, true, 0.25F, seed};
  }
}

Samples Loop(const SongSpec& spec) {
  Samples s = ToMono(RenderSong(spec, 1.5));
  FoldToLoop(s, Len(SongSeconds(spec)));
  Normalize(s, 0.7F);
  return s;
}

void NormalizeStereo(Stereo& s, float peak) {
  float max = 0;
  for (const float v : s.Left) max = std::max(max, std::abs(v));
  for (const float v : s.Right) max = std::max(max, std::abs(v));
  if (max <= 0) return;
  for (float& v : s.Left) v *= peak / max;
  for (float& v : s.Right) v *= peak / max;
}

void FadeStereo(Stereo& s, double in, double out) {
  Fade(s.Left, in, out);
  Fade(s.Right, in, out);
}

Audio Jingle(Rng& rng) {
  // The logo: a rising arpeggio, a ball into the pins, a bright chord.
  const double seconds = 4.0;
  Stereo s{Samples(Len(seconds)), Samples(Len(seconds))};
  const int notes[] = {60, 64, 67, 72, 76};
  for (int i = 0; i < 5; ++i) {
    Samples n;
    AddPluck(n, 0, MidiHz(notes[i]), 0.8, 0.5F, rng);
    MixInto(s.Left, n, Len(0.12 * i), 0.5F + 0.1F * i);
    MixInto(s.Right, n, Len(0.12 * i), 0.9F - 0.1F * i);
  }
  Samples crash = PinCrash(10, rng);
  MixInto(s.Left, crash, Len(1.0), 0.6F);
  MixInto(s.Right, crash, Len(1.03), 0.6F);
  for (const int note : {72, 76, 79, 84}) {
    Samples b;
    AddBell(b, 0, MidiHz(note), 2.2, 0.3F);
    MixInto(s.Left, b, Len(1.6));
    MixInto(s.Right, b, Len(1.62));
  }
  s.Left.resize(Len(seconds));
  s.Right.resize(Len(seconds));
  FadeStereo(s, 0.01, 0.6);
  NormalizeStereo(s, 0.85F);
  return Interleave(s);
}

Audio Song(const SongSpec& spec, double seconds) {
  Stereo s = RenderSong(spec, 0.5);
  s.Left.resize(Len(seconds));
  s.Right.resize(Len(seconds));
  FadeStereo(s, 0.3, 1.5);
  NormalizeStereo(s, 0.85F);
  return Interleave(s);
}

Audio Advert(int n, const Samples& words) {
  SongSpec spec{
      108.0 + 4 * n, 53 + n, n % 3 == 0, {0, 3, 4, 0}, 0,
      true,          true,   false,      0.3F,         static_cast<std::uint64_t>(500 + n)};
  const double lead = 1.2, after = 2.0;
  const double seconds = lead + static_cast<double>(words.size()) / kRate + after;
  spec.Bars = static_cast<int>(std::ceil(seconds / (4 * 60.0 / spec.Bpm)));
  Stereo s = RenderSong(spec, 0.5);
  s.Left.resize(Len(seconds));
  s.Right.resize(Len(seconds));
  NormalizeStereo(s, 0.5F);
  // The music steps back while the sponsor talks.
  const std::size_t from = Len(lead - 0.3), to = Len(lead) + words.size() + Len(0.3);
  for (std::size_t i = 0; i < s.Left.size(); ++i) {
    const float duck = (i > from && i < to) ? 0.35F : 1.0F;
    s.Left[i] *= duck;
    s.Right[i] *= duck;
  }
  MixInto(s.Left, words, Len(lead), 0.8F);
  MixInto(s.Right, words, Len(lead), 0.8F);
  FadeStereo(s, 0.05, 1.2);
  NormalizeStereo(s, 0.9F);
  return Interleave(s);
}

Audio SpeakerTest(const std::vector<Samples>& parts) {
  // The title from both speakers, then each side's words from that side alone. The title is
  // panned to the centre at equal power, so all three sound as loud as any other speech.
  Stereo s;
  std::size_t at = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const bool left = i != 2, right = i != 1;
    const float gain = left && right ? std::numbers::sqrt2_v<float> / 2 : 1.0F;
    if (left) MixInto(s.Left, parts[i], at, gain);
    if (right) MixInto(s.Right, parts[i], at, gain);
    at += parts[i].size() + Len(0.4);
  }
  s.Left.resize(at);
  s.Right.resize(at);
  return Interleave(s);
}

Audio Mono(Samples s) {
  Audio a;
  a.Channels = 1;
  a.Data = std::move(s);
  return a;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, '|');) out.push_back(part);
  return out;
}

}  // namespace

std::vector<SpeechPart> SpeechPartsOf(const Clip& clip) {
  switch (clip.effect) {
    case Effect::None:
      return {{clip.voice, 0, clip.text}};
    case Effect::Advert:
      return {{clip.voice, 0, clip.text}};
    case Effect::CrowdShout:
      return {
          {Voice::Crowd, 0, clip.text}, {Voice::Crowd, 1, clip.text}, {Voice::Crowd, 2, clip.text}};
    case Effect::SpeakerTest: {
      std::vector<SpeechPart> parts;
      for (const auto& words : Split(clip.text)) parts.push_back({clip.voice, 0, words});
      return parts;
    }
    default:
      return {};
  }
}

Audio MakeAudio(const Clip& clip, const std::vector<Samples>& speech) {
  Rng rng = Rng::For(clip.file, static_cast<std::uint64_t>(clip.pack));
  const auto need = [&](std::size_t n) {
    if (speech.size() != n) throw std::invalid_argument("wrong spoken parts for " + clip.file);
  };
  switch (clip.effect) {
    case Effect::None:
      need(1);
      return Mono(speech[0]);
    case Effect::Silence:
      return Mono(Silence());
    case Effect::AimTone:
      return Mono(AimTone(clip.param1, clip.param2));
    case Effect::Swing:
      return Mono(Swing(clip.param1, clip.param2, rng));
    case Effect::Roll:
      return Mono(Roll(clip.param1 == 1, rng));
    case Effect::Hook:
      return Mono(Hook(rng));
    case Effect::Thumb:
      return Mono(Thumb(rng));
    case Effect::Gutter:
      return Mono(Gutter(rng));
    case Effect::PinCrash:
      return Mono(PinCrash(clip.param1, rng));
    case Effect::CrowdRoar:
      return Mono(CrowdRoar(clip.param1, rng));
    case Effect::Whoop:
      return Mono(Whoop(clip.param1, rng));
    case Effect::CrowdShout:
      need(3);
      return Mono(CrowdShout(speech, rng));
    case Effect::BallReturn:
      return Mono(BallReturn(rng));
    case Effect::Buzzer:
      return Mono(Buzzer());
    case Effect::Miss:
      return Mono(Miss(rng));
    case Effect::Chime:
      return Mono(Chime());
    case Effect::AlleyAmbience:
      return Mono(AlleyAmbience(rng));
    case Effect::AmbientEvent:
      return Mono(AmbientEvent(clip.param1, rng));
    case Effect::Ohs:
      return Mono(Ohs(clip.param1, rng));
    case Effect::MusicLoop:
      return Mono(Loop(LoopSpec(clip.param1)));
    case Effect::MenuMusic:
      return Mono(Loop({84, 62, false, {0, 5, 3, 4}, 8, false, true, true, 0.35F, 42}));
    case Effect::Jingle:
      return Jingle(rng);
    case Effect::Theme:
      return Song({128, 60, false, {0, 4, 5, 3}, 8, true, true, true, 0.25F, 7}, 15.0);
    case Effect::Closing:
      return Song({100, 57, false, {3, 4, 0, 5, 3, 4}, 6, true, true, true, 0.3F, 9}, 14.4);
    case Effect::Advert:
      need(1);
      return Advert(clip.param1, speech[0]);
    case Effect::SpeakerTest:
      need(3);
      return SpeakerTest(speech);
    case Effect::NamesList:
      break;
  }
  throw std::invalid_argument(clip.file + " is not a sound");
}

}  // namespace strikora::voicegen
