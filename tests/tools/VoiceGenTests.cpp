// The generator on the few clips whose shape the game relies on. Each clip is made on its own,
// so these stay quick.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <numeric>
#include <string>

#include "tests/support/TempDir.h"
#include "tools/ClipList.h"
#include "tools/PackFile.h"
#include "tools/voicegen/Effects.h"
#include "tools/voicegen/Generator.h"
#include "tools/voicegen/Level.h"
#include "tools/voicegen/Loudness.h"
#include "tools/voicegen/SoundFile.h"
#include "tools/voicegen/Speech.h"

namespace strikora::voicegen {
namespace {

namespace fs = std::filesystem;
using voiceset::Pack;

class VoiceGen : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { TheSpeaker = std::make_unique<Speaker>(); }
  static void TearDownTestSuite() { TheSpeaker.reset(); }

  // Makes the clip, writes it as the game will get it, and reads it back.
  fs::path Make(Pack pack, const std::string& file) {
    const auto* clip = voiceset::FindClip(pack, file);
    EXPECT_NE(clip, nullptr) << file;
    const fs::path out = Dir / file;
    WriteClip(*clip, RenderClip(*clip, *TheSpeaker), out);
    return out;
  }

  static Audio Render(Pack pack, const std::string& file) {
    return RenderClip(*voiceset::FindClip(pack, file), *TheSpeaker);
  }

  static std::unique_ptr<Speaker> TheSpeaker;
  strikora::testing::TempDir Folder;
  fs::path Dir = Folder.Path();
};

std::unique_ptr<Speaker> VoiceGen::TheSpeaker;

// The size field of the WAV file's "data" chunk.
std::uint32_t WavDataBytes(const fs::path& file) {
  const auto bytes = packfile::ReadWholeFile(file);
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    std::uint32_t size = 0;
    std::memcpy(&size, bytes.data() + at + 4, 4);
    if (std::memcmp(bytes.data() + at, "data", 4) == 0) return size;
    at += 8 + size + (size & 1);
  }
  return 0;
}

double Energy(const Samples& s, std::size_t from, std::size_t to) {
  double e = 0;
  for (std::size_t i = from; i < to && i < s.size(); ++i) e += static_cast<double>(s[i]) * s[i];
  return e;
}

TEST_F(VoiceGen, SilenceLastsExactly100Milliseconds) {
  int rate = 0;
  const Audio a = ReadSoundFile(Make(Pack::Beside, "silence.wav"), &rate);
  EXPECT_EQ(rate, 22050);
  EXPECT_EQ(a.Channels, 1);
  EXPECT_EQ(a.Frames(), 2205U);
  EXPECT_EQ(Energy(a.Data, 0, a.Data.size()), 0.0);
  EXPECT_EQ(WavDataBytes(Dir / "silence.wav"), 4410U);
}

TEST_F(VoiceGen, TheBigRoarOutlastsTheStrikeCall) {
  // The strike call waits for the roar's play cursor to pass byte 500000.
  EXPECT_GT(WavDataBytes(Make(Pack::Play, "cheers1.wav")), 500000U);
  const Audio a = ReadSoundFile(Dir / "cheers1.wav");
  const std::size_t at = 250000;  // frames: byte 500000 of 16-bit mono
  EXPECT_GT(Energy(a.Data, at, at + 22050), 22050 * 1e-3) << "the crowd is still loud there";
}

TEST_F(VoiceGen, SpeakerTestSaysLeftOnTheLeftThenRightOnTheRight) {
  const Audio a = ReadSoundFile(Make(Pack::Menu, "spkrtest.wav"));
  ASSERT_EQ(a.Channels, 2);
  Samples left(a.Frames()), right(a.Frames());
  for (std::size_t i = 0; i < a.Frames(); ++i) {
    left[i] = a.Data[2 * i];
    right[i] = a.Data[2 * i + 1];
  }
  // In 50 ms windows: where is only the left speaker heard, where only the right?
  const std::size_t w = 1102;
  std::size_t lastLeftOnly = 0, firstRightOnly = 0, leftOnly = 0, rightOnly = 0;
  for (std::size_t at = 0; at + w <= a.Frames(); at += w) {
    const double l = Energy(left, at, at + w), r = Energy(right, at, at + w);
    if (l > 1.0 && r < l * 1e-4) {
      ++leftOnly;
      lastLeftOnly = at;
    }
    if (r > 1.0 && l < r * 1e-4) {
      ++rightOnly;
      if (firstRightOnly == 0) firstRightOnly = at;
    }
  }
  EXPECT_GT(leftOnly, 5U);
  EXPECT_GT(rightOnly, 5U);
  EXPECT_LT(lastLeftOnly, firstRightOnly);
}

