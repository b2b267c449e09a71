#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/Folders.h"
#include "tests/support/TempDir.h"

namespace strikora::testing {

// Writes a mono 16-bit WAV of the given length (silent samples; the simulated desktop only
// reads its header). channels 2 for a stereo clip.
void WriteWav(const std::filesystem::path& file, int milliseconds, int channels = 1,
              int sampleRate = 22050);

// A stand-in sound tree made from the clip list: every clip the game can play, short and
// silent, in its folder; silence.wav is 100 ms and the MP3s are WAV data under their MP3 names
// (the simulated player reads lengths from headers, whatever the format).
struct TestSoundTree {
  // Builds the tree under root: root/data/sounds/... and root/packs/ (silence.wav, logos.mp3).
  explicit TestSoundTree(const std::filesystem::path& root, int clipMs = 400, int mp3Ms = 3000,
                         int silenceMs = 100);
  Folders F;
};

// Packs the stand-in tree's folders into the eight ".des" packs in F.PackFolder, as the
// default set is packed (the names pack carries "..\names.dat"). For start-up tests, which
// unpack them into a fresh data folder.
void WriteTestPacks(const Folders& staged);

}  // namespace strikora::testing
