#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "players/Player.h"

namespace strikora {
namespace {

using Frames = std::vector<std::vector<int>>;

// Bowls frames the way the lane does: the ball number starts at 0 in each frame and moves on
// by 2 after a delivery once the frame's strike mark is set, by 1 otherwise; a delivery that
// fells nothing is never scored.
void Bowl(Player& player, const Frames& frames) {
  int frame = 1;
  for (const auto& deliveries : frames) {
    int ball = 0;
    for (const int pins : deliveries) {
      if (pins > 0) player.AddScore(frame, pins, ball);
      ball += player.Strikes(frame) ? 2 : 1;
    }
    ++frame;
  }
}

// Eight open frames of 9 put the tenth-frame cases at frames 9 and 10.
Frames EightNines(const Frames& lastTwo) {
  Frames frames(8, {9, 0});
  frames.insert(frames.end(), lastTwo.begin(), lastTwo.end());
  return frames;
}

Frames PerfectGame() {
  Frames frames(9, {10});
  frames.push_back({10, 10, 10});
  return frames;
}

// Nine 5/ spares and a tenth frame of 5, 5, `bonus`: a game of 145 + bonus.
Frames SparesGame(int bonus) {
  Frames frames(9, {5, 5});
  frames.push_back({5, 5, bonus});
  return frames;
}

std::array<int, 10> FrameScores(const Player& player) {
  std::array<int, 10> scores{};
  for (int frame = 1; frame <= 10; ++frame) scores[frame - 1] = player.GetFrameScore(frame);
  return scores;
}

// 'X' strike, '/' spare, '-' neither, frame by frame.
std::string Marks(const Player& player) {
  std::string marks;
  for (int frame = 1; frame <= 10; ++frame) {
    marks += player.Strikes(frame) ? 'X' : player.Spares(frame) ? '/' : '-';
  }
  return marks;
}

struct Game {
  const char* name;
  Frames frames;
  std::array<int, 10> expected;  // worked out by hand from the ten-pin rules
  int total;
  const char* marks;
};

TEST(PlayerScoring, WholeGamesScoreEachFrameWithItsBonus) {
  const std::vector<Game> games = {
      {"perfect game", PerfectGame(), {30, 30, 30, 30, 30, 30, 30, 30, 30, 30}, 300, "XXXXXXXXXX"},
      {"mixed game",
       {{10}, {7, 3}, {9, 0}, {10}, {0, 8}, {8, 2}, {0, 6}, {10}, {10}, {10, 8, 1}},
       {20, 19, 9, 18, 8, 10, 6, 30, 28, 19},
       167,
       "X/-X-/-XXX"},
      {"all spares", SparesGame(5), {15, 15, 15, 15, 15, 15, 15, 15, 15, 15}, 150, "//////////"},
      {"turkey and a gutter-ball spare",
       {{3, 4}, {0, 0}, {10}, {10}, {10}, {2, 3}, {6, 4}, {10}, {0, 10}, {10, 10, 10}},
       {7, 0, 30, 22, 15, 5, 20, 20, 20, 30},
       169,
       "--XXX-/X/X"},
      {"strike before a tenth-frame spare",
       EightNines({{10}, {7, 3, 5}}),
       {9, 9, 9, 9, 9, 9, 9, 9, 20, 15},
       107,
       "--------X/"},
      {"tenth frame X 5 3 after a strike",
       EightNines({{10}, {10, 5, 3}}),
       {9, 9, 9, 9, 9, 9, 9, 9, 25, 18},
       115,
       "--------XX"},
      {"ten on the second ball is a spare",
       {{0, 10}, {4, 2}},
       {14, 6, 0, 0, 0, 0, 0, 0, 0, 0},
       20,
       "/---------"},
  };
  for (const Game& game : games) {
    SCOPED_TRACE(game.name);
    Player player;
    Bowl(player, game.frames);
    EXPECT_EQ(FrameScores(player), game.expected);
    EXPECT_EQ(player.GetScore(false, 1, 1), game.total);
    EXPECT_EQ(Marks(player), game.marks);
  }
}

TEST(PlayerScoring, NewBowlerHasNothingAndFullHandicap) {
  const Player player;
  EXPECT_EQ(player.FirstName(), "");
  EXPECT_EQ(player.LastName(), "");
  EXPECT_FALSE(player.IsActive() || player.Lefthanded() || player.Female());
  EXPECT_EQ(player.LastGameSlot(), 0);
  EXPECT_EQ(player.Average(1, 1), 0);
  EXPECT_EQ(player.HandiCap(2, 5), 250);
  EXPECT_EQ(player.GetScore(true, 1, 1), 250);
  EXPECT_EQ(player.GetScore(false, 1, 1), 0);
}

TEST(PlayerScoring, ResetScoreStartsAFreshCard) {
  Player player;
  Bowl(player, {{10}, {10}, {7, 3}});
  player.ResetScore();
  EXPECT_EQ(player.GetScore(false, 1, 1), 0);
  EXPECT_EQ(Marks(player), "----------");
  // A strike mark left over from the last game would hand frame 1 these pins.
  Bowl(player, {{3, 4}, {5, 2}});
  EXPECT_EQ(player.GetFrameScore(1), 7);
}

TEST(PlayerHistory, AverageSkipsEmptyGamesAndRoundsHalvesToEven) {
  Player player;
  auto finish = [&player](const Frames& frames, std::int16_t method, std::int16_t skill) {
    player.ResetScore();
    Bowl(player, frames);
    player.GameOver(method, skill);
  };
  finish(SparesGame(5), 1, 1);  // 150
  finish(SparesGame(6), 1, 1);  // 151
  EXPECT_EQ(player.Average(1, 1), 150);
  EXPECT_EQ(player.HandiCap(1, 1), 100);
  EXPECT_EQ(player.GetScore(true, 1, 1), 251);
  finish({}, 1, 1);  // a game of 0 is left out of the average
  EXPECT_EQ(player.Average(1, 1), 150);

  finish(SparesGame(6), 2, 3);  // 151
  finish(SparesGame(7), 2, 3);  // 152
  EXPECT_EQ(player.Average(2, 3), 152);
  EXPECT_EQ(player.Average(1, 1), 150);
  // One slot counter for every series: games 4 and 5 took slots 4 and 5 of series (2, 3)
  // only.
  EXPECT_EQ(player.LastGameSlot(), 5);
  EXPECT_EQ(player.ScoreHistory(2, 3, 4), 151);
  EXPECT_EQ(player.ScoreHistory(1, 1, 4), 0);
  EXPECT_EQ(player.ScoreHistory(1, 1, 2), 151);

  finish(PerfectGame(), 1, 2);
  EXPECT_EQ(player.HandiCap(1, 2), 0);
  EXPECT_EQ(player.GetScore(true, 1, 2), 300);
}

TEST(PlayerHistory, TheHundredAndFirstGameOverwritesSlotOne) {
  Player player;
  for (int game = 1; game <= 100; ++game) {
    player.ResetScore();
    player.AddScore(1, 1, 0);
    player.GameOver(1, 1);
  }
  EXPECT_EQ(player.LastGameSlot(), 100);
  player.ResetScore();
  player.AddScore(1, 9, 0);
  player.GameOver(1, 1);
  EXPECT_EQ(player.LastGameSlot(), 1);
  EXPECT_EQ(player.ScoreHistory(1, 1, 1), 9);
  EXPECT_EQ(player.ScoreHistory(1, 1, 2), 1);
}

TEST(PlayerRanges, ArgumentsOutsideTheGameThrow) {
  Player player;
  for (const int frame : {0, 11}) {
    EXPECT_THROW(player.AddScore(frame, 5, 0), std::out_of_range);
    EXPECT_THROW((void)player.GetFrameScore(frame), std::out_of_range);
    EXPECT_THROW((void)player.Strikes(frame), std::out_of_range);
    EXPECT_THROW((void)player.Spares(frame), std::out_of_range);
  }
  EXPECT_THROW(player.AddScore(1, 11, 0), std::out_of_range);
  EXPECT_THROW((void)player.Average(0, 1), std::out_of_range);
  EXPECT_THROW((void)player.Average(3, 1), std::out_of_range);
  EXPECT_THROW((void)player.HandiCap(1, 0), std::out_of_range);
  EXPECT_THROW((void)player.HandiCap(1, 6), std::out_of_range);
  EXPECT_THROW((void)player.ScoreHistory(1, 1, 0), std::out_of_range);
  EXPECT_THROW((void)player.ScoreHistory(1, 1, 101), std::out_of_range);
  EXPECT_THROW((void)player.GetScore(true, 3, 1), std::out_of_range);
  EXPECT_EQ(player.GetScore(false, 3, 9), 0);  // no handicap asked, so the series is not read

  EXPECT_THROW(player.GameOver(3, 1), std::out_of_range);
  EXPECT_THROW(player.GameOver(1, 6), std::out_of_range);
  EXPECT_EQ(player.LastGameSlot(), 0);
}

TEST(PlayerNames, TwelveCharacterFieldsReadBackWithoutSpaces) {
  Player player;
  player.SetFirstName("fn12.wav");
  player.SetLastName("a b");
  EXPECT_EQ(player.FirstName(), "fn12.wav");
  EXPECT_EQ(player.LastName(), "ab");
  player.SetFirstName("abcdefghijklmno");
  EXPECT_EQ(player.FirstName(), "abcdefghijkl");
  player.SetFirstName("a bcdefghijklmn");  // cut at 12 first, then the space goes
  EXPECT_EQ(player.FirstName(), "abcdefghijk");
  EXPECT_EQ(player.LastName(), "ab");
}

}  // namespace
}  // namespace strikora
