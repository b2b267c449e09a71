// Whole games on the simulated desktop, from the main menu back to it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>

#include "game/GameAbandoned.h"
#include "platform/Keys.h"
#include "tests/game/GameWorld.h"

namespace strikora::testing {
namespace {

using Strings = std::vector<std::string>;

// Where the first event of this kind with a field ending so was traced, from `from` on;
// -1 when never.
long IndexOf(const GameWorld& w, const std::string& kind, const std::string& ending,
             std::size_t from = 0) {
  const auto& events = w.platform.Trace.Events();
  for (std::size_t i = from; i < events.size(); ++i) {
    if (events[i].Kind != kind) continue;
    for (const std::string& field : events[i].Fields) {
      if (field.ends_with(ending)) return static_cast<long>(i);
    }
  }
  return -1;
}

// The lane hidden with every timer off.
bool LaneIsQuiet(GameWorld& w) {
  bool quiet = !w.lane.Visible();
  for (const Timer* t :
       {&w.lane.tmrAmbient[0], &w.lane.tmrAmbient[1], &w.lane.tmrAmbient[2], &w.lane.tmrBowlSounds,
        &w.lane.tmrOHS, &w.lane.tmrHook, &w.lane.tmrImpatient}) {
    quiet = quiet && !t->Enabled();
  }
  return quiet;
}

// The lane is closed and the main menu is back, whatever ended the game.
void ExpectBackAtTheMenu(GameWorld& w, const Form& main) {
  EXPECT_TRUE(main.Visible());
  EXPECT_TRUE(LaneIsQuiet(w));
  EXPECT_TRUE(w.engine.BackgroundBuffer.IsPlaying());
  EXPECT_EQ(w.engine.BackgroundBuffer.Buffer->Source().filename(), "menu.wav");
  EXPECT_FALSE(w.engine.MusicBuffer.IsPlaying());
  const GameSession& s = w.session;
  EXPECT_FALSE(s.WaitingForThrow || s.AwaitingNextPlayer || s.Aiming || s.Swinging ||
               s.HookWindow || s.ConfirmingLeave || s.MP3Playing || w.engine.Busy);
}

TEST(StartGame, EscapeInAnOptionMenuStepsBackOne) {
  struct Case {
    const char* name;
    std::deque<bool> players, method, skill;
    int shown[3];
    bool played;
  };
  const Case cases[] = {
      {"Escape in the players menu: the main menu", {false}, {}, {}, {1, 0, 0}, false},
      {"Escape in the method menu: the players menu",
       {true, true},
       {false, true},
       {true},
       {2, 2, 1},
       true},
      {"Escape in the skill menu: the method menu",
       {true},
       {true, true},
       {false, true},
       {1, 2, 2},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameWorld w;
    w.selPlayers.Answers = c.players;
    w.selMethod.Answers = c.method;
    w.selSkill.Answers = c.skill;
    // Leave at the first ball: Escape, then Y.
    w.bot.Balls = {At(2).Wait(60000)};
    w.bot.Answers = {true};
    w.world.PressKeyWhenClipStarts("1stball1.wav", vk::Escape, 0, 10);
    w.engine.StartMenuMusic();
    w.game.StartGame();
    EXPECT_EQ(w.selPlayers.Shown, c.shown[0]);
    EXPECT_EQ(w.selMethod.Shown, c.shown[1]);
    EXPECT_EQ(w.selSkill.Shown, c.shown[2]);
    EXPECT_EQ(IndexOf(w, "focus", "Strikora") >= 0, c.played);
    ExpectBackAtTheMenu(w, w.fMainStub);
  }
}

TEST(StartGame, EveryActiveBowlerBowlsEveryFrameThenTheStandingsAndTheMainMenu) {
  GameWorld w(5);
  w.Choose({2, 4});
  w.engine.StartMenuMusic();
  w.game.StartGame();

  // Bowlers 2 and 4, two balls each, in every frame; the inactive ones never.
  std::vector<int> up, frames;
  for (const Call& c : w.announcer.Of("AnnouncePlayerUp")) up.push_back(c.Player);
  for (const Call& c : w.announcer.Of("AnnounceFrame")) frames.push_back(c.Frame);
  std::vector<int> expected;
  for (int f = 0; f < 10; ++f) expected.insert(expected.end(), {2, 2, 4, 4});
  EXPECT_EQ(up, expected);
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  // The sponsor's break comes between frames 5 and 6.
  const long advert =
      IndexOf(w, "mp3", ".mp3", static_cast<std::size_t>(IndexOf(w, "play", "frame5.wav")));
  EXPECT_NE(w.platform.Trace.Events()[static_cast<std::size_t>(advert)].Fields[1].find("advert"),
            std::string::npos);
  EXPECT_LT(advert, IndexOf(w, "play", "frame6.wav"));
  EXPECT_GT(IndexOf(w, "play", "pgend.wav"), IndexOf(w, "play", "frame10.wav"));
  ExpectBackAtTheMenu(w, w.fMainStub);
  EXPECT_TRUE(w.LogHeadings().empty());
  // Enter came during the next-bowler call: no reminder was left running after it.
  EXPECT_EQ(w.bot.RemindersOutsideWaits, 0);

  Roster stored(w.F.PlayersFile, w.F.DataFolder, w.F.NamesFolder);
  stored.LoadRoster();
  for (int p = 1; p <= 5; ++p) EXPECT_EQ(stored.Players(p).LastGameSlot(), p % 2 == 0 ? 1 : 0);

  // A second game has the alley's sounds from its first frame, though the first game ended
  // with its timers off.
  w.bot.QuietAlley = false;
  w.Choose({2});
  w.game.StartGame();
  const long second =
      IndexOf(w, "focus", "Players", static_cast<std::size_t>(IndexOf(w, "focus", "Players")) + 1);
  const long frame1 = IndexOf(w, "play", "frame1.wav", static_cast<std::size_t>(second));
  const long frame2 = IndexOf(w, "play", "frame2.wav", static_cast<std::size_t>(frame1));
  ASSERT_GT(second, 0);
  bool alley = false;
  for (long i = frame1; i < frame2; ++i) {
    const TraceEvent& e = w.platform.Trace.Events()[static_cast<std::size_t>(i)];
    alley = alley || (e.Kind == "play" && e.Fields[0].starts_with("AmbientBuffers"));
  }
  EXPECT_TRUE(alley);
}

TEST(StartGame, EscapeThenNGoesOnAndTheRemindersReturnThenEscapeThenYLeaves) {
  GameWorld w;
  w.bot.Balls = {At(2).Wait(600000)};
  w.bot.Answers = {false, true};
  w.world.PressKeyWhenClipStarts("1stball1.wav", vk::Escape, 0, 10);
  w.world.PressKeyWhenClipStarts("imp1.wav", vk::Escape, 0, 10);
  w.engine.StartMenuMusic();
  w.game.StartGame();

  // The question twice; 30 s after the first N the reminder came back, and Y left the game.
  const auto announcer = w.PlaysOn("AnnouncerBuffer");
  EXPECT_EQ(std::count(announcer.begin(), announcer.end(), "leave.wav"), 2);
  const auto keys = w.EventsOf("key");
  std::int64_t answeredNo = 0;
  for (const TraceEvent& k : keys) {
    if (k.Fields[0] == std::to_string(vk::Letter('N'))) answeredNo = k.Ms;
  }
  const long reminder = IndexOf(w, "play", "imp1.wav");
  ASSERT_GE(reminder, 0);
  EXPECT_EQ(w.platform.Trace.Events()[static_cast<std::size_t>(reminder)].Ms, answeredNo + 30000);
  ExpectBackAtTheMenu(w, w.fMainStub);
  // Nothing of the abandoned game is stored.
  Roster stored(w.F.PlayersFile, w.F.DataFolder, w.F.NamesFolder);
  stored.LoadRoster();
  EXPECT_EQ(stored.Players(1).LastGameSlot(), 0);
}

TEST(StartGame, TenGamesLeftInARowLeaveNoWaitAndNoTimerBehind) {
  GameWorld w(1, GameWorld::kRealMainMenu);
  std::vector<std::uintptr_t> depth;
  int quietLanes = 0;
  w.selPlayers.OnShow = [&] {
    const int marker = 0;
    depth.push_back(reinterpret_cast<std::uintptr_t>(&marker));
    quietLanes += LaneIsQuiet(w) ? 1 : 0;
  };
  // Enter each time the menu has finished speaking, so that each game starts from the menu's
  // own loop; what must not pile up is the abandoned games' waits.
  for (int game = 1; game <= 10; ++game) {
    w.world.PressKeyWhenClipStarts("lgb.wav", vk::Enter, 0, 500, game);
    w.world.PressKeyWhenClipStarts("1stball1.wav", vk::Escape, 0, 10, game);
    w.bot.Answers.push_back(true);
  }
  w.bot.Balls.assign(10, At(2).Wait(600000));
  w.world.PressKeyWhenClipStarts("lgb.wav", vk::Escape, 0, 500, 11);
  w.engine.StartMenuMusic();
  EXPECT_THROW(w.mainMenu.Show(ShowMode::Modal), GameWorld::Left);

  ASSERT_EQ(depth.size(), 10u);
  for (const std::uintptr_t d : depth) EXPECT_EQ(d, depth.front()) << "the stack grew";
  const auto announcer = w.PlaysOn("AnnouncerBuffer");
  EXPECT_EQ(std::count(announcer.begin(), announcer.end(), "leave.wav"), 10);
  EXPECT_EQ(quietLanes, 10);
  EXPECT_TRUE(LaneIsQuiet(w));
}

TEST(StartGame, AFaultEndsTheGameAtTheMenuAndTheNextGameStartsClean) {
  GameWorld w;
  w.announcer.OnCall = [](const Call& c) {
    if (c.Name == "AnnounceBall" && c.Frame == 2) throw std::runtime_error("the lane broke");
  };
  w.engine.StartMenuMusic();
  w.game.StartGame();
  ASSERT_EQ(w.LogHeadings().size(), 1u);
  EXPECT_NE(w.LogHeadings()[0].find("[TheGameSub]"), std::string::npos);
  ExpectBackAtTheMenu(w, w.fMainStub);

  // Leftovers of a broken game must not reach the next one.
  w.announcer.OnCall = nullptr;
  w.announcer.Calls.clear();
  w.session.Aiming = w.session.HookWindow = w.session.ConfirmingLeave = true;
  w.engine.Busy = true;
  w.game.StartGame();
  EXPECT_EQ(w.announcer.Of("AnnounceFrame").size(), 10u);
  EXPECT_EQ(w.announcer.Of("AnnounceBall").size(), 20u);
  EXPECT_EQ(w.LogHeadings().size(), 1u);
  ExpectBackAtTheMenu(w, w.fMainStub);
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

// The whole program's game with the announcer and the stand-in sound set: from the main
// menu's Enter to the scores in the roster file, in well under a second.
TEST(WholeGame, OneAndThreeBowlersFromTheMainMenuToTheRosterFile) {
  for (const int bowlers : {1, 3}) {
    SCOPED_TRACE(std::to_string(bowlers) + " bowlers");
    GameWorld w(bowlers, GameWorld::kRealMainMenu | GameWorld::kRealCommentary);
    std::vector<int> today;
    for (int p = 1; p <= bowlers; ++p) today.push_back(p);
    w.Choose(today, 1, 2);
    w.bot.QuietAlley = false;
    for (int i = 0; i < 24 * bowlers; ++i)
      w.bot.Balls.push_back(At(std::vector{11, 10, 9, 12, 2}[i % 5]));
    w.world.PressKeyWhenClipStarts("lgb.wav", vk::Enter, 0, 50, 1);
    w.world.PressKeyWhenClipStarts("lgb.wav", vk::Escape, 0, 50, 2);
    w.engine.StartMenuMusic();

    const auto started = std::chrono::steady_clock::now();
    EXPECT_THROW(w.mainMenu.Show(ShowMode::Modal), GameWorld::Left);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));

    EXPECT_TRUE(w.EventsOf("fail").empty());
    EXPECT_TRUE(w.EventsOf("error").empty());
    Roster stored(w.F.PlayersFile, w.F.DataFolder, w.F.NamesFolder);
    stored.LoadRoster();
    for (int p = 1; p <= bowlers; ++p) {
      const std::int16_t total = w.roster.Players(p).GetScore(false, 1, 2);
      EXPECT_GT(total, 0);
      EXPECT_EQ(stored.Players(p).ScoreHistory(1, 2, 1), total);
    }
    // Back in the menu, its music ducks under the speech again.
    const long menu =
        IndexOf(w, "play", "menu.wav", static_cast<std::size_t>(IndexOf(w, "play", "pgend.wav")));
    ASSERT_GT(menu, 0);
    bool ducked = false;
    for (std::size_t i = static_cast<std::size_t>(menu); i < w.platform.Trace.Events().size();
         ++i) {
      const TraceEvent& e = w.platform.Trace.Events()[i];
      ducked = ducked ||
               (e.Kind == "volume" && e.Fields[0] == "BackgroundBuffer" && e.Fields[1] == "-1500");
    }
    EXPECT_TRUE(ducked);
  }
}

}  // namespace
}  // namespace strikora::testing
