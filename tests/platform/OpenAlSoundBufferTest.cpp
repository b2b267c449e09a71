#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>

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
constexpr double kSilent = -200;  // dB: nothing of it is heard

// A side heard `db` from the level wanted of it: within half a decibel at full level, within
// one below it, under a hundred-thousandth when silent.
void ExpectDb(double heard, double wanted, double db, const std::string& what) {
  if (db <= kSilent) {
    EXPECT_LT(heard, wanted * 1e-5) << what;
  } else {
    EXPECT_NEAR(Db(heard / wanted), db, db == 0 ? 0.5 : 1.0) << what;
  }
}

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
  [[nodiscard]] static double Pos(const std::unique_ptr<SoundBuffer>& clip) {
    return static_cast<double>(clip->GetCurrentPosition());
  }

  TempDir folder;
  OpenAlContext context{OpenAlOutput::Loopback, kRate};
  OpenAlAudioDevice device{context};
};

TEST_F(OpenAlSoundBufferTest, VolumeAndPanAreHundredthsOfADecibelOnEachSide) {
  struct Case {
    int volume, pan;
    double left, right;  // dB from the centre's level
  };
  // clang-format off
  const Case cases[] = {
      {-1000, 0, -10, -10}, {-5000, 0, -50, -50}, {-10000, 0, kSilent, kSilent},
      {300, 0, 0, 0},  // past the top of the scale is full level
      // Positive pans favour the right; the louder side stays at full level.
      {0, -5000, 0, -50}, {0, -3000, 0, -30}, {0, -1000, 0, -10}, {0, 1000, -10, 0},
      {0, 3000, -30, 0}, {0, 5000, -50, 0}, {0, -10000, 0, kSilent},
      {-1000, 3000, -40, -10},  // volume and pan add up
  };
  // clang-format on
  auto clip = Clip("tone.wav");
  clip->Play(PlayMode::Looping);
  const StereoLevels centre = Measure();
  ASSERT_GT(centre.Left, 0.01);
  ASSERT_NEAR(Db(centre.Right / centre.Left), 0.0, 0.1);
  for (const Case& c : cases) {
    const std::string what = std::to_string(c.volume) + " at " + std::to_string(c.pan);
    clip->SetVolume(c.volume);
    clip->SetPan(c.pan);
    EXPECT_EQ(clip->GetVolume(), std::min(c.volume, 0)) << what;
    const StereoLevels level = Measure();
    ExpectDb(level.Left, centre.Left, c.left, what);
    ExpectDb(level.Right, centre.Right, c.right, what);
  }
}

TEST_F(OpenAlSoundBufferTest, StereoClipKeepsItsSidesAndPansAsABalance) {
  // A speaker test: the tone on the left only. Nothing of it may reach the right.
  auto speakerTest = Clip("left.wav", {.Channels = 2, .Amplitudes = {0.5, 0.0}});
  speakerTest->Play(PlayMode::Looping);
  const StereoLevels leftOnly = Measure();
  ExpectDb(leftOnly.Left, 0.5 / std::sqrt(2.0), 0, "speaker test");
  ExpectDb(leftOnly.Right, leftOnly.Left, kSilent, "speaker test");
  speakerTest->Stop();

  // Each side heard at the clip's own level; a pan turns down the side away from it only.
  auto clip = Clip("stereo.wav", {.Channels = 2, .Amplitudes = {0.5, 0.25}});
  clip->Play(PlayMode::Looping);
  for (const int pan : {-10000, -3000, 0, 3000, 10000}) {
    clip->SetPan(pan);
    const StereoLevels level = Measure();
    const auto db = [](int p) { return p <= -10000 ? kSilent : std::min(p, 0) / 100.0; };
    ExpectDb(level.Left, 0.5 / std::sqrt(2.0), db(-pan), std::to_string(pan));
    ExpectDb(level.Right, 0.25 / std::sqrt(2.0), db(pan), std::to_string(pan));
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

TEST_F(OpenAlSoundBufferTest, StopKeepsThePlaceAClipEndsBackAtTheTopAndTheTimeLeftFollowsTheSpeed) {
  const auto left = [](const std::unique_ptr<SoundBuffer>& c) {
    return static_cast<double>(c->MsUntilEnd().value_or(-1));
  };
  auto clip = Clip("short.wav", {.Seconds = 0.25});  // 22050 bytes
  EXPECT_FALSE(clip->IsPlaying());
  EXPECT_EQ(clip->MsUntilEnd(), 0);  // not playing: nothing to wait for
  clip->Play(PlayMode::Once);
  EXPECT_NEAR(left(clip), 250.0, 2.0);
  (void)Render(context, 4410);
  EXPECT_NEAR(left(clip), 150.0, 4.0);
  clip->Stop();
  EXPECT_EQ(clip->MsUntilEnd(), 0);
  const double stoppedAt = Pos(clip);
  EXPECT_NEAR(stoppedAt, 8820.0, 128.0);
  (void)Render(context, 4410);
  EXPECT_EQ(Pos(clip), stoppedAt);

  clip->Play(PlayMode::Once);  // on from the place where it stopped, twice as fast
  clip->SetFrequency(2 * kRate);
  EXPECT_NEAR(left(clip), 75.0, 4.0);
  (void)Render(context, 2205);
  EXPECT_NEAR(Pos(clip), stoppedAt + 8820.0, 256.0);
  clip->SetFrequency(0);  // back to the file's own rate
  EXPECT_EQ(clip->GetFrequency(), kRate);
  (void)Render(context, kRate / 5);
  // Ended by the mixer: back at the top, and "look again now" rather than "unknown".
  EXPECT_FALSE(clip->IsPlaying());
  EXPECT_EQ(Pos(clip), 0);
  EXPECT_EQ(clip->MsUntilEnd(), 0);

  clip->Play(PlayMode::Once);  // and again from the top
  (void)Render(context, 1000);
  EXPECT_NEAR(Pos(clip), 2000.0, 128.0);
  // Asked to loop while it plays, it goes on from where it is, past its end, never ending.
  const double before = Pos(clip);
  clip->Play(PlayMode::Looping);
  EXPECT_GE(Pos(clip), before);
  EXPECT_EQ(clip->MsUntilEnd(), std::nullopt);
  (void)Render(context, kRate / 2);  // twice its length
  EXPECT_TRUE(clip->IsPlaying());
  EXPECT_LT(clip->GetCurrentPosition(), clip->GetByteLength());
}

TEST_F(OpenAlSoundBufferTest, MissingOrBadFilesAreReported) {
  const auto codeOf = [this](const char* file) {
    try {
      (void)device.CreateSoundBufferFromFile(folder / file, "SpeechBuffer");
    } catch (const PlatformError& e) {
      return e.Code();
    }
    return ErrorCode::InvalidCall;  // loaded
  };
  EXPECT_EQ(codeOf("absent.wav"), ErrorCode::FileNotFound);
  std::ofstream(folder / "junk.wav") << "not a sound at all";
  EXPECT_EQ(codeOf("junk.wav"), ErrorCode::BadFileFormat);
  // A pack made on Windows may spell the name differently.
  WriteTone(folder / "Menu.WAV", {.Seconds = 0.1});
  const auto clip = device.CreateSoundBufferFromFile(folder / "menu.wav", "BackgroundBuffer");
  EXPECT_EQ(clip->Source(), folder / "menu.wav");
  EXPECT_EQ(clip->GetByteLength(), 4410 * 2);
}

}  // namespace
}  // namespace strikora::sdl
