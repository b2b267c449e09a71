#pragma once

#include <cstdint>
#include <deque>
#include <random>

namespace strikora {

// The one source of chance in the game: pinfall odds, clip variants, pans.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // A double in [0, 1).
  [[nodiscard]] virtual double Rnd() = 0;

  // A whole number from 1 to n: the integer part of n * r + 1.
  [[nodiscard]] int Between1And(int n) { return static_cast<int>(n * Rnd()) + 1; }
};

// Seeded once from the clock when the game starts.
class ClockSeededRandom final : public RandomSource {
 public:
  ClockSeededRandom();
  [[nodiscard]] double Rnd() override;

 private:
  std::mt19937_64 engine_;
  std::uniform_real_distribution<double> dist_{0.0, 1.0};
};

// Tests drive every random branch with a script; once it runs out, a fixed-seed generator
// takes over so a test only scripts the draws it cares about.
class ScriptedRandom final : public RandomSource {
 public:
  ScriptedRandom() = default;
  void Push(double r) { script_.push_back(r); }
  [[nodiscard]] std::size_t Remaining() const { return script_.size(); }
  [[nodiscard]] double Rnd() override;

 private:
  std::deque<double> script_;
  std::mt19937_64 fallback_{12345};
};

}  // namespace strikora
