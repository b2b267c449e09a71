// The announcer and the lane's sounds on the simulated desktop, with scripted draws: what the
// player hears, on which slot, at which pan and level, at each moment of a game.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "app/ErrorLog.h"
#include "commentary/Commentary.h"
#include "platform/Keys.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/TestSoundTree.h"
#include "tools/ClipList.h"

namespace strikora {
namespace {

using testing::WriteWav;
using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

// The draw that makes Between1And(n) come out as k.
double Pick(int k, int n) {
  return (k - 0.5) / n;
}
std::int16_t S(int v) {
  return static_cast<std::int16_t>(v);
}

// Frames from 1 on: 'X' a strike, '/' a spare (5 and 5), '-' an open 3 and 4.
void Bowl(Player& p, const std::string& marks) {
  for (int f = 1; f <= static_cast<int>(marks.size()); ++f) {
    const char m = marks[static_cast<std::size_t>(f - 1)];
    p.AddScore(f, m == 'X' ? 10 : m == '/' ? 5 : 3, 0);
    if (m != 'X') p.AddScore(f, m == '/' ? 5 : 4, 1);
  }
}

// One stand-in sound tree (every clip 400 ms, silence 100 ms) for the whole run: making it is
// most of a test's time. A lane that changes a clip puts it back when it ends.
const testing::TestSoundTree& Tree() {
  static const testing::TempDir dir;
  static const testing::TestSoundTree tree{dir.Path()};
  return tree;
}

// The announcer on the simulated desktop, with the error log wired in as the game wires it.
struct Lane {
  Lane() {
    engine.SetErrorReporter(&log);
    sim.platform.Windows.SetErrorReporter(&log);
    session.ResetPins();
  }
  ~Lane() {
    sim.platform.Windows.SetErrorReporter(nullptr);
    engine.SetErrorReporter(nullptr);
    for (const auto& file : changed_) WriteWav(file, 400);
  }
  Lane(const Lane&) = delete;
  Lane& operator=(const Lane&) = delete;

  const Folders& F = Tree().F;
  testing::TempDir own;  // the roster and the error log
  sim::SimPlatform sim;
  ScriptedRandom& random = sim.random;
  SoundEngine engine{sim.platform, F};
  ErrorLog log{own / "qbxerr.log", F.PlayFolder / "buzzer.wav", sim.platform.Time,
               sim.platform.Trace, engine};
  Roster roster{own / "players.qbx", own.Path(), F.NamesFolder};
  GameSession session;
  NameSpeech names{engine, roster};
  Commentary c{engine, roster, session, names};

  void Push(const std::vector<double>& draws) {
    for (const double r : draws) random.Push(r);
  }
  // A clip of the shared tree made longer (ms) or removed (0) until the lane ends.
  void Change(const std::filesystem::path& file, int ms) {
    changed_.push_back(file);
    if (ms > 0) WriteWav(file, ms);
    if (ms == 0) std::filesystem::remove(file);
  }
  Player& AddBowler(bool female = false, bool left = false, bool active = true) {
    Player& p = roster.AddPlayer();
    p.SetFirstName("fn1.wav");
    p.SetLastName("B.wav");
    p.SetFemale(female);
    p.SetLefthanded(left);
    p.SetIsActive(active);
    roster.SetCurrentPlayer(1);
    return p;
  }
  void Ball(int frame, int ball) {
    session.CurrentFrame = S(frame);
    session.BallNumber = S(ball);
  }
  void Down(const Ints& pins) {
    for (const int i : pins) session.PinStanding[static_cast<std::size_t>(i)] = false;
  }

