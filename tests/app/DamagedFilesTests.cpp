// Damaged files and folders at start-up, as a player would meet them: the game reaches the main
// menu or says clearly what it cannot do, logs, keeps every bowler it could read, and never
// writes over a roster it could not read. Each start runs in a child process, so that a test
// can take the child's write permission away or fill its disk without touching the others.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/Application.h"
#include "platform/Keys.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/TestSoundTree.h"
#include "tools/PackFile.h"

namespace strikora {
namespace {

namespace fs = std::filesystem;
using Bytes = std::string;

Bytes Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& file, const Bytes& bytes) {
  fs::remove(file);  // a pack may be a link to the staged one
  std::ofstream(file, std::ios::binary) << bytes;
}

Bytes Bowler(const std::string& first, const std::string& last) {
  Bytes r(2054, '\0');
  for (std::size_t i = 0; i < 12; ++i) {
    r[i] = i < first.size() ? first[i] : ' ';
    r[12 + i] = i < last.size() ? last[i] : ' ';
  }
  r[28] = 120;  // one game of 120
  r[2028] = 1;
  return r;
}

// What a child saw of its start-up.
struct Outcome {
  int Status = -1;  // what Run returned; -2 when the run stalled, -3 on an exception
  bool MainMenu = false;
  int Bowlers = -1;
  bool SaveRefused = false;
  std::vector<std::string> Boxes;
};

class DamagedStart : public ::testing::Test {
 protected:
  DamagedStart() : staged(dir.Path() / "staged") { testing::WriteTestPacks(staged.F); }

  [[nodiscard]] fs::path Data() const { return dir.Path() / "profile" / "Strikora"; }
  [[nodiscard]] fs::path Roster() const { return Data() / "players.qbx"; }
  [[nodiscard]] fs::path Packs() const { return dir.Path() / "packs"; }
  [[nodiscard]] std::string Log() const { return Read(Data() / "qbxerr.log"); }

  // A fresh data folder, holding `roster` when it is not empty, and a fresh copy of the packs.
  void Fresh(const Bytes& roster) {
    fs::remove_all(dir.Path() / "profile");
    fs::create_directories(Data());
    if (!roster.empty()) Write(Roster(), roster);
    fs::remove_all(Packs());
    fs::copy(staged.F.PackFolder, Packs(),
             fs::copy_options::create_hard_links | fs::copy_options::recursive);
  }

  // Starts the game to the main menu and out with Escape in a child that first runs `setUp`.
  // Afterwards the child adds a bowler and saves it as the new-player wizard does.
  Outcome Start(const std::function<void()>& setUp = {}) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) throw std::runtime_error("no pipe");
    const pid_t pid = fork();
    if (pid == 0) {
      close(pipeFds[0]);
      if (setUp) setUp();
      std::ostringstream report;
      try {
        sim::SimPlatform sim;
        sim.world.PressKeyAfter(10 * 60 * 1000, vk::Escape);
        Application game(sim.platform, Data(), Packs());
        report << "status " << game.Run() << "\n";
        for (const TraceEvent& e : sim.platform.Trace.Events()) {
          if (e.Kind == "focus" && e.Fields.at(0) == "Main Menu:") report << "menu\n";
        }
        report << "bowlers " << game.Players().PlayerCount() << "\n";
        for (const std::string& box : sim.world.MessageBoxes()) report << "box " << box << "\n";
        try {
          Player& added = game.Players().AddPlayer();
          added.SetFirstName("fn9.wav");
          added.SetLastName("Z.wav");
          added.Save(game.Players().PlayersFile(), game.Players().PlayerCount());
        } catch (const std::exception&) {
          report << "refused\n";
        }
      } catch (const sim::SimStalled& e) {
        report << "status -2\n";
      } catch (const std::exception& e) {
        report << "status -3\n";
      }
      const std::string text = report.str();
      (void)!write(pipeFds[1], text.data(), text.size());
      _exit(0);
    }
    close(pipeFds[1]);
    std::string text;
    char chunk[4096];
    for (ssize_t n; (n = read(pipeFds[0], chunk, sizeof chunk)) > 0;) text.append(chunk, n);
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child died: " << status;

