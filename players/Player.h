#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "players/RosterFile.h"

namespace strikora {

inline constexpr int kFrames = 10;

// One bowler: the record kept in the roster file, and the scorecard of the game in progress.
//
// Frames count 1..10, play methods 1..2, skill levels 1..5 and history slots 1..100; any other
// value is a fault in the caller and throws std::out_of_range. Nothing is clamped.
class Player {
 public:
  Player() = default;

  // Clip file names of the bowler's first name and last initial ("fn12.wav", "k.wav"). The
  // field holds 12 characters: longer text is cut, shorter text padded, and every space is
  // left out when the name is read back.
  [[nodiscard]] std::string FirstName() const;
  void SetFirstName(std::string_view first);
  [[nodiscard]] std::string LastName() const;
  void SetLastName(std::string_view last);

  // One of today's bowlers.
  [[nodiscard]] bool IsActive() const { return isActive_; }
  void SetIsActive(bool value) { isActive_ = value; }
  [[nodiscard]] bool Lefthanded() const { return record_.Lefthanded; }
  void SetLefthanded(bool value) { record_.Lefthanded = value; }
  [[nodiscard]] bool Female() const { return record_.Female; }
  void SetFemale(bool value) { record_.Female = value; }

  // The frame's strike and spare marks.
  [[nodiscard]] bool Strikes(int frame) const;
  [[nodiscard]] bool Spares(int frame) const;

  // Mean of the stored games above 0 for this method and skill, rounded to the nearest pin with
  // halves to the even pin; 0 before the first such game.
  [[nodiscard]] std::int16_t Average(int method, int skill) const;

  // Writes the record as record `position` (from 1) of `file`, replacing the file whole so that
  // an interruption leaves the old file or the new one (see WriteRecord). Throws
  // std::system_error when it cannot be written; the file is then left as it was.
  void Save(const std::filesystem::path& file, int position) const;
  // Reads record `position` of `file` into the record, present or not, and says whether a
  // bowler is stored there. A missing file is created empty. Throws std::system_error when
  // the file cannot be opened or read.
  [[nodiscard]] bool Load(const std::filesystem::path& file, int position);

  // Scores one delivery that felled `pins` (0..10) pins. `ball` is the game's ball number in
  // the frame: 0 for the first delivery, then +2 after a delivery of a frame with its strike
  // mark set and +1 otherwise, so the tenth frame bowls 0, 2, 4 after a strike and 0, 1, 2
  // after a spare. The strike and spare bonuses of earlier frames depend on it.
  void AddScore(int frame, int pins, int ball);

  // Pins felled by the delivery at ball number `ball` (0..4, as AddScore numbers them) of the
  // frame; 0 where nothing was scored (a miss, a gutter ball, a ball not yet bowled).
  [[nodiscard]] int BallPins(int frame, int ball) const;

  // Points of one frame on its own, bonus included.
  [[nodiscard]] std::int16_t GetFrameScore(int frame) const;
  // Game total so far; with handicap adds HandiCap(method, skill), which are not looked at
  // otherwise.
  [[nodiscard]] std::int16_t GetScore(bool withHandicap, int method, int skill) const;
  // 250 less the average, never below 0: a bowler with no game in this series gets 250.
  [[nodiscard]] std::int16_t HandiCap(int method, int skill) const;

  // Files this game's total, without handicap, in the next history slot of the series chosen
  // for the game; the 101st game goes back to slot 1. The caller saves the record.
  void GameOver(std::int16_t playMethod, std::int16_t skillLevel);
  // Clears the scorecard for a new game.
  void ResetScore();

  [[nodiscard]] std::int16_t LastGameSlot() const { return record_.LastGameSlot; }
  // What Save writes.
  [[nodiscard]] const PlayerRecord& Record() const { return record_; }
  [[nodiscard]] std::int16_t ScoreHistory(int method, int skill, int slot) const;

 private:
  PlayerRecord record_;
  std::array<std::int16_t, kFrames + 1> frameScores_{};  // index 0 unused
  std::array<bool, kFrames + 1> strikeFlags_{};
  std::array<bool, kFrames + 1> spareFlags_{};
  std::array<std::array<std::int8_t, 5>, kFrames + 1> ballPins_{};  // for the scorecard's marks
  bool isActive_ = false;
};

}  // namespace strikora
