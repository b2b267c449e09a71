// The real desktop's tests run without a sound card or a display: OpenAL's null output and
// SDL's dummy drivers, unless the caller asked for others.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("ALSOFT_DRIVERS", "null", 0);
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
