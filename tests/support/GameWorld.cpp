#include "tests/support/GameWorld.h"

#include "platform/Keys.h"

namespace strikora::testing {

void RecordingAnnouncer::Note(const std::string& name, const std::string& announce,
                              const std::string& ball) {
  const auto standing = static_cast<int>(std::ranges::count(s_.PinStanding, true));
  Calls.push_back({name, r_.CurrentPlayer(), s_.CurrentFrame, s_.BallNumber, s_.BallPosition,
                   s_.HookAmount, standing});
  if (OnCall) OnCall(Calls.back());
  if (!announce.empty()) e_.PlayAnnouncerAndWait("\\" + announce + ".wav");
  if (!ball.empty())
    e_.PlayClipAndWait(e_.BallBuffer, e_.GetFolders().PlayFolder / (ball + ".wav"));
}

void TestMenu::Form_GotFocus() {
  ++Shown;
  s_.MenuAccepted = Answers.empty() || Answers.front();
  if (!Answers.empty()) Answers.pop_front();
  if (s_.MenuAccepted && OnAccept) OnAccept();
  Hide();
}

Bot::Bot(GameWorld& w) : w_(w), timer_(w.lane.Windows(), "bot") {
  timer_.OnTimer = [this] { Tick(); };
  timer_.SetInterval(20);
  timer_.SetEnabled(true);
}

void Bot::Tick() {
  sim::SimWorld& world = w_.world;
  const GameSession& s = w_.session;
  const fMainPlay& lane = w_.lane;
  const std::int64_t now = world.MonotonicMs();
  const auto press = [&world](int key) { world.PressKeyAfter(0, key); };
  if (lane.tmrHook.Enabled() && !s.HookWindow) ++HookTimerOutsideWindow;
  if (lane.tmrImpatient.Enabled() && !s.WaitingForThrow && !s.AwaitingNextPlayer) {
    ++RemindersOutsideWaits;
  }
  if (QuietAlley && lane.tmrOHS.Enabled()) w_.lane.EnableAlleyTimers(false);
  if (const auto tick = OnTick) tick();  // a copy: it may replace itself
  if (!s.AwaitingNextPlayer) awaitingSince_ = -1;
  if (s.AwaitingNextPlayer && awaitingSince_ < 0) awaitingSince_ = now;

  if (s.ConfirmingLeave != answered_) {
    answered_ = s.ConfirmingLeave;
    if (!answered_) return;
    const bool yes = !Answers.empty() && Answers.front();
    if (!Answers.empty()) Answers.pop_front();
    return press(vk::Letter(yes ? 'Y' : 'N'));
  }
  if (s.Aiming) aimed_ = true;
  if (haveBall_ && aimed_ && !s.Aiming) haveBall_ = aimed_ = false;  // that ball is gone
  if (s.WaitingForThrow && !haveBall_) {
    haveBall_ = true;
    stopped_ = false;
    waitingSince_ = now;
    ball_ = Balls.empty() ? Miss() : Balls.front();
    if (!Balls.empty()) Balls.pop_front();
  }
  if (s.WaitingForThrow && !w_.engine.Busy && now - waitingSince_ >= ball_.WaitMs &&
      now - lastSpace_ > 500) {
    lastSpace_ = now;
    press(vk::Space);
  } else if (s.Aiming && haveBall_ && !stopped_ && s.AimSweepCount == 0 &&
             s.BallPosition == ball_.StopAt) {
    stopped_ = true;
    releasing_ = ball_.ReleaseOnClip > 0;
    for (const double d : ball_.Draws) w_.random.Push(d);
    if (ball_.HoldLeftMs > 0) world.HoldKeyBetween(HeldKey::LeftShift, now, now + ball_.HoldLeftMs);
    if (ball_.HoldRightMs > 0)
      world.HoldKeyBetween(HeldKey::RightShift, now, now + ball_.HoldRightMs);
    press(vk::Down);
  } else if (s.Swinging && releasing_ && s.SwingValue == ball_.ReleaseOnClip) {
    releasing_ = false;
    press(vk::Up);
  } else if (s.AwaitingNextPlayer && !w_.engine.Busy && now - awaitingSince_ >= EnterWaitMs &&
             now - lastEnter_ > 500) {
    lastEnter_ = now;
    press(vk::Enter);
  }
}

static Folders GameFolders(const TempDir& dir, std::unique_ptr<TestSoundTree>& own,
                           bool ownSounds) {
  static const TempDir sharedDir;
  static const TestSoundTree shared(sharedDir.Path());  // built once: it takes a while
  if (ownSounds) own = std::make_unique<TestSoundTree>(dir.Path() / "own");
  Folders f = ownSounds ? own->F : shared.F;
  f.DataFolder = dir.Path();
  f.PlayersFile = dir.Path() / "players.qbx";
  return f;
}

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

GameWorld::~GameWorld() {
  platform.Windows.SetErrorReporter(nullptr);
  engine.SetErrorReporter(nullptr);
}

std::unique_ptr<Game> GameWorld::MakeGame() {
  Form& main = (features & kRealMainMenu) != 0 ? static_cast<Form&>(mainMenu) : fMainStub;
  const GameWindows windows{main, selPlayers, selMethod, selSkill};
  if ((features & kRealCommentary) != 0)
    return std::make_unique<Game>(engine, roster, session, commentary, names, windows);
  return std::make_unique<Game>(engine, roster, session, announcer, names, windows);
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

void GameWorld::PlayTurn(int frame) {
  if (!lane.Visible()) lane.Show();
  engine.LoadAimSounds(session.SkillLevel);
  session.CurrentFrame = static_cast<std::int16_t>(frame);
  roster.SetCurrentPlayer(1);
  session.ResetPins();
  session.BallNumber = 0;
  game.NextBall();
}

Strings GameWorld::PlaysOn(const std::string& slots, std::size_t from) const {
  Strings out;
  const auto& events = platform.Trace.Events();
  for (std::size_t i = from; i < events.size(); ++i) {
    const TraceEvent& e = events[i];
    const std::filesystem::path file = e.Kind == "play" ? e.Fields[1] : "";
    if (file.empty() || file.filename() == "silence.wav") continue;
    if (!slots.empty() && slots.find(e.Fields[0]) == std::string::npos) continue;
    out.push_back(file.extension() == ".wav" ? file.stem().string() : file.filename().string());
  }
  return out;
}

std::string GameWorld::Heard(const std::string& slots, std::size_t from) const {
  std::string out;
  for (const std::string& clip : PlaysOn(slots, from)) out += (out.empty() ? "" : " ") + clip;
  return out;
}

std::vector<TraceEvent> GameWorld::EventsOf(const std::string& kind,
                                            const std::string& slot) const {
  std::vector<TraceEvent> out;
  std::ranges::copy_if(platform.Trace.Events(), std::back_inserter(out), [&](const TraceEvent& e) {
    return e.Kind == kind && (slot.empty() || e.Fields[0] == slot);
  });
  return out;
}

Ints GameWorld::Changes(const std::string& kind, const std::string& slot) const {
  Ints out;
  for (const TraceEvent& e : EventsOf(kind, slot)) out.push_back(std::stoi(e.Fields[1]));
  return out;
}

long GameWorld::IndexOf(const std::string& kind, const std::string& ending, long from) const {
  const auto& events = platform.Trace.Events();
  for (auto i = static_cast<std::size_t>(std::max(from, 0L)); i < events.size(); ++i) {
    if (events[i].Kind != kind) continue;
    for (const std::string& field : events[i].Fields)
      if (field.ends_with(ending)) return static_cast<long>(i);
  }
  return -1;
}

std::array<std::int64_t, 3> GameWorld::PlayOf(const std::string& file) const {
  const long i = IndexOf("play", "/" + file);
  if (i < 0) return {-1, 1, 1};
  const TraceEvent& e = platform.Trace.Events()[static_cast<std::size_t>(i)];
  return {e.Ms, std::stoi(e.Fields[2]), std::stoi(e.Fields[3])};
}

Strings GameWorld::Errors() const {
  Strings out;
  for (const TraceEvent& e : EventsOf("error")) out.push_back(e.Fields[1]);
  return out;
}

Roster GameWorld::Stored() const {
  Roster stored(F.PlayersFile, F.DataFolder, F.NamesFolder);
  stored.LoadRoster();
  return stored;
}

}  // namespace strikora::testing
