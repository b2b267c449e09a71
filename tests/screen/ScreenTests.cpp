// What the window shows: the marks of a frame, the line of words put together from the clips,
// the window's own keys, and the scorecard and standings through whole games.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

#include "screen/Scorecard.h"
#include "screen/ScreenModel.h"
#include "tests/support/GameWorld.h"
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
    SCOPED_TRACE(::testing::PrintToString(r.pins) + (r.tenth ? " tenth" : ""));
    EXPECT_EQ(FrameMarks(r.pins, r.tenth), r.marks);
  }
}

TEST(SpokenLine, PiecesReadAsOneLineAndNumbersAsDigits) {
  struct Row {
    std::vector<std::string> steps;  // "#stem" a number snippet, "@name" a name, "|" a key
    std::string shown;
  };
  // clang-format off
  const Row rows[] = {
      {{"game score:", "#1", "#hundred", "#80", "#7"}, "game score: 187"},
      {{"#12", "#thousnd", "#3", "#hundred", "#40"}, "12340"}, {{"#2", "#thousnd", "#5"}, "2005"},
      {{"#1", "#hundred", "#10"}, "110"}, {{"#negativ", "#5"}, "-5"}, {{"#7", "|", "#3"}, "3"},
      {{"Pins still standing:", "#7", "#10"}, "Pins still standing: 7 10"},
      {{"Here comes", "@James", "@A"}, "Here comes James A"},
      {{"Here comes", "@James", "@A", "First ball."}, "First ball."},
      {{"@James", "@A", "is up."}, "James A is up."}, {{"Frame one.", "Here comes"}, "Here comes"},
      {{"Handicap scoring is", "on."}, "Handicap scoring is on."},
      {{"frame score:", "#20", "Press space."}, "Press space."},
      {{"Create a new bowler.", "|", "Let's go bowling!"}, "Let's go bowling!"},
      {{"#40", "#20"}, "40 20"}};  // two numbers, not sixty
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::PrintToString(r.steps));
    SpokenLine line;
    for (const std::string& s : r.steps) {
      if (s == "|") line.Break();
      if (s[0] == '#') line.SaidNumber(s.substr(1));
      if (s[0] == '@') line.Said(s.substr(1), SpokenLine::Kind::Name);
      if (s != "|" && s[0] != '#' && s[0] != '@') line.Said(s);
    }
    EXPECT_EQ(line.Text(), r.shown);
  }
}

double Luminance(const Rgb& c) {
  const auto lin = [](double s) {
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(c.R / 255.0) + 0.7152 * lin(c.G / 255.0) + 0.0722 * lin(c.B / 255.0);
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
  EXPECT_TRUE(std::any_of(shown.Shown.begin(), shown.Shown.end(), [](const Picture& p) {
    return p.Caption == "Main Menu:" && p.Words == "Create a new bowler.";
  }));
  const Picture& last = shown.Shown.back();
  EXPECT_EQ(last.TextStep, 2);  // 2, down to 1, held there, up to 2
  EXPECT_EQ(last.Colours, kColourSchemes[1]);
  EXPECT_TRUE(last.FullScreen);
  for (const auto& [key, value] :
       {std::pair{"TextSize", "2"}, {"Colours", "1"}, {"FullScreen", "1"}})
    EXPECT_EQ(w.sim.settings.GetSetting("KORVELDA", "Screen", key, ""), value) << key;
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
    std::vector<int>& pins = frames.emplace_back();
    int rack = 0;
    for (const std::string& m : box.Marks) {
      if (m.empty()) break;
      const int p = m == "X" ? 10 : m == "/" ? 10 - rack : m == "-" ? 0 : std::stoi(m);
      pins.push_back(p);
      rack = (m == "X" || m == "/") ? 0 : rack + p;
    }
  }
  return frames;
}

// Running totals of ten-pin scoring over the pins bowled; -1 where a frame is not yet settled.
std::vector<int> RunningTotals(const std::vector<std::vector<int>>& frames) {
  std::vector<int> rolls, totals(10, -1);
  for (const auto& f : frames) rolls.insert(rolls.end(), f.begin(), f.end());
  int total = 0;
  for (std::size_t f = 0, at = 0; f < 10 && !frames[f].empty(); at += frames[f++].size()) {
    const auto& pins = frames[f];  // a strike or a spare takes three balls, else two
    const std::size_t need = pins[0] == 10 || (pins.size() > 1 && pins[0] + pins[1] == 10) ? 3 : 2;
    if (rolls.size() < at + need || (f < 9 && pins[0] < 10 && pins.size() < 2)) break;
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
    w.Choose(bowlers == 1 ? std::vector{1} : std::vector{1, 2, 3}, 1, 2);
    w.session.UseHandicap = bowlers == 3;
    for (int i = 0; i < 24 * bowlers; ++i)
      w.bot.Balls.push_back(i % 4 == 0 ? Strike() : At(std::array{11, 10, 9, 2}[i % 4]));
    w.world.PressKeyWhenClipStarts("lgb.wav", vk::Enter, 0, 50, 1);
    w.world.PressKeyWhenClipStarts("lgb.wav", vk::Escape, 0, 50, 2);
    w.engine.StartMenuMusic();
    EXPECT_THROW(w.mainMenu.Show(ShowMode::Modal), GameWorld::Left);

    // Drawn only when what it shows changes.
    for (std::size_t i = 1; i < shown.Shown.size(); ++i)
      ASSERT_NE(shown.Shown[i], shown.Shown[i - 1]) << "picture " << i;
    const Picture *lastCard = nullptr, *lastStandings = nullptr;
    std::ptrdiff_t mostCalled = 0;
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
          EXPECT_TRUE(row.Frames[f].InPlay < 0 || row.Up) << "a ball in play for one not up";
          sawUpWithBallInPlay = sawUpWithBallInPlay || row.Frames[f].InPlay >= 0;
        }
      }
      EXPECT_LE(up, 1);
      sawPins = sawPins || (p.ShowPins && !p.Card.empty());
      if (!p.Card.empty()) lastCard = &p;
      if (!p.Standings.empty()) {
        lastStandings = &p;
        const auto called = std::count_if(p.Standings.begin(), p.Standings.end(),
                                          [](const StandingRow& s) { return !s.Place.empty(); });
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
      EXPECT_EQ(row.Frames[9].Total + " and " + row.Total, total + " and " + total);
    }
    EXPECT_EQ(lastCard->Card[0].Name, "James A");
    ASSERT_NE(lastStandings, nullptr);
    ASSERT_EQ(lastStandings->Standings.size(), static_cast<std::size_t>(bowlers));
    EXPECT_EQ(lastStandings->ShowHandicap, bowlers == 3);
    int previous = 1000;
    for (const StandingRow& s : lastStandings->Standings) {
      ASSERT_FALSE(s.Score.empty()) << s.Place;
      EXPECT_LE(std::stoi(s.Score), std::exchange(previous, std::stoi(s.Score)));
      EXPECT_EQ(s.Handicap.empty(), bowlers != 3);
    }
    EXPECT_EQ(lastStandings->Standings[0].Place, "1st");
  }
}

}  // namespace
}  // namespace strikora::testing
