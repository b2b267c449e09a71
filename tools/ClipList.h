#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

// Every file the game can play, in every folder of the sound tree, with the words to speak or
// the effect to make. The voice-set generator builds the default packs from it, and tests make
// their short stand-in trees from it.
namespace strikora::voiceset {

// Beside: silence.wav and logos.mp3 lie next to the packs, not in one.
enum class Pack { Numbers, Announce, Adverts, Ambient, Menu, Play, StdNames, Initials, Beside };

// The eight packs in the order start-up unpacks them.
inline constexpr std::array<Pack, 8> kPacks = {Pack::Numbers,  Pack::Announce, Pack::Adverts,
                                               Pack::Ambient,  Pack::Menu,     Pack::Play,
                                               Pack::StdNames, Pack::Initials};

[[nodiscard]] std::string_view PackFileName(Pack pack);     // "numbers.des"; "" for Beside
[[nodiscard]] std::string_view PackDestination(Pack pack);  // "numbers", "names/initials"; ""

enum class ClipKind { Speech, Tone, Effect, Music, Data };

// Who speaks a Speech clip (and the spoken part of shouts, adverts and the speaker test).
enum class Voice { None, Announcer, Menu, NumberPlain, NumberF, NumberP, Sponsor, Crowd };

// What the generator makes. Param1 and Param2 say which one of a family (see each).
enum class Effect {
  None,
  Silence,  // exactly 100 ms
  AimTone,  // Param1 0 plain or 1 landmark, Param2 skill 1..5
  Swing,    // Param1 skill 1..5, Param2 clip 1..10
  Roll,     // Param1 0 ordinary, 1 hard
  Hook,
  Thumb,
  Gutter,
  PinCrash,    // Param1 pins 1..10
  CrowdRoar,   // Param1 1 the big roar, 2 applause
  Whoop,       // a single cheer, Param1 variant 1..9
  CrowdShout,  // the words shouted by a few voices at once
  BallReturn,
  Buzzer,
  Miss,
  Chime,          // the short cue of a bowler chosen for today
  AlleyAmbience,  // the looping alley
  AmbientEvent,   // Param1 1..15
  Ohs,            // Param1 1..7
  MusicLoop,      // Param1 1..5
  MenuMusic,
  Jingle,       // logos.mp3
  Theme,        // themesng.mp3
  Advert,       // Param1 1..10: music with the words spoken over it
  Closing,      // pgstart.mp3
  SpeakerTest,  // stereo: "left" from the left, "right" from the right
  NamesList,    // names.dat
};

// How loud the clips are. Every clip is levelled by its integrated loudness (EBU R 128, as
// libebur128 measures it; a clip shorter than one 400 ms block is measured padded with silence
// to one block), not by its peak, so that a word, a score and a menu item all arrive at one
// level and the effects sit where they are put. Hundredths of a dB (LUFS, LU, dBTP).
inline constexpr int kSpeechLoudness = -1800;   // every spoken clip, each number speaker alike
inline constexpr int kLoudnessTolerance = 100;  // how far a clip may sit from its level
inline constexpr int kTruePeakCeiling = -100;   // no clip peaks above this, between samples too

struct Clip {
  Pack pack = Pack::Beside;
  std::string file;  // relative to the pack's folder: "7f.wav", "themesng.mp3", "../names.dat"
  ClipKind kind = ClipKind::Speech;
  Voice voice = Voice::None;
  std::string text;  // the words, where there are any
  Effect effect = Effect::None;
  int param1 = 0;
  int param2 = 0;
  // Integrated loudness relative to kSpeechLoudness, hundredths of a LU: 0 for speech; each
  // effect's level and the reason for it are in LevelOf in the clip list.
  int level = 0;

  [[nodiscard]] bool IsMp3() const;
  // Played looping by the game (the alley, its music, the menu music): no fades, a seamless
  // join instead.
  [[nodiscard]] bool Loops() const;
  // The name stored in the pack: folders separated by "\" ("..\names.dat").
  [[nodiscard]] std::string PackEntryName() const;
};

[[nodiscard]] const std::vector<Clip>& AllClips();
[[nodiscard]] std::vector<const Clip*> ClipsOf(Pack pack);
[[nodiscard]] const Clip* FindClip(Pack pack, std::string_view file);

// The recorded first names, in file order: entry i is spoken by fn(i+1).wav.
[[nodiscard]] const std::vector<std::string>& FirstNames();
// The list-order file: one whole number per line; line j is the catalogue index (1-based, in
// file order) of the name offered at list position j, so the list runs alphabetically.
[[nodiscard]] std::string NamesDatText();

}  // namespace strikora::voiceset
