#include "tests/support/TestSoundTree.h"

#include <fstream>

#include "tools/ClipList.h"
#include "tools/PackFile.h"

namespace strikora::testing {
namespace {

void Put16(std::ofstream& out, std::uint16_t v) {
  const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
  out.write(b, 2);
}
void Put32(std::ofstream& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::filesystem::path FolderOf(const Folders& f, voiceset::Pack pack) {
  using voiceset::Pack;
  switch (pack) {
    case Pack::Numbers:
      return f.NumbersFolder;
    case Pack::Announce:
      return f.AnnounceFolder;
    case Pack::Adverts:
      return f.AdvertsFolder;
    case Pack::Ambient:
      return f.AmbientFolder;
    case Pack::Menu:
      return f.MenuFolder;
    case Pack::Play:
      return f.PlayFolder;
    case Pack::StdNames:
      return f.NamesFolder;
    case Pack::Initials:
      return f.InitialsFolder;
    case Pack::Beside:
      return f.PackFolder;
  }
  return f.SoundsFolder;
}

}  // namespace

void WriteWav(const std::filesystem::path& file, int milliseconds, int channels, int sampleRate) {
  std::filesystem::create_directories(file.parent_path());
  const auto frames =
      static_cast<std::uint32_t>(static_cast<std::int64_t>(sampleRate) * milliseconds / 1000);
  const std::uint32_t dataBytes = frames * static_cast<std::uint32_t>(channels) * 2;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write("RIFF", 4);
  Put32(out, 36 + dataBytes);
  out.write("WAVEfmt ", 8);
  Put32(out, 16);
  Put16(out, 1);
  Put16(out, static_cast<std::uint16_t>(channels));
  Put32(out, static_cast<std::uint32_t>(sampleRate));
  Put32(out, static_cast<std::uint32_t>(sampleRate * channels * 2));
  Put16(out, static_cast<std::uint16_t>(channels * 2));
  Put16(out, 16);
  out.write("data", 4);
  Put32(out, dataBytes);
  const std::vector<char> zeros(dataBytes, 0);
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
    const auto bytes = packfile::BuildPack(entries);
    packfile::WriteIfChanged(staged.PackFolder / std::string(voiceset::PackFileName(pack)), bytes);
  }
}

}  // namespace strikora::testing
