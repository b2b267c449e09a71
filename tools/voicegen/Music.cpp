#include "tools/voicegen/Music.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace strikora::voicegen {
namespace {

constexpr std::array<int, 7> kMajor = {0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> kMinor = {0, 2, 3, 5, 7, 8, 10};

int ScaleNote(const SongSpec& spec, int degree) {
  const auto& scale = spec.Minor ? kMinor : kMajor;
  const int octave = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
  const int index = degree - octave * 7;
  return spec.Root + octave * 12 + scale[static_cast<std::size_t>(index)];
}

void AddSnare(Samples& s, std::size_t at, float gain, Rng& rng) {
  const std::size_t n = Len(0.18);
  if (s.size() < at + n) s.resize(at + n, 0.0F);
  Biquad band = Biquad::BandPass(1900, 0.7);
  Sine tone(190);
  const double noiseDecay = DecayPerSample(0.05), toneDecay = DecayPerSample(0.04);
  double noiseEnv = 1, toneEnv = 1;
  for (std::size_t i = 0; i < n; ++i) {
    const double noise = band(static_cast<float>(rng.Noise())) * noiseEnv;
    s[at + i] += gain * static_cast<float>(1.6 * noise + 0.5 * tone() * toneEnv);
    noiseEnv *= noiseDecay;
    toneEnv *= toneDecay;
  }
}

void AddHat(Samples& s, std::size_t at, float gain, Rng& rng) {
  const std::size_t n = Len(0.06);
  if (s.size() < at + n) s.resize(at + n, 0.0F);
  Biquad high = Biquad::HighPass(7000);
  const double decay = DecayPerSample(0.012);
  double env = 1;
  for (std::size_t i = 0; i < n; ++i) {
    s[at + i] += gain * static_cast<float>(high(static_cast<float>(rng.Noise())) * env);
    env *= decay;
  }
}

void AddBass(Samples& s, std::size_t at, double freq, double seconds, float gain) {
  const std::size_t n = Len(seconds);
  if (s.size() < at + n) s.resize(at + n, 0.0F);
  OnePole soften(900);
  Sine sine(freq);
  const double step = freq / kRate, decay = DecayPerSample(seconds * 0.8);
  double phase = 0, fall = 1;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double saw = 2 * phase - 1;
    const double env = std::min(1.0, t / 0.005) * fall * std::min(1.0, (seconds - t) / 0.01);
    s[at + i] += gain * static_cast<float>(env * (sine() + 0.3 * soften(static_cast<float>(saw))));
    phase += step;
    if (phase >= 1) phase -= 1;
    fall *= decay;
  }
}

void AddPad(Samples& s, std::size_t at, double freq, double seconds, float gain) {
  const std::size_t n = Len(seconds + 0.3);
  if (s.size() < at + n) s.resize(at + n, 0.0F);
  Biquad low = Biquad::LowPass(1400);
  const double detune[] = {0.997, 1.0, 1.004};
  double phase[] = {0.997, 0.0, 0.004};  // three saws a little apart
  const double release = DecayPerSample(0.1);
  double fall = 1;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    double v = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      v += 2 * phase[k] - 1;
      phase[k] += freq * detune[k] / kRate;
      if (phase[k] >= 1) phase[k] -= 1;
    }
    if (t > seconds) fall *= release;
    const double env = std::min(1.0, t / 0.25) * fall;
    s[at + i] += gain * static_cast<float>(env * low(static_cast<float>(v / 3)));
  }
}

void AddLead(Samples& s, std::size_t at, double freq, double seconds, float gain) {
  const std::size_t n = Len(seconds + 0.05);
  if (s.size() < at + n) s.resize(at + n, 0.0F);
  Biquad low = Biquad::LowPass(2800);
  Sine vibrato(5.5);
  const double release = DecayPerSample(0.02), settle = DecayPerSample(0.15);
  double phase = 0, fall = 1, accent = 1;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double vib = 1 + 0.004 * vibrato() * std::min(1.0, t / 0.2);
    phase += freq * vib / kRate;
    if (phase >= 1) phase -= 1;
    const double pulse = phase < 0.35 ? 1.0 : -1.0;
    if (t > seconds) fall *= release;
    const double env = std::min(1.0, t / 0.01) * fall * (0.75 + 0.25 * accent);
    s[at + i] += gain * static_cast<float>(env * low(static_cast<float>(pulse)));
    accent *= settle;
  }
}

void Pan(Stereo& out, const Samples& part, float pan) {  // pan -1 left .. 1 right
  const double angle = (pan + 1) * std::numbers::pi / 4;
  const auto l = static_cast<float>(std::cos(angle) * std::numbers::sqrt2);
  const auto r = static_cast<float>(std::sin(angle) * std::numbers::sqrt2);
  MixInto(out.Left, part, 0, l);
  MixInto(out.Right, part, 0, r);
}

}  // namespace

