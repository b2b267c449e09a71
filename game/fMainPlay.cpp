#include "game/fMainPlay.h"

#include <algorithm>
#include <exception>
#include <string>

#include "game/Delivery.h"
#include "game/GameAbandoned.h"
#include "game/ScopeExit.h"
#include "platform/Keys.h"

namespace strikora {
namespace {

constexpr int kAlleyLevels = 6;
constexpr float kSpeedStep = 25.0f, kFastest = 225.0f;

}  // namespace

fMainPlay::fMainPlay(SoundEngine& engine, Roster& roster, GameSession& session,
                     Announcer& announcer, NameSpeech& names)
    : Form(engine.GetPlatform().Windows, "Strikora"),
      tmrAmbient{{Timer(Windows(), "tmrAmbient"), Timer(Windows(), "tmrAmbient"),
                  Timer(Windows(), "tmrAmbient")}},
      tmrBowlSounds(Windows(), "tmrBowlSounds"),
      tmrOHS(Windows(), "tmrOHS"),
      tmrHook(Windows(), "tmrHook"),
      tmrImpatient(Windows(), "1"),
      engine_(engine),
      roster_(roster),
      session_(session),
      announcer_(announcer),
      names_(names) {
  const int ambientMs[] = {3000, 6000, 9000};
  for (int i = 0; i < 3; ++i) {
    Timer& t = tmrAmbient[static_cast<std::size_t>(i)];
    t.SetInterval(ambientMs[i]);
    t.OnTimer = [this, i] { tmrAmbient_Timer(i); };
  }
  tmrBowlSounds.SetInterval(7500);
  tmrBowlSounds.OnTimer = [this] { tmrBowlSounds_Timer(); };
  tmrOHS.SetInterval(60000);
  tmrOHS.OnTimer = [this] { tmrOHS_Timer(); };
  tmrHook.SetInterval(10);
  tmrHook.OnTimer = [this] { tmrHook_Timer(); };
  tmrImpatient.SetInterval(30000);
  tmrImpatient.OnTimer = [this] { tmrImpatient_Timer(); };
}

void fMainPlay::Form_KeyDown(int KeyCode, int Shift) {
  GameSession& s = session_;
  if (s.Aiming) {
    if ((KeyCode == vk::Space || KeyCode == vk::Down) && delivery_ != nullptr) {
      Deliver([this] { delivery_->ReleaseAim(); });
    }
    return;
  }
  if (s.Swinging) {
    if ((KeyCode == vk::Space || KeyCode == vk::Up) && delivery_ != nullptr) {
      s.Swinging = false;
      Deliver([this] { delivery_->DeliverBall(); });
    }
    return;
  }
  if (s.ConfirmingLeave) {
    if (KeyCode == vk::Letter('Y') || KeyCode == vk::Letter('N')) {
      engine_.StopSpeech();
      s.LeaveConfirmed = KeyCode == vk::Letter('Y');
      s.ConfirmingLeave = false;
    }
    return;
  }
  if ((s.WaitingForThrow || s.AwaitingNextPlayer) && !engine_.Busy) {
    LaneKey(KeyCode);
    return;
  }
  // The opening, a rolling ball, a report, the advert, the results.
  if (Shift == mod::Ctrl && engine_.AnnouncerBuffer.IsPlaying()) {
    engine_.StopSpeech();
  } else if (s.MP3Playing) {
    ChangeMusicSpeed(KeyCode);
  }
}

template <typename Body>
void fMainPlay::Deliver(Body body) {
  // The rest of the turn runs in here (the roll, the pins, the score, the next balls): a fault
  // must not be taken for a failed key and leave the bowler short of balls.
  try {
    body();
  } catch (const std::exception&) {
    throw DeliveryFault{std::current_exception()};
  }
}

template <typename Body>
void fMainPlay::Report(const char* name, Body body) {
  engine_.Busy = true;
  const ScopeExit listenAgain([this] { engine_.Busy = false; });
  try {
    body();
  } catch (const std::exception&) {
    engine_.LogError(name);
  }
}

void fMainPlay::LaneKey(int KeyCode) {
  GameSession& s = session_;
  const int player = roster_.CurrentPlayer();
  switch (KeyCode) {
    case vk::Space:
      if (s.WaitingForThrow) {
        tmrImpatient.SetEnabled(false);
        engine_.StopSpeech();
        s.WaitingForThrow = false;
      }
      break;
    case vk::Enter:
      if (s.AwaitingNextPlayer) {
        tmrImpatient.SetEnabled(false);
        engine_.StopSpeech();
        s.AwaitingNextPlayer = false;
      }
      break;
    case vk::F(1):
      Report("help1", [this] { engine_.PlayAnnouncerAndWait("\\help1.wav"); });
      break;
    case vk::Letter('H'):
      Report("help2", [this] { engine_.PlayAnnouncerAndWait("\\help2.wav"); });
      break;
    case vk::F(2):
    case vk::Letter('P'):
      Report("SpeakStandingPins", [this] {
        engine_.PlayAnnouncerAndWait("\\stndpin.wav");
        announcer_.SpeakStandingPins();
      });
      break;
    case vk::F(3):
    case vk::Letter('S'):
      Report("SpeakFrameScore", [this, player] {
        names_.SpeakPlayerName(player);
        engine_.PlayAnnouncerAndWait("\\frmscor.wav");
        SpeakFrameScore(player, session_.CurrentFrame);
      });
      break;
    case vk::F(4):
    case vk::Letter('T'):
      Report("SpeakGameScore", [this, player] {
        names_.SpeakPlayerName(player);
        engine_.PlayAnnouncerAndWait("\\gamscor.wav");
        SpeakGameScore();
      });
      break;
    case vk::F(5):
      Report("SpeakNumber", [this] { engine_.Numbers.SpeakNumber(session_.ReleasePosition); });
      break;
    case vk::F(6):
    case vk::Letter('R'):
      Report("AnnouncePlayerUp", [this] { announcer_.AnnouncePlayerUp(); });
      break;
    case vk::F12:
      Report("SpeakTime", [this] { engine_.SpeakTime(); });
      break;
    case vk::PageUp:
      SetAlleyLevel(engine_.AmbientLevel - 1);
      break;
    case vk::PageDown:
      SetAlleyLevel(engine_.AmbientLevel + 1);
      break;
    case vk::Escape:
      AskToLeave();
      break;
    default:
      break;
  }
}

void fMainPlay::SpeakFrameScore(int player, int frame) {
  engine_.Numbers.SpeakNumber(roster_.Players(player).GetFrameScore(frame));
}

void fMainPlay::SpeakGameScore() {
  const GameSession& s = session_;
  const Player& bowler = roster_.Players(roster_.CurrentPlayer());
  const int f = s.CurrentFrame;
  int total = bowler.GetScore(false, s.PlayMethod, s.SkillLevel);
  // Two strikes running still wait for their bonus balls; so does a mark in frame 1 while
  // frame 2 is bowled.
  if (f > 2 && bowler.Strikes(f - 2) && bowler.Strikes(f - 1)) {
    total -= bowler.GetFrameScore(f - 2) + bowler.GetFrameScore(f - 1);
  } else if (f == 2 && (bowler.Strikes(1) || bowler.Spares(1))) {
    total -= bowler.GetFrameScore(1);
  }
  engine_.Numbers.SpeakNumber(total);
  if (s.AwaitingNextPlayer) session_.BallNumber = 0;
  announcer_.AnnounceStreak();
}

// The alley and its music keep their own levels, a step of 2.5 dB apart on both.
void fMainPlay::SetAlleyLevel(int level) {
  level = std::clamp(level, 0, kAlleyLevels);
  if (level == engine_.AmbientLevel) return;
  engine_.AmbientLevel = static_cast<std::int16_t>(level);
  if (engine_.BackgroundBuffer.Buffer != nullptr) {
    engine_.BackgroundBuffer.Buffer->SetVolume(-1500 - 250 * level);
  }
  if (engine_.MusicBuffer.Buffer != nullptr) {
    engine_.MusicBuffer.Buffer->SetVolume(-1000 - 250 * level);
  }
}

void fMainPlay::ChangeMusicSpeed(int KeyCode) {
  float& speed = engine_.Mp3.MP3Speed;
  if (KeyCode == vk::PageUp) {
    speed = std::min(speed + kSpeedStep, kFastest);
  } else if (KeyCode == vk::PageDown) {
    speed = std::max(speed - kSpeedStep, 0.0f);
  } else {
    return;
  }
  (void)engine_.Mp3.SetPlayBackSpeed(speed / 100.0f);
}

bool fMainPlay::AskYesNo(std::string_view question) {
  GameSession& s = session_;
  s.ConfirmingLeave = true;
  s.LeaveConfirmed = false;
  engine_.PlayAnnouncerAndWait(question);
  if (s.ConfirmingLeave) engine_.PlayAndWait(engine_.GetFolders().MenuFolder / "yesno.wav");
  Windows().WaitUntil([&s] { return !s.ConfirmingLeave; }, "Y or N on the lane");
  return s.LeaveConfirmed;
}

void fMainPlay::AskToLeave() {
  GameSession& s = session_;
  tmrImpatient.SetEnabled(false);
  if (!AskYesNo("\\leave.wav")) {
    if (s.WaitingForThrow || s.AwaitingNextPlayer) tmrImpatient.SetEnabled(true);
    return;
  }
  StopTimers();
  s.WaitingForThrow = false;
  s.AwaitingNextPlayer = false;
  engine_.PlaySilence(5);
  try {
    if (engine_.MusicBuffer.IsPlaying()) engine_.MusicBuffer.Buffer->Stop();
  } catch (const std::exception&) {
    // The lane closes all the same.
  }
  // Every wait of the abandoned game ends here; the game's start closes the lane.
  throw GameAbandoned{};
}

void fMainPlay::EnableAlleyTimers(bool enabled) {
  for (Timer& t : tmrAmbient) t.SetEnabled(enabled);
  tmrOHS.SetEnabled(enabled);
  tmrBowlSounds.SetEnabled(enabled);
}

void fMainPlay::StopTimers() {
  EnableAlleyTimers(false);
  tmrImpatient.SetEnabled(false);
  CloseHookWindow();
}

void fMainPlay::OpenHookWindow() {
  session_.HookWindow = true;
  tmrHook.SetEnabled(true);
}

void fMainPlay::CloseHookWindow() {
  session_.HookWindow = false;
  tmrHook.SetEnabled(false);
}

void fMainPlay::tmrAmbient_Timer(int Index) {
  engine_.PlayRandomAmbient(Index, tmrAmbient[static_cast<std::size_t>(Index)]);
}

void fMainPlay::tmrBowlSounds_Timer() {
  engine_.PlayBowlSound();
}

void fMainPlay::tmrOHS_Timer() {
  engine_.PlayRandomOhs();
}

// Both Shift keys held count as Left.
void fMainPlay::tmrHook_Timer() {
  if (!session_.HookWindow) return;
  if (Windows().IsKeyHeld(HeldKey::LeftShift)) {
    --session_.HookAmount;
  } else if (Windows().IsKeyHeld(HeldKey::RightShift)) {
    ++session_.HookAmount;
  }
}

void fMainPlay::tmrImpatient_Timer() {
  if (engine_.Busy) return;
  int n = 1;
  try {
    n = std::clamp(std::stoi(tmrImpatient.Tag), 1, 7);
  } catch (const std::exception&) {
    n = 1;
  }
  // Waiting for Space: the seven aim reminders; waiting for Enter: the six next-bowler ones.
  if (session_.WaitingForThrow) {
    engine_.PlayAnnouncerAndWait("\\imp" + std::to_string(n) + ".wav");
  } else {
    engine_.PlayAnnouncerAndWait("\\imp2" + std::to_string(n == 7 ? 1 : n) + ".wav");
  }
  n = n + 1 > 7 ? 1 : n + 1;
  tmrImpatient.Tag = std::to_string(n);
}

}  // namespace strikora
