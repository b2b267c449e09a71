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
    if (bytes.empty()) {
      Heard h;
      h.clip = &clip;
      h.error = "missing";
      heard.push_back(std::move(h));
    } else {
      heard.push_back(Hear(clip, bytes));
    }
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

  // The spread, for the record in the test log.
  static void Report() {
    std::vector<double> all, speech;
    std::map<std::string, std::vector<double>> speakers;
    for (const auto& h : Clips) {
      if (!h.error.empty() || IsSilence(*h.clip) || !std::isfinite(h.lufs)) continue;
      all.push_back(h.lufs);
      if (IsSpeech(*h.clip)) speech.push_back(h.lufs);
      if (h.clip->pack == voiceset::Pack::Numbers) speakers[Speaker(*h.clip)].push_back(h.lufs);
    }
    const auto line = [](const char* what, const std::vector<double>& v) {
      std::cout << what << ": " << v.size() << " clips, LUFS 5% " << Percentile(v, 0.05)
                << ", median " << Percentile(v, 0.5) << ", 95% " << Percentile(v, 0.95)
                << ", spread " << Percentile(v, 0.95) - Percentile(v, 0.05) << " LU\n";
    };
    std::cout << "sound set in " << Dir << "\n";
    if (std::getenv("STRIKORA_SOUNDS_TABLE") != nullptr) {
      std::cout << "clip\tLUFS\tdBTP\tdc\tfirst\tlast\thead\ttail\tseam\tend drop dB\n";
      for (const auto& h : Clips) {
        std::cout << h.clip->file << '\t' << h.lufs << '\t' << h.truePeak << '\t' << h.dc << '\t'
                  << h.first << '\t' << h.last << '\t' << h.head << '\t' << h.tail << '\t' << h.seam
                  << '\t' << h.endDrop << '\n';
      }
    }
    line("every clip", all);
    line("speech", speech);
    for (const auto& [speaker, v] : speakers)
      line(("number speaker \"" + speaker + "\"").c_str(), v);
  }

  static inline fs::path Dir;
  static inline std::vector<Heard> Clips;
};

constexpr double kTolerance = voiceset::kLoudnessTolerance / 100.0;

TEST_F(VoiceSetCheck, EveryClipIsInItsPackAndSounds) {
  ASSERT_FALSE(Clips.empty());
  for (const auto& h : Clips) {
    ASSERT_TRUE(h.error.empty()) << h.clip->file << ": " << h.error;
    EXPECT_EQ(h.rate, 22050) << h.clip->file;
    if (IsSilence(*h.clip)) {
      EXPECT_EQ(h.audio.Frames(), 2205U);
      EXPECT_TRUE(
          std::all_of(h.audio.Data.begin(), h.audio.Data.end(), [](float v) { return v == 0; }));
    } else {
      EXPECT_GT(h.lufs, -50.0) << h.clip->file << " is all but silent";
    }
  }
}

TEST_F(VoiceSetCheck, EverySpokenClipSitsAtTheOneSpeechLevel) {
  const double target = voiceset::kSpeechLoudness / 100.0;
  for (const auto& h : Clips) {
    if (IsSpeech(*h.clip)) {
      EXPECT_NEAR(h.lufs, target, kTolerance) << h.clip->file;
    }
  }
}

TEST_F(VoiceSetCheck, TheThreeNumberSpeakersSayEachWordAlike) {
  std::map<std::string, std::vector<double>> words;  // by stem: "7", "hundred"
  for (const auto& h : Clips) {
    if (h.clip->pack != voiceset::Pack::Numbers) continue;
    words[h.clip->file.substr(0, h.clip->file.size() - 4 - Speaker(*h.clip).size())].push_back(
        h.lufs);
  }
  EXPECT_EQ(words.size(), 31U);
  for (const auto& [stem, lufs] : words) {
    ASSERT_EQ(lufs.size(), 3U) << stem;
    EXPECT_LE(
        *std::max_element(lufs.begin(), lufs.end()) - *std::min_element(lufs.begin(), lufs.end()),
        kTolerance)
        << stem;
  }
}

TEST_F(VoiceSetCheck, EffectsSitWhereTheClipListPutsThem) {
  std::map<std::string, double> lufs;
  for (const auto& h : Clips) {
    lufs[h.clip->file] = h.lufs;
    if (IsSpeech(*h.clip) || IsSilence(*h.clip)) continue;
    EXPECT_NEAR(h.lufs, (voiceset::kSpeechLoudness + h.clip->level) / 100.0, kTolerance)
        << h.clip->file;
  }
  // What the plan is for: more pins down sound louder, a bigger crowd louder than a smaller one.
  for (int n = 2; n <= 10; ++n) {
    EXPECT_GT(lufs["pin" + std::to_string(n) + ".wav"],
              lufs["pin" + std::to_string(n - 1) + ".wav"])
        << n << " pins";
  }
  EXPECT_GT(lufs["cheers1.wav"], lufs["cheers2.wav"]);
  EXPECT_GT(lufs["cheers2.wav"], lufs["cheer1.wav"]);
}

TEST_F(VoiceSetCheck, NoClipPeaksAboveTheCeilingNorCarriesDc) {
  for (const auto& h : Clips) {
    if (IsSilence(*h.clip)) continue;
    EXPECT_LE(h.truePeak, voiceset::kTruePeakCeiling / 100.0) << h.clip->file;
    EXPECT_LE(h.dc, 0.001) << h.clip->file;  // -60 dBFS
  }
}

TEST_F(VoiceSetCheck, ClipsStartAndEndWithoutAClick) {
  for (const auto& h : Clips) {
    if (IsSilence(*h.clip) || h.audio.Frames() == 0) continue;
    if (h.clip->Loops()) {
      // Played over and over: the first play starts quietly, and the join is no jump.
      EXPECT_LE(h.first, 0.01) << h.clip->file;
      EXPECT_LE(h.seam, 0.02) << h.clip->file;
    } else {
      EXPECT_LE(h.first, 0.001) << h.clip->file;
      EXPECT_LE(h.last, 0.001) << h.clip->file;
      EXPECT_LE(h.head, 0.1) << h.clip->file << " starts abruptly";
      EXPECT_LE(h.tail, 0.1) << h.clip->file << " stops dead";
    }
  }
}

TEST_F(VoiceSetCheck, NoWordIsCutWhileItStillSounds) {
  for (const auto& h : Clips) {
    if (IsSpeech(*h.clip)) {
      EXPECT_GE(h.endDrop, 40.0) << h.clip->file;
    }
  }
}

}  // namespace
}  // namespace strikora::voicegen
