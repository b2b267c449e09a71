// Games from the main menu back to it.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/Keys.h"
#include "tests/game/GameWorld.h"

namespace strikora::testing {
namespace {

// The lane is closed and the main menu back, with its music, whatever ended the game.
void ExpectBackAtTheMenu(const GameWorld& w) {
  EXPECT_TRUE(w.fMainStub.Visible());
  EXPECT_FALSE(w.lane.Visible());
  for (const Timer* t :
       {&w.lane.tmrAmbient[0], &w.lane.tmrAmbient[1], &w.lane.tmrAmbient[2], &w.lane.tmrBowlSounds,
        &w.lane.tmrOHS, &w.lane.tmrHook, &w.lane.tmrImpatient})
    EXPECT_FALSE(t->Enabled());
  EXPECT_EQ(w.engine.BackgroundBuffer.Buffer->Source().filename(), "menu.wav");
  EXPECT_TRUE(w.engine.BackgroundBuffer.IsPlaying());
  EXPECT_FALSE(w.engine.MusicBuffer.IsPlaying());
  EXPECT_FALSE(w.world.Mp3Running());  // no advert or closing music under the menu
  const GameSession& s = w.session;
  EXPECT_FALSE(s.WaitingForThrow || s.AwaitingNextPlayer || s.Aiming || s.Swinging ||
               s.HookWindow || s.ConfirmingLeave || s.MP3Playing || w.engine.Busy);
}

// Escape in an option menu steps back one; Y at the first ball's call leaves the game unstored.
TEST(StartGame, EscapeInAnOptionMenuStepsBackOne) {
  using Answers = std::deque<bool>;
  const std::vector<std::tuple<Answers, Answers, Answers, std::array<int, 3>>> cases = {
      {{false}, {}, {}, {1, 0, 0}},                      // back to the main menu
      {{true, true}, {false, true}, {true}, {2, 2, 1}},  // the method menu back to the players
      {{true}, {true, true}, {false, true}, {1, 2, 2}},  // the skill menu back to the method
  };
  for (const auto& [players, method, skill, shown] : cases) {
    SCOPED_TRACE(::testing::PrintToString(shown));
    GameWorld w;
    w.selPlayers.Answers = players;
    w.selMethod.Answers = method;
    w.selSkill.Answers = skill;
    w.bot.Balls = {Ball{2, {}, 0, 0, 0, 60000}};
    w.bot.Answers = {true};
    w.world.PressKeyWhenClipStarts("1stball1.wav", vk::Escape, 0, 10);
    w.engine.StartMenuMusic();
    w.game.StartGame();
    EXPECT_EQ((std::array{w.selPlayers.Shown, w.selMethod.Shown, w.selSkill.Shown}), shown);
    EXPECT_EQ(w.IndexOf("focus", "Strikora") >= 0, shown[2] > 0);
    ExpectBackAtTheMenu(w);
    EXPECT_EQ(w.Stored().Players(1).LastGameSlot(), 0);  // a game left is not stored
  }
}

TEST(StartGame, EveryActiveBowlerBowlsEveryFrameThenTheStandingsAndTheMainMenu) {
  GameWorld w(5);
  w.Choose({2, 4});
  w.engine.StartMenuMusic();
  w.game.StartGame();
  Ints up, expected;
  for (const Call& c : w.announcer.Of("AnnouncePlayerUp")) up.push_back(c.Player);
  for (int f = 0; f < 10; ++f) expected.insert(expected.end(), {2, 2, 4, 4});
  EXPECT_EQ(up, expected);  // two balls each, in roster order, the inactive never
  EXPECT_EQ(w.announcer.Of("AnnounceFrame").back().Frame, 10);
  // The menu music fades from where it stood, 200 at a time, two pauses a step, before the
  // alley starts.
  std::vector<TraceEvent> fade = w.EventsOf("volume");
  std::erase_if(fade, [](const TraceEvent& e) { return e.Fields[0] != "BackgroundBuffer"; });
  ASSERT_GE(fade.size(), 23u);
  EXPECT_EQ(fade[0].Fields[1], "-500");
  EXPECT_EQ(fade[22].Fields[1], "-4900");
  EXPECT_EQ(fade[22].Ms - fade[0].Ms, 22 * 200);
  const long advert = w.IndexOf("mp3", ".mp3", w.IndexOf("play", "frame5.wav"));
  ASSERT_GE(advert, 0);
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
  const std::size_t from = w.platform.Trace.Events().size();
  w.game.StartGame();
  const long frame1 = w.IndexOf("play", "frame1.wav", static_cast<long>(from));
  const long frame2 = w.IndexOf("play", "frame2.wav", frame1);
  ASSERT_TRUE(frame1 >= 0 && frame2 >= 0);
  const auto& events = w.platform.Trace.Events();
  EXPECT_TRUE(
      std::any_of(events.begin() + frame1, events.begin() + frame2, [](const TraceEvent& e) {
        return e.Kind == "play" && e.Fields[0].starts_with("AmbientBuffers");
      }));
}

// A fault ends the game at the menu and the next game starts clean: in the frame loop, in a
// delivery after the first stop key, or in the wait for the advert's or the closing music.
TEST(StartGame, AFaultEndsTheGameAtTheMenuAndTheNextGameStartsClean) {
  const std::vector<std::tuple<std::string, int, bool>> cases = {
      {"AnnounceBall", 2, false},
      {"PlayRollSound", 1, false},
      {"AnnounceFrame", 5, true},
      {"AnnounceFrame", 10, true},
  };
  for (const auto& [at, frame, music] : cases) {
    SCOPED_TRACE(at + " " + std::to_string(frame));
    GameWorld w;
    w.announcer.OnCall = [&w, &at, frame, music](const Call& call) {
      if (call.Name != at || call.Frame != frame) return;
      if (!music) throw std::runtime_error("the lane broke");
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
    EXPECT_EQ(w.Errors(), Strings{"TheGameSub"});
    EXPECT_EQ(w.announcer.Of("AnnounceFrame").size(), static_cast<std::size_t>(frame));
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

// The reminders count on from wait to wait: seven while Space is awaited, six while Enter is,
// each round starting again; Escape and N bring them back.
TEST(StartGame, AnIdleBowlerIsRemindedEveryThirtySeconds) {
  GameWorld w;
  w.bot.Balls = {Ball{2, {}, 0, 0, 0, 7 * 30000 + 1000}, Miss(), Ball{2, {}, 0, 0, 0, 100000}};
  w.bot.EnterWaitMs = 7 * 30000 + 1000;
  w.bot.Answers = {false, true};
  // Frame 2: Escape and N once the ball's call is over, then Escape at the next reminder.
  w.world.PressKeyWhenClipStarts("1stball1.wav", vk::Escape, 0, 500, 2);
  w.world.PressKeyWhenClipStarts("imp1.wav", vk::Escape, 0, 10, 2);
  w.game.StartGame();
  Strings heard = w.PlaysOn("AnnouncerBuffer");
  std::erase_if(heard, [](const std::string& clip) { return !clip.starts_with("imp"); });
  EXPECT_EQ(heard, (Strings{"imp1", "imp2", "imp3", "imp4", "imp5", "imp6", "imp7", "imp21",
                            "imp22", "imp23", "imp24", "imp25", "imp26", "imp21", "imp1"}));
  EXPECT_EQ(w.announcer.Of("AnnounceFrame").size(), 2u);
  EXPECT_EQ(w.bot.RemindersOutsideWaits, 0);
}

TEST(StartGame, AHeldSpaceDoesNotStopTheSweepItStarted) {
  GameWorld w;
  w.bot.Balls = {At(12)};
  w.announcer.OnCall = [&w](const Call& c) {
    if (c.Name == "AnnounceBall" && c.Ball == 0) w.world.PressKeyAfter(200, vk::Space, 0, true);
  };
  w.PlayTurn(3);
  ASSERT_FALSE(w.announcer.Of("PlayRollSound").empty());
  EXPECT_EQ(w.announcer.Of("PlayRollSound").front().Position, 12);
}

}  // namespace
}  // namespace strikora::testing
