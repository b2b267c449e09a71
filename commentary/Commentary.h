#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "audio/NameSpeech.h"
#include "audio/SoundEngine.h"
#include "players/Roster.h"
#include "session/GameSession.h"

namespace strikora {

// The announcer and the lane's sounds: each call turns the game's state at one fixed moment
// into clips (the frame, who is up, the roll across the stereo lane, the pins and the crowd,
// strike and spare calls, the pins left) and returns when its last clip has ended. A clip that
// cannot be played is logged with its full path (the buzzer) and the call goes on.
//
// Every variant is drawn from the game's one random source at a fixed point of each call, also
// where the draw turns out not to matter, so that a scripted run hears the same thing each time.
// Pans and volumes are in hundredths of a decibel; lane positions run 0..20.
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
  // pinsDown 1..10, before the ball number moves on: the crash, the roar, cheers, the strike
  // call. Returns when the roar has ended. Any other count plays nothing.
  void PlayPinfallAndCrowd(int pinsDown);
  void AnnounceStrike();
  void AnnounceLeave(int pinsDown);  // 0..10, after the ball number has moved on
  void SpeakStandingPins();          // pin numbers heard from where they stand
  void SpeakFallenPins();
  void PlayGameOpening();  // the welcome, the sponsor and every active bowler introduced

  // The roar's play cursor, in bytes, past which a ten-pin ball gets its strike call.
  static constexpr std::int64_t kStrikeCallAfterBytes = 500000;
  // How often the crowd decides whether someone cheers, while the roar lasts (ms). The odds of
  // a cheer at each decision grow with the pins, so more pins make a busier crowd.
  static constexpr int kCrowdPassMs = 200;

 private:
  // The bowler now up, or none.
  [[nodiscard]] const Player* Bowler() const;
  [[nodiscard]] std::string SexLetter() const;  // "f" or "m"
  // The bowler's strike or spare mark of a frame; none outside frames 1..10.
  [[nodiscard]] bool StruckIn(int frame) const;
  [[nodiscard]] bool SparedIn(int frame) const;
  // The ball the pinfall is announcing made this frame's spare. The tenth frame's bonus ball
  // keeps the frame's spare mark, but it is not the spare.
  [[nodiscard]] bool IsSpareDelivery(int ballBeforeItCounted) const;

  [[nodiscard]] int Draw(int n);  // 1..n
  [[nodiscard]] int RandomPan();  // -5000..5000
  [[nodiscard]] std::filesystem::path PlayClip(std::string_view name) const;
  // Loads a clip into a slot at a volume and pan and starts it once. Returns the clip, or none
  // when it could not be played (logged with its path).
  LoadedClip StartOn(SoundSlot& slot, const std::filesystem::path& file, int volume, int pan);
  // The same, then waits until the slot stops playing.
  void PlayOnAndWait(SoundSlot& slot, const std::filesystem::path& file, int volume, int pan);
  // Serves the keys and timers already waiting, without pausing.
  void Yield();

  // The pieces of the pinfall's crowd: one pass of its cheers, and the wait before the next.
  void CrowdPass(int pinsDown, bool& cheerDone);
  void IntroduceBowler(int index, const Player& bowler);

  SoundEngine& engine_;
  const Roster& roster_;
  const GameSession& session_;
  NameSpeech& names_;
};

// Pans and volumes as the platform takes them: -10000..10000 and -10000..0.
[[nodiscard]] int ClampPan(int pan);
[[nodiscard]] int ClampVolume(int volume);

}  // namespace strikora
