// The end of a game: the games stored, the standings told.
#include <gtest/gtest.h>

#include "tests/game/GameWorld.h"

namespace strikora::testing {
namespace {

using Strings = std::vector<std::string>;

// Scores by roster slot (s / 10 pins on every first ball, or twelve strikes for 300); a
// negative score marks a bowler who is not playing today (scored 60 all the same). Bowler 1
// may have an earlier game of this play method and skill.
void Finish(GameWorld& w, const std::vector<int>& scores, int earlier = 0) {
  w.lane.Show();
  const auto bowl = [](Player& p, int s) {
    for (int f = 1; f <= 10; ++f) p.AddScore(f, s == 300 ? 10 : s / 10, 0);
    if (s == 300) p.AddScore(10, 10, 2), p.AddScore(10, 10, 4);
  };
  if (earlier > 0) {
    bowl(w.roster.Players(1), earlier);
    w.roster.Players(1).GameOver(1, 1);
    w.roster.Players(1).ResetScore();
  }
  for (std::size_t i = 0; i < scores.size(); ++i) {
    Player& p = w.roster.Players(static_cast<int>(i) + 1);
    p.SetIsActive(scores[i] >= 0);
    bowl(p, scores[i] >= 0 ? scores[i] : 60);
  }
}

// A place told with every draw at 0: the place clip, the name, "with a score of".
Strings Place(const std::string& clip, int bowler) {
  return {clip + ".wav", "fn" + std::to_string(bowler) + ".wav",
          std::string(1, static_cast<char>('A' + bowler - 1)) + ".wav", "scoreof1.wav"};
}
Strings Join(std::initializer_list<Strings> parts) {
  Strings out;
  for (const Strings& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(Results, TheStandingsAreToldFromLastPlaceUp) {
  const Strings end = {"ruagain.wav", "pgend.wav"};
  struct Case {
    std::vector<int> scores;
    bool handicap;
    Strings announcer, numbers;
    int cheers;       // single cheers over the applause, above the last place
    int earlier = 0;  // bowler 1's earlier game
  };
  const Case cases[] = {
      {{60}, false, Join({Place("solo1", 1), end}), {"60f.wav"}, 0},
      {{90, 60, 30},
       false,
       Join({Place("3rdplc1", 3), Place("2ndplc1", 2), Place("1stplc1", 1), end}),
       {"30f.wav", "60f.wav", "90f.wav"},
       2},
      {{50, 60, 70, 80, 90},
       false,
       Join({Place("lastplc1", 1), Place("nextplc1", 2), Place("3rdplc1", 3), Place("2ndplc1", 4),
             Place("1stplc1", 5), end}),
       {"50f.wav", "60f.wav", "70f.wav", "80f.wav", "90f.wav"},
       4},
      // Slots 2 and 4 tie: the first place is told as tying with the second.
      {{-1, 40, -1, 40},
       false,
       Join({Place("2ndplc1", 2), {"tying.wav", "fn2.wav", "B.wav"}, Place("was", 4), end}),
       {"40f.wav", "40f.wav"},
       1},
      // An inactive bowler on the same score is never told.
      {{60, -1, 30},
       false,
       Join({Place("2ndplc1", 3), Place("1stplc1", 1), end}),
       {"30f.wav", "60f.wav"},
       1},
      // With handicap, each from the games before this one: a first game is bowled scratch,
      // 60 on an average of 90 has 160 added.
      {{300},
       true,
       Join({{"handi.wav"}, Place("solo1", 1), {"mht.wav", "prfgamm.wav"}, end}),
       {"3f.wav", "hundredf.wav", "0f.wav"},
       0},
      {{60, 70},
       true,
       Join({{"handi.wav"},
             Place("2ndplc1", 2),
             {"mht.wav"},
             Place("1stplc1", 1),
             {"mht.wav"},
             end}),
       {"70f.wav", "0f.wav", "2f.wav", "hundredf.wav", "20f.wav", "1f.wav", "hundredf.wav",
        "60f.wav"},
       1,
       90},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.scores));
    GameWorld w(static_cast<int>(c.scores.size()));
    Finish(w, c.scores, c.earlier);
    w.session.UseHandicap = c.handicap;
    w.session.MenuAccepted = true;
    for (int i = 0; i < 300; ++i) w.random.Push(0.0);
    w.game.GetResults().AnnounceResults();

    EXPECT_EQ(w.PlaysOn("AnnouncerBuffer"), c.announcer);
    EXPECT_EQ(w.PlaysOn("NumberBuffer"), c.numbers);
    const auto speech = w.PlaysOn("SpeechBuffer");
    EXPECT_EQ(Count(speech, std::string("cheers1.wav")), 1);  // the winner's roar
    EXPECT_EQ(w.PlaysOn("CrowdBuffer").size(), static_cast<std::size_t>(c.cheers));
    EXPECT_FALSE(w.session.MenuAccepted);
    const Roster stored = w.Stored();
    for (std::size_t i = 0; i < c.scores.size(); ++i) {
      EXPECT_EQ(
          stored.Players(static_cast<int>(i) + 1).ScoreHistory(1, 1, i == 0 && c.earlier ? 2 : 1),
          std::max(c.scores[i], 0));
    }
  }
}

TEST(Results, HeardAgainOnYWithFreshChoicesUntilN) {
  GameWorld w;
  Finish(w, {60});
  w.bot.Answers = {true, false};
  for (const double d : {0.0, 0.0, 0.0, 0.99, 0.99, 0.99}) w.random.Push(d);
  w.game.GetResults().AnnounceResults();
  EXPECT_EQ(w.PlaysOn("AnnouncerBuffer"), Join({Place("solo1", 1),
                                                {"ruagain.wav", "solo2.wav", "fn1.wav", "A.wav",
                                                 "scoreof3.wav", "ruagain.wav", "pgend.wav"}}));
  EXPECT_EQ(w.PlaysOn("NumberBuffer"), (Strings{"60f.wav", "60p.wav"}));
}

TEST(Results, ABowlerWhoseGameCannotBeStoredCostsNoOneElseTheirs) {
  GameWorld w(3);
  Finish(w, {90, 60, 30});
  std::filesystem::remove(w.F.PlayersFile);
  std::filesystem::create_directory(w.F.PlayersFile);  // no record can be written
  w.game.GetResults().AnnounceResults();
  const std::string file = w.F.PlayersFile.string();  // each bowler tried, and told of, alone
  EXPECT_EQ(w.Errors(), (Strings{file, file, file}));
  const Strings told = w.PlaysOn("AnnouncerBuffer");
  for (const std::string clip : {"fn1.wav", "fn2.wav", "fn3.wav", "pgend.wav"})
    EXPECT_EQ(Count(told, clip), 1);
  // The standings lowered the menu music; the menu can lower its next music again.
  EXPECT_FALSE(w.engine.MusicDucked);
}

}  // namespace
}  // namespace strikora::testing
