#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "audio/Folders.h"
#include "tests/support/TempDir.h"

namespace strikora::testing {

// Writes a silent 16-bit WAV of the given length (the simulated desktop reads only its header).
void WriteWav(const std::filesystem::path& file, int milliseconds, int channels = 1,
              int sampleRate = 22050);

// Every clip of the clip list, short and silent, in its folder; the MP3s are WAV data under
// their names (the simulated player reads lengths from headers, whatever the format).
struct TestSoundTree {
  // root/data/sounds/... and root/packs/ (silence.wav, logos.mp3).
  explicit TestSoundTree(const std::filesystem::path& root, int clipMs = 400, int mp3Ms = 3000,
                         int silenceMs = 100);
  Folders F;
};

// Packs the stand-in tree's folders into the eight ".des" packs in F.PackFolder, as the
// default set is packed (the names pack carries "..\names.dat"), for start-up tests.
void WriteTestPacks(const Folders& staged);

}  // namespace strikora::testing
