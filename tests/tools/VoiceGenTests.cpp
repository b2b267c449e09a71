// The generated sound set, every clip read out of its pack as the game gets it, as a player hears
// it; then the resampling under Flite's voices. STRIKORA_SOUNDS names another folder of packs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/ClipList.h"
#include "tools/PackFile.h"
#include "tools/voicegen/Dsp.h"
#include "tools/voicegen/Loudness.h"
#include "tools/voicegen/SoundFile.h"

namespace strikora::voicegen {
namespace {

namespace fs = std::filesystem;
using voiceset::Clip;
using voiceset::Effect;
using voiceset::Pack;

struct Heard {
  const Clip* clip = nullptr;
  std::string error;  // why it could not be read
  int rate = 1;
  Audio audio;
  double lufs = 0, truePeak = 0, dc = 0;  // dc: the largest channel mean
  double head = 0, tail = 0;              // largest magnitude in the first and last millisecond
  double first = 0, last = 0, seam = 0;   // the end frames, and the jump from last to first
  double endDrop = 0;                     // dB from the loudest 30 ms to the last 30 ms
  std::vector<char> bytes;                // as the pack holds it
};

double RmsDb(const Audio& a, std::size_t from, std::size_t to) {
  double sum = 0;
  const auto ch = static_cast<std::size_t>(a.Channels);
  for (std::size_t i = from * ch; i < to * ch; ++i) sum += double{a.Data[i]} * a.Data[i];
  return 10 * std::log10(std::max(sum / static_cast<double>((to - from) * ch), 1e-20));
}

Heard Hear(const Clip& clip, const std::vector<char>& bytes) {
  Heard h;
  h.clip = &clip;
  h.bytes = bytes;
  h.error = bytes.empty() ? "missing" : "";
  try {
    if (!bytes.empty()) h.audio = DecodeSound(bytes, &h.rate);
  } catch (const std::exception& e) {
    h.error = e.what();
  }
  const Audio& a = h.audio;
  const std::size_t n = a.Frames(), ch = static_cast<std::size_t>(a.Channels);
  if (n == 0 || !h.error.empty()) return h;
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
    const double first = a.Data[c], last = a.Data[(n - 1) * ch + c];
    h.dc = std::max(h.dc, std::abs(sum / static_cast<double>(n)));
    h.first = std::max(h.first, std::abs(first));
    h.last = std::max(h.last, std::abs(last));
    h.seam = std::max(h.seam, std::abs(last - first));
  }
  const std::size_t w = 30 * ms;
  double loudest = -200;
  for (std::size_t at = 0; n > w && at + w <= n; at += w / 2)
    loudest = std::max(loudest, RmsDb(a, at, at + w));
  if (n > w) h.endDrop = loudest - RmsDb(a, n - w, n);
  return h;
}

std::vector<Heard> HearAll(const fs::path& dir) {
  std::map<std::string, std::vector<char>> entries;  // by pack file and entry name
  for (const Pack pack : voiceset::kPacks) {
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
    std::vector<char> bytes;
    if (clip.pack == Pack::Beside && fs::exists(dir / clip.file))
      bytes = packfile::ReadWholeFile(dir / clip.file);
    const auto it =
        entries.find(std::string(voiceset::PackFileName(clip.pack)) + "|" + clip.PackEntryName());
    if (it != entries.end()) bytes = it->second;
    heard.push_back(Hear(clip, bytes));
  }
  return heard;
}

// Every clip, one per clip in the clip list's order, read once for all the checks.
const std::vector<Heard>& Clips() {
  static const std::vector<Heard> clips =
      HearAll(std::getenv("STRIKORA_SOUNDS") != nullptr ? std::getenv("STRIKORA_SOUNDS")
                                                        : STRIKORA_SOUNDS_DIR);
  return clips;
}
const Heard& Of(Pack pack, const std::string& file) {
  const Clip* clip = voiceset::FindClip(pack, file);
  if (clip == nullptr) throw std::invalid_argument(file);
  return Clips().at(static_cast<std::size_t>(clip - voiceset::AllClips().data()));
}

constexpr double kTolerance = voiceset::kLoudnessTolerance / 100.0;

// Each clip as a player hears it: in its pack, at its level, under the ceiling, without a DC
// offset, a click at either end or a word cut while it still sounds.
TEST(VoiceSetCheck, EveryClipSoundsCleanAtItsLevel) {
  ASSERT_FALSE(Clips().empty());
  for (const auto& h : Clips()) {
    SCOPED_TRACE(h.clip->file);
    if (h.clip->kind == voiceset::ClipKind::Data) {
      // The names list, in its alphabetical order.
      EXPECT_EQ(std::string(h.bytes.begin(), h.bytes.end()), voiceset::NamesDatText());
      continue;
    }
    ASSERT_TRUE(h.error.empty()) << h.error;
    EXPECT_EQ(h.rate, 22050);
    if (h.clip->effect == Effect::Silence) {
      EXPECT_TRUE(h.audio.Channels == 1 && h.audio.Data == Samples(2205, 0.0F));  // 100 ms
      continue;
    }
    EXPECT_NEAR(h.lufs, (voiceset::kSpeechLoudness + h.clip->level) / 100.0, kTolerance);
    EXPECT_LE(h.truePeak, voiceset::kTruePeakCeiling / 100.0);
    EXPECT_LE(h.dc, 0.001);  // -60 dBFS
    // Played over and over, a loop starts quietly and its join is no jump.
    const bool loops = h.clip->Loops();
    EXPECT_LE(h.first, loops ? 0.01 : 0.001);
    EXPECT_LE(loops ? h.seam : h.last, loops ? 0.02 : 0.001);
    EXPECT_LE(loops ? 0 : std::max(h.head, h.tail), 0.1) << "starts abruptly or stops dead";
    const bool speech = h.clip->kind == voiceset::ClipKind::Speech;
    EXPECT_TRUE(!speech || h.endDrop >= 40.0) << "a word cut while it sounds: " << h.endDrop;
    EXPECT_TRUE(!speech || h.clip->effect != Effect::None || h.audio.Channels == 1);
  }
}

TEST(VoiceSetCheck, TheThreeNumberSpeakersSayEachWordAlikeInTheirOwnVoices) {
  for (const Heard& h : Clips()) {
    const std::string& file = h.clip->file;  // "7.wav", "7f.wav", "7p.wav"
    if (h.clip->pack != Pack::Numbers || file.ends_with("f.wav") || file.ends_with("p.wav"))
      continue;
    const std::string stem = file.substr(0, file.size() - 4);
    const Heard &f = Of(Pack::Numbers, stem + "f.wav"), &p = Of(Pack::Numbers, stem + "p.wav");
    EXPECT_LE(std::max({h.lufs, f.lufs, p.lufs}) - std::min({h.lufs, f.lufs, p.lufs}), kTolerance)
        << stem;
    EXPECT_TRUE(h.audio.Data != f.audio.Data && f.audio.Data != p.audio.Data &&
                p.audio.Data != h.audio.Data)
        << stem;
  }
}

double Energy(const Samples& s, std::size_t from, std::size_t to, std::size_t step = 1) {
  double e = 0;
  for (std::size_t i = from; i < to && i < s.size(); i += step) e += double{s[i]} * s[i];
  return e;
}

int ZeroCrossings(const Samples& s) {
  int n = 0;
  for (std::size_t i = 1; i < s.size(); ++i) n += (s[i - 1] < 0) != (s[i] < 0) ? 1 : 0;
  return n;
}

// What the levels and lengths are for: more pins down sound louder, a bigger crowd louder; the
// roar outlasts the strike call, which waits for its play cursor to pass byte 500000; each
// piece of music lasts as long as its place in the game.
TEST(VoiceSetCheck, PinsCrowdsAndMusicFitTheirPlaceInTheGame) {
  const auto pin = [](int n) { return Of(Pack::Play, "pin" + std::to_string(n) + ".wav").lufs; };
  for (int n = 2; n <= 10; ++n) EXPECT_GT(pin(n), pin(n - 1)) << n << " pins";
  EXPECT_GT(Of(Pack::Play, "cheers1.wav").lufs, Of(Pack::Play, "cheers2.wav").lufs);
  EXPECT_GT(Of(Pack::Play, "cheers2.wav").lufs, Of(Pack::Play, "cheer1.wav").lufs);
  const Audio& roar = Of(Pack::Play, "cheers1.wav").audio;
  ASSERT_GT(roar.Frames(), 250000U);
  EXPECT_GT(Energy(roar.Data, 250000, 250000 + 22050), 22050 * 1e-3) << "the crowd still loud";
  // clang-format off
  const std::tuple<Pack, const char*, double, double> pieces[] = {
      {Pack::Beside, "logos.mp3", 3, 5}, {Pack::Announce, "themesng.mp3", 10, 20}, {Pack::Adverts, "advert4.mp3", 6, 30}};
  // clang-format on
  for (const auto& [pack, file, min, max] : pieces) {
    const Heard& h = Of(pack, file);
    const double seconds = static_cast<double>(h.audio.Frames()) / h.rate;
    EXPECT_TRUE(seconds >= min && seconds <= max) << file << ": " << seconds << " s";
  }
}

TEST(VoiceSetCheck, SpeakerTestSaysLeftThenRightAndAimTonesShortenWithSkill) {
  const Audio& a = Of(Pack::Menu, "spkrtest.wav").audio;
  ASSERT_EQ(a.Channels, 2);
  std::string sides;  // a letter a 50 ms window: L only the left speaker heard, R the right
  for (std::size_t at = 0, w = 1102; at + w <= a.Frames(); at += w) {
    const double l = Energy(a.Data, 2 * at, 2 * (at + w), 2);
    const double r = Energy(a.Data, 2 * at + 1, 2 * (at + w), 2);
    sides += l > 1.0 && r < l * 1e-4 ? 'L' : (r > 1.0 && l < r * 1e-4 ? 'R' : '-');
  }
  EXPECT_GT(std::count(sides.begin(), sides.end(), 'L'), 5) << sides;
  EXPECT_GT(std::count(sides.begin(), sides.end(), 'R'), 5) << sides;
  EXPECT_LT(sides.rfind('L'), sides.find('R')) << sides;
  // The aim tones shorten with skill; a landmark stands out at the same pace, so that the
  // sweep's rhythm does not give it away by itself.
  std::size_t previous = SIZE_MAX;
  for (int skill = 1; skill <= 5; ++skill) {
    SCOPED_TRACE(::testing::Message() << "skill " << skill);
    const Audio& plain = Of(Pack::Play, "aim0" + std::to_string(skill) + ".wav").audio;
    const Audio& mark = Of(Pack::Play, "aim1" + std::to_string(skill) + ".wav").audio;
    EXPECT_EQ(plain.Frames(), mark.Frames());
    EXPECT_LT(plain.Frames(), previous);
    previous = plain.Frames();
    EXPECT_GT(ZeroCrossings(mark.Data), 1.8 * ZeroCrossings(plain.Data));
  }
}

// A test tone: `seconds` of a sine at `hz` and `peak`, at `rate`.
Samples Tone(double hz, double seconds, float peak, int rate = kRate) {
  Samples s(static_cast<std::size_t>(seconds * rate));
  for (std::size_t i = 0; i < s.size(); ++i) {
    s[i] = peak * static_cast<float>(std::sin(kTwoPi * hz * static_cast<double>(i) / rate));
  }
  return s;
}

// Flite speaks at 16 kHz: resampled to the game's rate a voice keeps its pitch and level.
TEST(VoiceGen, ResamplingKeepsPitchAndLevel) {
  const Samples at22k = Resampler(16000)(Tone(1000, 1.0, 0.5F, 16000));
  ASSERT_EQ(at22k.size(), 22050U);
  const Samples middle(at22k.begin() + 2205, at22k.end() - 2205);
  EXPECT_NEAR(ZeroCrossings(middle) / (static_cast<double>(middle.size()) / kRate), 2000, 10);
  EXPECT_NEAR(*std::max_element(middle.begin(), middle.end()), 0.5F, 0.01F);
}

}  // namespace
}  // namespace strikora::voicegen
