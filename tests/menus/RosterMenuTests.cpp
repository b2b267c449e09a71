// The roster menus and the speaking of bowlers' names on the simulated desktop: what the player
// hears for each key, and what becomes of the roster file.
#include <gtest/gtest.h>

#include "tests/support/AppWorld.h"

namespace strikora {
namespace {

namespace fs = std::filesystem;
using testing::At;
using testing::KeyAt;
using testing::Keys;
using testing::Said;

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
  // The bowlers heard, by their last initials: bowler k is the k-th letter (k <= 26).
  [[nodiscard]] std::string Initials() const {
    std::string out;
    for (const std::string& clip : w.Heard()) {
      if (clip.starts_with("initials/")) out += clip[9];
    }
    return out;
  }
  [[nodiscard]] std::string FirstNames() {
    std::string out;
    for (int i = 1; i <= w.app->Players().PlayerCount(); ++i) {
      out += w.app->Players().Players(i).FirstName() + " ";
    }
    return out;
  }
  testing::AppWorld w;
};

TEST(NameSpeech, OnlyAPlainFileNameBecomesAClip) {
  for (const char* plain : {"fn12.wav", "K.wav", "a-b_c.wav"}) EXPECT_TRUE(IsPlainClipName(plain));
  for (const char* hostile :
       {"", ".", "..", "../x.wav", "a/b.wav", "a\\b.wav", "fn1..wav", "\xc3\xa9.wav"}) {
    EXPECT_FALSE(IsPlainClipName(hostile)) << hostile;
  }
}

TEST_F(RosterMenus, TwentyThreeBowlersArrowsPageKeysHomeEndAndDigits) {
  Reset(23);  // bowlers 1, 20, 21 and 23 are A, T, U and W
  View(Keys(At("initials/a", vk::Up), At("initials/w", vk::Down), At("initials/a", vk::Digit(2), 2),
            At("initials/t", vk::Digit(3)), At("initials/t", vk::Down, 2),
            At("initials/u", vk::PageDown), At("initials/a", vk::End, 3),
            At("initials/w", vk::Digit(0), 2), At("initials/a", vk::PageUp, 4),
            At("initials/w", vk::Home, 3), At("initials/a", vk::Space, 5),
            At("initials/a", vk::Letter('X'), 5, 500), At("initials/a", vk::Escape, 5, 600)));
  EXPECT_EQ(Initials(), "AWATTUAWAWA");  // Space and X say nothing here
  EXPECT_EQ(w.Heard().front(), "vpsmenu.wav");
}

TEST_F(RosterMenus, AKeyDuringAnEntrySkipsTheNamesNotYetBegunAndOnlySilences) {
  Reset(3);
  View(Keys(At("numbers/1", vk::Control, 1, 100, mod::Ctrl),
            At("numbers/1", vk::Down, 1, 150, mod::Shift | mod::Ctrl),  // not alone: ignored
            At("numbers/1", vk::Down, 1, 600), At("names/fn2", vk::Down, 1, 50),  // busy: ignored
            At("names/fn2", vk::Shift, 1, 100, mod::Shift), At("names/fn2", vk::Escape, 1, 600)));
  EXPECT_EQ(w.Heard(), Said("vpsmenu #1 #2 names/fn2"));
  EXPECT_EQ(w.Count("stop"), 2);
}

TEST_F(RosterMenus, DeletingAfterTheYesNoQuestion) {
  const auto check = [this](const char* name, int bowlers, const std::vector<KeyAt>& keys,
                            const char* heardFromQuestion, const char* left) {
    SCOPED_TRACE(name);
    Reset(bowlers);
    View(keys);
    w.sim.platform.Windows.DoPendingEvents();  // the main menu takes the focus back
    EXPECT_EQ(w.HeardFrom("delete.wav"), Said(heardFromQuestion));
    EXPECT_EQ(FirstNames(), left);
    // The roster file follows (the records themselves are the roster's own tests).
    EXPECT_EQ(fs::file_size(w.tree.F.PlayersFile), (bowlers - 1) * kRecordLength);
    EXPECT_EQ(w.Count("error"), 0);
  };
  check("the last: the list goes back to the first", 3,
        Keys(At("initials/a", vk::End), At("initials/c", vk::Delete), At("yesno", vk::Letter('Y')),
             At("initials/a", vk::Escape, 2)),
        "delete #3 names/fn3 initials/C yesno #1 names/fn1 initials/A psao lgb",
        "fn1.wav fn2.wav ");
  check("a middle one: N keeps it, other keys do not move the question, Y while it is asked", 3,
        Keys(At("initials/a", vk::Down), At("initials/b", vk::Delete), At("yesno", vk::Down, 1, 50),
             At("yesno", vk::Letter('N'), 1, 200), At("initials/b", vk::Delete, 3),
             At("yesno", vk::Letter('Y'), 2, 100), At("initials/c", vk::Escape)),
        "delete #2 names/fn2 initials/B yesno #2 names/fn2 initials/B delete #2 names/fn2 "
        "initials/B yesno #2 names/fn3 initials/C psao lgb",
        "fn1.wav fn3.wav ");
  check("the only one: the list closes and the main menu speaks again", 1,
        Keys(At("initials/a", vk::Delete), At("yesno", vk::Letter('Y'))),
        "delete #1 names/fn1 initials/A yesno psao lgb", "");
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
  View(Keys(At("initials/a", vk::Delete), At("yesno", vk::Letter('Q'), 1, 600),
            At("yesno", vk::Letter('Y'), 2), At("initials/b", vk::Escape)));
  EXPECT_EQ(w.HeardFrom("delete.wav"),
            Said("delete #1 names/fn1 initials/A yesno delete #1 names/fn1 initials/A yesno #1 "
                 "names/fn2 initials/B"));
  EXPECT_EQ(FirstNames(), "fn2.wav ");
}

TEST_F(RosterMenus, StatisticsSkipEmptyAveragesForwardAndTheListStartsOverAfterThem) {
  Reset(2);
  Player& first = w.app->Players().Players(1);
  first.AddScore(1, 7, 0);
  first.GameOver(2, 3);  // one game, with play method 2 at skill 3
  // Enter is no choice here: it cuts the statistic and says it again. Escape during the
  // prompt closes the statistics before they say anything.
  View(Keys(At("initials/a", vk::Enter), At("initials/a", vk::Down, 2),
            At("righty", vk::Enter, 1, 100), At("righty", vk::Down, 2), At("pm1", vk::Down),
            At("pm2", vk::Up) /* item 7 is empty: back on item 8 */, At("pm2", vk::Down, 2),
            At("numbers/7", vk::Escape), At("initials/a", vk::Enter, 3),
            At("stats", vk::Escape, 2, 100), At("initials/a", vk::Escape, 4)));
  EXPECT_EQ(w.Heard(), Said("vpsmenu #1 names/fn1 initials/A stats #1 names/fn1 initials/A "
                            "righty righty pm1 pm2 pm2 l3 avgof #7 vpsmenu #1 names/fn1 "
                            "initials/A stats vpsmenu #1 names/fn1 initials/A"));
  EXPECT_EQ(w.Count("stop"), 2);
  EXPECT_EQ(w.app->Players().CurrentPlayer(), 0);
}

TEST_F(RosterMenus, TodaysBowlersAreToggledAndConfirmedOnlyWithSomeoneIn) {
  const auto check = [this](const char* name, int bowlers, const std::vector<KeyAt>& keys,
                            const char* heard, bool accepted) {
    SCOPED_TRACE(name);
    Reset(bowlers);
    w.Script(keys);
    EXPECT_EQ(w.app->ChooseTodaysPlayers(), accepted);
    EXPECT_EQ(w.Heard(), Said(heard));
  };
  check("an empty roster: the prompt, and back", 0, {}, "selplyrs", false);
  check("Enter with nobody in does nothing; Space toggles with a chime", 2,
        Keys(At("initials/a", vk::Enter), At("initials/a", vk::Space, 1, 600),
             At("active", vk::Down), At("initials/b", vk::Up), At("active", vk::Enter, 2)),
        "selplyrs #1 names/fn1 initials/A active #2 names/fn2 initials/B #1 names/fn1 initials/A "
        "active selplay names/fn1 initials/A",
        true);
  check("Escape backs out", 2, Keys(At("initials/a", vk::Escape)),
        "selplyrs #1 names/fn1 initials/A", false);
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
  View(Keys(At("initials/c", vk::Down), At("initials/b", vk::Escape)));
  EXPECT_EQ(w.Heard(), Said("vpsmenu play/buzzer play/buzzer initials/C #2 names/fn2 initials/B"));
  EXPECT_EQ(w.Count("error"), 2);
  for (const TraceEvent& e : w.sim.platform.Trace.Events()) {
    for (const std::string& f : e.Fields) EXPECT_EQ(f.find("x.wav"), std::string::npos) << f;
  }
}

}  // namespace
}  // namespace strikora
