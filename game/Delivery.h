#pragma once

#include <cstdint>

#include "audio/SoundEngine.h"
#include "game/Announcer.h"
#include "game/Pinfall.h"
#include "game/fMainPlay.h"
#include "players/Roster.h"
#include "session/GameSession.h"

namespace strikora {

// Where a delivery hands the turn back: every delivery, whatever became of its ball, goes on
// with the bowler's next ball exactly once.
class TurnFlow {
 public:
  virtual void NextBall() = 0;

 protected:
  ~TurnFlow() = default;
};

// One ball, played by ear: the aim tone sweeping across the lane until the bowler stops it,
// the swing (aim and swing only), the release with the hook, the roll, and the pins or the
// gutter. Lane positions 0..20; the sweep moves one position per tone.
class Delivery {
 public:
  Delivery(SoundEngine& engine, Roster& roster, GameSession& session, Announcer& announcer,
           Pinfall& pinfall, fMainPlay& lane, TurnFlow& turn);

  enum class SweepEnd { Released, Lost };
  // Sweeps the tone from the left gutter until the bowler stops it (the rest of the delivery
  // runs from the stop key, inside this call) or the sixth bounce loses the ball.
  SweepEnd AimSweep();
  // The stop key: the ball goes where the bowler heard the tone.
  void ReleaseAim();
  // The ten swing clips; a release key delivers the ball, or the tenth clip does.
  void SwingBall();
  // The release: hook window, roll, swing deviation, then the pins or the gutter.
  void DeliverBall();
  void GutterBall();
  // Scores the pins the ball felled, with the crash, the crowd and the announcer's remark.
  void ResolvePinfall();

  // The lane position the bowler is hearing now. A tone started less than the output's
  // latency ago has not reached the ear yet: the one before it is still heard.
  [[nodiscard]] int HeardPosition() const;

 private:
  void PlayTone(int p);
  // Stands in for a missing aim tone, for as long as the tone lasts in the default set.
  void PauseForTone();
  [[nodiscard]] Player& Bowler() const;
  // +2 in a frame whose strike is marked, else +1.
  void AdvanceBallNumber();

  SoundEngine& engine_;
  Roster& roster_;
  GameSession& session_;
  Announcer& announcer_;
  Pinfall& pinfall_;
  fMainPlay& lane_;
  TurnFlow& turn_;

  // Each ball's sweep has its own number: a sweep or swing left behind on the stack by a ball
  // that was released (its turn went on from the stop key) sees a newer number and stops.
  std::uint64_t ball_ = 0;
  std::int64_t toneStartedMs_ = 0;
  int previousTone_ = -1;  // the position heard just before this tone; -1 at the first
  bool toneFailureLogged_ = false;
};

}  // namespace strikora
