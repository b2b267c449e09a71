// The lane's keys, its reports and the sponsor's break, pressed by hand.
#include <gtest/gtest.h>

#include "platform/Keys.h"
#include "tests/game/GameWorld.h"

namespace strikora::testing {
namespace {

using Strings = std::vector<std::string>;

// A lane waiting for bowler 1's first ball of the frame, with no bot.
void Waiting(GameWorld& w, int frame = 5) {
  w.bot.Stop();
  w.lane.Show();
  w.session.CurrentFrame = static_cast<std::int16_t>(frame);
  w.roster.SetCurrentPlayer(1);
  w.session.WaitingForThrow = true;
}

// What one key said on the announcer and number slots.
Strings Heard(GameWorld& w, int key, int shift = 0) {
  const std::size_t from = w.platform.Trace.Events().size();
  w.lane.Form_KeyDown(key, shift);
  Strings out;
  const auto& events = w.platform.Trace.Events();
  for (std::size_t i = from; i < events.size(); ++i) {
    const TraceEvent& e = events[i];
    if (e.Kind == "play" && (e.Fields[0] == "AnnouncerBuffer" || e.Fields[0] == "NumberBuffer")) {
      out.push_back(std::filesystem::path(e.Fields[1]).filename().string());
    }
  }
  return out;
}

TEST(LaneKeys, EachReportSaysWhatItNamesAndTheLaneListensAgain) {
  GameWorld w;
  Waiting(w);
  w.roster.Players(1).AddScore(5, 7, 0);
  w.session.ReleasePosition = 13;
  w.world.SetLocalTime({2026, 12, 6, 14, 20, 0});
  const Strings frame = {"fn1.wav", "A.wav", "frmscor.wav", "7.wav"};
  const Strings game = {"fn1.wav", "A.wav", "gamscor.wav", "7.wav"};
  // T while the next bowler is awaited gives the remark of a turn's first ball.
  const std::vector<std::tuple<int, Strings, std::string, bool>> cases = {
      {vk::F(1), {"help1.wav"}, "", false},
      {vk::Letter('H'), {"help2.wav"}, "", false},
      {vk::F(2), {"stndpin.wav"}, "SpeakStandingPins", false},
      {vk::Letter('P'), {"stndpin.wav"}, "SpeakStandingPins", false},
      {vk::F(3), frame, "", false},
      {vk::Letter('S'), frame, "", false},
      {vk::F(4), game, "AnnounceStreak", false},
      {vk::Letter('T'), game, "AnnounceStreak", false},
      {vk::Letter('T'), game, "AnnounceStreak", true},
      {vk::F(5), {"13.wav"}, "", false},
      {vk::F(6), {"isup1.wav"}, "AnnouncePlayerUp", false},
      {vk::Letter('R'), {"isup1.wav"}, "AnnouncePlayerUp", false},
      {vk::F12, {"2.wav", "20.wav"}, "", false},
      {vk::Letter('Q'), {}, "", false},
  };
  for (const auto& [key, heard, call, enter] : cases) {
    SCOPED_TRACE(::testing::Message() << key << (enter ? " awaiting Enter" : ""));
    w.session.WaitingForThrow = !enter;
    w.session.AwaitingNextPlayer = enter;
    w.session.BallNumber = enter ? 2 : 0;
    w.random.Push(0.5);  // numbers in the plain voice
    w.random.Push(0.5);
    w.announcer.Calls.clear();
    EXPECT_EQ(Heard(w, key), heard);
    const auto& calls = w.announcer.Calls;  // the call, seen on a turn's first ball
    EXPECT_EQ(calls.empty() ? "" : calls[0].Name + " " + std::to_string(calls[0].Ball),
              call.empty() ? "" : call + " 0");
    EXPECT_FALSE(w.engine.Busy);
    EXPECT_EQ(w.session.WaitingForThrow, !enter);
    while (w.random.Remaining() > 0) (void)w.random.Rnd();
  }
}

// The reminders count on from wait to wait: seven while Space is awaited, six while Enter is,
// each round starting again; Escape and N bring them back.
TEST(LaneKeys, AnIdleBowlerIsRemindedEveryThirtySeconds) {
  GameWorld w;
  w.bot.Balls = {At(2).Wait(7 * 30000 + 1000), Miss(), At(2).Wait(100000)};
  w.bot.EnterWaitMs = 7 * 30000 + 1000;
  w.bot.Answers = {false, true};
  // Frame 2: Escape and N once the ball's call is over, then Escape at the next reminder.
  w.world.PressKeyWhenClipStarts("1stball1.wav", vk::Escape, 0, 500, 2);
  w.world.PressKeyWhenClipStarts("imp1.wav", vk::Escape, 0, 10, 2);
  w.game.StartGame();
  Strings heard;
  for (const std::string& clip : w.PlaysOn("AnnouncerBuffer")) {
    if (clip.starts_with("imp")) heard.push_back(clip);
  }
  EXPECT_EQ(heard, (Strings{"imp1.wav", "imp2.wav", "imp3.wav", "imp4.wav", "imp5.wav", "imp6.wav",
                            "imp7.wav", "imp21.wav", "imp22.wav", "imp23.wav", "imp24.wav",
                            "imp25.wav", "imp26.wav", "imp21.wav", "imp1.wav"}));
  EXPECT_EQ(w.announcer.Of("AnnounceFrame").size(), 2u);
  EXPECT_EQ(w.bot.RemindersOutsideWaits, 0);
}

TEST(LaneKeys, TheGameScoreLeavesOutTwoStrikesStillWaitingForTheirBonus) {
  using Balls = std::vector<std::array<int, 3>>;  // frame, pins, ball
  const std::vector<std::tuple<Balls, int, std::string>> cases = {
      {{{1, 3, 0}, {1, 4, 1}, {3, 10, 0}, {4, 10, 0}}, 5, "7.wav"},  // strikes in 3 and 4
      {{{3, 3, 0}, {3, 4, 1}, {4, 10, 0}}, 5, "17.wav"},             // a strike in 4 alone
      {{{1, 5, 0}, {1, 5, 1}}, 2, "0.wav"},                          // a spare in frame 1
      {{{1, 3, 0}, {1, 4, 1}}, 2, "7.wav"},
  };
  GameWorld w;
  for (const auto& [balls, frame, heard] : cases) {
    SCOPED_TRACE(heard + " in frame " + std::to_string(frame));
    Waiting(w, frame);
    w.roster.Players(1).ResetScore();
    for (const auto& [f, pins, ball] : balls) w.roster.Players(1).AddScore(f, pins, ball);
    w.random.Push(0.5);
    EXPECT_EQ(Heard(w, vk::F(4)), (Strings{"fn1.wav", "A.wav", "gamscor.wav", heard}));
  }
}

TEST(LaneKeys, WhileAReportRunsOnlyCtrlActsAndAFailingReportLeavesTheLaneListening) {
  GameWorld w(1, GameWorld::kOwnSounds);
  Waiting(w);
  w.world.PressKeyWhenClipStarts("help1.wav", vk::Letter('P'), 0, 50);
  w.world.PressKeyWhenClipStarts("help1.wav", vk::Control, mod::Ctrl, 100);
  const std::int64_t start = w.Now();
  EXPECT_EQ(Heard(w, vk::F(1)), Strings{"help1.wav"});  // P ignored, Ctrl cut it short
  EXPECT_EQ(w.Now() - start, 100);

  // Enter does not take a throw, nor Space the next bowler.
  EXPECT_EQ(Heard(w, vk::Enter), Strings{});
  EXPECT_TRUE(w.session.WaitingForThrow);
  w.session.WaitingForThrow = false;
  w.session.AwaitingNextPlayer = true;
  (void)Heard(w, vk::Space);
  EXPECT_TRUE(w.session.AwaitingNextPlayer);
  w.session.AwaitingNextPlayer = false;
  w.session.WaitingForThrow = true;

  // A frame score of 0 with no "0" to say it: logged, and the lane still listens.
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
        std::tuple{vk::PageUp, "MusicBuffer", -2250, -1000}}) {
    w.platform.Trace.Clear();
    for (int i = 0; i < 7; ++i) w.lane.Form_KeyDown(key, 0);  // the seventh: no change
    std::vector<int> v;
    for (const TraceEvent& e : w.EventsOf("volume"))
      if (e.Fields[0] == slot) v.push_back(std::stoi(e.Fields[1]));
    ASSERT_EQ(v.size(), 6u) << slot;
    EXPECT_EQ(v.front(), first);
    EXPECT_EQ(v.back(), last);
  }
  EXPECT_EQ(w.engine.AmbientLevel, 0);
}

