#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/Keys.h"
#include "platform/sdl/SdlKeyMap.h"

namespace strikora::sdl {
namespace {

TEST(SdlKeyMapTest, EachKeyGivesTheGamesCodeAndModifierMask) {
  struct Case {
    SDL_Scancode scancode;
    SDL_Keycode keycode;
    int modifiers, code, shift;
  };
  const int N = KMOD_NONE, Shift = mod::Shift, Ctrl = mod::Ctrl, Alt = mod::Alt;
  // clang-format off
  const Case cases[] = {
      // Letters and digits are their upper-case codes; p is 80, never F1's 112.
      {SDL_SCANCODE_A, SDLK_a, N, 65, 0}, {SDL_SCANCODE_Z, SDLK_z, N, 90, 0},
      {SDL_SCANCODE_P, SDLK_p, N, 80, 0}, {SDL_SCANCODE_P, SDLK_p, KMOD_LSHIFT, 80, Shift},
      {SDL_SCANCODE_0, SDLK_0, N, 48, 0}, {SDL_SCANCODE_9, SDLK_9, N, 57, 0},
      // Other layouts: a Cyrillic letter and a French top row still give the key's position.
      {SDL_SCANCODE_Y, 0x43D, N, 89, 0}, {SDL_SCANCODE_1, SDLK_AMPERSAND, N, 49, 0},
      // The game's named keys.
      {SDL_SCANCODE_RETURN, SDLK_RETURN, N, 13, 0},
      {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, N, 13, 0},
      {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, N, 27, 0}, {SDL_SCANCODE_SPACE, SDLK_SPACE, N, 32, 0},
      {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, N, 33, 0},
      {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, N, 34, 0},
      {SDL_SCANCODE_END, SDLK_END, N, 35, 0}, {SDL_SCANCODE_HOME, SDLK_HOME, N, 36, 0},
      {SDL_SCANCODE_LEFT, SDLK_LEFT, N, 37, 0}, {SDL_SCANCODE_UP, SDLK_UP, N, 38, 0},
      {SDL_SCANCODE_RIGHT, SDLK_RIGHT, N, 39, 0}, {SDL_SCANCODE_DOWN, SDLK_DOWN, N, 40, 0},
      {SDL_SCANCODE_DELETE, SDLK_DELETE, N, 46, 0}, {SDL_SCANCODE_F1, SDLK_F1, N, 112, 0},
      {SDL_SCANCODE_F12, SDLK_F12, N, 123, 0}, {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, N, 8, 0},
      {SDL_SCANCODE_TAB, SDLK_TAB, N, 9, 0},
      // Modifiers make the mask, and are keys of their own, whether or not the library has
      // counted them in the state yet. Lock keys are no modifiers of the game's.
      {SDL_SCANCODE_S, SDLK_s, KMOD_LCTRL, 83, Ctrl},
      {SDL_SCANCODE_S, SDLK_s, KMOD_RCTRL | KMOD_RSHIFT | KMOD_LALT, 83, Shift | Ctrl | Alt},
      {SDL_SCANCODE_LCTRL, SDLK_LCTRL, N, 17, Ctrl},
      {SDL_SCANCODE_RCTRL, SDLK_RCTRL, KMOD_RCTRL, 17, Ctrl},
      {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, N, 16, Shift},
      {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, KMOD_LCTRL, 16, Shift | Ctrl},
      {SDL_SCANCODE_LALT, SDLK_LALT, N, 18, Alt},
      {SDL_SCANCODE_A, SDLK_a, KMOD_NUM | KMOD_CAPS, 65, 0},
      // The keypad follows Num Lock.
      {SDL_SCANCODE_KP_8, SDLK_KP_8, N, 38, 0}, {SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NUM, 104, 0},
      {SDL_SCANCODE_KP_3, SDLK_KP_3, N, 34, 0},
      {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, N, 46, 0},
      {SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NUM, 96, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    const auto key = MapSdlKey(c.scancode, c.keycode, c.modifiers);
    SCOPED_TRACE(std::string(SDL_GetKeyName(c.keycode)) + " " + std::to_string(c.modifiers));
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(std::make_pair(key->KeyCode, key->Shift), std::make_pair(c.code, c.shift));
  }
  // Keys the game has no code for give nothing.
  EXPECT_FALSE(MapSdlKey(SDL_SCANCODE_VOLUMEUP, SDLK_VOLUMEUP, KMOD_NONE).has_value());
  EXPECT_FALSE(MapSdlKey(SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN, KMOD_NONE).has_value());
}

}  // namespace
}  // namespace strikora::sdl
