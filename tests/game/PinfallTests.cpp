// Which pins fall, with every draw scripted: no desktop, no sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "game/Pinfall.h"

namespace strikora {
namespace {

using Pins = std::set<int>;

Pins StandingPins(const GameSession& s) {
  Pins out;
  for (int i = 1; i <= kPins; ++i) {
    if (s.PinStanding[static_cast<std::size_t>(i)]) out.insert(i);
  }
  return out;
}

const Pins kFullRack = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

// Draw values u in [0, 1); a draw of 1..100 is the integer part of 100u + 1.
struct Case {
  const char* name;
  Pins rack;
  int ball, hook;
  bool lefthanded;
  std::vector<double> draws;
  bool gutter;
  int count;
  Pins standingAfter;
  int ballAfter;
};

TEST(Pinfall, EdgeCasesWithScriptedDraws) {
  const Pins full = kFullRack;
  // clang-format off
  const Case cases[] = {
      {"pocket at 11, right hand: a strike that counts ten",
       full, 11, 0, false, {0.5, 0.0}, false, 10, {}, 11},
      {"pocket at 9, left hand", full, 9, 0, true, {0.5, 0.89}, false, 10, {}, 9},
      {"pocket at 11 missed (91): pin 1 clipped, its chain right, then behind it",
       full, 11, 0, false, {0.5, 0.905, 0.995}, false, 6, {2, 4, 7, 8}, 11},
      {"ball at 10, right hand, draws 60 and 80",
       full, 10, 0, false, {0.595, 0.795}, false, 6, {3, 6, 9, 10}, 10},
      {"ball at 10, left hand: the mirror chain",
       full, 10, 0, true, {0.595, 0.795}, false, 6, {2, 4, 7, 8}, 10},
      {"ball at 2: nothing there, nothing beside", full, 2, 0, false, {0.5}, false, 0, full, 2},
      {"ball at 18", full, 18, 0, true, {0.5}, false, 0, full, 18},
      {"hook 10 at 16 goes to 20: the gutter, no draw", full, 16, 10, false, {}, true, 0, full, 20},
      {"hook -13 at 9 goes to 1: the gutter", full, 9, -13, false, {}, true, 0, full, 1},
      {"hook 6 at 8: the pin 2 line, then a second pass on the pin 1 line",
       full, 8, 6, false, {0.095, 0.095, 0.095, 0.095}, false, 6, {3, 6, 9, 10}, 10},
      {"hook 8 is still gentle", full, 8, 8, false, {0.095, 0.095, 0.095, 0.095}, false, 6,
       {3, 6, 9, 10}, 10},
      {"hook 5 at 4: pin 7 alone, then pin 4 on the second pass", {4, 7}, 4, 5, false,
       {0.5, 0.5, 0.5, 0.5}, false, 2, {}, 6},
      {"hook 3 changes nothing", full, 2, 3, false, {0.5}, false, 0, full, 2},
      {"ball at 10, draw 76: a random chain, drawing at every step: 2, then 4 and 5 (5 the way "
       "on), 8, stuck, back to 4, 7, stuck, once behind pin 1, stuck for good",
       full, 10, 0, false, {0.755, 0.0, 0.95, 0.0, 0.0, 0.0, 0.0, 0.0}, false, 6, {3, 6, 9, 10},
       10},
      {"second ball, pin 1 down, at 11: the pocket stops at once, 10 and 12 are clipped",
       {2, 3, 4, 5, 6, 7, 8, 9, 10}, 11, 0, false, {0.5, 0.0, 0.0, 0.0}, false, 4, {2, 4, 6, 7, 10},
       11},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameSession s;
    s.ResetPins();
    for (int i = 1; i <= kPins; ++i) s.PinStanding[static_cast<std::size_t>(i)] = c.rack.count(i);
    s.BallPosition = static_cast<std::int16_t>(c.ball);
    s.HookAmount = static_cast<std::int16_t>(c.hook);
    ScriptedRandom random;
    for (const double d : c.draws) random.Push(d);
    Pinfall pinfall(s, random);

    const Pinfall::Result r = pinfall.Resolve(c.lefthanded);

    EXPECT_EQ(r.Gutter, c.gutter);
    EXPECT_EQ(r.Count, c.count);
    EXPECT_EQ(StandingPins(s), c.standingAfter);
    EXPECT_EQ(s.BallPosition, c.ballAfter);
    EXPECT_EQ(random.Remaining(), 0u) << "every scripted draw, and no more, is used";
  }
}

// Over many racks, positions, hooks and hands: a pin falls at most once, every felled pin is
// counted, and a ball hooked off the lane touches nothing.
TEST(Pinfall, EveryPinThatFallsCountsOnceAndNoneRises) {
  std::mt19937 gen(20261206);
  std::uniform_int_distribution<int> coin(0, 1), ball(2, 18), hook(-20, 20);
  ScriptedRandom random;  // unscripted: its own fixed-seed draws
  for (int round = 0; round < 20000; ++round) {
    GameSession s;
    s.ResetPins();
    for (int i = 1; i <= kPins; ++i) s.PinStanding[static_cast<std::size_t>(i)] = coin(gen) != 0;
    s.BallPosition = static_cast<std::int16_t>(ball(gen));
    s.HookAmount = static_cast<std::int16_t>(hook(gen));
    const Pins before = StandingPins(s);
    Pinfall pinfall(s, random);

    const Pinfall::Result r = pinfall.Resolve(coin(gen) != 0);

    const Pins after = StandingPins(s);
    ASSERT_TRUE(std::includes(before.begin(), before.end(), after.begin(), after.end()));
    ASSERT_EQ(r.Count, static_cast<int>(before.size() - after.size())) << "round " << round;
    if (r.Gutter) {
      ASSERT_EQ(r.Count, 0);
      ASSERT_TRUE(s.BallPosition < 2 || s.BallPosition > 18);
    } else {
      ASSERT_GE(s.BallPosition, 0);
      ASSERT_LE(s.BallPosition, 20);
    }
  }
}

}  // namespace
}  // namespace strikora
