#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ErrorLog.h"
#include "audio/SoundEngine.h"
#include "commentary/NameSpeech.h"
#include "game/Game.h"
#include "menus/fMain.h"
#include "platform/sim/SimWorld.h"
#include "players/Roster.h"
#include "tests/support/TestSoundTree.h"

namespace strikora::testing {

// The simulated desktop's sound device, heard `latencyMs` after a clip starts.
class LatentAudio final : public AudioDevice {
 public:
  LatentAudio(sim::SimWorld& world, std::int64_t latencyMs) : world_(world), ms_(latencyMs) {}
  [[nodiscard]] std::unique_ptr<SoundBuffer> CreateSoundBufferFromFile(
      const std::filesystem::path& file, const std::string& slot) override {
    return world_.CreateSoundBufferFromFile(file, slot);
  }
  [[nodiscard]] std::int64_t OutputLatencyMs() const override { return ms_; }

 private:
  sim::SimWorld& world_;
  std::int64_t ms_;
};

// An announcer that makes no random draws, so that a test scripts the pinfall's draws alone:
// each call plays one short clip (time passes, keys can land) and is written down with the
// state it saw.
struct Call {
  std::string Name;
  int Player, Frame, Ball, Position, Hook, Pins, Standing;
};
class RecordingAnnouncer final : public Announcer {
 public:
  RecordingAnnouncer(SoundEngine& engine, Roster& roster, GameSession& session)
      : engine_(engine), roster_(roster), session_(session) {}
  std::vector<Call> Calls;
  std::function<void(const Call&)> OnCall;  // may throw, to play a fault
  // The calls of one name, in order.
  [[nodiscard]] std::vector<Call> Of(const std::string& name) const;

  void AnnounceFrame() override;
  void AnnouncePlayerUp() override;
  void AnnounceStreak() override { Note("AnnounceStreak"); }
  void AnnounceBall() override;
  void AnnounceNextPlayer() override;
  void PlayHookSound() override { Note("PlayHookSound", "hook.wav"); }
  void PlayRollSound() override { Note("PlayRollSound", "roll.wav"); }
  void PlayGutterBall() override { Note("PlayGutterBall", "gutter.wav"); }
  void PlayPinfallAndCrowd(int pinsDown) override;
  void AnnounceLeave(int pinsDown) override { Note("AnnounceLeave", "", pinsDown); }
  void SpeakStandingPins() override { Note("SpeakStandingPins"); }
  void PlayGameOpening() override;

 private:
  // Records the call, then plays the play folder's clip, if any.
  void Note(const std::string& name, const std::string& playClip = "", int pins = 0);
  SoundEngine& engine_;
  Roster& roster_;
  GameSession& session_;
};

// An option menu that answers at once when it gains the focus: Enter (true) or Escape.
class TestMenu final : public Form {
 public:
  TestMenu(WindowSystem& windows, std::string caption, GameSession& session)
      : Form(windows, std::move(caption)), session_(session) {}
  void Form_GotFocus() override;
  std::deque<bool> Answers;  // empty: Enter
  std::function<void()> OnAccept;
  std::function<void()> OnShow;
  int Shown = 0;

 private:
  GameSession& session_;
};

// One ball as the bowler plays it.
struct Ball {
  int StopAt = 2;             // stop the sweep at this position on its first pass; -1 never (lost)
  std::vector<double> Draws;  // pushed at the stop key: what the pinfall draws
  int ReleaseOnClip = 0;      // aim and swing: release on this swing clip; 0 never
  int HoldLeftMs = 0, HoldRightMs = 0;  // hook keys held from the stop key
  int WaitMs = 0;                       // before Space, once the lane waits for it

  Ball& Release(int clip) {
    ReleaseOnClip = clip;
    return *this;
  }
  Ball& Hold(int leftMs, int rightMs) {
    HoldLeftMs = leftMs;
    HoldRightMs = rightMs;
    return *this;
  }
  Ball& Wait(int ms) {
    WaitMs = ms;
    return *this;
  }
};
inline Ball At(int stopAt, std::vector<double> draws = {}) {
  Ball b;
  b.StopAt = stopAt;
  b.Draws = std::move(draws);
  return b;
}
// Strike: the pocket at 11 for a right-hander. Miss: position 2, one draw.
inline Ball Strike() {
  return At(11, {0.5, 0.0});
}
inline Ball Miss() {
  return At(2, {0.5});
}

// A bowler that plays by the game's state, as a player listening would: Space when the lane
// waits for it, the stop key when the tone is where it should be, the release on the chosen
// swing clip, Enter for the next bowler, N (or the queued answers) to questions.
class Bot {
 public:
  Bot(sim::SimWorld& world, ScriptedRandom& random, WindowSystem& windows, GameSession& session,
      SoundEngine& engine, fMainPlay& lane);
  std::deque<Ball> Balls;    // then misses
  std::deque<bool> Answers;  // Y true; then N
  bool QuietAlley = true;    // keeps the alley's timers (and their draws) off
  bool PressEnter = true;
  int BallsThrown = 0;
  int HookTimerOutsideWindow = 0;  // ticks that saw tmrHook running with the window shut
  int RemindersOutsideWaits = 0;   // ticks that saw tmrImpatient running with nothing awaited
  // For tests that press the lane's keys themselves.
  void Stop() { timer_.SetEnabled(false); }

