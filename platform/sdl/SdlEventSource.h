#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/sdl/UniqueHandle.h"

struct SDL_Window;
union SDL_Event;

namespace strikora::sdl {

void QuitSdlVideo(bool started);
void DestroySdlWindow(SDL_Window* window);
using SdlVideo = UniqueHandle<bool, &QuitSdlVideo>;  // true while SDL's video is started
using SdlWindow = UniqueHandle<SDL_Window*, &DestroySdlWindow>;

// The game's one real window: its title is the active form's caption (screen readers speak
// it), its key presses become the game's key events. Everything runs on the game's thread.
class SdlEventSource final : public EventSource {
 public:
  // Throws PlatformError(DeviceUnavailable) when SDL or the window cannot be started.
  SdlEventSource(const Clock& clock, const std::string& title);
  ~SdlEventSource() override;
  SdlEventSource(const SdlEventSource&) = delete;
  SdlEventSource& operator=(const SdlEventSource&) = delete;

  [[nodiscard]] std::optional<KeyEvent> PollKey() override;
  // Blocks for 2 ms at most, less when a timer is due sooner (nextTimerDueMs is on clock's
  // monotonic scale); a key that arrives is kept for the next PollKey.
  void WaitForEvent(std::optional<std::int64_t> nextTimerDueMs,
                    std::optional<std::int64_t> quietUntilMs) override;
  void SetTitle(const std::string& title) override;
  // Also printed on standard error: a blind player cannot read a box.
  void ShowMessageBox(const std::string& text, const std::string& title) override;
  [[nodiscard]] bool IsKeyHeld(HeldKey key) const override;

  [[nodiscard]] std::string Title() const;

 private:
  void Take(const SDL_Event& event);
  void TakePending();

  const Clock& clock_;
  SdlVideo video_;
  SdlWindow window_;
  std::deque<KeyEvent> keys_;
};

}  // namespace strikora::sdl