void AddKick(Samples& s, std::size_t at, float gain) {
  const std::size_t n = Len(0.3);
  if (s.size() < at + n) s.resize(at + n, 0.0F);
  double phase = 0, sweep = 1, env = 1;
  const double sweepDecay = DecayPerSample(0.03), decay = DecayPerSample(0.09);
  for (std::size_t i = 0; i < n; ++i) {
    const double f = 45 + 90 * sweep;
    phase += kTwoPi * f / kRate;
    s[at + i] += gain * static_cast<float>(std::sin(phase) * env);
    sweep *= sweepDecay;
    env *= decay;
  }
}

void AddPluck(Samples& s, std::size_t at, double freq, double seconds, float gain, Rng& rng) {
  // Karplus-Strong: a burst of noise circulating in a delay line the length of one period.
  const auto period = std::max<std::size_t>(2, static_cast<std::size_t>(kRate / freq));
  std::vector<float> line(period);
  for (float& v : line) v = static_cast<float>(rng.Noise());
  const std::size_t n = Len(seconds);
  if (s.size() < at + n) s.resize(at + n, 0.0F);
  std::size_t p = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t q = (p + 1) % period;
    const float out = line[p];
    line[p] = 0.4985F * (line[p] + line[q]);
    p = q;
    s[at + i] += gain * out * std::min(1.0F, static_cast<float>(n - i) / 200.0F);
  }
}

void AddBell(Samples& s, std::size_t at, double freq, double seconds, float gain) {
  AddPartial(s, at, freq, gain, seconds * 0.35, seconds);
  AddPartial(s, at, freq * 2.76, gain * 0.4, seconds * 0.15, seconds);
  AddPartial(s, at, freq * 5.4, gain * 0.2, seconds * 0.07, seconds);
}

double SongSeconds(const SongSpec& spec) {
  return spec.Bars * 4 * 60.0 / spec.Bpm;
}

Stereo RenderSong(const SongSpec& spec, double tailSeconds) {
  Rng rng(spec.Seed);
  const double beat = 60.0 / spec.Bpm;
  const std::size_t total = Len(SongSeconds(spec) + tailSeconds);
  Samples drums(total), bass(total), pluck(total), pad(total), lead(total);

  // A two-bar motif of eighth notes: -1 rests, otherwise a step within the chord's scale.
  std::array<int, 16> motif{};
  for (std::size_t i = 0; i < motif.size(); ++i) {
    motif[i] = rng.Uniform() < (i % 2 == 0 ? 0.8 : 0.45) ? static_cast<int>(rng.Range(0, 6)) : -1;
  }

  for (int bar = 0; bar < spec.Bars; ++bar) {
    const int degree = spec.Progression[static_cast<std::size_t>(bar) % spec.Progression.size()];
    const double barStart = bar * 4 * beat;
    const int chord[] = {ScaleNote(spec, degree), ScaleNote(spec, degree + 2),
                         ScaleNote(spec, degree + 4)};
    for (const int note : chord)
      AddPad(pad, Len(barStart), MidiHz(note), 4 * beat, spec.PadLevel / 3);
    for (int b = 0; b < 4; ++b) {
      const double t = barStart + b * beat;
      const int bassNote = chord[b == 2 ? 2 : 0] - 24;
      AddBass(bass, Len(t), MidiHz(bassNote), beat * 0.9, 0.45F);
      if (spec.Drums) {
        if (b % 2 == 0) AddKick(drums, Len(t), 0.7F);
        if (b % 2 == 1) AddSnare(drums, Len(t), 0.35F, rng);
        AddHat(drums, Len(t), 0.18F, rng);
        AddHat(drums, Len(t + beat / 2), 0.11F, rng);
      }
      if (spec.Pluck) {
        AddPluck(pluck, Len(t + beat / 2), MidiHz(chord[(b + bar) % 3] + 12), beat * 1.4, 0.22F,
                 rng);
      }
    }
    if (spec.Lead) {
      for (int e = 0; e < 8; ++e) {
        const int step = motif[static_cast<std::size_t>((bar % 2) * 8 + e)];
        if (step < 0) continue;
        const int note = ScaleNote(spec, degree + step) + 12;
        AddLead(lead, Len(barStart + e * beat / 2), MidiHz(note), beat * 0.42, 0.16F);
      }
    }
  }

  Stereo out{Samples(total), Samples(total)};
  Pan(out, drums, 0.0F);
  Pan(out, bass, 0.0F);
  Pan(out, pad, -0.45F);
  Pan(out, pluck, 0.5F);
  Pan(out, lead, 0.1F);
  out.Left.resize(total);
  out.Right.resize(total);
  return out;
}

Samples ToMono(const Stereo& s) {
  Samples m(s.Left.size());
  for (std::size_t i = 0; i < m.size(); ++i) m[i] = 0.5F * (s.Left[i] + s.Right[i]);
  return m;
}

Audio Interleave(const Stereo& s) {
  Audio a;
  a.Channels = 2;
  a.Data.resize(s.Left.size() * 2);
  for (std::size_t i = 0; i < s.Left.size(); ++i) {
    a.Data[2 * i] = s.Left[i];
    a.Data[2 * i + 1] = s.Right[i];
  }
  return a;
}

}  // namespace strikora::voicegen
