// The end of a game: the games stored, the standings told.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

#include "tests/game/GameWorld.h"

namespace strikora::testing {
namespace {

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
  if (earlier > 0) {
    bowl(w.roster.Players(1), earlier);
    w.roster.Players(1).GameOver(1, 2);
    w.roster.Players(1).ResetScore();
  }
  for (std::size_t i = 0; i < scores.size(); ++i) {
    Player& p = w.roster.Players(static_cast<int>(i) + 1);
    p.SetIsActive(scores[i] >= 0);
    bowl(p, scores[i] >= 0 ? scores[i] : 60);
  }
}

// What the announcer says, a digit b standing for bowler b's name and "with a score of".
std::string Said(const std::string& words) {
  std::string out;
  std::istringstream in(words);
  for (std::string t; in >> t;) {
    const std::string initial(1, static_cast<char>('A' + t[0] - '1'));
    out += (out.empty() ? "" : " ") +
           (t.size() == 1 && std::isdigit(t[0]) != 0 ? "fn" + t + " " + initial + " scoreof1" : t);
  }
  return out;
}

// The standings from last place up, every draw at 0, with handicap when bowler 1's earlier
// game is not negative. Slots 2 and 4 tie: the first place is told as tying
// with the second. An inactive bowler on the same score is never told. With handicap, each
// from the games before this one: a first game is bowled scratch, 60 on an average of 90 has
// 160 added. Single cheers sound over the applause above the last place.
TEST(Results, TheStandingsAreToldFromLastPlaceUpAndEveryGameIsStored) {
  // clang-format off
  const std::vector<std::tuple<Ints, int, std::string, std::string, int>> cases = {
      {{60}, -1, "solo1 1", "60f", 0},
      {{90, 60, 30}, -1, "3rdplc1 3 2ndplc1 2 1stplc1 1", "30f 60f 90f", 2},
      {{50, 60, 70, 80, 90}, -1, "lastplc1 1 nextplc1 2 3rdplc1 3 2ndplc1 4 1stplc1 5", "50f 60f 70f 80f 90f", 4},
      {{-1, 40, -1, 40}, -1, "2ndplc1 2 tying fn2 B was 4", "40f 40f", 1},
      {{60, -1, 30}, -1, "2ndplc1 3 1stplc1 1", "30f 60f", 1},
      {{300}, 0, "handi solo1 1 mht prfgamm", "3f hundredf 0f", 0},
      {{60, 70}, 90, "handi 2ndplc1 2 mht 1stplc1 1 mht", "70f 0f 2f hundredf 20f 1f hundredf 60f", 1},
  };
  // clang-format on
  for (const auto& [scores, earlier, announcer, numbers, cheers] : cases) {
    SCOPED_TRACE(announcer);
    GameWorld w(static_cast<int>(scores.size()));
    Finish(w, scores, std::max(earlier, 0));
    w.session.UseHandicap = earlier >= 0;
    w.session.MenuAccepted = true;
    for (int i = 0; i < 300; ++i) w.random.Push(0.0);
    w.game.GetResults().AnnounceResults();
    EXPECT_EQ(w.Heard("AnnouncerBuffer"), Said(announcer + " ruagain pgend"));
    EXPECT_EQ(w.Heard("NumberBuffer"), numbers);
    EXPECT_EQ(Count(w.PlaysOn("SpeechBuffer"), std::string("cheers1")), 1);  // the winner's roar
    EXPECT_EQ(w.PlaysOn("CrowdBuffer").size(), static_cast<std::size_t>(cheers));
    EXPECT_FALSE(w.session.MenuAccepted);
    const Roster stored = w.Stored();
    for (int i = 1; i <= static_cast<int>(scores.size()); ++i)
      EXPECT_EQ(stored.Players(i).ScoreHistory(1, 2, i == 1 && earlier > 0 ? 2 : 1),
                std::max(scores[i - 1], 0));
  }
}

TEST(Results, HeardAgainOnYWithFreshChoicesUntilN) {
  GameWorld w;
  Finish(w, {60});
  w.bot.Answers = {true, false};
  for (const double d : {0.0, 0.0, 0.0, 0.99, 0.99, 0.99}) w.random.Push(d);
  w.game.GetResults().AnnounceResults();
  EXPECT_EQ(w.Heard("AnnouncerBuffer"), Said("solo1 1 ruagain solo2 fn1 A scoreof3 ruagain pgend"));
  EXPECT_EQ(w.Heard("NumberBuffer"), "60f 60p");
}

// Each bowler whose game cannot be stored is tried, and told of, alone; the standings lowered
// the menu music, and the menu can lower its next music again.
TEST(Results, ABowlerWhoseGameCannotBeStoredCostsNoOneElseTheirs) {
  GameWorld w(3);
  Finish(w, {90, 60, 30});
  std::filesystem::remove(w.F.PlayersFile);
  std::filesystem::create_directory(w.F.PlayersFile);  // no record can be written
  w.game.GetResults().AnnounceResults();
  const std::string file = w.F.PlayersFile.string();
  EXPECT_EQ(w.Errors(), (Strings{file, file, file}));
  for (const std::string clip : {"fn1", "fn2", "fn3", "pgend"})
    EXPECT_EQ(Count(w.PlaysOn("AnnouncerBuffer"), clip), 1) << clip;
  EXPECT_FALSE(w.engine.MusicDucked);
}

}  // namespace
}  // namespace strikora::testing
