#include "platform/sdl/SdlKeyMap.h"

#include <SDL_keyboard.h>

namespace strikora::sdl {
namespace {

// The keypad as the desktop reports it: digits while Num Lock is on, the cursor keys
// printed beneath them while it is off.
std::optional<int> KeypadKey(int scancode, bool numLock) {
  struct Pad {
    int Scancode;
    int Digit;   // with Num Lock
    int Cursor;  // without
  };
  static constexpr Pad kPad[] = {
      {SDL_SCANCODE_KP_0, 96, 45},
      {SDL_SCANCODE_KP_1, 97, vk::End},
      {SDL_SCANCODE_KP_2, 98, vk::Down},
      {SDL_SCANCODE_KP_3, 99, vk::PageDown},
      {SDL_SCANCODE_KP_4, 100, vk::Left},
      {SDL_SCANCODE_KP_5, 101, 12},
      {SDL_SCANCODE_KP_6, 102, vk::Right},
      {SDL_SCANCODE_KP_7, 103, vk::Home},
      {SDL_SCANCODE_KP_8, 104, vk::Up},
      {SDL_SCANCODE_KP_9, 105, vk::PageUp},
      {SDL_SCANCODE_KP_PERIOD, 110, vk::Delete},
  };
  for (const Pad& p : kPad) {
    if (p.Scancode == scancode) return numLock ? p.Digit : p.Cursor;
  }
  switch (scancode) {
    case SDL_SCANCODE_KP_ENTER:
      return vk::Enter;
    case SDL_SCANCODE_KP_MULTIPLY:
      return 106;
    case SDL_SCANCODE_KP_PLUS:
      return 107;
    case SDL_SCANCODE_KP_MINUS:
      return 109;
    case SDL_SCANCODE_KP_DIVIDE:
      return 111;
    default:
      return std::nullopt;
  }
}

std::optional<int> NamedKey(int keycode) {
  switch (keycode) {
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    case SDLK_RETURN:
    case SDLK_RETURN2:
      return vk::Enter;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return vk::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return vk::Control;
    case SDLK_LALT:
    case SDLK_RALT:
      return vk::Alt;
    case SDLK_PAUSE:
      return 19;
    case SDLK_CAPSLOCK:
      return 20;
    case SDLK_ESCAPE:
      return vk::Escape;
    case SDLK_SPACE:
      return vk::Space;
    case SDLK_PAGEUP:
      return vk::PageUp;
    case SDLK_PAGEDOWN:
      return vk::PageDown;
    case SDLK_END:
      return vk::End;
    case SDLK_HOME:
      return vk::Home;
    case SDLK_LEFT:
      return vk::Left;
    case SDLK_UP:
      return vk::Up;
    case SDLK_RIGHT:
      return vk::Right;
    case SDLK_DOWN:
      return vk::Down;
    case SDLK_PRINTSCREEN:
      return 44;
    case SDLK_INSERT:
      return 45;
    case SDLK_DELETE:
      return vk::Delete;
    case SDLK_LGUI:
      return 91;
    case SDLK_RGUI:
      return 92;
    case SDLK_APPLICATION:
      return 93;
    case SDLK_NUMLOCKCLEAR:
      return 144;
    case SDLK_SCROLLLOCK:
      return 145;
    // Punctuation under the desktop's names for the keys of a US keyboard.
    case SDLK_SEMICOLON:
      return 186;
    case SDLK_EQUALS:
      return 187;
    case SDLK_COMMA:
      return 188;
    case SDLK_MINUS:
      return 189;
    case SDLK_PERIOD:
      return 190;
    case SDLK_SLASH:
      return 191;
    case SDLK_BACKQUOTE:
      return 192;
    case SDLK_LEFTBRACKET:
      return 219;
    case SDLK_BACKSLASH:
      return 220;
    case SDLK_RIGHTBRACKET:
      return 221;
    case SDLK_QUOTE:
      return 222;
    default:
      break;
  }
  if (keycode >= SDLK_F1 && keycode <= SDLK_F12) return vk::F(1 + keycode - SDLK_F1);
  return std::nullopt;
}

std::optional<int> KeyCodeOf(int scancode, int keycode, int modifiers) {
  // The keypad first, by position: its keycodes do not say whether Num Lock is on.
  if (auto pad = KeypadKey(scancode, (modifiers & KMOD_NUM) != 0)) return pad;
  if (keycode >= 'a' && keycode <= 'z') return vk::Letter(static_cast<char>(keycode - 'a' + 'A'));
  if (keycode >= '0' && keycode <= '9') return vk::Digit(keycode - '0');
  if (auto named = NamedKey(keycode)) return named;
  // A layout whose keys are not Latin letters or whose top row is not digits still has the
  // keys where the game expects them.
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return vk::Letter(static_cast<char>('A' + scancode - SDL_SCANCODE_A));
  }
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return vk::Digit(1 + scancode - SDL_SCANCODE_1);
  }
  if (scancode == SDL_SCANCODE_0) return vk::Digit(0);
  return std::nullopt;
}

}  // namespace

std::optional<KeyEvent> MapSdlKey(int scancode, int keycode, int modifiers) {
  const std::optional<int> code = KeyCodeOf(scancode, keycode, modifiers);
  if (!code) return std::nullopt;
  int shift = mod::None;
  if ((modifiers & KMOD_SHIFT) != 0) shift |= mod::Shift;
  if ((modifiers & KMOD_CTRL) != 0) shift |= mod::Ctrl;
  if ((modifiers & KMOD_ALT) != 0) shift |= mod::Alt;
  // A modifier pressed alone comes with its own bit, as on the desktop the game was made for:
  // Ctrl alone is 17 with mask 2, and that is how Ctrl silences speech.
  if (*code == vk::Shift) shift |= mod::Shift;
  if (*code == vk::Control) shift |= mod::Ctrl;
  if (*code == vk::Alt) shift |= mod::Alt;
  return KeyEvent{*code, shift};
}

}  // namespace strikora::sdl
