#include "audio/Mp3Music.h"

#include <cmath>
#include <exception>
#include <optional>

namespace strikora {

bool Mp3Music::TerminateEngine() {
  try {
    if (platform_.Music.IsLoaded()) platform_.Music.Stop();
    platform_.Music.Unload();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool Mp3Music::LoadMP3(const std::filesystem::path& file) {
  if (!TerminateEngine()) return false;
  try {
    platform_.Music.Load(file);
    platform_.Music.SetVolume(0);
    platform_.Music.SetBalance(0);
    platform_.Music.SetRate(1.0);
    platform_.Music.SetCurrentPosition(0);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool Mp3Music::PlayMP3(bool noWait) {
  try {
    platform_.Music.Run();
    if (!noWait) WaitForMP3();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool Mp3Music::SetPlayBackSpeed(float rate) {
  try {
    if (platform_.Music.IsLoaded()) platform_.Music.SetRate(static_cast<double>(rate));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void Mp3Music::WaitForMP3() {
  MusicPlayer& music = platform_.Music;
  platform_.Windows.WaitUntil(
      [&] { return !music.IsLoaded() || music.CurrentPosition() >= music.Duration(); },
      [&]() -> std::optional<std::int64_t> {
        // Paused (rate 0), only a speed key can bring the end nearer.
        const double rate = music.GetRate();
        if (rate <= 0) return std::nullopt;
        return static_cast<std::int64_t>(
            std::ceil((music.Duration() - music.CurrentPosition()) / rate * 1000.0));
      },
      "the music to reach its end");
}

}  // namespace strikora
