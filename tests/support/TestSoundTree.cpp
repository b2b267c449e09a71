#include "tests/support/TestSoundTree.h"

#include <array>
#include <bit>
#include <fstream>

#include "tools/ClipList.h"
#include "tools/PackFile.h"

namespace strikora::testing {
static std::filesystem::path FolderOf(const Folders& f, voiceset::Pack pack) {
  if (pack == voiceset::Pack::Beside) return f.PackFolder;
  return f.SoundsFolder / std::string(voiceset::PackDestination(pack));
}

void WriteWav(const std::filesystem::path& file, int milliseconds, int channels, int sampleRate) {
  static_assert(std::endian::native == std::endian::little, "WAV headers are little-endian");
  std::filesystem::create_directories(file.parent_path());
  const auto bytes =
      static_cast<std::uint32_t>(std::int64_t{sampleRate} * milliseconds / 1000 * channels * 2);
  const auto u = [](int v) { return static_cast<std::uint32_t>(v); };
  // RIFF, WAVE, "fmt " with PCM, channels, rate, bytes a second, frame size, 16 bits; "data".
  // clang-format off
  const std::array<std::uint32_t, 11> header = {0x46464952, 36 + bytes, 0x45564157, 0x20746d66,
      16, u(1 | channels << 16), u(sampleRate), u(sampleRate * channels * 2),
      u(channels * 2 | 16 << 16), 0x61746164, bytes};
  // clang-format on
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(header.data()), sizeof header);
  const std::vector<char> zeros(bytes, 0);
  out.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
}

TestSoundTree::TestSoundTree(const std::filesystem::path& root, int clipMs, int mp3Ms,
                             int silenceMs)
    : F(Folders::Make(root / "data", root / "packs")) {
  for (const voiceset::Clip& clip : voiceset::AllClips()) {
    if (clip.kind == voiceset::ClipKind::Data) continue;
    const std::filesystem::path file = Clip(FolderOf(F, clip.pack), clip.file);
    int ms = clip.IsMp3() ? mp3Ms : clipMs;
    if (clip.effect == voiceset::Effect::Silence) ms = silenceMs;
    WriteWav(file, ms, clip.effect == voiceset::Effect::SpeakerTest ? 2 : 1);
  }
  std::ofstream(F.NamesDatFile, std::ios::binary) << voiceset::NamesDatText();
}

void WriteTestPacks(const Folders& staged) {
  for (const voiceset::Pack pack : voiceset::kPacks) {
    std::vector<packfile::PackInput> entries;
    for (const auto& entry : std::filesystem::directory_iterator(FolderOf(staged, pack))) {
      if (!entry.is_regular_file()) continue;
      entries.push_back({entry.path().filename().string(), packfile::ReadWholeFile(entry.path())});
    }
    if (pack == voiceset::Pack::StdNames) {
      entries.push_back({"..\\names.dat", packfile::ReadWholeFile(staged.NamesDatFile)});
    }
    packfile::WriteIfChanged(staged.PackFolder / std::string(voiceset::PackFileName(pack)),
                             packfile::BuildPack(entries));
  }
}

}  // namespace strikora::testing
