#pragma once

#include "commentary/Commentary.h"

namespace strikora {

// What the game asks of the announcer, at the moments the game decides: the frame loop, the
// lane keys, the delivery and the pinfall call these and nothing else of the commentary. Each
// call returns when its last clip has ended.
class Announcer {
 public:
  virtual ~Announcer() = default;
  virtual void AnnounceFrame() = 0;
  virtual void AnnouncePlayerUp() = 0;
  virtual void AnnounceStreak() = 0;
  virtual void AnnounceBall() = 0;
  virtual void AnnounceNextPlayer() = 0;
  virtual void PlayHookSound() = 0;
  virtual void PlayRollSound() = 0;
  virtual void PlayGutterBall() = 0;
  virtual void PlayPinfallAndCrowd(int pinsDown) = 0;  // 1..10
  virtual void AnnounceLeave(int pinsDown) = 0;        // 0..10, after the ball number moved on
  virtual void SpeakStandingPins() = 0;
  virtual void PlayGameOpening() = 0;
};

// The game's announcer is the commentary's.
class CommentaryAnnouncer final : public Announcer {
 public:
  explicit CommentaryAnnouncer(Commentary& commentary) : c_(commentary) {}
  void AnnounceFrame() override { c_.AnnounceFrame(); }
  void AnnouncePlayerUp() override { c_.AnnouncePlayerUp(); }
  void AnnounceStreak() override { c_.AnnounceStreak(); }
  void AnnounceBall() override { c_.AnnounceBall(); }
  void AnnounceNextPlayer() override { c_.AnnounceNextPlayer(); }
  void PlayHookSound() override { c_.PlayHookSound(); }
  void PlayRollSound() override { c_.PlayRollSound(); }
  void PlayGutterBall() override { c_.PlayGutterBall(); }
  void PlayPinfallAndCrowd(int pinsDown) override { c_.PlayPinfallAndCrowd(pinsDown); }
  void AnnounceLeave(int pinsDown) override { c_.AnnounceLeave(pinsDown); }
  void SpeakStandingPins() override { c_.SpeakStandingPins(); }
  void PlayGameOpening() override { c_.PlayGameOpening(); }

 private:
  Commentary& c_;
};

}  // namespace strikora
