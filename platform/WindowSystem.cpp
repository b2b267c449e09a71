#include "platform/WindowSystem.h"

#include <algorithm>
#include <utility>

namespace strikora {

WindowSystem::WindowSystem(EventSource& source, const Clock& clock, SoundTrace& trace)
    : source_(source), clock_(clock), trace_(trace) {}

void WindowSystem::Register(Form& form) {
  forms_.push_back(&form);
}

void WindowSystem::Unregister(Form& form) {
  std::erase(forms_, &form);
  std::erase(recency_, &form);
  std::erase_if(pendingFocus_, [&](const FocusChange& c) { return c.form == &form; });
  for (Form* f : forms_) {
    if (f->owner_ == &form) f->owner_ = nullptr;
  }
  if (active_ == &form) active_ = nullptr;
}

void WindowSystem::Register(Timer& timer) {
  timers_.push_back(&timer);
}
void WindowSystem::Unregister(Timer& timer) {
  std::erase(timers_, &timer);
}

bool WindowSystem::IsRegistered(const Form* form) const {
  return std::find(forms_.begin(), forms_.end(), form) != forms_.end();
}
bool WindowSystem::IsRegistered(const Timer* timer) const {
  return std::find(timers_.begin(), timers_.end(), timer) != timers_.end();
}

void WindowSystem::Activate(Form* form) {
  if (active_ == form) return;
  if (active_ != nullptr) pendingFocus_.push_back({active_, false});
  active_ = form;
  if (form != nullptr) {
    std::erase(recency_, form);
    recency_.push_back(form);
    pendingFocus_.push_back({form, true});
    // Screen readers announce the window title: it is always the active form's caption.
    source_.SetTitle(form->caption_);
  }
}

void WindowSystem::Show(Form& form, ShowMode mode, Form* owner) {
  form.visible_ = true;
  if (owner != nullptr) form.owner_ = owner;
  Activate(&form);
  if (mode == ShowMode::Modal) {
    WaitUntil([&] { return !form.visible_; }, "a modal window to close");
  }
}

void WindowSystem::Hide(Form& form) {
  if (!form.visible_) return;
  form.visible_ = false;
  if (active_ != &form) return;
  Form* next = nullptr;
  if (form.owner_ != nullptr && form.owner_->visible_) {
    next = form.owner_;
  } else {
    for (auto it = recency_.rbegin(); it != recency_.rend(); ++it) {
      if ((*it)->visible_) {
        next = *it;
        break;
      }
    }
  }
  if (next == nullptr) {
    pendingFocus_.push_back({&form, false});
    active_ = nullptr;
  } else {
    Activate(next);
  }
}

template <typename Handler>
void WindowSystem::RunHandler(Handler handler, std::string_view where) {
  if (reporter_ == nullptr) {
    handler();
    return;
  }
  try {
    handler();
  } catch (const std::exception&) {
    reporter_->LogError(where, ErrorInfo::FromCurrentException());
  }
}

bool WindowSystem::DispatchFocus() {
  bool any = false;
  while (!pendingFocus_.empty()) {
    const FocusChange change = pendingFocus_.front();
    pendingFocus_.pop_front();
    any = true;
    if (change.gained) {
      // A form that lost the focus again before its turn came does not hear it.
      if (change.form != active_) continue;
      trace_.Focus(change.form->caption_);
      Form* form = change.form;
      RunHandler([form] { form->Form_GotFocus(); }, "Form_GotFocus");
    } else {
      Form* form = change.form;
      RunHandler([form] { form->Form_LostFocus(); }, "Form_LostFocus");
    }
  }
  return any;
}

std::optional<std::int64_t> WindowSystem::NextTimerDue() const {
  std::optional<std::int64_t> next;
  for (const Timer* t : timers_) {
    if (!t->enabled_ || t->interval_ <= 0 || t->running_) continue;
    if (!next || t->due_ < *next) next = t->due_;
  }
  return next;
}

bool WindowSystem::FireDueTimers() {
  bool any = false;
  const std::vector<Timer*> snapshot = timers_;
  for (Timer* t : snapshot) {
    if (!IsRegistered(t)) continue;  // a handler before it destroyed it
    if (!t->enabled_ || t->interval_ <= 0 || t->running_) continue;
    const std::int64_t now = clock_.MonotonicMs();
    if (t->due_ > now) continue;
    any = true;
    t->due_ = now + t->interval_;
    if (!t->OnTimer) continue;
    t->running_ = true;
    try {
      RunHandler([t] { t->OnTimer(); }, t->Tag.empty() ? "Timer" : t->Tag);
    } catch (...) {
      if (IsRegistered(t)) t->running_ = false;
      throw;
    }
    if (IsRegistered(t)) t->running_ = false;
  }
  return any;
}

bool WindowSystem::DoPendingEvents() {
  if (onQuit_ && source_.QuitRequested()) {
    const std::function<void()> quit = std::exchange(onQuit_, nullptr);
    quit();
  }
  bool any = DispatchFocus();
  while (auto key = source_.PollKey()) {
    any = true;
    trace_.Key(key->KeyCode, key->Shift);
    if (keyFilter_ && keyFilter_(*key)) continue;
    if (active_ != nullptr && active_->visible_ && (!key->Repeat || active_->TakesAutoRepeat())) {
      Form* form = active_;
      RunHandler([form, key] { form->Form_KeyDown(key->KeyCode, key->Shift); }, "Form_KeyDown");
    }
    any = DispatchFocus() || any;
  }
  return FireDueTimers() || any;
}

void WindowSystem::DoEvents(std::optional<std::int64_t> quietForMs) {
  if (DoPendingEvents()) return;
  std::optional<std::int64_t> quietUntil;
  if (quietForMs) quietUntil = clock_.MonotonicMs() + *quietForMs;
  source_.WaitForEvent(NextTimerDue(), quietUntil);
}

void WindowSystem::ShowMessageBox(const std::string& text, const std::string& title) {
  trace_.MessageBox(text);
  source_.ShowMessageBox(text, title);
}

Form::Form(WindowSystem& windows, std::string caption)
    : windows_(windows), caption_(std::move(caption)) {
  windows_.Register(*this);
}
Form::~Form() {
  windows_.Unregister(*this);
}
void Form::Show(ShowMode mode, Form* owner) {
  windows_.Show(*this, mode, owner);
}
void Form::Hide() {
  windows_.Hide(*this);
}

Timer::Timer(WindowSystem& windows, std::string tag) : Tag(std::move(tag)), windows_(windows) {
  windows_.Register(*this);
}
Timer::~Timer() {
  windows_.Unregister(*this);
}

void Timer::SetInterval(int ms) {
  interval_ = ms;
  due_ = windows_.clock_.MonotonicMs() + ms;
}

void Timer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  due_ = windows_.clock_.MonotonicMs() + interval_;
}

}  // namespace strikora
