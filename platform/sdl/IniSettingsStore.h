#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "platform/SettingsStore.h"

namespace strikora::sdl {

// The game's settings in one small text file, one section per application and section:
//
//   [Strikora/Options]
//   PlayMethod=2
//
// The section name is the application, a slash, then the section. Keys and values are
// written with \xHH for the characters that would read back otherwise (backslash, slash,
// brackets, =, ; and #, line breaks, spaces at either end). Reading never fails: a missing
// file is empty and lines that make no sense are skipped. Saving rewrites the whole file
// through a temporary one and a rename, so a crash leaves the old file or the new, never half.
class IniSettingsStore final : public SettingsStore {
 public:
  // The disk calls a save makes that no read-back can see; a test replaces them to hear that
  // the new file reaches the disk before it takes the old one's place.
  struct DiskCalls {
    std::function<int(int fd)> Sync;  // empty: fsync
  };
  explicit IniSettingsStore(std::filesystem::path file, DiskCalls disk = {});
  // $XDG_CONFIG_HOME/strikora/settings.ini, or ~/.config/strikora/settings.ini.
  [[nodiscard]] static std::filesystem::path DefaultFile();

  [[nodiscard]] std::string GetSetting(const std::string& app, const std::string& section,
                                       const std::string& key,
                                       const std::string& fallback) const override;
  // Throws PlatformError(FileAccess) when the file cannot be written.
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override;

  [[nodiscard]] const std::filesystem::path& File() const { return file_; }

 private:
  using Values = std::map<std::tuple<std::string, std::string, std::string>, std::string>;
  [[nodiscard]] Values Read() const;
  void Write(const Values& values) const;

  std::filesystem::path file_;
  DiskCalls disk_;
};

}  // namespace strikora::sdl
