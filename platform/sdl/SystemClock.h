#pragma once

#include "platform/Clock.h"

namespace strikora::sdl {

// The computer's clock: local time for the spoken time of day, a steady counter for timers.
class SystemClock final : public Clock {
 public:
  [[nodiscard]] LocalTime Now() const override;
  [[nodiscard]] std::int64_t MonotonicMs() const override;
};

}  // namespace strikora::sdl
