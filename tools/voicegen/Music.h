#pragma once

#include <cstdint>
#include <vector>

#include "tools/voicegen/Dsp.h"

namespace strikora::voicegen {

// A short piece: a chord per bar over a bass line, with optional drums, plucked chords, a pad
// and a lead melody that repeats its two-bar motif over the chords.
struct SongSpec {
  double Bpm = 120;
  int Root = 60;  // MIDI note of the key's tonic
  bool Minor = false;
  std::vector<int> Progression;  // scale degree 0..6 of each bar's chord, repeated
  int Bars = 8;
  bool Drums = true;
  bool Pluck = true;
  bool Lead = true;
  float PadLevel = 0.25F;
  std::uint64_t Seed = 1;
};

struct Stereo {
  Samples Left, Right;
};

[[nodiscard]] double SongSeconds(const SongSpec& spec);
// Renders the bars plus `tailSeconds` of ringing notes past the last bar.
[[nodiscard]] Stereo RenderSong(const SongSpec& spec, double tailSeconds);

[[nodiscard]] Samples ToMono(const Stereo& s);
[[nodiscard]] Audio Interleave(const Stereo& s);

// Instruments shared with the sound effects.
void AddKick(Samples& s, std::size_t at, float gain);
void AddPluck(Samples& s, std::size_t at, double freq, double seconds, float gain, Rng& rng);
void AddBell(Samples& s, std::size_t at, double freq, double seconds, float gain);

}  // namespace strikora::voicegen
