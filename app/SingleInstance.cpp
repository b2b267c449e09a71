#include "app/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace strikora {

SingleInstance::SingleInstance(const std::filesystem::path& dataFolder)
    : file_(dataFolder / "strikora.lock") {
  std::error_code ec;
  std::filesystem::create_directories(dataFolder, ec);
  fd_ = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0) return;
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    anotherCopyRuns_ = errno == EWOULDBLOCK;
    // Any other refusal (a file system without locks) lets the game start, as it always has.
    ::close(fd_);
    fd_ = -1;
    return;
  }
}

SingleInstance::~SingleInstance() {
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
}

bool SingleInstance::MayRun(std::ostream& err) const {
  if (!anotherCopyRuns_) return true;
  err << "Strikora is already running: only one copy at a time can use the data folder "
      << file_.parent_path().string() << ".\n";
  err.flush();
  return false;
}

}  // namespace strikora
