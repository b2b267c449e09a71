// The announcer and the lane's sounds in the game's world, with scripted draws: what the player
// hears, on which slot, at which pan and level, at each moment of a game. Every clip heard is
// one the default sound set names.
#include <gtest/gtest.h>

#include "tests/game/GameWorld.h"

namespace strikora::testing {
namespace {

using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

double Pick(int k, int n) {  // the draw that makes Between1And(n) come out as k
  return (k - 0.5) / n;
}
const double no = Pick(100, 100);

// Frames from 1 on: 'X' a strike, '/' a spare (5 and 5), '-' an open 3 and 4.
void Bowl(Player& p, const std::string& marks) {
  for (int f = 1; f <= static_cast<int>(marks.size()); ++f) {
    const char m = marks[static_cast<std::size_t>(f - 1)];
    p.AddScore(f, m == 'X' ? 10 : m == '/' ? 5 : 3, 0);
    if (m != 'X') p.AddScore(f, m == '/' ? 5 : 4, 1);
  }
}

// The game's world with bowler 1 up at frame `frame`, ball `ball`, on a full rack; shared clips
// lengthened (ms) or removed (0) for this lane alone.
struct Lane : GameWorld {
  explicit Lane(int frame = 1, int ball = 0, int bowlers = 1) : GameWorld(bowlers) {
    bot.Stop();
    session.ResetPins();
    session.CurrentFrame = static_cast<std::int16_t>(frame);
    session.BallNumber = static_cast<std::int16_t>(ball);
    roster.SetCurrentPlayer(1);
  }
  ~Lane() {
    for (const auto& file : changed_) WriteWav(file, 400);
  }
  void Change(const std::filesystem::path& file, int ms) {
    changed_.push_back(file);
    if (ms > 0) WriteWav(file, ms);
    if (ms == 0) std::filesystem::remove(file);
  }
  void Push(const std::vector<double>& draws) {
    for (const double r : draws) random.Push(r);
  }
  // The clips heard, by name, but the pauses; each one a clip of the default set.
  [[nodiscard]] Strings Heard(const std::string& slot = {}) const {
    Strings out;
    for (const TraceEvent& e : EventsOf("play")) {
      const std::filesystem::path file(e.Fields[1]);
      if (file.filename() == "silence.wav" || !(slot.empty() || e.Fields[0] == slot)) continue;
      EXPECT_TRUE(Listed(file)) << file;
      out.push_back(file.filename().string());
    }
    return out;
  }
  [[nodiscard]] Ints Changes(const std::string& kind, const std::string& slot) const {
    Ints out;
    for (const TraceEvent& e : EventsOf(kind)) {
      if (e.Fields[0] == slot) out.push_back(std::stoi(e.Fields[1]));
    }
    return out;
  }
  // The first play of a clip: when (-1 if never), and at which volume and pan.
  [[nodiscard]] std::tuple<std::int64_t, int, int> PlayOf(const std::string& file) const {
    const long i = IndexOf("play", "/" + file);
    if (i < 0) return {-1, 1, 1};
    const TraceEvent& e = platform.Trace.Events()[static_cast<std::size_t>(i)];
    return {e.Ms, std::stoi(e.Fields[2]), std::stoi(e.Fields[3])};
  }
  [[nodiscard]] std::int64_t StartOf(const std::string& f) const { return std::get<0>(PlayOf(f)); }
  [[nodiscard]] int PanOf(const std::string& f) const { return std::get<2>(PlayOf(f)); }

