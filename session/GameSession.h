#pragma once

#include <array>
#include <cstdint>

namespace strikora {

inline constexpr int kPins = 10;
// Where pins 1..10 stand across the lane (0..20, 10 the centre): the head pin, then rows of
// two, three and four, two positions apart.
inline constexpr std::array<std::int16_t, kPins + 1> kPinPositions{0,  10, 8, 12, 6, 10,
                                                                   14, 4,  8, 12, 16};

// The state of the game in progress and of the choices made before it, in one place: the
// menus write the choices, the lane, the delivery, the pinfall, the results and the announcer
// read and write the rest. Lives for the whole run; only the game resets what it says it does.
//
// Lane positions run 0..20 (10 the centre, below 2 or above 18 the gutter); pins, frames,
// play methods and skill levels count from 1.
struct GameSession {
  // Chosen before a game.
  std::int16_t PlayMethod = 1;  // 1 aim only, 2 aim and swing
  std::int16_t SkillLevel = 1;  // 1..5
  bool UseHandicap = false;     // scores at the end are told with handicap; off at every start
  bool MenuAccepted = false;    // the option menu that just closed was confirmed with Enter

  // Where the game stands.
  std::int16_t CurrentFrame = 1;  // 1..10
  std::int16_t BallNumber = 0;    // ball slot in the frame: +2 after a delivery of a strike frame
  std::array<std::int16_t, kPins + 1> PinPosition = kPinPositions;  // index 0 unused
  std::array<bool, kPins + 1> PinStanding{};                        // index 0 unused

  // The delivery in progress.
  std::int16_t BallPosition = 0;     // 0..20
  std::int16_t ReleasePosition = 0;  // where the aim sweep was stopped
  std::int16_t SwingValue = 0;       // the swing clip 1..10 at release; 0 before the first
  std::int16_t HookAmount = 0;       // negative curves toward 0, positive toward 20
  bool AimMovingRight = true;
  std::int16_t AimSweepCount = 0;  // edge bounces of the sweep; the sixth loses the ball

  // The waits: the frame loop sets a flag and waits; a key handler clears it.
  bool WaitingForThrow = false;     // the ball is announced; Space starts the sweep
  bool AwaitingNextPlayer = false;  // the turn is over; Enter calls the next bowler
  bool Aiming = false;
  bool Swinging = false;
  bool HookWindow = false;       // the hook keys count while this is set
  bool BallInPlay = false;       // this ball has left the hand
  bool ConfirmingLeave = false;  // a yes/no question is open on the lane
  bool LeaveConfirmed = false;   // its answer: Y
  bool MP3Playing = false;       // an advert or the closing music; Page keys set its speed

  // Every pin back on its spot.
  void ResetPins() {
    PinPosition = kPinPositions;
    PinStanding.fill(true);
    PinStanding[0] = false;
  }
};

}  // namespace strikora
