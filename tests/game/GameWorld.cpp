#include "tests/game/GameWorld.h"

#include <fstream>
#include <iterator>

#include "platform/Keys.h"

namespace strikora::testing {

std::vector<Call> RecordingAnnouncer::Of(const std::string& name) const {
  std::vector<Call> out;
  for (const Call& c : Calls) {
    if (c.Name == name) out.push_back(c);
  }
  return out;
}

void RecordingAnnouncer::Note(const std::string& name, const std::string& playClip, int pins) {
  int standing = 0;
  for (int i = 1; i <= kPins; ++i) standing += session_.PinStanding[static_cast<std::size_t>(i)];
  Calls.push_back({name, roster_.CurrentPlayer(), session_.CurrentFrame, session_.BallNumber,
                   session_.BallPosition, session_.HookAmount, pins, standing});
  if (OnCall) OnCall(Calls.back());
  if (!playClip.empty()) {
    engine_.PlayClipAndWait(engine_.BallBuffer, engine_.GetFolders().PlayFolder / playClip);
  }
}

void RecordingAnnouncer::AnnounceFrame() {
  Note("AnnounceFrame");
  engine_.PlayAnnouncerAndWait("\\frame" + std::to_string(session_.CurrentFrame) + ".wav");
}
void RecordingAnnouncer::AnnouncePlayerUp() {
  Note("AnnouncePlayerUp");
  engine_.PlayAnnouncerAndWait("\\isup1.wav");
}
void RecordingAnnouncer::AnnounceBall() {
  Note("AnnounceBall");
  engine_.PlayAnnouncerAndWait(session_.BallNumber == 0   ? "\\1stball1.wav"
                               : session_.BallNumber == 1 ? "\\2ndball1.wav"
                                                          : "\\xtraball.wav");
}
void RecordingAnnouncer::AnnounceNextPlayer() {
  Note("AnnounceNextPlayer");
  engine_.PlayAnnouncerAndWait("\\nxtplay1.wav");
}
void RecordingAnnouncer::PlayPinfallAndCrowd(int pinsDown) {
  Note("PlayPinfallAndCrowd", "pin" + std::to_string(pinsDown) + ".wav", pinsDown);
}
void RecordingAnnouncer::PlayGameOpening() {
  Note("PlayGameOpening");
  engine_.PlayAnnouncerAndWait("\\welcome.wav");
}

void TestMenu::Form_GotFocus() {
  ++Shown;
  if (OnShow) OnShow();
  const bool accept = Answers.empty() || Answers.front();
  if (!Answers.empty()) Answers.pop_front();
  session_.MenuAccepted = accept;
  if (accept && OnAccept) OnAccept();
  Hide();
}

namespace {

Folders GameFolders(const TempDir& dir, std::unique_ptr<TestSoundTree>& own, bool ownSounds) {
  static TempDir sharedDir;
  static const TestSoundTree shared(sharedDir.Path());
  if (ownSounds) own = std::make_unique<TestSoundTree>(dir.Path() / "own");
  Folders f = ownSounds ? own->F : shared.F;
  f.DataFolder = dir.Path();
  f.PlayersFile = dir.Path() / "players.qbx";
  return f;
}

}  // namespace

GameWorld::GameWorld(int bowlers, int features, std::int64_t latencyMs)
    : features(features),
      F(GameFolders(dir, ownTree, (features & kOwnSounds) != 0)),
      audio(world, latencyMs),
      platform(world, world, audio, world, settings, random) {
  platform.Trace.KeepInMemory(true);
  world.DescribeWait = [this] { return std::string(platform.Windows.WaitingFor()); };
  world.SetTimeLimit(2 * 60 * 60 * 1000);
  engine.SetErrorReporter(&log);
  platform.Windows.SetErrorReporter(&log);
  for (int i = 1; i <= bowlers; ++i) {
    Player& p = roster.AddPlayer();
    p.SetFirstName("fn" + std::to_string(i) + ".wav");
    p.SetLastName(std::string(1, static_cast<char>('A' + i - 1)) + ".wav");
    p.Save(F.PlayersFile, i);
  }
  Choose({1});
  host.game = &game;
}

std::unique_ptr<Game> GameWorld::MakeGame() {
  Form& main = (features & kRealMainMenu) != 0 ? static_cast<Form&>(mainMenu) : fMainStub;
  const GameWindows windows{main, selPlayers, selMethod, selSkill};
  if ((features & kRealCommentary) != 0) {
    return std::make_unique<Game>(engine, roster, session, commentary, names, windows);
  }
  return std::make_unique<Game>(engine, roster, session, announcer, names, windows);
}

GameWorld::~GameWorld() {
  platform.Windows.SetErrorReporter(nullptr);
  engine.SetErrorReporter(nullptr);
}

void GameWorld::Choose(std::vector<int> active, int playMethod, int skill) {
  selPlayers.OnAccept = [this, active] {
    for (const int i : active) roster.Players(i).SetIsActive(true);
  };
  selMethod.OnAccept = [this, playMethod] {
    session.PlayMethod = static_cast<std::int16_t>(playMethod);
  };
  selSkill.OnAccept = [this, skill] { session.SkillLevel = static_cast<std::int16_t>(skill); };
}

void GameWorld::PlayTurn(int frame, int player) {
  if (!lane.Visible()) lane.Show();
  engine.LoadAimSounds(session.SkillLevel);
  session.CurrentFrame = static_cast<std::int16_t>(frame);
  roster.SetCurrentPlayer(static_cast<std::int16_t>(player));
  roster.Players(player).SetIsActive(true);
  session.BallInPlay = false;
  session.ResetPins();
  session.BallNumber = 0;
  game.NextBall();
}

std::vector<std::string> GameWorld::PlaysOn(const std::string& slot) const {
  std::vector<std::string> out;
  for (const TraceEvent& e : platform.Trace.Events()) {
    if (e.Kind == "play" && e.Fields[0] == slot) {
      out.push_back(std::filesystem::path(e.Fields[1]).filename().string());
    }
  }
  return out;
}

std::vector<TraceEvent> GameWorld::EventsOf(const std::string& kind) const {
  std::vector<TraceEvent> out;
  for (const TraceEvent& e : platform.Trace.Events()) {
    if (e.Kind == kind) out.push_back(e);
  }
  return out;
}

std::vector<std::string> GameWorld::LogHeadings() const {
  std::ifstream in(log.File(), std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<std::string> out;
  std::size_t at = 0;
  for (int line = 0; at < text.size(); ++line) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) break;
    if (line % 3 == 0) out.push_back(text.substr(at + 1, end - at - 2));
    at = end + 2;
  }
  return out;
}

