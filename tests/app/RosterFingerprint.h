#pragma once

#include <cstdint>
#include <string>

#include "players/Roster.h"

namespace strikora::testing {

// One number for a whole roster as the game loads it: every bowler's stored record, in order.
// Two rosters with the same bowlers give the same number, whatever lies in the file behind them.
class RosterFingerprint {
 public:
  void Add(const Player& p) {
    for (const std::uint8_t byte : EncodeRecord(p.Record())) {
      hash_ = (hash_ ^ byte) * 1099511628211ULL;
    }
    ++count_;
  }
  [[nodiscard]] std::string Text() const {
    return std::to_string(count_) + ":" + std::to_string(hash_);
  }
  // All bowlers of the table but `skip` (0 for none).
  [[nodiscard]] static std::string Of(const Roster& r, int skip = 0) {
    RosterFingerprint f;
    for (int i = 1; i <= r.PlayerCount(); ++i) {
      if (i != skip) f.Add(r.Players(i));
    }
    return f.Text();
  }

 private:
  std::uint64_t hash_ = 14695981039346656037ULL;
  int count_ = 0;
};

}  // namespace strikora::testing
