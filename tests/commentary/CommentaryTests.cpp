// The announcer and the lane's sounds in the game's world, with scripted draws: what the player
// hears, on which slot, at which pan and level, at each moment of a game.
#include <gtest/gtest.h>

#include <regex>

#include "tests/support/GameWorld.h"

namespace strikora::testing {
namespace {

using Draws = std::vector<double>;
// The draw for Between1And(n) to give k.
const auto Pick = [](int k, int n) { return (k - 0.5) / n; };
const double no = Pick(100, 100), v1 = Pick(1, 3), v2 = Pick(2, 3), v3 = Pick(3, 3);

// Frames from 1 on: 'X' a strike, '/' a spare (5 and 5), '-' an open 3 and 4.
void Bowl(Player& p, const std::string& marks) {
  for (int f = 1; f <= static_cast<int>(marks.size()); ++f) {
    const char m = marks[static_cast<std::size_t>(f - 1)];
    p.AddScore(f, m == 'X' ? 10 : m == '/' ? 5 : 3, 0);
    if (m != 'X') p.AddScore(f, m == '/' ? 5 : 4, 1);
  }
}

// Bowler 1 up at `frame`, ball `ball`, on a full rack, the ball at `at`, the draws scripted;
// shared clips lengthened (ms) or removed (0) for this lane alone.
struct Lane : GameWorld {
  Lane(int frame, int ball, const Draws& draws, int at = 10, int bowlers = 1) : GameWorld(bowlers) {
    bot.Stop();
    session.ResetPins();
    session.CurrentFrame = static_cast<std::int16_t>(frame);
    session.BallNumber = static_cast<std::int16_t>(ball);
    session.BallPosition = static_cast<std::int16_t>(at);
    roster.SetCurrentPlayer(1);
    for (const double r : draws) random.Push(r);
  }
  ~Lane() {
    for (const auto& file : changed_) WriteWav(file, 400);
  }
  void Change(const std::filesystem::path& clip, int ms) {  // a play folder clip, or a path
    changed_.push_back(F.PlayFolder / clip);
    ms > 0 ? WriteWav(changed_.back(), ms) : (void)std::filesystem::remove(changed_.back());
  }
  void Aim(int release, int hook, int method = 1, int swing = 0) {
    session.ReleasePosition = static_cast<std::int16_t>(release);
    session.HookAmount = static_cast<std::int16_t>(hook);
    session.PlayMethod = static_cast<std::int16_t>(method);
    session.SwingValue = static_cast<std::int16_t>(swing);
  }
  std::vector<std::filesystem::path> changed_;
};

// The "is up" line k: 1..3 follow the name, 4..6 lead into it. The streak remark: none in frame
// 1, no double in frame 2, the double over the strike, the frame before alone counts, the spare
// decides, first ball only. The extra ball's call draws too; "etc" when the rest sit out.
TEST(Commentary, BowlerUpStreakRemarksBallCallsAndTheNextBowler) {
  // frame, ball, marks, a woman, the line drawn, heard
  // clang-format off
  const std::vector<std::tuple<int, int, std::string, bool, int, std::string>> cases = {
      {1, 0, "", false, 1, "frame1 fn1 A isup1"},           {2, 0, "X", false, 4, "frame2 isup4 fn1 A mwstrk"},
      {2, 0, "/", true, 3, "frame2 fn1 A isup3 fwspr"},     {3, 0, "XX", true, 6, "frame3 isup6 fn1 A fw2strk"},
      {3, 0, "-X", false, 2, "frame3 fn1 A isup2 mwstrk"},  {3, 0, "X-", false, 5, "frame3 isup5 fn1 A"},
      {3, 0, "X/", false, 2, "frame3 fn1 A isup2 mwspr"},   {3, 1, "XX", false, 2, "frame3 fn1 A isup2"},
      {10, 0, "XXXXXXXXX", true, 1, "frame10 fn1 A isup1 fw2strk"},
  };
  // clang-format on
  for (const auto& [frame, ball, marks, female, k, heard] : cases) {
    SCOPED_TRACE(heard);
    Lane w(frame, ball, {Pick(k, 6)});
    w.roster.Players(1).SetFemale(female);
    Bowl(w.roster.Players(1), marks);
    w.commentary.AnnounceFrame();
    w.commentary.AnnouncePlayerUp();
    EXPECT_EQ(w.Heard("AnnouncerBuffer"), heard);
  }
  // ball, who is active, who is up, heard
  // clang-format off
  for (const auto& [ball, lineup, current, heard] : std::vector<std::tuple<int, std::string, int, std::string>>{
           {0, "AAA", 1, "1stball2 nxtplay2"}, {1, "AIA", 1, "2ndball2 nxtplay2"},
           {2, "AAA", 3, "xtraball etc"}, {4, "AAII", 2, "xtraball etc"}}) {
    // clang-format on
    SCOPED_TRACE(lineup + " " + heard);
    Lane w(1, ball, {Pick(2, 3), Pick(2, 2)}, 10, static_cast<int>(lineup.size()));
    for (std::size_t i = 0; i < lineup.size(); ++i)
      w.roster.Players(static_cast<int>(i) + 1).SetIsActive(lineup[i] == 'A');
    w.roster.SetCurrentPlayer(static_cast<std::int16_t>(current));
    w.commentary.AnnounceBall();
    w.commentary.AnnounceNextPlayer();
    EXPECT_EQ(w.Heard(), heard);
    EXPECT_EQ(w.random.Remaining(), heard.ends_with("etc") ? 1u : 0u);
  }
}

// The roll starts where the ball is, glides to the pin deck and fades; the centre stays put, a
// swing of a past game changes nothing, a glide past the centre is clamped. The gutter drifts
// inward, its remark on the fifth tick if the clip lasts so long; nothing else is heard.
TEST(Commentary, TheRollAndTheGutterGlideAndFade) {
  // at, clip ms, method, swing, draw, heard, the ball slot's pans (first, last, count), volume
  // clang-format off
  const std::vector<std::tuple<int, int, int, int, int, std::string, Ints, int>> cases = {
      {10, 400, 1, 0, 20, "roll", {0, 0, 4}, -120},           {0, 3000, 1, 0, 19, "thumb roll", {-4875, -1250, 30}, -900},
      {20, 3000, 2, 9, 99, "rollhard", {4875, 1250, 30}, -900}, {20, 400, 2, 8, 99, "roll", {4875, 4500, 4}, -120},
      {16, 400, 1, 10, 99, "roll", {2925, 2700, 4}, -120},     {0, 40000, 1, 0, 99, "roll", {-4875, 10000, 400}, -10000},
      {0, 1200, 1, 0, 3, "gutter g3", {-4775, -3875, 5}, 0},   {20, 800, 1, 0, 6, "gutter", {4775, 4100, 4}, 0},
      {19, 1000, 1, 0, 1, "gutter g1", {4275, 3375, 5}, 0},
  };
  // clang-format on
  for (const auto& [at, ms, method, swing, draw, heard, pans, volume] : cases) {
    SCOPED_TRACE(heard + " at " + std::to_string(at));
    const bool gutter = heard.starts_with("gutter");
    Lane w(1, 0, {gutter ? Pick(draw, 6) : Pick(draw, 100)}, at);
    w.Change((gutter ? "gutter" : heard.substr(heard.rfind(' ') + 1)) + ".wav", ms);
    w.Aim(0, 0, method, swing);
    gutter ? w.commentary.PlayGutterBall() : w.commentary.PlayRollSound();
    EXPECT_EQ(w.Heard(), heard);
    EXPECT_EQ(w.random.Remaining(), 0u);
    EXPECT_EQ(w.PlayOf(heard.substr(0, heard.find(' ')) + ".wav")[2], 500 * at - 5000);
    const Ints p = w.Changes("pan", "BallBuffer");
    ASSERT_EQ(p.size(), static_cast<std::size_t>(pans[2]));
    EXPECT_EQ((Ints{p.front(), p.back()}), (Ints{pans[0], pans[1]}));
    EXPECT_EQ(gutter ? volume : w.Changes("volume", "BallBuffer").back(), volume);
  }
}

// The pins crash where the ball ends; the crowd finds its voice one pause per pin after it. 3
// pins: a cheer (29 < 30) from the far left, then the bowler's fan opposite the music. A third
// strike: the turkey, then the call after the short roar. A left hook praises the aim; a right
// hook that finished left, the left hook. A spare gets the big roar; the bonus ball after it not.
TEST(Commentary, PinsCrowdCheersTurkeyAndStrikeCall) {
  // marks, frame, ball, pins, at, release, hook, draws, heard
  // clang-format off
  const std::vector<std::tuple<std::string, int, int, int, int, int, int, Draws, std::string>> cases = {
      {"", 1, 0, 3, 12, 12, 0, {Pick(29, 100), Pick(4, 9), 0.0, Pick(25, 100), Pick(2, 2)}, "pin3 cheers2 cheer4 cheerm2"},
      {"", 1, 0, 2, 10, 10, 0, {Pick(20, 100), no}, "pin2 cheers2"},  // 20 < 20
      {"XX", 3, 0, 10, 11, 11, 0, {Pick(50, 100), Pick(1, 9), 0.5, no, 0.99, Pick(1, 2), 0.9}, "pin10 cheers1 cheer1 turkey strkm1 prfaimm2"},
      {"", 1, 0, 10, 8, 10, -6, {no, no, Pick(2, 2), Pick(1, 2)}, "pin10 cheers1 strkm2 prfaimm1"},
      {"", 1, 0, 10, 8, 10, 6, {no, no, Pick(2, 2), Pick(1, 2)}, "pin10 cheers1 strkm2 strklhm1"},
      {"", 4, 1, 4, 10, 10, 0, {no, no}, "pin4 cheers1"},
      {"", 10, 2, 4, 10, 10, 0, {no, no}, "pin4 cheers2"},
  };
  // clang-format on
  for (const auto& [marks, frame, ball, pins, at, release, hook, draws, heard] : cases) {
    SCOPED_TRACE(heard);
    Lane w(frame, ball, draws, at);
    Player& p = w.roster.Players(1);
    Bowl(p, marks);
    if (pins == 10) p.AddScore(frame, 10, 0);
    if (ball >= 1) Bowl(p, std::string(static_cast<std::size_t>(frame - 1), '-') + "/");
    w.engine.Load(w.engine.MusicBuffer, w.F.AmbientFolder / "music1.wav")->SetPan(-1500);
    w.Aim(release, hook);
    w.commentary.PlayPinfallAndCrowd(pins);
    EXPECT_EQ(w.Heard(), heard);
    EXPECT_EQ(w.random.Remaining(), 0u);
    EXPECT_EQ(w.PlayOf("pin" + std::to_string(pins) + ".wav")[2], 125 * at - 1250);
    EXPECT_EQ(w.PlayOf(heard.substr(heard.find(' ') + 1, 7) + ".wav")[0], 100 * pins);
    if (pins != 3) continue;
    EXPECT_EQ((std::array{w.PlayOf("cheer4.wav")[2], w.PlayOf("cheerm2.wav")[1],
                          w.PlayOf("cheerm2.wav")[2]}),
              (std::array<std::int64_t, 3>{-5000, -1000, 3500}));
  }
  // Ten on a second ball: the strike call for a woman's right hook; a busy crowd over the long
  // roar, the bowler's own fan at most once.
  Lane w(2, 1, {}, 12);
  w.Change("cheers1.wav", 12000);
  w.roster.Players(1).SetFemale(true);
  w.roster.Players(1).AddScore(2, 0, 0);
  w.roster.Players(1).AddScore(2, 10, 1);
  w.Aim(10, 6);
  w.commentary.PlayPinfallAndCrowd(10);  // unscripted draws
  const std::string calls = w.Heard("AnnouncerBuffer"), crowd = w.Heard("CrowdBuffer");
  EXPECT_TRUE(std::regex_match(calls, std::regex("strkf[12] strkrhf[12]"))) << calls;
  EXPECT_TRUE(std::regex_match(crowd, std::regex("(\\S+ ){5,}\\S+"))) << crowd;
  EXPECT_FALSE(std::regex_search(crowd, std::regex("cheerf.*cheerf"))) << crowd;
}

// The remark after a ball by pins down; standing pins are heard from where they stand: 6 and 10
// on the right, 7 on the left.
TEST(Commentary, AfterBallRemarks) {
  // ball, pins, method, swing, female and after a spare, pins down, draws, heard
  // clang-format off
  const std::vector<std::tuple<int, int, int, int, int, std::string, Draws, std::string>> cases = {
      {1, 0, 1, 0, 0, "", {}, ""}, {2, 0, 1, 0, 0, "", {v2}, "m2"},  // a first-ball miss: its clip said it all
      {1, 3, 1, 0, 0, "123", {v1, v2, v2, v2}, "k1-31 pko 1 2 3"}, {1, 4, 1, 0, 0, "2458", {v3, v2, v2, v2, v2}, "k4-63 pko 2 4 5 8"},
      {1, 5, 1, 0, 0, "12345", {v1, v2}, "k4-61 stndpin 6f 7f 8f 9f 10f"}, {1, 8, 1, 0, 0, "12345678", {v2, no, v1}, "k7-82 stndpin 9 10"},
      {1, 7, 1, 0, 0, "1234567", {v3, Pick(50, 100), v3}, "k7-83 spare stndpin 8p 9p 10p"}, {1, 9, 1, 0, 0, "123456789", {v1, Pick(51, 100), v1}, "k91 stndpin 10"},
      {2, 1, 1, 0, 0, "", {v1}, "k211"}, {2, 3, 1, 0, 0, "", {v3}, "k22-33"}, {2, 6, 1, 0, 0, "", {v1}, "k24-61"}, {4, 9, 1, 0, 0, "", {v1}, "k27-1"},
      {2, 4, 1, 0, 2, "", {Pick(1, 2)}, "sparef1"}, {3, 5, 1, 0, 2, "", {v1}, "k24-61"}, {2, 10, 2, 3, 0, "", {}, "lgwtsm"},  // coaching on a ten too
      {2, 3, 2, 6, 1, "", {v1}, "lgltsf k22-31"}, {2, 3, 2, 10, 0, "", {v1}, "lgltlm k22-31"}, {2, 3, 2, 8, 0, "", {v1}, "k22-31"}, {2, 3, 1, 3, 0, "", {v1}, "k22-31"},
  };
  // clang-format on
  for (const auto& [ball, pins, method, swing, who, down, draws, heard] : cases) {
    SCOPED_TRACE(::testing::Message() << "ball " << ball << ", " << pins << ": " << heard);
    Lane w(10, ball, draws);
    w.roster.Players(1).SetFemale(who > 0);
    if (who == 2) Bowl(w.roster.Players(1), "---------/");
    w.Aim(0, 0, method, swing);
    for (const char pin : down) w.session.PinStanding[static_cast<std::size_t>(pin - '0')] = false;
    w.commentary.AnnounceLeave(pins);
    EXPECT_EQ(w.Heard(), heard);
    EXPECT_EQ(w.random.Remaining(), 0u);
    for (const auto& [pin, pan] : {std::pair{"6f.wav", 2000}, {"7f.wav", -3000}, {"10p.wav", 3000}})
      EXPECT_EQ(w.PlayOf(pin)[0] < 0 ? pan : w.PlayOf(pin)[2], pan) << pin;
  }
}

// The opening introduces every active bowler (average, woman, left hand, active) over a crowd
// that starts at its level and fades by 250 a pause down to -5000.
TEST(Commentary, TheOpeningIntroducesEveryActiveBowlerOverAFadingCrowd) {
  // minute, each bowler's average, woman, left, active; heard; the crowd's fade steps, 21 or 19
  // clang-format off
  const std::vector<std::tuple<int, std::vector<std::array<int, 4>>, std::string, std::size_t>> cases = {
      {7, {{0, 0, 0, 0}}, "welcome sponsor2 1stlook", 0},
      {8, {{0, 0, 0, 1}, {99, 1, 1, 1}, {0, 1, 0, 0}, {100, 1, 1, 1}, {200, 0, 0, 1}, {199, 0, 1, 1}},
       "welcome sponsor1 1stlook fn1 A cheers2 mrhn fn2 B cheers2 flhb fn4 D cheers1 flhe fn5 E cheers1 mrhp fn6 F cheers1 mlhe", 99},
  };
  // clang-format on
  for (const auto& [minute, lineup, heard, fadeSteps] : cases) {
    SCOPED_TRACE(minute);
    Lane w(1, 0, {}, 10, static_cast<int>(lineup.size()));
    w.world.SetLocalTime({2026, 12, 6, 12, minute, 0});
    for (std::size_t i = 0; i < lineup.size(); ++i) {
      const auto [average, female, left, active] = lineup[i];
      Player& p = w.roster.Players(static_cast<int>(i) + 1);
      p.SetFemale(female != 0);
      p.SetLefthanded(left != 0);
      p.SetIsActive(active != 0);
      // One game of that total: pins on a ball slot that earns no bonus, ten to a frame.
      for (int rest = average, f = 1; rest > 0; rest -= 10, f = f % 10 + 1)
        p.AddScore(f, std::min(rest, 10), 3);
      if (average > 0) p.GameOver(1, 1);
    }
    w.commentary.PlayGameOpening();
    EXPECT_EQ(w.Heard(), heard);
    const Ints v = w.Changes("volume", "CrowdBuffer");
    EXPECT_EQ(v.size(), fadeSteps);
    EXPECT_GE(std::ranges::min(v.empty() ? Ints{0} : v), -5000);
    for (const auto& [cheer, level] : {std::pair{"cheers1.wav", -500}, {"cheers2.wav", 0}})
      EXPECT_EQ(w.PlayOf(cheer)[0] < 0 ? level : w.PlayOf(cheer)[1], level) << cheer;
  }
}

// A missing clip is logged with its path and the call goes on: a strike is still called one,
// and pin 3's name is skipped.
TEST(Commentary, AMissingClipIsLoggedWithItsPathAndTheCallGoesOn) {
  Lane w(1, 0, {no, Pick(1, 2), Pick(1, 2), Pick(1, 3), Pick(1, 3)}, 11);
  const Strings gone = {
      (w.F.PlayFolder / "roll.wav").string(), (w.F.PlayFolder / "pin10.wav").string(),
      (w.F.PlayFolder / "cheers1.wav").string(), (w.F.NumbersFolder / "3f.wav").string()};
  for (const std::string& clip : gone) w.Change(clip, 0);
  w.Aim(11, 0);
  w.commentary.PlayRollSound();
  w.commentary.PlayPinfallAndCrowd(10);
  w.session.PinStanding[2] = w.session.PinStanding[3] = false;
  w.commentary.SpeakFallenPins();
  EXPECT_EQ(w.Errors(), gone);
  Strings heard = w.PlaysOn();
  std::erase(heard, "buzzer");
  EXPECT_EQ(heard, (Strings{"strkm1", "prfaimm1", "pko", "2f"}));
}

}  // namespace
}  // namespace strikora::testing
