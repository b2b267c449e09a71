#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace strikora {

// What the game window shows for a sighted helper or a player with low vision: the screen's
// name, the words being spoken, and on the lane the scorecard and the pins. Plain data, filled
// in by the game and drawn by a backend; two equal pictures look the same.
struct Rgb {
  std::uint8_t R = 0, G = 0, B = 0;
  bool operator==(const Rgb&) const = default;
};

struct ColourScheme {
  const char* Name = "";
  Rgb Text;
  Rgb Background;
  bool operator==(const ColourScheme&) const = default;
};

// One frame of a bowler's scorecard: up to three marks ("X", "/", "-", a digit), the running
// total once the frame's score is settled, and the box of the ball in play (-1: none).
struct FrameBox {
  std::array<std::string, 3> Marks;
  std::string Total;
  int InPlay = -1;
  bool operator==(const FrameBox&) const = default;
};

struct CardRow {
  std::string Name;
  std::array<FrameBox, 10> Frames;
  std::string Total;
  bool Up = false;  // the bowler on the approach
  bool operator==(const CardRow&) const = default;
};

struct StandingRow {
  std::string Place, Name, Score, Handicap;  // empty until the announcer has called the place
  bool operator==(const StandingRow&) const = default;
};

struct Picture {
  std::string Caption;        // the screen's name
  std::string Words;          // what is being said, or was said last
  std::vector<CardRow> Card;  // the lane's scorecard; empty elsewhere
  bool ShowPins = false;
  std::array<bool, 10> PinStanding{};  // pins 1..10 at 0..9
  std::vector<StandingRow> Standings;  // the results; empty elsewhere
  bool ShowHandicap = false;
  int TextStep = 2;  // 1..5: the main line's height, from a tenth of the window up
  ColourScheme Colours;
  bool FullScreen = false;
  bool operator==(const Picture&) const = default;
};

// Where a picture is drawn. A backend draws only what changed since the last picture.
class Display {
 public:
  virtual ~Display() = default;
  virtual void Show(const Picture& picture) = 0;
};

}  // namespace strikora
