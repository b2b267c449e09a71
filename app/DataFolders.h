#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace strikora {

// The data folder: "<AllUsersProfile>/Application Data/Strikora" when AllUsersProfile is set
// (the value used unchanged), otherwise "$XDG_DATA_HOME/strikora", by default
// "~/.local/share/strikora". Each argument is the environment variable's value, if set.
[[nodiscard]] std::filesystem::path GetDataFolder(const std::optional<std::string>& allUsersProfile,
                                                  const std::optional<std::string>& xdgDataHome,
                                                  const std::optional<std::string>& home);
// The same, read from the environment.
[[nodiscard]] std::filesystem::path GetDataFolder();

// Where the packs, silence.wav and logos.mp3 are: "sounds" beside the program, or for an
// installed program "../share/strikora/sounds" from it. Falls back to the first when neither
// holds a pack, so that the missing packs are reported under the expected name.
[[nodiscard]] std::filesystem::path FindPackFolder(const std::filesystem::path& programFolder);

// The folder of the running program.
[[nodiscard]] std::filesystem::path ProgramFolder();

}  // namespace strikora
