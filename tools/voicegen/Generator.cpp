#include "tools/voicegen/Generator.h"

#include <atomic>
#include <exception>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "tools/PackFile.h"
#include "tools/voicegen/Effects.h"
#include "tools/voicegen/SoundFile.h"

namespace strikora::voicegen {

namespace fs = std::filesystem;
using voiceset::Clip;

fs::path StagedPath(const fs::path& staging, const Clip& clip) {
  return (staging / std::string(voiceset::PackDestination(clip.pack)) / clip.file)
      .lexically_normal();
}

Audio RenderClip(const Clip& clip, Speaker& speaker) {
  std::vector<Samples> speech;
  for (const auto& part : SpeechPartsOf(clip))
    speech.push_back(speaker.Say(part.Voice, part.Text, part.Variant));
  return MakeAudio(clip, speech);
}

void WriteClip(const Clip& clip, const Audio& audio, const fs::path& file) {
  WriteSoundFile(file, audio, clip.IsMp3() ? FileFormat::Mp3 : FileFormat::Wav16);
}

namespace {

void WriteText(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace

void StageClips(const std::vector<const Clip*>& clips, const fs::path& staging, int threads,
                Speaker& speaker) {
  for (const Clip* clip : clips) fs::create_directories(StagedPath(staging, *clip).parent_path());

  std::vector<std::vector<Samples>> speech(clips.size());
  for (std::size_t i = 0; i < clips.size(); ++i) {
    if (clips[i]->kind == voiceset::ClipKind::Data) continue;
    for (const auto& part : SpeechPartsOf(*clips[i])) {
      speech[i].push_back(speaker.Say(part.Voice, part.Text, part.Variant));
    }
  }

  std::atomic<std::size_t> next{0};
  std::mutex failureLock;
  std::exception_ptr failure;
  auto work = [&] {
    for (std::size_t i = next++; i < clips.size(); i = next++) {
      try {
        const Clip& clip = *clips[i];
        const fs::path file = StagedPath(staging, clip);
        if (clip.effect == voiceset::Effect::NamesList) {
          WriteText(file, voiceset::NamesDatText());
        } else {
          WriteClip(clip, MakeAudio(clip, speech[i]), file);
        }
        speech[i].clear();
        speech[i].shrink_to_fit();
      } catch (...) {
        const std::lock_guard lock(failureLock);
        if (!failure) failure = std::current_exception();
      }
    }
  };
  std::vector<std::jthread> pool;
  for (int t = 1; t < threads; ++t) pool.emplace_back(work);
  work();
  pool.clear();  // joins
  if (failure) std::rethrow_exception(failure);
}

int WritePacks(const fs::path& staging, const fs::path& out) {
  fs::create_directories(out);
  int written = 0;
  for (const voiceset::Pack pack : voiceset::kPacks) {
    std::vector<packfile::PackInput> entries;
    for (const Clip* clip : voiceset::ClipsOf(pack)) {
      entries.push_back(
          {clip->PackEntryName(), packfile::ReadWholeFile(StagedPath(staging, *clip))});
    }
    const auto bytes = packfile::BuildPack(entries);
    if (packfile::WriteIfChanged(out / std::string(voiceset::PackFileName(pack)), bytes)) ++written;
  }
  for (const Clip* clip : voiceset::ClipsOf(voiceset::Pack::Beside)) {
    if (packfile::WriteIfChanged(out / clip->file,
                                 packfile::ReadWholeFile(StagedPath(staging, *clip)))) {
      ++written;
    }
  }
  return written;
}

}  // namespace strikora::voicegen