  [[nodiscard]] std::int64_t Now() const { return sim.world.MonotonicMs(); }
  [[nodiscard]] const std::vector<TraceEvent>& Events() const {
    return sim.platform.Trace.Events();
  }
  // The clips heard, by name: on one slot, or on any but the pauses.
  [[nodiscard]] Strings Heard(const std::string& slot = {}) const {
    Strings out;
    for (const TraceEvent& e : Events()) {
      if (e.Kind == "play" && (slot.empty() ? Name(e) != "silence.wav" : e.Fields[0] == slot)) {
        out.push_back(Name(e));
      }
    }
    return out;
  }
  // The pan or volume changes made on a slot while its clip played.
  [[nodiscard]] Ints Changes(const std::string& kind, const std::string& slot) const {
    Ints out;
    for (const TraceEvent& e : Events()) {
      if (e.Kind == kind && e.Fields[0] == slot) out.push_back(std::stoi(e.Fields[1]));
    }
    return out;
  }
  // The first play of a clip: when ({-1} if never), and at which volume and pan ({1, 1}).
  [[nodiscard]] const TraceEvent* PlayOf(const std::string& file) const {
    const auto& all = Events();
    const auto it = std::find_if(all.begin(), all.end(), [&file](const TraceEvent& e) {
      return e.Kind == "play" && Name(e) == file;
    });
    return it == all.end() ? nullptr : &*it;
  }
  [[nodiscard]] std::int64_t StartOf(const std::string& file) const {
    return PlayOf(file) == nullptr ? -1 : PlayOf(file)->Ms;
  }
  [[nodiscard]] std::pair<int, int> LevelOf(const std::string& file) const {
    const TraceEvent* e = PlayOf(file);
    if (e == nullptr) return {1, 1};
    return {std::stoi(e->Fields[2]), std::stoi(e->Fields[3])};
  }
  // Where each error-log record says the failure was: the end of its first line, in brackets.
  [[nodiscard]] Strings LoggedPlaces() const {
    std::ifstream in(log.File(), std::ios::binary);
    Strings out;
    int line = 0;
    for (std::string text; std::getline(in, text); ++line) {
      const std::size_t from = text.rfind(" [");
      if (line % 3 == 0 && from != std::string::npos) {
        out.push_back(text.substr(from + 2, text.size() - from - 5));  // less ]" and CR
      }
    }
    return out;
  }

