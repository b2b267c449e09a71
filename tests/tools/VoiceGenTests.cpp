// The generator's own workings: staging that does not depend on threads or history, levelling,
// trimming and resampling. What the made clips sound like is checked on the whole generated set
// (VoiceSetCheckTests.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "tests/support/TempDir.h"
#include "tools/ClipList.h"
#include "tools/PackFile.h"
#include "tools/voicegen/Generator.h"
#include "tools/voicegen/Level.h"
#include "tools/voicegen/Loudness.h"
#include "tools/voicegen/Speech.h"

namespace strikora::voicegen {
namespace {

namespace fs = std::filesystem;
using voiceset::Pack;

int ZeroCrossings(const Samples& s) {
  int n = 0;
  for (std::size_t i = 1; i < s.size(); ++i) n += (s[i - 1] < 0) != (s[i] < 0) ? 1 : 0;
  return n;
}

TEST(VoiceGen, StagingGivesTheSameBytesOnAnyThreadAfterAnyHistory) {
  const strikora::testing::TempDir folder;
  const fs::path dir = folder.Path();
  Speaker speaker;
  // Flite may speak on any thread in any order. (eSpeak NG keeps state from one utterance to
  // the next, so its words are always spoken on one thread in clip order.) The names list is
  // staged with them, in its list order.
  std::vector<const voiceset::Clip*> clips;
  for (const auto& [pack, file] :
       std::vector<std::pair<Pack, const char*>>{{Pack::Menu, "create.wav"},
                                                 {Pack::Menu, "pm2.wav"},
                                                 {Pack::Menu, "lgb.wav"},
                                                 {Pack::Menu, "spkrtest.wav"},
                                                 {Pack::Ambient, "amb3.wav"},
                                                 {Pack::StdNames, "../names.dat"}}) {
    clips.push_back(voiceset::FindClip(pack, file));
    ASSERT_NE(clips.back(), nullptr) << file;
  }
  StageClips(clips, dir / "one", 1, speaker);
  StageClips(clips, dir / "three", 3, speaker);
  for (const auto* clip : clips) {
    EXPECT_EQ(packfile::ReadWholeFile(StagedPath(dir / "one", *clip)),
              packfile::ReadWholeFile(StagedPath(dir / "three", *clip)))
        << clip->file;
  }
  const auto text = packfile::ReadWholeFile(dir / "one" / "names.dat");
  EXPECT_EQ(std::string(text.begin(), text.end()), voiceset::NamesDatText());
}

// A test tone: `seconds` of a sine at `hz` and `peak`, at `rate`.
Samples Tone(double hz, double seconds, float peak, int rate = kRate) {
  Samples s(static_cast<std::size_t>(seconds * rate));
  for (std::size_t i = 0; i < s.size(); ++i) {
    s[i] = peak * static_cast<float>(std::sin(kTwoPi * hz * static_cast<double>(i) / rate));
  }
  return s;
}

TEST(VoiceGen, LevellingReachesTheLoudnessAndHoldsThePeaks) {
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

TEST(VoiceGen, TrimmedWordsEndInSilenceAndResamplingKeepsPitchAndLevel) {
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
