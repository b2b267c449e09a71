#pragma once

#include <utility>

namespace strikora {

// Runs an action when the scope is left, however it is left: a flag or a timer the game set
// is undone even when a failure, or a game left with Escape, unwinds through. The action must
// not throw.
template <typename Action>
class ScopeExit {
 public:
  explicit ScopeExit(Action action) : action_(std::move(action)) {}
  ~ScopeExit() { action_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Action action_;
};

}  // namespace strikora
