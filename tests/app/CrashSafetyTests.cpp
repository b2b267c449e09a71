// A game killed at any moment, hundreds of times, while it saves and deletes bowlers or saves
// its settings: every time, the files hold the state before the change or the state after it,
// whole, never a mix and never nothing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl/IniSettingsStore.h"
#include "players/Roster.h"
#include "tests/app/RosterFingerprint.h"
#include "tests/support/TempDir.h"

namespace strikora {
namespace {

namespace fs = std::filesystem;
using testing::RosterFingerprint;

std::vector<std::string> Lines(const fs::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// What the journal says of the change in flight when the churn was killed.
struct InFlight {
  std::string Kind;  // "" when no change had begun
  std::string Before, After;
  bool Done = false;
  std::string FirstBefore;  // where this run started
};

InFlight LastChange(const std::vector<std::string>& journal) {
  InFlight last;
  for (const std::string& line : journal) {
    if (line == "done") {
      last.Done = true;
    } else if (line.starts_with("op ")) {
      std::istringstream words(line.substr(3));
      const std::string first = last.Kind.empty() ? std::string() : last.FirstBefore;
      last = {};
      words >> last.Kind >> last.Before >> last.After;
      last.FirstBefore = first.empty() ? last.Before : first;
    }
  }
  return last;
}

// Starts the churn, lets it load its file, kills it after a random pause and returns its
// journal. Fails the test when the churn did not die of the kill.
std::vector<std::string> RunAndKill(const std::string& mode, const fs::path& target,
                                    const fs::path& journal, std::mt19937& random) {
  fs::remove(journal);
  const pid_t pid = fork();
  if (pid == 0) {
    execl(STRIKORA_FILE_CHURN, STRIKORA_FILE_CHURN, mode.c_str(), target.c_str(), nullptr);
    _exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (Lines(journal).empty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
      << "the churn ended on its own, status " << status;
  return Lines(journal);
}

TEST(CrashSafety, AKilledSaveOrDeletionLeavesTheOldRosterOrTheNewWhole) {
  strikora::testing::TempDir dir;
  const fs::path roster = dir.Path() / "players.qbx";
  const auto seed = static_cast<unsigned>(std::random_device{}());
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  {
    Roster start(roster, dir.Path(), dir.Path() / "names");
    for (int i = 1; i <= 3; ++i) {
      Player& p = start.AddPlayer();
      p.SetFirstName("fn" + std::to_string(i) + ".wav");
      p.Save(roster, i);
    }
  }
  auto Loaded = [&] {
    Roster r(roster, dir.Path(), dir.Path() / "names");
    r.LoadRoster();
    return RosterFingerprint::Of(r);
  };
  std::string state = Loaded();

  constexpr int kKills = 220;
  int inSave = 0, saveCopyOnDisk = 0, inDelete = 0, deleteTempOnDisk = 0, afterRename = 0;
  int betweenChanges = 0, checked = 0, whole = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    const InFlight change =
        LastChange(RunAndKill("roster", dir.Path(), dir.Path() / "journal", random));
    // What the kill interrupted, told from the journal and from what it left on the disk.
    if (change.Kind.empty() || change.Done) {
      ++betweenChanges;
    } else if (change.Kind == "save") {
      ++inSave;
      if (fs::exists(dir.Path() / "players.qbx.tmp")) ++saveCopyOnDisk;
    } else {
      ++inDelete;
      if (fs::exists(dir.Path() / "temp.qbx")) ++deleteTempOnDisk;
    }
    const std::string now = Loaded();
    ++checked;
    if (!change.Kind.empty()) {
      ASSERT_EQ(change.FirstBefore, state) << "the churn did not start from the roster on disk";
      if (!change.Done && now == change.After && now != change.Before) ++afterRename;
    }
    const bool ok = change.Kind.empty() ? now == state
                    : change.Done       ? now == change.After
                                        : now == change.Before || now == change.After;
    EXPECT_TRUE(ok) << "kill " << kill << ": roster " << now << ", before " << change.Before
                    << ", after " << change.After;
    EXPECT_FALSE(now.starts_with("0:")) << "kill " << kill << " left an empty roster";
    if (ok) ++whole;
    state = now;
  }
  std::cout << "roster: " << kKills << " kills: " << inSave << " in a save (" << saveCopyOnDisk
            << " with its new file on disk), " << inDelete << " in a deletion (" << deleteTempOnDisk
            << " with temp.qbx on disk), " << afterRename << " after the rename before the call "
            << "returned, " << betweenChanges << " between changes; " << checked
            << " rosters checked, " << whole << " whole\n";
  EXPECT_EQ(whole, kKills);
  EXPECT_GT(inSave, 0);
  EXPECT_GT(inDelete, 0);
}

TEST(CrashSafety, AKilledSettingsSaveLeavesTheOldSettingsOrTheNew) {
  strikora::testing::TempDir dir;
  const fs::path file = dir.Path() / "settings.ini";
  const auto seed = static_cast<unsigned>(std::random_device{}());
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  {
    sdl::IniSettingsStore store(file);
    for (int i = 0; i < 40; ++i) {
      store.SaveSetting("KORVELDA", "Other", "Key" + std::to_string(i),
                        std::string(20, 'a' + i % 26));
    }
    store.SaveSetting("KORVELDA", "Menu", "Counter", "0");
  }
  constexpr int kKills = 100;
  int whole = 0;
  std::string counter = "0";
  for (int kill = 0; kill < kKills; ++kill) {
    const InFlight change =
        LastChange(RunAndKill("settings", file, fs::path(file.string() + ".journal"), random));
    const sdl::IniSettingsStore store(file);
    const std::string now = store.GetSetting("KORVELDA", "Menu", "Counter", "missing");
    bool ok = change.Kind.empty() ? now == counter
              : change.Done       ? now == change.After
                                  : now == change.Before || now == change.After;
    for (int i = 0; i < 40; ++i) {
      ok = ok && store.GetSetting("KORVELDA", "Other", "Key" + std::to_string(i), "") ==
                     std::string(20, 'a' + i % 26);
    }
    EXPECT_TRUE(ok) << "kill " << kill << ": counter " << now;
    if (ok) ++whole;
    counter = now;
  }
  std::cout << "settings: " << kKills << " kills, " << whole << " settings files whole\n";
  EXPECT_EQ(whole, kKills);
}

}  // namespace
}  // namespace strikora
