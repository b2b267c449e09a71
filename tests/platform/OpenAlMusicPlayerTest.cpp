#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "OpenAlTestTones.h"
#include "platform/PlatformError.h"
#include "platform/sdl/OpenAlContext.h"
#include "platform/sdl/OpenAlMusicPlayer.h"

namespace strikora::sdl {
namespace {

using testing::Db;
using testing::Render;
using testing::Rms;
using testing::StereoLevels;
using testing::TempDir;
using testing::WriteTone;

constexpr int kRate = 44100;
constexpr int kStep = 1024;  // frames mixed between two feeds

class OpenAlMusicPlayerTest : public ::testing::Test {
 protected:
  std::filesystem::path Song(const std::string& name, double seconds) {
    WriteTone(
        folder / name,
        {.Seconds = seconds, .Channels = 2, .Format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III});
    return folder / name;
  }
  // Mixes about this many frames, feeding the stream as the feeder thread would.
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
  // Frames mixed until the music reports that it has reached its end.
  std::int64_t FramesToEnd() {
    std::int64_t frames = 0;
    while (player.CurrentPosition() < player.Duration()) {
      (void)Listen(kStep);
      frames += kStep;
      if (frames > 60 * kRate) {
        ADD_FAILURE() << "the music never ended";
        break;
      }
    }
    return frames;
  }
  static double Seconds(std::int64_t frames) { return static_cast<double>(frames) / kRate; }

  TempDir folder;
  OpenAlContext context{OpenAlOutput::Loopback, kRate};
  OpenAlMusicPlayer player{context, MusicFeeding::Manual};
};

TEST_F(OpenAlMusicPlayerTest, LoadsStoppedAtTheStartRunsToItsEndAndAFasterRateEndsSooner) {
  const auto song = Song("theme.mp3", 2.0);
  player.Load(song);
  EXPECT_NEAR(player.Duration(), 2.0, 0.03);
  (void)Listen(kRate / 4);
  EXPECT_EQ(player.CurrentPosition(), 0.0);  // loaded is not running
  player.Run();
  EXPECT_GT(Rms(Listen(kRate / 2)).Left, 0.1);
  EXPECT_NEAR(player.CurrentPosition(), 0.5, 0.03);
  EXPECT_NEAR(Seconds(FramesToEnd()), 1.5, 0.05);
  (void)Listen(kRate / 10);
  EXPECT_EQ(player.CurrentPosition(), player.Duration());  // it stays at the end

  player.Load(song);
  player.SetRate(2.25);
  player.Run();
  EXPECT_NEAR(Seconds(FramesToEnd()), 2.0 / 2.25, 0.05);
}

TEST_F(OpenAlMusicPlayerTest, StopAndRateZeroHoldThePlaceAndAPositionCanBeSet) {
  player.Load(Song("theme.mp3", 2.0));
  player.Run();
  (void)Listen(kRate / 4);
  player.Stop();
  const double stoppedAt = player.CurrentPosition();
  EXPECT_GT(stoppedAt, 0.2);
  (void)Listen(kRate / 4);
  EXPECT_EQ(player.CurrentPosition(), stoppedAt);
  player.Run();
  (void)Listen(kRate / 4);
  const double heldAt = player.CurrentPosition();
  EXPECT_NEAR(heldAt, stoppedAt + 0.25, 0.03);
  player.SetRate(0.0);  // held where it is, and silent
  EXPECT_LT(Rms(Listen(kRate / 2)).Left, 1e-4);
  EXPECT_EQ(player.CurrentPosition(), heldAt);
  player.SetRate(1.0);
  (void)Listen(kRate / 4);
  EXPECT_NEAR(player.CurrentPosition(), heldAt + 0.25, 0.03);

  // Forwards and back again; the music is heard from the very first block after the move.
  player.SetCurrentPosition(1.5);
  EXPECT_NEAR(player.CurrentPosition(), 1.5, 0.001);
  EXPECT_GT(Rms(Listen(kStep)).Left, 0.1);
  player.SetCurrentPosition(0.5);
  EXPECT_NEAR(player.CurrentPosition(), 0.5, 0.001);
  EXPECT_GT(Rms(Listen(kStep)).Left, 0.1);
  EXPECT_NEAR(Seconds(FramesToEnd()), 1.5, 0.05);
}

TEST_F(OpenAlMusicPlayerTest, VolumeAndBalanceAreHeardAtOnce) {
  player.Load(Song("theme.mp3", 3.0));
  player.Run();
  (void)Listen(4096);
  const StereoLevels full = Rms(Listen(kRate / 5));
  player.SetVolume(-1000);
  (void)Listen(2048);
  const StereoLevels quieter = Rms(Listen(kRate / 5));
  EXPECT_NEAR(Db(quieter.Left / full.Left), -10.0, 0.5);
  EXPECT_NEAR(Db(quieter.Right / full.Right), -10.0, 0.5);

  // Well inside the blocks already queued: the new balance must not wait for them.
  player.SetBalance(3000);
  (void)Listen(2048);
  const StereoLevels balanced = Rms(Listen(kRate / 10));
  EXPECT_NEAR(Db(balanced.Right / full.Right), -10.0, 0.5);
  EXPECT_NEAR(Db(balanced.Left / full.Left), -40.0, 1.0);
}

TEST_F(OpenAlMusicPlayerTest, ASecondLoadReplacesTheFirstAndFailuresAreReported) {
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

  const auto codeOf = [](auto&& call) {
    try {
      call();
    } catch (const PlatformError& e) {
      return e.Code();
    }
    return ErrorCode::InvalidCall;  // nothing thrown
  };
  EXPECT_EQ(codeOf([&] { player.Load(folder / "absent.mp3"); }), ErrorCode::FileNotFound);
  { std::ofstream(folder / "junk.mp3") << "ID3 but not really"; }
  EXPECT_EQ(codeOf([&] { player.Load(folder / "junk.mp3"); }), ErrorCode::BadFileFormat);
  EXPECT_FALSE(player.IsLoaded());
  EXPECT_EQ(codeOf([&] { player.Run(); }), ErrorCode::MusicFailure);
  EXPECT_EQ(codeOf([&] { (void)player.CurrentPosition(); }), ErrorCode::MusicFailure);
  EXPECT_EQ(codeOf([&] { player.SetRate(2.0); }), ErrorCode::MusicFailure);
}

TEST_F(OpenAlMusicPlayerTest, TheFeederThreadKeepsTheMusicGoingToItsEnd) {
  OpenAlMusicPlayer threaded(context, MusicFeeding::Thread);
  threaded.Load(Song("theme.mp3", 1.0));
  threaded.SetRate(2.25);
  threaded.Run();
  double last = 0;
  // Mixing into memory outruns any feeder; give it time between steps. The bound only stops
  // a broken feeder from hanging the test.
  for (int step = 0; step < 20000 && threaded.CurrentPosition() < threaded.Duration(); ++step) {
    (void)Render(context, kStep);
    const double now = threaded.CurrentPosition();
    EXPECT_GE(now, last);
    last = now;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(threaded.CurrentPosition(), threaded.Duration());
}

}  // namespace
}  // namespace strikora::sdl
