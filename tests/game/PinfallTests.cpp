// Which pins fall, with every draw scripted: no desktop, no sound.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "game/Pinfall.h"

namespace strikora {
namespace {

// Draw values u in [0, 1); a draw of 1..100 is the integer part of 100u + 1. The rack and what
// stands after as digits, 0 for pin 10; a ball that ends out of 2..18 is in the gutter.
TEST(Pinfall, EdgeCasesWithScriptedDraws) {
  // name, rack, ball, hook, left hand, draws, standing after, the ball's end
  using Case =
      std::tuple<const char*, std::string, int, int, bool, std::vector<double>, std::string, int>;
  const std::string all = "1234567890";
  // clang-format off
  const Case cases[] = {
      {"the pocket at 11, right hand: ten", all, 11, 0, false, {0.5, 0.0}, "", 11},
      {"the pocket at 9, left hand", all, 9, 0, true, {0.5, 0.89}, "", 9},
      {"pocket missed (91): pin 1 clipped, its chain right, then behind it", all, 11, 0, false, {0.5, 0.905, 0.995}, "2478", 11},
      {"at 10, right hand, draws 60 and 80", all, 10, 0, false, {0.595, 0.795}, "3690", 10},
      {"at 10, left hand: the mirror chain", all, 10, 0, true, {0.595, 0.795}, "2478", 10},
      {"at 2: nothing there, nothing beside", all, 2, 0, false, {0.5}, all, 2},
      {"at 18", all, 18, 0, true, {0.5}, all, 18},
      {"hook 10 at 16 goes to 20: the gutter, no draw", all, 16, 10, false, {}, all, 20},
      {"hook -13 at 9 goes to 1: the gutter", all, 9, -13, false, {}, all, 1},
      {"hook 6 at 8: the pin 2 line, then the pin 1 line", all, 8, 6, false, {0.095, 0.095, 0.095, 0.095}, "3690", 10},
      {"hook 8 is still gentle", all, 8, 8, false, {0.095, 0.095, 0.095, 0.095}, "3690", 10},
      {"hook 5 at 4: pin 7 alone, then pin 4 on the second pass", "47", 4, 5, false, {0.5, 0.5, 0.5, 0.5}, "", 6},
      {"hook 3 changes nothing", all, 2, 3, false, {0.5}, all, 2},
      // A random chain drawing at every step: 2, then 4 and 5 (5 the way on), 8, stuck, back
      // to 4, 7, stuck, once behind pin 1, stuck for good.
      {"at 10, draw 76: a random chain", all, 10, 0, false, {0.755, 0.0, 0.95, 0.0, 0.0, 0.0, 0.0, 0.0}, "3690", 10},
      {"pin 1 down, at 11: the pocket stops at once, 10 and 12 clipped", "234567890", 11, 0, false, {0.5, 0.0, 0.0, 0.0}, "24670", 11},
  };
  // clang-format on
  for (const auto& [name, rack, ball, hook, left, draws, after, end] : cases) {
    SCOPED_TRACE(name);
    GameSession s;
    for (int i = 1; i <= kPins; ++i)
      s.PinStanding[static_cast<std::size_t>(i)] =
          rack.find(static_cast<char>('0' + i % 10)) != std::string::npos;
    s.BallPosition = static_cast<std::int16_t>(ball);
    s.HookAmount = static_cast<std::int16_t>(hook);
    ScriptedRandom random;
    for (const double d : draws) random.Push(d);
    const Pinfall::Result r = Pinfall(s, random).Resolve(left);
    std::string standing;
    for (int i = 1; i <= kPins; ++i)
      if (s.PinStanding[static_cast<std::size_t>(i)]) standing += static_cast<char>('0' + i % 10);
    EXPECT_EQ(standing, after);
    EXPECT_EQ(
        (std::vector<int>{r.Count, s.BallPosition, r.Gutter}),
        (std::vector<int>{static_cast<int>(rack.size() - after.size()), end, end < 2 || end > 18}));
    EXPECT_EQ(random.Remaining(), 0u) << "every scripted draw, and no more, is used";
  }
}

}  // namespace
}  // namespace strikora
