#include "platform/sdl/SdlEventSource.h"

#include <SDL.h>

#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/PlatformError.h"
#include "platform/sdl/SdlKeyMap.h"

namespace strikora::sdl {
namespace {

// A wait whose end is known sleeps until then, but never longer than this, in case the mixer
// runs slower than the clip's length says.
constexpr std::int64_t kLongestQuietWaitMs = 250;
// A clip past its predicted end that still plays is looked at again this soon; so is every
// wait on the dummy driver, which cannot wake for input.
constexpr std::int64_t kRecheckMs = 2;

constexpr const char* kNoDisplay =
    "There is no display to open the game window on; start the game from a desktop session, "
    "or see the README for running it under Xvfb.";

[[noreturn]] void Unavailable(const std::string& what) {
  throw PlatformError(ErrorCode::DeviceUnavailable, what + ": " + SDL_GetError());
}

bool IsHeadlessDriver(const char* driver) {
  return driver != nullptr &&
         (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
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
  const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
  const bool playerChose = chosen != nullptr && *chosen != '\0';
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (!playerChose) throw PlatformError(ErrorCode::DeviceUnavailable, kNoDisplay);
    Unavailable("Cannot start the window system");
  }
  video_ = SdlVideo(true);
  // Left to itself SDL falls back to a window nobody can see or type into: the game would
  // speak and never hear a key. Only a player (or a test) who asks for one gets it.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!playerChose && IsHeadlessDriver(driver)) {
    throw PlatformError(ErrorCode::DeviceUnavailable, kNoDisplay);
  }
  canBlock_ = driver != nullptr && !IsHeadlessDriver(driver);
  // Room for large print: 1024 x 640, or four fifths of a smaller screen.
  SDL_Rect screen{0, 0, 1280, 800};
  (void)SDL_GetDisplayBounds(0, &screen);
  const int width = std::min(1024, screen.w * 4 / 5), height = std::min(640, screen.h * 4 / 5);
  window_ =
      SdlWindow(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 width, height, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE));
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
    case SDL_WINDOWEVENT:
      if (windowChanged_ && (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                             event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
        windowChanged_();
      }
      break;
    case SDL_QUIT:
      // The player closed the window: the game ends from whatever screen it is on.
      quit_ = true;
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
  if (!keys_.empty() || quit_) return;
  const std::int64_t now = clock_.MonotonicMs();
  std::optional<std::int64_t> wait;  // none: until the next event
  if (quietUntilMs) wait = std::clamp(*quietUntilMs - now, kRecheckMs, kLongestQuietWaitMs);
  if (nextTimerDueMs) wait = std::min(wait.value_or(*nextTimerDueMs - now), *nextTimerDueMs - now);
  if (wait && *wait <= 0) {
    TakePending();
    return;
  }
  if (!canBlock_) {
    // The dummy driver has no input to wake for: look, then nap briefly.
    TakePending();
    if (keys_.empty() && !quit_)
      SDL_Delay(static_cast<Uint32>(std::min(wait.value_or(kRecheckMs), kRecheckMs)));
    return;
  }
  SDL_Event event;
  const int got =
      wait ? SDL_WaitEventTimeout(&event, static_cast<int>(*wait)) : SDL_WaitEvent(&event);
  if (got != 0) {
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
  const EndOnSignalsWhileBoxOpen endOnSignals;
  // A quit that came just before the box would wait behind it: nobody is there to answer it.
  SDL_Event pending;
  if (quit_ || SDL_PeepEvents(&pending, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    _exit(1);
  }
  std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
  std::fflush(stderr);
  // Without a desktop to show it on the box fails; the line above has been written already.
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), text.c_str(), window_.get());
}

struct QuitOnSignals::Watcher {
  sigset_t Signals{};
  std::thread Thread;
  std::atomic<bool> Stopping{false};
};

QuitOnSignals::QuitOnSignals() : watcher_(std::make_unique<Watcher>()) {
  sigemptyset(&watcher_->Signals);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&watcher_->Signals, sig);
  // Threads made after this (the mixer, the music feeder) inherit the mask: only the watcher
  // takes these signals, and it may safely post an event.
  pthread_sigmask(SIG_BLOCK, &watcher_->Signals, nullptr);
  watcher_->Thread = std::thread([w = watcher_.get()] {
    for (;;) {
      int sig = 0;
      if (sigwait(&w->Signals, &sig) != 0 || w->Stopping.load()) return;
      SDL_Event quit{};
      quit.type = SDL_QUIT;
      SDL_PushEvent(&quit);
    }
  });
}

QuitOnSignals::~QuitOnSignals() {
  watcher_->Stopping.store(true);
  pthread_kill(watcher_->Thread.native_handle(), SIGTERM);
  watcher_->Thread.join();
  pthread_sigmask(SIG_UNBLOCK, &watcher_->Signals, nullptr);
}

struct EndOnSignalsWhileBoxOpen::Saved {
  sigset_t Signals{};
  sigset_t Mask{};
  std::array<struct sigaction, 3> Actions{};
};

namespace {
constexpr std::array<int, 3> kEndingSignals = {SIGINT, SIGTERM, SIGHUP};
}  // namespace

EndOnSignalsWhileBoxOpen::EndOnSignalsWhileBoxOpen() : saved_(std::make_unique<Saved>()) {
  // SDL draws a box in a child process of its own. Should the game end under the box, that
  // child must go with it: left behind, it would hold the game's lock, and the next start would
  // be refused as another copy running.
  static const int childrenEndWithTheGame =
      pthread_atfork(nullptr, nullptr, [] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
  (void)childrenEndWithTheGame;
  struct sigaction end {};
  // Only what is safe in a signal handler: the message is written before the box opens.
  end.sa_handler = [](int) { _exit(1); };
  sigemptyset(&end.sa_mask);
  sigemptyset(&saved_->Signals);
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    sigaddset(&saved_->Signals, kEndingSignals[i]);
    sigaction(kEndingSignals[i], &end, &saved_->Actions[i]);
  }
  // The watcher thread still waits for them, but the kernel hands a signal sent to the process
  // to its main thread first when that thread takes it.
  pthread_sigmask(SIG_UNBLOCK, &saved_->Signals, &saved_->Mask);
}

EndOnSignalsWhileBoxOpen::~EndOnSignalsWhileBoxOpen() {
  pthread_sigmask(SIG_SETMASK, &saved_->Mask, nullptr);
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
    sigaction(kEndingSignals[i], &saved_->Actions[i], nullptr);
  }
}

bool SdlEventSource::IsKeyHeld(HeldKey key) const {
  const Uint8* state = SDL_GetKeyboardState(nullptr);
  return state[key == HeldKey::LeftShift ? SDL_SCANCODE_LSHIFT : SDL_SCANCODE_RSHIFT] != 0;
}

}  // namespace strikora::sdl
