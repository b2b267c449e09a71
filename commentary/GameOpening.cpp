// The opening of a game: the welcome, the sponsor of the hour, and every one of today's bowlers
// introduced by sex, hand and standing over a crowd that fades away.
#include <cstdint>
#include <exception>
#include <string>

#include "commentary/Commentary.h"

namespace strikora {

void Commentary::PlayGameOpening() {
  engine_.PlaySilence(20);
  engine_.PlayAnnouncerAndWait("\\welcome.wav");
  const int minute = engine_.GetPlatform().Time.Now().Minute;
  engine_.PlayAnnouncerAndWait(minute % 2 == 0 ? "\\sponsor1.wav" : "\\sponsor2.wav");
  engine_.PlayAnnouncerAndWait("\\1stlook.wav");
  for (int i = 1; i <= roster_.PlayerCount(); ++i) {
    const Player* bowler = roster_.PlayerAt(i);
    if (bowler != nullptr && bowler->IsActive()) IntroduceBowler(i, *bowler);
  }
}

void Commentary::IntroduceBowler(int index, const Player& bowler) {
  // Everything about the bowler is read before the first wait: the line is chosen by sex, hand
  // and standing in the series being played.
  std::string line =
      std::string(bowler.Female() ? "\\f" : "\\m") + (bowler.Lefthanded() ? "lh" : "rh");
  std::int16_t average = 0;
  try {
    average = bowler.Average(session_.PlayMethod, session_.SkillLevel);
  } catch (const std::exception&) {
    engine_.LogError("PlayGameOpening");
  }
  // A newcomer and a beginner get the smaller crowd at full level, the good and the great the
  // big roar held back a little.
  const char* standing = average == 0    ? "n.wav"
                         : average < 100 ? "b.wav"
                         : average < 200 ? "e.wav"
                                         : "p.wav";
  line += standing;
  const bool bigCrowd = average >= 100;
  const auto crowdFile = PlayClip(bigCrowd ? "\\cheers1.wav" : "\\cheers2.wav");

  names_.SpeakPlayerName(index);
  const LoadedClip crowd = StartOn(engine_.CrowdBuffer, crowdFile, bigCrowd ? -500 : 0, 0);
  engine_.PlayAnnouncerAndWait(line);
  if (crowd == nullptr) return;
  try {
    // The crowd is held while it fades: the next bowler's crowd replaces it in the slot, and
    // until then it runs out at the level the fade left it.
    for (int v = crowd->GetVolume(); v >= -5000; v -= 250) {
      crowd->SetVolume(v);
      engine_.PlaySilence(1);
      Yield();
    }
  } catch (const std::exception&) {
    engine_.LogError(crowdFile.string());
  }
}

}  // namespace strikora
