// Turns, balls and deliveries on the simulated desktop, played by the bot with scripted draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "tests/game/GameWorld.h"

namespace strikora::testing {
namespace {

using Ints = std::vector<int>;

int Count(const std::vector<std::string>& clips, const std::string& name) {
  return static_cast<int>(std::count(clips.begin(), clips.end(), name));
}

const Ball kSix = At(10, {0.595, 0.795});      // leaves 3, 6, 9, 10
const Ball kFourOfSix = At(12, {0.5, 0.995});  // takes 3, 6, 9, 10
const Ball kGutter = At(1);
const Ball kLost = At(-1);

TEST(Turn, EndsAfterAStrikeOrTwoBallsAndTheTenthGivesItsExtraBalls) {
  struct Case {
    const char* name;
    int frame;
    std::vector<Ball> balls;
    Ints ballNumbers;  // as each ball is called
    Ints standing;     // pins standing as each ball is called
    int finalBall;
    int buzzers;
    int frameScore;
  };
  const Case cases[] = {
      {"frame 3: a strike ends the turn", 3, {Strike()}, {0}, {10}, 2, 0, 10},
      {"frame 3: two balls, whatever they fell", 3, {kSix, Miss()}, {0, 1}, {10, 4}, 2, 0, 6},
      {"frame 3: a gutter ball, then a lost ball buzzed once",
       3,
       {kGutter, kLost},
       {0, 1},
       {10, 10},
       2,
       1,
       0},
      {"tenth: strike, 6, miss; the rack is reset after the strike only",
       10,
       {Strike(), kSix, Miss()},
       {0, 2, 4},
       {10, 10, 4},
       6,
       0,
       16},
      {"tenth: three strikes, a fresh rack for each",
       10,
       {Strike(), Strike(), Strike()},
       {0, 2, 4},
       {10, 10, 10},
       6,
       0,
       30},
      {"tenth: strike, gutter, lost: still three deliveries",
       10,
       {Strike(), kGutter, kLost},
       {0, 2, 4},
       {10, 10, 10},
       6,
       1,
       10},
      {"tenth: a spare gets one bonus ball on a fresh rack",
       10,
       {kSix, kFourOfSix, Strike()},
       {0, 1, 2},
       {10, 4, 10},
       3,
       0,
       20},
      {"tenth: open after two balls", 10, {kSix, Miss()}, {0, 1}, {10, 4}, 2, 0, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameWorld w;
    w.bot.Balls.assign(c.balls.begin(), c.balls.end());
    w.PlayTurn(c.frame);

    Ints balls, standing;
    for (const Call& call : w.announcer.Of("AnnounceBall")) {
      balls.push_back(call.Ball);
      standing.push_back(call.Standing);
    }
    EXPECT_EQ(balls, c.ballNumbers);
    EXPECT_EQ(standing, c.standing);
    EXPECT_EQ(w.session.BallNumber, c.finalBall);
    const auto speech = w.PlaysOn("SpeechBuffer");
    EXPECT_EQ(Count(speech, "buzzer.wav"), c.buzzers);
    EXPECT_EQ(Count(speech, "ballret.wav"), static_cast<int>(c.ballNumbers.size()) - 1);
    EXPECT_EQ(w.roster.Players(1).GetFrameScore(c.frame), c.frameScore);
    EXPECT_EQ(w.random.Remaining(), 0u);
    EXPECT_FALSE(w.session.Aiming || w.session.Swinging || w.session.WaitingForThrow);
  }
}

TEST(Delivery, TheSwingMovesTheBallByTheReleaseClipAndTheHand) {
  struct Case {
    bool lefthanded;
    int stopAt, releaseOn;  // 0: no release key
    int position;
    bool gutter;
  };
  const Case cases[] = {
      {false, 10, 8, 10, false}, {false, 10, 3, 15, false}, {false, 10, 10, 8, false},
      {true, 10, 3, 5, false},   {false, 16, 1, 20, true},  {false, 10, 0, 8, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("stop " + std::to_string(c.stopAt) + ", clip " + std::to_string(c.releaseOn));
    GameWorld w;
    w.session.PlayMethod = 2;
    w.roster.Players(1).SetLefthanded(c.lefthanded);
    w.bot.Balls = {At(c.stopAt).Release(c.releaseOn)};
    w.PlayTurn(3);

    const auto end = w.announcer.Of(c.gutter ? "PlayGutterBall" : "AnnounceLeave");
    ASSERT_FALSE(end.empty());
    EXPECT_EQ(end.front().Position, c.position);
    const int clips = c.releaseOn == 0 ? 10 : c.releaseOn;
    const auto ball = w.PlaysOn("BallBuffer");
    ASSERT_GT(ball.size(), static_cast<std::size_t>(clips));
    for (int k = 1; k <= clips; ++k) EXPECT_EQ(ball[k - 1], "sw1" + std::to_string(k) + ".wav");
    EXPECT_EQ(ball[clips], "roll.wav");
    EXPECT_EQ(w.announcer.Of("PlayRollSound").front().Position, c.stopAt);
  }
}

TEST(Delivery, TheHookCountsEachTenMillisecondTickAShiftKeyIsHeld) {
  struct Case {
    int leftMs, rightMs, hook;
  };
  // The window is one silence (100 ms) long, and stays open through the hook sound once a
  // hook has begun; both keys held count as Left.
  const Case cases[] = {{0, 0, 0}, {0, 45, 4}, {45, 0, -4}, {45, 45, -4}, {0, 95, 9}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.leftMs) + " ms left, " + std::to_string(c.rightMs) + " right");
    GameWorld w;
    w.bot.Balls = {At(10).Hold(c.leftMs, c.rightMs)};
    w.PlayTurn(3);
    const auto roll = w.announcer.Of("PlayRollSound");
    ASSERT_FALSE(roll.empty());
    EXPECT_EQ(roll.front().Hook, c.hook);
    EXPECT_EQ(w.announcer.Of("PlayHookSound").size(), c.hook != 0 ? 1u : 0u);
    EXPECT_EQ(w.bot.HookTimerOutsideWindow, 0) << "the hook timer runs only in the window";
    EXPECT_FALSE(w.lane.tmrHook.Enabled());
  }
}

TEST(Delivery, EachSkillMarksItsLandmarksOnTheSweep) {
  const std::vector<std::set<int>> landmarks = {
      {4, 6, 8, 10, 12, 14, 16}, {4, 6, 8, 12, 14, 16}, {4, 6, 14, 16}, {4, 16}, {}};
  for (int skill = 1; skill <= 5; ++skill) {
    SCOPED_TRACE("skill " + std::to_string(skill));
    GameWorld w;
    w.session.SkillLevel = static_cast<std::int16_t>(skill);
    w.bot.Balls = {At(20)};
    w.PlayTurn(3);
    std::vector<TraceEvent> tones;
    for (const TraceEvent& e : w.EventsOf("play")) {
      if (e.Fields[0].starts_with("AimBuffers")) tones.push_back(e);
    }
    ASSERT_GE(tones.size(), 21u);
    for (int p = 0; p <= 20; ++p) {
      const TraceEvent& e = tones[static_cast<std::size_t>(p)];
      const int t = landmarks[static_cast<std::size_t>(skill - 1)].count(p) ? 1 : 0;
      EXPECT_EQ(e.Fields[0], "AimBuffers[" + std::to_string(t) + "]") << p;
      EXPECT_EQ(std::filesystem::path(e.Fields[1]).filename(),
                "aim" + std::to_string(t) + std::to_string(skill) + ".wav");
      EXPECT_EQ(e.Fields[3], std::to_string(p * 500 - 5000));
    }
  }
}

TEST(Delivery, TheBallGoesWhereTheToneWasHeard) {
  // The stop key comes within a tick of tone 10 starting: with the sound heard 150 ms late,
  // the bowler still hears tone 9.
  for (const auto& [latency, heard] : {std::pair{0, 10}, std::pair{150, 9}}) {
    GameWorld w(1, 0, latency);
    w.bot.Balls = {At(10)};
    w.PlayTurn(3);
    EXPECT_EQ(w.announcer.Calls.size() > 0, true);
    EXPECT_EQ(w.announcer.Of("PlayRollSound").front().Position, heard) << latency;
  }
}

TEST(Delivery, AMissingAimToneIsToldOnceABallAndTheSweepKeepsGoing) {
  GameWorld w(1, GameWorld::kOwnSounds);
  std::filesystem::remove(w.F.PlayFolder / "aim11.wav");
  w.bot.Balls = {At(20), At(20)};
  w.PlayTurn(3);
  // Logged at loading, then once for each of the two balls; every position still sounds.
  const auto headings = w.LogHeadings();
  ASSERT_EQ(headings.size(), 3u);
  for (const auto& h : headings) EXPECT_NE(h.find("aim11.wav"), std::string::npos) << h;
  EXPECT_EQ(Count(w.PlaysOn("AimBuffers[0]"), "aim01.wav"), 42);
  EXPECT_EQ(w.announcer.Of("PlayGutterBall").size(), 2u);

  // With no tone at all, the sweep keeps its pace in silence.
  GameWorld quiet(1, GameWorld::kOwnSounds);
  std::filesystem::remove(quiet.F.PlayFolder / "aim11.wav");
  std::filesystem::remove(quiet.F.PlayFolder / "aim01.wav");
  quiet.bot.Balls = {At(20)};
  quiet.PlayTurn(3);
  EXPECT_TRUE(quiet.PlaysOn("AimBuffers[0]").empty());
  const auto gutter = quiet.announcer.Of("PlayGutterBall");
  ASSERT_FALSE(gutter.empty());
  EXPECT_EQ(gutter.front().Position, 20);
}

}  // namespace
}  // namespace strikora::testing
