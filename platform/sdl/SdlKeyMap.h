#pragma once

#include <optional>

#include "platform/EventSource.h"

namespace strikora::sdl {

// Turns one SDL key-down into the desktop virtual-key code and modifier mask the game's key
// tables are written in (letters upper-case, a modifier pressed alone a key of its own).
// scancode is an SDL_Scancode, keycode an SDL_Keycode, modifiers the SDL_Keymod state.
// Keys the game has no code for give nothing.
[[nodiscard]] std::optional<KeyEvent> MapSdlKey(int scancode, int keycode, int modifiers);

}  // namespace strikora::sdl
