#pragma once

#include <filesystem>
#include <string_view>

namespace strikora::sdl {

// A small file the game hands to a library by name (OpenAL's configuration), written where no
// other user of the computer can plant a link or a file of their own: a fresh folder that only
// this player can enter, made inside $XDG_RUNTIME_DIR when that folder is the player's own, else
// inside the temporary folder. The file and its folder go when this does.
class PrivateConfigFile {
 public:
  // Empty (File() is empty) when no such place can be made; nothing is left behind then.
  explicit PrivateConfigFile(std::string_view text);
  ~PrivateConfigFile();
  PrivateConfigFile(const PrivateConfigFile&) = delete;
  PrivateConfigFile& operator=(const PrivateConfigFile&) = delete;

  [[nodiscard]] const std::filesystem::path& File() const { return file_; }

 private:
  std::filesystem::path folder_;
  std::filesystem::path file_;
};

}  // namespace strikora::sdl
