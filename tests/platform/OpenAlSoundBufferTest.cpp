#include <gtest/gtest.h>

#include <sndfile.h>
#include <cmath>
#include <tuple>

#include <cmath>
#include <fstream>
#include <memory>

#include "OpenAlTestTones.h"
#include "platform/PlatformError.h"
#include "platform/sdl/OpenAlAudioDevice.h"
#include "platform/sdl/OpenAlContext.h"

namespace strikora::sdl {
namespace {

using testing::Db;
using testing::Render;
using testing::Rms;
using testing::StereoLevels;
using testing::TempDir;
using testing::ToneSpec;
using testing::WriteTone;

constexpr int kRate = 44100;

class OpenAlSoundBufferTest : public ::testing::Test {
 protected:
  std::unique_ptr<SoundBuffer> Clip(const std::string& name, const ToneSpec& spec = {}) {
    WriteTone(folder / name, spec);
    return device.CreateSoundBufferFromFile(folder / name, "SpeechBuffer");
  }
  // The level of a looping clip once the mixer has glided to its new settings.
  StereoLevels Measure() {
    (void)Render(context, 2048);
    return Rms(Render(context, kRate / 5));
  }

  TempDir folder;
  OpenAlContext context{OpenAlOutput::Loopback, kRate};
  OpenAlAudioDevice device{context};
};

TEST_F(OpenAlSoundBufferTest, VolumeIsInHundredthsOfADecibel) {
  auto clip = Clip("tone.wav");
  clip->Play(PlayMode::Looping);
  const StereoLevels full = Measure();
  ASSERT_GT(full.Left, 0.01);
  for (const int volume : {-1000, -5000}) {
    clip->SetVolume(volume);
    const StereoLevels level = Measure();
    EXPECT_NEAR(Db(level.Left / full.Left), volume / 100.0, 0.5) << volume;
    EXPECT_NEAR(Db(level.Right / full.Right), volume / 100.0, 0.5) << volume;
  }
  clip->SetVolume(-10000);
  const StereoLevels silent = Measure();
  EXPECT_LT(silent.Left, full.Left * 1e-5);
  EXPECT_LT(silent.Right, full.Right * 1e-5);

  // Out-of-range levels stop at the ends of the scale.
  clip->SetVolume(300);
  EXPECT_EQ(clip->GetVolume(), 0);
  EXPECT_NEAR(Db(Measure().Left / full.Left), 0.0, 0.5);
}

TEST_F(OpenAlSoundBufferTest, PanAttenuatesTheQuieterSideAndKeepsTheLouderAtFullLevel) {
  auto clip = Clip("tone.wav");
  clip->Play(PlayMode::Looping);
  const StereoLevels centre = Measure();
  ASSERT_NEAR(Db(centre.Right / centre.Left), 0.0, 0.1);
  for (const int pan : {-5000, -3000, -1000, 0, 1000, 3000, 5000}) {
    clip->SetPan(pan);
    EXPECT_EQ(clip->GetPan(), pan);
    const StereoLevels level = Measure();
    // Positive pans favour the right.
    EXPECT_NEAR(Db(level.Right / level.Left), pan / 100.0, 1.0) << pan;
    const double louder = pan < 0 ? level.Left / centre.Left : level.Right / centre.Right;
    EXPECT_NEAR(Db(louder), 0.0, 0.5) << pan;
  }
  clip->SetPan(-10000);
  const StereoLevels hardLeft = Measure();
  EXPECT_NEAR(Db(hardLeft.Left / centre.Left), 0.0, 0.5);
  EXPECT_LT(hardLeft.Right, centre.Right * 1e-4);
}

TEST_F(OpenAlSoundBufferTest, VolumeAndPanAddUp) {
  auto clip = Clip("tone.wav");
  clip->Play(PlayMode::Looping);
  const StereoLevels centre = Measure();
  clip->SetVolume(-1000);
  clip->SetPan(3000);
  const StereoLevels level = Measure();
  EXPECT_NEAR(Db(level.Right / centre.Right), -10.0, 0.5);
  EXPECT_NEAR(Db(level.Left / centre.Left), -40.0, 1.0);
}

TEST_F(OpenAlSoundBufferTest, StereoClipKeepsItsSidesAndPansAsABalance) {
  // A speaker test: the tone on the left only. Nothing of it may reach the right.
  auto speakerTest = Clip("left.wav", {.Channels = 2, .Amplitudes = {0.5, 0.0}});
  speakerTest->Play(PlayMode::Looping);
  const StereoLevels leftOnly = Measure();
  EXPECT_NEAR(Db(leftOnly.Left / (0.5 / std::sqrt(2.0))), 0.0, 1.0);
  EXPECT_LT(leftOnly.Right, leftOnly.Left * 1e-4);
  speakerTest->Stop();

  // Each side heard at the clip's own level; a pan turns down the side away from it only.
  auto clip = Clip("stereo.wav", {.Channels = 2, .Amplitudes = {0.5, 0.25}});
  clip->Play(PlayMode::Looping);
  const StereoLevels own{0.5 / std::sqrt(2.0), 0.25 / std::sqrt(2.0)};
  for (const int pan : {-10000, -3000, 0, 3000, 10000}) {
    clip->SetPan(pan);
    const StereoLevels level = Measure();
    const double leftDb = -std::max(pan, 0) / 100.0, rightDb = std::min(pan, 0) / 100.0;
    for (const auto& [heard, wanted, db] :
         {std::tuple{level.Left, own.Left, leftDb}, std::tuple{level.Right, own.Right, rightDb}}) {
      if (db <= -100.0) {
        EXPECT_LT(heard, wanted * 1e-4) << pan;
      } else {
        EXPECT_NEAR(Db(heard / wanted), db, 1.0) << pan;
      }
    }
  }
}

TEST_F(OpenAlSoundBufferTest, CursorCountsBytesOfTheFilesOwnPcm) {
  struct Case {
    const char* Name;
    ToneSpec Spec;
    int BytesPerFrame;
  };
  const Case cases[] = {
      {"mono16.wav", {}, 2},
      {"stereo8.wav", {.Channels = 2, .Format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8}, 2},
      {"mono24.wav", {.Format = SF_FORMAT_WAV | SF_FORMAT_PCM_24}, 3},
      {"stereo16at22k.wav", {.SampleRate = 22050, .Channels = 2}, 4},
  };
  for (const Case& c : cases) {
    auto clip = Clip(c.Name, c.Spec);
    const int fileRate = c.Spec.SampleRate;
    EXPECT_EQ(clip->GetByteLength(), std::int64_t{fileRate} * c.BytesPerFrame) << c.Name;
    EXPECT_EQ(clip->GetFrequency(), fileRate) << c.Name;
    clip->Play(PlayMode::Once);
    (void)Render(context, kRate / 10);  // a tenth of a second
    const double expected = fileRate / 10.0 * c.BytesPerFrame;
    EXPECT_NEAR(static_cast<double>(clip->GetCurrentPosition()), expected, 64.0 * c.BytesPerFrame)
        << c.Name;
    clip->Stop();
  }
}

TEST_F(OpenAlSoundBufferTest, OneShotClipEndsAndStartsAgainFromTheTop) {
  auto clip = Clip("short.wav", {.Seconds = 0.25});
  EXPECT_FALSE(clip->IsPlaying());
  clip->Play(PlayMode::Once);
  EXPECT_TRUE(clip->IsPlaying());
  (void)Render(context, kRate / 10);
  EXPECT_TRUE(clip->IsPlaying());
  (void)Render(context, kRate / 5);
  EXPECT_FALSE(clip->IsPlaying());
  EXPECT_EQ(clip->GetCurrentPosition(), 0);

  clip->Play(PlayMode::Once);
  EXPECT_TRUE(clip->IsPlaying());
  (void)Render(context, 1000);
  EXPECT_NEAR(static_cast<double>(clip->GetCurrentPosition()), 2000.0, 128.0);
}

TEST_F(OpenAlSoundBufferTest, StopKeepsThePlaceAndPlayGoesOnFromIt) {
  auto clip = Clip("tone.wav");
  clip->Play(PlayMode::Once);
  (void)Render(context, 4410);
  clip->Stop();
  EXPECT_FALSE(clip->IsPlaying());
  const std::int64_t stoppedAt = clip->GetCurrentPosition();
  EXPECT_GT(stoppedAt, 0);
  (void)Render(context, 4410);
  EXPECT_EQ(clip->GetCurrentPosition(), stoppedAt);

  clip->Play(PlayMode::Once);
  (void)Render(context, 4410);
  EXPECT_NEAR(static_cast<double>(clip->GetCurrentPosition()), stoppedAt + 8820.0, 128.0);
}

TEST_F(OpenAlSoundBufferTest, PlayingAPlayingClipOnlyChangesItsLooping) {
  auto clip = Clip("short.wav", {.Seconds = 0.25});
  clip->Play(PlayMode::Once);
  (void)Render(context, 4410);
  const std::int64_t before = clip->GetCurrentPosition();
  clip->Play(PlayMode::Looping);
  EXPECT_GE(clip->GetCurrentPosition(), before);
  (void)Render(context, kRate / 2);  // twice its length
  EXPECT_TRUE(clip->IsPlaying());
  EXPECT_LT(clip->GetCurrentPosition(), clip->GetByteLength());
}

TEST_F(OpenAlSoundBufferTest, FrequencySetsTheSpeed) {
  auto clip = Clip("tone.wav");
  clip->SetFrequency(2 * kRate);
  EXPECT_EQ(clip->GetFrequency(), 2 * kRate);
  clip->Play(PlayMode::Once);
  (void)Render(context, 2205);
  EXPECT_NEAR(static_cast<double>(clip->GetCurrentPosition()), 4410.0 * 2, 256.0);
  clip->SetFrequency(0);  // back to the file's own rate
  EXPECT_EQ(clip->GetFrequency(), kRate);
}

TEST_F(OpenAlSoundBufferTest, TimeLeftFollowsTheCursorAndTheSpeed) {
  auto clip = Clip("tone.wav");  // one second
  EXPECT_EQ(clip->MsUntilEnd(), std::nullopt);
  clip->Play(PlayMode::Once);
  EXPECT_NEAR(static_cast<double>(clip->MsUntilEnd().value_or(-1)), 1000.0, 2.0);
  (void)Render(context, kRate / 10);
  EXPECT_NEAR(static_cast<double>(clip->MsUntilEnd().value_or(-1)), 900.0, 4.0);
  clip->SetFrequency(2 * kRate);
  EXPECT_NEAR(static_cast<double>(clip->MsUntilEnd().value_or(-1)), 450.0, 4.0);
  // A looping or stopped clip never ends by itself.
  clip->Play(PlayMode::Looping);
  EXPECT_EQ(clip->MsUntilEnd(), std::nullopt);
  clip->Stop();
  EXPECT_EQ(clip->MsUntilEnd(), std::nullopt);
}

TEST_F(OpenAlSoundBufferTest, MissingOrBadFilesAreReported) {
  try {
    (void)device.CreateSoundBufferFromFile(folder / "absent.wav", "SpeechBuffer");
    ADD_FAILURE() << "a missing clip loaded";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Code(), ErrorCode::FileNotFound);
  }
  { std::ofstream(folder / "junk.wav") << "not a sound at all"; }
  try {
    (void)device.CreateSoundBufferFromFile(folder / "junk.wav", "SpeechBuffer");
    ADD_FAILURE() << "a text file loaded as a clip";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Code(), ErrorCode::BadFileFormat);
  }
  // A pack made on Windows may spell the name differently.
  WriteTone(folder / "Menu.WAV", {.Seconds = 0.1});
  const auto clip = device.CreateSoundBufferFromFile(folder / "menu.wav", "BackgroundBuffer");
  EXPECT_EQ(clip->Source(), folder / "menu.wav");
  EXPECT_EQ(clip->GetByteLength(), 4410 * 2);
}

}  // namespace
}  // namespace strikora::sdl
