// The real mixer, heard through OpenAL's loopback device: clips and music at the levels, sides,
// places and speeds the game asks for.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <functional>
#include <numbers>
#include <thread>

#include "platform/PlatformError.h"
#include "platform/sdl/OpenAlAudioDevice.h"
#include "platform/sdl/OpenAlMusicPlayer.h"
#include "platform/sdl/PanLaw.h"
#include "tests/support/TempDir.h"

namespace strikora::sdl {
namespace {

using strikora::testing::TempDir;
constexpr int kRate = 44100;
constexpr int kStep = 1024;       // frames mixed between two feeds of the music
constexpr double kSilent = -200;  // dB: nothing of it is heard

struct ToneSpec {
  double Seconds = 1.0;
  int SampleRate = 44100;
  int Channels = 1;
  int Format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;  // libsndfile major|minor format
  // Amplitude of each channel (0..1); channels past the list repeat its last entry.
  std::vector<double> Amplitudes = {0.5};
};

// A 441 Hz sine, written with libsndfile (WAV or MP3 by Format).
void WriteTone(const std::filesystem::path& file, const ToneSpec& spec) {
  SF_INFO info{0, spec.SampleRate, spec.Channels, spec.Format, 0, 0};
  const auto frames = static_cast<sf_count_t>(std::lround(spec.Seconds * spec.SampleRate));
  std::vector<double> samples;
  for (sf_count_t f = 0; f < frames * spec.Channels; ++f) {
    const auto c =
        std::min(static_cast<std::size_t>(f % spec.Channels), spec.Amplitudes.size() - 1);
    samples.push_back(spec.Amplitudes[c] * std::sin(2 * std::numbers::pi * 441.0 *
                                                    (f / spec.Channels) / spec.SampleRate));
  }
  SNDFILE* out = sf_open(file.c_str(), SFM_WRITE, &info);
  const bool wrote = out != nullptr && sf_writef_double(out, samples.data(), frames) == frames;
  if (out != nullptr) sf_close(out);
  if (!wrote) throw std::runtime_error("cannot write the tone " + file.string());
}

struct StereoLevels {
  double Left = 0, Right = 0;
};
StereoLevels Rms(const std::vector<float>& frames) {
  double sum[2] = {0, 0};
  for (std::size_t i = 0; i < frames.size(); ++i) sum[i % 2] += double{frames[i]} * frames[i];
  return {std::sqrt(2 * sum[0] / frames.size()), std::sqrt(2 * sum[1] / frames.size())};
}
const auto Db = [](double ratio) { return 20.0 * std::log10(ratio); };
std::vector<float> Render(OpenAlContext& context, int frames) {
  std::vector<float> out(static_cast<std::size_t>(frames) * 2);
  context.Render(out);
  return out;
}

// A side heard `db` from the level wanted of it: within half a decibel at full level, within
// one below it, under a hundred-thousandth when silent.
void ExpectDb(double heard, double wanted, double db, const std::string& what) {
  EXPECT_TRUE(db <= kSilent ? heard < wanted * 1e-5
                            : std::abs(Db(heard / wanted) - db) <= (db == 0 ? 0.5 : 1.0))
      << what << ": " << Db(heard / wanted) << " dB, not " << db;
}

class OpenAl : public ::testing::Test {
 protected:
  std::unique_ptr<SoundBuffer> Clip(const std::string& name, const ToneSpec& spec = {}) {
    WriteTone(folder / name, spec);
    return device.CreateSoundBufferFromFile(folder / name, "SpeechBuffer");
  }
  std::filesystem::path Song(const std::string& name, double seconds) {
    WriteTone(folder / name, {seconds, kRate, 2, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III});
    return folder / name;
  }
  // The level of a looping clip once the mixer has glided to its new settings.
  StereoLevels Measure() {
    (void)Render(context, 2048);
    return Rms(Render(context, kRate / 5));
  }
  // Mixes about this many frames, feeding the music as the feeder thread would.
  std::vector<float> Listen(int frames) {
    std::vector<float> heard;
    for (int done = 0; done < frames; done += kStep) {
      player.Pump();
      const std::vector<float> step = Render(context, kStep);
      heard.insert(heard.end(), step.begin(), step.end());
    }
    player.Pump();
    return heard;
  }
  // Seconds mixed until the music reports that it has reached its end.
  double SecondsToEnd() {
    int frames = 0;
    for (; player.CurrentPosition() < player.Duration() && frames <= 60 * kRate; frames += kStep)
      (void)Listen(kStep);
    EXPECT_LE(frames, 60 * kRate) << "the music never ended";
    return static_cast<double>(frames) / kRate;
  }