 private:
  static std::string Name(const TraceEvent& e) {
    return std::filesystem::path(e.Fields[1]).filename().string();
  }
  std::vector<std::filesystem::path> changed_;
};

TEST(Commentary, BowlerUpNameOrderAndStreakRemarks) {
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
    Lane w;
    Bowl(w.AddBowler(t.female), t.marks);
    w.Ball(t.frame, t.ball);
    w.Push({Pick(t.k, 6)});
    w.c.AnnounceFrame();
    w.c.AnnouncePlayerUp();
    Strings expected{"fn1.wav", "B.wav"};
    expected.insert(t.k <= 3 ? expected.end() : expected.begin(),
                    "isup" + std::to_string(t.k) + ".wav");
    expected.insert(expected.begin(), "frame" + std::to_string(t.frame) + ".wav");
    if (t.streak != nullptr) expected.emplace_back(t.streak);
    EXPECT_EQ(w.Heard("AnnouncerBuffer"), expected) << "frame " << t.frame << " " << t.marks;
  }
}

TEST(Commentary, BallCallsAndTheNextBowler) {
  struct Case {
    int ball;
    std::string lineup;  // 'A' active, 'I' sitting out
    int current;
    Strings heard;
    std::size_t drawsLeft;
  };
  const std::vector<Case> cases = {
      {0, "AAA", 1, {"1stball2.wav", "nxtplay2.wav"}, 0},
      {1, "AIA", 1, {"2ndball2.wav", "nxtplay2.wav"}, 0},
      {2, "AAA", 3, {"xtraball.wav", "etc.wav"}, 1},   // the ball's draw is made all the same
      {4, "AAII", 2, {"xtraball.wav", "etc.wav"}, 1},  // the later bowlers all sit out
  };
  for (const Case& t : cases) {
    Lane w;
    for (const char a : t.lineup) w.AddBowler(false, false, a == 'A');
    w.roster.SetCurrentPlayer(S(t.current));
    w.session.BallNumber = S(t.ball);
    w.Push({Pick(2, 3), Pick(2, 2)});
    w.c.AnnounceBall();
    w.c.AnnounceNextPlayer();
    EXPECT_EQ(w.Heard(), t.heard) << t.lineup << " " << t.current;
    EXPECT_EQ(w.random.Remaining(), t.drawsLeft);
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
      {1, 3000, 1, 0, 50, {"roll.wav"}, -4388, -1140, 30, -900},  // the step rounds down
      {20, 3000, 2, 9, 99, {"rollhard.wav"}, 4875, 1250, 30, -900},
      {20, 400, 2, 8, 99, {"roll.wav"}, 4875, 4500, 4, -120},
      {16, 400, 1, 10, 99, {"roll.wav"}, 2925, 2700, 4, -120},        // a swing of a past game
      {0, 40000, 1, 0, 99, {"roll.wav"}, -4875, 10000, 400, -10000},  // past centre, clamped
  };
  for (const Case& t : cases) {
    SCOPED_TRACE("position " + std::to_string(t.position));
    Lane w;
    w.Change(w.F.PlayFolder / t.heard.back(), t.rollMs);
    w.session.BallPosition = S(t.position);
    w.session.PlayMethod = S(t.method);
    w.session.SwingValue = S(t.swing);
    w.Push({Pick(t.thumbDraw, 100)});
    w.c.PlayRollSound();
    EXPECT_EQ(w.Heard(), t.heard);
    EXPECT_EQ(w.LevelOf(t.heard.front()).second, 500 * t.position - 5000);
    const Ints pans = w.Changes("pan", "BallBuffer");
    ASSERT_EQ(pans.size(), static_cast<std::size_t>(t.ticks));
    EXPECT_EQ(pans.front(), t.firstPan);
    EXPECT_EQ(pans.back(), t.lastPan);
    EXPECT_EQ(w.Changes("volume", "BallBuffer").back(), t.lastVolume);
  }
}

class KeyForm final : public Form {
 public:
  KeyForm(WindowSystem& windows, std::function<void()> onKey)
      : Form(windows, "Lane"), onKey_(std::move(onKey)) {}
  void Form_KeyDown(int /*KeyCode*/, int /*Shift*/) override { onKey_(); }

