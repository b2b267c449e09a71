// What the window shows: the marks of a frame, the line of words put together from the clips,
// the window's own keys, and the scorecard and standings through whole games.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numeric>

#include "screen/Scorecard.h"
#include "screen/ScreenModel.h"
#include "tests/game/GameWorld.h"
#include "tests/support/AppWorld.h"
#include "tools/ClipList.h"

namespace strikora::testing {
namespace {

struct Recorder final : Display {
  std::vector<Picture> Shown;
  void Show(const Picture& p) override { Shown.push_back(p); }
};

void LoadDefaultWords(ClipWords& words) {
  for (const voiceset::Clip& c : voiceset::AllClips()) {
    if (!c.text.empty())
      words.Add(std::string(voiceset::PackDestination(c.pack)) + "/" + c.file, c.text);
  }
}

TEST(FrameMarks, EachFrameReadsAsOnTheAlley) {
  struct Row {
    std::vector<int> pins;
    bool tenth;
    std::array<std::string, 3> marks;
  };
  const Row rows[] = {
      {{10}, false, {"X", "", ""}},          {{7, 3}, false, {"7", "/", ""}},
      {{0, 10}, false, {"-", "/", ""}},  // ten on the second ball is a spare
      {{9, 0}, false, {"9", "-", ""}},       {{0, 0}, false, {"-", "-", ""}},
      {{7}, false, {"7", "", ""}},  // a frame half bowled
      {{10, 10, 10}, true, {"X", "X", "X"}}, {{10, 7, 3}, true, {"X", "7", "/"}},
      {{10, 0, 10}, true, {"X", "-", "/"}},  {{9, 1, 10}, true, {"9", "/", "X"}},
      {{10, 7, 2}, true, {"X", "7", "2"}},   {{10, 10, 4}, true, {"X", "X", "4"}},
      {{8, 1}, true, {"8", "1", ""}},        {{0, 10, 0}, true, {"-", "/", "-"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message()
                 << ::testing::PrintToString(r.pins) << (r.tenth ? " tenth" : ""));
    EXPECT_EQ(FrameMarks(r.pins, r.tenth), r.marks);
  }
}

TEST(SpokenLine, PiecesReadAsOneLineAndNumbersAsDigits) {
  using K = SpokenLine::Kind;
  struct Row {
    std::vector<std::string> steps;  // "#stem" a number snippet, "@name" a name, "|" a key
    std::string shown;
  };
  const Row rows[] = {
      {{"game score:", "#1", "#hundred", "#80", "#7"}, "game score: 187"},
      {{"#12", "#thousnd", "#3", "#hundred", "#40"}, "12340"},
      {{"#2", "#thousnd", "#5"}, "2005"},
      {{"#1", "#hundred", "#10"}, "110"},
      {{"#negativ", "#5"}, "-5"},
      {{"Pins still standing:", "#7", "#10"}, "Pins still standing: 7 10"},
      {{"Here comes", "@James", "@A"}, "Here comes James A"},
      {{"Here comes", "@James", "@A", "First ball."}, "First ball."},
      {{"@James", "@A", "is up."}, "James A is up."},
      {{"Handicap scoring is", "on."}, "Handicap scoring is on."},
      {{"Frame one.", "Here comes"}, "Here comes"},
      {{"frame score:", "#20", "Press space."}, "Press space."},
      {{"Create a new bowler.", "|", "Let's go bowling!"}, "Let's go bowling!"},
      {{"#7", "|", "#3"}, "3"},
      {{"#40", "#20"}, "40 20"},  // two numbers, not sixty
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::PrintToString(r.steps));
    SpokenLine line;
    for (const std::string& s : r.steps) {
      if (s == "|") {
        line.Break();
      } else if (s[0] == '#') {
        line.SaidNumber(s.substr(1));
      } else if (s[0] == '@') {
        line.Said(s.substr(1), K::Name);
      } else {
        line.Said(s);
      }
    }
    EXPECT_EQ(line.Text(), r.shown);
  }
}

double Luminance(const Rgb& c) {
  const auto lin = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(c.R) + 0.7152 * lin(c.G) + 0.0722 * lin(c.B);
}

// The window's keys on the main menu: each is taken before the menu, remembered, and the menu
// says nothing more than it would have; the menu's own words and caption are shown.
TEST(WindowKeys, TakenOnEveryScreenAndRemembered) {
  AppWorld w;
  LoadDefaultWords(w.app->Screen().Words());
  Recorder shown;
  w.app->Screen().SetDisplay(&shown);
  w.Script(Keys(At("lgb", vk::Down), At("create", vk::F(9)), At("create", vk::F(9), 1, 500),
                At("create", vk::F(10), 1, 550), At("create", vk::F(8), 1, 600),
                At("create", vk::F(11), 1, 650), At("create", vk::Escape, 1, 700)));
  w.RunMainMenu();
  EXPECT_EQ(Count(w.Heard(), std::string("create.wav")), 1);  // no key repeated the item
  ASSERT_FALSE(shown.Shown.empty());
  bool sawItem = false;
  for (const Picture& p : shown.Shown) {
    sawItem = sawItem || (p.Caption == "Main Menu:" && p.Words == "Create a new bowler.");
  }
  EXPECT_TRUE(sawItem);
  const Picture& last = shown.Shown.back();
  EXPECT_EQ(last.TextStep, 2);  // 2, down to 1, held there, up to 2
  EXPECT_EQ(last.Colours, kColourSchemes[1]);
  EXPECT_TRUE(last.FullScreen);
  const std::map<std::string, std::string> stored = {
      {"TextSize", "2"}, {"Colours", "1"}, {"FullScreen", "1"}};
  for (const auto& [key, value] : stored) {
    EXPECT_EQ(w.sim.settings.GetSetting("KORVELDA", "Screen", key, ""), value) << key;
  }
  // A restart shows what was chosen; a value edited by hand out of range is not taken.
  w.sim.settings.SaveSetting("KORVELDA", "Screen", "TextSize", "9");
  w.Start();
  w.app->Screen().SetDisplay(&shown);
  EXPECT_EQ(shown.Shown.back().Colours, kColourSchemes[1]);
  EXPECT_EQ(shown.Shown.back().TextStep, 2);
  for (const ColourScheme& c : kColourSchemes) {
    const double a = Luminance(c.Text), b = Luminance(c.Background);
    EXPECT_GE((std::max(a, b) + 0.05) / (std::min(a, b) + 0.05), 7.0) << c.Name;
  }
}

// The pins the marks stand for, frame by frame, read back as a bowler would.
std::vector<std::vector<int>> PinsOf(const CardRow& row) {
  std::vector<std::vector<int>> frames;
  for (const FrameBox& box : row.Frames) {
    std::vector<int> pins;
    int rack = 0;
    for (const std::string& m : box.Marks) {
      if (m.empty()) break;
      const int p = m == "X" ? 10 : m == "/" ? 10 - rack : m == "-" ? 0 : std::stoi(m);
      pins.push_back(p);
      rack = (m == "X" || m == "/") ? 0 : rack + p;
    }
    frames.push_back(pins);
  }
  return frames;
}

// Running totals of ten-pin scoring over the pins bowled; -1 where a frame is not yet settled.
std::vector<int> RunningTotals(const std::vector<std::vector<int>>& frames) {
  std::vector<int> rolls, starts;
  for (const auto& f : frames) {
    starts.push_back(static_cast<int>(rolls.size()));
    rolls.insert(rolls.end(), f.begin(), f.end());
  }
  std::vector<int> totals(10, -1);
  int total = 0;
  for (std::size_t f = 0; f < 10; ++f) {
    const auto& pins = frames[f];
    const bool strike = !pins.empty() && pins[0] == 10;
    const bool spare = !strike && pins.size() >= 2 && pins[0] + pins[1] == 10;
    const std::size_t need = f == 9 ? (strike || spare ? 3 : 2) : strike ? 3 : spare ? 3 : 2;
    const auto at = static_cast<std::size_t>(starts[f]);
    if (pins.empty() || rolls.size() < at + need || (f < 9 && !strike && pins.size() < 2)) break;
    total += std::accumulate(rolls.begin() + at, rolls.begin() + at + need, 0);
    totals[f] = total;
  }
  return totals;
}

// Whole games with one to three bowlers: at every picture the marks score to the totals
// shown, one bowler at most is up, and the last card and the standings hold the game's scores.
TEST(Scorecard, WholeGamesShowWhatIsScoredAndTheStandingsAsCalled) {
  for (const int bowlers : {1, 3}) {
    SCOPED_TRACE(::testing::Message() << bowlers << " bowlers");
    GameWorld w(bowlers, GameWorld::kRealMainMenu | GameWorld::kRealCommentary);
    ScreenModel screen(w.platform, w.roster, w.session, w.F.SoundsFolder);
    LoadDefaultWords(screen.Words());
    screen.SetLane(&w.lane);
    Recorder shown;
    screen.SetDisplay(&shown);
    std::vector<int> lineup(static_cast<std::size_t>(bowlers));
    std::iota(lineup.begin(), lineup.end(), 1);
    w.Choose(lineup, 1, 2);
    w.session.UseHandicap = bowlers == 3;
    for (int i = 0; i < 24 * bowlers; ++i)
      w.bot.Balls.push_back(i % 4 == 0 ? Strike() : At(std::array{11, 10, 9, 2}[i % 4]));
    w.world.PressKeyWhenClipStarts("lgb.wav", vk::Enter, 0, 50, 1);
    w.world.PressKeyWhenClipStarts("lgb.wav", vk::Escape, 0, 50, 2);
    w.engine.StartMenuMusic();
    EXPECT_THROW(w.mainMenu.Show(ShowMode::Modal), GameWorld::Left);

    // Drawn only when what it shows changes.
    for (std::size_t i = 1; i < shown.Shown.size(); ++i) {
      ASSERT_NE(shown.Shown[i], shown.Shown[i - 1]) << "picture " << i;
    }
    const Picture* lastCard = nullptr;
    const Picture* lastStandings = nullptr;
    int mostCalled = 0;
    bool sawUpWithBallInPlay = false, sawPins = false, sawOneCalled = false;
    for (const Picture& p : shown.Shown) {
      int up = 0;
      for (const CardRow& row : p.Card) {
        up += row.Up ? 1 : 0;
        const std::vector<int> expected = RunningTotals(PinsOf(row));
        for (std::size_t f = 0; f < 10; ++f) {
          const std::string& total = row.Frames[f].Total;
          ASSERT_EQ(total.empty() ? -1 : std::stoi(total), expected[f])
              << row.Name << " frame " << f + 1;
          if (row.Frames[f].InPlay >= 0) {
            EXPECT_TRUE(row.Up);
            sawUpWithBallInPlay = true;
          }
        }
      }
      EXPECT_LE(up, 1);
      sawPins = sawPins || (p.ShowPins && !p.Card.empty());
      if (!p.Card.empty()) lastCard = &p;
      if (!p.Standings.empty()) {
        lastStandings = &p;
        int called = 0;
        for (const StandingRow& s : p.Standings) called += s.Place.empty() ? 0 : 1;
        EXPECT_GE(called, mostCalled);  // called one by one, never taken back
        mostCalled = std::max(mostCalled, called);
        sawOneCalled = sawOneCalled || called == 1;
      }
    }
    EXPECT_TRUE(sawUpWithBallInPlay);
    EXPECT_TRUE(sawPins);
    EXPECT_TRUE(sawOneCalled);
    ASSERT_NE(lastCard, nullptr);
    ASSERT_EQ(lastCard->Card.size(), static_cast<std::size_t>(bowlers));
    for (int b = 1; b <= bowlers; ++b) {
      const CardRow& row = lastCard->Card[static_cast<std::size_t>(b - 1)];
      const std::string total = std::to_string(w.roster.Players(b).GetScore(false, 1, 2));
      EXPECT_EQ(row.Frames[9].Total, total);
      EXPECT_EQ(row.Total, total);
    }
    EXPECT_EQ(lastCard->Card[0].Name, "James A");
    ASSERT_NE(lastStandings, nullptr);
    ASSERT_EQ(lastStandings->Standings.size(), static_cast<std::size_t>(bowlers));
    EXPECT_EQ(lastStandings->ShowHandicap, bowlers == 3);
    int previous = 1000;
    for (std::size_t i = 0; i < lastStandings->Standings.size(); ++i) {
      const StandingRow& s = lastStandings->Standings[i];
      ASSERT_FALSE(s.Score.empty()) << i;
      EXPECT_LE(std::stoi(s.Score), previous);
      previous = std::stoi(s.Score);
      EXPECT_EQ(s.Handicap.empty(), bowlers != 3);
    }
    EXPECT_EQ(lastStandings->Standings[0].Place, "1st");
  }
}

}  // namespace
}  // namespace strikora::testing
