// The generator on the few clips whose shape the game relies on. Each clip is made on its own,
// so these stay quick.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace strikora::voicegen
