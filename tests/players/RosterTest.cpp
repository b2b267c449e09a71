#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "players/Roster.h"
#include "tests/players/TestFiles.h"

namespace strikora {
namespace {

using test::Bytes;
using test::HandRecord;
using test::ReadBytes;
using test::WriteBytes;

class RosterStore : public ::testing::Test {
 protected:
  // Bowler n is "fn<n>.wav" with one game of n pins, so every record differs.
  static Bytes Bowler(int n) {
    return HandRecord("fn" + std::to_string(n) + ".wav", "k.wav")
        .Put16(28, static_cast<std::uint16_t>(n))
        .Put16(2028, 1)
        .Get();
  }
  static Bytes Bowlers(const std::vector<int>& numbers) {
    std::vector<Bytes> records;
    for (const int n : numbers) records.push_back(Bowler(n));
    return test::Concat(records);
  }

  strikora::testing::TempDir folder_;
  std::filesystem::path rosterFile_ = folder_.Path() / "players.qbx";
  std::filesystem::path temp_ = folder_.Path() / "temp.qbx";
  std::filesystem::path names_ = folder_.Path() / "names";
  Roster roster_{rosterFile_, folder_.Path(), names_};
};

TEST_F(RosterStore, FirstStartMakesAnEmptyRoster) {
  roster_.LoadRoster();
  EXPECT_EQ(roster_.PlayerCount(), 0);
  ASSERT_TRUE(std::filesystem::exists(rosterFile_));
  EXPECT_EQ(std::filesystem::file_size(rosterFile_), 0u);
  EXPECT_EQ(roster_.PlayerAt(1), nullptr);
}

TEST_F(RosterStore, RecordStartingWithZeroEndsTheRoster) {
  Bytes file = Bowlers({1, 2, 3});
  file[2054] = 0;
  WriteBytes(rosterFile_, file);
  roster_.LoadRoster();
  EXPECT_EQ(roster_.PlayerCount(), 1);
  EXPECT_EQ(roster_.Players(1).FirstName(), "fn1.wav");
  EXPECT_EQ(roster_.PlayerAt(2), nullptr);
  EXPECT_THROW((void)roster_.Players(2), std::out_of_range);
}

TEST_F(RosterStore, LoadsAFullRosterOfAHundred) {
  std::vector<int> numbers;
  for (int n = 1; n <= 101; ++n) numbers.push_back(n);
  WriteBytes(rosterFile_, Bowlers(numbers));
  roster_.LoadRoster();
  ASSERT_EQ(roster_.PlayerCount(), 100);
  EXPECT_EQ(roster_.Players(100).FirstName(), "fn100.wav");
  EXPECT_EQ(roster_.Players(100).ScoreHistory(1, 1, 1), 100);
  EXPECT_THROW(roster_.AddPlayer(), std::out_of_range);
  EXPECT_THROW((void)roster_.PlayerAt(101), std::out_of_range);
}

class DeleteOneOfThree : public RosterStore, public ::testing::WithParamInterface<int> {};

TEST_P(DeleteOneOfThree, BowlersBehindMoveUpAndTheFileFollows) {
  const int deleted = GetParam();
  WriteBytes(rosterFile_, Bowlers({1, 2, 3}));
  // Longer than the new roster: none of it may trail behind the survivors.
  WriteBytes(temp_, Bowlers({9, 9, 9, 9, 9}));
  roster_.LoadRoster();

  roster_.DeletePlayer(static_cast<std::int16_t>(deleted));

  std::vector<int> survivors;
  for (const int n : {1, 2, 3}) {
    if (n != deleted) survivors.push_back(n);
  }
  EXPECT_EQ(ReadBytes(rosterFile_), Bowlers(survivors));
  EXPECT_FALSE(std::filesystem::exists(temp_));
  ASSERT_EQ(roster_.PlayerCount(), 2);
  EXPECT_EQ(roster_.Players(1).FirstName(), "fn" + std::to_string(survivors[0]) + ".wav");
  EXPECT_EQ(roster_.Players(2).FirstName(), "fn" + std::to_string(survivors[1]) + ".wav");
  EXPECT_EQ(roster_.PlayerAt(3), nullptr);
}

INSTANTIATE_TEST_SUITE_P(FirstMiddleLast, DeleteOneOfThree, ::testing::Values(1, 2, 3));

TEST_F(RosterStore, DeletingTheOnlyBowlerLeavesAnEmptyRoster) {
  WriteBytes(rosterFile_, Bowlers({1}));
  roster_.LoadRoster();
  roster_.DeletePlayer(1);
  EXPECT_EQ(roster_.PlayerCount(), 0);
  EXPECT_FALSE(std::filesystem::exists(temp_));
  // The reload after the deletion starts the roster file again, empty.
  ASSERT_TRUE(std::filesystem::exists(rosterFile_));
  EXPECT_EQ(std::filesystem::file_size(rosterFile_), 0u);
}

TEST_F(RosterStore, FailedDeletionLosesNobody) {
  const Bytes before = Bowlers({1, 2, 3});
  WriteBytes(rosterFile_, before);
  roster_.LoadRoster();
  // Tests run as root, where a read-only data folder would not stop the write, so the new
  // roster is made unwritable by a folder standing where temp.qbx must go.
  std::filesystem::create_directories(temp_ / "keep");

  EXPECT_THROW(roster_.DeletePlayer(2), std::system_error);
  EXPECT_EQ(ReadBytes(rosterFile_), before);
  ASSERT_EQ(roster_.PlayerCount(), 3);
  EXPECT_EQ(roster_.Players(2).FirstName(), "fn2.wav");

  EXPECT_THROW(roster_.DeletePlayer(0), std::out_of_range);
  EXPECT_THROW(roster_.DeletePlayer(4), std::out_of_range);
  EXPECT_EQ(ReadBytes(rosterFile_), before);
}

TEST_F(RosterStore, RecordsBehindTheLoadedBowlersSurviveADeletion) {
  // A damaged record hides the bowler behind it; deleting a loaded bowler must not drop it.
  Bytes hidden = Bowlers({1, 2, 0, 4});
  hidden[2 * 2054] = 0;
  hidden.push_back(7);  // and a cut record at the very end
  WriteBytes(rosterFile_, hidden);
  roster_.LoadRoster();
  ASSERT_EQ(roster_.PlayerCount(), 2);
  roster_.DeletePlayer(1);
  EXPECT_EQ(ReadBytes(rosterFile_), Bytes(hidden.begin() + 2054, hidden.end()));
  roster_.DeletePlayer(1);  // the last loaded bowler: the unread records still stay
  EXPECT_EQ(ReadBytes(rosterFile_), Bytes(hidden.begin() + 2 * 2054, hidden.end()));
  EXPECT_EQ(roster_.PlayerCount(), 0);
  EXPECT_FALSE(std::filesystem::exists(temp_));
}

TEST_F(RosterStore, NewBowlerIsSavedBehindTheOthers) {
  WriteBytes(rosterFile_, Bowlers({1, 2}));
  roster_.LoadRoster();
  Player& added = roster_.AddPlayer();
  added.SetFirstName("fn7.wav");
  added.SetLastName("m.wav");
  ASSERT_EQ(roster_.PlayerCount(), 3);
  EXPECT_EQ(&roster_.Players(3), &added);
  added.Save(roster_.PlayersFile(), roster_.PlayerCount());

  Roster reloaded(rosterFile_, folder_.Path(), names_);
  reloaded.LoadRoster();
  ASSERT_EQ(reloaded.PlayerCount(), 3);
  EXPECT_EQ(reloaded.Players(2).FirstName(), "fn2.wav");
  EXPECT_EQ(reloaded.Players(3).LastName(), "m.wav");
}

TEST_F(RosterStore, TodaysPlayersAreCountedAndCleared) {
  WriteBytes(rosterFile_, Bowlers({1, 2, 3}));
  roster_.LoadRoster();
  roster_.Players(1).SetIsActive(true);
  roster_.Players(3).SetIsActive(true);
  roster_.Players(3).AddScore(1, 10, 0);
  EXPECT_EQ(roster_.CountActivePlayers(), 2);

  roster_.ClearTodaysPlayers();
  EXPECT_EQ(roster_.CountActivePlayers(), 0);
  EXPECT_EQ(roster_.Players(3).GetScore(false, 1, 1), 0);
  EXPECT_FALSE(roster_.Players(3).Strikes(1));
}

TEST_F(RosterStore, CatalogueListsFirstNameRecordingsInNumberOrder) {
  roster_.CatalogueFirstNames();  // no names folder at all
  EXPECT_EQ(roster_.FirstNameCount(), -1);

  std::filesystem::create_directories(names_ / "fn2.wav");  // a folder is no recording
  for (const char* name :
       {"fn3.wav", "fn1.wav", "FN5.WAV", "fn0.wav", "fn01.wav", "fn201.wav", "fn4.mp3"}) {
    WriteBytes(names_ / name, {0});
  }
  roster_.CatalogueFirstNames();
  ASSERT_EQ(roster_.FirstNameCount(), 3);
  EXPECT_EQ(roster_.FirstNameFiles(1), "fn1.wav");
  EXPECT_EQ(roster_.FirstNameFiles(2), "fn3.wav");
  EXPECT_EQ(roster_.FirstNameFiles(3), "fn5.wav");

  std::filesystem::remove(names_ / "fn3.wav");
  roster_.CatalogueFirstNames();
  EXPECT_EQ(roster_.FirstNameCount(), 2);
  EXPECT_EQ(roster_.FirstNameFiles(3), "");
  EXPECT_THROW((void)roster_.FirstNameFiles(201), std::out_of_range);
}

}  // namespace
}  // namespace strikora