 private:
  std::function<void()> onKey_;
};

TEST(Commentary, TheGlideEndsWithTheRollWhenAKeyLoadsAnotherClipIntoItsSlot) {
  Lane w;
  w.Change(w.F.PlayFolder / "roll.wav", 1000);
  KeyForm lane(w.sim.platform.Windows, [&w] {
    w.engine.Load(w.engine.BallBuffer, w.F.PlayFolder / "hook.wav")->Play(PlayMode::Once);
  });
  lane.Show();
  w.sim.world.PressKeyWhenClipStarts("roll.wav", vk::Space, 0, 150);
  w.Push({Pick(99, 100)});
  w.c.PlayRollSound();
  // The roll, silenced by the clip loaded into its slot 150 ms in: its glide ends with it.
  EXPECT_EQ(w.Heard(), (Strings{"roll.wav", "hook.wav"}));
  EXPECT_EQ(w.Now(), 200);
  EXPECT_EQ(w.Changes("volume", "BallBuffer"), (Ints{-30, -60}));
}

TEST(Commentary, TheGutterDriftsInwardAndTheRemarkComesOnTheFifthTick) {
  struct Case {
    int position, gutterMs, k;
    Strings heard;
    Ints pans;
  };
  const std::vector<Case> cases = {
      {0, 1200, 3, {"gutter.wav", "g3.wav"}, {-4775, -4550, -4325, -4100, -3875}},
      {20, 800, 6, {"gutter.wav"}, {4775, 4550, 4325, 4100}},  // too short for a remark
      {19, 1000, 1, {"gutter.wav", "g1.wav"}, {4275, 4050, 3825, 3600, 3375}},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.position);
    Lane w;
    w.Change(w.F.PlayFolder / "gutter.wav", t.gutterMs);
    w.session.BallPosition = S(t.position);
    w.Push({Pick(t.k, 6)});
    w.c.PlayGutterBall();
    EXPECT_EQ(w.Heard(), t.heard);  // nothing else: no pins, crowd or call
    EXPECT_EQ(w.LevelOf("gutter.wav").second, 500 * t.position - 5000);
    EXPECT_EQ(w.Changes("pan", "BallBuffer"), t.pans);
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
  const double no = Pick(100, 100);
  // clang-format off
  const std::vector<Case> cases = {
      // 3 pins: a cheer (29 < 30) from the far left, then the bowler's own fan.
      {"", 1, 0, 3, 12, 12, 0, {Pick(29, 100), Pick(4, 9), 0.0, Pick(25, 100), Pick(2, 2)},
       {"pin3.wav", "cheers2.wav", "cheer4.wav", "cheerm2.wav"}},
      {"", 1, 0, 2, 10, 10, 0, {Pick(20, 100), no}, {"pin2.wav", "cheers2.wav"}},  // 20 < 20
      // Third strike running: the turkey, then the call once the short roar is over.
      {"XX", 3, 0, 10, 11, 11, 0, {Pick(50, 100), Pick(1, 9), 0.5, no, 0.99, Pick(1, 2), 0.9},
       {"pin10.wav", "cheers1.wav", "cheer1.wav", "turkey.wav", "strkm1.wav", "prfaimm2.wav"}},
      // A hook to the left is praised as one.
      {"", 1, 0, 10, 8, 10, -6, {no, no, Pick(2, 2), Pick(1, 2)},
       {"pin10.wav", "cheers1.wav", "strkm2.wav", "strklhm1.wav"}},
      // The spare's delivery gets the big roar; the tenth frame's bonus ball after it does not.
      {"", 4, 1, 4, 10, 10, 0, {no, no}, {"pin4.wav", "cheers1.wav"}},
      {"", 10, 2, 4, 10, 10, 0, {no, no}, {"pin4.wav", "cheers2.wav"}},
  };
  // clang-format on
  for (const Case& t : cases) {
    SCOPED_TRACE(std::to_string(t.frame) + " " + std::to_string(t.pins));
    Lane w;
    Player& p = w.AddBowler();
    Bowl(p, t.marks);
    if (t.pins == 10) p.AddScore(t.frame, 10, 0);
    if (t.ball >= 1) Bowl(p, std::string(static_cast<std::size_t>(t.frame - 1), '-') + "/");
    w.engine.Load(w.engine.MusicBuffer, w.F.AmbientFolder / "music1.wav")->SetPan(-1500);
    w.Ball(t.frame, t.ball);
    w.session.BallPosition = S(t.position);
    w.session.ReleasePosition = S(t.release);
    w.session.HookAmount = S(t.hook);
    w.Push(t.draws);
    w.c.PlayPinfallAndCrowd(t.pins);
    EXPECT_EQ(w.Heard(), t.heard);
    EXPECT_EQ(w.random.Remaining(), 0u);
    EXPECT_EQ(w.LevelOf(t.heard[0]).second, 125 * t.position - 1250);
    // The crowd finds its voice one pause per pin after the crash.
    EXPECT_EQ(w.StartOf(t.heard[1]), 100 * t.pins);
    if (t.pins == 3) {
      EXPECT_EQ(w.LevelOf("cheer4.wav"), (std::pair{0, -5000}));
      EXPECT_EQ(w.LevelOf("cheerm2.wav"), (std::pair{-1000, 3500}));  // opposite the music
    }
  }
}

TEST(Commentary, TenPinsOnASecondBallGetTheStrikeCallOnceTheRoarPassesItsMark) {
  Lane w;
  w.Change(w.F.PlayFolder / "cheers1.wav", 12000);  // 44100 bytes a second
  Player& p = w.AddBowler(true);
  p.AddScore(2, 0, 0);
  p.AddScore(2, 10, 1);
  w.Ball(2, 1);
  w.session.BallPosition = 12;
  w.session.ReleasePosition = 10;
  w.session.HookAmount = 6;
  w.c.PlayPinfallAndCrowd(10);  // unscripted draws: a busy crowd

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
  // A ten is never a leave: nothing more is said.
  const std::size_t before = w.Heard().size();
  w.session.BallNumber = 2;
  w.c.AnnounceLeave(10);
  EXPECT_EQ(w.Heard().size(), before);
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
    Lane w;
    Player& p = w.AddBowler(t.female);
    if (t.spare) Bowl(p, "---------/");
    w.Ball(10, t.ball);
    w.session.PlayMethod = S(t.method);
    w.session.SwingValue = S(t.swing);
    w.Down(t.down);
    w.Push(t.draws);
    w.c.AnnounceLeave(t.pins);
    EXPECT_EQ(w.Heard(), t.heard);
    EXPECT_EQ(w.random.Remaining(), 0u);
    // Standing pins are heard from where they stand: 6 and 10 on the right, 7 on the left.
    for (const auto& [pin, pan] :
         {std::pair{"6f.wav", 2000}, {"7f.wav", -3000}, {"10p.wav", 3000}}) {
      if (w.StartOf(pin) >= 0) {
        EXPECT_EQ(w.LevelOf(pin).second, pan) << pin;
      }
    }
  }
}

