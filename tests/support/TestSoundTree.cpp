#include "tests/support/TestSoundTree.h"

#include <sndfile.hh>

#include <fstream>

#include "tools/ClipList.h"
#include "tools/PackFile.h"

namespace strikora::testing {
static std::filesystem::path FolderOf(const Folders& f, voiceset::Pack pack) {
  if (pack == voiceset::Pack::Beside) return f.PackFolder;
  return f.SoundsFolder / std::string(voiceset::PackDestination(pack));
}

void WriteWav(const std::filesystem::path& file, int milliseconds, int channels, int sampleRate) {
  std::filesystem::create_directories(file.parent_path());
  SndfileHandle out(file.string(), SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_PCM_16, channels,
                    sampleRate);
  const std::vector<short> silence(
      static_cast<std::size_t>(std::int64_t{sampleRate} * milliseconds / 1000 * channels));
  out.write(silence.data(), static_cast<sf_count_t>(silence.size()));
}

TestSoundTree::TestSoundTree(const std::filesystem::path& root, int clipMs, int mp3Ms,
                             int silenceMs)
    : F(Folders::Make(root / "data", root / "packs")) {
  for (const voiceset::Clip& clip : voiceset::AllClips()) {
    if (clip.kind == voiceset::ClipKind::Data) continue;
    const std::filesystem::path file = Clip(FolderOf(F, clip.pack), clip.file);
    const bool silence = clip.effect == voiceset::Effect::Silence;
    WriteWav(file, silence ? silenceMs : (clip.IsMp3() ? mp3Ms : clipMs),
             clip.effect == voiceset::Effect::SpeakerTest ? 2 : 1);
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
    if (pack == voiceset::Pack::StdNames)
      entries.push_back({"..\\names.dat", packfile::ReadWholeFile(staged.NamesDatFile)});
    packfile::WriteIfChanged(staged.PackFolder / std::string(voiceset::PackFileName(pack)),
                             packfile::BuildPack(entries));
  }
}

}  // namespace strikora::testing
