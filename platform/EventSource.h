#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Keys.h"

namespace strikora {

struct KeyEvent {
  int KeyCode = 0;      // virtual-key code
  int Shift = 0;        // modifier mask
  bool Repeat = false;  // the key's own auto-repeat while it is held down
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
  // milliseconds at most, so that waits for clips and music notice their end at once, unless
  // the waiter knows that nothing it watches changes before quietUntilMs: then it may block
  // until then (an arriving key still ends the block at once).
  virtual void WaitForEvent(std::optional<std::int64_t> nextTimerDueMs,
                            std::optional<std::int64_t> quietUntilMs = std::nullopt) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void ShowMessageBox(const std::string& text, const std::string& title) = 0;
  [[nodiscard]] virtual bool IsKeyHeld(HeldKey key) const = 0;
};

}  // namespace strikora