TEST(Commentary, TheOpeningIntroducesEveryActiveBowlerOverAFadingCrowd) {
  struct Bowler {
    int average;
    bool female, left, active;
  };
  struct Case {
    int minute;
    std::vector<Bowler> lineup;
    Strings heard;
    Ints fadeSteps;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {7, {{0, false, false, false}}, {"welcome.wav", "sponsor2.wav", "1stlook.wav"}, {}},
      {8, {{0, false, false, true}, {99, true, true, true}, {0, true, false, false},
           {100, true, true, true}, {200, false, false, true}},
       {"welcome.wav", "sponsor1.wav", "1stlook.wav",
        "fn1.wav", "B.wav", "cheers2.wav", "mrhn.wav", "fn1.wav", "B.wav", "cheers2.wav", "flhb.wav",
        "fn1.wav", "B.wav", "cheers1.wav", "flhe.wav", "fn1.wav", "B.wav", "cheers1.wav", "mrhp.wav"},
       {21, 21, 19, 19}},
  };
  // clang-format on
  for (const Case& t : cases) {
    Lane w;
    w.sim.world.SetLocalTime({2026, 12, 6, 12, t.minute, 0});
    for (const Bowler& b : t.lineup) {
      Player& p = w.AddBowler(b.female, b.left, b.active);
      if (b.average > 0) {
        // One game of that total: pins on a ball slot that earns no bonus, ten to a frame.
        for (int left = b.average, f = 1; left > 0; left -= 10, f = f % 10 + 1) {
          p.AddScore(f, std::min(left, 10), 3);
        }
        p.GameOver(1, 1);
      }
      ASSERT_EQ(p.Average(1, 1), b.average);
    }
    w.c.PlayGameOpening();
    EXPECT_EQ(w.Heard(), t.heard) << t.minute;
    // Each crowd starts at its level and fades by 250 a pause down to -5000.
    Ints steps;
    for (const TraceEvent& e : w.Events()) {
      if (e.Fields.empty() || e.Fields[0] != "CrowdBuffer") continue;
      if (e.Kind == "play") {
        steps.push_back(0);
        EXPECT_EQ(std::stoi(e.Fields[2]), e.Fields[1].ends_with("cheers1.wav") ? -500 : 0);
      } else if (e.Kind == "volume") {
        ++steps.back();
        EXPECT_GE(std::stoi(e.Fields[1]), -5000);
      }
    }
    EXPECT_EQ(steps, t.fadeSteps);
    EXPECT_EQ(w.Heard("SpeechBuffer").size(),
              std::accumulate(steps.begin(), steps.end(), std::size_t{20}));
  }
}

