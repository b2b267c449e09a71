// The end of a game on the simulated desktop: the games stored, the standings told.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/game/GameWorld.h"

namespace strikora::testing {
namespace {

using Strings = std::vector<std::string>;

// A finished scorecard: s / 10 pins on each frame's first ball, or twelve strikes for 300.
void Score(Player& p, int s) {
  for (int f = 1; f <= 10; ++f) p.AddScore(f, s == 300 ? 10 : s / 10, 0);
  if (s == 300) {
    p.AddScore(10, 10, 2);
    p.AddScore(10, 10, 4);
  }
}

// Scores by roster slot; -1 marks a bowler who is not playing today (scored 60 all the same).
void Finish(GameWorld& w, const std::vector<int>& scores) {
  w.lane.Show();
  for (std::size_t i = 0; i < scores.size(); ++i) {
    Player& p = w.roster.Players(static_cast<int>(i) + 1);
    p.SetIsActive(scores[i] >= 0);
    Score(p, scores[i] >= 0 ? scores[i] : 60);
  }
}

Strings Without(const Strings& clips, const std::string& dropped) {
  Strings out;
  for (const auto& c : clips) {
    if (c != dropped) out.push_back(c);
  }
  return out;
}

TEST(Results, TheStandingsAreToldFromLastPlaceUp) {
  struct Case {
    const char* name;
    std::vector<int> scores;
    bool handicap;
    Strings announcer;
    Strings applause;  // on the speech slot
    int cheers;        // single cheers on the crowd slot
    Strings numbers;
  };
  const Case cases[] = {
      {"one bowler",
       {60},
       false,
       {"solo1.wav", "fn1.wav", "A.wav", "scoreof1.wav", "ruagain.wav", "pgend.wav"},
       {"cheers1.wav"},
       0,
       {"60f.wav"}},
      {"three bowlers",
       {90, 60, 30},
       false,
       {"3rdplc1.wav", "fn3.wav", "C.wav", "scoreof1.wav", "2ndplc1.wav", "fn2.wav", "B.wav",
        "scoreof1.wav", "1stplc1.wav", "fn1.wav", "A.wav", "scoreof1.wav", "ruagain.wav",
        "pgend.wav"},
       {"cheers2.wav", "cheers2.wav", "cheers1.wav"},
       2,
       {"30f.wav", "60f.wav", "90f.wav"}},
      {"five bowlers",
       {50, 60, 70, 80, 90},
       false,
       {"lastplc1.wav", "fn1.wav",      "A.wav",        "scoreof1.wav", "nextplc1.wav",
        "fn2.wav",      "B.wav",        "scoreof1.wav", "3rdplc1.wav",  "fn3.wav",
        "C.wav",        "scoreof1.wav", "2ndplc1.wav",  "fn4.wav",      "D.wav",
        "scoreof1.wav", "1stplc1.wav",  "fn5.wav",      "E.wav",        "scoreof1.wav",
        "ruagain.wav",  "pgend.wav"},
       {"cheers2.wav", "cheers2.wav", "cheers2.wav", "cheers2.wav", "cheers1.wav"},
       4,
       {"50f.wav", "60f.wav", "70f.wav", "80f.wav", "90f.wav"}},
      {"a tie between slots 2 and 4",
       {-1, 40, -1, 40},
       false,
       {"2ndplc1.wav", "fn2.wav", "B.wav", "scoreof1.wav", "tying.wav", "fn2.wav", "B.wav",
        "was.wav", "fn4.wav", "D.wav", "scoreof1.wav", "ruagain.wav", "pgend.wav"},
       {"cheers2.wav", "cheers1.wav"},
       1,
       {"40f.wav", "40f.wav"}},
      {"an inactive bowler on the same score is never told",
       {60, -1, 30},
       false,
       {"2ndplc1.wav", "fn3.wav", "C.wav", "scoreof1.wav", "1stplc1.wav", "fn1.wav", "A.wav",
        "scoreof1.wav", "ruagain.wav", "pgend.wav"},
       {"cheers2.wav", "cheers1.wav"},
       1,
       {"30f.wav", "60f.wav"}},
      {"a perfect game, with handicap",
       {300},
       true,
       {"handi.wav", "solo1.wav", "fn1.wav", "A.wav", "scoreof1.wav", "mht.wav", "prfgamm.wav",
        "ruagain.wav", "pgend.wav"},
       {"cheers1.wav"},
       0,
       {"3f.wav", "hundredf.wav", "0f.wav"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameWorld w(static_cast<int>(c.scores.size()));
    Finish(w, c.scores);
    w.session.UseHandicap = c.handicap;
    w.session.MenuAccepted = true;
    for (int i = 0; i < 300; ++i) w.random.Push(0.0);

    w.game.GetResults().AnnounceResults();

    EXPECT_EQ(w.PlaysOn("AnnouncerBuffer"), c.announcer);
    EXPECT_EQ(Without(w.PlaysOn("SpeechBuffer"), "silence.wav"), c.applause);
    EXPECT_EQ(static_cast<int>(w.PlaysOn("CrowdBuffer").size()), c.cheers);
    EXPECT_EQ(w.PlaysOn("NumberBuffer"), c.numbers);
    EXPECT_FALSE(w.session.MenuAccepted);
    EXPECT_FALSE(w.lane.tmrOHS.Enabled() || w.lane.tmrImpatient.Enabled());
    // Every bowler of today's game is in the roster file.
    Roster stored(w.F.PlayersFile, w.F.DataFolder, w.F.NamesFolder);
    stored.LoadRoster();
    for (std::size_t i = 0; i < c.scores.size(); ++i) {
      const int slot = static_cast<int>(i) + 1;
      EXPECT_EQ(stored.Players(slot).ScoreHistory(1, 1, 1), c.scores[i] >= 0 ? c.scores[i] : 0);
    }
  }
}

TEST(Results, HeardAgainOnYWithFreshChoicesUntilN) {
  GameWorld w;
  Finish(w, {60});
  w.bot.Answers = {true, false};
  for (const double d : {0.0, 0.0, 0.0, 0.99, 0.99, 0.99}) w.random.Push(d);
  w.game.GetResults().AnnounceResults();
  EXPECT_EQ(w.PlaysOn("AnnouncerBuffer"),
            (Strings{"solo1.wav", "fn1.wav", "A.wav", "scoreof1.wav", "ruagain.wav", "solo2.wav",
                     "fn1.wav", "A.wav", "scoreof3.wav", "ruagain.wav", "pgend.wav"}));
  EXPECT_EQ(w.PlaysOn("NumberBuffer"), (Strings{"60f.wav", "60p.wav"}));
  EXPECT_EQ(w.random.Remaining(), 0u);
}

TEST(Results, ABowlerWhoseGameCannotBeStoredCostsNoOneElseTheirs) {
  GameWorld w(3);
  Finish(w, {90, 60, 30});
  // The roster file cannot be written at all: each bowler is tried, and told of, on its own.
  std::filesystem::remove(w.F.PlayersFile);
  std::filesystem::create_directory(w.F.PlayersFile);
  w.game.GetResults().AnnounceResults();
  const auto headings = w.LogHeadings();
  ASSERT_EQ(headings.size(), 3u);
  for (const auto& h : headings) EXPECT_NE(h.find("players.qbx"), std::string::npos) << h;
  const Strings told = w.PlaysOn("AnnouncerBuffer");
  for (const char* place : {"fn1.wav", "fn2.wav", "fn3.wav", "pgend.wav"}) {
    EXPECT_NE(std::find(told.begin(), told.end(), place), told.end()) << place;
  }
  // The music was lowered for the standings, and the menu's next music can be lowered again.
  EXPECT_FALSE(w.engine.MusicDucked);
}

}  // namespace
}  // namespace strikora::testing
