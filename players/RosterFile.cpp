#include "players/RosterFile.h"

#include <cerrno>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace strikora {

namespace {

// The record, field by field. All integers are little-endian 16-bit; Booleans are 0xFFFF for
// true and 0x0000 for false.
constexpr std::size_t kFirstNameAt = 0;      // 12 single-byte characters
constexpr std::size_t kLastNameAt = 12;      // 12 single-byte characters
constexpr std::size_t kLefthandedAt = 24;    // Boolean
constexpr std::size_t kFemaleAt = 26;        // Boolean
constexpr std::size_t kScoreHistoryAt = 28;  // 1000 signed totals in HistoryIndex order
constexpr std::size_t kLastGameSlotAt = 2028;
constexpr std::size_t kFillerAt = 2030;  // 24 bytes, never read, written as zeros

static_assert(kScoreHistoryAt + 2 * std::size_t{kHistoryEntries} == kLastGameSlotAt);
static_assert(kFillerAt + 24 == kRecordLength);

constexpr std::uint16_t kTrue = 0xFFFF;
constexpr std::uint16_t kFalse = 0x0000;

void Put16(RecordBytes& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value & 0xFFU);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8U);
}

[[nodiscard]] std::uint16_t Get16(std::span<const std::uint8_t, kRecordLength> bytes,
                                  std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8U));
}

void PutName(RecordBytes& bytes, std::size_t at, const std::array<char, kNameLength>& name) {
  for (std::size_t i = 0; i < name.size(); ++i) bytes[at + i] = static_cast<std::uint8_t>(name[i]);
}

[[nodiscard]] std::array<char, kNameLength> GetName(
    std::span<const std::uint8_t, kRecordLength> bytes, std::size_t at) {
  std::array<char, kNameLength> name{};
  for (std::size_t i = 0; i < name.size(); ++i) name[i] = static_cast<char>(bytes[at + i]);
  return name;
}

[[nodiscard]] std::streamoff RecordOffset(int recordNumber) {
  if (recordNumber < 1) {
    throw std::out_of_range("roster record number " + std::to_string(recordNumber) + " is below 1");
  }
  return static_cast<std::streamoff>(recordNumber - 1) * static_cast<std::streamoff>(kRecordLength);
}

// Call straight after the failing operation, while errno still describes it.
[[nodiscard]] std::system_error FileError(const char* action, int recordNumber,
                                          const std::filesystem::path& file) {
  const int err = errno;
  const std::error_code code = err != 0 ? std::error_code(err, std::generic_category())
                                        : std::make_error_code(std::errc::io_error);
  return {code, std::string("cannot ") + action + " roster record " + std::to_string(recordNumber) +
                    " of " + file.string()};
}

// A first start has no roster yet: the first access makes an empty one, as the game always
// has. Append mode, so a file that appears meanwhile is never cut short.
void CreateIfMissing(const std::filesystem::path& file, int recordNumber, const char* action) {
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) return;
  errno = 0;
  const std::ofstream create(file, std::ios::binary | std::ios::app);
  if (!create) throw FileError(action, recordNumber, file);
}

}  // namespace

RecordBytes EncodeRecord(const PlayerRecord& record) {
  RecordBytes bytes{};  // the filler stays zero
  PutName(bytes, kFirstNameAt, record.FirstName);
  PutName(bytes, kLastNameAt, record.LastName);
  Put16(bytes, kLefthandedAt, record.Lefthanded ? kTrue : kFalse);
  Put16(bytes, kFemaleAt, record.Female ? kTrue : kFalse);
  for (std::size_t i = 0; i < record.ScoreHistory.size(); ++i) {
    Put16(bytes, kScoreHistoryAt + 2 * i, static_cast<std::uint16_t>(record.ScoreHistory[i]));
  }
  Put16(bytes, kLastGameSlotAt, static_cast<std::uint16_t>(record.LastGameSlot));
  return bytes;
}

PlayerRecord DecodeRecord(std::span<const std::uint8_t, kRecordLength> bytes) {
  PlayerRecord record;
  record.FirstName = GetName(bytes, kFirstNameAt);
  record.LastName = GetName(bytes, kLastNameAt);
  record.Lefthanded = Get16(bytes, kLefthandedAt) != kFalse;
  record.Female = Get16(bytes, kFemaleAt) != kFalse;
  for (std::size_t i = 0; i < record.ScoreHistory.size(); ++i) {
    record.ScoreHistory[i] = static_cast<std::int16_t>(Get16(bytes, kScoreHistoryAt + 2 * i));
  }
  const auto slot = static_cast<std::int16_t>(Get16(bytes, kLastGameSlotAt));
  record.LastGameSlot = (slot >= 0 && slot <= kHistorySlots) ? slot : std::int16_t{0};
  return record;
}

RecordBytes ReadRecord(const std::filesystem::path& file, int recordNumber) {
  const std::streamoff offset = RecordOffset(recordNumber);
  CreateIfMissing(file, recordNumber, "read");
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) {
    // A folder opens for reading on Linux and would pass for an empty roster.
    throw std::system_error(
        std::make_error_code(std::errc::is_a_directory),
        "cannot read roster record " + std::to_string(recordNumber) + " of " + file.string());
  }
  errno = 0;
  std::ifstream in(file, std::ios::binary);
  if (!in) throw FileError("read", recordNumber, file);
  RecordBytes bytes{};
  in.seekg(offset);
  if (!in) throw FileError("read", recordNumber, file);
  // A short read is the end of the file: the rest of the record stays zero.
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) throw FileError("read", recordNumber, file);
  return bytes;
}

void WriteRecord(const std::filesystem::path& file, int recordNumber, const RecordBytes& bytes) {
  const std::streamoff offset = RecordOffset(recordNumber);
  CreateIfMissing(file, recordNumber, "write");
  errno = 0;
  std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
  if (!out) throw FileError("write", recordNumber, file);
  out.seekp(offset);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.flush();
  if (!out) throw FileError("write", recordNumber, file);
  out.close();
  if (out.fail()) throw FileError("write", recordNumber, file);
}

}  // namespace strikora