TEST(Commentary, AMissingClipIsLoggedWithItsPathAndTheCallGoesOn) {
  Lane w;
  w.AddBowler();
  const Strings gone = {
      (w.F.PlayFolder / "roll.wav").string(), (w.F.PlayFolder / "pin10.wav").string(),
      (w.F.PlayFolder / "cheers1.wav").string(), (w.F.NumbersFolder / "3f.wav").string()};
  for (const std::string& file : gone) w.Change(file, 0);
  w.session.BallPosition = w.session.ReleasePosition = 11;
  w.Push({Pick(99, 100)});
  w.c.PlayRollSound();
  w.Push({Pick(1, 2), Pick(1, 2)});
  w.c.PlayPinfallAndCrowd(10);  // still called a strike
  w.Down({2, 3});
  w.Push({Pick(1, 3), Pick(1, 3)});
  w.c.SpeakFallenPins();  // pin 3 is skipped

  EXPECT_EQ(w.LoggedPlaces(), gone);
  Strings heard = w.Heard();
  std::erase(heard, "buzzer.wav");
  EXPECT_EQ(heard, (Strings{"strkm1.wav", "prfaimm1.wav", "pko.wav", "2f.wav"}));
}

// Every clip the announcer and the lane can play is in the default sound set, the speech in the
// announcer's voice.
TEST(Commentary, TheDefaultSoundSetHoldsEveryClipOfTheCommentary) {
  using voiceset::Pack;
  std::vector<std::pair<Pack, std::string>> clips;
  auto add = [&clips](Pack pack, const std::string& stem, int to = 0) {
    for (int k = 1; k <= std::max(to, 1); ++k) {
      clips.emplace_back(pack, stem + (to > 0 ? std::to_string(k) : "") + ".wav");
    }
  };
  const Pack A = Pack::Announce, P = Pack::Play;
  for (const std::string s : {"f", "m"}) {
    for (const char* kind : {"wstrk", "w2strk", "wspr"}) add(A, s + kind);
    for (const char* stem : {"strk", "prfaim", "strkrh", "strklh", "spare"}) add(A, stem + s, 2);
    for (const char* band : {"wts", "lts", "ltl"}) add(A, "lg" + (band + s));
    for (const char* hand : {"lhn", "lhb", "lhe", "lhp", "rhn", "rhb", "rhe", "rhp"}) {
      add(A, s + hand);
    }
    add(P, "cheer" + s, 2);
  }
  for (const auto& [stem, to] : std::vector<std::pair<std::string, int>>{
           {"frame", 10},  {"isup", 6},     {"1stball", 3}, {"2ndball", 3}, {"nxtplay", 2},
           {"g", 6},       {"k1-3", 3},     {"k4-6", 3},    {"k7-8", 3},    {"k9", 3},
           {"k21", 3},     {"k22-3", 3},    {"k24-6", 3},   {"k27-", 3},    {"m", 3},
           {"sponsor", 2}, {"xtraball", 0}, {"etc", 0},     {"spare", 0},   {"pko", 0},
           {"stndpin", 0}, {"welcome", 0},  {"1stlook", 0}}) {
    add(A, stem, to);
  }
  for (const char* one : {"hook", "thumb", "roll", "rollhard", "gutter", "turkey"}) add(P, one);
  add(P, "pin", 10);
  add(P, "cheers", 2);
  add(P, "cheer", 9);
  for (const char* voice : {"", "f", "p"}) {
    for (int pin = 1; pin <= 10; ++pin) add(Pack::Numbers, std::to_string(pin) + voice);
  }
  EXPECT_EQ(clips.size(), 175u);
  for (const auto& [pack, file] : clips) {
    const voiceset::Clip* clip = voiceset::FindClip(pack, file);
    ASSERT_NE(clip, nullptr) << file;
    if (pack == A) {
      EXPECT_EQ(clip->voice, voiceset::Voice::Announcer) << file;
      EXPECT_FALSE(clip->text.empty()) << file;
    }
  }
}

}  // namespace
}  // namespace strikora