    Outcome o;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      if (line.starts_with("status ")) o.Status = std::stoi(line.substr(7));
      if (line == "menu") o.MainMenu = true;
      if (line.starts_with("bowlers ")) o.Bowlers = std::stoi(line.substr(8));
      if (line.starts_with("box ")) o.Boxes.push_back(line.substr(4));
      if (line == "refused") o.SaveRefused = true;
    }
    return o;
  }

  testing::TempDir dir;
  testing::TestSoundTree staged;
};

TEST_F(DamagedStart, RosterFiles) {
  const Bytes good = Bowler("fn2.wav", "B.wav");
  Bytes cut = good;
  cut.pop_back();
  struct Case {
    const char* Name;
    Bytes File;
    int Bowlers;
    const char* Logged;
  };
  const std::vector<Case> cases = {
      // A lone byte reads as a record whose fields are zeros: a bowler with no clip name.
      {"1 byte", "f", 1, "1 bytes, not a whole number"},
      {"2053 bytes", cut, 1, "2053 bytes, not a whole number"},
      {"2055 bytes", good + "x", 2, "2055 bytes, not a whole number"},
      {"a name of garbage", Bowler("\x01/../\xff*?\x7f:ab", "K.wav") + good, 2,
       "bowler 1 of the roster has a name that is not a clip name"},
      // A roster that cannot be read at all: no bowler, and it is never written over.
      {"a folder", "", 0, "LoadRoster"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Fresh(c.File);
    if (c.File.empty()) fs::create_directories(Roster() / "keep");
    const Outcome o = Start();
    EXPECT_EQ(o.Status, 0);
    EXPECT_TRUE(o.MainMenu);
    EXPECT_EQ(o.Bowlers, c.Bowlers);
    EXPECT_NE(Log().find(c.Logged), std::string::npos) << Log();
    if (c.File.empty()) {
      EXPECT_TRUE(o.SaveRefused);
      EXPECT_TRUE(fs::is_directory(Roster() / "keep"));
    } else {
      // The new bowler went behind the others; every byte that was there is still there.
      EXPECT_FALSE(o.SaveRefused);
      EXPECT_EQ(Read(Roster()).substr(0, c.File.size()), c.File);
      EXPECT_EQ(fs::file_size(Roster()), 2054U * (c.Bowlers + 1));
    }
  }
}

TEST_F(DamagedStart, SoundPacks) {
  const Bytes roster = Bowler("fn1.wav", "A.wav") + Bowler("fn2.wav", "B.wav");
  const auto menuPack = [this](std::size_t psaoBytes) {
    std::vector<packfile::PackInput> entries;
    for (const auto& e : fs::directory_iterator(staged.F.MenuFolder)) {
      auto bytes = packfile::ReadWholeFile(e.path());
      if (e.path().filename() == "psao.wav") bytes.resize(psaoBytes);
      entries.push_back({e.path().filename().string(), bytes});
    }
    const auto pack = packfile::BuildPack(entries);
    return Bytes(pack.begin(), pack.end());
  };
  // A directory whose second record holds a name of 300 characters, running over its own
  // record into the next ones.
  const Bytes longName = Bytes("\0\0\0\0\x0c\0\0\0\0\0\0\0", 12) + "a.wav" + Bytes(51, '\0') +
                         Bytes("\x0c\0\0\0\x01\0\0\0", 8) + Bytes(300, 'n') + Bytes(64, '\0');
  // An entry that claims 2 GB of a small pack.
  const Bytes huge = Bytes("\0\0\0\0\x0c\0\0\0\0\0\0\0", 12) + "big.wav" + Bytes(49, '\0') +
                     Bytes("\x0c\0\0\0\xff\xff\xff\x7f", 8) + Bytes(64, '\0');
  const auto climbing = packfile::BuildPack({{"..\\..\\players.qbx", {'x'}}});
  const Bytes climbs(climbing.begin(), climbing.end());
  struct Case {
    const char* Name;
    const char* Pack;
    Bytes Contents;
    std::vector<std::string> Boxes;
    const char* Logged;
  };
  const std::vector<Case> cases = {
      {"a WAV cut inside its header", "menu.des", menuPack(30), {}, "psao.wav"},
      {"a WAV cut inside its sound", "menu.des", menuPack(1000), {}, ""},
      {"an empty pack", "menu.des", "", {"0"}, "too short to be a pack"},
      {"a name of 300 characters", "adverts.des", longName, {"5"}, "with no terminator"},
      {"an entry of 2 GB", "adverts.des", huge, {"7"}, "claims bytes outside the pack"},
      {"an entry that climbs to the roster",
       "stdnames.des",
       climbs,
       {"17"},
       "would land outside the sound tree"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Fresh(roster);
    Write(Packs() / c.Pack, c.Contents);
    const Outcome o = Start();
    EXPECT_EQ(o.Status, 0);
    EXPECT_TRUE(o.MainMenu);
    EXPECT_EQ(o.Boxes, c.Boxes);
    EXPECT_NE(Log().find(c.Logged), std::string::npos) << Log();
    EXPECT_EQ(o.Bowlers, 2);
    EXPECT_EQ(Read(Roster()).substr(0, roster.size()), roster);
  }
}

TEST_F(DamagedStart, Folders) {
  Bytes roster;
  for (int i = 1; i <= 10; ++i) roster += Bowler("fn" + std::to_string(i) + ".wav", "A.wav");
  const bool root = geteuid() == 0;
  struct Case {
    const char* Name;
    std::function<void()> Prepare;  // in the test, before the start
    std::function<void()> InChild;  // in the child, before the start
    int Status;
    std::size_t Boxes;
    const char* BoxSays;
    bool SaveRefused;
    const char* Logged;
  };
  const fs::path data = Data();
  const std::vector<Case> cases = {
      {"no silence.wav",
       [this] { fs::remove(Packs() / "silence.wav"); },
       {},
       0,
       0,
       "",
       false,
       "silence.wav"},
      // Root writes anywhere whatever the permission bits say: the child then runs as nobody.
      {"a read-only data folder",
       [&] {
         fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_read |
                                         fs::perms::group_exec | fs::perms::others_read |
                                         fs::perms::others_exec);
         if (!root) fs::permissions(data, fs::perms::owner_read | fs::perms::owner_exec);
       },
       [root] {
         if (root && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(9);
       },
       1, 1, "cannot write to its data folder", true, nullptr},
      // A full disk: every file stops growing at 16 KiB, which is less than a clip or the roster.
      {"a full disk",
       {},
       [] {
         std::signal(SIGXFSZ, SIG_IGN);
         const rlimit limit{16 * 1024, 16 * 1024};
         if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(9);
       },
       0,
       8,
       "",
       true,
       "File too large"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Fresh(roster);
    if (c.Prepare) c.Prepare();
    const Outcome o = Start(c.InChild);
    fs::permissions(data, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(o.Status, c.Status);
    EXPECT_EQ(o.MainMenu, c.Status == 0);
    ASSERT_EQ(o.Boxes.size(), c.Boxes);
    if (c.Boxes == 1) {
      EXPECT_NE(o.Boxes[0].find(c.BoxSays), std::string::npos) << o.Boxes[0];
    }
    EXPECT_EQ(o.SaveRefused, c.SaveRefused);
    if (c.Logged != nullptr) {
      EXPECT_NE(Log().find(c.Logged), std::string::npos) << Log();
    }
    // Every bowler read, and not one byte of the roster lost, saved or not.
    if (c.Status == 0) {
      EXPECT_EQ(o.Bowlers, 10);
    }
    const Bytes after = Read(Roster());
    EXPECT_EQ(after.substr(0, roster.size()), roster);
    EXPECT_EQ(after.size(), roster.size() + (c.SaveRefused ? 0 : 2054));
  }
}

}  // namespace
}  // namespace strikora
