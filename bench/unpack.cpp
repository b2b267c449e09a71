// Start-up unpacks the eight default packs into the sound tree before the player hears
// anything. Set against the plainest way to lay down the same bytes (reading each file whole
// and writing it to a fresh tree), the reader should cost at most half as much again.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "Figures.h"
#include "audio/SoundPack.h"
#include "tests/support/TestSoundTree.h"
#include "tools/ClipList.h"

namespace {

namespace fs = std::filesystem;
using strikora::bench::MsSince;

constexpr int kRounds = 7;  // after one round that warms the file cache
constexpr double kTargetRatio = 1.5;

double UnpackAll(const fs::path& packs, const fs::path& sounds) {
  const auto start = std::chrono::steady_clock::now();
  fs::create_directories(sounds);
  for (const auto pack : strikora::voiceset::kPacks) {
    const fs::path dest = sounds / strikora::voiceset::PackDestination(pack);
    const fs::path file = packs / strikora::voiceset::PackFileName(pack);
    if (strikora::UnpackSoundPack(file, dest, sounds, {}) != strikora::UnpackResult::Done) {
      throw std::runtime_error("cannot unpack " + file.string());
    }
  }
  return MsSince(start);
}

struct Tree {
  std::vector<fs::path> Files;  // relative to the tree's root
  std::uintmax_t Bytes = 0;
};

Tree ListTree(const fs::path& root) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    tree.Files.push_back(fs::relative(entry.path(), root));
    tree.Bytes += entry.file_size();
  }
  return tree;
}

// The same folders and files, each read whole and written out again.
double CopyAll(const Tree& tree, const fs::path& from, const fs::path& to) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<char> bytes;
  for (const fs::path& file : tree.Files) {
    std::ifstream in(from / file, std::ios::binary);
    bytes.resize(static_cast<std::size_t>(fs::file_size(from / file)));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!in) throw std::runtime_error("cannot read " + (from / file).string());
    fs::create_directories((to / file).parent_path());
    std::ofstream out(to / file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + (to / file).string());
  }
  return MsSince(start);
}

int Run(const fs::path& packs) {
  std::vector<double> unpackMs;
  std::vector<double> copyMs;
  std::vector<double> ratios;
  Tree tree;
  for (int round = 0; round <= kRounds; ++round) {
    const strikora::testing::TempDir dir;
    const double unpack = UnpackAll(packs, dir.Path() / "unpacked" / "sounds");
    tree = ListTree(dir.Path() / "unpacked" / "sounds");
    const double copy = CopyAll(tree, dir.Path() / "unpacked" / "sounds", dir.Path() / "copied");
    if (round == 0) continue;
    unpackMs.push_back(unpack);
    copyMs.push_back(copy);
    ratios.push_back(unpack / copy);
  }

  const auto u = strikora::bench::SpreadOf(unpackMs);
  const auto c = strikora::bench::SpreadOf(copyMs);
  const auto r = strikora::bench::SpreadOf(ratios);
  std::printf("eight default packs from %s: %zu files, %.1f MB\n", packs.string().c_str(),
              tree.Files.size(), static_cast<double>(tree.Bytes) / 1e6);
  std::printf("  unpack:         median %.1f ms (best %.1f, worst %.1f) over %d rounds\n", u.Median,
              u.Best, u.Worst, kRounds);
  std::printf("  file-by-file copy: median %.1f ms (best %.1f, worst %.1f)\n", c.Median, c.Best,
              c.Worst);
  std::printf("  unpack / copy ratio: median %.2f (best %.2f, worst %.2f)\n", r.Median, r.Best,
              r.Worst);
  strikora::bench::PrintVerdict("target ratio no worse than 1.5 (median)",
                                r.Median <= kTargetRatio);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc > 1 ? fs::path(argv[1]) : fs::path(STRIKORA_DEFAULT_PACKS));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "strikora_bench_unpack: %s\n", e.what());
    return 2;
  }
}
