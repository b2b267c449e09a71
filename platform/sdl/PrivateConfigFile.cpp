#include "platform/sdl/PrivateConfigFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

namespace strikora::sdl {
namespace {

// The runtime folder is used only when it is a real folder of this user that nobody else may
// write to, as the desktop session makes it.
bool IsOwnPrivateFolder(const char* folder) {
  struct stat st {};
  return folder != nullptr && *folder != '\0' && lstat(folder, &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == getuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = write(fd, text.data(), text.size());
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

PrivateConfigFile::PrivateConfigFile(std::string_view text) {
  std::error_code ec;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::filesystem::path base = IsOwnPrivateFolder(runtime)
                                         ? std::filesystem::path(runtime)
                                         : std::filesystem::temp_directory_path(ec);
  if (ec) return;
  // mkdtemp makes a folder of a new name, readable and writable by this user alone.
  std::string pattern = (base / "strikora-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return;
  folder_ = pattern;
  const std::filesystem::path file = folder_ / "openal.conf";
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  const bool written = fd >= 0 && WriteAll(fd, text);
  if (fd >= 0 && close(fd) != 0) return;
  if (written) file_ = file;
}

PrivateConfigFile::~PrivateConfigFile() {
  std::error_code ec;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
}

}  // namespace strikora::sdl