 private:
  std::vector<std::filesystem::path> changed_;
};

TEST(Commentary, BowlerUpNameOrderStreakRemarksBallCallsAndTheNextBowler) {
  struct Case {
    int frame, ball;
    std::string marks;
    bool female;
    int k;  // the "is up" line: 1..3 follow the name, 4..6 lead into it
    const char* streak;
  };
  const std::vector<Case> cases = {
      {1, 0, "", false, 1, nullptr},                 // no remark in the first frame
      {2, 0, "X", false, 4, "mwstrk.wav"},           // and no double in the second
      {2, 0, "/", true, 3, "fwspr.wav"},             //
      {3, 0, "XX", true, 6, "fw2strk.wav"},          // the double over the strike
      {3, 0, "-X", false, 2, "mwstrk.wav"},          //
      {3, 0, "X-", false, 5, nullptr},               // only the frame before counts alone
      {3, 0, "X/", false, 2, "mwspr.wav"},           // the spare decides
      {3, 1, "XX", false, 2, nullptr},               // first ball only
      {10, 0, "XXXXXXXXX", true, 1, "fw2strk.wav"},  //
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(std::to_string(t.frame) + " " + t.marks);
    Lane w(t.frame, t.ball);
    w.roster.Players(1).SetFemale(t.female);
    Bowl(w.roster.Players(1), t.marks);
    w.Push({Pick(t.k, 6)});
    w.commentary.AnnounceFrame();
    w.commentary.AnnouncePlayerUp();
    Strings expected{"fn1.wav", "A.wav"};
    expected.insert(t.k <= 3 ? expected.end() : expected.begin(),
                    "isup" + std::to_string(t.k) + ".wav");
    expected.insert(expected.begin(), "frame" + std::to_string(t.frame) + ".wav");
    if (t.streak != nullptr) expected.emplace_back(t.streak);
    EXPECT_EQ(w.Heard("AnnouncerBuffer"), expected);
  }
  // The ball's draw is made also for the extra ball; "etc" when the later bowlers sit out.
  const std::vector<std::tuple<int, std::string, int, Strings>> calls = {
      {0, "AAA", 1, {"1stball2.wav", "nxtplay2.wav"}},
      {1, "AIA", 1, {"2ndball2.wav", "nxtplay2.wav"}},
      {2, "AAA", 3, {"xtraball.wav", "etc.wav"}},
      {4, "AAII", 2, {"xtraball.wav", "etc.wav"}},
  };
  for (const auto& [ball, lineup, current, heard] : calls) {
    SCOPED_TRACE(lineup + " " + std::to_string(current));
    Lane w(1, ball, static_cast<int>(lineup.size()));
    for (std::size_t i = 0; i < lineup.size(); ++i) {
      w.roster.Players(static_cast<int>(i) + 1).SetIsActive(lineup[i] == 'A');
    }
    w.roster.SetCurrentPlayer(static_cast<std::int16_t>(current));
    w.Push({Pick(2, 3), Pick(2, 2)});
    w.commentary.AnnounceBall();
    w.commentary.AnnounceNextPlayer();
    EXPECT_EQ(w.Heard(), heard);
    EXPECT_EQ(w.random.Remaining(), heard[1] == "etc.wav" ? 1u : 0u);
  }
}

TEST(Commentary, TheRollGlidesFromTheLaneToThePinDeckAndFades) {
  struct Case {
    int position, rollMs, method, swing, thumbDraw;
    Strings heard;
    int firstPan, lastPan, ticks, lastVolume;
  };
  const std::vector<Case> cases = {
      {10, 400, 1, 0, 20, {"roll.wav"}, 0, 0, 4, -120},  // the centre stays put
      {0, 3000, 1, 0, 19, {"thumb.wav", "roll.wav"}, -4875, -1250, 30, -900},
      {20, 3000, 2, 9, 99, {"rollhard.wav"}, 4875, 1250, 30, -900},
      {20, 400, 2, 8, 99, {"roll.wav"}, 4875, 4500, 4, -120},
      {16, 400, 1, 10, 99, {"roll.wav"}, 2925, 2700, 4, -120},        // a swing of a past game
      {0, 40000, 1, 0, 99, {"roll.wav"}, -4875, 10000, 400, -10000},  // past centre, clamped
  };
  for (const Case& t : cases) {
    SCOPED_TRACE("position " + std::to_string(t.position));
    Lane w;
    w.Change(w.F.PlayFolder / t.heard.back(), t.rollMs);
    w.session.BallPosition = static_cast<std::int16_t>(t.position);
    w.session.PlayMethod = static_cast<std::int16_t>(t.method);
    w.session.SwingValue = static_cast<std::int16_t>(t.swing);
    w.Push({Pick(t.thumbDraw, 100)});
    w.commentary.PlayRollSound();
    EXPECT_EQ(w.Heard(), t.heard);
    EXPECT_EQ(w.PanOf(t.heard.front()), 500 * t.position - 5000);
    const Ints pans = w.Changes("pan", "BallBuffer");
    ASSERT_EQ(pans.size(), static_cast<std::size_t>(t.ticks));
    EXPECT_EQ(pans.front(), t.firstPan);
    EXPECT_EQ(pans.back(), t.lastPan);
    EXPECT_EQ(w.Changes("volume", "BallBuffer").back(), t.lastVolume);
  }
  // Another clip loaded into the ball's slot 150 ms in silences the roll: its glide ends with it.
  Lane w;
  w.Change(w.F.PlayFolder / "roll.wav", 1000);
  Timer key(w.platform.Windows, "key");
  key.SetInterval(150);
  key.OnTimer = [&] {
    key.SetEnabled(false);
    w.engine.Load(w.engine.BallBuffer, w.F.PlayFolder / "hook.wav")->Play(PlayMode::Once);
  };
  key.SetEnabled(true);
  w.Push({no});
  w.commentary.PlayRollSound();
  EXPECT_EQ(w.Heard(), (Strings{"roll.wav", "hook.wav"}));
  EXPECT_EQ(w.Now(), 200);
  EXPECT_EQ(w.Changes("volume", "BallBuffer"), (Ints{-30, -60}));
}

TEST(Commentary, TheGutterDriftsInwardAndTheRemarkComesOnTheFifthTick) {
  const std::vector<std::tuple<int, int, int, Strings, Ints>> cases = {
      {0, 1200, 3, {"gutter.wav", "g3.wav"}, {-4775, -4550, -4325, -4100, -3875}},
      {20, 800, 6, {"gutter.wav"}, {4775, 4550, 4325, 4100}},  // too short for a remark
      {19, 1000, 1, {"gutter.wav", "g1.wav"}, {4275, 4050, 3825, 3600, 3375}},
  };
  for (const auto& [position, ms, k, heard, pans] : cases) {
    SCOPED_TRACE(position);
    Lane w;
    w.Change(w.F.PlayFolder / "gutter.wav", ms);
    w.session.BallPosition = static_cast<std::int16_t>(position);
    w.Push({Pick(k, 6)});
    w.commentary.PlayGutterBall();
    EXPECT_EQ(w.Heard(), heard);  // nothing else: no pins, crowd or call
    EXPECT_EQ(w.PanOf("gutter.wav"), 500 * position - 5000);
    EXPECT_EQ(w.Changes("pan", "BallBuffer"), pans);
    EXPECT_EQ(w.random.Remaining(), 0u);
  }
}

TEST(Commentary, PinsCrowdCheersTurkeyAndStrikeCall) {
  struct Case {
    std::string marks;  // frames before the current one
    int frame, ball, pins, position, release, hook;
    std::vector<double> draws;
    Strings heard;
  };
  // clang-format off
  const std::vector<Case> cases = {
      // 3 pins: a cheer (29 < 30) from the far left, then the bowler's own fan.
      {"", 1, 0, 3, 12, 12, 0, {Pick(29, 100), Pick(4, 9), 0.0, Pick(25, 100), Pick(2, 2)},
       {"pin3.wav", "cheers2.wav", "cheer4.wav", "cheerm2.wav"}},
      {"", 1, 0, 2, 10, 10, 0, {Pick(20, 100), no}, {"pin2.wav", "cheers2.wav"}},  // 20 < 20
      // Third strike running: the turkey, then the call once the short roar is over.
      {"XX", 3, 0, 10, 11, 11, 0, {Pick(50, 100), Pick(1, 9), 0.5, no, 0.99, Pick(1, 2), 0.9},
       {"pin10.wav", "cheers1.wav", "cheer1.wav", "turkey.wav", "strkm1.wav", "prfaimm2.wav"}},
      // A hook to the left praises the aim; a right hook that finished left, the left hook.
      {"", 1, 0, 10, 8, 10, -6, {no, no, Pick(2, 2), Pick(1, 2)},
       {"pin10.wav", "cheers1.wav", "strkm2.wav", "prfaimm1.wav"}},
      {"", 1, 0, 10, 8, 10, 6, {no, no, Pick(2, 2), Pick(1, 2)},
       {"pin10.wav", "cheers1.wav", "strkm2.wav", "strklhm1.wav"}},
      // The spare's delivery gets the big roar; the tenth frame's bonus ball after it does not.
      {"", 4, 1, 4, 10, 10, 0, {no, no}, {"pin4.wav", "cheers1.wav"}},
      {"", 10, 2, 4, 10, 10, 0, {no, no}, {"pin4.wav", "cheers2.wav"}},
  };
  // clang-format on
  for (const Case& t : cases) {
    SCOPED_TRACE(std::to_string(t.frame) + " " + std::to_string(t.pins));
    Lane w(t.frame, t.ball);
    Player& p = w.roster.Players(1);
    Bowl(p, t.marks);
    if (t.pins == 10) p.AddScore(t.frame, 10, 0);
    if (t.ball >= 1) Bowl(p, std::string(static_cast<std::size_t>(t.frame - 1), '-') + "/");
    w.engine.Load(w.engine.MusicBuffer, w.F.AmbientFolder / "music1.wav")->SetPan(-1500);
    w.session.BallPosition = static_cast<std::int16_t>(t.position);
    w.session.ReleasePosition = static_cast<std::int16_t>(t.release);
    w.session.HookAmount = static_cast<std::int16_t>(t.hook);
    w.Push(t.draws);
    w.commentary.PlayPinfallAndCrowd(t.pins);
    EXPECT_EQ(w.Heard(), t.heard);
    EXPECT_EQ(w.random.Remaining(), 0u);
    EXPECT_EQ(w.PanOf(t.heard[0]), 125 * t.position - 1250);
    // The crowd finds its voice one pause per pin after the crash.
    EXPECT_EQ(w.StartOf(t.heard[1]), 100 * t.pins);
    if (t.pins == 3) {
      EXPECT_EQ(w.PanOf("cheer4.wav"), -5000);
      EXPECT_EQ(std::get<1>(w.PlayOf("cheerm2.wav")), -1000);
      EXPECT_EQ(w.PanOf("cheerm2.wav"), 3500);  // opposite the music
    }
  }
}

TEST(Commentary, TenPinsOnASecondBallGetTheStrikeCallOnceTheRoarPassesItsMark) {
  Lane w(2, 1);
  w.Change(w.F.PlayFolder / "cheers1.wav", 12000);  // 44100 bytes a second
  Player& p = w.roster.Players(1);
  p.SetFemale(true);
  p.AddScore(2, 0, 0);
  p.AddScore(2, 10, 1);
  w.session.BallPosition = 12;
  w.session.ReleasePosition = 10;
  w.session.HookAmount = 6;
  w.commentary.PlayPinfallAndCrowd(10);  // unscripted draws: a busy crowd

  const std::int64_t roarAt = w.StartOf("cheers1.wav");
  ASSERT_GE(roarAt, 0);
  const std::int64_t markAt = roarAt + 500000 * 1000 / 44100;
  const Strings calls = w.Heard("AnnouncerBuffer");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_TRUE(calls[0] == "strkf1.wav" || calls[0] == "strkf2.wav") << calls[0];
  EXPECT_TRUE(calls[1] == "strkrhf1.wav" || calls[1] == "strkrhf2.wav") << calls[1];
  EXPECT_GE(w.StartOf(calls[0]), markAt);
  EXPECT_LE(w.StartOf(calls[0]), markAt + Commentary::kCrowdPassMs + 3 * 400);  // one pass
  EXPECT_GE(w.Now(), roarAt + 12000);
  const Strings crowd = w.Heard("CrowdBuffer");
  EXPECT_GT(crowd.size(), 5u);
  EXPECT_LE(std::count_if(crowd.begin(), crowd.end(),
                          [](const std::string& f) { return f.starts_with("cheerf"); }),
            1);
}

TEST(Commentary, AfterBallRemarks) {
  struct Case {
    int ball, pins, method, swing;
    bool female, spare;
    Ints down;
    std::vector<double> draws;
    Strings heard;
  };
  const double v1 = Pick(1, 3), v2 = Pick(2, 3), v3 = Pick(3, 3);
  // clang-format off
  const std::vector<Case> cases = {
      {1, 0, 1, 0, false, false, {}, {}, {}},  // a first-ball miss: its clip said it all
      {2, 0, 1, 0, false, false, {}, {v2}, {"m2.wav"}},
      {1, 3, 1, 0, false, false, {1, 2, 3}, {v1, v2, v2, v2},
       {"k1-31.wav", "pko.wav", "1.wav", "2.wav", "3.wav"}},
      {1, 4, 1, 0, false, false, {2, 4, 5, 8}, {v3, v2, v2, v2, v2},
       {"k4-63.wav", "pko.wav", "2.wav", "4.wav", "5.wav", "8.wav"}},
      {1, 5, 1, 0, false, false, {1, 2, 3, 4, 5}, {v1, v2},
       {"k4-61.wav", "stndpin.wav", "6f.wav", "7f.wav", "8f.wav", "9f.wav", "10f.wav"}},
      {1, 7, 1, 0, false, false, {1, 2, 3, 4, 5, 6, 7}, {v3, Pick(50, 100), v3},
       {"k7-83.wav", "spare.wav", "stndpin.wav", "8p.wav", "9p.wav", "10p.wav"}},
      {1, 8, 1, 0, false, false, {1, 2, 3, 4, 5, 6, 7, 8}, {v2, no, v1},
       {"k7-82.wav", "stndpin.wav", "9.wav", "10.wav"}},
      {1, 9, 1, 0, false, false, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {v1, Pick(51, 100), v1},
       {"k91.wav", "stndpin.wav", "10.wav"}},
      {2, 1, 1, 0, false, false, {}, {v1}, {"k211.wav"}},
      {2, 3, 1, 0, false, false, {}, {v3}, {"k22-33.wav"}},
      {2, 6, 1, 0, false, false, {}, {v1}, {"k24-61.wav"}},
      {4, 9, 1, 0, false, false, {}, {v1}, {"k27-1.wav"}},
      {2, 4, 1, 0, true, true, {}, {Pick(1, 2)}, {"sparef1.wav"}},
      {3, 5, 1, 0, true, true, {}, {v1}, {"k24-61.wav"}},   // the bonus ball after a spare
      {2, 10, 2, 3, false, false, {}, {}, {"lgwtsm.wav"}},  // coaching on a ten as well
      {2, 3, 2, 6, true, false, {}, {v1}, {"lgltsf.wav", "k22-31.wav"}},
      {2, 3, 2, 10, false, false, {}, {v1}, {"lgltlm.wav", "k22-31.wav"}},
      {2, 3, 2, 8, false, false, {}, {v1}, {"k22-31.wav"}},
      {2, 3, 1, 3, false, false, {}, {v1}, {"k22-31.wav"}},
  };
  // clang-format on
  for (const Case& t : cases) {
    SCOPED_TRACE("ball " + std::to_string(t.ball) + ", " + std::to_string(t.pins));
    Lane w(10, t.ball);
    Player& p = w.roster.Players(1);
    p.SetFemale(t.female);
    if (t.spare) Bowl(p, "---------/");
    w.session.PlayMethod = static_cast<std::int16_t>(t.method);
    w.session.SwingValue = static_cast<std::int16_t>(t.swing);
    for (const int i : t.down) w.session.PinStanding[static_cast<std::size_t>(i)] = false;
    w.Push(t.draws);
    w.commentary.AnnounceLeave(t.pins);
    EXPECT_EQ(w.Heard(), t.heard);
    EXPECT_EQ(w.random.Remaining(), 0u);
    // Standing pins are heard from where they stand: 6 and 10 on the right, 7 on the left.
    for (const auto& [pin, pan] :
         {std::pair{"6f.wav", 2000}, {"7f.wav", -3000}, {"10p.wav", 3000}}) {
      if (w.StartOf(pin) >= 0) {
        EXPECT_EQ(w.PanOf(pin), pan) << pin;
      }
    }
  }
}

TEST(Commentary, TheOpeningIntroducesEveryActiveBowlerOverAFadingCrowd) {
  struct Bowler {
    int average;
    bool female, left, active;
  };
  // clang-format off
  const std::vector<std::tuple<int, std::vector<Bowler>, Strings, Ints>> cases = {
      {7, {{0, false, false, false}}, {"welcome.wav", "sponsor2.wav", "1stlook.wav"}, {}},
      {8, {{0, false, false, true}, {99, true, true, true}, {0, true, false, false},
           {100, true, true, true}, {200, false, false, true}, {199, false, true, true}},
       {"welcome.wav", "sponsor1.wav", "1stlook.wav",
        "fn1.wav", "A.wav", "cheers2.wav", "mrhn.wav", "fn2.wav", "B.wav", "cheers2.wav", "flhb.wav",
        "fn4.wav", "D.wav", "cheers1.wav", "flhe.wav", "fn5.wav", "E.wav", "cheers1.wav", "mrhp.wav",
        "fn6.wav", "F.wav", "cheers1.wav", "mlhe.wav"},
       {21, 21, 19, 19, 19}},
  };
  // clang-format on
  for (const auto& [minute, lineup, heard, fadeSteps] : cases) {
    Lane w(1, 0, static_cast<int>(lineup.size()));
    w.world.SetLocalTime({2026, 12, 6, 12, minute, 0});
    for (std::size_t i = 0; i < lineup.size(); ++i) {
      const Bowler& b = lineup[i];
      Player& p = w.roster.Players(static_cast<int>(i) + 1);
      p.SetFemale(b.female);
      p.SetLefthanded(b.left);
      p.SetIsActive(b.active);
      // One game of that total: pins on a ball slot that earns no bonus, ten to a frame.
      for (int left = b.average, f = 1; left > 0; left -= 10, f = f % 10 + 1) {
        p.AddScore(f, std::min(left, 10), 3);
      }
      if (b.average > 0) p.GameOver(1, 1);
      ASSERT_EQ(p.Average(1, 1), b.average);
    }
    w.commentary.PlayGameOpening();
    EXPECT_EQ(w.Heard(), heard) << minute;
    // Each crowd starts at its level and fades by 250 a pause down to -5000.
    Ints steps;
    for (const TraceEvent& e : w.platform.Trace.Events()) {
      if (e.Fields.empty() || e.Fields[0] != "CrowdBuffer") continue;
      if (e.Kind == "play") {
        steps.push_back(0);
        EXPECT_EQ(std::stoi(e.Fields[2]), e.Fields[1].ends_with("cheers1.wav") ? -500 : 0);
      } else if (e.Kind == "volume") {
        ++steps.back();
        EXPECT_GE(std::stoi(e.Fields[1]), -5000);
      }
    }
    EXPECT_EQ(steps, fadeSteps);
  }
}

TEST(Commentary, AMissingClipIsLoggedWithItsPathAndTheCallGoesOn) {
  Lane w;
  const Strings gone = {
      (w.F.PlayFolder / "roll.wav").string(), (w.F.PlayFolder / "pin10.wav").string(),
      (w.F.PlayFolder / "cheers1.wav").string(), (w.F.NumbersFolder / "3f.wav").string()};
  for (const std::string& file : gone) w.Change(file, 0);
  w.session.BallPosition = w.session.ReleasePosition = 11;
  w.Push({no});
  w.commentary.PlayRollSound();
  w.Push({Pick(1, 2), Pick(1, 2)});
  w.commentary.PlayPinfallAndCrowd(10);  // still called a strike
  w.session.PinStanding[2] = w.session.PinStanding[3] = false;
  w.Push({Pick(1, 3), Pick(1, 3)});
  w.commentary.SpeakFallenPins();  // pin 3 is skipped

  EXPECT_EQ(w.Errors(), gone);
  Strings heard = w.Heard();
  std::erase(heard, "buzzer.wav");
  EXPECT_EQ(heard, (Strings{"strkm1.wav", "prfaimm1.wav", "pko.wav", "2f.wav"}));
}

}  // namespace
}  // namespace strikora::testing
