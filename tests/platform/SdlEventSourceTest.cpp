#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/Keys.h"
#include "platform/sdl/SdlEventSource.h"
#include "platform/sdl/SystemClock.h"

namespace strikora::sdl {
namespace {

void PushKeyDown(SDL_Scancode scancode, SDL_Keycode keycode, Uint16 modifiers, bool repeat) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.state = SDL_PRESSED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym.scancode = scancode;
  event.key.keysym.sym = keycode;
  event.key.keysym.mod = modifiers;
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void Push(Uint32 type) {
  SDL_Event event{};
  event.type = type;
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

class SdlEventSourceTest : public ::testing::Test {
 protected:
  SystemClock clock;
  SdlEventSource events{clock, "Strikora"};
};

TEST_F(SdlEventSourceTest, KeyDownsArriveInOrderAsTheGamesKeys) {
  PushKeyDown(SDL_SCANCODE_P, SDLK_p, KMOD_NONE, false);
  PushKeyDown(SDL_SCANCODE_LEFT, SDLK_LEFT, KMOD_NONE, false);
  PushKeyDown(SDL_SCANCODE_LEFT, SDLK_LEFT, KMOD_NONE, true);  // held down: auto-repeat
  SDL_Event up{};
  up.type = SDL_KEYUP;
  up.key.keysym.scancode = SDL_SCANCODE_LEFT;
  up.key.keysym.sym = SDLK_LEFT;
  ASSERT_EQ(SDL_PushEvent(&up), 1);
  PushKeyDown(SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL, false);

  std::vector<std::pair<int, int>> got;
  while (auto key = events.PollKey()) got.emplace_back(key->KeyCode, key->Shift);
  const std::vector<std::pair<int, int>> expected = {
      {80, 0}, {vk::Left, 0}, {vk::Left, 0}, {vk::Control, mod::Ctrl}};
  EXPECT_EQ(got, expected);
}

TEST_F(SdlEventSourceTest, AWaitKeepsTheKeyItWokeForAndClosingTheWindowIsEscape) {
  Push(SDL_QUIT);
  events.WaitForEvent(std::nullopt, std::nullopt);
  const auto key = events.PollKey();
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(key->KeyCode, vk::Escape);
  EXPECT_EQ(key->Shift, mod::None);
  EXPECT_FALSE(events.PollKey().has_value());

  // With nothing pending and a timer already due, the wait returns without a key.
  events.WaitForEvent(clock.MonotonicMs() - 5, std::nullopt);
  EXPECT_FALSE(events.PollKey().has_value());
}

}  // namespace
}  // namespace strikora::sdl
