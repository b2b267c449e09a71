// Games from the main menu back to it.
#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>

#include "platform/Keys.h"
#include "tests/game/GameWorld.h"

namespace strikora::testing {
namespace {

// The lane is closed and the main menu back, with its music, whatever ended the game.
void ExpectBackAtTheMenu(const GameWorld& w) {
  EXPECT_TRUE(w.fMainStub.Visible());
  EXPECT_TRUE(w.LaneIsQuiet());
  EXPECT_EQ(w.engine.BackgroundBuffer.Buffer->Source().filename(), "menu.wav");
  EXPECT_TRUE(w.engine.BackgroundBuffer.IsPlaying());
  EXPECT_FALSE(w.engine.MusicBuffer.IsPlaying());
  EXPECT_FALSE(w.world.Mp3Running());  // no advert or closing music under the menu
  const GameSession& s = w.session;
  EXPECT_FALSE(s.WaitingForThrow || s.AwaitingNextPlayer || s.Aiming || s.Swinging ||
               s.HookWindow || s.ConfirmingLeave || s.MP3Playing || w.engine.Busy);
}

TEST(StartGame, EscapeInAnOptionMenuStepsBackOne) {
  using Answers = std::deque<bool>;
  const std::vector<std::tuple<Answers, Answers, Answers, std::array<int, 3>>> cases = {
      {{false}, {}, {}, {1, 0, 0}},                      // back to the main menu
      {{true, true}, {false, true}, {true}, {2, 2, 1}},  // the method menu back to the players
      {{true}, {true, true}, {false, true}, {1, 2, 2}},  // the skill menu back to the method
  };
  for (const auto& [players, method, skill, shown] : cases) {
    GameWorld w;
    w.selPlayers.Answers = players;
    w.selMethod.Answers = method;
    w.selSkill.Answers = skill;
    w.bot.Balls = {At(2).Wait(60000)};  // then leave at the first ball
    w.bot.Answers = {true};
    w.world.PressKeyWhenClipStarts("1stball1.wav", vk::Escape, 0, 10);
    w.engine.StartMenuMusic();
    w.game.StartGame();
    EXPECT_EQ((std::array{w.selPlayers.Shown, w.selMethod.Shown, w.selSkill.Shown}), shown);
    EXPECT_EQ(w.IndexOf("focus", "Strikora") >= 0, shown[2] > 0);
    ExpectBackAtTheMenu(w);
  }
}

TEST(StartGame, EveryActiveBowlerBowlsEveryFrameThenTheStandingsAndTheMainMenu) {
  GameWorld w(5);
  w.Choose({2, 4});
  w.engine.StartMenuMusic();
  w.game.StartGame();

  std::vector<int> up, expected;
  for (const Call& c : w.announcer.Of("AnnouncePlayerUp")) up.push_back(c.Player);
  for (int f = 0; f < 10; ++f) expected.insert(expected.end(), {2, 2, 4, 4});
  EXPECT_EQ(up, expected);  // two balls each, in roster order, the inactive never
  EXPECT_EQ(w.announcer.Of("AnnounceFrame").back().Frame, 10);
  // The menu music fades from where it stood, 200 at a time, before the alley starts.
  std::vector<TraceEvent> fade;
  for (const TraceEvent& e : w.EventsOf("volume")) {
    if (e.Fields[0] == "BackgroundBuffer" && fade.size() < 23) fade.push_back(e);
  }
  ASSERT_EQ(fade.size(), 23u);
  EXPECT_EQ(fade.front().Fields[1], "-500");
  EXPECT_EQ(fade.back().Fields[1], "-4900");
  EXPECT_EQ(fade.back().Ms - fade.front().Ms, 22 * 200);  // two pauses a step
  const long advert = w.IndexOf("mp3", ".mp3", w.IndexOf("play", "frame5.wav"));
  EXPECT_NE(w.platform.Trace.Events()[static_cast<std::size_t>(advert)].Fields[1].find("advert"),
            std::string::npos);
  EXPECT_LT(advert, w.IndexOf("play", "frame6.wav"));
  EXPECT_GT(w.IndexOf("play", "pgend.wav"), w.IndexOf("play", "frame10.wav"));
  ExpectBackAtTheMenu(w);
  EXPECT_TRUE(w.Errors().empty());
  EXPECT_EQ(w.bot.RemindersOutsideWaits, 0);  // Enter during the call left no reminder running
  const Roster stored = w.Stored();
  for (int p = 1; p <= 5; ++p) EXPECT_EQ(stored.Players(p).LastGameSlot(), p % 2 == 0 ? 1 : 0);

  // A second game has the alley's sounds in its first frame, though the first ended with its
  // timers off.
  w.bot.QuietAlley = false;
  w.game.StartGame();
  const long frame1 = w.IndexOf("play", "frame1.wav", w.IndexOf("play", "pgend.wav"));
  const long frame2 = w.IndexOf("play", "frame2.wav", frame1);
  bool alley = false;
  for (long i = frame1; i < frame2; ++i) {
    const TraceEvent& e = w.platform.Trace.Events()[static_cast<std::size_t>(i)];
    alley = alley || (e.Kind == "play" && e.Fields[0].starts_with("AmbientBuffers"));
  }
  EXPECT_TRUE(alley);
}

TEST(StartGame, TenGamesLeftWithEscapeLeaveNoWaitNoTimerAndNoScoreBehind) {
  GameWorld w(1, GameWorld::kRealMainMenu);
  std::vector<const void*> depth;
  int quiet = 0;
  w.selPlayers.OnShow = [&] {
    const int marker = 0;
    depth.push_back(&marker);
    quiet += w.LaneIsQuiet() ? 1 : 0;
  };
  // Each game from the menu's own loop, once it has spoken: Escape during the first ball's
  // call, and Y.
  for (int game = 1; game <= 10; ++game) {
    w.world.PressKeyWhenClipStarts("lgb.wav", vk::Enter, 0, 500, game);
    w.world.PressKeyWhenClipStarts("1stball1.wav", vk::Escape, 0, 10, game);
    w.bot.Answers.push_back(true);
    w.bot.Balls.push_back(At(2).Wait(1 << 30));
  }
  w.world.PressKeyWhenClipStarts("lgb.wav", vk::Escape, 0, 500, 11);
  w.engine.StartMenuMusic();
  EXPECT_THROW(w.mainMenu.Show(ShowMode::Modal), GameWorld::Left);

  ASSERT_EQ(depth.size(), 10u);
  for (const void* d : depth) EXPECT_EQ(d, depth.front()) << "the stack grew";
  EXPECT_EQ(quiet, 10);
  EXPECT_EQ(Count(w.PlaysOn("AnnouncerBuffer"), std::string("leave.wav")), 10);
  const Roster stored = w.Stored();
  EXPECT_EQ(stored.Players(1).LastGameSlot(), 0);
}

TEST(StartGame, AFaultEndsTheGameAtTheMenuAndTheNextGameStartsClean) {
  struct Case {
    const char* where;
    std::string call;  // the announcer's call at which it breaks
    int frame;
    bool music;  // the music player breaks from then on, else the call itself
  };
  const Case cases[] = {
      {"the frame loop", "AnnounceBall", 2, false},
      {"a delivery, after the first stop key", "PlayRollSound", 1, false},
      {"the advert", "AnnounceFrame", 5, true},
      {"the closing music", "AnnounceFrame", 10, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    GameWorld w;
    w.announcer.OnCall = [&w, &c](const Call& call) {
      if (call.Name != c.call || call.Frame != c.frame) return;
      if (!c.music) throw std::runtime_error("the lane broke");
      // A fault in the wait for the music reaches the game, not a handler's trap.
      w.platform.Windows.SetErrorReporter(nullptr);
      w.bot.OnTick = [&w] {
        if (!w.session.MP3Playing) return;
        w.bot.OnTick = nullptr;
        throw std::runtime_error("the music broke");
      };
    };
    w.engine.StartMenuMusic();
    w.game.StartGame();
    EXPECT_EQ(w.Errors(), std::vector<std::string>{"TheGameSub"});
    EXPECT_EQ(w.announcer.Of("AnnounceFrame").size(), static_cast<std::size_t>(c.frame));
    ExpectBackAtTheMenu(w);

    w.platform.Windows.SetErrorReporter(&w.log);
    w.bot.OnTick = nullptr;
    w.announcer.OnCall = nullptr;
    w.announcer.Calls.clear();
    w.session.Aiming = w.session.HookWindow = w.session.ConfirmingLeave = w.engine.Busy = true;
    w.game.StartGame();
    EXPECT_EQ(w.announcer.Of("AnnounceBall").size(), 20u);
    EXPECT_EQ(w.Errors().size(), 1u);
    ExpectBackAtTheMenu(w);
  }
}

TEST(StartGame, AHeldSpaceDoesNotStopTheSweepItStarted) {
  GameWorld w;
  w.bot.Balls = {At(12)};
  w.announcer.OnCall = [&w](const Call& c) {
    if (c.Name == "AnnounceBall" && c.Ball == 0) w.world.PressKeyAfter(200, vk::Space, 0, true);
  };
  w.PlayTurn(3);
  EXPECT_EQ(w.announcer.Of("PlayRollSound").front().Position, 12);
}

// With the announcer and the stand-in sound set, from the main menu's Enter to the scores in
// the roster file: every clip found and named by the default set's clip list.
TEST(WholeGame, OneAndThreeBowlersFromTheMainMenuToTheRosterFile) {
  for (const int bowlers : {1, 3}) {
    GameWorld w(bowlers, GameWorld::kRealMainMenu | GameWorld::kRealCommentary);
    std::vector<int> lineup(static_cast<std::size_t>(bowlers));
    std::iota(lineup.begin(), lineup.end(), 1);
    w.Choose(lineup, 1, 2);
    w.bot.QuietAlley = false;
    for (int i = 0; i < 24 * bowlers; ++i)
      w.bot.Balls.push_back(At(std::array{11, 10, 9, 12, 2}[i % 5]));
    w.world.PressKeyWhenClipStarts("lgb.wav", vk::Enter, 0, 50, 1);
    w.world.PressKeyWhenClipStarts("lgb.wav", vk::Escape, 0, 50, 2);
    w.engine.StartMenuMusic();
    EXPECT_THROW(w.mainMenu.Show(ShowMode::Modal), GameWorld::Left);

    EXPECT_TRUE(w.EventsOf("fail").empty());
    EXPECT_TRUE(w.EventsOf("error").empty());
    for (const TraceEvent& e : w.platform.Trace.Events()) {
      if (e.Kind != "play" && !(e.Kind == "mp3" && e.Fields[0] == "load")) continue;
      EXPECT_TRUE(w.Listed(e.Fields[1])) << e.Fields[1];
    }
    const Roster stored = w.Stored();
    for (int p = 1; p <= bowlers; ++p) {
      const std::int16_t total = w.roster.Players(p).GetScore(false, 1, 2);
      EXPECT_GT(total, 0);
      EXPECT_EQ(stored.Players(p).ScoreHistory(1, 2, 1), total);
    }
    // Back in the menu, its music ducks under the speech again.
    bool ducked = false;
    for (auto i = static_cast<std::size_t>(w.IndexOf("play", "pgend.wav"));
         i < w.platform.Trace.Events().size(); ++i) {
      const TraceEvent& e = w.platform.Trace.Events()[i];
      ducked = ducked ||
               (e.Kind == "volume" && e.Fields[0] == "BackgroundBuffer" && e.Fields[1] == "-1500");
    }
    EXPECT_TRUE(ducked);
  }
}

}  // namespace
}  // namespace strikora::testing
