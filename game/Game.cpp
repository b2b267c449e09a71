#include "game/Game.h"

#include <exception>
#include <string>

#include "game/Fade.h"
#include "game/GameAbandoned.h"

namespace strikora {

Game::Game(SoundEngine& engine, Roster& roster, GameSession& session, Commentary& commentary,
           NameSpeech& names, GameWindows windows)
    : Game(engine, roster, session, std::make_unique<CommentaryAnnouncer>(commentary), nullptr,
           names, windows) {}

Game::Game(SoundEngine& engine, Roster& roster, GameSession& session, Announcer& announcer,
           NameSpeech& names, GameWindows windows)
    : Game(engine, roster, session, nullptr, &announcer, names, windows) {}

Game::Game(SoundEngine& engine, Roster& roster, GameSession& session,
           std::unique_ptr<Announcer> owned, Announcer* borrowed, NameSpeech& names,
           GameWindows windows)
    : engine_(engine),
      roster_(roster),
      session_(session),
      ownAnnouncer_(std::move(owned)),
      announcer_(borrowed != nullptr ? *borrowed : *ownAnnouncer_),
      windows_(windows),
      pinfall_(session, engine.GetPlatform().Random),
      lane_(engine, roster, session, announcer_, names),
      delivery_(engine, roster, session, announcer_, pinfall_, lane_, *this),
      results_(engine, roster, session, names, lane_) {
  lane_.AttachDelivery(delivery_);
}

Game::~Game() = default;

void Game::ClearFlags() {
  GameSession& s = session_;
  s.Aiming = false;
  s.Swinging = false;
  s.HookWindow = false;
  s.BallInPlay = false;
  s.WaitingForThrow = false;
  s.AwaitingNextPlayer = false;
  s.ConfirmingLeave = false;
  s.LeaveConfirmed = false;
  s.MP3Playing = false;
  s.SwingValue = 0;
  engine_.Busy = false;
}

void Game::StartGame() {
  windows_.Main.Hide();
  ClearFlags();
  try {
    roster_.ClearTodaysPlayers();
    if (!ChooseOptions()) {
      // Back to the main menu, whose own loop is still running below this call.
      windows_.Main.Show(ShowMode::Modeless);
      return;
    }
    FadeOut(engine_, {&engine_.BackgroundBuffer}, 2);
    engine_.StopBackground();
    engine_.LoadAmbientSounds();
    lane_.Show(ShowMode::Modeless);
    lane_.EnableAlleyTimers(true);
    lane_.tmrImpatient.SetEnabled(false);
    engine_.SetLaneOpen(true);
    engine_.StartAlleyAmbience();
    announcer_.PlayGameOpening();
    TheGameSub();
  } catch (const GameAbandoned&) {
    // Left with Escape and Y: every wait of the game has unwound to here.
  } catch (const std::exception&) {
    engine_.LogError("StartGame");
  }
  CloseLane();
}

bool Game::ChooseOptions() {
  Form* const menus[] = {&windows_.SelPlayers, &windows_.SelPlayMethod, &windows_.SelSkill};
  int step = 0;
  while (step < 3) {
    menus[step]->Show(ShowMode::Modal);
    if (session_.MenuAccepted) {
      ++step;
    } else if (step == 0) {
      return false;
    } else {
      --step;
    }
  }
  return true;
}

void Game::CloseLane() {
  lane_.StopTimers();
  const bool musicLoaded = session_.MP3Playing;
  ClearFlags();
  // A fault in the advert or the closing music leaves nothing playing behind the menu.
  if (musicLoaded) (void)engine_.Mp3.LoadMP3(engine_.GetFolders().PackFolder / "logos.mp3");
  try {
    if (engine_.MusicBuffer.IsPlaying()) engine_.MusicBuffer.Buffer->Stop();
  } catch (const std::exception&) {
    // The menu comes back all the same.
  }
  lane_.Hide();
  engine_.SetLaneOpen(false);
  engine_.StartMenuMusic();
  windows_.Main.Show(ShowMode::Modeless);
}

void Game::TheGameSub() {
  GameSession& s = session_;
  try {
    engine_.LoadAimSounds(s.SkillLevel);
    for (int frame = 1; frame <= kFrames; ++frame) {
      s.CurrentFrame = static_cast<std::int16_t>(frame);
      engine_.StartAlleyMusic();
      announcer_.AnnounceFrame();
      s.BallInPlay = false;
      const int count = roster_.PlayerCount();
      for (int p = 1; p <= count; ++p) {
        if (!roster_.Players(p).IsActive()) continue;
        roster_.SetCurrentPlayer(static_cast<std::int16_t>(p));
        s.BallInPlay = false;
        s.ResetPins();
        s.BallNumber = 0;
        NextBall();
        s.AwaitingNextPlayer = true;
        announcer_.AnnounceNextPlayer();
        // Enter may already have come during the call; then nobody is left to remind.
        if (s.AwaitingNextPlayer) lane_.tmrImpatient.SetEnabled(true);
        engine_.GetPlatform().Windows.WaitUntil([&s] { return !s.AwaitingNextPlayer; },
                                                "Enter for the next bowler");
      }
      if (frame == 5) PlayAdvertBreak();
    }
    engine_.PlaySilence(5);
    results_.AnnounceResults();
  } catch (const std::exception&) {
    engine_.LogError("TheGameSub");
  } catch (const DeliveryFault& fault) {
    try {
      std::rethrow_exception(fault.Cause);
    } catch (const std::exception&) {
      engine_.LogError("TheGameSub");
    }
  }
}

void Game::NextBall() {
  GameSession& s = session_;
  const auto bowler = [this]() -> Player& { return roster_.Players(roster_.CurrentPlayer()); };
  for (;;) {
    if (s.BallNumber > 1) {
      if (s.CurrentFrame != kFrames) return;
      if (bowler().Strikes(kFrames) && s.BallNumber < 5) {
        // A tenth-frame strike bowls balls 0, 2 and 4, on a fresh rack once it is cleared.
        bool anyStanding = false;
        for (int pin = 1; pin <= kPins; ++pin) {
          anyStanding = anyStanding || s.PinStanding[static_cast<std::size_t>(pin)];
        }
        if (!anyStanding) s.ResetPins();
      } else if (bowler().Spares(kFrames) && s.BallNumber == 2) {
        s.ResetPins();  // the spare's bonus ball
      } else {
        return;
      }
    }

    s.AimMovingRight = true;
    if (s.BallNumber > 0) engine_.PlayAndWait(engine_.GetFolders().PlayFolder / "ballret.wav");
    engine_.PlaySilence(5);
    announcer_.AnnouncePlayerUp();
    s.BallPosition = 0;
    s.AimSweepCount = 0;
    engine_.PlaySilence(5);

    s.WaitingForThrow = true;
    s.BallInPlay = false;
    announcer_.AnnounceBall();
    if (s.WaitingForThrow) lane_.tmrImpatient.SetEnabled(true);
    engine_.GetPlatform().Windows.WaitUntil([&s] { return !s.WaitingForThrow; }, "Space to aim");
    lane_.tmrImpatient.SetEnabled(false);

    if (delivery_.AimSweep() == Delivery::SweepEnd::Released) return;
    // Six bounces without a stop: the ball is lost, and counts as bowled.
    engine_.PlayAndWait(engine_.GetFolders().PlayFolder / "buzzer.wav");
    s.BallNumber += bowler().Strikes(s.CurrentFrame) ? 2 : 1;
  }
}

void Game::PlayAdvertBreak() {
  GameSession& s = session_;
  const Folders& f = engine_.GetFolders();
  engine_.PlayAnnouncerAndWait("\\wordfrom.wav");
  engine_.PlaySilence(5);
  engine_.StopBackground();
  if (engine_.MusicBuffer.Buffer != nullptr) engine_.MusicBuffer.Buffer->Stop();
  lane_.EnableAlleyTimers(false);
  lane_.tmrImpatient.SetEnabled(false);

  int n = engine_.GetPlatform().Time.Now().Minute % 10;
  if (n == 0) n = 10;
  engine_.Mp3.MP3Speed = 100.0f;
  // An advert that cannot start is not waited for.
  if (engine_.Mp3.LoadMP3(f.AdvertsFolder / ("advert" + std::to_string(n) + ".mp3"))) {
    s.MP3Playing = true;
    if (engine_.Mp3.PlayMP3(true)) engine_.Mp3.WaitForMP3();
    s.MP3Playing = false;
  }
  (void)engine_.Mp3.LoadMP3(f.PackFolder / "logos.mp3");

  engine_.StartAlleyAmbience();
  lane_.EnableAlleyTimers(true);
}

}  // namespace strikora
