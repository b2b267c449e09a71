#pragma once

#include <cstdint>

namespace strikora {

struct LocalTime {
  int Year = 2000, Month = 1, Day = 1;   // Month 1..12, Day 1..31
  int Hour = 0, Minute = 0, Second = 0;  // Hour 0..23
};

class Clock {
 public:
  virtual ~Clock() = default;
  [[nodiscard]] virtual LocalTime Now() const = 0;
  // Milliseconds on a counter that never goes back; its zero is arbitrary.
  [[nodiscard]] virtual std::int64_t MonotonicMs() const = 0;
};

}  // namespace strikora
