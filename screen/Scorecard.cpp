#include "screen/Scorecard.h"

#include <algorithm>

namespace strikora {

std::array<std::string, 3> FrameMarks(const std::vector<int>& pins, bool tenth) {
  std::array<std::string, 3> marks;
  bool freshRack = true;
  int felled = 0;  // on the rack in front of this ball
  for (std::size_t i = 0; i < pins.size() && i < marks.size(); ++i) {
    const int p = pins[i];
    if (freshRack && p == 10) {
      marks[i] = "X";
    } else if (!freshRack && felled + p == 10) {
      marks[i] = "/";
    } else {
      marks[i] = p == 0 ? "-" : std::to_string(p);
    }
    felled = freshRack ? p : felled + p;
    // Only the tenth frame sets the pins again inside a frame, once they are all down.
    freshRack = tenth && felled == 10;
    if (freshRack) felled = 0;
  }
  return marks;
}

std::vector<int> FrameBallNumbers(const Player& bowler, int frame, bool complete) {
  if (frame < kFrames) {
    if (bowler.Strikes(frame)) return {0};
    return {0, 1};
  }
  if (bowler.Strikes(frame)) return {0, 2, 4};
  if (bowler.Spares(frame) || !complete) return {0, 1, 2};
  return {0, 1};
}

CardRow MakeCardRow(const Player& bowler, const BowlerProgress& progress, std::string name) {
  CardRow row;
  row.Name = std::move(name);
  row.Up = progress.Up;
  // The pins of every delivery bowled, in order, to know when a bonus is settled.
  std::vector<int> rolls;
  std::array<int, kFrames> lastRoll{};  // index in rolls after each frame's last ball
  for (int f = 1; f <= kFrames; ++f) {
    const auto& balls = progress.Balls[static_cast<std::size_t>(f - 1)];
    std::vector<int> pins;
    for (const int ball : balls) pins.push_back(bowler.BallPins(f, ball));
    rolls.insert(rolls.end(), pins.begin(), pins.end());
    lastRoll[static_cast<std::size_t>(f - 1)] = static_cast<int>(rolls.size());
    FrameBox& box = row.Frames[static_cast<std::size_t>(f - 1)];
    box.Marks = FrameMarks(pins, f == kFrames);
    if (progress.InPlayFrame == f)
      box.InPlay = static_cast<int>(std::min<std::size_t>(pins.size(), 2));
  }
  int total = 0;
  for (int f = 1; f <= kFrames; ++f) {
    const auto i = static_cast<std::size_t>(f - 1);
    const auto& balls = progress.Balls[i];
    if (balls.empty() || progress.InPlayFrame == f) break;
    const bool strike = bowler.Strikes(f), spare = bowler.Spares(f);
    const int needed = f == kFrames ? 0 : strike ? 2 : spare ? 1 : 0;
    if (static_cast<int>(rolls.size()) - lastRoll[i] < needed) break;
    total += bowler.GetFrameScore(f);
    row.Frames[i].Total = std::to_string(total);
  }
  row.Total = std::to_string(bowler.GetScore(false, 1, 1));
  return row;
}

}  // namespace strikora
