#include "platform/sdl/SdlEventSource.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/PlatformError.h"
#include "platform/sdl/SdlKeyMap.h"

namespace strikora::sdl {
namespace {

// A wait never sleeps longer than this: a clip's end is noticed within a couple of ms.
constexpr std::int64_t kLongestWaitMs = 2;
// When the waiter knows when its clip ends, the window blocks up to then, but never longer
// than this, in case the mixer runs slower than the clip's length says.
constexpr std::int64_t kLongestQuietWaitMs = 250;

[[noreturn]] void Unavailable(const std::string& what) {
  throw PlatformError(ErrorCode::DeviceUnavailable, what + ": " + SDL_GetError());
}

// SDL's dummy and offscreen windows (tests, benchmarks, a desktop-less run) have no input to
// block on: SDL_WaitEventTimeout then naps 1 ms at a time, waking an idle wait twice as often
// as a real window does.
bool CanBlockForInput() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && std::strcmp(driver, "dummy") != 0 &&
         std::strcmp(driver, "offscreen") != 0;
}

}  // namespace

void QuitSdlVideo(bool /*started*/) {
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  SDL_Quit();
}

void DestroySdlWindow(SDL_Window* window) {
  SDL_DestroyWindow(window);
}

SdlEventSource::SdlEventSource(const Clock& clock, const std::string& title) : clock_(clock) {
  // Ctrl+C in the terminal should end the program as it ends any other, not turn into a
  // window-close the game would have to answer.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) Unavailable("Cannot start the window system");
  video_ = SdlVideo(true);
  window_ = SdlWindow(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED,
                                       SDL_WINDOWPOS_CENTERED, 320, 120, SDL_WINDOW_SHOWN));
  if (!window_) Unavailable("Cannot open the game window");
  // Keys only, no text entry: no input-method window pops up over the game.
  SDL_StopTextInput();
  SDL_RaiseWindow(window_.get());
}

SdlEventSource::~SdlEventSource() = default;

void SdlEventSource::Take(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN: {
      // Auto-repeat arrives as further key-downs, as the game expects.
      const SDL_Keysym& k = event.key.keysym;
      if (auto key = MapSdlKey(k.scancode, k.sym, k.mod)) {
        key->Repeat = event.key.repeat != 0;
        keys_.push_back(*key);
      }
      break;
    }
    case SDL_QUIT:
      // Closing the window is the game's own way out, Escape: every menu and the lane already
      // answer it (ask, save, leave), so nothing is lost by closing the window.
      keys_.push_back({vk::Escape, mod::None});
      break;
    default:
      break;
  }
}

void SdlEventSource::TakePending() {
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) Take(event);
}

std::optional<KeyEvent> SdlEventSource::PollKey() {
  if (keys_.empty()) TakePending();
  if (keys_.empty()) return std::nullopt;
  const KeyEvent key = keys_.front();
  keys_.pop_front();
  return key;
}

void SdlEventSource::WaitForEvent(std::optional<std::int64_t> nextTimerDueMs,
                                  std::optional<std::int64_t> quietUntilMs) {
  if (!keys_.empty()) return;
  const std::int64_t now = clock_.MonotonicMs();
  std::int64_t wait = kLongestWaitMs;
  // Only a window that wakes for input may sleep long: a pushed key must not wait for a clip.
  if (quietUntilMs && *quietUntilMs - now > kLongestWaitMs && CanBlockForInput()) {
    wait = std::min(*quietUntilMs - now, kLongestQuietWaitMs);
  }
  if (nextTimerDueMs) wait = std::min(wait, *nextTimerDueMs - now);
  if (wait <= 0) {
    TakePending();
    return;
  }
  if (!CanBlockForInput()) {
    // Look once, then sleep the whole interval: a key pushed meanwhile waits for its end.
    TakePending();
    if (keys_.empty()) SDL_Delay(static_cast<Uint32>(wait));
    return;
  }
  SDL_Event event;
  if (SDL_WaitEventTimeout(&event, static_cast<int>(wait)) != 0) {
    Take(event);
    TakePending();
  }
}

void SdlEventSource::SetTitle(const std::string& title) {
  SDL_SetWindowTitle(window_.get(), title.c_str());
}

std::string SdlEventSource::Title() const {
  return SDL_GetWindowTitle(window_.get());
}

void SdlEventSource::ShowMessageBox(const std::string& text, const std::string& title) {
  std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
  std::fflush(stderr);
  // Without a desktop to show it on the box fails; the line above has been written already.
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), text.c_str(), window_.get());
}

bool SdlEventSource::IsKeyHeld(HeldKey key) const {
  const Uint8* state = SDL_GetKeyboardState(nullptr);
  return state[key == HeldKey::LeftShift ? SDL_SCANCODE_LSHIFT : SDL_SCANCODE_RSHIFT] != 0;
}

}  // namespace strikora::sdl
