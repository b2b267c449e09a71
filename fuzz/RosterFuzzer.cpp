// The roster on any bytes: it loads without fault, every bowler reads back within the game's
// ranges, and a deletion and a new bowler keep every byte they do not own.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/Workspace.h"
#include "players/Roster.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const strikora::fuzz::Workspace ws;
  const fs::path file = ws.Root() / "players.qbx";
  const std::string before(reinterpret_cast<const char*>(data), size);
  strikora::fuzz::WriteFile(file, before);

  strikora::Roster roster(file, ws.Root(), ws.Root() / "names");
  roster.LoadRoster();
  const int count = roster.PlayerCount();
  STRIKORA_FUZZ_CHECK(count >= 0 && count <= strikora::Roster::kMaxPlayers);
  for (int i = 1; i <= count; ++i) {
    const strikora::Player& p = roster.Players(i);
    STRIKORA_FUZZ_CHECK(p.FirstName().size() <= 12 && p.LastName().size() <= 12);
    STRIKORA_FUZZ_CHECK(p.LastGameSlot() >= 0 && p.LastGameSlot() <= 100);
    for (int m = 1; m <= 2; ++m) {
      for (int s = 1; s <= 5; ++s) {
        STRIKORA_FUZZ_CHECK(p.HandiCap(m, s) >= 0 && p.HandiCap(m, s) <= 250);
      }
    }
  }
  if (count == 0) return 0;

  // The first bowler deleted: the others, and whatever lay behind them unread, move up whole.
  const std::size_t loaded = static_cast<std::size_t>(count) * strikora::kRecordLength;
  roster.DeletePlayer(1);
  const std::string after = Read(file);
  if (size > loaded) {
    STRIKORA_FUZZ_CHECK(after.size() == size - strikora::kRecordLength);
    STRIKORA_FUZZ_CHECK(
        after.compare(after.size() - (size - loaded), std::string::npos, before, loaded) == 0);
  } else {
    STRIKORA_FUZZ_CHECK(after.size() == loaded - strikora::kRecordLength);
  }
  if (count < strikora::Roster::kMaxPlayers) STRIKORA_FUZZ_CHECK(roster.PlayerCount() == count - 1);

  // A new bowler behind them, as the new-player wizard saves one.
  if (roster.PlayerCount() < strikora::Roster::kMaxPlayers) {
    strikora::Player& added = roster.AddPlayer();
    added.SetFirstName("fn1.wav");
    added.Save(file, roster.PlayerCount());
    const std::string saved = Read(file);
    const std::size_t at =
        static_cast<std::size_t>(roster.PlayerCount() - 1) * strikora::kRecordLength;
    STRIKORA_FUZZ_CHECK(
        saved.compare(0, std::min(at, after.size()), after, 0, std::min(at, after.size())) == 0);
    STRIKORA_FUZZ_CHECK(saved.size() == std::max(after.size(), at + strikora::kRecordLength));
  }
  return 0;
}
