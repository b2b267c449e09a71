#include "app/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace strikora {
namespace {

// Never through a link: in a data folder other users can write (the all-users setting), a link
// planted at the lock's name must not make the game create or open a file elsewhere. A link
// there is never a lock of ours, so it is removed and the lock made afresh.
int OpenLockFile(const std::filesystem::path& file) {
  constexpr int kFlags = O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  int fd = ::open(file.c_str(), kFlags, 0666);
  if (fd < 0 && errno == ELOOP && ::unlink(file.c_str()) == 0) {
    fd = ::open(file.c_str(), kFlags, 0666);
  }
  struct stat st {};
  if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    ::close(fd);  // a fifo or a device planted there is no lock either
    return -1;
  }
  return fd;
}

}  // namespace

SingleInstance::SingleInstance(const std::filesystem::path& dataFolder)
    : file_(dataFolder / "strikora.lock") {
  std::error_code ec;
  std::filesystem::create_directories(dataFolder, ec);
  fd_ = OpenLockFile(file_);
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
