// Turns and deliveries, played by the bot with the pinfall's draws scripted.
#include <gtest/gtest.h>

#include <array>

#include "tests/game/GameWorld.h"

namespace strikora::testing {
namespace {

const Ball kSix = At(10, {0.595, 0.795});    // leaves 3, 6, 9, 10
const Ball kFour = At(12, {0.5, 0.995});     // takes 3, 6, 9, 10
const Ball kGutter = At(1), kLost = At(-1);  // a lost ball is never stopped

// A turn ends after a strike or two balls, the tenth gives its extra balls. A lost ball: six
// passes, 21 + 5 x 20 tones, one buzzer, and the next ball sweeps afresh.
TEST(Turn, EndsAfterAStrikeOrTwoBallsAndTheTenthGivesItsExtraBalls) {
  // frame, balls, each ball's number and the pins standing as it is called, the final ball
  // number, buzzers, the frame's score, aim tones heard
  const std::vector<std::tuple<int, std::vector<Ball>, std::string, int, int, int, int>> cases = {
      {3, {Strike()}, "0:10", 2, 0, 10, 12},
      {3, {kSix, Miss()}, "0:10 1:4", 2, 0, 6, 14},
      {3, {kLost, Miss()}, "0:10 1:10", 2, 1, 0, 124},
      {10, {Strike(), kSix, Miss()}, "0:10 2:10 4:4", 6, 0, 16, 26},
      {10, {Strike(), Strike(), Strike()}, "0:10 2:10 4:10", 6, 0, 30, 36},
      {10, {Strike(), kGutter, kLost}, "0:10 2:10 4:10", 6, 1, 10, 135},
      {10, {kSix, kFour, Strike()}, "0:10 1:4 2:10", 3, 0, 20, 36},  // the spare's bonus
      {10, {kSix, Miss()}, "0:10 1:4", 2, 0, 6, 14},
  };
  for (const auto& [frame, balls, called, finalBall, buzzers, frameScore, tones] : cases) {
    SCOPED_TRACE(called + " in frame " + std::to_string(frame));
    GameWorld w;
    w.bot.Balls.assign(balls.begin(), balls.end());
    w.PlayTurn(frame);
    std::string heard;
    for (const Call& c : w.announcer.Of("AnnounceBall"))
      heard +=
          (heard.empty() ? "" : " ") + std::to_string(c.Ball) + ":" + std::to_string(c.Standing);
    EXPECT_EQ(heard, called);
    EXPECT_EQ(w.session.BallNumber, finalBall);
    const Strings speech = w.PlaysOn("SpeechBuffer");
    EXPECT_EQ(Count(speech, std::string("buzzer")), buzzers);
    EXPECT_EQ(Count(speech, std::string("ballret")),
              static_cast<int>(w.announcer.Of("AnnounceBall").size()) - 1);
    EXPECT_EQ(w.roster.Players(1).GetFrameScore(frame), frameScore);
    EXPECT_EQ(w.random.Remaining(), 0u);
    EXPECT_EQ(w.PlaysOn("AimBuffers[0] AimBuffers[1]").size(), static_cast<std::size_t>(tones));
  }
}

// Released on the eighth swing clip the ball keeps its line; earlier it goes toward the bowling
// hand's far side, later toward its near side; no release key: the tenth clip releases. The
// hook counts 10 ms ticks of a held Shift key (both count as Left) in a window of one pause,
// held open through the hook sound once a hook began. A ball released in the gutter stays there.
TEST(Delivery, TheSwingAndTheHookMoveTheBall) {
  // method, left hand, stop at, release clip, left and right Shift held (ms), hook, end at
  const std::vector<std::array<int, 8>> cases = {
      {2, 0, 10, 8, 0, 0, 0, 10},    {2, 0, 10, 3, 0, 0, 0, 15},  {2, 0, 10, 10, 0, 0, 0, 8},
      {2, 1, 10, 3, 0, 0, 0, 5},     {2, 0, 10, 7, 0, 0, 0, 11},  {2, 0, 16, 1, 0, 0, 0, 20},
      {2, 0, 10, 0, 0, 0, 0, 8},     {1, 0, 10, 0, 0, 45, 4, 10}, {1, 0, 10, 0, 45, 0, -4, 10},
      {1, 0, 10, 0, 45, 45, -4, 10}, {1, 0, 10, 0, 0, 95, 9, 14}, {1, 0, 1, 0, 0, 95, 9, 1},
  };
  for (const auto& [method, left, stopAt, clip, holdLeft, holdRight, hook, endAt] : cases) {
    SCOPED_TRACE(::testing::Message() << "method " << method << " at " << stopAt << " clip " << clip
                                      << " hook " << hook);
    GameWorld w;
    w.session.PlayMethod = static_cast<std::int16_t>(method);
    w.roster.Players(1).SetLefthanded(left != 0);
    w.bot.Balls = {Ball{stopAt, {}, clip, holdLeft, holdRight}};
    w.PlayTurn(3);
    const bool gutter = endAt < 2 || endAt > 18;  // else the pins are left
    const auto roll = w.announcer.Of("PlayRollSound");
    const auto end = w.announcer.Of(gutter ? "PlayGutterBall" : "AnnounceLeave");
    ASSERT_FALSE(roll.empty() || end.empty());
    EXPECT_EQ(roll.front().Position, stopAt);
    EXPECT_EQ(roll.front().Hook, hook);
    EXPECT_EQ(end.front().Position, endAt);
    EXPECT_EQ(w.bot.HookTimerOutsideWindow, 0) << "the hook timer runs in the window only";
    std::string swing;
    for (int k = 1; method == 2 && k <= (clip == 0 ? 10 : clip); ++k)
      swing += "sw1" + std::to_string(k) + " ";
    EXPECT_TRUE(w.Heard("BallBuffer").starts_with(swing + (hook != 0 ? "hook roll" : "roll")));
  }
}

// Each skill marks its own landmarks; each tone is panned where the ball would go, and the ball
// goes where the tone was heard: the stop key comes within a tick of tone 10 starting, so heard
// 150 ms late it is still 9.
TEST(Delivery, LandmarksAndPansOfTheAimTonesAndTheBallGoesWhereTheToneWasHeard) {
  const std::string marks[] = {"00001010101", "000010101000101010000", "000010100000001010000",
                               "000010000000000010000", "000000000000000000000"};
  for (int skill = 1; skill <= 5; ++skill) {
    SCOPED_TRACE(skill);
    GameWorld w(1, 0, skill == 1 ? 150 : 0);
    w.session.SkillLevel = static_cast<std::int16_t>(skill);
    const std::string& expected = marks[skill - 1];  // the first ball's tones, to its stop key
    w.bot.Balls = {At(static_cast<int>(expected.size()) - 1)};
    w.PlayTurn(3);
    std::string heard;
    for (const TraceEvent& e : w.EventsOf("play")) {
      if (!e.Fields[0].starts_with("AimBuffers") || heard.size() >= expected.size()) continue;
      EXPECT_EQ(e.Fields[3], std::to_string(500 * static_cast<int>(heard.size()) - 5000));
      heard += e.Fields[0] == "AimBuffers[1]" ? '1' : '0';
    }
    EXPECT_EQ(heard, expected);
    ASSERT_FALSE(w.announcer.Of("PlayRollSound").empty());
    EXPECT_EQ(w.announcer.Of("PlayRollSound").front().Position, skill == 1 ? 9 : 20);
  }
}

TEST(Delivery, AMissingAimToneIsToldOnceABallAndTheSweepKeepsItsPace) {
  GameWorld w(1, GameWorld::kOwnSounds);
  const std::string tone = (w.F.PlayFolder / "aim11.wav").string();
  std::filesystem::remove(tone);
  w.bot.Balls = {At(20), At(20)};
  w.PlayTurn(3);
  // At loading, then once for each ball; the plain tone stands in at every landmark.
  EXPECT_EQ(w.Errors(), (Strings{tone, tone, tone}));
  EXPECT_EQ(w.PlaysOn("AimBuffers[0]").size(), 42u);
  EXPECT_EQ(w.announcer.Of("PlayGutterBall").size(), 2u);

  // With no tone at all, the sweep goes on in silence at the tone's pace (260 ms at skill 1).
  std::filesystem::remove(w.F.PlayFolder / "aim01.wav");
  w.engine.AimBuffers[0].Buffer.reset();  // as in a game where it never loaded
  w.announcer.Calls.clear();
  w.bot.Balls = {At(20)};
  const long from = static_cast<long>(w.platform.Trace.Events().size());
  w.PlayTurn(3);
  ASSERT_EQ(w.announcer.Of("PlayGutterBall").size(), 1u);
  EXPECT_EQ(w.announcer.Of("PlayGutterBall").front().Position, 20);
  EXPECT_EQ(w.PlaysOn("AimBuffers[0]").size(), 42u);
  const auto& events = w.platform.Trace.Events();  // at() fails the test on a missing key
  const auto space = static_cast<std::size_t>(w.IndexOf("key", "32", from));
  const auto stop = static_cast<std::size_t>(w.IndexOf("key", "40", from));
  EXPECT_NEAR(events.at(stop).Ms - events.at(space).Ms, 400 + 20 * 260, 40);  // buzzer, tones
}

}  // namespace
}  // namespace strikora::testing
