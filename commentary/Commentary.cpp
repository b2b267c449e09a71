#include "commentary/Commentary.h"

#include <exception>
#include <string>

namespace strikora {

// The announcer's smallest form: one clip per call. The full commentary replaces it.

Commentary::Commentary(SoundEngine& engine, const Roster& roster, const GameSession& session,
                       NameSpeech& names)
    : engine_(engine), roster_(roster), session_(session), names_(names) {}

void Commentary::PlayOn(SoundSlot& slot, const std::filesystem::path& file) {
  try {
    engine_.PlayClipAndWait(slot, file);
  } catch (const std::exception&) {
    engine_.LogError(file.string());
  }
}

void Commentary::AnnounceFrame() {
  engine_.PlayAnnouncerAndWait("\\frame" + std::to_string(session_.CurrentFrame) + ".wav");
}

void Commentary::AnnouncePlayerUp() {
  names_.SpeakPlayerName(roster_.CurrentPlayer());
  engine_.PlayAnnouncerAndWait("\\isup1.wav");
  AnnounceStreak();
}

void Commentary::AnnounceStreak() {}

void Commentary::AnnounceBall() {
  if (session_.BallNumber == 0) {
    engine_.PlayAnnouncerAndWait("\\1stball1.wav");
  } else if (session_.BallNumber == 1) {
    engine_.PlayAnnouncerAndWait("\\2ndball1.wav");
  } else {
    engine_.PlayAnnouncerAndWait("\\xtraball.wav");
  }
}

void Commentary::AnnounceNextPlayer() {
  engine_.PlayAnnouncerAndWait("\\nxtplay1.wav");
}

void Commentary::PlayHookSound() {
  PlayOn(engine_.BallBuffer, engine_.GetFolders().PlayFolder / "hook.wav");
}

void Commentary::PlayRollSound() {
  PlayOn(engine_.BallBuffer, engine_.GetFolders().PlayFolder / "roll.wav");
}

void Commentary::PlayGutterBall() {
  PlayOn(engine_.BallBuffer, engine_.GetFolders().PlayFolder / "gutter.wav");
}

void Commentary::PlayPinfallAndCrowd(int pinsDown) {
  PlayOn(engine_.BallBuffer,
         engine_.GetFolders().PlayFolder / ("pin" + std::to_string(pinsDown) + ".wav"));
}

void Commentary::AnnounceStrike() {}

void Commentary::AnnounceLeave(int /*pinsDown*/) {}

void Commentary::SpeakStandingPins() {
  for (int i = 1; i <= kPins; ++i) {
    if (session_.PinStanding[static_cast<std::size_t>(i)]) engine_.Numbers.SpeakNumber(i);
  }
}

void Commentary::SpeakFallenPins() {}

void Commentary::PlayGameOpening() {
  engine_.PlayAnnouncerAndWait("\\welcome.wav");
}

}  // namespace strikora
