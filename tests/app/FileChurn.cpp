// Changes the roster or the settings file as fast as it can until it is killed, noting in a
// journal what each change is about to do, so that a test can kill it at any moment and then
// say which file contents are allowed.
//
//   file_churn roster FOLDER     saves, adds and deletes bowlers of FOLDER/players.qbx
//   file_churn settings FILE     saves a counter into the settings file FILE
//
// The journal (FOLDER/journal or FILE.journal) gets "ready" once the file is loaded, then for
// each change "op <kind> <before> <after>" before it starts and "done" once it has returned.
// Each line is one write() call: a killed process keeps every line it wrote.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "platform/sdl/IniSettingsStore.h"
#include "players/Roster.h"
#include "tests/app/RosterFingerprint.h"

namespace {

namespace fs = std::filesystem;
using strikora::testing::RosterFingerprint;

class Journal {
 public:
  explicit Journal(const fs::path& file)
      : fd_(open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644)) {}
  ~Journal() { close(fd_); }
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;
  void Line(const std::string& text) const {
    const std::string line = text + "\n";
    if (write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) _exit(3);
  }

 private:
  int fd_;
};

[[noreturn]] void ChurnRoster(const fs::path& folder) {
  strikora::Roster roster(folder / "players.qbx", folder, folder / "names");
  roster.LoadRoster();
  const Journal journal(folder / "journal");
  std::mt19937 random(static_cast<unsigned>(getpid()));
  journal.Line("ready");
  for (int n = 0;; ++n) {
    const std::string before = RosterFingerprint::Of(roster);
    const int count = roster.PlayerCount();
    const unsigned pick = random() % 3;
    // Never fewer than two bowlers and never more than twelve: an empty roster after a kill is
    // always a fault.
    if ((pick == 0 && count < 12) || count < 2) {
      strikora::Player& added = roster.AddPlayer();
      added.SetFirstName("fn" + std::to_string(n % 200 + 1) + ".wav");
      added.SetLastName(std::string(1, static_cast<char>('A' + n % 26)) + ".wav");
      journal.Line("op save " + before + " " + RosterFingerprint::Of(roster));
      added.Save(roster.PlayersFile(), roster.PlayerCount());
    } else if (pick == 1 || count <= 2) {
      const int index = static_cast<int>(random() % static_cast<unsigned>(count)) + 1;
      strikora::Player& bowler = roster.Players(index);
      bowler.ResetScore();
      bowler.AddScore(1, n % 11, 0);
      bowler.GameOver(static_cast<std::int16_t>(n % 2 + 1), static_cast<std::int16_t>(n % 5 + 1));
      journal.Line("op save " + before + " " + RosterFingerprint::Of(roster));
      bowler.Save(roster.PlayersFile(), index);
    } else {
      const int index = static_cast<int>(random() % static_cast<unsigned>(count)) + 1;
      journal.Line("op delete " + before + " " + RosterFingerprint::Of(roster, index));
      roster.DeletePlayer(static_cast<std::int16_t>(index));
    }
    journal.Line("done");
  }
}

[[noreturn]] void ChurnSettings(const fs::path& file) {
  strikora::sdl::IniSettingsStore store(file);
  const Journal journal(fs::path(file.string() + ".journal"));
  long counter = std::stol(store.GetSetting("KORVELDA", "Menu", "Counter", "0"));
  journal.Line("ready");
  for (;;) {
    const std::string before = std::to_string(counter);
    const std::string after = std::to_string(++counter);
    journal.Line("op save " + before + " " + after);
    store.SaveSetting("KORVELDA", "Menu", "Counter", after);
    journal.Line("done");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string mode = argv[1];
  if (mode == "roster") ChurnRoster(argv[2]);
  if (mode == "settings") ChurnSettings(argv[2]);
  return 2;
}
