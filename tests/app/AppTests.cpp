// Start-ups on the simulated desktop with the splash keys and with damaged files; the folders,
// the lock, the error log, and the roster of a game killed while it writes it.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <thread>

#include "app/DataFolders.h"
#include "app/SingleInstance.h"
#include "tests/support/AppWorld.h"
#include "tools/ClipList.h"

namespace strikora {
namespace {

namespace fs = std::filesystem;
using testing::AppWorld;
using testing::At;
using Bytes = std::string;

Bytes Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Until the main menu: each clip, MP3, speed, window and stopped slot, and what the music did.
std::string StartHeard(const AppWorld& w) {
  std::string out;
  for (const TraceEvent& e : w.sim.platform.Trace.Events()) {
    if (e.Kind == "focus" && e.Fields[0] == "Main Menu:") return out + "Main Menu:";
    const bool named = e.Kind == "play" || (e.Kind == "mp3" && !e.Fields[1].empty());
    if (e.Kind != "key") out += fs::path(e.Fields[named ? 1 : 0]).filename().string() + " ";
  }
  return out;
}

TEST(Startup, ToTheMainMenuWithTheSplashKeysAndWithDamagedFiles) {
  AppWorld w;
  w.sim.world.SetLocalTime({2005, 4, 3, 9, 5, 0});
  testing::WriteTestPacks(w.tree.F);
  w.AddBowlers(2);
  const Bytes two = Read(w.tree.F.PlayersFile);
  const fs::path data = w.dir / "profile", roster = data / "players.qbx";
  std::string start = "silence.wav Welcome to Strikora ";
  for (int i = 0; i < 9; ++i) start += "silence.wav ";
  start += "logos.mp3 1 run end stop themesng.mp3 1 intro1a.wav ";
  std::vector<testing::KeyAt> upDown = {At("silence", vk::PageUp, 5, 10),
                                        At("silence", vk::Enter, 10, 1500),
                                        At("intro1a", vk::Enter, 1, 800)};
  for (int i = 0; i < 20; ++i)
    upDown.push_back(At("intro1a", i < 10 ? vk::PageUp : vk::PageDown, 1, 500 + 10 * i));
  const auto greeting =
      testing::Keys(At("intro1a", vk::Up, 1, 100), At("intro1a", vk::Escape, 1, 200));
  // Song: heard from the greeting on. Bowlers: read, and kept. A roster that cannot be read or
  // written is never written; a read-only data folder is told in a box, and the game ends.
  enum Kind { kNone, kRosterIsAFolder, kReadOnly, kFullDisk };
  const struct {
    const char* Name;
    Bytes Roster;
    Kind Trouble;
    int Bowlers;
    std::string Logged = "";
    const char* Pack = "";  // replaced by Contents
    Bytes Contents = "";
    const std::vector<testing::KeyAt>* Keys = nullptr;
    const char* Song = nullptr;
  } cases[] = {
      {"keys while the packs unpack change nothing; up to 225, down to 0, Enter ends the song", two,
       kNone, 2, "", "", "", &upDown,
       "run 1.25 1.5 1.75 2 2.25 2.25 2.25 2.25 2.25 2.25 2 1.75 1.5 1.25 1 0.75 0.5 0.25 0 0 "},
      {"Up changes nothing, Escape in the greeting: no song", two, kNone, 2, "", "", "", &greeting,
       "AnnouncerBuffer "},
      {"a roster of 2053 bytes", two.substr(0, 2053), kNone, 1, "2053 bytes, not a whole number"},
      {"a name of garbage", "\x01/../\xff*?\x7f:ab" + two.substr(12), kNone, 2,
       "bowler 1 of the roster has a name that is not a clip name"},
      {"a roster that is a folder", "", kRosterIsAFolder, 0, "[LoadRoster]"},
      {"an empty pack: recorded with the buzzer, no box; the later packs unpack", two, kNone, 2,
       "\"QBX-ErrCode 321 - 3/4/2005 - 9:5 [" + (w.tree.F.PackFolder / "adverts.des").string() +
           "]\"\r\n\"sound pack not unpacked whole, before its directory: the file is too short "
           "to be a pack. The files unpacked before it are kept.\"\r\n\" \"\r\n",
       "adverts.des"},
      {"a read-only data folder", two, kReadOnly, 0},
      {"a full disk", two, kFullDisk, 2, "File too large"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    fs::remove_all(data);
    fs::create_directories(data);
    if (!c.Roster.empty()) std::ofstream(roster, std::ios::binary) << c.Roster;
    if (c.Trouble == kRosterIsAFolder) fs::create_directories(roster / "keep");
    if (*c.Pack != 0) std::ofstream(w.tree.F.PackFolder / c.Pack, std::ios::binary) << c.Contents;
    // A folder used before, then made read-only; root writes anywhere, so its child is nobody.
    const bool root = geteuid() == 0, readOnly = c.Trouble == kReadOnly;
    if (readOnly) {
      fs::create_directories(data / "sounds");
      fs::permissions(w.dir.Path(), fs::perms::owner_all | fs::perms::others_exec);
      if (!root) fs::permissions(data, fs::perms::owner_read | fs::perms::owner_exec);
    }
    const pid_t pid = fork();
    if (pid == 0) {  // the child checks, and tells by its status whether all held
      const auto* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
      const int failuresBefore = result->total_part_count();
      const rlimit limit{4096, 4096};  // less than a clip or the roster with one more bowler
      std::signal(SIGXFSZ, SIG_IGN);
      if (readOnly && root && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(9);
      if (c.Trouble == kFullDisk && setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(9);
      [&]() noexcept {  // a start that throws or stalls aborts the child
        if (c.Keys != nullptr) w.Script(*c.Keys);
        w.sim.world.PressKeyAfter(10 * 60 * 1000, vk::Escape);
        const bool refused = c.Trouble != kNone, box = readOnly;
        EXPECT_EQ(w.Boot(data, w.tree.F.PackFolder), box ? 1 : 0);
        if (c.Song != nullptr) {
          EXPECT_EQ(StartHeard(w), start + c.Song + "stop logos.mp3 1 menu.wav Main Menu:");
          EXPECT_EQ(w.app->Players().FirstNameCount(), voiceset::FirstNames().size());
        }
        EXPECT_EQ(w.sim.world.MessageBoxes().size(), box ? 1U : 0U);
        const std::string log = Read(data / "qbxerr.log");
        EXPECT_NE(log.find(c.Logged), std::string::npos) << log;
        EXPECT_EQ(w.HeardFrom("play/buzzer.wav").empty(), c.Logged.empty());
        EXPECT_EQ(fs::exists(data / "sounds/names/initials/A.wav"), !box && c.Trouble != kFullDisk);
        Roster& bowlers = w.app->Players();
        EXPECT_EQ(bowlers.PlayerCount(), c.Bowlers);
        try {  // a new bowler, saved as the new-player wizard saves one
          bowlers.AddPlayer().Save(roster, bowlers.PlayerCount());
          EXPECT_FALSE(refused);
        } catch (const std::exception&) {
          EXPECT_TRUE(refused);
        }
        // Every byte of the roster is still there, and the new bowler behind it unless refused.
        const Bytes after = c.Roster.empty() ? "" : Read(roster);
        EXPECT_EQ(after.substr(0, c.Roster.size()), c.Roster);
        EXPECT_EQ(after.size(), refused ? c.Roster.size() : 2054U * (c.Bowlers + 1));
      }();
      _exit(result->total_part_count() > failuresBefore ? 1 : 0);
    }
    int status = -1;
    (void)waitpid(pid, &status, 0);
    fs::permissions(data, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    if (*c.Pack != 0) testing::WriteTestPacks(w.tree.F);
  }
}

TEST(Folders, TheDataFolderFromTheEnvironmentAndItsLockNeverThroughALink) {
  EXPECT_EQ(GetDataFolder("/srv/all", "/x", "/home/p"), "/srv/all/Application Data/Strikora");
  EXPECT_EQ(GetDataFolder(std::nullopt, "/x/data", "/home/p"), "/x/data/strikora");
  EXPECT_EQ(GetDataFolder("", "", "/home/p"), "/home/p/.local/share/strikora");
  testing::TempDir dir;
  const fs::path data = dir / "new" / "Strikora";  // made on the way
  fs::create_directories(data);
  std::ofstream(dir / "victim") << "keep";
  fs::create_symlink(dir / "victim", data / "strikora.lock");
  const SingleInstance copy(data);
  EXPECT_TRUE(copy.MayRun());
  EXPECT_FALSE(SingleInstance(data).MayRun());  // the lock still holds
  EXPECT_FALSE(fs::is_symlink(data / "strikora.lock"));
  EXPECT_EQ(Read(dir / "victim"), "keep");
}

TEST(ErrorLog, AMissingBuzzerIsRecordedOnceAndNotChased) {
  AppWorld w;
  fs::remove(w.tree.F.PlayFolder / "buzzer.wav");
  w.app->Log().LogError("gone", {-5, ""});
  EXPECT_EQ(w.Count("error"), 2);  // the fault and the buzzer's own
  EXPECT_NE(Read(w.app->Log().File()).find("\"QBX-ErrCode -5 - "), std::string::npos);
}

// The roster's bowlers but `skip`, as one word.
std::string Word(const Roster& r, int skip = 0) {
  std::string bytes;
  for (int i = 1; i <= r.PlayerCount(); ++i) {
    const RecordBytes record = EncodeRecord(r.Players(i).Record());
    if (i != skip) bytes.append(record.begin(), record.end());
  }
  return std::to_string(std::hash<std::string>{}(bytes));
}

TEST(CrashSafety, AKilledSaveOrDeletionLeavesTheRosterOldOrNewWhole) {
  testing::TempDir dir;
  const auto seed = static_cast<unsigned>(std::random_device{}());
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::string before, after;  // what the last change may have left
  bool cut = false;
  int interrupted[2] = {};  // saves, deletions
  for (int kill = 0;; ++kill) {
    Roster roster(dir / "players.qbx", dir.Path(), dir / "names");  // as the next start loads it
    roster.LoadRoster();
    const std::string now = Word(roster);
    EXPECT_TRUE(kill == 0 || now == after || (cut && now == before))
        << "kill " << kill << ": " << now << ", before " << before << ", after " << after;
    if (kill == 300) break;

    // The next change, written by a child killed at random; two bowlers at least: none is a fault.
    const int bowlers = roster.PlayerCount(), kind = bowlers < 3 ? 0 : random() % 2;
    const int index = static_cast<int>(random() % static_cast<unsigned>(std::max(bowlers, 1))) + 1;
    std::function<void()> change;
    if (kind == 0) {  // a new bowler, or one saved again with a new name
      const int at = bowlers < 2 || (bowlers < 12 && random() % 2 == 0) ? bowlers + 1 : index;
      Player& bowler = at > bowlers ? roster.AddPlayer() : roster.Players(at);
      bowler.SetFirstName("fn" + std::to_string(kill % 200 + 1) + ".wav");
      after = Word(roster);
      change = [&bowler, &roster, at] { bowler.Save(roster.PlayersFile(), at); };
    } else {
      after = Word(roster, index);
      change = [&roster, index] { roster.DeletePlayer(static_cast<std::int16_t>(index)); };
    }
    before = now;
    const pid_t pid = fork();
    if (pid == 0) {
      [&]() noexcept { change(); }();  // a failure aborts the child
      _exit(0);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
    ::kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    cut = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    ASSERT_TRUE(cut || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << "status " << status;
    interrupted[kind] += cut ? 1 : 0;
  }
  for (const int n : interrupted) EXPECT_GT(n, 0);
}

}  // namespace
}  // namespace strikora
