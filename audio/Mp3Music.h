#pragma once

#include <filesystem>

#include "platform/Platform.h"

namespace strikora {

// The longer music: the logo jingle, the theme song, the sponsor adverts and the closing piece,
// one loaded at a time. Every operation reports success as its result and never shows a thing.
class Mp3Music {
 public:
  explicit Mp3Music(Platform& platform) : platform_(platform) {}

  [[nodiscard]] bool TerminateEngine();
  // Ready to run from the start at normal speed.
  bool LoadMP3(const std::filesystem::path& file);
  // With noWait false, returns when the music has reached its end.
  bool PlayMP3(bool noWait);
  // rate 1.0 is normal speed; 0 pauses. True also when nothing is loaded.
  bool SetPlayBackSpeed(float rate);
  // Returns when the music has reached its end; at once when nothing is loaded.
  void WaitForMP3();

  // The speed the keys chose, in percent; callers turn it into a rate.
  float MP3Speed = 100.0f;

 private:
  Platform& platform_;
};

}  // namespace strikora
