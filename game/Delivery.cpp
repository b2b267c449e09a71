#include "game/Delivery.h"

#include <algorithm>
#include <array>
#include <exception>
#include <string>

#include "game/ScopeExit.h"

namespace strikora {
namespace {

constexpr int kBouncesToLoseTheBall = 6;
// How long the default set's aim tones last at skill levels 1..5, in milliseconds.
constexpr std::array<int, 5> kToneMs = {260, 220, 180, 150, 120};

}  // namespace

Delivery::Delivery(SoundEngine& engine, Roster& roster, GameSession& session, Announcer& announcer,
                   Pinfall& pinfall, fMainPlay& lane, TurnFlow& turn)
    : engine_(engine),
      roster_(roster),
      session_(session),
      announcer_(announcer),
      pinfall_(pinfall),
      lane_(lane),
      turn_(turn) {}

Player& Delivery::Bowler() const {
  return roster_.Players(roster_.CurrentPlayer());
}

void Delivery::AdvanceBallNumber() {
  session_.BallNumber += Bowler().Strikes(session_.CurrentFrame) ? 2 : 1;
}

Delivery::SweepEnd Delivery::AimSweep() {
  GameSession& s = session_;
  const std::uint64_t mine = ++ball_;
  previousTone_ = -1;
  toneFailureLogged_ = false;
  s.Aiming = true;
  for (;;) {
    if (s.AimSweepCount >= kBouncesToLoseTheBall) {
      // No stop key may release this ball while the loss is being told.
      s.Aiming = false;
      return SweepEnd::Lost;
    }
    PlayTone(s.BallPosition);
    // Released inside the tone's wait: the whole delivery has run from the stop key, and
    // perhaps further balls of the turn. This sweep is over and touches nothing more.
    if (ball_ != mine || !s.Aiming) return SweepEnd::Released;
    previousTone_ = s.BallPosition;
    if (s.AimMovingRight) {
      ++s.BallPosition;
    } else {
      --s.BallPosition;
    }
    // The edges are heard once per pass: the sweep turns without repeating them.
    if (s.BallPosition < 0) {
      s.BallPosition = 1;
      s.AimMovingRight = true;
      ++s.AimSweepCount;
    } else if (s.BallPosition > 20) {
      s.BallPosition = 19;
      s.AimMovingRight = false;
      ++s.AimSweepCount;
    }
  }
}

void Delivery::PlayTone(int p) {
  const std::uint64_t mine = ball_;
  toneStartedMs_ = engine_.GetPlatform().Time.MonotonicMs();
  const int skill = session_.SkillLevel;
  try {
    engine_.PlayAimTone(p, skill);
    return;
  } catch (const std::exception&) {
    // A missing tone is told once a ball; the sweep keeps its pace with what it has.
    if (!toneFailureLogged_) {
      toneFailureLogged_ = true;
      const int tone = IsLandmarkPosition(skill, p) ? 1 : 0;
      engine_.LogError((engine_.GetFolders().PlayFolder /
                        ("aim" + std::to_string(tone) + std::to_string(skill) + ".wav"))
                           .string());
    }
  }
  if (ball_ != mine || !session_.Aiming) return;  // released during the buzzer
  toneStartedMs_ = engine_.GetPlatform().Time.MonotonicMs();
  const SoundSlot& other = engine_.AimBuffers[IsLandmarkPosition(skill, p) ? 0 : 1];
  if (const LoadedClip tone = other.Buffer; tone != nullptr) {
    try {
      tone->SetPan(p * 500 - 5000);
      tone->Play(PlayMode::Once);
      engine_.WaitFor(tone, other.Name.c_str());
      return;
    } catch (const std::exception&) {
      // Then the pause below.
    }
  }
  PauseForTone();
}

void Delivery::PauseForTone() {
  const int skill = std::clamp<int>(session_.SkillLevel, 1, 5);
  bool over = false;
  Timer pause(engine_.GetPlatform().Windows, "aim pause");
  pause.OnTimer = [&over] { over = true; };
  pause.SetInterval(kToneMs[static_cast<std::size_t>(skill - 1)]);
  pause.SetEnabled(true);
  engine_.GetPlatform().Windows.WaitUntil([&over] { return over; }, "a missing aim tone's time");
}

int Delivery::HeardPosition() const {
  const std::int64_t latency = engine_.GetPlatform().Audio.OutputLatencyMs();
  const std::int64_t sinceStart = engine_.GetPlatform().Time.MonotonicMs() - toneStartedMs_;
  if (latency > 0 && previousTone_ >= 0 && sinceStart < latency) return previousTone_;
  return session_.BallPosition;
}

void Delivery::ReleaseAim() {
  GameSession& s = session_;
  s.BallPosition = static_cast<std::int16_t>(HeardPosition());
  s.ReleasePosition = s.BallPosition;
  s.Aiming = false;
  if (s.PlayMethod == 2) {
    SwingBall();
  } else {
    DeliverBall();
  }
}

void Delivery::SwingBall() {
  GameSession& s = session_;
  const std::uint64_t mine = ball_;
  s.SwingValue = 0;
  s.Swinging = true;
  const auto released = [&] { return ball_ != mine || !s.Swinging; };
  for (int k = 1; k <= 10; ++k) {
    if (released()) return;
    s.SwingValue = static_cast<std::int16_t>(k);
    const auto clip = engine_.GetFolders().PlayFolder /
                      ("sw" + std::to_string(s.SkillLevel) + std::to_string(k) + ".wav");
    try {
      const LoadedClip swing = engine_.Load(engine_.BallBuffer, clip);
      swing->SetPan(s.BallPosition * 500 - 5000);
      swing->Play(PlayMode::Once);
      engine_.WaitFor(swing, engine_.BallBuffer.Name.c_str());
    } catch (const std::exception&) {
      engine_.LogError(clip.string());
    }
  }
  if (released()) return;
  s.Swinging = false;
  DeliverBall();
}

void Delivery::DeliverBall() {
  GameSession& s = session_;
  s.Aiming = false;
  s.Swinging = false;
  if (s.BallInPlay) return;
  s.BallInPlay = true;
  s.HookAmount = 0;
  {
    lane_.OpenHookWindow();
    const ScopeExit shut([this] { lane_.CloseHookWindow(); });
    engine_.PlaySilence(1);
    // Once the hook has begun, the window stays open through the hook sound.
    if (s.HookAmount != 0) {
      engine_.PlaySilence(3);
      announcer_.PlayHookSound();
      engine_.PlaySilence(3);
    }
  }
  announcer_.PlayRollSound();
  // The swing: released on the eighth clip the ball keeps its line; earlier throws it toward
  // the bowling hand's far side, later toward its near side.
  if (s.PlayMethod == 2 && s.SwingValue >= 1 && s.SwingValue <= 10 && s.SwingValue != 8) {
    const int off = Bowler().Lefthanded() ? s.SwingValue - 8 : 8 - s.SwingValue;
    s.BallPosition = static_cast<std::int16_t>(std::clamp(s.BallPosition + off, 0, 20));
  }
  if (s.BallPosition < 2 || s.BallPosition > 18) {
    GutterBall();
  } else {
    ResolvePinfall();
  }
}

void Delivery::GutterBall() {
  session_.BallPosition = static_cast<std::int16_t>(std::clamp<int>(session_.BallPosition, 0, 20));
  announcer_.PlayGutterBall();
  AdvanceBallNumber();
  turn_.NextBall();
}

void Delivery::ResolvePinfall() {
  GameSession& s = session_;
  const Pinfall::Result result = pinfall_.Resolve(Bowler().Lefthanded());
  if (result.Gutter) {
    GutterBall();
    return;
  }
  if (result.Count == 0) {
    engine_.PlayAndWait(engine_.GetFolders().PlayFolder / "miss.wav");
  } else {
    Bowler().AddScore(s.CurrentFrame, result.Count, s.BallNumber);
    announcer_.PlayPinfallAndCrowd(result.Count);
  }
  AdvanceBallNumber();
  announcer_.AnnounceLeave(result.Count);
  turn_.NextBall();
}

}  // namespace strikora