TEST_F(VoiceGen, MusicFilesDecodeWithTheirLengths) {
  const struct {
    Pack pack;
    const char* file;
    double min, max;
  } pieces[] = {{Pack::Beside, "logos.mp3", 3.0, 5.0},
                {Pack::Announce, "themesng.mp3", 10.0, 20.0},
                {Pack::Adverts, "advert4.mp3", 6.0, 30.0}};
  for (const auto& p : pieces) {
    int rate = 0;
    const Audio a = ReadSoundFile(Make(p.pack, p.file), &rate);
    ASSERT_GT(rate, 0);
    const double seconds = static_cast<double>(a.Frames()) / rate;
    EXPECT_GE(seconds, p.min) << p.file;
    EXPECT_LE(seconds, p.max) << p.file;
    EXPECT_GT(Energy(a.Data, 0, a.Data.size()), 100.0) << p.file;
  }
}

int ZeroCrossings(const Samples& s) {
  int n = 0;
  for (std::size_t i = 1; i < s.size(); ++i) n += (s[i - 1] < 0) != (s[i] < 0) ? 1 : 0;
  return n;
}

TEST_F(VoiceGen, AimTonesShortenWithSkillAndLandmarksStandOut) {
  std::size_t previous = SIZE_MAX;
  for (int skill = 1; skill <= 5; ++skill) {
    const Audio plain = Render(Pack::Play, "aim0" + std::to_string(skill) + ".wav");
    const Audio mark = Render(Pack::Play, "aim1" + std::to_string(skill) + ".wav");
    // Same pace for both, so the sweep's rhythm does not give the landmark away by itself.
    EXPECT_EQ(plain.Frames(), mark.Frames());
    EXPECT_LT(plain.Frames(), previous);
    previous = plain.Frames();
    const double plainRate = ZeroCrossings(plain.Data) / static_cast<double>(plain.Frames());
    const double markRate = ZeroCrossings(mark.Data) / static_cast<double>(mark.Frames());
    EXPECT_GT(markRate, 1.8 * plainRate) << "skill " << skill;
  }
}

TEST_F(VoiceGen, PinCrashesGrowWithTheCount) {
  double previous = 0;
  for (int pins = 1; pins <= 10; pins += 3) {
    const Audio a = Render(Pack::Play, "pin" + std::to_string(pins) + ".wav");
    const double e = Energy(a.Data, 0, a.Data.size());
    EXPECT_GT(e, previous) << pins << " pins";
    previous = e;
  }
}

TEST_F(VoiceGen, SpeechIsMonoPcmAndTheNumberVoicesDiffer) {
  int rate = 0;
  const Audio a = ReadSoundFile(Make(Pack::Numbers, "7f.wav"), &rate);
  EXPECT_EQ(rate, 22050);
  EXPECT_EQ(a.Channels, 1);
  EXPECT_GT(a.Frames(), 2205U);
  EXPECT_EQ(WavDataBytes(Dir / "7f.wav"), a.Frames() * 2);
  // eSpeak carries state from one utterance to the next (flutter and timing), so a repeated
  // word is not compared with itself; the synthesised effects must repeat exactly.
  EXPECT_NE(Render(Pack::Numbers, "7f.wav").Data, Render(Pack::Numbers, "7p.wav").Data);
  EXPECT_EQ(Render(Pack::Ambient, "amb3.wav").Data, Render(Pack::Ambient, "amb3.wav").Data);
}

