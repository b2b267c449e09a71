#include "players/RosterFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

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
  const std::string what =
      recordNumber > 0 ? " roster record " + std::to_string(recordNumber) + " of " : " the roster ";
  return {code, std::string("cannot ") + action + what + file.string()};
}

// A first start has no roster yet: the first access makes an empty one, as the game always
// has. Appending, so a file that appears meanwhile is never cut short, and never through a
// link someone left at the roster's name: that would make a file wherever it points.
void CreateIfMissing(const std::filesystem::path& file, int recordNumber, const char* action) {
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) return;
  errno = 0;
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) throw FileError(action, recordNumber, file);
  ::close(fd);
}

// A file descriptor that closes itself, also when a constructor throws half-way.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  Fd& operator=(Fd&& other) noexcept {
    Reset(std::exchange(other.fd_, -1));
    return *this;
  }
  ~Fd() { Reset(-1); }
  [[nodiscard]] int Get() const { return fd_; }
  [[nodiscard]] int Release() { return std::exchange(fd_, -1); }

 private:
  void Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int fd_ = -1;
};

// The replacement of a roster file: a new file beside it, filled, put on the disk and renamed
// over the old one. Until Commit the old file is untouched; a failure removes the new one.
class NewFile {
 public:
  NewFile(std::filesystem::path file, std::filesystem::path temp, int recordNumber,
          FileCalls& calls)
      : calls_(calls), file_(std::move(file)), temp_(std::move(temp)), record_(recordNumber) {
    errno = 0;
    old_ = Fd(::open(file_.c_str(), O_RDONLY | O_CLOEXEC));
    if (old_.Get() < 0 && errno != ENOENT) Fail("read", file_);
    mode_t mode = 0666;
    if (old_.Get() >= 0) {
      struct stat st {};
      if (::fstat(old_.Get(), &st) != 0) Fail("read", file_);
      if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        Fail("read", file_);
      }
      mode = st.st_mode & 07777;
      oldSize_ = static_cast<std::uintmax_t>(st.st_size);
    }
    // The data folder may be shared by every user of the computer: whatever stands at the new
    // file's name (a copy a killed save left, or a link another user planted to have the roster
    // written over a file of theirs) is removed, and the new file made where nothing stands.
    // If something comes back in between, the save fails rather than write through it.
    (void)calls_.Unlink(temp_.c_str());
    errno = 0;
    new_ =
        Fd(calls_.Open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (new_.Get() < 0) Fail("write", temp_);
    // A roster shared by every user of the computer keeps its permissions.
    if (old_.Get() >= 0) (void)::fchmod(new_.Get(), mode);
  }
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;
  ~NewFile() {
    if (!committed_) (void)calls_.Unlink(temp_.c_str());
  }

  // Appends the old file's bytes from `from` on (nothing when it is shorter or missing) to what
  // the new file holds so far.
  void CopyFrom(std::uintmax_t from) {
    if (old_.Get() < 0 || from >= oldSize_) return;
    std::array<char, 65536> buffer{};
    auto at = static_cast<off_t>(from);
    for (;;) {
      const ssize_t got = ::pread(old_.Get(), buffer.data(), buffer.size(), at);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) Fail("read", file_);
      if (got == 0) return;
      WriteAll(buffer.data(), static_cast<std::size_t>(got), end_);
      at += got;
    }
  }

  void WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    WriteAll(reinterpret_cast<const char*>(bytes.data()), bytes.size(), static_cast<off_t>(offset));
  }

  // The new file on the disk, then in the old one's place, then the folder's entry on the disk:
  // only then can a power cut no longer bring back an empty or half-written roster.
  void Commit() {
    if (calls_.FSync(new_.Get()) != 0) Fail("write", temp_);
    if (calls_.Close(new_.Release()) != 0) Fail("write", temp_);
    if (calls_.Rename(temp_.c_str(), file_.c_str()) != 0) Fail("write", file_);
    committed_ = true;
    const std::filesystem::path folder =
        file_.has_parent_path() ? file_.parent_path() : std::filesystem::path(".");
    const int dir = calls_.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (dir >= 0) {
      (void)calls_.FSync(dir);  // some file systems cannot sync a folder; the rename is done
      (void)calls_.Close(dir);
    }
  }

 private:
  [[noreturn]] void Fail(const char* action, const std::filesystem::path& which) {
    throw FileError(action, record_, which);
  }

  void WriteAll(const char* data, std::size_t count, off_t offset) {
    while (count > 0) {
      const ssize_t put = calls_.PWrite(new_.Get(), data, count, offset);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        if (put == 0) errno = EIO;
        Fail("write", temp_);
      }
      data += put;
      count -= static_cast<std::size_t>(put);
      offset += put;
      end_ = std::max(end_, offset);
    }
  }

  FileCalls& calls_;
  std::filesystem::path file_;
  std::filesystem::path temp_;
  int record_;
  Fd old_;
  Fd new_;
  std::uintmax_t oldSize_ = 0;
  off_t end_ = 0;  // length of the new file so far
  bool committed_ = false;
};

}  // namespace

int FileCalls::Open(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}
ssize_t FileCalls::PWrite(int fd, const void* data, std::size_t count, off_t offset) {
  return ::pwrite(fd, data, count, offset);
}
int FileCalls::FSync(int fd) {
  return ::fsync(fd);
}
int FileCalls::Close(int fd) {
  return ::close(fd);
}
int FileCalls::Rename(const char* from, const char* to) {
  return ::rename(from, to);
}
int FileCalls::Unlink(const char* path) {
  return ::unlink(path);
}

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
  FileCalls calls;
  WriteRecord(file, recordNumber, bytes, calls);
}

void WriteRecord(const std::filesystem::path& file, int recordNumber, const RecordBytes& bytes,
                 FileCalls& calls) {
  const std::streamoff offset = RecordOffset(recordNumber);
  NewFile copy(file, std::filesystem::path(file.string() + ".tmp"), recordNumber, calls);
  copy.CopyFrom(0);
  // Past the end of the old file the write leaves a run of zero bytes: absent records.
  copy.WriteAt(static_cast<std::uint64_t>(offset), bytes);
  copy.Commit();
}

void RewriteRoster(const std::filesystem::path& file, const std::filesystem::path& temp,
                   std::span<const std::uint8_t> head, std::uintmax_t tailFrom) {
  FileCalls calls;
  NewFile rewrite(file, temp, 0, calls);
  rewrite.WriteAt(0, head);
  rewrite.CopyFrom(tailFrom);
  rewrite.Commit();
}

}  // namespace strikora
