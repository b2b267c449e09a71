#pragma once

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ErrorLog.h"
#include "game/Game.h"
#include "menus/fMain.h"
#include "platform/sim/SimWorld.h"
#include "tests/support/TestSoundTree.h"

namespace strikora::testing {

using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

// The simulated device, heard `ms` late.
class LatentAudio final : public AudioDevice {
 public:
  LatentAudio(sim::SimWorld& world, std::int64_t ms) : world_(world), ms_(ms) {}
  [[nodiscard]] std::unique_ptr<SoundBuffer> CreateSoundBufferFromFile(
      const std::filesystem::path& file, const std::string& slot) override {
    return world_.CreateSoundBufferFromFile(file, slot);
  }
  [[nodiscard]] std::int64_t OutputLatencyMs() const override { return ms_; }

 private:
  sim::SimWorld& world_;
  std::int64_t ms_;
};

// An announcer without draws: each call plays one clip and is written down with the state it saw.
struct Call {
  std::string Name;
  int Player, Frame, Ball, Position, Hook, Standing;
};
class RecordingAnnouncer final : public Announcer {
 public:
  RecordingAnnouncer(SoundEngine& e, Roster& r, GameSession& s) : e_(e), r_(r), s_(s) {}
  std::vector<Call> Calls;
  std::function<void(const Call&)> OnCall;  // may throw, to play a fault
  [[nodiscard]] std::vector<Call> Of(const std::string& name) const {
    std::vector<Call> out;
    std::ranges::copy_if(Calls, std::back_inserter(out),
                         [&](const Call& c) { return c.Name == name; });
    return out;
  }
  void AnnounceFrame() override {
    Note("AnnounceFrame", "frame" + std::to_string(s_.CurrentFrame));
  }
  void AnnouncePlayerUp() override { Note("AnnouncePlayerUp", "isup1"); }
  void AnnounceStreak() override { Note("AnnounceStreak"); }
  void AnnounceBall() override {
    Note("AnnounceBall",
         std::array{"1stball1", "2ndball1", "xtraball"}[std::min(s_.BallNumber, std::int16_t{2})]);
  }
  void AnnounceNextPlayer() override { Note("AnnounceNextPlayer", "nxtplay1"); }
  void PlayHookSound() override { Note("PlayHookSound", "", "hook"); }
  void PlayRollSound() override { Note("PlayRollSound", "", "roll"); }
  void PlayGutterBall() override { Note("PlayGutterBall", "", "gutter"); }
  void PlayPinfallAndCrowd(int n) override {
    Note("PlayPinfallAndCrowd", "", "pin" + std::to_string(n));
  }
  void AnnounceLeave(int) override { Note("AnnounceLeave"); }
  void SpeakStandingPins() override { Note("SpeakStandingPins"); }
  void PlayGameOpening() override { Note("PlayGameOpening", "welcome"); }

 private:
  void Note(const std::string& name, const std::string& announce = "",
            const std::string& ball = "");
  SoundEngine& e_;
  Roster& r_;
  GameSession& s_;
};

// An option menu that answers at once: the queued answers (Enter true, Escape false), then Enter.
class TestMenu final : public Form {
 public:
  TestMenu(WindowSystem& w, std::string caption, GameSession& s)
      : Form(w, std::move(caption)), s_(s) {}
  void Form_GotFocus() override;
  std::deque<bool> Answers;
  std::function<void()> OnAccept;
  int Shown = 0;

 private:
  GameSession& s_;
};

struct Ball {
  int StopAt = 2;             // the sweep's position to stop at on its first pass; -1 never (lost)
  std::vector<double> Draws;  // pushed at the stop key: what the pinfall draws
  int ReleaseOnClip = 0;      // aim and swing: the swing clip to release on; 0 none
  int HoldLeftMs = 0, HoldRightMs = 0;  // hook keys, held from the stop key
  int WaitMs = 0;                       // before Space
};
inline Ball At(int stopAt, std::vector<double> draws = {}) {
  return {stopAt, std::move(draws)};
}
inline const auto Strike = [] { return At(11, {0.5, 0.0}); };  // the pocket, for a right-hander
inline const auto Miss = [] { return At(2, {0.5}); };

// Plays the lane from the game's state: Space, the stop key, the release, Enter, Y or N.
struct GameWorld;
class Bot {
 public:
  explicit Bot(GameWorld& w);
  std::deque<Ball> Balls;        // then misses
  std::deque<bool> Answers;      // Y is true
  bool QuietAlley = true;        // the alley's timers off, and their draws with them
  int EnterWaitMs = 0;           // before Enter for the next bowler
  std::function<void()> OnTick;  // may throw, to play a fault in a wait
  int HookTimerOutsideWindow = 0, RemindersOutsideWaits = 0;  // ticks that saw these
  void Stop() { timer_.SetEnabled(false); }

 private:
  void Tick();
  GameWorld& w_;
  Timer timer_;
  Ball ball_;
  bool haveBall_ = false, aimed_ = false, stopped_ = false, releasing_ = false, answered_ = false;
  std::int64_t waitingSince_ = 0, awaitingSince_ = -1, lastSpace_ = -1000, lastEnter_ = -1000;
};

// A game on the simulated desktop: the error log wired in as the program wires it, bowlers
// "fn<i>.wav" with initials A, B, ..., option menus that answer at once, and the bot at the
// lane. The stand-in clips last 400 ms, silence 100 ms, MP3s 3 s.
struct GameWorld {
  enum Feature : int {
    kOwnSounds = 1,       // a sound tree of its own, for a test that takes clips away
    kRealMainMenu = 2,    // fMain itself, whose first item starts the game
    kRealCommentary = 4,  // the commentary module's announcer
  };
  explicit GameWorld(int bowlers = 1, int features = 0, std::int64_t latencyMs = 0);
  ~GameWorld();

  struct Left {};  // the main menu's exit
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
  Bot bot{*this};

  void Choose(std::vector<int> active, int playMethod = 1, int skill = 1);
  void PlayTurn(int frame);  // bowler 1's turn in that frame, on a full rack
  // Clips played on these slots (all if empty) from event `from`: the stem of a .wav.
  [[nodiscard]] Strings PlaysOn(const std::string& slots = "", std::size_t from = 0) const;
  [[nodiscard]] std::string Heard(const std::string& slots = "", std::size_t from = 0) const;
  // The events of a kind (on one slot if given), and their second fields as numbers.
  [[nodiscard]] std::vector<TraceEvent> EventsOf(const std::string& kind,
                                                 const std::string& slot = "") const;
  [[nodiscard]] Ints Changes(const std::string& kind, const std::string& slot) const;
  [[nodiscard]] long IndexOf(const std::string& kind, const std::string& ending,
                             long from = 0) const;
  // The first play of a clip: when (-1 if never), volume, pan.
  [[nodiscard]] std::array<std::int64_t, 3> PlayOf(const std::string& file) const;
  [[nodiscard]] Strings Errors() const;  // where each logged failure was
  [[nodiscard]] Roster Stored() const;   // the roster file as the next run reads it

 private:
  [[nodiscard]] std::unique_ptr<Game> MakeGame();
};

template <typename T>
int Count(const std::vector<T>& items, const T& item) {
  return static_cast<int>(std::count(items.begin(), items.end(), item));
}

}  // namespace strikora::testing
