#pragma once

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/Application.h"
#include "platform/Keys.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/TestSoundTree.h"

namespace strikora::testing {

// Clips as Heard() names them, from words: "wyfn initials/A #1" is wyfn.wav, initials/A.wav, #1.
inline std::vector<std::string> Said(const std::string& words) {
  std::vector<std::string> out;
  std::istringstream in(words);
  for (std::string word; in >> word;) out.push_back(word[0] == '#' ? word : word + ".wav");
  return out;
}

struct KeyAt {
  std::string Clip;
  int Key, Shift = 0;
  std::int64_t DelayMs = 0;
  int Occurrence = 1;
};
// `key` once the n-th play of `clip` ("initials/a", as Said() names it) began, after delayMs.
inline KeyAt At(const std::string& clip, int key, int occurrence = 1, std::int64_t delayMs = 450,
                int shift = 0) {
  return {"/" + clip + ".wav", key, shift, delayMs, occurrence};
}
template <typename... K>
std::vector<KeyAt> Keys(K... keys) {
  return {keys...};
}

// The game over a stand-in sound tree as start-up leaves it at the main menu; Start() restarts.
struct AppWorld {
  AppWorld() { Start(); }

  void Start() {
    app.emplace(sim.platform, tree.F.DataFolder, tree.F.PackFolder);
    app->Players().CatalogueFirstNames();
    app->Players().LoadRoster();
    app->Engine().StartMenuMusic();
  }
  void Script(const std::vector<KeyAt>& keys) {
    for (const KeyAt& k : keys)
      sim.world.PressKeyWhenClipStarts(k.Clip, k.Key, k.Shift, k.DelayMs, k.Occurrence);
  }
  // The real start-up instead, from `packs` (WriteTestPacks) into `data`; the program's status.
  int Boot(const std::filesystem::path& data, const std::filesystem::path& packs) {
    sim.platform.Trace.Clear();
    app.emplace(sim.platform, data, packs);
    return app->Run();
  }
  // The main menu as start-up shows it, until the script leaves through its exit item.
  void RunMainMenu() {
    try {
      app->MainMenu().Show(ShowMode::Modal);
    } catch (const ProgramEnded&) {
    }
  }
  // Writes bowlers into the roster file and loads it: first names "fn<k>.wav", initials A on.
  void AddBowlers(int count, int firstName = 1) {
    const int start = app->Players().PlayerCount();
    for (int i = 0; i < count; ++i) {
      Player p;
      p.SetFirstName("fn" + std::to_string(firstName + i) + ".wav");
      p.SetLastName(std::string(1, static_cast<char>('A' + (start + i) % 26)) + ".wav");
      p.Save(tree.F.PlayersFile, start + i + 1);
    }
    app->Players().LoadRoster();
  }

  // What the player heard, in order: menu clips by name, numbers as "#n" whatever the voice,
  // other clips as "folder/name" (so a first name shows where it was taken from).
  [[nodiscard]] std::vector<std::string> Heard() const {
    std::vector<std::string> out;
    for (const TraceEvent& e : sim.platform.Trace.Events()) {
      const std::filesystem::path file(e.Kind == "play" ? e.Fields[1] : "");
      if (e.Kind != "play" || e.Fields[0] == "BackgroundBuffer" || file.filename() == "silence.wav")
        continue;
      const std::string folder = file.parent_path().filename().string(), name = file.filename();
      std::string stem = file.stem().string();
      if (stem.back() == 'f' || stem.back() == 'p') stem.pop_back();  // a number's voice
      out.push_back(folder == "numbers" ? "#" + stem
                                        : (folder == "menu" ? "" : folder + "/") + name);
    }
    return out;
  }
  [[nodiscard]] std::vector<std::string> HeardFrom(const std::string& clip) const {
    std::vector<std::string> all = Heard();
    return {std::find(all.begin(), all.end(), clip), all.end()};
  }
  [[nodiscard]] int Count(const std::string& kind) const {
    return static_cast<int>(
        std::ranges::count(sim.platform.Trace.Events(), kind, &TraceEvent::Kind));
  }

  TempDir dir;
  TestSoundTree tree{dir.Path()};
  sim::SimPlatform sim;
  std::optional<Application> app;
};

}  // namespace strikora::testing
