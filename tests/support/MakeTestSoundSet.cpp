// Writes a whole sound set for the real program with every clip of the clip list short and
// silent, so that an end-to-end run bowls a game in seconds:
//   strikora-test-soundset OUT CLIP-MS MP3-MS SILENCE-MS
// The eight packs, silence.wav and logos.mp3 land in OUT/packs.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "tests/support/TestSoundTree.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s OUT CLIP-MS MP3-MS SILENCE-MS\n", argv[0]);
    return 2;
  }
  try {
    const strikora::testing::TestSoundTree tree(argv[1], std::atoi(argv[2]), std::atoi(argv[3]),
                                                std::atoi(argv[4]));
    strikora::testing::WriteTestPacks(tree.F);
    std::printf("%s\n", tree.F.PackFolder.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
