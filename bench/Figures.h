#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace strikora::bench {

// Milliseconds on the steady clock, as a double: the figures are printed with fractions.
[[nodiscard]] inline double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

struct Spread {
  double Best = 0;
  double Median = 0;
  double Worst = 0;
};

// The median is the middle sample (the mean of the two middle ones for an even count).
[[nodiscard]] inline Spread SpreadOf(std::vector<double> samples) {
  if (samples.empty()) return {};
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  const double median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
  return {samples.front(), median, samples.back()};
}

inline void PrintVerdict(const char* what, bool met) {
  std::printf("%s: %s\n", what, met ? "met" : "NOT met");
}

}  // namespace strikora::bench
