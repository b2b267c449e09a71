// Reads back the sound set the build generated, every clip out of its pack as the game gets it,
// and checks what a player hears of it: one level for every voice, effects where the clip list
// puts them, no peak over the ceiling, no DC offset and no click at either end. Set
// STRIKORA_SOUNDS to check another folder of packs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "tools/ClipList.h"
#include "tools/PackFile.h"
#include "tools/voicegen/Loudness.h"
#include "tools/voicegen/SoundFile.h"

namespace strikora::voicegen {
namespace {

namespace fs = std::filesystem;
using voiceset::Clip;
using voiceset::ClipKind;
using voiceset::Effect;

struct Heard {
  const Clip* clip = nullptr;
  std::string error;  // why it could not be read
  int rate = 0;
  Audio audio;
  double lufs = 0, truePeak = 0;
  double dc = 0;               // largest channel mean
  double head = 0, tail = 0;   // largest magnitude in the first and last millisecond
  double first = 0, last = 0;  // magnitude of the first and last frame
  double seam = 0;             // largest jump from the last frame back to the first
  double endDrop = 0;          // dB from the loudest 30 ms to the last 30 ms
};

double RmsDb(const Audio& a, std::size_t from, std::size_t to) {
  double sum = 0;
  const auto ch = static_cast<std::size_t>(a.Channels);
  for (std::size_t i = from * ch; i < to * ch; ++i)
    sum += static_cast<double>(a.Data[i]) * a.Data[i];
  return 10 * std::log10(std::max(sum / static_cast<double>((to - from) * ch), 1e-20));
}

Heard Hear(const Clip& clip, const std::vector<char>& bytes) {
  Heard h;
  h.clip = &clip;
  if (bytes.empty()) {
    h.error = "missing";
    return h;
  }
  try {
    h.audio = DecodeSound(bytes, &h.rate);
  } catch (const std::exception& e) {
    h.error = e.what();
    return h;
  }
  const Audio& a = h.audio;
  const std::size_t n = a.Frames(), ch = static_cast<std::size_t>(a.Channels);
  if (n == 0) return h;
  h.lufs = IntegratedLoudness(a, h.rate);
  h.truePeak = TruePeak(a, h.rate);
  const std::size_t ms = static_cast<std::size_t>(h.rate) / 1000;
  for (std::size_t c = 0; c < ch; ++c) {
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const double v = a.Data[i * ch + c];
      sum += v;
      if (i < ms) h.head = std::max(h.head, std::abs(v));
      if (i + ms >= n) h.tail = std::max(h.tail, std::abs(v));
    }
    h.dc = std::max(h.dc, std::abs(sum / static_cast<double>(n)));
    h.first = std::max(h.first, static_cast<double>(std::abs(a.Data[c])));
    h.last = std::max(h.last, static_cast<double>(std::abs(a.Data[(n - 1) * ch + c])));
    h.seam = std::max(h.seam, static_cast<double>(std::abs(a.Data[(n - 1) * ch + c] - a.Data[c])));
  }
  const std::size_t w = 30 * ms;
  if (n > w) {
    double loudest = -200;
    for (std::size_t at = 0; at + w <= n; at += w / 2)
      loudest = std::max(loudest, RmsDb(a, at, at + w));
    h.endDrop = loudest - RmsDb(a, n - w, n);
  }
  return h;
}

std::vector<Heard> HearAll(const fs::path& dir) {
  std::map<std::string, std::vector<char>> entries;  // by pack file and entry name
  for (const voiceset::Pack pack : voiceset::kPacks) {
    const fs::path file = dir / std::string(voiceset::PackFileName(pack));
    if (!fs::exists(file)) continue;
    const auto bytes = packfile::ReadWholeFile(file);
    for (const auto& e : packfile::ListPack(file)) {
      if (e.Offset < 0 || e.Length < 0 ||
          static_cast<std::size_t>(e.Offset) + e.Length > bytes.size())
        continue;
      entries[file.filename().string() + "|" + e.Name] =
          std::vector<char>(bytes.begin() + e.Offset, bytes.begin() + e.Offset + e.Length);
    }
  }
  std::vector<Heard> heard;
  for (const Clip& clip : voiceset::AllClips()) {
    if (clip.kind == ClipKind::Data) continue;
    std::vector<char> bytes;
    if (clip.pack == voiceset::Pack::Beside) {
      if (fs::exists(dir / clip.file)) bytes = packfile::ReadWholeFile(dir / clip.file);
    } else {
      const auto it =
          entries.find(std::string(voiceset::PackFileName(clip.pack)) + "|" + clip.PackEntryName());
      if (it != entries.end()) bytes = it->second;
    }
    heard.push_back(Hear(clip, bytes));
  }
  return heard;
}

bool IsSpeech(const Clip& c) {
  return c.kind == ClipKind::Speech;
}

bool IsSilence(const Clip& c) {
  return c.effect == Effect::Silence;
}

// "" for the plain number speaker, "f" or "p" for the others.
std::string Speaker(const Clip& c) {
  const char s = c.file[c.file.size() - 5];
  return s == 'f' || s == 'p' ? std::string(1, s) : std::string();
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(std::lround(p * static_cast<double>(v.size() - 1)))];
}

