#pragma once

#include <sndfile.hh>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/Folders.h"
#include "tests/support/TempDir.h"
#include "tools/ClipList.h"
#include "tools/PackFile.h"

namespace strikora::testing {

// Writes a silent 16-bit WAV of the given length (the simulated desktop reads only its header).
inline void WriteWav(const std::filesystem::path& file, int milliseconds, int channels = 1,
                     int sampleRate = 22050) {
  std::filesystem::create_directories(file.parent_path());
  SndfileHandle out(file.string(), SFM_WRITE, SF_FORMAT_WAV | SF_FORMAT_PCM_16, channels,
                    sampleRate);
  const std::vector<short> silence(
      static_cast<std::size_t>(std::int64_t{sampleRate} * milliseconds / 1000 * channels));
  out.write(silence.data(), static_cast<sf_count_t>(silence.size()));
}

inline std::filesystem::path FolderOf(const Folders& f, voiceset::Pack pack) {
  return pack == voiceset::Pack::Beside ? f.PackFolder
                                        : f.SoundsFolder / voiceset::PackDestination(pack);
}

// Every clip of the clip list, short and silent, in its folder under root/data/sounds/ or, for
// silence.wav and logos.mp3, root/packs/; the MP3s are WAV data under their names (the
// simulated player reads lengths from headers, whatever the format).
struct TestSoundTree {
  explicit TestSoundTree(const std::filesystem::path& root, int clipMs = 400, int mp3Ms = 3000,
                         int silenceMs = 100)
      : F(Folders::Make(root / "data", root / "packs")) {
    for (const voiceset::Clip& clip : voiceset::AllClips()) {
      if (clip.kind == voiceset::ClipKind::Data) continue;
      const bool silence = clip.effect == voiceset::Effect::Silence;
      WriteWav(Clip(FolderOf(F, clip.pack), clip.file),
               silence ? silenceMs : (clip.IsMp3() ? mp3Ms : clipMs),
               clip.effect == voiceset::Effect::SpeakerTest ? 2 : 1);
    }
    std::ofstream(F.NamesDatFile, std::ios::binary) << voiceset::NamesDatText();
  }
  Folders F;
};

// Packs the stand-in tree's folders into the eight ".des" packs in F.PackFolder, as the
// default set is packed (the names pack carries "..\names.dat"), for start-up tests.
inline void WriteTestPacks(const Folders& staged) {
  for (const voiceset::Pack pack : voiceset::kPacks) {
    std::vector<packfile::PackInput> entries;
    for (const auto& file : std::filesystem::directory_iterator(FolderOf(staged, pack)))
      if (file.is_regular_file())
        entries.push_back({file.path().filename(), packfile::ReadWholeFile(file.path())});
    if (pack == voiceset::Pack::StdNames)
      entries.push_back({"..\\names.dat", packfile::ReadWholeFile(staged.NamesDatFile)});
    packfile::WriteIfChanged(staged.PackFolder / std::string(voiceset::PackFileName(pack)),
                             packfile::BuildPack(entries));
  }
}

}  // namespace strikora::testing
