#include "platform/Random.h"

#include <chrono>

namespace strikora {

ClockSeededRandom::ClockSeededRandom()
    : engine_(
          static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count())) {
}

double ClockSeededRandom::Rnd() {
  double r = dist_(engine_);
  // uniform_real_distribution may round up to 1.0 on some libraries; the game needs [0, 1).
  if (r >= 1.0) r = 0.0;
  return r;
}

double ScriptedRandom::Rnd() {
  if (!script_.empty()) {
    const double r = script_.front();
    script_.pop_front();
    return r;
  }
  return std::uniform_real_distribution<double>(0.0, 1.0)(fallback_) * 0.9999999;
}

}  // namespace strikora
