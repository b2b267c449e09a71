#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "players/Player.h"
#include "tests/players/TestFiles.h"

namespace strikora {
namespace {

using test::Bytes;
using test::HandRecord;
using test::ReadBytes;
using test::Slice;
using test::WriteBytes;

class PlayerRecordFile : public ::testing::Test {
 protected:
  strikora::testing::TempDir folder_;
  std::filesystem::path roster_ = folder_.Path() / "players.qbx";
};

TEST_F(PlayerRecordFile, SaveLaysOutEveryFieldAtItsOffset) {
  Player player;
  player.SetFirstName("fn12.wav");
  player.SetLastName("k.wav");
  player.SetFemale(true);
  player.AddScore(1, 7, 0);
  player.GameOver(2, 1);  // slot 1, method 2, skill 1
  player.ResetScore();
  player.AddScore(1, 8, 0);
  player.GameOver(1, 2);  // slot 2, method 1, skill 2
  player.ResetScore();
  for (int frame = 1; frame <= 9; ++frame) player.AddScore(frame, 10, 0);
  for (const int ball : {0, 2, 4}) player.AddScore(10, 10, ball);
  player.GameOver(2, 5);  // slot 3, method 2, skill 5: 300, above one byte

  player.Save(roster_, 2);  // into a file that does not exist yet

  const Bytes file = ReadBytes(roster_);
  ASSERT_EQ(file.size(), 2u * 2054u);
  EXPECT_EQ(Slice(file, 0, 2054), Bytes(2054, 0));
  const Bytes expected = HandRecord("fn12.wav", "k.wav")
                             .Put16(24, 0x0000)  // right-handed
                             .Put16(26, 0xFFFF)  // female
                             .Put16(30, 7)
                             .Put16(52, 8)
                             .Put16(86, 300)
                             .Put16(2028, 3)  // LastGameSlot
                             .Get();
  EXPECT_EQ(Slice(file, 2054, 2054), expected);
}

TEST_F(PlayerRecordFile, LoadReadsTheHistoryMethodFirstThenSkillThenSlot) {
  HandRecord record("fn7.wav", "k.wav");
  record
      .Put16(24, 0x8000)  // neither 0 nor -1: still true
      .Put16(26, 0x0001)  // the same
      .Put16(30, 150)     // method 2, skill 1, slot 1
      .Put16(32, 200)     // method 1, skill 2, slot 1
      .Put16(48, 250)     // method 1, skill 1, slot 2
      .Put16(2026, 299)   // method 2, skill 5, slot 100
      .Put16(2028, 2);
  for (std::size_t at = 17; at < 24; ++at) record.Put8(at, 0);         // last name padded with NULs
  for (std::size_t at = 2030; at < 2054; ++at) record.Put8(at, 0xAA);  // filler
  WriteBytes(roster_, record.Get());

  Player player;
  ASSERT_TRUE(player.Load(roster_, 1));
  EXPECT_EQ(player.FirstName(), "fn7.wav");
  EXPECT_EQ(player.LastName(), std::string("k.wav\0\0\0\0\0\0\0", 12));  // kept as stored
  EXPECT_TRUE(player.Lefthanded());
  EXPECT_TRUE(player.Female());
  EXPECT_EQ(player.ScoreHistory(1, 1, 1), 0);
  EXPECT_EQ(player.ScoreHistory(2, 1, 1), 150);
  EXPECT_EQ(player.ScoreHistory(1, 2, 1), 200);
  EXPECT_EQ(player.ScoreHistory(1, 1, 2), 250);
  EXPECT_EQ(player.ScoreHistory(2, 5, 100), 299);
  EXPECT_EQ(player.LastGameSlot(), 2);

  // Written back: the same bytes, with the Booleans made canonical and the filler zeroed.
  const std::filesystem::path copy = folder_.Path() / "copy.qbx";
  player.Save(copy, 1);
  record.Put16(24, 0xFFFF).Put16(26, 0xFFFF);
  for (std::size_t at = 2030; at < 2054; ++at) record.Put8(at, 0);
  EXPECT_EQ(ReadBytes(copy), record.Get());
}

TEST_F(PlayerRecordFile, LastGameSlotOutsideTheHistoryReadsAsNone) {
  // stored, read back; the next game goes to the slot after it, the 101st back to slot 1.
  const std::vector<std::array<int, 3>> cases = {
      {100, 100, 1}, {99, 99, 100}, {101, 0, 1}, {0xFFFF, 0, 1}};
  for (const auto& [stored, read, next] : cases) {
    WriteBytes(roster_,
               HandRecord("a.wav", "b.wav").Put16(2028, static_cast<std::uint16_t>(stored)).Get());
    Player player;
    ASSERT_TRUE(player.Load(roster_, 1));
    EXPECT_EQ(player.LastGameSlot(), read) << stored;
    player.GameOver(1, 1);
    EXPECT_EQ(player.LastGameSlot(), next) << stored;
  }
}

TEST_F(PlayerRecordFile, MissingShortAndPastTheEndRecordsReadAsZeros) {
  Player player;
  EXPECT_FALSE(player.Load(roster_, 1));
  ASSERT_TRUE(std::filesystem::exists(roster_));  // a first start makes the empty roster
  EXPECT_EQ(std::filesystem::file_size(roster_), 0u);

  // One whole record, then 100 bytes of 0xFF: a damaged tail still loads without harm.
  Bytes bytes = HandRecord("fn1.wav", "a.wav").Put16(24, 0xFFFF).Get();
  bytes.insert(bytes.end(), 100, 0xFF);
  WriteBytes(roster_, bytes);
  ASSERT_TRUE(player.Load(roster_, 2));
  EXPECT_TRUE(player.Female());
  EXPECT_EQ(player.ScoreHistory(1, 1, 1), -1);
  EXPECT_EQ(player.ScoreHistory(1, 1, 10), 0);  // byte 208, past the end
  EXPECT_EQ(player.Average(1, 1), 0);           // -1 is not a finished game

  // Past the end: nothing there, and the fields are overwritten all the same.
  ASSERT_TRUE(player.Load(roster_, 1));
  EXPECT_FALSE(player.Load(roster_, 3));
  EXPECT_FALSE(player.Lefthanded());
  EXPECT_EQ(player.FirstName(), std::string(12, '\0'));
}

TEST_F(PlayerRecordFile, SaveRewritesOnlyItsOwnRecord) {
  const Bytes first = HandRecord("fn1.wav", "a.wav").Get();
  const Bytes third = HandRecord("fn3.wav", "c.wav").Put16(2028, 9).Get();
  WriteBytes(roster_, test::Concat({first, HandRecord("old.wav", "o.wav").Get(), third}));

  Player player;
  player.SetFirstName("new.wav");
  player.Save(roster_, 2);

  const Bytes file = ReadBytes(roster_);
  ASSERT_EQ(file.size(), 3u * 2054u);
  EXPECT_EQ(Slice(file, 0, 2054), first);
  EXPECT_EQ(Slice(file, 2054, 2054), HandRecord("new.wav", "").Get());
  EXPECT_EQ(Slice(file, 4108, 2054), third);
  // Written whole through a copy beside it, which does not stay behind.
  EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "players.qbx.tmp"));
}

TEST_F(PlayerRecordFile, UnusableRosterPathsRaiseErrors) {
  Player player;
  EXPECT_THROW(player.Save(roster_, 0), std::out_of_range);
  EXPECT_THROW((void)player.Load(roster_, 0), std::out_of_range);

  // Tests run as root, which permission bits do not stop, so the paths are made unusable by
  // their shape instead: a folder where the file should be, and a file where a folder should.
  std::filesystem::create_directory(roster_);
  EXPECT_THROW(player.Save(roster_, 1), std::system_error);
  EXPECT_THROW((void)player.Load(roster_, 1), std::system_error);

  const std::filesystem::path notAFolder = folder_.Path() / "plain";
  WriteBytes(notAFolder, {1, 2, 3});
  EXPECT_THROW(player.Save(notAFolder / "players.qbx", 1), std::system_error);
  EXPECT_THROW((void)player.Load(notAFolder / "players.qbx", 1), std::system_error);
}

}  // namespace
}  // namespace strikora