class VoiceSetCheck : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* override = std::getenv("STRIKORA_SOUNDS");
    Dir = override != nullptr ? fs::path(override) : fs::path(STRIKORA_SOUNDS_DIR);
    Clips = HearAll(Dir);
    Report();
  }

  // How even the voices are, for the record in the test log.
  static void Report() {
    std::map<std::string, std::vector<double>> levels;
    for (const auto& h : Clips) {
      if (!h.error.empty() || !IsSpeech(*h.clip)) continue;
      levels["speech"].push_back(h.lufs);
      if (h.clip->pack == voiceset::Pack::Numbers)
        levels["number speaker \"" + Speaker(*h.clip) + "\""].push_back(h.lufs);
    }
    std::cout << "sound set in " << Dir << "\n";
    for (const auto& [what, v] : levels) {
      std::cout << what << ": " << v.size() << " clips, LUFS 5% " << Percentile(v, 0.05)
                << ", median " << Percentile(v, 0.5) << ", 95% " << Percentile(v, 0.95) << "\n";
    }
  }

  static const Heard& Of(voiceset::Pack pack, const std::string& file) {
    static const Heard none;
    const auto it = std::find_if(Clips.begin(), Clips.end(), [&](const Heard& h) {
      return h.clip->pack == pack && h.clip->file == file;
    });
    EXPECT_NE(it, Clips.end()) << file;
    return it == Clips.end() ? none : *it;
  }

  static inline fs::path Dir;
  static inline std::vector<Heard> Clips;
};

constexpr double kTolerance = voiceset::kLoudnessTolerance / 100.0;

// Each clip as a player hears it: in its pack, at its level, under the ceiling, without a DC
// offset, a click at either end or a word cut while it still sounds.
TEST_F(VoiceSetCheck, EveryClipSoundsCleanAtItsLevel) {
  ASSERT_FALSE(Clips.empty());
  for (const auto& h : Clips) {
    SCOPED_TRACE(h.clip->file);
    ASSERT_TRUE(h.error.empty()) << h.error;
    EXPECT_EQ(h.rate, 22050);
    if (IsSilence(*h.clip)) {
      EXPECT_EQ(h.audio.Channels, 1);
      EXPECT_EQ(h.audio.Frames(), 2205U);
      EXPECT_TRUE(
          std::all_of(h.audio.Data.begin(), h.audio.Data.end(), [](float v) { return v == 0; }));
      continue;
    }
    // Speech at the one speech level, each effect where the clip list puts it.
    EXPECT_NEAR(h.lufs, (voiceset::kSpeechLoudness + h.clip->level) / 100.0, kTolerance);
    EXPECT_LE(h.truePeak, voiceset::kTruePeakCeiling / 100.0);
    EXPECT_LE(h.dc, 0.001);  // -60 dBFS
    if (h.clip->Loops()) {
      // Played over and over: the first play starts quietly, and the join is no jump.
      EXPECT_LE(h.first, 0.01);
      EXPECT_LE(h.seam, 0.02);
    } else {
      EXPECT_LE(h.first, 0.001);
      EXPECT_LE(h.last, 0.001);
      EXPECT_LE(h.head, 0.1) << "starts abruptly";
      EXPECT_LE(h.tail, 0.1) << "stops dead";
    }
    if (IsSpeech(*h.clip)) {
      EXPECT_GE(h.endDrop, 40.0) << "a word cut while it sounds";
      if (h.clip->effect == Effect::None) {
        EXPECT_EQ(h.audio.Channels, 1);
      }
    }
  }
}

TEST_F(VoiceSetCheck, TheThreeNumberSpeakersSayEachWordAlikeInTheirOwnVoices) {
  std::map<std::string, std::vector<const Heard*>> words;  // by stem: "7", "hundred"
  for (const auto& h : Clips) {
    if (h.clip->pack != voiceset::Pack::Numbers) continue;
    words[h.clip->file.substr(0, h.clip->file.size() - 4 - Speaker(*h.clip).size())].push_back(&h);
  }
  EXPECT_EQ(words.size(), 31U);
  for (const auto& [stem, said] : words) {
    ASSERT_EQ(said.size(), 3U) << stem;
    const auto [quiet, loud] = std::minmax_element(
        said.begin(), said.end(), [](const Heard* a, const Heard* b) { return a->lufs < b->lufs; });
    EXPECT_LE((*loud)->lufs - (*quiet)->lufs, kTolerance) << stem;
    EXPECT_NE(said[0]->audio.Data, said[1]->audio.Data) << stem;
    EXPECT_NE(said[1]->audio.Data, said[2]->audio.Data) << stem;
    EXPECT_NE(said[0]->audio.Data, said[2]->audio.Data) << stem;
  }
}

