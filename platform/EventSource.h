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
  // Blocks until an event may be pending (a key, the window closing) or, at the latest, until
  // nextTimerDueMs or quietUntilMs on the monotonic clock, whichever comes first. A waiter
  // whose condition only a handler can change passes no quietUntilMs: the block then lasts
  // until the next event or timer. One waiting for a clip or the music passes when it ends.
  virtual void WaitForEvent(std::optional<std::int64_t> nextTimerDueMs,
                            std::optional<std::int64_t> quietUntilMs = std::nullopt) = 0;
  // The player closed the game window (or ended the program from its terminal).
  [[nodiscard]] virtual bool QuitRequested() const { return false; }
  virtual void SetTitle(const std::string& title) = 0;
  virtual void ShowMessageBox(const std::string& text, const std::string& title) = 0;
  [[nodiscard]] virtual bool IsKeyHeld(HeldKey key) const = 0;
};

}  // namespace strikora
