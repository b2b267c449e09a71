// The lane's keys and timers on the simulated desktop.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Keys.h"
#include "tests/game/GameWorld.h"

namespace strikora::testing {
namespace {

using Strings = std::vector<std::string>;

// A lane waiting for the bowler's first ball of frame 5.
void Waiting(GameWorld& w, int frame = 5) {
  w.bot.Stop();
  w.lane.Show();
  w.session.CurrentFrame = static_cast<std::int16_t>(frame);
  w.roster.SetCurrentPlayer(1);
  w.session.WaitingForThrow = true;
}

// What one key said, on the announcer and number slots, from the trace's end.
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
  w.platform.Trace.Clear();
  w.world.SetLocalTime({2026, 12, 6, 14, 20, 0});
  struct Case {
    int key;
    Strings heard;
    const char* call;  // the announcer's part, if any
  };
  const Case cases[] = {
      {vk::F(1), {"help1.wav"}, nullptr},
      {vk::Letter('H'), {"help2.wav"}, nullptr},
      {vk::F(2), {"stndpin.wav"}, "SpeakStandingPins"},
      {vk::Letter('P'), {"stndpin.wav"}, "SpeakStandingPins"},
      {vk::F(3), {"fn1.wav", "A.wav", "frmscor.wav", "7.wav"}, nullptr},
      {vk::Letter('S'), {"fn1.wav", "A.wav", "frmscor.wav", "7.wav"}, nullptr},
      {vk::F(4), {"fn1.wav", "A.wav", "gamscor.wav", "7.wav"}, "AnnounceStreak"},
      {vk::Letter('T'), {"fn1.wav", "A.wav", "gamscor.wav", "7.wav"}, "AnnounceStreak"},
      {vk::F(5), {"13.wav"}, nullptr},
      {vk::F(6), {"isup1.wav"}, "AnnouncePlayerUp"},
      {vk::Letter('R'), {"isup1.wav"}, "AnnouncePlayerUp"},
      {vk::F12, {"2.wav", "20.wav"}, nullptr},
      {vk::Letter('Q'), {}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    for (int i = 0; i < 2; ++i) w.random.Push(0.5);  // numbers in the plain voice
    w.announcer.Calls.clear();
    EXPECT_EQ(Heard(w, c.key), c.heard);
    EXPECT_EQ(w.announcer.Calls.size(), c.call != nullptr ? 1u : 0u);
    if (c.call != nullptr && !w.announcer.Calls.empty()) {
      EXPECT_EQ(w.announcer.Calls[0].Name, c.call);
    }
    EXPECT_FALSE(w.engine.Busy);
    EXPECT_TRUE(w.session.WaitingForThrow);
    while (w.random.Remaining() > 0) (void)w.random.Rnd();
  }
}

TEST(LaneKeys, TheGameScoreLeavesOutTwoStrikesStillWaitingForTheirBonus) {
  struct Case {
    const char* name;
    std::vector<std::array<int, 3>> balls;  // frame, pins, ball
    int frame;
    const char* heard;
  };
  const Case cases[] = {
      {"frame 5 after strikes in 3 and 4",
       {{1, 3, 0}, {1, 4, 1}, {3, 10, 0}, {4, 10, 0}},
       5,
       "7.wav"},
      {"frame 5 after a strike in 4 alone", {{3, 3, 0}, {3, 4, 1}, {4, 10, 0}}, 5, "17.wav"},
      {"frame 2 after a spare in 1", {{1, 5, 0}, {1, 5, 1}}, 2, "0.wav"},
      {"frame 2 after an open frame 1", {{1, 3, 0}, {1, 4, 1}}, 2, "7.wav"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameWorld w;
    Waiting(w, c.frame);
    for (const auto& [frame, pins, ball] : c.balls) w.roster.Players(1).AddScore(frame, pins, ball);
    w.random.Push(0.5);
    EXPECT_EQ(Heard(w, vk::F(4)), (Strings{"fn1.wav", "A.wav", "gamscor.wav", c.heard}));
  }
}

TEST(LaneKeys, WhileAReportRunsOnlyCtrlActsAndAFailingReportLeavesTheLaneListening) {
  GameWorld w(1, GameWorld::kOwnSounds);
  Waiting(w);
  // Busy: P is ignored, Ctrl cuts the help short.
  w.world.PressKeyWhenClipStarts("help1.wav", vk::Letter('P'), 0, 50);
  w.world.PressKeyWhenClipStarts("help1.wav", vk::Control, mod::Ctrl, 100);
  const std::int64_t start = w.Now();
  EXPECT_EQ(Heard(w, vk::F(1)), Strings{"help1.wav"});
  EXPECT_EQ(w.Now() - start, 100);

  // Space waits for a throw, Enter for the next bowler: neither answers the other.
  EXPECT_EQ(Heard(w, vk::Enter), Strings{});
  EXPECT_TRUE(w.session.WaitingForThrow);
  w.session.WaitingForThrow = false;
  w.session.AwaitingNextPlayer = true;
  EXPECT_EQ(Heard(w, vk::Space), Strings{});
  EXPECT_TRUE(w.session.AwaitingNextPlayer);
  w.session.AwaitingNextPlayer = false;
  w.session.WaitingForThrow = true;

  // The frame score cannot be spoken without its number: told by the log, and the lane
  // listens again.
  for (const char* voice : {"0.wav", "0f.wav", "0p.wav"}) {
    std::filesystem::remove(w.F.NumbersFolder / voice);
  }
  (void)Heard(w, vk::F(3));
  EXPECT_FALSE(w.engine.Busy);
  ASSERT_EQ(w.LogHeadings().size(), 1u);
  EXPECT_NE(w.LogHeadings()[0].find("[SpeakFrameScore]"), std::string::npos);
  (void)Heard(w, vk::Space);
  EXPECT_FALSE(w.session.WaitingForThrow);
}

TEST(LaneKeys, PageKeysStepTheAlleyAndItsMusicWithinTheirRange) {
  GameWorld w;
  Waiting(w);
  w.engine.StartAlleyAmbience();
  const auto volumes = [&w](const std::string& slot) {
    Strings out;
    for (const TraceEvent& e : w.EventsOf("volume")) {
      if (e.Fields[0] == slot) out.push_back(e.Fields[1]);
    }
    return out;
  };
  w.platform.Trace.Clear();
  for (int i = 0; i < 7; ++i) w.lane.Form_KeyDown(vk::PageDown, 0);
  EXPECT_EQ(volumes("BackgroundBuffer"),
            (Strings{"-1750", "-2000", "-2250", "-2500", "-2750", "-3000"}));
  EXPECT_EQ(volumes("MusicBuffer"),
            (Strings{"-1250", "-1500", "-1750", "-2000", "-2250", "-2500"}));
  w.platform.Trace.Clear();
  for (int i = 0; i < 7; ++i) w.lane.Form_KeyDown(vk::PageUp, 0);
  EXPECT_EQ(volumes("BackgroundBuffer").back(), "-1500");
  EXPECT_EQ(volumes("MusicBuffer").back(), "-1000");
  EXPECT_EQ(volumes("MusicBuffer").size(), 6u);
  EXPECT_EQ(w.engine.AmbientLevel, 0);
}

TEST(LaneTimers, TheRemindersTakeTurnsFromOneCounterAndStopWhenTheirKeyIsTaken) {
  GameWorld w;
  Waiting(w);
  w.lane.tmrImpatient.Tag = "6";
  w.lane.tmrImpatient.SetEnabled(true);
  w.platform.Windows.WaitUntil([&w] { return w.PlaysOn("AnnouncerBuffer").size() == 2; });
  w.session.WaitingForThrow = false;
  w.session.AwaitingNextPlayer = true;
  w.platform.Windows.WaitUntil([&w] { return w.PlaysOn("AnnouncerBuffer").size() == 4; });
  EXPECT_EQ(w.PlaysOn("AnnouncerBuffer"),
            (Strings{"imp6.wav", "imp7.wav", "imp21.wav", "imp22.wav"}));
  EXPECT_EQ(w.Now(), 4 * 30000 + 400);  // every 30 s, the last prompt heard out
  EXPECT_EQ(w.lane.tmrImpatient.Tag, "3");
  // Enter takes the key: the reminders stop.
  w.lane.Form_KeyDown(vk::Enter, 0);
  EXPECT_FALSE(w.lane.tmrImpatient.Enabled());
}

TEST(Advert, ChosenByTheClockWithItsSpeedOnThePageKeys) {
  for (const auto& [minute, advert] :
       {std::pair{30, "advert10.mp3"}, std::pair{37, "advert7.mp3"}}) {
    GameWorld w;
    w.lane.Show();
    w.world.SetLocalTime({2026, 12, 6, 14, minute, 0});
    // After the sponsor's call and its pause, the advert runs: four presses up, then down to
    // a pause and one step back up.
    int at = 1000;
    for (int i = 0; i < 4; ++i)
      w.world.PressKeyWhenClipStarts("wordfrom.wav", vk::PageUp, 0, at += 50);
    for (int i = 0; i < 9; ++i)
      w.world.PressKeyWhenClipStarts("wordfrom.wav", vk::PageDown, 0, at += 50);
    w.world.PressKeyWhenClipStarts("wordfrom.wav", vk::PageUp, 0, at += 50);
    w.game.PlayAdvertBreak();

    Strings loads, rates;
    for (const TraceEvent& e : w.EventsOf("mp3")) {
      if (e.Fields[0] == "load") loads.push_back(std::filesystem::path(e.Fields[1]).filename());
      if (e.Fields[0] == "rate") rates.push_back(e.Fields[1]);
    }
    EXPECT_EQ(loads, (Strings{advert, "logos.mp3"}));
    EXPECT_EQ(rates, (Strings{"1", "1.25", "1.5", "1.75", "2", "1.75", "1.5", "1.25", "1", "0.75",
                              "0.5", "0.25", "0", "0", "0.25", "1"}));
    // The alley comes back with its timers, not the reminder.
    EXPECT_TRUE(w.lane.tmrOHS.Enabled() && w.lane.tmrAmbient[2].Enabled());
    EXPECT_FALSE(w.lane.tmrImpatient.Enabled());
    EXPECT_FALSE(w.session.MP3Playing);
    EXPECT_EQ(w.PlaysOn("BackgroundBuffer"), Strings{"alley.wav"});
  }
}

}  // namespace
}  // namespace strikora::testing
