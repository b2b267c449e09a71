// Games on the simulated desktop, the bot at the lane and the pinfall's draws scripted: turns and
// deliveries, the lane's keys, the standings, and whole games from the main menu back to it.
#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>

#include "platform/Keys.h"
#include "tests/support/GameWorld.h"

namespace strikora::testing {
namespace {

const Ball kSix = At(10, {0.595, 0.795});  // leaves 3, 6, 9, 10
const Ball kFour = At(12, {0.5, 0.995});   // takes 3, 6, 9, 10
const Ball kLost = At(-1);                 // never stopped

// A turn ends after a strike or two balls, the tenth gives its extra balls. A lost ball: six
// passes, 21 + 5 x 20 tones, one buzzer, and the next ball sweeps afresh.
TEST(Turn, EndsAfterAStrikeOrTwoBallsAndTheTenthGivesItsExtraBalls) {
  // frame, balls, each ball's number and the pins standing as it is called; buzzers, the
  // frame's score, aim tones heard
  // clang-format off
  const std::vector<std::tuple<int, std::vector<Ball>, std::string, Ints>> cases = {
      {3, {Strike()}, "0:10 ", {0, 10, 12}},               {3, {kSix, Miss()}, "0:10 1:4 ", {0, 6, 14}},
      {3, {kLost, Miss()}, "0:10 1:10 ", {1, 0, 124}},     {10, {kSix, Miss()}, "0:10 1:4 ", {0, 6, 14}},
      {10, {Strike(), kSix, Miss()}, "0:10 2:10 4:4 ", {0, 16, 26}},
      {10, {Strike(), Strike(), Strike()}, "0:10 2:10 4:10 ", {0, 30, 36}},
      {10, {Strike(), At(1), kLost}, "0:10 2:10 4:10 ", {1, 10, 135}},
      {10, {kSix, kFour, Strike()}, "0:10 1:4 2:10 ", {0, 20, 36}},  // the spare's bonus
  };
  // clang-format on
  for (const auto& [frame, balls, called, counts] : cases) {
    SCOPED_TRACE(called + "in frame " + std::to_string(frame));
    GameWorld w;
    w.bot.Balls.assign(balls.begin(), balls.end());
    w.PlayTurn(frame);
    const auto calls = w.announcer.Of("AnnounceBall");
    std::string heard;
    for (const Call& c : calls)
      heard += std::to_string(c.Ball) + ":" + std::to_string(c.Standing) + " ";
    EXPECT_EQ(heard, called);
    const Strings speech = w.PlaysOn("SpeechBuffer");
    EXPECT_EQ(Count(speech, std::string("ballret")), static_cast<int>(calls.size()) - 1);
    EXPECT_EQ((Ints{Count(speech, std::string("buzzer")), w.roster.Players(1).GetFrameScore(frame),
                    static_cast<int>(w.PlaysOn("AimBuffers[0] AimBuffers[1]").size())}),
              counts);
    EXPECT_EQ(w.random.Remaining(), 0u);
  }
}

// Released on the eighth swing clip the ball keeps its line; earlier it goes toward the bowling
// hand's far side, later toward its near side; no release key: the tenth clip releases. The
// hook counts 10 ms ticks of a held Shift key (both count as Left) in a window of one pause,
// held open through the hook sound once a hook began. A ball released in the gutter stays there.
TEST(Delivery, TheSwingAndTheHookMoveTheBall) {
  // method, left hand, stop at, release clip, left and right Shift held (ms), hook, end at
  const std::vector<std::array<int, 8>> cases = {
      {2, 0, 10, 8, 0, 0, 0, 10},    {2, 0, 10, 3, 0, 0, 0, 15},  {2, 0, 10, 10, 0, 0, 0, 8},
      {2, 1, 10, 3, 0, 0, 0, 5},     {2, 0, 10, 7, 0, 0, 0, 11},  {2, 0, 16, 1, 0, 0, 0, 20},
      {2, 0, 10, 0, 0, 0, 0, 8},     {1, 0, 10, 0, 0, 45, 4, 10}, {1, 0, 10, 0, 45, 0, -4, 10},
      {1, 0, 10, 0, 45, 45, -4, 10}, {1, 0, 10, 0, 0, 95, 9, 14}, {1, 0, 1, 0, 0, 95, 9, 1},
  };
  for (const auto& [method, left, stopAt, clip, holdLeft, holdRight, hook, endAt] : cases) {
    SCOPED_TRACE(::testing::PrintToString(Ints{method, left, stopAt, clip, hook}));
    GameWorld w;
    w.session.PlayMethod = static_cast<std::int16_t>(method);
    w.roster.Players(1).SetLefthanded(left != 0);
    w.bot.Balls = {Ball{stopAt, {}, clip, holdLeft, holdRight}};
    w.PlayTurn(3);
    const auto roll = w.announcer.Of("PlayRollSound");
    const auto end = w.announcer.Of(endAt < 2 || endAt > 18 ? "PlayGutterBall" : "AnnounceLeave");
    ASSERT_FALSE(roll.empty() || end.empty());
    EXPECT_EQ((Ints{roll[0].Position, roll[0].Hook, end[0].Position}), (Ints{stopAt, hook, endAt}));
    EXPECT_EQ(w.bot.HookTimerOutsideWindow, 0) << "the hook timer runs in the window only";
    std::string swing;
    for (int k = 1; method == 2 && k <= (clip == 0 ? 10 : clip); ++k)
      swing += "sw1" + std::to_string(k) + " ";
    EXPECT_TRUE(w.Heard("BallBuffer").starts_with(swing + (hook != 0 ? "hook roll" : "roll")));
  }
}

// Each skill marks its own landmarks; each tone is panned where the ball would go, and the ball
// goes where the tone was heard: the stop key comes within a tick of tone 10 starting, so heard
// 150 ms late it is still 9. A Space held through the ball's call does not stop the sweep.
TEST(Delivery, LandmarksAndPansOfTheAimTonesAndTheBallGoesWhereTheToneWasHeard) {
  const std::string marks[] = {"00001010101", "000010101000101010000", "000010100000001010000",
                               "000010000000000010000", "000000000000000000000"};
  for (int skill = 1; skill <= 5; ++skill) {
    SCOPED_TRACE(skill);
    GameWorld w(1, 0, skill == 1 ? 150 : 0);
    w.session.SkillLevel = static_cast<std::int16_t>(skill);
    const std::string& expected = marks[skill - 1];  // the first ball's tones, to its stop key
    w.bot.Balls = {At(static_cast<int>(expected.size()) - 1)};
    w.announcer.OnCall = [&w](const Call& c) {
      if (c.Name == "AnnounceBall") w.world.PressKeyAfter(200, vk::Space, 0, true);
    };
    w.PlayTurn(3);
    std::string heard;
    for (const TraceEvent& e : w.EventsOf("play")) {
      if (!e.Fields[0].starts_with("AimBuffers") || heard.size() >= expected.size()) continue;
      EXPECT_EQ(e.Fields[3], std::to_string(500 * static_cast<int>(heard.size()) - 5000));
      heard += e.Fields[0] == "AimBuffers[1]" ? '1' : '0';
    }
    EXPECT_EQ(heard, expected);
    ASSERT_FALSE(w.announcer.Of("PlayRollSound").empty());
    EXPECT_EQ(w.announcer.Of("PlayRollSound")[0].Position, skill == 1 ? 9 : 20);
  }
}

// A missing landmark tone is told at loading and once a ball, the plain tone standing in.
TEST(Delivery, AMissingAimToneIsToldOnceABallAndThePlainToneStandsIn) {
  GameWorld w(1, GameWorld::kOwnSounds);
  const std::string tone = (w.F.PlayFolder / "aim11.wav").string();
  std::filesystem::remove(tone);
  w.bot.Balls = {At(20), At(20)};
  w.PlayTurn(3);
  EXPECT_EQ(w.Errors(), (Strings{tone, tone, tone}));
  EXPECT_EQ(w.PlaysOn("AimBuffers[0]").size(), 42u);
}

// A lane waiting for bowler 1's first ball of the frame, with no bot; what one key said on the
// announcer and number slots.
void Waiting(GameWorld& w, int frame = 5) {
  w.bot.Stop();
  w.lane.Show();
  w.session.CurrentFrame = static_cast<std::int16_t>(frame);
  w.roster.SetCurrentPlayer(1);
  w.session.WaitingForThrow = true;
}
std::string Heard(GameWorld& w, int key) {
  const std::size_t from = w.platform.Trace.Events().size();
  w.lane.Form_KeyDown(key, 0);
  return w.Heard("AnnouncerBuffer NumberBuffer", from);
}

// Each report says what it names (with the announcer's call it makes, seen on a turn's first
// ball), and the lane listens again. T while the next bowler is awaited gives the remark of a
// turn's first ball. The game score leaves out two strikes still waiting for their bonus, and a
// mark in frame 1 while frame 2 is bowled.
TEST(LaneKeys, EachReportSaysWhatItNamesAndTheLaneListensAgain) {
  GameWorld w;
  Waiting(w);
  w.roster.Players(1).AddScore(5, 7, 0);
  w.session.ReleasePosition = 13;
  w.world.SetLocalTime({2026, 12, 6, 14, 20, 0});
  const std::string up = "AnnouncePlayerUp", streak = "AnnounceStreak", pins = "SpeakStandingPins";
  // key, heard, the announcer's call; awaiting Enter
  // clang-format off
  const std::vector<std::tuple<int, std::string, std::string, bool>> cases = {
      {vk::F(1), "help1", "", false}, {vk::Letter('H'), "help2", "", false}, {vk::F(5), "13", "", false},
      {vk::F(2), "stndpin", pins, false}, {vk::Letter('P'), "stndpin", pins, false}, {vk::F12, "2 20", "", false},
      {vk::F(3), "fn1 A frmscor 7", "", false}, {vk::Letter('S'), "fn1 A frmscor 7", "", false},
      {vk::F(4), "fn1 A gamscor 7", streak, false}, {vk::Letter('T'), "fn1 A gamscor 7", streak, false},
      {vk::Letter('T'), "fn1 A gamscor 7", streak, true}, {vk::Letter('Q'), "", "", false},
      {vk::F(6), "isup1", up, false}, {vk::Letter('R'), "isup1", up, false},
  };
  // clang-format on
  for (const auto& [key, heard, call, enter] : cases) {
    SCOPED_TRACE(::testing::Message() << key << " " << heard << (enter ? " awaiting Enter" : ""));
    w.session.WaitingForThrow = !enter;
    w.session.AwaitingNextPlayer = enter;
    w.session.BallNumber = enter ? 2 : 0;
    for (int i = 0; i < 2; ++i) w.random.Push(0.5);  // numbers in the plain voice
    w.announcer.Calls.clear();
    EXPECT_EQ(Heard(w, key), heard);
    const auto& calls = w.announcer.Calls;
    EXPECT_EQ(calls.empty() ? "" : calls[0].Name + " " + std::to_string(calls[0].Ball),
              call.empty() ? "" : call + " 0");
    EXPECT_FALSE(w.engine.Busy);
    EXPECT_EQ(w.session.WaitingForThrow, !enter);
    while (w.random.Remaining() > 0) (void)w.random.Rnd();
  }
  using Balls = std::vector<std::array<int, 3>>;  // frame, pins, ball
  for (const auto& [balls, frame, score] : std::vector<std::tuple<Balls, int, std::string>>{
           {{{1, 3, 0}, {1, 4, 1}, {3, 10, 0}, {4, 10, 0}}, 5, "7"},
           {{{1, 5, 0}, {1, 5, 1}}, 2, "0"},
           {{{3, 3, 0}, {3, 4, 1}, {4, 10, 0}}, 5, "17"},
           {{{1, 3, 0}, {1, 4, 1}}, 2, "7"}}) {
    SCOPED_TRACE(score + " in frame " + std::to_string(frame));
    Waiting(w, frame);
    w.roster.Players(1).ResetScore();
    for (const auto& [f, pins, ball] : balls) w.roster.Players(1).AddScore(f, pins, ball);
    w.random.Push(0.5);
    EXPECT_EQ(Heard(w, vk::F(4)), "fn1 A gamscor " + score);
  }
}

// While a report runs only Ctrl acts, Enter does not take a throw; a frame score of 0 with no "0"
// to say it is logged, and the lane still listens. The page keys step the alley's ambience down
// from its level and its music up from its, six steps of 2.5 dB each way.
TEST(LaneKeys, WhileAReportRunsOnlyCtrlActsAndThePageKeysStepTheAlley) {
  GameWorld w(1, GameWorld::kOwnSounds);
  Waiting(w);
  w.world.PressKeyWhenClipStarts("help1.wav", vk::Letter('P'), 0, 50);
  w.world.PressKeyWhenClipStarts("help1.wav", vk::Control, mod::Ctrl, 100);
  const std::int64_t start = w.world.MonotonicMs();
  EXPECT_EQ(Heard(w, vk::F(1)), "help1");
  EXPECT_EQ(w.world.MonotonicMs() - start, 100);
  EXPECT_EQ(Heard(w, vk::Enter), "");
  EXPECT_TRUE(w.session.WaitingForThrow);
  for (const char* voice : {"0.wav", "0f.wav", "0p.wav"})
    std::filesystem::remove(w.F.NumbersFolder / voice);
  (void)Heard(w, vk::F(3));
  EXPECT_FALSE(w.engine.Busy);
  EXPECT_EQ(w.Errors(), Strings{"SpeakFrameScore"});
  w.engine.StartAlleyAmbience();
  for (const auto& [key, slot, first, last] :
       {std::tuple{vk::PageDown, "BackgroundBuffer", -1750, -3000},
        {vk::PageUp, "MusicBuffer", -2250, -1000}}) {
    w.platform.Trace.Clear();
    for (int i = 0; i < 7; ++i) w.lane.Form_KeyDown(key, 0);  // the seventh: no change
    const Ints v = w.Changes("volume", slot);
    ASSERT_EQ(v.size(), 6u) << slot;
    EXPECT_EQ((Ints{v.front(), v.back()}), (Ints{first, last})) << slot;
  }
  EXPECT_EQ(w.engine.AmbientLevel, 0);
  (void)Heard(w, vk::Space);
  EXPECT_FALSE(w.session.WaitingForThrow);
}

// Scores by roster slot (s / 10 pins on every first ball, or twelve strikes for 300); a
// negative score marks a bowler who is not playing today (scored 60 all the same). Bowler 1
// may have an earlier game of this play method and skill.
void Finish(GameWorld& w, const Ints& scores, int earlier = 0) {
  w.lane.Show();
  w.session.SkillLevel = 2;  // a game is stored under its own skill
  const auto bowl = [](Player& p, int s) {
    for (int f = 1; f <= 10; ++f) p.AddScore(f, s == 300 ? 10 : s / 10, 0);
    if (s == 300) p.AddScore(10, 10, 2), p.AddScore(10, 10, 4);
  };
  if (earlier > 0) bowl(w.roster.Players(1), earlier), w.roster.Players(1).GameOver(1, 2);
  w.roster.Players(1).ResetScore();
  for (std::size_t i = 0; i < scores.size(); ++i) {
    Player& p = w.roster.Players(static_cast<int>(i) + 1);
    p.SetIsActive(scores[i] >= 0);
    bowl(p, scores[i] >= 0 ? scores[i] : 60);
  }
}

// What the announcer says, a digit b standing for bowler b's name and "with a score of".
std::string Said(std::string words) {
  for (char b = '1'; b <= '5'; ++b)
    words = std::regex_replace(
        words, std::regex(std::string("\\b") + b + "\\b"),
        std::string("fn") + b + " " + static_cast<char>('A' + b - '1') + " scoreof1");
  return words;
}

// The standings from last place up, every draw at 0, with handicap when bowler 1's earlier
// game is not negative. Slots 2 and 4 tie: the first place is told as tying with the second.
// An inactive bowler on the same score is never told. With handicap, each from the games before
// this one: a first game is bowled scratch, 60 on an average of 90 has 160 added. Single cheers
// sound over the applause above the last place. Each bowler whose game cannot be stored is
// tried, and told of, alone, and the music is left unducked for the menu. Y hears the
// standings again with fresh choices.
TEST(Results, TheStandingsAreToldFromLastPlaceUpAndEveryGameIsStored) {
  // scores, bowler 1's earlier game, the announcer, the numbers, single cheers; the roster file
  // cannot be written
  // clang-format off
  const std::vector<std::tuple<Ints, int, std::string, std::string, int, bool>> cases = {
      {{60}, -1, "solo1 1", "60f", 0, false},
      {{90, 60, 30}, -1, "3rdplc1 3 2ndplc1 2 1stplc1 1", "30f 60f 90f", 2, false},
      {{90, 60, 30}, -1, "3rdplc1 3 2ndplc1 2 1stplc1 1", "30f 60f 90f", 2, true},
      {{50, 60, 70, 80, 90}, -1, "lastplc1 1 nextplc1 2 3rdplc1 3 2ndplc1 4 1stplc1 5", "50f 60f 70f 80f 90f", 4, false},
      {{-1, 40, -1, 40}, -1, "2ndplc1 2 tying fn2 B was 4", "40f 40f", 1, false},
      {{60, -1, 30}, -1, "2ndplc1 3 1stplc1 1", "30f 60f", 1, false},
      {{300}, 0, "handi solo1 1 mht prfgamm", "3f hundredf 0f", 0, false},
      {{60, 70}, 90, "handi 2ndplc1 2 mht 1stplc1 1 mht", "70f 0f 2f hundredf 20f 1f hundredf 60f", 1, false},
  };
  // clang-format on
  for (const auto& [scores, earlier, announcer, numbers, cheers, broken] : cases) {
    SCOPED_TRACE(announcer + (broken ? ", not stored" : ""));
    GameWorld w(static_cast<int>(scores.size()));
    Finish(w, scores, std::max(earlier, 0));
    if (broken) {
      std::filesystem::remove(w.F.PlayersFile);
      std::filesystem::create_directory(w.F.PlayersFile);  // no record can be written
    }
    w.session.UseHandicap = earlier >= 0;
    w.session.MenuAccepted = true;
    for (int i = 0; i < 300; ++i) w.random.Push(0.0);
    w.game.GetResults().AnnounceResults();
    EXPECT_EQ(w.Heard("AnnouncerBuffer"), Said(announcer + " ruagain pgend"));
    EXPECT_EQ(w.Heard("NumberBuffer"), numbers);
    EXPECT_EQ(Count(w.PlaysOn("SpeechBuffer"), std::string("cheers1")), 1);  // the winner's roar
    EXPECT_EQ(w.PlaysOn("CrowdBuffer").size(), static_cast<std::size_t>(cheers));
    EXPECT_FALSE(w.session.MenuAccepted || w.engine.MusicDucked);
    EXPECT_EQ(w.Errors(), Strings(broken ? scores.size() : 0, w.F.PlayersFile.string()));
    if (broken) continue;
    const Roster stored = w.Stored();
    for (int i = 1; i <= static_cast<int>(scores.size()); ++i)
      EXPECT_EQ(stored.Players(i).ScoreHistory(1, 2, i == 1 && earlier > 0 ? 2 : 1),
                std::max(scores[i - 1], 0));
  }
  GameWorld w;
  Finish(w, {60});
  w.bot.Answers = {true, false};
  for (const double d : {0.0, 0.0, 0.0, 0.99, 0.99, 0.99}) w.random.Push(d);
  w.game.GetResults().AnnounceResults();
  EXPECT_EQ(w.Heard("AnnouncerBuffer"), Said("solo1 1 ruagain solo2 fn1 A scoreof3 ruagain pgend"));
  EXPECT_EQ(w.Heard("NumberBuffer"), "60f 60p");
}

// The lane is closed and the main menu back, with its music, whatever ended the game.
void ExpectBackAtTheMenu(const GameWorld& w) {
  const fMainPlay& l = w.lane;
  for (const Timer* t : {&l.tmrAmbient[0], &l.tmrAmbient[1], &l.tmrAmbient[2], &l.tmrBowlSounds,
                         &l.tmrOHS, &l.tmrHook, &l.tmrImpatient})
    EXPECT_FALSE(t->Enabled());
  EXPECT_EQ(w.engine.BackgroundBuffer.Buffer->Source().filename(), "menu.wav");
  EXPECT_TRUE(w.fMainStub.Visible() && !l.Visible() && w.engine.BackgroundBuffer.IsPlaying());
  EXPECT_FALSE(w.engine.MusicBuffer.IsPlaying());
  EXPECT_FALSE(w.world.Mp3Running());  // no advert or closing music under the menu
  const GameSession& s = w.session;
  EXPECT_FALSE(s.WaitingForThrow || s.AwaitingNextPlayer || s.Aiming || s.Swinging ||
               s.HookWindow || s.ConfirmingLeave || s.MP3Playing || w.engine.Busy);
}

// Every active bowler bowls every frame, two balls each in roster order, the inactive never;
// the menu music fades from where it stood, 200 at a time, two pauses a step, before the alley
// starts; the advert after frame 5, the standings after frame 10, then the main menu. A second
// game has the alley's sounds in its first frame, though the first ended with its timers off,
// and again after the advert.
TEST(StartGame, EveryActiveBowlerBowlsEveryFrameThenTheStandingsAndTheMainMenu) {
  GameWorld w(5);
  w.Choose({2, 4});
  w.engine.StartMenuMusic();
  w.game.StartGame();
  Ints up, expected;
  for (const Call& c : w.announcer.Of("AnnouncePlayerUp")) up.push_back(c.Player);
  for (int f = 0; f < 10; ++f) expected.insert(expected.end(), {2, 2, 4, 4});
  EXPECT_EQ(up, expected);
  EXPECT_EQ(w.announcer.Of("AnnounceFrame").back().Frame, 10);
  const std::vector<TraceEvent> fade = w.EventsOf("volume", "BackgroundBuffer");
  ASSERT_GE(fade.size(), 23u);
  EXPECT_EQ((Strings{fade[0].Fields[1], fade[22].Fields[1]}), (Strings{"-500", "-4900"}));
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

  w.bot.QuietAlley = false;
  const auto from = static_cast<long>(w.platform.Trace.Events().size());
  w.game.StartGame();
  const auto& events = w.platform.Trace.Events();
  const auto alleyBetween = [&](const std::string& a, const std::string& b) {
    const long i = w.IndexOf("play", a, from), j = w.IndexOf("play", b, i);
    return i >= 0 && j >= 0 && std::any_of(events.begin() + i, events.begin() + j, [](auto& e) {
             return e.Kind == "play" && e.Fields[0].starts_with("AmbientBuffers");
           });
  };
  EXPECT_TRUE(alleyBetween("frame1.wav", "frame2.wav"));
  EXPECT_TRUE(alleyBetween("frame6.wav", "frame7.wav"));  // back after the advert
}

// However a game ends, the lane is closed and the main menu back, and the next game starts
// clean. Escape in an option menu steps back one; Y at the first ball's call leaves the game
// unstored. A fault is logged once: in the frame loop, in a delivery after the first stop key,
// or in the wait for the advert's or the closing music.
TEST(StartGame, EscapeOrAFaultEndsTheGameAtTheMenuAndTheNextStartsClean) {
  using Answers = std::deque<bool>;
  // the player, method and skill menus' answers and how often each was shown; the announcer's
  // call that fails and in which frame (the frames begun), and whether in the wait for music
  // clang-format off
  const std::vector<std::tuple<Answers, Answers, Answers, std::array<int, 3>, std::string, int, bool>> cases = {
      {{false}, {}, {}, {1, 0, 0}, "", 0, false},                      // back to the main menu
      {{true, true}, {false, true}, {true}, {2, 2, 1}, "", 1, false},  // the method menu back to the players
      {{true}, {true, true}, {false, true}, {1, 2, 2}, "", 1, false},  // the skill menu back to the method
      {{}, {}, {}, {1, 1, 1}, "AnnounceBall", 2, false},  {{}, {}, {}, {1, 1, 1}, "PlayRollSound", 1, false},
      {{}, {}, {}, {1, 1, 1}, "AnnounceFrame", 5, true},  {{}, {}, {}, {1, 1, 1}, "AnnounceFrame", 10, true},
  };
  // clang-format on
  for (const auto& [players, method, skill, shown, at, frame, music] : cases) {
    SCOPED_TRACE(::testing::PrintToString(shown) + at + " " + std::to_string(frame));
    GameWorld w;
    w.selPlayers.Answers = players;
    w.selMethod.Answers = method;
    w.selSkill.Answers = skill;
    if (at.empty()) {
      w.bot.Balls = {Ball{2, {}, 0, 0, 0, 60000}};
      w.bot.Answers = {true};
      w.world.PressKeyWhenClipStarts("1stball1.wav", vk::Escape, 0, 10);
    }
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
    w.bot.QuietAlley = at.empty();  // a fault leaves the alley's timers running
    w.engine.StartMenuMusic();
    w.game.StartGame();
    EXPECT_EQ((std::array{w.selPlayers.Shown, w.selMethod.Shown, w.selSkill.Shown}), shown);
    EXPECT_EQ(w.IndexOf("focus", "Strikora") >= 0, shown[2] > 0);
    EXPECT_EQ(w.Errors(), at.empty() ? Strings{} : Strings{"TheGameSub"});
    EXPECT_EQ(w.announcer.Of("AnnounceFrame").size(), static_cast<std::size_t>(frame));
    ExpectBackAtTheMenu(w);
    if (at.empty()) {
      EXPECT_EQ(w.Stored().Players(1).LastGameSlot(), 0);  // a game left is not stored
      continue;
    }
    w.platform.Windows.SetErrorReporter(&w.log);
    w.bot.QuietAlley = true;
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

}  // namespace
}  // namespace strikora::testing
