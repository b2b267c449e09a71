#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
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
  // Sleeps until an event, the timer or the quiet time (clock's monotonic scale); a key that
  // arrives is kept for the next PollKey.
  void WaitForEvent(std::optional<std::int64_t> nextTimerDueMs,
                    std::optional<std::int64_t> quietUntilMs) override;
  void SetTitle(const std::string& title) override;
  // Also printed on standard error: a blind player cannot read a box.
  void ShowMessageBox(const std::string& text, const std::string& title) override;
  [[nodiscard]] bool IsKeyHeld(HeldKey key) const override;
  [[nodiscard]] bool QuitRequested() const override { return quit_; }

  [[nodiscard]] std::string Title() const;
  [[nodiscard]] SDL_Window* NativeWindow() const { return window_.get(); }
  // Told when the window was resized, uncovered or changed to or from full screen.
  void OnWindowChanged(std::function<void()> changed) { windowChanged_ = std::move(changed); }

 private:
  void Take(const SDL_Event& event);
  void TakePending();

  const Clock& clock_;
  SdlVideo video_;
  SdlWindow window_;
  std::deque<KeyEvent> keys_;
  bool quit_ = false;
  bool canBlock_ = false;  // the driver wakes a wait for input (not the dummy driver)
  std::function<void()> windowChanged_;
};

// While it lives, Ctrl+C and a terminal's SIGTERM or SIGHUP close the game window as the
// player's own close would, so the game ends the same way. Make it before any other thread
// starts: the signals are then taken by its thread alone.
class QuitOnSignals {
 public:
  QuitOnSignals();
  ~QuitOnSignals();
  QuitOnSignals(const QuitOnSignals&) = delete;
  QuitOnSignals& operator=(const QuitOnSignals&) = delete;

 private:
  struct Watcher;
  std::unique_ptr<Watcher> watcher_;
};

}  // namespace strikora::sdl
