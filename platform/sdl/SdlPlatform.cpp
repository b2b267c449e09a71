#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

namespace strikora::sdl {

SdlPlatform::SdlPlatform(const std::string& windowTitle)
    : events_(clock_, windowTitle),
      sound_(OpenAlOutput::DefaultDevice),
      audio_(sound_),
      music_(sound_),
      settings_(IniSettingsStore::DefaultFile()),
      platform_(clock_, events_, audio_, music_, settings_, random_) {
  if (const char* trace = std::getenv("STRIKORA_TRACE"); trace != nullptr && *trace != '\0') {
    platform_.Trace.WriteTo(trace);
  }
}

void ShowStartupFailure(const std::string& text, const std::string& cause) {
  const EndOnSignalsWhileBoxOpen endOnSignals;
  std::fprintf(stderr, "%s\n%s\n", text.c_str(), cause.c_str());
  std::fflush(stderr);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Strikora", text.c_str(), nullptr);
}

}  // namespace strikora::sdl