Bot::Bot(sim::SimWorld& world, ScriptedRandom& random, WindowSystem& windows, GameSession& session,
         SoundEngine& engine, fMainPlay& lane)
    : world_(world),
      random_(random),
      session_(session),
      engine_(engine),
      lane_(lane),
      timer_(windows, "bot"),
      ball_(Miss()) {
  timer_.OnTimer = [this] { Tick(); };
  timer_.SetInterval(20);
  timer_.SetEnabled(true);
}

void Bot::Tick() {
  const GameSession& s = session_;
  const std::int64_t now = world_.MonotonicMs();
  const auto press = [this](int key) { world_.PressKeyAfter(0, key); };
  if (lane_.tmrHook.Enabled() && !s.HookWindow) ++HookTimerOutsideWindow;
  if (lane_.tmrImpatient.Enabled() && !s.WaitingForThrow && !s.AwaitingNextPlayer) {
    ++RemindersOutsideWaits;
  }
  if (QuietAlley && lane_.tmrOHS.Enabled()) lane_.EnableAlleyTimers(false);

  if (!s.ConfirmingLeave) {
    answered_ = false;
  } else if (!answered_) {
    answered_ = true;
    const bool yes = !Answers.empty() && Answers.front();
    if (!Answers.empty()) Answers.pop_front();
    press(vk::Letter(yes ? 'Y' : 'N'));
    return;
  }

  if (s.Aiming) aimed_ = true;
  if (haveBall_ && aimed_ && !s.Aiming) haveBall_ = aimed_ = false;  // that ball is gone
  if (s.WaitingForThrow && !haveBall_) {
    haveBall_ = true;
    stopped_ = false;
    waitingSince_ = now;
    lastSpace_ = -1000;
    ball_ = Balls.empty() ? Miss() : Balls.front();
    if (!Balls.empty()) Balls.pop_front();
    ++BallsThrown;
  }
  if (s.WaitingForThrow && !engine_.Busy && !s.ConfirmingLeave &&
      now - waitingSince_ >= ball_.WaitMs && now - lastSpace_ > 500) {
    lastSpace_ = now;
    press(vk::Space);
  } else if (s.Aiming && haveBall_ && !stopped_ && s.AimSweepCount == 0 &&
             s.BallPosition == ball_.StopAt) {
    stopped_ = true;
    releasePending_ = ball_.ReleaseOnClip > 0;
    for (const double d : ball_.Draws) random_.Push(d);
    if (ball_.HoldLeftMs > 0)
      world_.HoldKeyBetween(HeldKey::LeftShift, now, now + ball_.HoldLeftMs);
    if (ball_.HoldRightMs > 0) {
      world_.HoldKeyBetween(HeldKey::RightShift, now, now + ball_.HoldRightMs);
    }
    press(vk::Down);
  } else if (s.Swinging && releasePending_ && s.SwingValue == ball_.ReleaseOnClip) {
    releasePending_ = false;
    press(vk::Up);
  } else if (s.AwaitingNextPlayer && PressEnter && !engine_.Busy && now - lastEnter_ > 500) {
    lastEnter_ = now;
    press(vk::Enter);
  }
}

}  // namespace strikora::testing