 private:
  void Tick();
  sim::SimWorld& world_;
  ScriptedRandom& random_;
  GameSession& session_;
  SoundEngine& engine_;
  fMainPlay& lane_;
  Timer timer_;
  Ball ball_;
  bool haveBall_ = false, aimed_ = false, stopped_ = false, releasePending_ = false;
  bool answered_ = false;
  std::int64_t waitingSince_ = 0, lastSpace_ = -1000, lastEnter_ = -1000;
};

// A game on the simulated desktop over the stand-in sound tree: the error log wired in as the
// program wires it, a roster of bowlers "fn<i>.wav" + initial, option menus that answer at
// once, and a bot at the lane. Clips last 400 ms, silence 100 ms, MP3s 3 s.
struct GameWorld {
  enum Feature : int {
    kOwnSounds = 1,       // a sound tree of its own, for a test that takes clips away
    kRealMainMenu = 2,    // the real fMain, whose Enter on its first item starts the game
    kRealCommentary = 4,  // the commentary module's announcer instead of the recording one
  };
  explicit GameWorld(int bowlers = 1, int features = 0, std::int64_t latencyMs = 0);
  ~GameWorld();
  GameWorld(const GameWorld&) = delete;
  GameWorld& operator=(const GameWorld&) = delete;

  // The main menu's host: its first item starts the game; leaving ends the run with Left.
  struct Left {};
  struct Host final : MainMenuHost {
    Game* game = nullptr;
    void StartGame() override { game->StartGame(); }
    void CreatePlayer() override {}
    void ShowViewPlayers() override {}
    [[noreturn]] void ExitProgram() override { throw Left{}; }
  };

  int features;
  TempDir dir;
  std::unique_ptr<TestSoundTree> ownTree;
  Folders F;  // the roster and the error log in dir, the sounds in the tree
  sim::SimWorld world;
  MemorySettings settings;
  ScriptedRandom random;
  LatentAudio audio;
  Platform platform;
  SoundEngine engine{platform, F};
  ErrorLog log{F.DataFolder / "qbxerr.log", F.PlayFolder / "buzzer.wav", platform.Time,
               platform.Trace, engine};
  Roster roster{F.PlayersFile, F.DataFolder, F.NamesFolder};
  GameSession session;
  NameSpeech names{engine, roster};
  RecordingAnnouncer announcer{engine, roster, session};
  Commentary commentary{engine, roster, session, names};
  Host host;
  fMain mainMenu{engine, host, session};
  Form fMainStub{platform.Windows, "Main Menu:"};
  TestMenu selPlayers{platform.Windows, "Players", session};
  TestMenu selMethod{platform.Windows, "Play method", session};
  TestMenu selSkill{platform.Windows, "Skill", session};
  std::unique_ptr<Game> gamePtr = MakeGame();
  Game& game = *gamePtr;
  fMainPlay& lane = game.Lane();
  Bot bot{world, random, platform.Windows, session, engine, lane};

  // Today's bowlers, by roster index; the players menu marks them.
  void Choose(std::vector<int> active, int playMethod = 1, int skill = 1);
  // One turn of the current bowler in `frame`, as the frame loop starts it, on a shown lane.
  void PlayTurn(int frame, int player = 1);

  [[nodiscard]] std::vector<std::string> PlaysOn(const std::string& slot) const;
  [[nodiscard]] std::vector<TraceEvent> EventsOf(const std::string& kind) const;
  [[nodiscard]] std::vector<std::string> LogHeadings() const;
  [[nodiscard]] std::int64_t Now() const { return world.MonotonicMs(); }

 private:
  [[nodiscard]] std::unique_ptr<Game> MakeGame();
};

}  // namespace strikora::testing