TEST_F(VoiceGen, StagedNamesPackUnpacksWithItsListOrder) {
  std::vector<const voiceset::Clip*> clips;
  for (const auto* clip : voiceset::ClipsOf(Pack::Initials)) clips.push_back(clip);
  clips.push_back(voiceset::FindClip(Pack::StdNames, "../names.dat"));
  StageClips(clips, Dir / "staging", 2, *TheSpeaker);
  EXPECT_TRUE(fs::exists(Dir / "staging" / "names" / "initials" / "Q.wav"));
  const auto text = packfile::ReadWholeFile(Dir / "staging" / "names.dat");
  EXPECT_EQ(std::string(text.begin(), text.end()), voiceset::NamesDatText());
}

TEST_F(VoiceGen, FliteVoicesGiveTheSameBytesOnAnyThreadAfterAnyHistory) {
  // Flite may speak on any thread in any order. (eSpeak NG keeps state from one utterance to
  // the next, so its words are always spoken on one thread in clip order.)
  std::vector<const voiceset::Clip*> clips;
  for (const auto& [pack, file] :
       std::vector<std::pair<Pack, const char*>>{{Pack::Menu, "create.wav"},
                                                 {Pack::Menu, "pm2.wav"},
                                                 {Pack::Menu, "lgb.wav"},
                                                 {Pack::Menu, "spkrtest.wav"},
                                                 {Pack::Ambient, "amb3.wav"}}) {
    clips.push_back(voiceset::FindClip(pack, file));
    ASSERT_NE(clips.back(), nullptr) << file;
  }
  StageClips(clips, Dir / "one", 1, *TheSpeaker);
  StageClips(clips, Dir / "three", 3, *TheSpeaker);
  for (const auto* clip : clips) {
    EXPECT_EQ(packfile::ReadWholeFile(StagedPath(Dir / "one", *clip)),
              packfile::ReadWholeFile(StagedPath(Dir / "three", *clip)))
        << clip->file;
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

TEST_F(VoiceGen, LevellingReachesTheLoudnessAndHoldsThePeaks) {
  // A steady tone needs only gain; a tone with sharp spikes needs the limiter as well.
  Audio steady{1, Tone(440, 2.0, 0.1F)};
  Audio spiky{1, Tone(440, 2.0, 0.05F)};
  for (std::size_t i = 0; i < spiky.Data.size(); i += Len(0.25)) spiky.Data[i] = 0.9F;
  for (Audio* a : {&steady, &spiky}) {
    EXPECT_NEAR(LevelTo(*a, -18.0, -1.3), -18.0, 0.1);
    EXPECT_NEAR(IntegratedLoudness(*a), -18.0, 0.1);
    EXPECT_LE(TruePeak(*a), -1.2);
  }
}

TEST_F(VoiceGen, TrimmedWordsEndInSilenceAndResamplingKeepsPitchAndLevel) {
  // A take that stops dead on a full vowel, as eSpeak NG's do, between long pauses.
  Samples take(Len(0.5), 0.0F);
  const Samples vowel = Tone(200, 0.3, 0.5F);
  take.insert(take.begin() + static_cast<std::ptrdiff_t>(Len(0.2)), vowel.begin(), vowel.end());
  TrimToWords(take);
  EXPECT_NEAR(static_cast<double>(take.size()) / kRate, 0.3 + 0.02 + 0.04, 0.011);
  const std::size_t end = take.size() - Len(0.04);  // the silence after the word
  EXPECT_TRUE(std::all_of(take.begin() + static_cast<std::ptrdiff_t>(end), take.end(),
                          [](float v) { return v == 0; }));
  EXPECT_LT(std::abs(take[end - 1]), 0.01F) << "let go, not cut";

  const Samples from16k = Tone(1000, 1.0, 0.5F, 16000);
  const Samples at22k = Resampler(16000)(from16k);
  ASSERT_EQ(at22k.size(), 22050U);
  const Samples middle(at22k.begin() + 2205, at22k.end() - 2205);
  EXPECT_NEAR(ZeroCrossings(middle) / (static_cast<double>(middle.size()) / kRate), 2000, 10);
  EXPECT_NEAR(*std::max_element(middle.begin(), middle.end()), 0.5F, 0.01F);
}

}  // namespace
}  // namespace strikora::voicegen
