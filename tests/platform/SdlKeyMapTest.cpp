#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/Keys.h"
#include "platform/sdl/SdlKeyMap.h"

namespace strikora::sdl {
namespace {

KeyEvent Map(SDL_Scancode scancode, SDL_Keycode keycode, int modifiers = KMOD_NONE) {
  const auto key = MapSdlKey(scancode, keycode, modifiers);
  EXPECT_TRUE(key.has_value()) << SDL_GetKeyName(keycode);
  return key.value_or(KeyEvent{-1, -1});
}

void ExpectKey(const KeyEvent& got, int keyCode, int shift) {
  EXPECT_EQ(got.KeyCode, keyCode);
  EXPECT_EQ(got.Shift, shift);
}

TEST(SdlKeyMapTest, LettersAndDigitsAreTheirUpperCaseCodes) {
  ExpectKey(Map(SDL_SCANCODE_A, SDLK_a), 65, mod::None);
  ExpectKey(Map(SDL_SCANCODE_Z, SDLK_z), 90, mod::None);
  // p is 80 and must never be read as F1's 112.
  ExpectKey(Map(SDL_SCANCODE_P, SDLK_p), 80, mod::None);
  ExpectKey(Map(SDL_SCANCODE_P, SDLK_p, KMOD_LSHIFT), 80, mod::Shift);
  ExpectKey(Map(SDL_SCANCODE_0, SDLK_0), 48, mod::None);
  ExpectKey(Map(SDL_SCANCODE_9, SDLK_9), 57, mod::None);
  // Other layouts: a Cyrillic letter and a French top row still give the key's position.
  ExpectKey(Map(SDL_SCANCODE_Y, 0x43D), 89, mod::None);
  ExpectKey(Map(SDL_SCANCODE_1, SDLK_AMPERSAND), 49, mod::None);
}

TEST(SdlKeyMapTest, TheGamesNamedKeys) {
  struct Case {
    SDL_Scancode Scancode;
    SDL_Keycode Keycode;
    int Expected;
  };
  const Case cases[] = {
      {SDL_SCANCODE_RETURN, SDLK_RETURN, 13},
      {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 13},
      {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 27},
      {SDL_SCANCODE_SPACE, SDLK_SPACE, 32},
      {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, 33},
      {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, 34},
      {SDL_SCANCODE_END, SDLK_END, 35},
      {SDL_SCANCODE_HOME, SDLK_HOME, 36},
      {SDL_SCANCODE_LEFT, SDLK_LEFT, 37},
      {SDL_SCANCODE_UP, SDLK_UP, 38},
      {SDL_SCANCODE_RIGHT, SDLK_RIGHT, 39},
      {SDL_SCANCODE_DOWN, SDLK_DOWN, 40},
      {SDL_SCANCODE_DELETE, SDLK_DELETE, 46},
      {SDL_SCANCODE_F1, SDLK_F1, 112},
      {SDL_SCANCODE_F5, SDLK_F5, 116},
      {SDL_SCANCODE_F12, SDLK_F12, 123},
      {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 8},
      {SDL_SCANCODE_TAB, SDLK_TAB, 9},
  };
  for (const Case& c : cases) ExpectKey(Map(c.Scancode, c.Keycode), c.Expected, mod::None);
}

TEST(SdlKeyMapTest, ModifiersMakeTheMaskAndAreKeysOfTheirOwn) {
  ExpectKey(Map(SDL_SCANCODE_S, SDLK_s, KMOD_LCTRL), 83, mod::Ctrl);
  ExpectKey(Map(SDL_SCANCODE_S, SDLK_s, KMOD_RCTRL | KMOD_RSHIFT | KMOD_LALT), 83,
            mod::Shift | mod::Ctrl | mod::Alt);
  // Pressed alone, with or without the library having counted it in the state yet.
  ExpectKey(Map(SDL_SCANCODE_LCTRL, SDLK_LCTRL), 17, mod::Ctrl);
  ExpectKey(Map(SDL_SCANCODE_RCTRL, SDLK_RCTRL, KMOD_RCTRL), 17, mod::Ctrl);
  ExpectKey(Map(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT), 16, mod::Shift);
  ExpectKey(Map(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, KMOD_LCTRL), 16, mod::Shift | mod::Ctrl);
  ExpectKey(Map(SDL_SCANCODE_LALT, SDLK_LALT), 18, mod::Alt);
  // Lock keys are no modifiers of the game's.
  ExpectKey(Map(SDL_SCANCODE_A, SDLK_a, KMOD_NUM | KMOD_CAPS), 65, mod::None);
}

TEST(SdlKeyMapTest, KeypadFollowsNumLock) {
  ExpectKey(Map(SDL_SCANCODE_KP_8, SDLK_KP_8), 38, mod::None);
  ExpectKey(Map(SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NUM), 104, mod::None);
  ExpectKey(Map(SDL_SCANCODE_KP_3, SDLK_KP_3), 34, mod::None);
  ExpectKey(Map(SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD), 46, mod::None);
  ExpectKey(Map(SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NUM), 96, mod::None);
}

TEST(SdlKeyMapTest, KeysTheGameHasNoCodeForGiveNothing) {
  EXPECT_FALSE(MapSdlKey(SDL_SCANCODE_VOLUMEUP, SDLK_VOLUMEUP, KMOD_NONE).has_value());
  EXPECT_FALSE(MapSdlKey(SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN, KMOD_NONE).has_value());
}

}  // namespace
}  // namespace strikora::sdl
