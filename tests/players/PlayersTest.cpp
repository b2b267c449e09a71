// A bowler's scorecard and history against the rules over random games; the roster's file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <random>
#include <tuple>

#include "players/Roster.h"
#include "tests/support/TempDir.h"

namespace strikora {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Frames = std::vector<std::vector<int>>;

// A legal game, strike-heavy so that every shape of the tenth frame comes up often.
Frames RandomGame(std::mt19937& rng) {
  const auto ball = [&rng](int up) { return rng() % 3 ? static_cast<int>(rng() % (up + 1)) : up; };
  Frames game(10);
  for (std::size_t f = 0; f < 10; ++f) {
    auto& b = game[f] = {ball(10)};
    if (b[0] < 10 || f == 9) b.push_back(ball(b[0] < 10 ? 10 - b[0] : 10));
    if (f == 9 && b[0] + b[1] >= 10) b.push_back(ball(b[0] == 10 && b[1] < 10 ? 10 - b[1] : 10));
  }
  return game;
}

// Each frame's points so far: its pins, and in frames 1..9 the next two deliveries after a
// strike or the next one after a spare, as far as bowled.
std::vector<int> Reference(const Frames& bowled) {
  std::vector<int> rolls, points(10, 0);
  for (const auto& f : bowled) rolls.insert(rolls.end(), f.begin(), f.end());
  for (std::size_t f = 0, at = 0; f < bowled.size(); at += bowled[f++].size()) {
    const auto& b = bowled[f];
    const bool spare = b.size() == 2 && b[0] + b[1] == 10;
    const std::size_t end = at + b.size() + (f == 9 ? 0 : b[0] == 10 ? 2 : spare ? 1 : 0);
    for (std::size_t i = at; i < std::min(end, rolls.size()); ++i) points[f] += rolls[i];
  }
  return points;
}

// Over random games: each frame after every delivery, the marks, and the history (one slot
// counter for all series, wrapping after 100; averages of games above 0, halves to even).
TEST(PlayerScoring, FramesMarksAndHistoryFollowTheRulesOverRandomGames) {
  std::mt19937 rng(20261207);
  const Frames perfect = {{10}, {10}, {10}, {10}, {10}, {10}, {10}, {10}, {10}, {10, 10, 10}};
  std::map<std::pair<int, int>, std::array<int, 101>> history;  // series -> total by slot
  Player player;  // one card for all games: ResetScore must leave nothing behind
  for (int game = 1; game <= 2000; ++game) {
    SCOPED_TRACE("game " + std::to_string(game));
    const int method = 1 + static_cast<int>(rng() % 2), skill = 1 + static_cast<int>(rng() % 5);
    // Series (2, 5) bowls perfect games (no handicap); every seventh game fells nothing.
    Frames full = method == 2 && skill == 5 ? perfect : RandomGame(rng);
    if (game % 7 == 0) full = Frames(10, {0, 0});
    player.ResetScore();
    Frames bowled;
    for (int f = 0; f < 10; ++f) {
      bowled.emplace_back();
      int ball = 0;  // the lane's numbering: +2 after a delivery once the frame has its strike
      for (const int pins : full[f]) {
        if (pins > 0) player.AddScore(f + 1, pins, ball);
        ball += player.Strikes(f + 1) ? 2 : 1;
        bowled.back().push_back(pins);
        const std::vector<int> expected = Reference(bowled);
        for (int k = 0; k < 10; ++k)
          ASSERT_EQ(player.GetFrameScore(k + 1), expected[k]) << k + 1 << " during " << f + 1;
      }
      ASSERT_EQ(player.Strikes(f + 1), full[f][0] == 10) << f + 1;
      ASSERT_EQ(player.Spares(f + 1), full[f][0] < 10 && full[f][0] + full[f][1] == 10) << f + 1;
    }
    const std::vector<int> points = Reference(full);
    const int total = std::accumulate(points.begin(), points.end(), 0);
    ASSERT_EQ(player.GetScore(false, 0, 0), total);

    player.GameOver(static_cast<std::int16_t>(method), static_cast<std::int16_t>(skill));
    const int slot = (game - 1) % 100 + 1;
    auto& series = history[{method, skill}];
    series[slot] = total;
    ASSERT_EQ(player.LastGameSlot(), slot);
    ASSERT_EQ(player.ScoreHistory(method, skill, slot), total);
    const double sum = std::accumulate(series.begin(), series.end(), 0.0);
    const auto games = std::count_if(series.begin(), series.end(), [](int t) { return t > 0; });
    const int average = games == 0 ? 0 : static_cast<int>(std::nearbyint(sum / games));
    ASSERT_EQ(player.Average(method, skill), average);
    ASSERT_EQ(player.GetScore(true, method, skill), total + std::max(250 - average, 0));
  }
}

// Bowler n, "fn<n>.wav" with a game of n pins, laid out by hand; n = 0 is an absent record.
Bytes Bowlers(const std::vector<int>& numbers) {
  Bytes all;
  for (const int n : numbers) {
    Bytes b(kRecordLength, 0);
    const auto names = ("fn" + std::to_string(n) + ".wav     ").substr(0, 12) + "k.wav       ";
    if (n > 0) std::copy(names.begin(), names.end(), b.begin());
    b[28] = static_cast<std::uint8_t>(n);  // the history's first entry
    b[2028] = 1;                           // the last game's slot
    all.insert(all.end(), b.begin(), b.end());
  }
  return all;
}
void Write(const fs::path& file, const Bytes& bytes) {
  std::ofstream(file, std::ios::binary) << std::string(bytes.begin(), bytes.end());
}
Bytes Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Random records read field by field and saved back: Booleans 0xFFFF or 0, a slot past 100 0.
TEST(RosterRecord, RandomRecordsLoadFieldByFieldAndSaveBackTheSame) {
  std::mt19937 rng(11);
  testing::TempDir dir;
  for (int round = 0; round < 40; ++round) {
    Bytes raw(kRecordLength);
    for (auto& byte : raw) byte = static_cast<std::uint8_t>(rng() % 3 == 0 ? 0 : rng());
    raw[0] = 'f';
    if (round % 2 == 0) raw[2029] = 0;  // a last slot of 0..255
    const auto u16 = [&raw](std::size_t at) { return raw[at] | raw[at + 1] << 8; };
    Write(dir / "in", raw);
    Player p;
    ASSERT_TRUE(p.Load(dir / "in", 1));
    for (int i = 0; i < 1000; ++i)  // method fastest, then skill, then slot
      ASSERT_EQ(p.ScoreHistory(i % 2 + 1, i / 2 % 5 + 1, i / 10 + 1),
                static_cast<std::int16_t>(u16(28 + 2 * i)));
    const auto slot = static_cast<std::int16_t>(u16(2028));
    EXPECT_EQ(p.LastGameSlot(), slot >= 0 && slot <= 100 ? slot : 0);
    for (const std::size_t at : {24, 26}) raw[at + 1] = raw[at] = u16(at) != 0 ? 0xFF : 0;
    if (p.LastGameSlot() == 0) raw[2028] = raw[2029] = 0;
    std::fill(raw.begin() + 2030, raw.end(), 0);
    p.Save(dir / ("out" + std::to_string(round)), 1);
    ASSERT_EQ(Read(dir / ("out" + std::to_string(round))), raw) << "round " << round;
  }
}

struct RosterWorld {
  explicit RosterWorld(const std::vector<int>& bowlers) {
    Write(file, Bowlers(bowlers));
    roster.LoadRoster();
  }
  testing::TempDir dir;
  fs::path file = dir / "players.qbx";
  Roster roster{file, dir.Path(), dir / "names"};
};

TEST(RosterStore, DeletingMovesTheBowlersBehindUpAndKeepsWhatWasNeverRead) {
  // In the file, deleted, the file after, then read: 100 at most, none behind a damaged one (0).
  // clang-format off
  const std::tuple<std::vector<int>, std::int16_t, std::vector<int>, int> rows[] = {
      {{1, 2, 3}, 2, {1, 3}, 2}, {{1}, 1, {}, 0}, {{1, 0, 4}, 1, {0, 4}, 0},
      {{1, 2, 0, 4}, 1, {2, 0, 4}, 1}, {std::vector<int>(101, 7), 1, std::vector<int>(100, 7), 100}};
  // clang-format on
  for (const auto& [bowlers, index, after, count] : rows) {
    SCOPED_TRACE(::testing::PrintToString(bowlers));
    RosterWorld w(bowlers);
    Write(w.dir / "victim", {1});  // planted where the new roster is written (see RosterSafety)
    fs::create_symlink(w.dir / "victim", w.dir / "temp.qbx");
    w.roster.DeletePlayer(index);
    EXPECT_EQ(Read(w.file), Bowlers(after));
    EXPECT_EQ(w.roster.PlayerCount(), count);
    EXPECT_TRUE(fs::exists(w.file));  // the reload starts an empty roster if none was left
    EXPECT_FALSE(fs::exists(fs::symlink_status(w.dir / "temp.qbx")));
    EXPECT_EQ(Read(w.dir / "victim"), Bytes{1});
  }
  RosterWorld w({1, 2, 3});
  fs::create_directories(w.dir / "temp.qbx" / "keep");  // the new roster cannot be written
  EXPECT_THROW(w.roster.DeletePlayer(2), std::system_error);
  EXPECT_THROW(w.roster.DeletePlayer(4), std::out_of_range);
  EXPECT_EQ(Read(w.file), Bowlers({1, 2, 3}));
  EXPECT_EQ(w.roster.Players(3).FirstName(), "fn3.wav");
}

// A pack's names folder is input: only fn<1-200>.wav files count, in number order, in any case.
TEST(RosterStore, CatalogueListsFirstNameRecordingsInNumberOrder) {
  RosterWorld w({});
  fs::create_directories(w.dir / "names" / "fn2.wav");
  for (const char* name : {"fn3.wav", "fn1.wav", "FN5.WAV", "fn0.wav", "fn01.wav", "fn201.wav"})
    Write(w.dir / "names" / name, {0});
  w.roster.CatalogueFirstNames();
  ASSERT_EQ(w.roster.FirstNameCount(), 3);
  EXPECT_EQ(w.roster.FirstNameFiles(1) + w.roster.FirstNameFiles(2) + w.roster.FirstNameFiles(3),
            "fn1.wavfn3.wavfn5.wav");
}

struct RecordedCalls final : FileCalls {  // syncs and renames in order; fails the one named
  explicit RecordedCalls(std::string fail) : failing(std::move(fail)) {}
  bool Fails(const char* call) { return log.emplace_back(call) == failing; }
  int FSync(int fd) override { return Fails("sync") ? -1 : FileCalls::FSync(fd); }
  int Rename(const char* a, const char* b) override {
    return Fails("rename") ? -1 : FileCalls::Rename(a, b);
  }
  int Unlink(const char* path) override {  // "replant": a link is back before the copy is made
    const int done = FileCalls::Unlink(path);
    if (failing == "replant") fs::create_symlink(fs::path(path).parent_path() / "victim", path);
    return done;
  }
  std::string failing;
  std::vector<std::string> log;
};

// A shared roster (0666) keeps its mode; a stale copy or another user's link at the copy's name
// is never written through; the copy is on the disk before it replaces the roster (a power cut
// cannot empty it), and a failure leaves the old roster and no copy.
TEST(RosterSafety, ASaveReplacesTheRosterWholeOrNotAtAllAndFollowsNoLink) {
  const mode_t umaskWas = ::umask(022);
  const std::pair<const char*, const char*> rows[] = {{"nothing", ""},     {"stale", ""},
                                                      {"link", ""},        {"link", "sync"},
                                                      {"stale", "rename"}, {"link", "replant"}};
  for (const auto& [planted, failing] : rows) {
    SCOPED_TRACE(std::string(planted) + ", failing " + failing);
    RosterWorld w({1, 2});
    const fs::path file = w.file, copy = w.dir / "players.qbx.tmp";
    ::chmod(file.c_str(), 0666);
    Write(w.dir / "victim", {1, 2, 3});
    if (*planted == 's') Write(copy, Bowlers({9, 9, 9}));
    if (*planted == 'l') fs::create_symlink(w.dir / "victim", copy);
    RecordedCalls calls(failing);
    Bytes expected = Bowlers({1, 2});
    if (*failing == '\0') {
      WriteRecord(file, 3, RecordBytes{}, calls);
      expected.resize(3 * kRecordLength, 0);
      EXPECT_EQ(calls.log, (std::vector<std::string>{"sync", "rename", "sync"}));
    } else {
      EXPECT_THROW(WriteRecord(file, 3, RecordBytes{}, calls), std::system_error);
    }
    EXPECT_EQ(Read(file), expected);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0666));
    EXPECT_EQ(fs::exists(fs::symlink_status(copy)), std::string(failing) == "replant");
    EXPECT_EQ(Read(w.dir / "victim"), (Bytes{1, 2, 3}));
  }
  testing::TempDir dir;  // a link planted at the roster's name: no first roster through it
  fs::create_symlink(dir / "missing", dir / "players.qbx");
  EXPECT_THROW((void)Player().Load(dir / "players.qbx", 1), std::system_error);
  EXPECT_FALSE(fs::exists(dir / "missing"));
  ::umask(umaskWas);
}

}  // namespace
}  // namespace strikora
