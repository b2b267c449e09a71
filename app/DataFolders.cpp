#include "app/DataFolders.h"

#include <cstdlib>
#include <system_error>

namespace strikora {
namespace {

std::optional<std::string> Env(const char* name) {
  const char* v = std::getenv(name);
  if (v == nullptr) return std::nullopt;
  return std::string(v);
}

}  // namespace

std::filesystem::path GetDataFolder(const std::optional<std::string>& allUsersProfile,
                                    const std::optional<std::string>& xdgDataHome,
                                    const std::optional<std::string>& home) {
  if (allUsersProfile && !allUsersProfile->empty()) {
    return std::filesystem::path(*allUsersProfile) / "Application Data" / "Strikora";
  }
  if (xdgDataHome && !xdgDataHome->empty()) {
    return std::filesystem::path(*xdgDataHome) / "strikora";
  }
  if (home && !home->empty()) {
    return std::filesystem::path(*home) / ".local" / "share" / "strikora";
  }
  // No home at all (a bare service account): keep the data beside the working folder.
  return std::filesystem::current_path() / "strikora-data";
}

std::filesystem::path GetDataFolder() {
  return GetDataFolder(Env("AllUsersProfile"), Env("XDG_DATA_HOME"), Env("HOME"));
}

std::filesystem::path FindPackFolder(const std::filesystem::path& programFolder) {
  const std::filesystem::path beside = programFolder / "sounds";
  const std::filesystem::path installed = programFolder / ".." / "share" / "strikora" / "sounds";
  std::error_code ec;
  if (std::filesystem::exists(beside / "numbers.des", ec)) return beside;
  if (std::filesystem::exists(installed / "numbers.des", ec)) {
    return installed.lexically_normal();
  }
  return beside;
}

std::filesystem::path ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path();
  return self.parent_path();
}

}  // namespace strikora
