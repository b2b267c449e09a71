#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Keys.h"

namespace strikora {

struct KeyEvent {
  int KeyCode = 0;  // virtual-key code
  int Shift = 0;    // modifier mask
};

// What a backend gives the window system: key events, the window title, the message box and
// the held state of the hook keys.
class EventSource {
 public:
  virtual ~EventSource() = default;
  // The next pending key, without blocking.
  [[nodiscard]] virtual std::optional<KeyEvent> PollKey() = 0;
  // Blocks until a key may be pending or, at the latest, until nextTimerDueMs on the
  // monotonic clock (none: no timer is armed). A real window blocks for a couple of
  // milliseconds at most, so that waits for clips notice their end at once.
  virtual void WaitForEvent(std::optional<std::int64_t> nextTimerDueMs) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void ShowMessageBox(const std::string& text, const std::string& title) = 0;
  [[nodiscard]] virtual bool IsKeyHeld(HeldKey key) const = 0;
};

}  // namespace strikora
