#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "players/Player.h"

namespace strikora {

// Every bowler ever created on this computer, in roster-file order: the bowler at index i
// (1..PlayerCount) is record i of the roster file. Also the catalogue of first-name recordings
// the new-player wizard offers.
class Roster {
 public:
  static constexpr int kMaxPlayers = 100;
  static constexpr int kMaxFirstNames = 200;

  // playersFile: the roster file; dataFolder: where the rewrite's temp.qbx goes (the same
  // folder as the roster, so the final rename stays on one file system); namesFolder: the
  // first-name recordings.
  Roster(std::filesystem::path playersFile, std::filesystem::path dataFolder,
         std::filesystem::path namesFolder);

  // The bowler at index 1..PlayerCount; throws std::out_of_range for an index with no bowler.
  [[nodiscard]] Player& Players(int index);
  [[nodiscard]] const Player& Players(int index) const;
  // The bowler at index 0..100, or nullptr when that index holds none.
  [[nodiscard]] Player* PlayerAt(int index);
  [[nodiscard]] const Player* PlayerAt(int index) const;

  [[nodiscard]] std::int16_t PlayerCount() const { return playerCount_; }
  [[nodiscard]] std::int16_t CurrentPlayer() const { return currentPlayer_; }
  void SetCurrentPlayer(std::int16_t index) { currentPlayer_ = index; }
  [[nodiscard]] const std::filesystem::path& PlayersFile() const { return playersFile_; }

  // Rebuilds the table from the run of present records at the start of the roster file,
  // at most 100. A missing roster file is created empty. File errors throw
  // std::system_error, leaving the bowlers loaded so far in the table.
  void LoadRoster();

  // Removes the bowler at `index` (1..PlayerCount) from the file and reloads the table, so the
  // bowlers behind move down one place. The survivors are written to temp.qbx, which then
  // replaces the roster in one rename: an interruption leaves the old roster or the new one,
  // never neither. Records behind the loaded bowlers, which the table never held, move up with
  // them unread. Throws std::out_of_range for an index with no bowler and std::system_error
  // when the new roster cannot be written, the old one then untouched.
  void DeletePlayer(std::int16_t index);

  // Today's bowlers.
  [[nodiscard]] std::int16_t CountActivePlayers() const;
  // Before a game is set up: nobody is one of today's bowlers and every scorecard is clear.
  void ClearTodaysPlayers();

  // A new, empty bowler at index PlayerCount + 1, which becomes the new PlayerCount; the caller
  // fills it in and saves it as that record. Throws std::out_of_range when the roster is full.
  Player& AddPlayer();

  // Lists the first-name recordings "fn1.wav" .. "fn200.wav" present in the names folder, in
  // increasing number, as FirstNameFiles(1..FirstNameCount). FirstNameCount is -1 when there
  // are none. Names match whatever their case on disk, as clips from packs made on Windows do.
  void CatalogueFirstNames();
  // Index 0..200; entries past FirstNameCount are empty.
  [[nodiscard]] const std::string& FirstNameFiles(int index) const;
  [[nodiscard]] std::int16_t FirstNameCount() const { return firstNameCount_; }

 private:
  std::filesystem::path playersFile_;
  std::filesystem::path dataFolder_;
  std::filesystem::path namesFolder_;
  std::array<std::unique_ptr<Player>, kMaxPlayers + 1> players_;  // index 0 unused
  std::int16_t playerCount_ = 0;
  std::int16_t currentPlayer_ = 0;
  std::array<std::string, kMaxFirstNames + 1> firstNameFiles_;  // index 0 unused
  std::int16_t firstNameCount_ = -1;
};

}  // namespace strikora
