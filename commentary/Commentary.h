#pragma once

#include "audio/SoundEngine.h"
#include "commentary/NameSpeech.h"
#include "game/GameSession.h"
#include "players/Roster.h"

namespace strikora {

// The announcer and the lane's sounds: each call turns the game's state at one fixed moment
// into clips (the frame, who is up, the roll across the stereo lane, the pins and the crowd,
// strike and spare calls, the pins left) and returns when its last clip has ended. A clip that
// cannot be played is logged with its full path (the buzzer) and the call goes on.
class Commentary {
 public:
  Commentary(SoundEngine& engine, const Roster& roster, const GameSession& session,
             NameSpeech& names);

  void AnnounceFrame();       // the frame number, at the start of every frame
  void AnnouncePlayerUp();    // the bowler's name and the streak remark, before every ball
  void AnnounceStreak();      // a remark on the previous frame, on a turn's first ball
  void AnnounceBall();        // first ball, second ball or extra ball
  void AnnounceNextPlayer();  // the turn is over
  void PlayHookSound();       // after a hooked release
  void PlayRollSound();       // the ball rolls from its lane position toward the pins
  void PlayGutterBall();      // the ball drops into a gutter, with a remark
  void PlayPinfallAndCrowd(int pinsDown);  // 1..10: the crash, the roar, cheers, the strike call
  void AnnounceStrike();
  void AnnounceLeave(int pinsDown);  // 0..10, after the ball number has moved on
  void SpeakStandingPins();          // pin numbers heard from where they stand
  void SpeakFallenPins();
  void PlayGameOpening();  // the welcome, the sponsor and every active bowler introduced

 private:
  // Plays a clip on a slot once and waits; a failure is logged with the clip's path.
  void PlayOn(SoundSlot& slot, const std::filesystem::path& file);

  SoundEngine& engine_;
  const Roster& roster_;
  const GameSession& session_;
  NameSpeech& names_;
};

}  // namespace strikora
