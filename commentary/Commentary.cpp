#include "commentary/Commentary.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>

namespace strikora {
namespace {

std::string N(int n) {
  return std::to_string(n);
}

// The group of a first ball's count in the name of its leave remark.
const char* FirstBallGroup(int pinsDown) {
  if (pinsDown <= 3) return "1-3";
  if (pinsDown <= 6) return "4-6";
  if (pinsDown <= 8) return "7-8";
  return "9";
}

// The same for a later ball; nothing for a ball that felled no pin.
const char* LaterBallGroup(int pinsDown) {
  if (pinsDown <= 0) return "";
  if (pinsDown == 1) return "1";
  if (pinsDown <= 3) return "2-3";
  if (pinsDown <= 6) return "4-6";
  return "7-";
}

// Swing coaching by the swing clip the ball left on: 8 is the ideal and says nothing.
const char* SwingBand(int swingValue) {
  if (swingValue >= 1 && swingValue <= 4) return "wts";   // way too soon
  if (swingValue >= 5 && swingValue <= 7) return "lts";   // a little too soon
  if (swingValue >= 9 && swingValue <= 10) return "ltl";  // a little too late
  return nullptr;
}

}  // namespace

int ClampPan(int pan) {
  return std::clamp(pan, -10000, 10000);
}

int ClampVolume(int volume) {
  return std::clamp(volume, -10000, 0);
}

Commentary::Commentary(SoundEngine& engine, const Roster& roster, const GameSession& session,
                       NameSpeech& names)
    : engine_(engine), roster_(roster), session_(session), names_(names) {}

const Player* Commentary::Bowler() const {
  return roster_.PlayerAt(roster_.CurrentPlayer());
}

std::string Commentary::SexLetter() const {
  const Player* p = Bowler();
  return p != nullptr && p->Female() ? "f" : "m";
}

bool Commentary::StruckIn(int frame) const {
  const Player* p = Bowler();
  return p != nullptr && frame >= 1 && frame <= kFrames && p->Strikes(frame);
}

bool Commentary::SparedIn(int frame) const {
  const Player* p = Bowler();
  return p != nullptr && frame >= 1 && frame <= kFrames && p->Spares(frame);
}

bool Commentary::IsSpareDelivery(int ballBeforeItCounted) const {
  // A spare is only ever made on ball slot 1.
  return ballBeforeItCounted == 1 && SparedIn(session_.CurrentFrame);
}

int Commentary::Draw(int n) {
  return engine_.GetPlatform().Random.Between1And(n);
}

int Commentary::RandomPan() {
  return static_cast<int>(std::floor(10001 * engine_.GetPlatform().Random.Rnd() - 5000));
}

std::filesystem::path Commentary::PlayClip(std::string_view name) const {
  return Clip(engine_.GetFolders().PlayFolder, name);
}

LoadedClip Commentary::StartOn(SoundSlot& slot, const std::filesystem::path& file, int volume,
                               int pan) {
  try {
    LoadedClip clip = engine_.Load(slot, file);
    clip->SetVolume(ClampVolume(volume));
    clip->SetPan(ClampPan(pan));
    clip->Play(PlayMode::Once);
    return clip;
  } catch (const std::exception&) {
    engine_.LogError(file.string());
    return nullptr;
  }
}

void Commentary::PlayOnAndWait(SoundSlot& slot, const std::filesystem::path& file, int volume,
                               int pan) {
  // The clip is not held across the wait: like every plain play-and-wait, a clip loaded into
  // the slot meanwhile replaces it, and the wait goes on until that one ends.
  if (StartOn(slot, file, volume, pan) == nullptr) return;
  try {
    engine_.WaitFor(slot);
  } catch (const std::exception&) {
    engine_.LogError(file.string());
  }
}

void Commentary::Yield() {
  (void)engine_.GetPlatform().Windows.DoPendingEvents();
}

void Commentary::AnnounceFrame() {
  engine_.PlayAnnouncerAndWait("\\frame" + N(session_.CurrentFrame) + ".wav");
}

void Commentary::AnnouncePlayerUp() {
  // Half the lines follow the name ("... is up"), half lead into it ("Here comes ...").
  const int k = Draw(6);
  const std::string line = "\\isup" + N(k) + ".wav";
  const int up = roster_.CurrentPlayer();
  if (k <= 3) {
    names_.SpeakPlayerName(up);
    engine_.PlayAnnouncerAndWait(line);
  } else {
    engine_.PlayAnnouncerAndWait(line);
    names_.SpeakPlayerName(up);
  }
  AnnounceStreak();
}

void Commentary::AnnounceStreak() {
  const int frame = session_.CurrentFrame;
  if (session_.BallNumber != 0 || frame < 2 || frame > kFrames) return;
  const char* kind = nullptr;
  if (StruckIn(frame - 1)) kind = "strk";
  if (frame > 2 && StruckIn(frame - 2) && StruckIn(frame - 1)) kind = "2strk";
  if (SparedIn(frame - 1)) kind = "spr";
  if (kind == nullptr) return;
  engine_.PlayAnnouncerAndWait(std::string(SexLetter() == "f" ? "\\fw" : "\\mw") + kind + ".wav");
}

void Commentary::AnnounceBall() {
  const int k = Draw(3);
  switch (session_.BallNumber) {
    case 0:
      engine_.PlayAnnouncerAndWait("\\1stball" + N(k) + ".wav");
      break;
    case 1:
      engine_.PlayAnnouncerAndWait("\\2ndball" + N(k) + ".wav");
      break;
    default:
      engine_.PlayAnnouncerAndWait("\\xtraball.wav");
      break;
  }
}

void Commentary::AnnounceNextPlayer() {
  bool anotherToCome = false;
  for (int i = roster_.CurrentPlayer() + 1; i <= roster_.PlayerCount(); ++i) {
    const Player* p = roster_.PlayerAt(i);
    if (p != nullptr && p->IsActive()) {
      anotherToCome = true;
      break;
    }
  }
  if (anotherToCome) {
    engine_.PlayAnnouncerAndWait("\\nxtplay" + N(Draw(2)) + ".wav");
  } else {
    engine_.PlayAnnouncerAndWait("\\etc.wav");
  }
}

void Commentary::AnnounceLeave(int pinsDown) {
  const std::string sex = SexLetter();
  const int ball = session_.BallNumber;

  // Coaching on the swing comes first, after every ball that reached the pins.
  if (session_.PlayMethod == 2 && session_.SwingValue != 8) {
    if (const char* band = SwingBand(session_.SwingValue)) {
      engine_.PlayAnnouncerAndWait(std::string("\\lg") + band + sex + ".wav");
    }
  }
  if (pinsDown >= 10) return;  // the strike call belongs to the crowd's roar

  // The ball number has already moved on: the spare was made on slot 1, so it reads 2 now.
  if (IsSpareDelivery(ball - 1)) {
    engine_.PlayAnnouncerAndWait("\\spare" + sex + N(Draw(2)) + ".wav");
  } else if (ball == 1) {
    if (pinsDown <= 0) return;  // the miss has already been heard
    engine_.PlayAnnouncerAndWait(std::string("\\k") + FirstBallGroup(pinsDown) + N(Draw(3)) +
                                 ".wav");
  } else if (ball > 1) {
    const std::string stem =
        pinsDown <= 0 ? std::string("\\m") : std::string("\\k2") + LaterBallGroup(pinsDown);
    engine_.PlayAnnouncerAndWait(stem + N(Draw(3)) + ".wav");
  }

  if (ball != 1) return;
  if (pinsDown >= 7 && Draw(100) < 51) engine_.PlayAnnouncerAndWait("\\spare.wav");
  // The list read out never names more than five pins.
  if (pinsDown >= 1 && pinsDown <= 4) {
    SpeakFallenPins();
  } else if (pinsDown >= 5 && pinsDown <= 9) {
    engine_.PlayAnnouncerAndWait("\\stndpin.wav");
    SpeakStandingPins();
  }
}

void Commentary::SpeakStandingPins() {
  // One voice for the whole list.
  static constexpr const char* kEndings[] = {".wav", "f.wav", "p.wav"};
  const char* ending = kEndings[Draw(3) - 1];
  for (int i = 1; i <= kPins; ++i) {
    const auto pin = static_cast<std::size_t>(i);
    if (!session_.PinStanding[pin]) continue;
    // Each number comes from where its pin stands: pin 7 from the left, pin 10 from the right.
    PlayOnAndWait(engine_.SpeechBuffer, engine_.GetFolders().NumbersFolder / (N(i) + ending), 0,
                  500 * session_.PinPosition[pin] - 5000);
    engine_.PlaySilence(5);
  }
}

void Commentary::SpeakFallenPins() {
  engine_.PlayAnnouncerAndWait("\\pko.wav");
  for (int i = 1; i <= kPins; ++i) {
    if (session_.PinStanding[static_cast<std::size_t>(i)]) continue;
    try {
      engine_.Numbers.SpeakNumber(i);
    } catch (const std::exception&) {
      // A pin number is one snippet, in the voice the number speech just drew.
      engine_.LogError(
          (engine_.GetFolders().NumbersFolder / (N(i) + engine_.Numbers.NumberSuffix())).string());
    }
  }
}

}  // namespace strikora
