#include "audio/Folders.h"

#include <string>

namespace strikora {

Folders Folders::Make(const std::filesystem::path& dataFolder,
                      const std::filesystem::path& packFolder) {
  Folders f;
  f.DataFolder = dataFolder;
  f.PlayersFile = dataFolder / "players.qbx";
  f.SoundsFolder = dataFolder / "sounds";
  f.PackFolder = packFolder;
  f.AdvertsFolder = f.SoundsFolder / "adverts";
  f.AmbientFolder = f.SoundsFolder / "ambient";
  f.AnnounceFolder = f.SoundsFolder / "announce";
  f.MenuFolder = f.SoundsFolder / "menu";
  f.NamesFolder = f.SoundsFolder / "names";
  f.InitialsFolder = f.NamesFolder / "initials";
  f.NamesDatFile = f.SoundsFolder / "names.dat";
  f.NumbersFolder = f.SoundsFolder / "numbers";
  f.PlayFolder = f.SoundsFolder / "play";
  return f;
}

std::filesystem::path Clip(const std::filesystem::path& folder, std::string_view name) {
  std::string rel(name);
  for (char& c : rel) {
    if (c == '\\') c = '/';
  }
  while (!rel.empty() && rel.front() == '/') rel.erase(rel.begin());
  return folder / rel;
}

}  // namespace strikora
