#include "players/Roster.h"

#include <cctype>
#include <stdexcept>
#include <system_error>
#include <unordered_set>
#include <utility>
#include <vector>

namespace strikora {

namespace {

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
  std::vector<std::uint8_t> survivors;
  survivors.reserve(static_cast<std::size_t>(playerCount_) * kRecordLength);
  for (int i = 1; i <= playerCount_; ++i) {
    if (i == index) continue;
    const RecordBytes bytes = EncodeRecord(players_[i]->Record());
    survivors.insert(survivors.end(), bytes.begin(), bytes.end());
  }
  // Whatever lies behind the loaded bowlers (a damaged record and the bowlers after it, or
  // records past the hundredth) was never read: it moves up with the rest, but is never lost.
  const auto loadedBytes = static_cast<std::uintmax_t>(playerCount_) * kRecordLength;
  std::error_code ec;
  const std::uintmax_t fileBytes = std::filesystem::file_size(playersFile_, ec);
  const std::filesystem::path temp = dataFolder_ / "temp.qbx";
  if (survivors.empty() && (ec || fileBytes <= loadedBytes)) {
    // The only bowler is gone; the reload below starts an empty roster file.
    std::filesystem::remove(temp, ec);
    std::filesystem::remove(playersFile_);
  } else {
    RewriteRoster(playersFile_, temp, survivors, loadedBytes);
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
