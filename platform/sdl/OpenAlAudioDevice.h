#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/Audio.h"
#include "platform/sdl/OpenAlContext.h"

namespace strikora::sdl {

// Makes each clip one OpenAL buffer played by its own source, on the given context (the
// player's device, or a loopback device in tests). The context must outlive every clip.
class OpenAlAudioDevice final : public AudioDevice {
 public:
  explicit OpenAlAudioDevice(OpenAlContext& context) : context_(context) {}

  // Throws PlatformError: FileNotFound, BadFileFormat, AudioFailure.
  [[nodiscard]] std::unique_ptr<SoundBuffer> CreateSoundBufferFromFile(
      const std::filesystem::path& file, const std::string& slot) override;
  // What the mixer reports of its device's latency (ALC_SOFT_device_clock); 0 when it cannot.
  [[nodiscard]] std::int64_t OutputLatencyMs() const override;
  bool SetHeadphones(bool on) override { return context_.SetHrtf(on); }

 private:
  OpenAlContext& context_;
};

}  // namespace strikora::sdl
