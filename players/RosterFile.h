#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

#include <sys/types.h>

namespace strikora {

inline constexpr int kNameLength = 12;
inline constexpr int kPlayMethods = 2;
inline constexpr int kSkillLevels = 5;
inline constexpr int kHistorySlots = 100;
inline constexpr int kHistoryEntries = kPlayMethods * kSkillLevels * kHistorySlots;

// One roster record on disk. The fields take 2030 bytes; 24 bytes of filler follow so that
// records stay where every earlier version of the roster put them.
inline constexpr std::size_t kRecordLength = 2054;

// What the roster file keeps of one bowler.
struct PlayerRecord {
  // Clip file names, stored left-aligned in their 12-byte fields and kept byte for byte.
  std::array<char, kNameLength> FirstName = BlankName();
  std::array<char, kNameLength> LastName = BlankName();
  bool Lefthanded = false;
  bool Female = false;
  // Finished game totals without handicap, 0 for an empty slot; see HistoryIndex.
  std::array<std::int16_t, kHistoryEntries> ScoreHistory{};
  // Slot written by the most recent finished game, 0 before the first one.
  std::int16_t LastGameSlot = 0;

  bool operator==(const PlayerRecord&) const = default;

  [[nodiscard]] static constexpr std::array<char, kNameLength> BlankName() {
    std::array<char, kNameLength> name{};
    name.fill(' ');
    return name;
  }
};

using RecordBytes = std::array<std::uint8_t, kRecordLength>;

// Position of (method 1..2, skill 1..5, slot 1..100) in ScoreHistory, which is also its order
// on disk: method varies fastest, then skill, then slot. Arguments are not checked here.
[[nodiscard]] constexpr int HistoryIndex(int method, int skill, int slot) {
  return (method - 1) + kPlayMethods * (skill - 1) + kPlayMethods * kSkillLevels * (slot - 1);
}

[[nodiscard]] RecordBytes EncodeRecord(const PlayerRecord& record);

// Bytes from the file are input: any non-zero Boolean reads as true and a LastGameSlot
// outside 0..100 as 0, so a damaged record can never send a finished game out of the history.
[[nodiscard]] PlayerRecord DecodeRecord(std::span<const std::uint8_t, kRecordLength> bytes);

// The file calls a save makes, one at a time, so that the order that keeps a roster safe from a
// power cut (the new file on the disk before the rename, the folder after it) can be watched
// and any call made to fail. Each returns what its POSIX namesake returns, errno set on failure.
class FileCalls {
 public:
  FileCalls() = default;
  FileCalls(const FileCalls&) = delete;
  FileCalls& operator=(const FileCalls&) = delete;
  virtual ~FileCalls() = default;

  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t PWrite(int fd, const void* data, std::size_t count, off_t offset);
  virtual int FSync(int fd);
  virtual int Close(int fd);
  virtual int Rename(const char* from, const char* to);
  virtual int Unlink(const char* path);
};

// Record number (from 1) of the roster file at `file`. Reading creates a missing file empty
// (never through a link), and whatever lies at or past the end of the file reads as zero bytes.
// Both throw std::system_error when the file cannot be opened, read or written, and
// std::out_of_range for a record number below 1.
[[nodiscard]] RecordBytes ReadRecord(const std::filesystem::path& file, int recordNumber);
// Writing never cuts the file short and creates a missing one. The file is replaced whole: a
// copy with the new record is put on the disk beside it ("<file>.tmp") and renamed over it, so a
// killed game or a power cut leaves the old roster or the new one, never a mix. The copy keeps
// the old file's permissions. A file that cannot be read is never replaced, and a failed write
// leaves no copy behind.
void WriteRecord(const std::filesystem::path& file, int recordNumber, const RecordBytes& bytes);
void WriteRecord(const std::filesystem::path& file, int recordNumber, const RecordBytes& bytes,
                 FileCalls& calls);

// Replaces `file` through `temp` (in the same folder) with `head` followed by the bytes of the
// old file from `tailFrom` on, if it is that long; on the disk before the rename, as above.
// Throws std::system_error, leaving `file` as it was.
void RewriteRoster(const std::filesystem::path& file, const std::filesystem::path& temp,
                   std::span<const std::uint8_t> head, std::uintmax_t tailFrom);

}  // namespace strikora
