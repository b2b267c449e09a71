// The roster menus and the speaking of bowlers' names on the simulated desktop: what the player
// hears for each key, and what becomes of the roster file.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/support/AppWorld.h"

namespace strikora {
namespace {

namespace fs = std::filesystem;
using testing::KeyAt;
using Clips = std::vector<std::string>;

class RosterMenus : public ::testing::Test {
 protected:
  RosterMenus() {
    for (int i = 0; i < 400; ++i) w.sim.random.Push(0.5);  // numbers in the plain voice
  }
  void Reset(int bowlers) {
    fs::remove(w.tree.F.PlayersFile);
    w.app->Players().LoadRoster();
    w.AddBowlers(bowlers);
    w.sim.platform.Trace.Clear();
  }
  void View(const std::vector<KeyAt>& keys) {
    w.Script(keys);
    w.app->ShowViewPlayers();
  }
  // The roster numbers heard, a number spoken in pieces ("20", "3") counted as one.
  [[nodiscard]] std::vector<int> Numbers() const {
    std::vector<int> out;
    bool last = false;
    for (const std::string& clip : w.Heard()) {
      const bool number = clip[0] == '#';
      if (number && last) out.back() += std::stoi(clip.substr(1));
      if (number && !last) out.push_back(std::stoi(clip.substr(1)));
      last = number;
    }
    return out;
  }
  [[nodiscard]] Clips FirstNames() {
    Clips out;
    for (int i = 1; i <= w.app->Players().PlayerCount(); ++i) {
      out.push_back(w.app->Players().Players(i).FirstName());
    }
    return out;
  }
  testing::AppWorld w;
};

TEST(JumpToTens, DigitsJumpToTheTensThatExist) {
  struct Case {
    int Digit, Selection, Count, Expected;
  } cases[] = {{2, 5, 23, 20}, {3, 5, 23, 5}, {0, 17, 23, 1}, {2, 5, 20, 20}, {1, 4, 9, 4}};
  for (const Case& c : cases) {
    EXPECT_EQ(JumpToTens(vk::Digit(c.Digit), c.Selection, c.Count), c.Expected) << c.Digit;
  }
}

TEST(NameSpeech, OnlyAPlainFileNameBecomesAClip) {
  struct Case {
    const char* Name;
    bool Plain;
  } cases[] = {{"fn12.wav", true},  {"K.wav", true},     {"a-b_c.wav", true},    {"", false},
               {".", false},        {"..", false},       {"../x.wav", false},    {"a/b.wav", false},
               {"a\\b.wav", false}, {"fn1..wav", false}, {"\xc3\xa9.wav", false}};
  for (const Case& c : cases) EXPECT_EQ(IsPlainClipName(c.Name), c.Plain) << c.Name;
}

TEST_F(RosterMenus, TwentyThreeBowlersArrowsPageKeysHomeEndAndDigits) {
  Reset(23);
  const auto at = [](char initial, int key, int n, std::int64_t delay = 450) {
    return KeyAt{std::string("initials/") + initial + ".wav", key, 0, delay, n};
  };
  View({at('A', vk::Up, 1), at('W', vk::Down, 1), at('A', vk::Digit(2), 2),
        at('T', vk::Digit(3), 1), at('T', vk::Down, 2), at('U', vk::PageDown, 1),
        at('A', vk::End, 3), at('W', vk::Home, 2), at('A', vk::Digit(0), 4), at('A', vk::PageUp, 5),
        at('W', vk::Space, 3), at('W', vk::Letter('X'), 3, 500), at('W', vk::Escape, 3, 600)});
  EXPECT_EQ(Numbers(), (std::vector<int>{1, 23, 1, 20, 20, 21, 1, 23, 1, 1, 23}));
  EXPECT_EQ(w.Heard().back(), "initials/W.wav");  // Space and X say nothing here
  EXPECT_EQ(w.Heard().front(), "vpsmenu.wav");
}

TEST_F(RosterMenus, AKeyDuringAnEntrySkipsTheNamesNotYetBegunAndOnlySilences) {
  Reset(3);
  View({{"numbers/1.wav", vk::Control, mod::Ctrl, 100},
        {"numbers/1.wav", vk::Down, mod::Shift | mod::Ctrl, 150},  // not alone: ignored
        {"numbers/1.wav", vk::Down, 0, 600},
        {"names/fn2.wav", vk::Down, 0, 50},  // busy: ignored
        {"names/fn2.wav", vk::Shift, mod::Shift, 100},
        {"names/fn2.wav", vk::Escape, 0, 600}});
  EXPECT_EQ(w.Heard(), (Clips{"vpsmenu.wav", "#1", "#2", "names/fn2.wav"}));
  EXPECT_EQ(w.Count("stop"), 2);
}

struct DeleteCase {
  const char* Name;
  int Bowlers;
  std::vector<KeyAt> Keys;
  Clips HeardFromQuestion;
  Clips Left;
};

TEST_F(RosterMenus, DeletingAfterTheYesNoQuestion) {
  const DeleteCase cases[] = {
      {"the last: the list goes back to the first",
       3,
       {{"initials/a.wav", vk::End},
        {"initials/c.wav", vk::Delete},
        {"yesno.wav", vk::Letter('Y')},
        {"initials/a.wav", vk::Escape, 0, 450, 2}},
       {"delete.wav", "#3", "names/fn3.wav", "initials/C.wav", "yesno.wav", "#1", "names/fn1.wav",
        "initials/A.wav", "psao.wav", "lgb.wav"},
       {"fn1.wav", "fn2.wav"}},
      {"a middle one: N keeps it, other keys do not move the question, Y while it is asked",
       3,
       {{"initials/a.wav", vk::Down},
        {"initials/b.wav", vk::Delete},
        {"yesno.wav", vk::Down, 0, 50},
        {"yesno.wav", vk::Letter('N'), 0, 200},
        {"initials/b.wav", vk::Delete, 0, 450, 3},
        {"yesno.wav", vk::Letter('Y'), 0, 100, 2},
        {"initials/c.wav", vk::Escape}},
       {"delete.wav", "#2", "names/fn2.wav", "initials/B.wav", "yesno.wav", "#2", "names/fn2.wav",
        "initials/B.wav", "delete.wav", "#2", "names/fn2.wav", "initials/B.wav", "yesno.wav", "#2",
        "names/fn3.wav", "initials/C.wav", "psao.wav", "lgb.wav"},
       {"fn1.wav", "fn3.wav"}},
      {"the only one: the list closes and the main menu speaks again",
       1,
       {{"initials/a.wav", vk::Delete}, {"yesno.wav", vk::Letter('Y')}},
       {"delete.wav", "#1", "names/fn1.wav", "initials/A.wav", "yesno.wav", "psao.wav", "lgb.wav"},
       {}},
  };
  for (const DeleteCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Reset(c.Bowlers);
    View(c.Keys);
    w.sim.platform.Windows.DoPendingEvents();  // the main menu takes the focus back
    EXPECT_EQ(w.HeardFrom("delete.wav"), c.HeardFromQuestion);
    EXPECT_EQ(FirstNames(), c.Left);
    EXPECT_EQ(w.Count("error"), 0);
  }
}

TEST_F(RosterMenus, ADeletedBowlerIsGoneAfterARestartAndTheOthersAreWhole) {
  Reset(3);
  Player& third = w.app->Players().Players(3);
  third.AddScore(1, 7, 0);
  third.GameOver(2, 3);
  third.Save(w.tree.F.PlayersFile, 3);
  const auto record = [this](int n) {
    std::ifstream in(w.tree.F.PlayersFile, std::ios::binary);
    std::string all{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return all.substr((n - 1) * kRecordLength, kRecordLength);
  };
  const std::string first = record(1), last = record(3);
  View({{"initials/a.wav", vk::Down},
        {"initials/b.wav", vk::Delete},
        {"yesno.wav", vk::Letter('Y')},
        {"initials/c.wav", vk::Escape}});
  w.Start();
  EXPECT_EQ(FirstNames(), (Clips{"fn1.wav", "fn3.wav"}));
  EXPECT_EQ(fs::file_size(w.tree.F.PlayersFile), 2 * kRecordLength);
  EXPECT_EQ(record(1), first);
  EXPECT_EQ(record(2), last);
}

// Another window comes and goes while the delete question is open: the question is asked again
// and still answered with Y, not lost with the list started over.
TEST_F(RosterMenus, TheDeleteQuestionIsRepeatedWhenTheListGetsTheFocusBack) {
  Reset(2);
  struct Other final : Form {
    using Form::Form;
    void Form_KeyDown(int, int) override { Hide(); }
  } other(w.sim.platform.Windows, "Other");
  Timer poll(w.sim.platform.Windows);
  poll.OnTimer = [&] {
    if (!w.app->ViewPlayers().ConfirmPending) return;
    other.Show();
    poll.SetEnabled(false);
  };
  poll.SetInterval(100);
  poll.SetEnabled(true);
  View({{"initials/a.wav", vk::Delete},
        {"yesno.wav", vk::Letter('Q'), 0, 600},
        {"yesno.wav", vk::Letter('Y'), 0, 450, 2},
        {"initials/b.wav", vk::Escape}});
  EXPECT_EQ(w.HeardFrom("delete.wav"),
            (Clips{"delete.wav", "#1", "names/fn1.wav", "initials/A.wav", "yesno.wav", "delete.wav",
                   "#1", "names/fn1.wav", "initials/A.wav", "yesno.wav", "#1", "names/fn2.wav",
                   "initials/B.wav"}));
  EXPECT_EQ(FirstNames(), (Clips{"fn2.wav"}));
}

TEST_F(RosterMenus, StatisticsSkipEmptyAveragesForwardAndTheListStartsOverAfterThem) {
  Reset(2);
  Player& first = w.app->Players().Players(1);
  first.AddScore(1, 7, 0);
  first.GameOver(2, 3);  // one game, with play method 2 at skill 3
  View({{"initials/a.wav", vk::Enter},
        {"initials/a.wav", vk::Down, 0, 450, 2},
        {"righty.wav", vk::Down},
        {"pm1.wav", vk::Down},
        {"pm2.wav", vk::Up},  // item 7 is empty: back on item 8
        {"pm2.wav", vk::Down, 0, 450, 2},
        {"numbers/7.wav", vk::Escape},
        {"initials/a.wav", vk::Escape, 0, 450, 3}});
  EXPECT_EQ(w.Heard(), (Clips{"vpsmenu.wav", "#1", "names/fn1.wav", "initials/A.wav", "stats.wav",
                              "#1", "names/fn1.wav", "initials/A.wav", "righty.wav", "pm1.wav",
                              "pm2.wav", "pm2.wav", "l3.wav", "avgof.wav", "#7", "vpsmenu.wav",
                              "#1", "names/fn1.wav", "initials/A.wav"}));
  EXPECT_EQ(w.app->Players().CurrentPlayer(), 0);
}

TEST_F(RosterMenus, TodaysBowlersAreToggledAndConfirmedOnlyWithSomeoneIn) {
  struct Case {
    const char* Name;
    int Bowlers;
    std::vector<KeyAt> Keys;
    Clips Heard;
    bool Accepted;
  } cases[] = {
      {"an empty roster: the prompt, and back", 0, {}, {"selplyrs.wav"}, false},
      {"Enter with nobody in does nothing; Space toggles with a chime",
       2,
       {{"initials/a.wav", vk::Enter},
        {"initials/a.wav", vk::Space, 0, 600},
        {"active.wav", vk::Down},
        {"initials/b.wav", vk::Up},
        {"active.wav", vk::Enter, 0, 450, 2}},
       {"selplyrs.wav", "#1", "names/fn1.wav", "initials/A.wav", "active.wav", "#2",
        "names/fn2.wav", "initials/B.wav", "#1", "names/fn1.wav", "initials/A.wav", "active.wav",
        "selplay.wav", "names/fn1.wav", "initials/A.wav"},
       true},
      {"Escape backs out",
       2,
       {{"initials/a.wav", vk::Escape}},
       {"selplyrs.wav", "#1", "names/fn1.wav", "initials/A.wav"},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Reset(c.Bowlers);
    w.Script(c.Keys);
    EXPECT_EQ(w.app->ChooseTodaysPlayers(), c.Accepted);
    EXPECT_EQ(w.Heard(), c.Heard);
  }
  EXPECT_EQ(w.app->Players().CountActivePlayers(), 0);  // a new showing starts with nobody in
}

TEST_F(RosterMenus, AHostileNameAndAMissingNumberAreBuzzedAndTheListStillListens) {
  Reset(0);
  Player hostile;
  hostile.SetFirstName("../../x.wav");
  hostile.SetLastName("C.wav");
  hostile.Save(w.tree.F.PlayersFile, 1);
  w.app->Players().LoadRoster();
  w.AddBowlers(1, 2);
  fs::remove(w.tree.F.NumbersFolder / "1.wav");
  View({{"initials/c.wav", vk::Down}, {"initials/b.wav", vk::Escape}});
  EXPECT_EQ(w.Heard(), (Clips{"vpsmenu.wav", "play/buzzer.wav", "play/buzzer.wav", "initials/C.wav",
                              "#2", "names/fn2.wav", "initials/B.wav"}));
  EXPECT_EQ(w.Count("error"), 2);
  for (const TraceEvent& e : w.sim.platform.Trace.Events()) {
    for (const std::string& f : e.Fields) EXPECT_EQ(f.find("x.wav"), std::string::npos) << f;
  }
}

}  // namespace
}  // namespace strikora
