// The lane's keys, its reports and the sponsor's break, pressed by hand.
#include <gtest/gtest.h>

#include "platform/Keys.h"
#include "tests/game/GameWorld.h"

namespace strikora::testing {
namespace {

// A lane waiting for bowler 1's first ball of the frame, with no bot.
void Waiting(GameWorld& w, int frame = 5) {
  w.bot.Stop();
  w.lane.Show();
  w.session.CurrentFrame = static_cast<std::int16_t>(frame);
  w.roster.SetCurrentPlayer(1);
  w.session.WaitingForThrow = true;
}

// What one key said on the announcer and number slots.
std::string Heard(GameWorld& w, int key) {
  const std::size_t from = w.platform.Trace.Events().size();
  w.lane.Form_KeyDown(key, 0);
  return w.Heard("AnnouncerBuffer NumberBuffer", from);
}

// Each report says what it names (with the announcer's call it makes, seen on a turn's first
// ball), and the lane listens again. T while the next bowler is awaited gives the remark of a
// turn's first ball.
TEST(LaneKeys, EachReportSaysWhatItNamesAndTheLaneListensAgain) {
  GameWorld w;
  Waiting(w);
  w.roster.Players(1).AddScore(5, 7, 0);
  w.session.ReleasePosition = 13;
  w.world.SetLocalTime({2026, 12, 6, 14, 20, 0});
  const std::vector<std::tuple<int, std::string, std::string, bool>> cases = {
      {vk::F(1), "help1", "", false},
      {vk::Letter('H'), "help2", "", false},
      {vk::F(2), "stndpin", "SpeakStandingPins", false},
      {vk::Letter('P'), "stndpin", "SpeakStandingPins", false},
      {vk::F(3), "fn1 A frmscor 7", "", false},
      {vk::Letter('S'), "fn1 A frmscor 7", "", false},
      {vk::F(4), "fn1 A gamscor 7", "AnnounceStreak", false},
      {vk::Letter('T'), "fn1 A gamscor 7", "AnnounceStreak", false},
      {vk::Letter('T'), "fn1 A gamscor 7", "AnnounceStreak", true},
      {vk::F(5), "13", "", false},
      {vk::F(6), "isup1", "AnnouncePlayerUp", false},
      {vk::Letter('R'), "isup1", "AnnouncePlayerUp", false},
      {vk::F12, "2 20", "", false},
      {vk::Letter('Q'), "", "", false},
  };
  for (const auto& [key, heard, call, enter] : cases) {
    SCOPED_TRACE(::testing::Message() << key << " " << heard << (enter ? " awaiting Enter" : ""));
    w.session.WaitingForThrow = !enter;
    w.session.AwaitingNextPlayer = enter;
    w.session.BallNumber = enter ? 2 : 0;
    for (int i = 0; i < 2; ++i) w.random.Push(0.5);  // numbers in the plain voice
    w.announcer.Calls.clear();
    EXPECT_EQ(Heard(w, key), heard);
    const auto& calls = w.announcer.Calls;
    EXPECT_EQ(calls.empty() ? "" : calls[0].Name + " " + std::to_string(calls[0].Ball),
              call.empty() ? "" : call + " 0");
    EXPECT_FALSE(w.engine.Busy);
    EXPECT_EQ(w.session.WaitingForThrow, !enter);
    while (w.random.Remaining() > 0) (void)w.random.Rnd();
  }
}

// The game score leaves out two strikes still waiting for their bonus, and a mark in frame 1
// while frame 2 is bowled.
TEST(LaneKeys, TheGameScoreLeavesOutFramesStillWaitingForTheirBonus) {
  using Balls = std::vector<std::array<int, 3>>;  // frame, pins, ball
  const std::vector<std::tuple<Balls, int, std::string>> cases = {
      {{{1, 3, 0}, {1, 4, 1}, {3, 10, 0}, {4, 10, 0}}, 5, "7"},
      {{{3, 3, 0}, {3, 4, 1}, {4, 10, 0}}, 5, "17"},
      {{{1, 5, 0}, {1, 5, 1}}, 2, "0"},
      {{{1, 3, 0}, {1, 4, 1}}, 2, "7"},
  };
  GameWorld w;
  for (const auto& [balls, frame, heard] : cases) {
    SCOPED_TRACE(heard + " in frame " + std::to_string(frame));
    Waiting(w, frame);
    w.roster.Players(1).ResetScore();
    for (const auto& [f, pins, ball] : balls) w.roster.Players(1).AddScore(f, pins, ball);
    w.random.Push(0.5);
    EXPECT_EQ(Heard(w, vk::F(4)), "fn1 A gamscor " + heard);
  }
}

// While a report runs only Ctrl acts, Enter does not take a throw; a frame score of 0 with no "0"
// to say it is logged, and the lane still listens.
TEST(LaneKeys, WhileAReportRunsOnlyCtrlActsAndAFailingReportLeavesTheLaneListening) {
  GameWorld w(1, GameWorld::kOwnSounds);
  Waiting(w);
  w.world.PressKeyWhenClipStarts("help1.wav", vk::Letter('P'), 0, 50);
  w.world.PressKeyWhenClipStarts("help1.wav", vk::Control, mod::Ctrl, 100);
  const std::int64_t start = w.world.MonotonicMs();
  EXPECT_EQ(Heard(w, vk::F(1)), "help1");
  EXPECT_EQ(w.world.MonotonicMs() - start, 100);
  EXPECT_EQ(Heard(w, vk::Enter), "");
  EXPECT_TRUE(w.session.WaitingForThrow);
  for (const char* voice : {"0.wav", "0f.wav", "0p.wav"})
    std::filesystem::remove(w.F.NumbersFolder / voice);
  (void)Heard(w, vk::F(3));
  EXPECT_FALSE(w.engine.Busy);
  EXPECT_EQ(w.Errors(), Strings{"SpeakFrameScore"});
  (void)Heard(w, vk::Space);
  EXPECT_FALSE(w.session.WaitingForThrow);
}

// Six steps of 2.5 dB each way, the alley's ambience down from its level, the music up from its.
TEST(LaneKeys, PageKeysStepTheAlleyAndItsMusicEachByItsOwnLevel) {
  GameWorld w;
  Waiting(w);
  w.engine.StartAlleyAmbience();
  for (const auto& [key, slot, first, last] :
       {std::tuple{vk::PageDown, "BackgroundBuffer", -1750, -3000},
        {vk::PageUp, "MusicBuffer", -2250, -1000}}) {
    w.platform.Trace.Clear();
    for (int i = 0; i < 7; ++i) w.lane.Form_KeyDown(key, 0);  // the seventh: no change
    const Ints v = w.Changes("volume", slot);
    ASSERT_EQ(v.size(), 6u) << slot;
    EXPECT_EQ((Ints{v.front(), v.back()}), (Ints{first, last})) << slot;
  }
  EXPECT_EQ(w.engine.AmbientLevel, 0);
}

// The advert, chosen by the clock, runs from 900 ms after the sponsor's call: four presses up,
// nine down to a pause, one back up; the alley comes back after it, the reminder does not.
TEST(Advert, ChosenByTheClockWithItsSpeedOnThePageKeys) {
  for (const auto& [minute, advert] : {std::pair{30, "advert10.mp3"}, {37, "advert7.mp3"}}) {
    SCOPED_TRACE(advert);
    GameWorld w;
    w.lane.Show();
    w.world.SetLocalTime({2026, 12, 6, 14, minute, 0});
    for (int i = 0, at = 1000; i < 14; ++i)
      w.world.PressKeyWhenClipStarts("wordfrom.wav", i >= 4 && i < 13 ? vk::PageDown : vk::PageUp,
                                     0, at += 50);
    w.game.PlayAdvertBreak();
    std::string loads, rates;
    for (const TraceEvent& e : w.EventsOf("mp3")) {
      if (e.Fields[0] == "load")
        loads += std::filesystem::path(e.Fields[1]).filename().string() + " ";
      if (e.Fields[0] == "rate") rates += e.Fields[1] + " ";
    }
    EXPECT_EQ(loads, std::string(advert) + " logos.mp3 ");
    EXPECT_EQ(rates, "1 1.25 1.5 1.75 2 1.75 1.5 1.25 1 0.75 0.5 0.25 0 0 0.25 1 ");
    EXPECT_TRUE(w.lane.tmrOHS.Enabled() && w.lane.tmrAmbient[2].Enabled());
    EXPECT_FALSE(w.lane.tmrImpatient.Enabled());
    EXPECT_EQ(w.Heard("BackgroundBuffer"), "alley");
  }
}

}  // namespace
}  // namespace strikora::testing
