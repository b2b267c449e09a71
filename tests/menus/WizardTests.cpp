// The new-bowler wizard on the simulated desktop: what the player hears, what is stored.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "menus/ListOrder.h"

#include "tests/support/AppWorld.h"

namespace strikora {
namespace {

namespace fs = std::filesystem;
using testing::At;
using testing::KeyAt;
using testing::Keys;
using testing::Said;

// Thirty recorded first names, offered in reverse: list position j speaks fn(30 - j).
class Wizard : public ::testing::Test {
 protected:
  Wizard() {
    KeepNames(30);
    std::ofstream dat(w.tree.F.NamesDatFile, std::ios::trunc);
    for (int n = 30; n >= 1; --n) dat << n << "\r\n";
  }
  void KeepNames(int count) {
    for (int n = count + 1; n <= 200; ++n) {
      fs::remove(w.tree.F.NamesFolder / ("fn" + std::to_string(n) + ".wav"));
    }
    w.app->Players().CatalogueFirstNames();
  }
  void Create(std::vector<KeyAt> keys, bool finishWithInitials = false) {
    if (finishWithInitials) {
      // Initial A for the first name, A for the last, male, left-handed.
      for (const KeyAt& k :
           Keys(At("uai", vk::Enter, keys.empty() ? 1 : 2), At("a", vk::Enter),
                At("a", vk::Enter, 2), At("male", vk::Enter), At("lefty", vk::Enter))) {
        keys.push_back(k);
      }
    }
    w.Script(keys);
    w.app->CreatePlayer();
  }
  testing::AppWorld w;
};

constexpr const char* kFinishedWithInitials =
    "wyfn uai initials/A wyln initials/A hello initials/A initials/A morf male sybh lefty";

// A bowler who takes an initial (Up wraps from A to Z), then the last initial B past an
// Escape that cannot leave and a Ctrl+Down that only silences; female, left-handed.
const std::vector<KeyAt> kInitialFemaleLefty =
    Keys(At("uai", vk::Enter), At("a", vk::Up), At("z", vk::Enter), At("a", vk::Escape, 2),
         At("a", vk::Down, 2, 600, mod::Ctrl), At("a", vk::Down, 2, 800), At("b", vk::Enter),
         At("male", vk::Down), At("female", vk::Enter), At("lefty", vk::Enter));

TEST_F(Wizard, AnswersHeardAndStored) {
  // One bowler after another: each is heard, then stored behind the ones before.
  const auto check = [this](const char* name, const std::vector<KeyAt>& keys, const char* heard,
                            const std::string& names, bool female, bool lefthanded) {
    SCOPED_TRACE(name);
    w.sim.platform.Trace.Clear();
    const int index = w.app->Players().PlayerCount() + 1;
    Create(keys);
    EXPECT_EQ(w.Heard(), Said(heard));
    ASSERT_EQ(w.app->Players().PlayerCount(), index);
    const Player& p = w.app->Players().Players(index);
    EXPECT_EQ(p.FirstName() + " " + p.LastName(), names);
    EXPECT_EQ(p.Female(), female);
    EXPECT_EQ(p.Lefthanded(), lefthanded);
    EXPECT_EQ(w.Count("error"), 0);
    EXPECT_EQ(w.sim.world.PendingKeys(), 0U);
  };
  check("initial, Escape and Ctrl on the last initial", kInitialFemaleLefty,
        "wyfn uai initials/A initials/Z wyln initials/A initials/B hello initials/Z initials/B "
        "morf male female sybh lefty",
        "Z.wav B.wav", true, true);
  check("list name, Page keys wrapping both ways",
        Keys(At("uai", vk::Down), At("uafn", vk::Enter), At("fn30", vk::PageUp),
             At("fn1", vk::PageDown), At("fn30", vk::PageDown, 2), At("fn20", vk::Enter),
             At("a", vk::Enter), At("male", vk::Enter), At("lefty", vk::Down),
             At("righty", vk::Enter)),
        "wyfn uai uafn names/fn30 names/fn1 names/fn30 names/fn20 wyln initials/A hello "
        "names/fn20 initials/A morf male sybh lefty righty",
        "fn20.wav A.wav", false, false);
  check("Escape leaves each sub-list and repeats the item in the questions",
        Keys(At("uai", vk::Escape), At("uai", vk::Enter, 2), At("a", vk::Escape),
             At("uai", vk::Down, 3), At("uafn", vk::Enter), At("fn30", vk::Escape),
             At("uai", vk::Enter, 4), At("a", vk::Enter, 2), At("a", vk::Enter, 3),
             At("male", vk::Escape), At("male", vk::Enter, 2), At("lefty", vk::Escape),
             At("lefty", vk::Enter, 2)),
        "wyfn uai uai initials/A wyfn uai uafn names/fn30 wyfn uai initials/A wyln "
        "initials/A hello initials/A initials/A morf male male sybh lefty lefty",
        "A.wav A.wav", false, true);
  check("a key during a question moves on from it: the new answer said once",
        Keys(At("wyfn", vk::Down, 1, 100), At("uafn", vk::Up), At("uai", vk::Enter),
             At("a", vk::Enter), At("wyln", vk::Down, 1, 100), At("b", vk::Enter),
             At("morf", vk::Down, 1, 100), At("female", vk::Enter), At("sybh", vk::Down, 1, 100),
             At("righty", vk::Enter)),
        "wyfn uafn uai initials/A wyln initials/B hello initials/A initials/B morf female sybh "
        "righty",
        "A.wav B.wav", true, false);
}

TEST_F(Wizard, NewBowlerIsSavedAtTheNextIndexNotActiveAndKeptOverARestart) {
  w.AddBowlers(2);
  Create(kInitialFemaleLefty);
  EXPECT_FALSE(w.app->Players().Players(3).IsActive());
  w.sim.platform.Windows.DoPendingEvents();  // the main menu comes back and speaks
  EXPECT_EQ(w.HeardFrom("psao.wav"), Said("psao lgb"));
  EXPECT_EQ(fs::file_size(w.tree.F.PlayersFile), 3 * kRecordLength);

  w.Start();
  w.sim.platform.Trace.Clear();
  ASSERT_EQ(w.app->Players().PlayerCount(), 3);
  const Player& p = w.app->Players().Players(3);
  EXPECT_EQ(p.FirstName() + p.LastName(), "Z.wavB.wav");
  EXPECT_TRUE(p.Female() && p.Lefthanded());
  EXPECT_EQ(w.app->Players().Players(2).FirstName(), "fn2.wav");
  w.app->Names().SpeakPlayerName(3);  // an initial as first name is taken from the initials
  EXPECT_EQ(w.Heard(), Said("initials/Z initials/B"));
}

TEST_F(Wizard, AFullRosterSaysSoBeforeTheFirstQuestionAndOverwritesNothing) {
  w.AddBowlers(100);
  const auto size = fs::file_size(w.tree.F.PlayersFile);
  w.Script(Keys(At("lgb", vk::Down), At("create", vk::Enter), At("full", vk::Escape)));
  w.RunMainMenu();
  EXPECT_EQ(w.HeardFrom("psao.wav"), Said("psao lgb create full end"));
  EXPECT_EQ(w.app->Players().PlayerCount(), 100);
  EXPECT_EQ(fs::file_size(w.tree.F.PlayersFile), size);
}

TEST_F(Wizard, ABrokenNamesListGivesEmptyItemsThatAskAgain) {
  // Not a number, a number, none, past the catalogue, negative, blank; the rest unread.
  std::ofstream(w.tree.F.NamesDatFile, std::ios::trunc) << "abc\n2\n0\n99\n-1\n \n";
  Create(Keys(At("uai", vk::Down), At("uafn", vk::Enter), At("buzzer", vk::Down),
              At("fn2", vk::Down), At("buzzer", vk::Enter, 2) /* an empty item */),
         true);
  EXPECT_EQ(w.HeardFrom("uafn.wav"),
            Said(std::string("uafn play/buzzer names/fn2 play/buzzer ") + kFinishedWithInitials));
  EXPECT_EQ(w.Count("error"), 2);
  EXPECT_EQ(w.app->Players().Players(1).FirstName(), "A.wav");
}

TEST_F(Wizard, NoRecordedNamesSoundsTheBuzzerAndAsksAgain) {
  KeepNames(0);
  Create(Keys(At("uai", vk::Down), At("uafn", vk::Enter)), true);
  EXPECT_EQ(w.HeardFrom("uafn.wav"),
            Said(std::string("uafn play/buzzer ") + kFinishedWithInitials));
  EXPECT_EQ(w.app->Players().PlayerCount(), 1);
}

TEST_F(Wizard, ABowlerThatCannotBeSavedIsLoggedAndLeavesTheTableAsTheFile) {
  fs::remove(w.tree.F.PlayersFile);
  fs::create_directory(w.tree.F.PlayersFile);  // the record cannot be written
  Create({}, true);
  EXPECT_EQ(w.Heard().back(), "play/buzzer.wav");
  EXPECT_EQ(w.Count("error"), 1);
  EXPECT_EQ(w.app->Players().PlayerCount(), 0);
  EXPECT_EQ(w.app->Players().PlayerAt(1), nullptr);  // the next bowler goes into this slot
}

TEST(ListOrder, OnlyWholeNumbersNamingACatalogueEntryCountAndNoLineCostsMemory) {
  struct Case {
    std::string Text;
    std::vector<std::int16_t> Order;  // positions 0..2 after reading, from {7, 7, 7}
  };
  const Case cases[] = {
      {"3\n1\n2\n", {3, 1, 2}},
      {" 2 \r\n+3\n1", {2, 3, 1}},
      {"x\n4\n-1\n", {0, 0, 0}},                         // not numbers, or outside 1..3
      {"2\n", {2, 7, 7}},                                // short: the rest stay
      {std::string(1 << 20, '1') + "\n2\n", {0, 2, 7}},  // an endless line is no number
  };
  for (const Case& c : cases) {
    std::istringstream in(c.Text);
    ListOrderTable order{};
    order.fill(7);
    ReadListOrder(in, 3, order);
    EXPECT_EQ(std::vector<std::int16_t>(order.begin(), order.begin() + 3), c.Order)
        << c.Text.substr(0, 20);
  }
}

}  // namespace
}  // namespace strikora
