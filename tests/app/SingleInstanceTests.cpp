// One copy of the game at a time per data folder, and a copy that dies never blocks the next.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "app/SingleInstance.h"
#include "tests/support/TempDir.h"

namespace strikora {
namespace {

TEST(SingleInstance, ASecondCopyIsRefusedUntilTheFirstEndsInAnyWay) {
  testing::TempDir dir;
  const std::filesystem::path data = dir.Path() / "new" / "Strikora";  // made on the way
  {
    const SingleInstance first(data);
    EXPECT_TRUE(first.MayRun());
    const SingleInstance second(data);
    std::ostringstream err;
    EXPECT_FALSE(second.MayRun(err));
    EXPECT_NE(err.str().find("already running"), std::string::npos) << err.str();
  }
  EXPECT_TRUE(SingleInstance(data).MayRun());

  // A copy killed outright: the system lets go of its lock.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    const SingleInstance held(data);
    (void)!write(ready[1], held.MayRun() ? "y" : "n", 1);
    pause();
    _exit(0);
  }
  char answer = 0;
  ASSERT_EQ(read(ready[0], &answer, 1), 1);
  EXPECT_EQ(answer, 'y');
  EXPECT_FALSE(SingleInstance(data).MayRun());
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  EXPECT_TRUE(SingleInstance(data).MayRun());

  // Where no lock file can be made the game still starts, and says itself what is wrong.
  std::ofstream(dir.Path() / "plain") << "a file, not a folder";
  EXPECT_TRUE(SingleInstance(dir.Path() / "plain" / "Strikora").MayRun());
}

}  // namespace
}  // namespace strikora
