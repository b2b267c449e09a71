// A whole sound set of short silent clips, so that an end-to-end run bowls a game in seconds:
//   strikora-test-soundset OUT CLIP-MS MP3-MS SILENCE-MS
#include <cstdio>
#include <cstdlib>

#include "tests/support/TestSoundTree.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  const strikora::testing::TestSoundTree tree(argv[1], std::atoi(argv[2]), std::atoi(argv[3]),
                                              std::atoi(argv[4]));
  strikora::testing::WriteTestPacks(tree.F);  // a failure ends the program with its reason
  std::printf("%s\n", tree.F.PackFolder.c_str());
}
