#pragma once

#include <memory>
#include <span>

#include "platform/sdl/AlHandles.h"
#include "platform/sdl/PanLaw.h"
#include "platform/sdl/PrivateConfigFile.h"

namespace strikora::sdl {

enum class OpenAlOutput {
  DefaultDevice,  // the player's sound device, asked for a short mixing period
  Loopback,       // mixes into memory only when Render asks: tests and measurements
};

// One OpenAL output and its context, made current for the whole program: every clip and the
// music are made on it and must be gone before it goes. One exists at a time.
class OpenAlContext {
 public:
  // Throws PlatformError(DeviceUnavailable) when the device cannot be opened.
  explicit OpenAlContext(OpenAlOutput output, int loopbackSampleRate = 44100);
  ~OpenAlContext();
  OpenAlContext(const OpenAlContext&) = delete;
  OpenAlContext& operator=(const OpenAlContext&) = delete;

  // Loopback only: mixes the next interleaved stereo frames (left, right) into out.
  void Render(std::span<float> out);
  [[nodiscard]] bool IsLoopback() const { return output_ == OpenAlOutput::Loopback; }
  // Output frames per second.
  [[nodiscard]] int SampleRate() const;
  // How long a sound takes from the mix to the speakers, in milliseconds; 0 if unknown.
  [[nodiscard]] double DeviceLatencyMs() const;
  [[nodiscard]] const PanLaw& Pans() const { return pans_; }
  // Asks for head-related (3D) rendering on headphones, or plain stereo again. Answers whether
  // 3D is now heard: a device or library without head-related data stays in stereo.
  bool SetHrtf(bool on);
  [[nodiscard]] bool Hrtf() const { return hrtf_; }

 private:
  OpenAlOutput output_;
  int loopbackRate_;
  bool hrtf_ = false;
  std::unique_ptr<PrivateConfigFile> config_;  // until the device has read it
  PanLaw pans_;
  struct Device;  // the OpenAL device and context, kept out of this header
  std::unique_ptr<Device> device_;
};

}  // namespace strikora::sdl