TEST(Advert, ChosenByTheClockWithItsSpeedOnThePageKeys) {
  for (const auto& [minute, advert] :
       {std::pair{30, "advert10.mp3"}, std::pair{37, "advert7.mp3"}}) {
    GameWorld w;
    w.lane.Show();
    w.world.SetLocalTime({2026, 12, 6, 14, minute, 0});
    // The advert runs from 900 ms after the sponsor's call: four presses up, nine down to a
    // pause, one back up.
    int at = 1000;
    for (const int n : {4, 9, 1}) {
      for (int i = 0; i < n; ++i) {
        w.world.PressKeyWhenClipStarts("wordfrom.wav", n == 9 ? vk::PageDown : vk::PageUp, 0,
                                       at += 50);
      }
    }
    w.game.PlayAdvertBreak();
    Strings loads, rates;
    for (const TraceEvent& e : w.EventsOf("mp3")) {
      if (e.Fields[0] == "load") loads.push_back(std::filesystem::path(e.Fields[1]).filename());
      if (e.Fields[0] == "rate") rates.push_back(e.Fields[1]);
    }
    EXPECT_EQ(loads, (Strings{advert, "logos.mp3"}));
    EXPECT_EQ(rates, (Strings{"1", "1.25", "1.5", "1.75", "2", "1.75", "1.5", "1.25", "1", "0.75",
                              "0.5", "0.25", "0", "0", "0.25", "1"}));
    EXPECT_TRUE(w.lane.tmrOHS.Enabled() && w.lane.tmrAmbient[2].Enabled());  // the alley is back,
    EXPECT_FALSE(w.lane.tmrImpatient.Enabled());                             // not the reminder
    EXPECT_EQ(w.PlaysOn("BackgroundBuffer"), Strings{"alley.wav"});
  }
}

}  // namespace
}  // namespace strikora::testing
