// The new-bowler wizard on the simulated desktop: what the player hears, what is stored.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/AppWorld.h"

namespace strikora {
namespace {

namespace fs = std::filesystem;
using testing::KeyAt;
using Clips = std::vector<std::string>;

// Thirty recorded first names, offered in reverse: list position j speaks fn(30 - j).
class Wizard : public ::testing::Test {
 protected:
  Wizard() {
    for (int n = 31; n <= 200; ++n)
      fs::remove(w.tree.F.NamesFolder / ("fn" + std::to_string(n) + ".wav"));
    std::ofstream dat(w.tree.F.NamesDatFile, std::ios::trunc);
    for (int n = 30; n >= 1; --n) dat << n << "\r\n";
    dat.close();
    w.app->Players().CatalogueFirstNames();
  }
  void Create(const std::vector<KeyAt>& keys) {
    w.Script(keys);
    w.app->CreatePlayer();
  }
  testing::AppWorld w;
};

// A bowler who takes an initial, then the last initial, female and left-handed.
const std::vector<KeyAt> kInitialFemaleLefty = {
    {"/uai.wav", vk::Enter},
    {"/a.wav", vk::Up},  // wraps to Z
    {"/z.wav", vk::Enter},
    {"/a.wav", vk::Escape, 0, 450, 2},  // the last initial cannot be left
    {"/a.wav", vk::Down, mod::Ctrl, 600, 2},
    {"/a.wav", vk::Down, 0, 800, 2},
    {"/b.wav", vk::Enter},
    {"/male.wav", vk::Down},
    {"/female.wav", vk::Enter},
    {"/lefty.wav", vk::Enter}};

struct WizardRun {
  const char* Name;
  std::vector<KeyAt> Keys;
  Clips Heard;
  const char *First, *Last;
  bool Female, Lefthanded;
};

TEST_F(Wizard, AnswersHeardAndStored) {
  const WizardRun runs[] = {
      {"initial, Escape and Ctrl on the last initial",
       kInitialFemaleLefty,
       {"wyfn.wav", "uai.wav", "initials/A.wav", "initials/Z.wav", "wyln.wav", "initials/A.wav",
        "initials/B.wav", "hello.wav", "initials/Z.wav", "initials/B.wav", "morf.wav", "male.wav",
        "female.wav", "sybh.wav", "lefty.wav"},
       "Z.wav",
       "B.wav",
       true,
       true},
      {"list name, Page keys wrapping both ways",
       {{"/uai.wav", vk::Down},
        {"/uafn.wav", vk::Enter},
        {"/fn30.wav", vk::PageUp},   // near the top: to the last name
        {"/fn1.wav", vk::PageDown},  // near the end: to the first name
        {"/fn30.wav", vk::PageDown, 0, 450, 2},
        {"/fn20.wav", vk::Enter},
        {"/a.wav", vk::Enter},
        {"/male.wav", vk::Enter},
        {"/lefty.wav", vk::Down},
        {"/righty.wav", vk::Enter}},
       {"wyfn.wav", "uai.wav", "uafn.wav", "names/fn30.wav", "names/fn1.wav", "names/fn30.wav",
        "names/fn20.wav", "wyln.wav", "initials/A.wav", "hello.wav", "names/fn20.wav",
        "initials/A.wav", "morf.wav", "male.wav", "sybh.wav", "lefty.wav", "righty.wav"},
       "fn20.wav",
       "A.wav",
       false,
       false},
      {"Escape leaves each sub-list and repeats the item in the questions",
       {{"/uai.wav", vk::Escape},
        {"/uai.wav", vk::Enter, 0, 450, 2},
        {"/a.wav", vk::Escape},
        {"/uai.wav", vk::Down, 0, 450, 3},
        {"/uafn.wav", vk::Enter},
        {"/fn30.wav", vk::Escape},
        {"/uai.wav", vk::Enter, 0, 450, 4},
        {"/a.wav", vk::Enter, 0, 450, 2},
        {"/a.wav", vk::Enter, 0, 450, 3},
        {"/male.wav", vk::Escape},
        {"/male.wav", vk::Enter, 0, 450, 2},
        {"/lefty.wav", vk::Escape},
        {"/lefty.wav", vk::Enter, 0, 450, 2}},
       {"wyfn.wav",       "uai.wav",  "uai.wav",        "initials/A.wav", "wyfn.wav",
        "uai.wav",        "uafn.wav", "names/fn30.wav", "wyfn.wav",       "uai.wav",
        "initials/A.wav", "wyln.wav", "initials/A.wav", "hello.wav",      "initials/A.wav",
        "initials/A.wav", "morf.wav", "male.wav",       "male.wav",       "sybh.wav",
        "lefty.wav",      "lefty.wav"},
       "A.wav",
       "A.wav",
       false,
       true},
  };
  for (const WizardRun& run : runs) {
    SCOPED_TRACE(run.Name);
    w.sim.platform.Trace.Clear();
    const int before = w.app->Players().PlayerCount();
    Create(run.Keys);
    EXPECT_EQ(w.Heard(), run.Heard);
    ASSERT_EQ(w.app->Players().PlayerCount(), before + 1);
    const Player& p = w.app->Players().Players(before + 1);
    EXPECT_EQ(p.FirstName(), run.First);
    EXPECT_EQ(p.LastName(), run.Last);
    EXPECT_EQ(p.Female(), run.Female);
    EXPECT_EQ(p.Lefthanded(), run.Lefthanded);
    EXPECT_EQ(w.Count("error"), 0);
    EXPECT_EQ(w.sim.world.PendingKeys(), 0U);
  }
}

TEST_F(Wizard, NewBowlerIsSavedAtTheNextIndexNotActiveAndKeptOverARestart) {
  w.AddBowlers(2);
  Create(kInitialFemaleLefty);
  EXPECT_FALSE(w.app->Players().Players(3).IsActive());
  // The main menu comes back and speaks.
  w.sim.platform.Windows.DoPendingEvents();
  EXPECT_EQ(w.HeardFrom("psao.wav"), (Clips{"psao.wav", "lgb.wav"}));
  EXPECT_EQ(fs::file_size(w.tree.F.PlayersFile), 3 * kRecordLength);

  w.Start();
  w.sim.platform.Trace.Clear();
  ASSERT_EQ(w.app->Players().PlayerCount(), 3);
  const Player& p = w.app->Players().Players(3);
  EXPECT_EQ(p.FirstName() + p.LastName(), "Z.wavB.wav");
  EXPECT_TRUE(p.Female() && p.Lefthanded());
  EXPECT_EQ(w.app->Players().Players(2).FirstName(), "fn2.wav");
  w.app->Names().SpeakPlayerName(3);  // an initial as first name is taken from the initials
  EXPECT_EQ(w.Heard(), (Clips{"initials/Z.wav", "initials/B.wav"}));
}

TEST_F(Wizard, AFullRosterSaysSoBeforeTheFirstQuestionAndOverwritesNothing) {
  w.AddBowlers(100);
  const auto size = fs::file_size(w.tree.F.PlayersFile);
  w.Script({{"/lgb.wav", vk::Down}, {"/create.wav", vk::Enter}, {"/full.wav", vk::Escape}});
  w.RunMainMenu();
  EXPECT_EQ(w.HeardFrom("psao.wav"),
            (Clips{"psao.wav", "lgb.wav", "create.wav", "full.wav", "end.wav"}));
  EXPECT_EQ(w.app->Players().PlayerCount(), 100);
  EXPECT_EQ(fs::file_size(w.tree.F.PlayersFile), size);
}

TEST_F(Wizard, ABrokenNamesListGivesEmptyItemsThatAskAgain) {
  // Not a number, a number, none, past the catalogue, negative, blank; the rest unread.
  std::ofstream(w.tree.F.NamesDatFile, std::ios::trunc) << "abc\n2\n0\n99\n-1\n \n";
  Create({{"/uai.wav", vk::Down},
          {"/uafn.wav", vk::Enter},
          {"/buzzer.wav", vk::Down},
          {"/fn2.wav", vk::Down},
          {"/buzzer.wav", vk::Enter, 0, 450, 2},  // an empty item: the question again
          {"/uai.wav", vk::Enter, 0, 450, 2},
          {"/a.wav", vk::Enter},
          {"/a.wav", vk::Enter, 0, 450, 2},
          {"/male.wav", vk::Enter},
          {"/lefty.wav", vk::Enter}});
  EXPECT_EQ(
      w.HeardFrom("uafn.wav"),
      (Clips{"uafn.wav", "play/buzzer.wav", "names/fn2.wav", "play/buzzer.wav", "wyfn.wav",
             "uai.wav", "initials/A.wav", "wyln.wav", "initials/A.wav", "hello.wav",
             "initials/A.wav", "initials/A.wav", "morf.wav", "male.wav", "sybh.wav", "lefty.wav"}));
  EXPECT_EQ(w.Count("error"), 2);
  EXPECT_EQ(w.app->Players().Players(1).FirstName(), "A.wav");
}

TEST_F(Wizard, NoRecordedNamesSoundsTheBuzzerAndAsksAgain) {
  for (int n = 1; n <= 30; ++n)
    fs::remove(w.tree.F.NamesFolder / ("fn" + std::to_string(n) + ".wav"));
  w.app->Players().CatalogueFirstNames();
  Create({{"/uai.wav", vk::Down},
          {"/uafn.wav", vk::Enter},
          {"/uai.wav", vk::Enter, 0, 450, 2},
          {"/a.wav", vk::Enter},
          {"/a.wav", vk::Enter, 0, 450, 2},
          {"/male.wav", vk::Enter},
          {"/lefty.wav", vk::Enter}});
  EXPECT_EQ(w.HeardFrom("uafn.wav"),
            (Clips{"uafn.wav", "play/buzzer.wav", "wyfn.wav", "uai.wav", "initials/A.wav",
                   "wyln.wav", "initials/A.wav", "hello.wav", "initials/A.wav", "initials/A.wav",
                   "morf.wav", "male.wav", "sybh.wav", "lefty.wav"}));
  EXPECT_EQ(w.app->Players().PlayerCount(), 1);
}

TEST_F(Wizard, ABowlerThatCannotBeSavedIsLoggedAndLeavesTheTableAsTheFile) {
  fs::remove(w.tree.F.PlayersFile);
  fs::create_directory(w.tree.F.PlayersFile);  // the record cannot be written
  Create(kInitialFemaleLefty);
  EXPECT_EQ(w.Heard().back(), "play/buzzer.wav");
  EXPECT_EQ(w.Count("error"), 1);
  EXPECT_EQ(w.app->Players().PlayerCount(), 0);
  EXPECT_EQ(w.app->Players().PlayerAt(1), nullptr);  // the next bowler goes into this slot
}

}  // namespace
}  // namespace strikora
