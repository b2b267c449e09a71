#include "game/Results.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>

#include "game/Fade.h"

namespace strikora {

Results::Results(SoundEngine& engine, Roster& roster, GameSession& session, NameSpeech& names,
                 fMainPlay& lane)
    : engine_(engine), roster_(roster), session_(session), names_(names), lane_(lane) {}

std::int16_t Results::HandicapOf(int player) const {
  const auto slot = static_cast<std::size_t>(player);
  return slot < handicaps_.size() ? handicaps_[slot] : 0;
}

std::int16_t Results::ScoreOf(int player) const {
  const std::int16_t plain = roster_.Players(player).GetScore(false, 0, 0);
  return static_cast<std::int16_t>(plain + (session_.UseHandicap ? HandicapOf(player) : 0));
}

void Results::TakeHandicaps() {
  handicaps_.assign(static_cast<std::size_t>(roster_.PlayerCount()) + 1, 0);
  for (int p = 1; p <= roster_.PlayerCount(); ++p) {
    const Player& bowler = roster_.Players(p);
    if (!bowler.IsActive()) continue;
    try {
      // Once this game is stored it is part of the average: the handicap is read before.
      if (bowler.Average(session_.PlayMethod, session_.SkillLevel) > 0) {
        handicaps_[static_cast<std::size_t>(p)] =
            bowler.HandiCap(session_.PlayMethod, session_.SkillLevel);
      }
    } catch (const std::exception&) {
      engine_.LogError("AnnounceResults");
    }
  }
}

void Results::SpeakNumber(int n) {
  try {
    engine_.Numbers.SpeakNumber(n);
  } catch (const std::exception&) {
    engine_.LogError("SpeakNumber");
  }
}

void Results::SaveGames() {
  // Each bowler on its own: one record that cannot be written loses no one else's game.
  for (int p = 1; p <= roster_.PlayerCount(); ++p) {
    Player& bowler = roster_.Players(p);
    if (!bowler.IsActive()) continue;
    try {
      bowler.GameOver(session_.PlayMethod, session_.SkillLevel);
      bowler.Save(roster_.PlayersFile(), p);
    } catch (const std::exception&) {
      engine_.LogError(roster_.PlayersFile().string());
    }
  }
}

void Results::AnnounceResults() {
  GameSession& s = session_;
  const Folders& f = engine_.GetFolders();

  lane_.EnableAlleyTimers(false);
  lane_.tmrImpatient.SetEnabled(false);
  try {
    FadeOut(engine_, {&engine_.BackgroundBuffer, &engine_.MusicBuffer}, 1);
    if (engine_.MusicBuffer.Buffer != nullptr) engine_.MusicBuffer.Buffer->Stop();
  } catch (const std::exception&) {
    // A lane that will not fall silent must not cost the bowlers their games.
    engine_.LogError("AnnounceResults");
  }
  engine_.StopBackground();

  // The games are stored under the closing music; music that cannot start is not waited for.
  engine_.Mp3.MP3Speed = 100.0f;
  const bool playing =
      engine_.Mp3.LoadMP3(f.AnnounceFolder / "pgstart.mp3") && engine_.Mp3.PlayMP3(true);
  s.MP3Playing = playing;
  TakeHandicaps();
  SaveGames();
  if (playing) engine_.Mp3.WaitForMP3();
  s.MP3Playing = false;
  (void)engine_.Mp3.LoadMP3(f.PackFolder / "logos.mp3");

  engine_.StartMenuMusic();
  engine_.PlaySilence(10);
  engine_.DuckMusic();
  if (s.UseHandicap) engine_.PlayAnnouncerAndWait("\\handi.wav");

  std::vector<std::int16_t> scores;
  for (int p = 1; p <= roster_.PlayerCount(); ++p) {
    if (roster_.Players(p).IsActive()) scores.push_back(ScoreOf(p));
  }
  std::sort(scores.begin(), scores.end(), std::greater<>());
  do {
    AnnounceStandings(scores);
  } while (lane_.AskYesNo("\\ruagain.wav"));

  engine_.StopBackground();
  engine_.PlayAnnouncerAndWait("\\pgend.wav");
  s.MenuAccepted = false;
}

void Results::AnnounceStandings(const std::vector<std::int16_t>& scores) {
  const GameSession& s = session_;
  RandomSource& random = engine_.GetPlatform().Random;
  const int n = static_cast<int>(scores.size());
  std::vector<bool> placed(static_cast<std::size_t>(roster_.PlayerCount()) + 1, false);
  int previous = 0;
  for (int place = n; place >= 1; --place) {
    const std::int16_t score = scores[static_cast<std::size_t>(place - 1)];
    int p = 0;
    for (int q = 1; q <= roster_.PlayerCount() && p == 0; ++q) {
      if (roster_.Players(q).IsActive() && !placed[static_cast<std::size_t>(q)] &&
          ScoreOf(q) == score) {
        p = q;
      }
    }
    if (p == 0) continue;

    const std::string r = std::to_string(random.Between1And(2));
    std::string clip;
    if (place == 1) {
      clip = (n == 1 ? "\\solo" : "\\1stplc") + r + ".wav";
    } else if (place == 2) {
      clip = "\\2ndplc" + r + ".wav";
    } else if (place == 3) {
      clip = "\\3rdplc" + r + ".wav";
    } else {
      clip = (place == n ? "\\lastplc" : "\\nextplc") + r + ".wav";
    }
    if (place < n && previous != 0 && ScoreOf(p) == ScoreOf(previous)) {
      engine_.PlayAnnouncerAndWait("\\tying.wav");
      names_.SpeakPlayerName(previous);
      clip = "\\was.wav";
    }
    placed[static_cast<std::size_t>(p)] = true;
    previous = p;

    engine_.PlayAnnouncerAndWait(clip);
    names_.SpeakPlayerName(p);
    engine_.PlayAnnouncerAndWait("\\scoreof" + std::to_string(random.Between1And(3)) + ".wav");
    SpeakNumber(score);
    Cheer(place == 1 ? "cheers1.wav" : "cheers2.wav", place < n);

    const Player& bowler = roster_.Players(p);
    if (s.UseHandicap) {
      engine_.PlayAnnouncerAndWait(bowler.Female() ? "\\fht.wav" : "\\mht.wav");
      SpeakNumber(HandicapOf(p));
    }
    if (bowler.GetScore(false, s.PlayMethod, s.SkillLevel) == 300) {
      engine_.PlayAnnouncerAndWait(bowler.Female() ? "\\prfgamf.wav" : "\\prfgamm.wav");
    }
  }
}

void Results::Cheer(const std::string& applause, bool withCheers) {
  const std::filesystem::path& play = engine_.GetFolders().PlayFolder;
  RandomSource& random = engine_.GetPlatform().Random;
  LoadedClip crowd;
  try {
    crowd = engine_.Load(engine_.SpeechBuffer, play / applause);
    crowd->Play(PlayMode::Once);
  } catch (const std::exception&) {
    engine_.LogError((play / applause).string());
    return;
  }
  // Held here: a buzzer loaded into the speech slot meanwhile must not end the applause.
  while (crowd->IsPlaying()) {
    if (!withCheers) {
      engine_.WaitFor(crowd, engine_.SpeechBuffer.Name.c_str());
      break;
    }
    const int k = random.Between1And(9);
    const int pan = static_cast<int>(std::floor(random.Rnd() * 10001 - 5000));
    const auto cheer = play / ("cheer" + std::to_string(k) + ".wav");
    try {
      const LoadedClip one = engine_.Load(engine_.CrowdBuffer, cheer);
      one->SetPan(pan);
      one->Play(PlayMode::Once);
      engine_.WaitFor(one, engine_.CrowdBuffer.Name.c_str());
    } catch (const std::exception&) {
      // A cheer that cannot play is told once; the applause goes on alone.
      engine_.LogError(cheer.string());
      withCheers = false;
    }
  }
}

}  // namespace strikora
