// What the real game costs while it waits for the player, against the floor that mixing sound
// costs at all: a bare program that loops the same menu music on the same OpenAL output and
// does nothing else. Both run as separate processes and are read from /proc over the same span.
//   idle_cpu            the main menu, idle after its prompt has ended
//   idle_cpu --bare F   (internal) loop the clip F and sleep until told to stop
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "Figures.h"
#include "audio/SoundPack.h"
#include "platform/sdl/OpenAlAudioDevice.h"
#include "platform/sdl/OpenAlContext.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kSeconds = 10;
constexpr double kGameThreadTarget = 0.5;  // per cent of one core
constexpr double kProcessOverBare = 1.3;

// CPU time of one thread, from the scheduler's own count (nanoseconds), in ms.
double ThreadCpuMs(pid_t pid, const std::string& tid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/task/" + tid + "/schedstat");
  double ns = 0;
  in >> ns;
  return ns / 1e6;
}

struct Usage {
  double ProcessMs = 0;  // every thread: the game's and the mixer's
  double MainMs = 0;     // the main thread: the game's waits
  long MainSleeps = 0;   // voluntary context switches of the main thread: its wake-ups
};

Usage Read(pid_t pid) {
  Usage u;
  const fs::path tasks = "/proc/" + std::to_string(pid) + "/task";
  std::error_code ec;
  for (const auto& task : fs::directory_iterator(tasks, ec)) {
    u.ProcessMs += ThreadCpuMs(pid, task.path().filename().string());
  }
  u.MainMs = ThreadCpuMs(pid, std::to_string(pid));
  std::ifstream status(tasks / std::to_string(pid) / "status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("voluntary_ctxt_switches:")) {
      u.MainSleeps = std::stol(line.substr(line.find(':') + 1));
    }
  }
  return u;
}

struct Share {
  double Process = 0, Main = 0, WakeupsPerSecond = 0;
};

// Both programs over the same span, so that whatever else the machine does weighs on both.
std::pair<Share, Share> MeasureSideBySide(pid_t first, pid_t second) {
  const Usage a0 = Read(first), b0 = Read(second);
  const auto start = Clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(kSeconds));
  const Usage a1 = Read(first), b1 = Read(second);
  const double wall = strikora::bench::MsSince(start);
  auto share = [wall](const Usage& from, const Usage& to) {
    return Share{100.0 * (to.ProcessMs - from.ProcessMs) / wall,
                 100.0 * (to.MainMs - from.MainMs) / wall,
                 static_cast<double>(to.MainSleeps - from.MainSleeps) * 1000.0 / wall};
  };
  return {share(a0, a1), share(b0, b1)};
}

pid_t Spawn(const std::vector<std::string>& args) {
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

int Stop(pid_t pid) {
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Print(const char* who, const Share& s) {
  std::printf("  %-34s process %5.2f %%  main thread %5.2f %%  main thread wakes %6.1f/s\n", who,
              s.Process, s.Main, s.WakeupsPerSecond);
}

int Bare(const char* clip) {
  strikora::sdl::OpenAlContext context(strikora::sdl::OpenAlOutput::DefaultDevice);
  strikora::sdl::OpenAlAudioDevice device(context);
  auto menu = device.CreateSoundBufferFromFile(clip, "BackgroundBuffer");
  menu->SetVolume(-500);
  menu->Play(strikora::PlayMode::Looping);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  int sig = 0;
  sigwait(&stop, &sig);
  return 0;
}

int Run(const std::string& self) {
  const strikora::testing::TempDir dir;
  // The bare loop plays the very menu music the game plays, from the default packs.
  const fs::path menuFolder = dir.Path() / "menu";
  if (strikora::UnpackSoundPack(fs::path(STRIKORA_DEFAULT_PACKS) / "menu.des", menuFolder,
                                dir.Path(), {}) != strikora::UnpackResult::Done) {
    std::fprintf(stderr, "cannot unpack menu.des\n");
    return 2;
  }

  setenv("AllUsersProfile", (dir.Path() / "profile").c_str(), 1);
  const fs::path trace = dir.Path() / "trace.tsv";
  setenv("STRIKORA_TRACE", trace.c_str(), 1);
  fs::create_directories(dir.Path() / "profile");
  const pid_t game = Spawn({STRIKORA_GAME});
  // Idle means after the menu item has been spoken: wait for it, then for it to end.
  const auto deadline = Clock::now() + std::chrono::seconds(120);
  while (ReadAll(trace).find("lgb.wav") == std::string::npos && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  const pid_t bare = Spawn({self, "--bare", (menuFolder / "menu.wav").string()});
  std::this_thread::sleep_for(std::chrono::seconds(4));
  const auto [menu, floor] = MeasureSideBySide(game, bare);
  const int gameStatus = Stop(game);
  Stop(bare);

  std::printf("Idle for %d s, menu music looping:\n", kSeconds);
  Print("the game, idle in the main menu:", menu);
  Print("a bare OpenAL loop of menu.wav:", floor);
  strikora::bench::PrintVerdict("target game thread under 0.5 % of one core",
                                menu.Main < kGameThreadTarget);
  strikora::bench::PrintVerdict("target whole process within 1.3 times the bare loop",
                                menu.Process <= kProcessOverBare * floor.Process);
  if (gameStatus != 0) std::fprintf(stderr, "the game ended with status %d\n", gameStatus);
  return gameStatus == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 3 && std::string(argv[1]) == "--bare") return Bare(argv[2]);
    return Run(fs::absolute(argv[0]).string());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "strikora_bench_idle_cpu: %s\n", e.what());
    return 2;
  }
}
