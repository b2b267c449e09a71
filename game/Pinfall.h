#pragma once

#include "platform/Random.h"
#include "session/GameSession.h"

namespace strikora {

// Which pins fall when a ball reaches them. The lane is one line across: the ball strikes the
// first standing pin in its line, and a felled pin knocks others over in a chain toward the
// back of the rack, its direction drawn with odds that favour the bowler's hand.
//
// Pure logic over the game's pins (PinPosition, PinStanding), BallPosition and HookAmount and
// the one random source: every draw is made at a fixed point, so a scripted source decides
// every outcome. Lane positions 0..20; pins 1..10.
class Pinfall {
 public:
  Pinfall(GameSession& session, RandomSource& random) : session_(session), random_(random) {}

  struct Result {
    bool Gutter = false;  // the hook took the ball off the lane: nothing was looked at
    int Count = 0;        // pins felled by this delivery, each once
  };

  // The hook, the head-on strike and its chain, or the clip of the pins beside the ball;
  // a late hook plays a second pass one pin line over. Moves BallPosition by the hook and
  // lays the felled pins down.
  [[nodiscard]] Result Resolve(bool lefthanded);

  // Chains from pin p, which has just fallen: how many more pins fall. p is left on the pin
  // the chain last went on from, so a caller's scan goes on after it.
  int ChainLeft(int& p);
  int ChainRight(int& p);
  int ChainRandom(int& p);
  // A ball between pin lines (no head-on strike): the pocket at 11 (9 for a left-hander)
  // fells the rack from the head pin back while it stands, then the pins one position to
  // either side are clipped, each with its chain.
  int ClipPinsRight(int pos);
  int ClipPinsLeft(int pos);

 private:
  enum class Bias { Left, Right, Random };
  int Chain(int& p, Bias bias);
  int ClipPins(int pos, int pocket, Bias bias);
  // The lowest-numbered standing pin from `from` on, at lane position `at`; 0 when none.
  [[nodiscard]] int NextStanding(int from, int at) const;
  void Fell(int pin) { session_.PinStanding[static_cast<std::size_t>(pin)] = false; }
  [[nodiscard]] bool Standing(int pin) const {
    return session_.PinStanding[static_cast<std::size_t>(pin)];
  }
  [[nodiscard]] int PositionOf(int pin) const {
    return session_.PinPosition[static_cast<std::size_t>(pin)];
  }
  int Draw() { return random_.Between1And(100); }

  GameSession& session_;
  RandomSource& random_;
};

}  // namespace strikora