  TempDir folder;
  OpenAlContext context{OpenAlOutput::Loopback, kRate};
  OpenAlAudioDevice device{context};
  OpenAlMusicPlayer player{context, MusicFeeding::Manual};
};

// What a mixer makes of a direction: the textbook constant-power law, or one like some
// libraries' own, whose sides separate fully at 60 degrees while the louder side grows.
PanLaw::Sample Heard(double azimuth, bool early) {
  const double s = std::min(azimuth * 1.5, std::numbers::pi / 2), t = std::numbers::pi / 4;
  if (!early)
    return {azimuth, 1 / std::tan(t + azimuth / 2), std::sin(t + azimuth / 2) / std::sin(t)};
  const double quiet = std::max(0.0, 0.5 - 0.5 * std::sin(s) + 0.1 * std::cos(s));
  const double loud = 0.5 + 0.5 * std::sin(s) + 0.1 * std::cos(s);
  return {azimuth, quiet / loud, loud / 0.6};
}

TEST(OpenAlPanLaw, PlacementGivesTheWantedDifferenceKeepsTheLouderSideAndEndsAtTheScale) {
  std::vector<PanLaw::Sample> samples;
  for (int step = 0; step <= 360; ++step)
    samples.push_back(Heard(std::numbers::pi / 720 * step, true));
  for (const bool early : {false, true}) {
    const PanLaw law = early ? PanLaw(samples) : PanLaw::ConstantPower();
    for (const int pan : {-5000, -3000, -600, 0, 600, 1500, 3000, 5000}) {
      const PanLaw::Placement at = law.For(pan);
      EXPECT_EQ(at.Azimuth < 0, pan < 0) << pan;
      const PanLaw::Sample heard = Heard(std::abs(at.Azimuth), early);
      EXPECT_NEAR(20 * std::log10(heard.QuietOverLoud), -std::abs(pan) / 100.0, 0.3) << pan;
      EXPECT_NEAR(20 * std::log10(heard.LoudOverCentre * at.Gain), 0.0, 0.05) << pan;
    }
  }
  // Nothing is learnt past the direction where the quieter side falls silent, and beyond the
  // scale is the end of the scale.
  const PanLaw law(samples);
  EXPECT_NEAR(law.Samples().back().Azimuth, std::numbers::pi / 3, 0.01);
  EXPECT_NEAR(law.For(10000).Azimuth, -law.For(-10000).Azimuth, 1e-12);
  EXPECT_EQ(law.For(25000).Azimuth, law.For(10000).Azimuth);
}

TEST_F(OpenAl, VolumeAndPanAreHundredthsOfADecibelOnEachSideOfMonoAndStereoClips) {
  // volume, pan, then each side in dB from the centre's level
  // clang-format off
  const std::tuple<int, int, double, double> cases[] = {
      {-1000, 0, -10, -10}, {-10000, 0, kSilent, kSilent},
      {300, 0, 0, 0},  // past the top of the scale is full level
      // Positive pans favour the right; the louder side stays at full level.
      {0, -5000, 0, -50}, {0, -1000, 0, -10}, {0, 3000, -30, 0}, {0, 5000, -50, 0},
      {0, -10000, 0, kSilent}, {-1000, 3000, -40, -10},  // volume and pan add up
  };
  // clang-format on
  auto clip = Clip("tone.wav");
  clip->Play(PlayMode::Looping);
  const StereoLevels centre = Measure();
  ASSERT_GT(centre.Left, 0.01);
  ASSERT_NEAR(Db(centre.Right / centre.Left), 0.0, 0.1);
  for (const auto& [volume, pan, left, right] : cases) {
    const std::string what = std::to_string(volume) + " at " + std::to_string(pan);
    SCOPED_TRACE(what);
    clip->SetVolume(volume);
    clip->SetPan(pan);
    EXPECT_EQ(clip->GetVolume(), std::min(volume, 0));
    const StereoLevels level = Measure();
    ExpectDb(level.Left, centre.Left, left, what);
    ExpectDb(level.Right, centre.Right, right, what);
  }
  clip->Stop();
  // A speaker test, the tone on the left only: nothing of it may reach the right.
  auto speakerTest = Clip("left.wav", {.Channels = 2, .Amplitudes = {0.5, 0.0}});
  speakerTest->Play(PlayMode::Looping);
  const StereoLevels leftOnly = Measure();
  ExpectDb(leftOnly.Left, 0.5 / std::sqrt(2.0), 0, "speaker test");
  ExpectDb(leftOnly.Right, leftOnly.Left, kSilent, "speaker test");
  speakerTest->Stop();
  // Each side heard at the clip's own level; a pan turns down the side away from it only.
  auto stereo = Clip("stereo.wav", {.Channels = 2, .Amplitudes = {0.5, 0.25}});
  stereo->Play(PlayMode::Looping);
  for (const int pan : {-10000, -3000, 0, 3000, 10000}) {
    stereo->SetPan(pan);
    const StereoLevels level = Measure();
    const auto db = [](int p) { return p <= -10000 ? kSilent : std::min(p, 0) / 100.0; };
    ExpectDb(level.Left, 0.5 / std::sqrt(2.0), db(-pan), std::to_string(pan));
    ExpectDb(level.Right, 0.25 / std::sqrt(2.0), db(pan), std::to_string(pan));
  }
}

// The cursor counts bytes of the file's own PCM: 0.3 s of 22 kHz stereo is 26460.
TEST_F(OpenAl, StopKeepsThePlaceAClipEndsBackAtTheTopAndTheTimeLeftFollowsTheSpeed) {
  auto clip = Clip("short.wav", {.Seconds = 0.3, .SampleRate = 22050, .Channels = 2});
  EXPECT_EQ(clip->GetByteLength(), 26460);
  EXPECT_EQ(clip->GetFrequency(), 22050);
  const auto left = [&] { return static_cast<double>(clip->MsUntilEnd().value_or(-1)); };
  const auto Pos = [&] { return static_cast<double>(clip->GetCurrentPosition()); };
  EXPECT_EQ(clip->MsUntilEnd(), 0);  // not playing: nothing to wait for
  clip->Play(PlayMode::Once);
  EXPECT_NEAR(left(), 300.0, 2.0);
  (void)Render(context, 4410);
  EXPECT_NEAR(left(), 200.0, 4.0);
  clip->Stop();
  EXPECT_EQ(clip->MsUntilEnd(), 0);
  const double stoppedAt = Pos();
  EXPECT_NEAR(stoppedAt, 8820.0, 128.0);
  (void)Render(context, 4410);
  EXPECT_EQ(Pos(), stoppedAt);
  clip->Play(PlayMode::Once);  // on from the place where it stopped, twice as fast
  clip->SetFrequency(2 * 22050);
  EXPECT_NEAR(left(), 100.0, 4.0);
  (void)Render(context, 2205);
  EXPECT_NEAR(Pos(), stoppedAt + 8820.0, 256.0);
  clip->SetFrequency(0);  // back to the file's own rate
  EXPECT_EQ(clip->GetFrequency(), 22050);
  (void)Render(context, kRate / 5);
  // Ended by the mixer: back at the top, and "look again now" rather than "unknown".
  EXPECT_FALSE(clip->IsPlaying());
  EXPECT_EQ(Pos(), 0);
  EXPECT_EQ(clip->MsUntilEnd(), 0);
  clip->Play(PlayMode::Once);  // and again from the top
  (void)Render(context, 1000);
  EXPECT_NEAR(Pos(), 2000.0, 128.0);
  // Asked to loop while it plays, it goes on from where it is, past its end, never ending.
  const double before = Pos();
  clip->Play(PlayMode::Looping);
  EXPECT_GE(Pos(), before);
  EXPECT_EQ(clip->MsUntilEnd(), std::nullopt);
  (void)Render(context, kRate / 2);  // longer than it
  EXPECT_TRUE(clip->IsPlaying());
  EXPECT_LT(clip->GetCurrentPosition(), clip->GetByteLength());
}

TEST_F(OpenAl, MusicLoadsStoppedRunsToItsEndFasterOrHeldMovesWhereSentAndIsTurnedDownAtOnce) {
  const auto song = Song("theme.mp3", 2.0);
  // What is done, how many seconds are then mixed, whether the music is heard, where it is.
  // clang-format off
  const std::tuple<std::function<void()>, double, bool, double> steps[] = {
      {[&] { player.Load(song); }, 0.25, false, 0.0},  // loaded is not running
      {[&] { player.Run(); }, 0.5, true, 0.5}, {[&] { player.Stop(); }, 0.25, false, 0.5},
      {[&] { player.Run(); }, 0.25, true, 0.75},
      {[&] { player.SetRate(0.0); }, 0.5, false, 0.75},  // held where it is, and silent
      {[&] { player.SetRate(1.0); }, 0.25, true, 1.0},
      // Forwards and back again: heard from the very first block after the move.
      {[&] { player.SetCurrentPosition(1.5); }, 0.0, true, 1.52},
      {[&] { player.SetCurrentPosition(0.5); }, 0.0, true, 0.52}};
  // clang-format on
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    const auto& [act, seconds, heard, at] = steps[i];
    act();
    EXPECT_EQ(Rms(Listen(std::max(kStep, static_cast<int>(seconds * kRate)))).Left > 0.1, heard);
    EXPECT_NEAR(player.CurrentPosition(), at, 0.03);
  }
  // A step down, then a balance: heard at once, inside the blocks already queued.
  const StereoLevels full = Rms(Listen(kRate / 10));
  const std::tuple<std::function<void()>, double, double> changes[] = {
      {[&] { player.SetVolume(-1000); }, -10, -10}, {[&] { player.SetBalance(3000); }, -40, -10}};
  for (const auto& [change, left, right] : changes) {
    change();
    (void)Listen(2048);
    const StereoLevels heard = Rms(Listen(kRate / 10));
    ExpectDb(heard.Left, full.Left, left, "the music's left");
    ExpectDb(heard.Right, full.Right, right, "the music's right");
  }
  EXPECT_NEAR(player.Duration(), 2.0, 0.03);
  const double at = player.CurrentPosition();
  EXPECT_NEAR(SecondsToEnd(), 2.0 - at, 0.05);
  (void)Listen(kRate / 10);
  EXPECT_EQ(player.CurrentPosition(), player.Duration());  // it stays at the end
  player.Load(song);
  player.SetRate(2.25);
  player.Run();
  EXPECT_NEAR(SecondsToEnd(), 2.0 / 2.25, 0.05);
}

TEST_F(OpenAl, ASecondLoadReplacesTheFirstAndMissingOrBadFilesAreReported) {
  player.Load(Song("theme.mp3", 2.0));
  player.Run();
  (void)Listen(kRate / 4);
  player.SetRate(2.25);
  player.Load(Song("logos.mp3", 1.0));
  EXPECT_NEAR(player.Duration(), 1.0, 0.03);
  EXPECT_EQ(player.CurrentPosition(), 0.0);
  EXPECT_EQ(player.GetRate(), 1.0);              // a new load starts at normal speed
  EXPECT_LT(Rms(Listen(kRate / 4)).Left, 1e-4);  // the first song stopped, the second waits
  player.Unload();
  // A pack made on Windows may spell a clip's name differently.
  WriteTone(folder / "Menu.WAV", {.Seconds = 0.1});
  const auto clip = device.CreateSoundBufferFromFile(folder / "menu.wav", "BackgroundBuffer");
  EXPECT_EQ(clip->Source(), folder / "menu.wav");
  EXPECT_EQ(clip->GetByteLength(), 4410 * 2);
  std::ofstream(folder / "junk.wav") << "not a sound at all";
  std::ofstream(folder / "junk.mp3") << "ID3 but not really";
  const auto load = [&](const char* name) {
    (void)device.CreateSoundBufferFromFile(folder / name, "SpeechBuffer");
  };
  const std::pair<std::function<void()>, ErrorCode> failures[] = {
      {[&] { load("absent.wav"); }, ErrorCode::FileNotFound},
      {[&] { load("junk.wav"); }, ErrorCode::BadFileFormat},
      {[&] { player.Load(folder / "absent.mp3"); }, ErrorCode::FileNotFound},
      {[&] { player.Load(folder / "junk.mp3"); }, ErrorCode::BadFileFormat},
      {[&] { player.Run(); }, ErrorCode::MusicFailure},  // nothing loaded after the failures
      {[&] { (void)player.CurrentPosition(); }, ErrorCode::MusicFailure},
      {[&] { player.SetRate(2.0); }, ErrorCode::MusicFailure}};
  for (std::size_t i = 0; i < std::size(failures); ++i) {
    SCOPED_TRACE(i);
    try {
      failures[i].first();
      ADD_FAILURE() << "no error";
    } catch (const PlatformError& e) {
      EXPECT_EQ(e.Code(), failures[i].second);
    }
  }
  // The feeder thread keeps the music going to its end; mixing into memory outruns any feeder,
  // so it is given time between steps, and a broken one cannot hang the test.
  OpenAlMusicPlayer threaded(context, MusicFeeding::Thread);
  threaded.Load(Song("theme.mp3", 1.0));
  threaded.SetRate(2.25);
  threaded.Run();
  double last = 0;
  for (int step = 0; step < 20000 && threaded.CurrentPosition() < threaded.Duration(); ++step) {
    (void)Render(context, kStep);
    EXPECT_GE(threaded.CurrentPosition(), last);
    last = threaded.CurrentPosition();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(threaded.CurrentPosition(), threaded.Duration());
}

}  // namespace
}  // namespace strikora::sdl
