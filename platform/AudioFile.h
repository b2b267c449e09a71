#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace strikora {

// What a WAV or MP3 file holds, read from its header.
struct AudioFileInfo {
  std::int64_t Frames = 0;
  int SampleRate = 0;
  int Channels = 0;
  int BytesPerSample = 2;  // of the source PCM; MP3 counts as 16-bit

  [[nodiscard]] std::int64_t ByteLength() const { return Frames * Channels * BytesPerSample; }
  [[nodiscard]] double Seconds() const {
    return SampleRate > 0 ? static_cast<double>(Frames) / SampleRate : 0.0;
  }
};

// Throws PlatformError: FileNotFound when the file is absent, BadFileFormat when it is not audio.
[[nodiscard]] AudioFileInfo ReadAudioInfo(const std::filesystem::path& file);

struct DecodedAudio {
  AudioFileInfo Info;
  std::vector<std::int16_t> Samples;  // interleaved
};
[[nodiscard]] DecodedAudio DecodeAudioFile(const std::filesystem::path& file);

// When a clip is missing under its exact name, a file in the same folder whose name matches
// but for case is used (packs made on Windows name files freely). Returns the path to open.
[[nodiscard]] std::filesystem::path ResolveClipPath(const std::filesystem::path& file);

}  // namespace strikora
