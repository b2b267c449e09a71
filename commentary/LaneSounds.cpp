// The lane's own sounds: the hook, the roll across the stereo field, the gutter, the pins and
// the crowd, and the strike call that rides on the crowd's roar.
#include <algorithm>
#include <cstdlib>
#include <exception>
#include <string>

#include "commentary/Commentary.h"

namespace strikora {
namespace {

std::string N(int n) {
  return std::to_string(n);
}

// Where a lane position is heard while the ball rolls, and at the pin deck.
int BallPan(int position) {
  return 500 * position - 5000;
}
int PinDeckPan(int position) {
  return 125 * position - 1250;
}

// Heard in 3D: the ball leaves the bowler's hand a metre away and reaches the pins 18 m down
// the lane after the glide's thirty ticks.
constexpr double kLaneMetres = 18;
constexpr int kGlideTicks = 30;
double RollDistance(int tick) {
  return 1 + (kLaneMetres - 1) * std::min(tick, kGlideTicks) / kGlideTicks;
}

}  // namespace

void Commentary::PlayHookSound() {
  PlayOnAndWait(engine_.BallBuffer, PlayClip("\\hook.wav"), 0, BallPan(session_.BallPosition));
}

void Commentary::PlayRollSound() {
  const int position = session_.BallPosition;
  const int pan0 = ClampPan(BallPan(position));
  // Thirty ticks carry the ball from its lane pan to the pin deck's narrower pan.
  const int step = (std::abs(pan0) - std::abs(PinDeckPan(position))) / 30;
  const int towardCentre = pan0 < 0 ? step : (pan0 > 0 ? -step : 0);

  if (Draw(100) < 20) PlayOnAndWait(engine_.BallBuffer, PlayClip("\\thumb.wav"), 0, pan0);

  // Only a swing decides how hard the ball goes; in aim-only play the last game's swing is
  // long gone.
  const bool hard = session_.PlayMethod == 2 && session_.SwingValue >= 9;
  const auto file = PlayClip(hard ? "\\rollhard.wav" : "\\roll.wav");
  const LoadedClip roll = StartOn(engine_.BallBuffer, file, 0, pan0);
  if (roll == nullptr) return;
  try {
    // The roll itself is held: a key or the buzzer may load another clip into the ball's slot
    // meanwhile, and the glide stays with the ball.
    for (int tick = 1; roll->IsPlaying(); ++tick) {
      roll->SetDistance(RollDistance(tick));
      const int pan = roll->GetPan();
      const int volume = roll->GetVolume();
      // A long clip glides on past the pin deck and keeps fading, within the device's range.
      roll->SetPan(ClampPan(pan + towardCentre));
      roll->SetVolume(ClampVolume(volume - 30));
      engine_.PlaySilence(1);
      Yield();
    }
  } catch (const std::exception&) {
    engine_.LogError(file.string());
  }
}

void Commentary::PlayGutterBall() {
  const int k = Draw(6);
  const int position = session_.BallPosition;
  const int drift = position < 10 ? 225 : (position > 10 ? -225 : 0);
  const auto file = PlayClip("\\gutter.wav");
  const LoadedClip gutter = StartOn(engine_.BallBuffer, file, 0, BallPan(position));
  if (gutter == nullptr) return;
  try {
    // The ball rattles down the gutter, drifting from the edge toward the middle of the sound
    // stage; the announcer has his say while it goes on.
    int count = 0;
    while (gutter->IsPlaying()) {
      engine_.PlaySilence(2);
      ++count;
      gutter->SetDistance(RollDistance(2 * count));
      if (drift != 0) gutter->SetPan(ClampPan(gutter->GetPan() + drift));
      Yield();
      if (count == 5) engine_.PlayAnnouncerAndWait("\\g" + N(k) + ".wav");
    }
  } catch (const std::exception&) {
    engine_.LogError(file.string());
  }
}

void Commentary::PlayPinfallAndCrowd(int pinsDown) {
  if (pinsDown < 1 || pinsDown > kPins) return;
  const int n = pinsDown;

  if (const LoadedClip pins = StartOn(engine_.BallBuffer, PlayClip("\\pin" + N(n) + ".wav"), 0,
                                      PinDeckPan(session_.BallPosition))) {
    pins->SetDistance(kLaneMetres);
  }
  // The more pins, the longer the crowd takes to find its voice.
  engine_.PlaySilence(n);

  const bool bigRoar = n == 10 || IsSpareDelivery(session_.BallNumber);
  const auto roarFile = PlayClip(bigRoar ? "\\cheers1.wav" : "\\cheers2.wav");
  // Held for the whole crowd: a cheer's buzzer or a key may load into the speech slot.
  const LoadedClip roar = StartOn(engine_.SpeechBuffer, roarFile, 0, 0);

  bool strikeDone = false;
  if (roar != nullptr) {
    WindowSystem& windows = engine_.GetPlatform().Windows;
    bool passDue = false;
    Timer pace(windows, "crowd");
    pace.OnTimer = [&passDue] { passDue = true; };
    pace.SetEnabled(true);
    bool cheerDone = false;
    try {
      while (roar->IsPlaying()) {
        CrowdPass(n, cheerDone);
        if (n == 10 && !strikeDone && roar->GetCurrentPosition() > kStrikeCallAfterBytes) {
          strikeDone = true;
          AnnounceStrike();
        }
        passDue = false;
        pace.SetInterval(kCrowdPassMs);
        windows.WaitUntil([&] { return passDue || !roar->IsPlaying(); },
                          [&roar] { return roar->MsUntilEnd(); }, "the crowd");
      }
    } catch (const std::exception&) {
      engine_.LogError(roarFile.string());
    }
  }
  // A roar too short to reach the call (a player's own recording), or none at all, still
  // leaves the strike called.
  if (n == 10 && !strikeDone) AnnounceStrike();
}

void Commentary::CrowdPass(int n, bool& cheerDone) {
  if (Draw(100) >= 10 * n) return;
  const int k = Draw(9);
  const int pan = RandomPan();
  PlayOnAndWait(engine_.CrowdBuffer, PlayClip("\\cheer" + N(k) + ".wav"), 0, pan);

  // One voice for the bowler, at most once, from the side away from the alley music.
  const int r2 = Draw(100);
  if (!cheerDone && r2 < 26) {
    const int k2 = Draw(2);
    const SoundSlot& music = engine_.MusicBuffer;
    const int musicPan = music.Buffer != nullptr ? music.Buffer->GetPan() : 0;
    PlayOnAndWait(
        engine_.CrowdBuffer,
        PlayClip(std::string(SexLetter() == "f" ? "\\cheerf" : "\\cheerm") + N(k2) + ".wav"), -1000,
        musicPan + 5000);
    cheerDone = true;
  }

  const int frame = session_.CurrentFrame;
  if (frame >= 3 && n == 10 && StruckIn(frame) && StruckIn(frame - 1) && StruckIn(frame - 2)) {
    const int turkeyPan = RandomPan();
    PlayOnAndWait(engine_.CrowdBuffer, PlayClip("\\turkey.wav"), 0, turkeyPan);
  }
}

void Commentary::AnnounceStrike() {
  const std::string sex = SexLetter();
  engine_.PlayAnnouncerAndWait("\\strk" + sex + N(Draw(2)) + ".wav");
  // Praise the hook when the bowler curved it right and the ball moved, else the aim. The ball
  // can still finish left of its release (a late swing), and then the left remark is heard.
  const int from = session_.ReleasePosition;
  const int to = session_.BallPosition;
  std::string base = "\\prfaim";
  if (to != from && session_.HookAmount > 0) base = from < to ? "\\strkrh" : "\\strklh";
  engine_.PlayAnnouncerAndWait(base + sex + N(Draw(2)) + ".wav");
}

}  // namespace strikora
