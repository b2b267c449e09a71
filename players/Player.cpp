#include "players/Player.h"

#include <algorithm>
#include <stdexcept>

namespace strikora {

namespace {

void CheckRange(const char* what, int value, int low, int high) {
  if (value < low || value > high) {
    throw std::out_of_range(std::string(what) + " " + std::to_string(value) + " is outside " +
                            std::to_string(low) + ".." + std::to_string(high));
  }
}

void CheckFrame(int frame) {
  CheckRange("frame", frame, 1, kFrames);
}

void CheckSeries(int method, int skill) {
  CheckRange("play method", method, 1, kPlayMethods);
  CheckRange("skill level", skill, 1, kSkillLevels);
}

[[nodiscard]] std::string ReadName(const std::array<char, kNameLength>& field) {
  std::string name(field.begin(), field.end());
  std::erase(name, ' ');
  return name;
}

void StoreName(std::array<char, kNameLength>& field, std::string_view text) {
  field = PlayerRecord::BlankName();
  std::copy_n(text.begin(), std::min(text.size(), field.size()), field.begin());
}

}  // namespace

std::string Player::FirstName() const {
  return ReadName(record_.FirstName);
}
void Player::SetFirstName(std::string_view first) {
  StoreName(record_.FirstName, first);
}
std::string Player::LastName() const {
  return ReadName(record_.LastName);
}
void Player::SetLastName(std::string_view last) {
  StoreName(record_.LastName, last);
}

bool Player::Strikes(int frame) const {
  CheckFrame(frame);
  return strikeFlags_[frame];
}

bool Player::Spares(int frame) const {
  CheckFrame(frame);
  return spareFlags_[frame];
}

std::int16_t Player::Average(int method, int skill) const {
  CheckSeries(method, skill);
  long sum = 0;
  long games = 0;
  for (int slot = 1; slot <= kHistorySlots; ++slot) {
    const std::int16_t total = record_.ScoreHistory[HistoryIndex(method, skill, slot)];
    if (total > 0) {
      sum += total;
      ++games;
    }
  }
  if (games == 0) return 0;
  // Whole-number rounding of sum / games, halves to the even pin: the same result as rounding
  // the floating quotient, without depending on the floating-point rounding mode.
  long mean = sum / games;
  const long twiceRest = 2 * (sum % games);
  if (twiceRest > games || (twiceRest == games && mean % 2 != 0)) ++mean;
  return static_cast<std::int16_t>(mean);
}

void Player::Save(const std::filesystem::path& file, int position) const {
  WriteRecord(file, position, EncodeRecord(record_));
}

bool Player::Load(const std::filesystem::path& file, int position) {
  const RecordBytes bytes = ReadRecord(file, position);
  record_ = DecodeRecord(bytes);
  return bytes[0] != 0;
}

void Player::AddScore(int frame, int pins, int ball) {
  CheckFrame(frame);
  CheckRange("pins", pins, 0, 10);
  const int prev = frame - 1;
  const int prev2 = frame - 2;

  frameScores_[frame] = static_cast<std::int16_t>(frameScores_[frame] + pins);
  if (ball >= 0 && ball < 5) ballPins_[frame][ball] = static_cast<std::int8_t>(pins);

  if (prev >= 1) {
    // A strike earns the next two deliveries: balls 0 and 1 of the next frame, or balls 0
    // and 2 of a tenth frame that opened with a strike. A spare earns only ball 0.
    const bool strikeBonusBall = ball == 0 || ball == 1 || (ball == 2 && strikeFlags_[frame]);
    if ((strikeFlags_[prev] && strikeBonusBall) || (spareFlags_[prev] && ball == 0)) {
      frameScores_[prev] = static_cast<std::int16_t>(frameScores_[prev] + pins);
    }
  }

  if (pins == 10 && ball == 0) strikeFlags_[frame] = true;
  // Ten on ball 1 after a gutter ball is a spare, not a strike.
  if (frameScores_[frame] == 10 && ball == 1) spareFlags_[frame] = true;

  // Two strikes running: the first ball after them is the older strike's second bonus ball.
  if (prev2 >= 1 && strikeFlags_[prev2] && strikeFlags_[prev] && ball == 0) {
    frameScores_[prev2] = static_cast<std::int16_t>(frameScores_[prev2] + pins);
  }
}

int Player::BallPins(int frame, int ball) const {
  CheckFrame(frame);
  return ball >= 0 && ball < 5 ? ballPins_[frame][ball] : 0;
}

std::int16_t Player::GetFrameScore(int frame) const {
  CheckFrame(frame);
  return frameScores_[frame];
}

std::int16_t Player::GetScore(bool withHandicap, int method, int skill) const {
  int total = 0;
  for (int frame = 1; frame <= kFrames; ++frame) total += frameScores_[frame];
  if (withHandicap) total += HandiCap(method, skill);
  return static_cast<std::int16_t>(total);
}

std::int16_t Player::HandiCap(int method, int skill) const {
  const int handicap = 250 - Average(method, skill);
  return static_cast<std::int16_t>(handicap >= 1 ? handicap : 0);
}

void Player::GameOver(std::int16_t playMethod, std::int16_t skillLevel) {
  // Checked first, so a bad call leaves the history as it was.
  CheckSeries(playMethod, skillLevel);
  int slot = record_.LastGameSlot + 1;
  if (slot > kHistorySlots) slot = 1;
  record_.LastGameSlot = static_cast<std::int16_t>(slot);
  record_.ScoreHistory[HistoryIndex(playMethod, skillLevel, slot)] = GetScore(false, 0, 0);
}

void Player::ResetScore() {
  frameScores_.fill(0);
  strikeFlags_.fill(false);
  spareFlags_.fill(false);
  for (auto& frame : ballPins_) frame.fill(0);
}

std::int16_t Player::ScoreHistory(int method, int skill, int slot) const {
  CheckSeries(method, skill);
  CheckRange("history slot", slot, 1, kHistorySlots);
  return record_.ScoreHistory[HistoryIndex(method, skill, slot)];
}

}  // namespace strikora
