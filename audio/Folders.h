#pragma once

#include <filesystem>
#include <string_view>

namespace strikora {

// Where the game keeps its files: the data folder (roster, error log, unpacked sound tree) and
// the pack folder beside the program. Set once at start-up.
struct Folders {
  std::filesystem::path DataFolder;
  std::filesystem::path PlayersFile;
  std::filesystem::path SoundsFolder;
  std::filesystem::path PackFolder;
  std::filesystem::path AdvertsFolder;
  std::filesystem::path AmbientFolder;
  std::filesystem::path AnnounceFolder;
  std::filesystem::path MenuFolder;
  std::filesystem::path NamesFolder;
  std::filesystem::path InitialsFolder;
  std::filesystem::path NamesDatFile;
  std::filesystem::path NumbersFolder;
  std::filesystem::path PlayFolder;

  [[nodiscard]] static Folders Make(const std::filesystem::path& dataFolder,
                                    const std::filesystem::path& packFolder);
};

// Joins a clip name as the game's tables write it ("\menu.wav", "..\names.dat") to a folder.
[[nodiscard]] std::filesystem::path Clip(const std::filesystem::path& folder,
                                         std::string_view name);

}  // namespace strikora
