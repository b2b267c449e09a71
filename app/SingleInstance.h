#pragma once

#include <filesystem>
#include <ostream>

namespace strikora {

// One copy of the game at a time per data folder: two copies would share the unpacked sounds
// (one copy's exit deletes them under the other) and the roster (a save by record number
// could overwrite a bowler the other copy has moved). The lock is an flock on
// "strikora.lock" in the data folder, held for the life of this object; the kernel releases it
// when the copy ends in any way, so a crashed or killed copy never blocks the next start.
class SingleInstance {
 public:
  // Makes the data folder when it is missing and takes the lock without waiting.
  explicit SingleInstance(const std::filesystem::path& dataFolder);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // False when another copy holds the lock. A folder where no lock file can be made (read-only,
  // or not a folder) does not stop the start: the game then says itself what it cannot do.
  [[nodiscard]] bool MayRun() const { return !anotherCopyRuns_; }
  // For the entry point: true to go on; false after saying on `err` that the game is already
  // running (the program then ends with status 1).
  [[nodiscard]] bool MayRun(std::ostream& err) const;

 private:
  std::filesystem::path file_;
  int fd_ = -1;
  bool anotherCopyRuns_ = false;
};

}  // namespace strikora
