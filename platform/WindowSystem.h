#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/PlatformError.h"
#include "platform/SoundTrace.h"

namespace strikora {

class Form;
class Timer;

enum class ShowMode { Modeless, Modal };

// The game's windows take the keyboard focus in turn. Everything runs on one thread: key
// handlers and timer ticks run from DoEvents, nested inside whatever wait is in progress.
class WindowSystem {
 public:
  WindowSystem(EventSource& source, const Clock& clock, SoundTrace& trace);
  WindowSystem(const WindowSystem&) = delete;
  WindowSystem& operator=(const WindowSystem&) = delete;

  // Dispatches pending focus changes, keys and due timers; when nothing was pending, blocks
  // briefly (until an event may have arrived or the next timer is due).
  // quietForMs: nothing the caller waits for can change sooner (a clip's remaining length),
  // so an idle pump may sleep that long; none: only an event or a timer can change it, so an
  // idle pump sleeps until one comes. Keys and timers are always served on time.
  void DoEvents(std::optional<std::int64_t> quietForMs = std::nullopt);
  // Dispatches what is pending and returns at once; true when anything was dispatched. For
  // work that must stay responsive without pausing between its steps (unpacking the packs).
  bool DoPendingEvents();

  // The one shape of every wait in the game: test, and pump events until it holds.
  // what names the wait for anyone debugging a stuck one.
  template <typename Done>
  void WaitUntil(Done done, const char* what = "a condition") {
    const char* outer = waitingFor_;
    waitingFor_ = what;
    while (!done()) DoEvents();
    waitingFor_ = outer;
  }
  // The same wait, told by quietFor how long nothing it watches can change (none: unknown).
  template <typename Done, typename QuietFor>
  void WaitUntil(Done done, QuietFor quietFor, const char* what) {
    const char* outer = waitingFor_;
    waitingFor_ = what;
    while (!done()) DoEvents(quietFor());
    waitingFor_ = outer;
  }
  [[nodiscard]] const char* WaitingFor() const { return waitingFor_; }

  void ShowMessageBox(const std::string& text, const std::string& title);
  // A failure that escapes a key handler or a timer tick is recorded here (the error log, with
  // its buzzer) and the game goes on, instead of ending the program under the player's hands.
  // Without a reporter it goes on to whoever pumped the events.
  void SetErrorReporter(ErrorReporter* reporter) { reporter_ = reporter; }
  // What closing the game window does, from whatever wait is in progress: the program's end.
  // It is expected not to return (it unwinds every loop); it runs once.
  void SetQuitHandler(std::function<void()> onQuit) { onQuit_ = std::move(onQuit); }
  // Sees every key before the active form; a key it takes (true) never reaches a form, on any
  // screen. The window's own keys (text size, colours, full screen) are taken here.
  void SetKeyFilter(std::function<bool(const KeyEvent&)> filter) { keyFilter_ = std::move(filter); }
  [[nodiscard]] bool IsKeyHeld(HeldKey key) const { return source_.IsKeyHeld(key); }
  [[nodiscard]] Form* ActiveForm() const { return active_; }
  [[nodiscard]] const Clock& GetClock() const { return clock_; }

 private:
  friend class Form;
  friend class Timer;

  void Register(Form& form);
  void Unregister(Form& form);
  void Register(Timer& timer);
  void Unregister(Timer& timer);
  void Show(Form& form, ShowMode mode, Form* owner);
  void Hide(Form& form);
  void Activate(Form* form);

  bool DispatchFocus();
  // Runs a handler; a std::exception from it goes to the reporter when there is one.
  template <typename Handler>
  void RunHandler(Handler handler, std::string_view where);
  bool FireDueTimers();
  [[nodiscard]] std::optional<std::int64_t> NextTimerDue() const;
  [[nodiscard]] bool IsRegistered(const Form* form) const;
  [[nodiscard]] bool IsRegistered(const Timer* timer) const;

  EventSource& source_;
  const Clock& clock_;
  SoundTrace& trace_;
  std::vector<Form*> forms_;
  std::vector<Form*> recency_;  // most recently active last
  std::vector<Timer*> timers_;
  Form* active_ = nullptr;
  struct FocusChange {
    Form* form;
    bool gained;
  };
  std::deque<FocusChange> pendingFocus_;
  const char* waitingFor_ = "nothing";
  ErrorReporter* reporter_ = nullptr;
  std::function<void()> onQuit_;
  std::function<bool(const KeyEvent&)> keyFilter_;
};

// A window of the game: a caption, shown or hidden, with focus and key handlers.
class Form {
 public:
  Form(WindowSystem& windows, std::string caption);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  virtual void Form_GotFocus() {}
  virtual void Form_LostFocus() {}
  // KeyCode is the virtual-key code, Shift the modifier mask.
  virtual void Form_KeyDown(int KeyCode, int Shift) {
    (void)KeyCode;
    (void)Shift;
  }
  // Whether a held key's auto-repeat reaches Form_KeyDown as further key-downs.
  [[nodiscard]] virtual bool TakesAutoRepeat() const { return true; }

  // A modal show returns when the form is hidden (checked between events).
  void Show(ShowMode mode = ShowMode::Modeless, Form* owner = nullptr);
  void Hide();
  [[nodiscard]] bool Visible() const { return visible_; }
  [[nodiscard]] const std::string& Caption() const { return caption_; }
  [[nodiscard]] WindowSystem& Windows() const { return windows_; }

 private:
  friend class WindowSystem;
  WindowSystem& windows_;
  std::string caption_;
  bool visible_ = false;
  Form* owner_ = nullptr;
};

// A form's timer: fires from DoEvents only, never again while its own handler runs.
// Interval is in milliseconds; 0 never fires. Changing Interval or Enabled restarts the count.
class Timer {
 public:
  explicit Timer(WindowSystem& windows, std::string tag = {});
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  std::function<void()> OnTimer;
  std::string Tag;

  void SetInterval(int ms);
  [[nodiscard]] int Interval() const { return interval_; }
  void SetEnabled(bool enabled);
  [[nodiscard]] bool Enabled() const { return enabled_; }

 private:
  friend class WindowSystem;
  WindowSystem& windows_;
  int interval_ = 0;
  bool enabled_ = false;
  bool running_ = false;
  std::int64_t due_ = 0;
};

}  // namespace strikora
