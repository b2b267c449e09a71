#include "players/Roster.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <unordered_set>
#include <utility>

namespace strikora {

namespace {

[[nodiscard]] std::system_error FileError(const std::string& what,
                                          const std::filesystem::path& file) {
  const int err = errno;
  const std::error_code code = err != 0 ? std::error_code(err, std::generic_category())
                                        : std::make_error_code(std::errc::io_error);
  return {code, what + " " + file.string()};
}

// The new roster must be on the disk, not only in the system's cache, before it replaces the
// old one: otherwise a power cut just after the rename could leave an empty roster.
void SyncToDisk(const std::filesystem::path& file) {
  errno = 0;
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw FileError("cannot open", file);
  const bool synced = ::fsync(fd) == 0;
  const int syncErr = errno;
  ::close(fd);
  errno = syncErr;
  if (!synced) throw FileError("cannot write to disk", file);
}

[[nodiscard]] std::string Lowercase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

Roster::Roster(std::filesystem::path playersFile, std::filesystem::path dataFolder,
               std::filesystem::path namesFolder)
    : playersFile_(std::move(playersFile)),
      dataFolder_(std::move(dataFolder)),
      namesFolder_(std::move(namesFolder)) {}

Player& Roster::Players(int index) {
  return const_cast<Player&>(std::as_const(*this).Players(index));
}

const Player& Roster::Players(int index) const {
  const Player* player = index >= 1 ? PlayerAt(index) : nullptr;
  if (player == nullptr) {
    throw std::out_of_range("no bowler at roster index " + std::to_string(index));
  }
  return *player;
}

Player* Roster::PlayerAt(int index) {
  return const_cast<Player*>(std::as_const(*this).PlayerAt(index));
}

const Player* Roster::PlayerAt(int index) const {
  if (index < 0 || index > kMaxPlayers) {
    throw std::out_of_range("roster index " + std::to_string(index) + " is outside 0..100");
  }
  return players_[index].get();
}

void Roster::LoadRoster() {
  for (auto& player : players_) player.reset();
  playerCount_ = 0;
  // The count follows each bowler in, so a file error leaves a table that agrees with it.
  for (int i = 1; i <= kMaxPlayers; ++i) {
    auto player = std::make_unique<Player>();
    if (!player->Load(playersFile_, i)) break;
    players_[i] = std::move(player);
    playerCount_ = static_cast<std::int16_t>(i);
  }
}

void Roster::DeletePlayer(std::int16_t index) {
  if (index < 1 || index > playerCount_) {
    throw std::out_of_range("no bowler at roster index " + std::to_string(index) + " to delete");
  }
  const std::filesystem::path temp = dataFolder_ / "temp.qbx";
  {
    // Start from an empty file: what an interrupted deletion left there must not trail
    // behind the survivors.
    errno = 0;
    const std::ofstream fresh(temp, std::ios::binary | std::ios::trunc);
    if (!fresh) throw FileError("cannot start the new roster", temp);
  }
  int record = 0;
  for (int i = 1; i <= playerCount_; ++i) {
    if (i != index) players_[i]->Save(temp, ++record);
  }
  if (record > 0) {
    SyncToDisk(temp);
    std::filesystem::rename(temp, playersFile_);
  } else {
    // The only bowler is gone; the reload below starts an empty roster file.
    std::filesystem::remove(temp);
    std::filesystem::remove(playersFile_);
  }
  playerCount_ = 0;
  LoadRoster();
}

std::int16_t Roster::CountActivePlayers() const {
  int active = 0;
  for (int i = 1; i <= playerCount_; ++i) {
    if (players_[i]->IsActive()) ++active;
  }
  return static_cast<std::int16_t>(active);
}

void Roster::ClearTodaysPlayers() {
  for (int i = 1; i <= playerCount_; ++i) {
    players_[i]->SetIsActive(false);
    players_[i]->ResetScore();
  }
}

Player& Roster::AddPlayer() {
  if (playerCount_ >= kMaxPlayers) {
    throw std::out_of_range("the roster already holds " + std::to_string(kMaxPlayers) + " bowlers");
  }
  ++playerCount_;
  players_[playerCount_] = std::make_unique<Player>();
  return *players_[playerCount_];
}

void Roster::CatalogueFirstNames() {
  // One look at the folder rather than 200: a missing or unreadable folder lists nothing.
  std::unordered_set<std::string> present;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(namesFolder_, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code typeEc;
    if (it->is_regular_file(typeEc)) present.insert(Lowercase(it->path().filename().string()));
  }

  for (auto& name : firstNameFiles_) name.clear();
  int count = 0;
  for (int n = 1; n <= kMaxFirstNames; ++n) {
    std::string name = "fn" + std::to_string(n) + ".wav";
    if (present.contains(name)) firstNameFiles_[++count] = std::move(name);
  }
  firstNameCount_ = static_cast<std::int16_t>(count > 0 ? count : -1);
}

const std::string& Roster::FirstNameFiles(int index) const {
  if (index < 0 || index > kMaxFirstNames) {
    throw std::out_of_range("first-name index " + std::to_string(index) + " is outside 0..200");
  }
  return firstNameFiles_[index];
}

}  // namespace strikora
