#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/Display.h"
#include "players/Player.h"

namespace strikora {

// The marks bowlers know for one frame's deliveries (pins felled by each, in order): "X" a
// strike, "/" a spare, "-" nothing, else the count. The tenth frame marks each of its up to
// three balls against the rack it met, so "X", "7", "/" and "9", "/", "X" read as they do on
// any alley's screen.
[[nodiscard]] std::array<std::string, 3> FrameMarks(const std::vector<int>& pins, bool tenth);

// How far one bowler has come in the game: the deliveries bowled in each frame (their ball
// numbers as the game counts them), and the ball about to be bowled.
struct BowlerProgress {
  std::array<std::vector<int>, 10> Balls;  // ball numbers bowled in frames 1..10 at 0..9
  bool Up = false;                         // this bowler's turn
  int InPlayFrame = 0;  // 1..10 while a ball of this frame is to be bowled, else 0
};

// The ball numbers a frame is bowled in: 0 and 1 (0 alone after a strike); the tenth 0, 1, 2
// after a spare, 0, 2, 4 after a strike, 0 and 1 when open.
[[nodiscard]] std::vector<int> FrameBallNumbers(const Player& bowler, int frame, bool complete);

// One bowler's row: marks, running totals once each frame's score is settled (a strike's two
// bonus balls, a spare's one, bowled), the game total, and the ball in play.
[[nodiscard]] CardRow MakeCardRow(const Player& bowler, const BowlerProgress& progress,
                                  std::string name);

}  // namespace strikora
