#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <tuple>
#include <vector>

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

TEST(SdlEventSourceTest, KeyDownsArriveInOrderAsTheGamesKeysAndCtrlCOrClosingIsAQuitRequest) {
  SystemClock clock;
  SdlEventSource events{clock, "Strikora"};
  PushKeyDown(SDL_SCANCODE_P, SDLK_p, KMOD_NONE, false);
  PushKeyDown(SDL_SCANCODE_LEFT, SDLK_LEFT, KMOD_NONE, false);
  PushKeyDown(SDL_SCANCODE_LEFT, SDLK_LEFT, KMOD_NONE, true);  // held down: auto-repeat
  SDL_Event up{};
  up.type = SDL_KEYUP;
  up.key.keysym.scancode = SDL_SCANCODE_LEFT;
  up.key.keysym.sym = SDLK_LEFT;
  ASSERT_EQ(SDL_PushEvent(&up), 1);
  PushKeyDown(SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL, false);

  std::vector<std::tuple<int, int, bool>> got;
  while (auto key = events.PollKey()) got.emplace_back(key->KeyCode, key->Shift, key->Repeat);
  const std::vector<std::tuple<int, int, bool>> expected = {
      {80, 0, false}, {vk::Left, 0, false}, {vk::Left, 0, true}, {vk::Control, mod::Ctrl, false}};
  EXPECT_EQ(got, expected);

  // With nothing pending and a timer already due, the wait returns without a key.
  events.WaitForEvent(clock.MonotonicMs() - 5, std::nullopt);
  EXPECT_FALSE(events.PollKey().has_value());
  EXPECT_FALSE(events.QuitRequested());

  {
    const QuitOnSignals signals;
    kill(getpid(), SIGINT);  // as Ctrl+C in the terminal
    const std::int64_t until = clock.MonotonicMs() + 5000;
    while (!events.QuitRequested() && clock.MonotonicMs() < until) {
      events.WaitForEvent(clock.MonotonicMs() + 50, std::nullopt);
    }
  }
  EXPECT_TRUE(events.QuitRequested());
  EXPECT_FALSE(events.PollKey().has_value());
  // Once asked to quit, a wait does not sleep again.
  const std::int64_t before = clock.MonotonicMs();
  events.WaitForEvent(std::nullopt, before + 200);
  EXPECT_LT(clock.MonotonicMs() - before, 100);
}

TEST(SdlEventSourceDeathTest, ASignalWhileABoxIsOpenEndsTheProgramAtOnceAsAFailure) {
  for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
    EXPECT_EXIT(
        {
          const QuitOnSignals signals;
          const EndOnSignalsWhileBoxOpen box;  // as a box that waits for OK
          kill(getpid(), sig);
          for (int i = 0; i < 300; ++i) usleep(10000);
          std::_Exit(3);  // the box would still be waiting
        },
        ::testing::ExitedWithCode(1), "")
        << strsignal(sig);
  }
}

}  // namespace
}  // namespace strikora::sdl
