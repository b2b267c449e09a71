#pragma once

#include <filesystem>
#include <vector>

#include "tools/voicegen/Dsp.h"

namespace strikora::voicegen {

enum class FileFormat { Wav16, Mp3 };

// Writes a clip: WAV as 16-bit PCM, MP3 at a constant bit rate, both at kRate.
// Throws std::runtime_error when libsndfile cannot write it.
void WriteSoundFile(const std::filesystem::path& file, const Audio& audio, FileFormat format);

// Reads any file libsndfile knows back into samples (tests and checks).
[[nodiscard]] Audio ReadSoundFile(const std::filesystem::path& file, int* sampleRate = nullptr);

// The same for a file's bytes already in memory, such as one entry of a pack. Throws
// std::runtime_error when libsndfile cannot read them.
[[nodiscard]] Audio DecodeSound(const std::vector<char>& bytes, int* sampleRate = nullptr);

}  // namespace strikora::voicegen
