#pragma once

#include <string>

#include "platform/Platform.h"
#include "platform/Random.h"
#include "platform/sdl/IniSettingsStore.h"
#include "platform/sdl/OpenAlAudioDevice.h"
#include "platform/sdl/OpenAlContext.h"
#include "platform/sdl/OpenAlMusicPlayer.h"
#include "platform/sdl/SdlEventSource.h"
#include "platform/sdl/SystemClock.h"

namespace strikora::sdl {

// The real desktop: the game window and its keys (SDL), the sound device and the MP3 player
// (OpenAL Soft), the settings file and the computer's clock, wrapped in the sound trace.
// Everything opens in the constructor and closes in reverse order: the clips and music go
// before the sound device, the window goes last.
class SdlPlatform {
 public:
  // Throws PlatformError(DeviceUnavailable) when the window or the sound device cannot be
  // opened. With STRIKORA_TRACE set, the sound trace is appended to that file.
  explicit SdlPlatform(const std::string& windowTitle = "Strikora");
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  [[nodiscard]] Platform& GetPlatform() { return platform_; }
  [[nodiscard]] OpenAlContext& Sound() { return sound_; }
  [[nodiscard]] SdlEventSource& Window() { return events_; }

 private:
  SystemClock clock_;
  SdlEventSource events_;
  OpenAlContext sound_;
  OpenAlAudioDevice audio_;
  OpenAlMusicPlayer music_;
  IniSettingsStore settings_;
  ClockSeededRandom random_;
  Platform platform_;
};

// Says why the game cannot start: on standard error always, and in a message box when a desktop
// can show one. For when no SdlPlatform could be built.
void ShowStartupFailure(const std::string& text, const std::string& cause);

}  // namespace strikora::sdl