// What the levels are for: more pins down sound louder, a bigger crowd louder than a smaller one.
TEST_F(VoiceSetCheck, MorePinsAndABiggerCrowdSoundLouder) {
  const auto lufs = [](voiceset::Pack pack, const std::string& file) {
    return Of(pack, file).lufs;
  };
  for (int n = 2; n <= 10; ++n) {
    EXPECT_GT(lufs(voiceset::Pack::Play, "pin" + std::to_string(n) + ".wav"),
              lufs(voiceset::Pack::Play, "pin" + std::to_string(n - 1) + ".wav"))
        << n << " pins";
  }
  EXPECT_GT(lufs(voiceset::Pack::Play, "cheers1.wav"), lufs(voiceset::Pack::Play, "cheers2.wav"));
  EXPECT_GT(lufs(voiceset::Pack::Play, "cheers2.wav"), lufs(voiceset::Pack::Play, "cheer1.wav"));
}

double Energy(const Samples& s, std::size_t from, std::size_t to, std::size_t step = 1) {
  double e = 0;
  for (std::size_t i = from; i < to && i < s.size(); i += step)
    e += static_cast<double>(s[i]) * s[i];
  return e;
}

int ZeroCrossings(const Samples& s) {
  int n = 0;
  for (std::size_t i = 1; i < s.size(); ++i) n += (s[i - 1] < 0) != (s[i] < 0) ? 1 : 0;
  return n;
}

TEST_F(VoiceSetCheck, TheBigRoarOutlastsTheStrikeCall) {
  // The strike call waits for the roar's play cursor to pass byte 500000 of its 16-bit data.
  const Audio& a = Of(voiceset::Pack::Play, "cheers1.wav").audio;
  const std::size_t at = 250000;
  ASSERT_GT(a.Frames(), at);
  EXPECT_GT(Energy(a.Data, at, at + 22050), 22050 * 1e-3) << "the crowd is still loud there";
}

TEST_F(VoiceSetCheck, SpeakerTestSaysLeftOnTheLeftThenRightOnTheRight) {
  const Audio& a = Of(voiceset::Pack::Menu, "spkrtest.wav").audio;
  ASSERT_EQ(a.Channels, 2);
  // In 50 ms windows: where is only the left speaker heard, where only the right?
  const std::size_t w = 1102;
  std::size_t lastLeftOnly = 0, firstRightOnly = 0, leftOnly = 0, rightOnly = 0;
  for (std::size_t at = 0; at + w <= a.Frames(); at += w) {
    const double l = Energy(a.Data, 2 * at, 2 * (at + w), 2);
    const double r = Energy(a.Data, 2 * at + 1, 2 * (at + w), 2);
    if (l > 1.0 && r < l * 1e-4) {
      ++leftOnly;
      lastLeftOnly = at;
    }
    if (r > 1.0 && l < r * 1e-4 && rightOnly++ == 0) firstRightOnly = at;
  }
  EXPECT_GT(leftOnly, 5U);
  EXPECT_GT(rightOnly, 5U);
  EXPECT_LT(lastLeftOnly, firstRightOnly);
}

TEST_F(VoiceSetCheck, MusicLastsAsLongAsItsPlaceInTheGame) {
  const struct {
    voiceset::Pack pack;
    const char* file;
    double min, max;  // seconds
  } pieces[] = {{voiceset::Pack::Beside, "logos.mp3", 3.0, 5.0},
                {voiceset::Pack::Announce, "themesng.mp3", 10.0, 20.0},
                {voiceset::Pack::Adverts, "advert4.mp3", 6.0, 30.0}};
  for (const auto& p : pieces) {
    const Heard& h = Of(p.pack, p.file);
    const double seconds = static_cast<double>(h.audio.Frames()) / std::max(h.rate, 1);
    EXPECT_GE(seconds, p.min) << p.file;
    EXPECT_LE(seconds, p.max) << p.file;
  }
}

TEST_F(VoiceSetCheck, AimTonesShortenWithSkillAndLandmarksStandOut) {
  std::size_t previous = SIZE_MAX;
  for (int skill = 1; skill <= 5; ++skill) {
    SCOPED_TRACE(testing::Message() << "skill " << skill);
    const Audio& plain = Of(voiceset::Pack::Play, "aim0" + std::to_string(skill) + ".wav").audio;
    const Audio& mark = Of(voiceset::Pack::Play, "aim1" + std::to_string(skill) + ".wav").audio;
    // Same pace for both, so the sweep's rhythm does not give the landmark away by itself.
    EXPECT_EQ(plain.Frames(), mark.Frames());
    EXPECT_LT(plain.Frames(), previous);
    previous = plain.Frames();
    EXPECT_GT(ZeroCrossings(mark.Data), 1.8 * ZeroCrossings(plain.Data));
  }
}

}  // namespace
}  // namespace strikora::voicegen
