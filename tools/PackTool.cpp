// strikora-pack: makes, lists and unpacks ".des" sound packs, so that players can bring their
// own recordings in place of the default voices.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "audio/SoundPack.h"
#include "tools/PackFile.h"

namespace {

namespace fs = std::filesystem;
using strikora::packfile::PackInput;

int Usage() {
  std::fputs(
      "usage:\n"
      "  strikora-pack create PACK FOLDER [--extra NAME=FILE]...\n"
      "      packs every file of FOLDER, sorted by name; --extra adds FILE under NAME\n"
      "      (the names pack carries --extra ../names.dat=PATH to the sounds folder)\n"
      "  strikora-pack list PACK\n"
      "  strikora-pack extract PACK FOLDER [--root DIR]\n"
      "      unpacks as the game does; entries may not land outside DIR (default FOLDER)\n",
      stderr);
  return 2;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "strikora-pack: %s\n", message.c_str());
  return 1;
}

int Create(const fs::path& pack, const fs::path& folder,
           const std::vector<std::string_view>& extras) {
  if (!fs::is_directory(folder)) return Fail(folder.string() + " is not a folder");
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files.push_back(entry.path());
    } else {
      // The game never makes sub-folders when it unpacks, so their files could not land.
      std::fprintf(stderr, "strikora-pack: skipping %s (not a file)\n", entry.path().c_str());
    }
  }
  std::sort(files.begin(), files.end(),
            [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
  std::vector<PackInput> entries;
  for (const auto& file : files) {
    entries.push_back({file.filename().string(), strikora::packfile::ReadWholeFile(file)});
  }
  for (const auto extra : extras) {
    const auto eq = extra.find('=');
    if (eq == std::string_view::npos || eq == 0 || eq + 1 == extra.size()) {
      return Fail("--extra wants NAME=FILE, not " + std::string(extra));
    }
    entries.push_back({strikora::packfile::ToPackName(extra.substr(0, eq)),
                       strikora::packfile::ReadWholeFile(fs::path(extra.substr(eq + 1)))});
  }
  strikora::packfile::WriteIfChanged(pack, strikora::packfile::BuildPack(entries));
  std::printf("%s: %zu files\n", pack.c_str(), entries.size());
  return 0;
}

int List(const fs::path& pack) {
  for (const auto& e : strikora::packfile::ListPack(pack)) {
    std::printf("%10d %10d  %s\n", e.Offset, e.Length, e.Name.c_str());
  }
  return 0;
}

int Extract(const fs::path& pack, const fs::path& folder, const fs::path& root) {
  if (!fs::exists(pack)) return Fail(pack.string() + " does not exist");
  std::string why;
  strikora::UnpackHost host;
  host.Explain = [&why](const std::string& text) { why = text; };
  const auto result = strikora::UnpackSoundPack(pack, folder, root, host);
  if (result != strikora::UnpackResult::Done) {
    return Fail("unpacking stopped: " + why + " (entries may not land outside " + root.string() +
                ", see --root)");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  try {
    if (args[0] == "create" && args.size() >= 3) {
      std::vector<std::string_view> extras;
      for (std::size_t i = 3; i < args.size(); ++i) {
        if (args[i] != "--extra" || i + 1 >= args.size()) return Usage();
        extras.push_back(args[++i]);
      }
      return Create(args[1], args[2], extras);
    }
    if (args[0] == "list" && args.size() == 2) return List(args[1]);
    if (args[0] == "extract" && (args.size() == 3 || args.size() == 5)) {
      fs::path root = args[2];
      if (args.size() == 5) {
        if (args[3] != "--root") return Usage();
        root = args[4];
      }
      return Extract(args[1], args[2], root);
    }
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  return Usage();
}
