#include "platform/sdl/IniSettingsStore.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <system_error>

#include "platform/PlatformError.h"

namespace strikora::sdl {
namespace {

bool NeedsEscape(std::string_view text, std::size_t i) {
  const unsigned char c = static_cast<unsigned char>(text[i]);
  if (c < 0x20 || c == 0x7f) return true;
  if (std::string_view("\\/[]=;#").find(static_cast<char>(c)) != std::string_view::npos) {
    return true;
  }
  return c == ' ' && (i == 0 || i + 1 == text.size());
}

std::string Escape(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (NeedsEscape(text, i)) {
      const unsigned char c = static_cast<unsigned char>(text[i]);
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += text[i];
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
      const int hi = HexDigit(text[i + 2]);
      const int lo = HexDigit(text[i + 3]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 3;
        continue;
      }
    }
    out += text[i];  // a stray backslash written by hand stays as it is
  }
  return out;
}

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

// A save that was killed leaves its temporary file ("settings.ini.tmp<pid>") behind. Those of
// copies of the game no longer running are cleared away; one still being written is left alone.
void RemoveStaleTemporaries(const std::filesystem::path& file) {
  const std::string prefix = file.filename().string() + ".tmp";
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string digits = name.substr(prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
    const long pid = digits.size() <= 9 ? std::strtol(digits.c_str(), nullptr, 10) : 0;
    const bool running =
        pid > 0 && pid != getpid() && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
    if (running) continue;
    std::error_code ignored;
    std::filesystem::remove(entry.path(), ignored);
  }
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::filesystem::path file, DiskCalls disk)
    : file_(std::move(file)), disk_(std::move(disk)) {}

std::filesystem::path IniSettingsStore::DefaultFile() {
  std::filesystem::path base;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config) {
    base = config;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home) {
    base = std::filesystem::path(home) / ".config";
  } else {
    base = ".config";
  }
  return base / "strikora" / "settings.ini";
}

IniSettingsStore::Values IniSettingsStore::Read() const {
  Values values;
  // Settings take a few hundred bytes; a file that goes on (a huge one, or a link to a device
  // that never ends) is read no further than this, so it can neither fill the memory nor hang.
  constexpr std::size_t kMaxBytes = std::size_t{1} << 20;
  std::string text;
  {
    std::ifstream file(file_, std::ios::binary);
    std::array<char, 4096> chunk{};
    while (file && text.size() < kMaxBytes) {
      file.read(chunk.data(),
                static_cast<std::streamsize>(std::min(chunk.size(), kMaxBytes - text.size())));
      text.append(chunk.data(), static_cast<std::size_t>(file.gcount()));
    }
  }
  std::istringstream in(text);
  std::string line;
  std::optional<std::pair<std::string, std::string>> section;
  while (std::getline(in, line)) {
    const std::string_view text = Trim(line);
    if (text.empty() || text.front() == ';' || text.front() == '#') continue;
    if (text.front() == '[') {
      section.reset();
      if (text.back() != ']') continue;
      const std::string_view name = text.substr(1, text.size() - 2);
      const auto slash = name.find('/');
      if (slash == std::string_view::npos) continue;  // not one of ours: skip its keys too
      section.emplace(Unescape(Trim(name.substr(0, slash))),
                      Unescape(Trim(name.substr(slash + 1))));
      continue;
    }
    const auto equals = text.find('=');
    if (!section || equals == std::string_view::npos || equals == 0) continue;
    values[{section->first, section->second, Unescape(Trim(text.substr(0, equals)))}] =
        Unescape(Trim(text.substr(equals + 1)));
  }
  return values;
}

void IniSettingsStore::Write(const Values& values) const {
  std::ostringstream text;
  std::optional<std::pair<std::string, std::string>> heading;
  for (const auto& [where, value] : values) {
    const auto& [app, section, key] = where;
    if (!heading || heading->first != app || heading->second != section) {
      if (heading) text << '\n';
      heading.emplace(app, section);
      text << '[' << Escape(app) << '/' << Escape(section) << "]\n";
    }
    text << Escape(key) << '=' << Escape(value) << '\n';
  }
  const std::string content = text.str();

  const auto fail = [&](const std::string& why) {
    throw PlatformError(ErrorCode::FileAccess,
                        "Cannot save the settings in " + file_.string() + ": " + why);
  };
  std::error_code ec;
  if (file_.has_parent_path()) std::filesystem::create_directories(file_.parent_path(), ec);
  if (ec) fail(ec.message());
  RemoveStaleTemporaries(file_);
  const std::filesystem::path temp = file_.string() + ".tmp" + std::to_string(getpid());
  const auto sync = [this](int fd) { return disk_.Sync ? disk_.Sync(fd) : fsync(fd); };
  // Made afresh, never through a link left at its name.
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  std::FILE* out = fd >= 0 ? fdopen(fd, "wb") : nullptr;
  if (out == nullptr) {
    if (fd >= 0) close(fd);
    fail("cannot create " + temp.string());
  }
  const bool written = std::fwrite(content.data(), 1, content.size(), out) == content.size() &&
                       std::fflush(out) == 0 && sync(fileno(out)) == 0;
  const bool closed = std::fclose(out) == 0;
  if (!written || !closed) {
    std::filesystem::remove(temp, ec);
    fail("writing failed");
  }
  std::filesystem::rename(temp, file_, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    fail(ec.message());
  }
  // The rename itself reaches the disk only with its folder: until then a power cut could
  // bring back the old file, but never a cut one.
  const std::filesystem::path folder = file_.has_parent_path() ? file_.parent_path() : ".";
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)sync(dir);
    close(dir);
  }
}

std::string IniSettingsStore::GetSetting(const std::string& app, const std::string& section,
                                         const std::string& key,
                                         const std::string& fallback) const {
  const Values values = Read();
  const auto it = values.find({app, section, key});
  return it == values.end() ? fallback : it->second;
}

void IniSettingsStore::SaveSetting(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& value) {
  // Read afresh: another copy of the game may have saved since.
  Values values = Read();
  values[{app, section, key}] = value;
  Write(values);
}

}  // namespace strikora::sdl
