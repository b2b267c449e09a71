#include "tools/voicegen/Generator.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <fstream>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "tools/PackFile.h"
#include "tools/voicegen/Effects.h"
#include "tools/voicegen/Level.h"
#include "tools/voicegen/SoundFile.h"

namespace strikora::voicegen {

namespace fs = std::filesystem;
using voiceset::Clip;

fs::path StagedPath(const fs::path& staging, const Clip& clip) {
  return (staging / std::string(voiceset::PackDestination(clip.pack)) / clip.file)
      .lexically_normal();
}

namespace {

// True-peak ceilings the generator aims under: a little below the clip list's, for 16-bit
// rounding in a WAV and for the ringing an MP3 encoder adds.
constexpr double kWavCeilingDb = voiceset::kTruePeakCeiling / 100.0 - 0.3;
constexpr double kMp3CeilingDb = voiceset::kTruePeakCeiling / 100.0 - 1.0;
constexpr double kMp3CheckDb = voiceset::kTruePeakCeiling / 100.0 - 0.3;  // after decoding

void WriteText(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// Runs every task on `threads` threads, the caller's among them once `first` is done on it.
// The first failure is thrown once all have stopped.
void RunTasks(const std::vector<std::function<void()>>& tasks, int threads,
              const std::function<void()>& first = {}) {
  std::atomic<std::size_t> next{0};
  std::mutex failureLock;
  std::exception_ptr failure;
  const auto guarded = [&](const std::function<void()>& task) {
    try {
      task();
    } catch (...) {
      const std::lock_guard lock(failureLock);
      if (!failure) failure = std::current_exception();
    }
  };
  const auto work = [&] {
    for (std::size_t i = next++; i < tasks.size(); i = next++) guarded(tasks[i]);
  };
  {
    std::vector<std::jthread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(work);
    if (first) guarded(first);
    work();
  }  // joins
  if (failure) std::rethrow_exception(failure);
}

}  // namespace

Audio RenderClip(const Clip& clip, Speaker& speaker) {
  std::vector<Samples> speech;
  for (const auto& part : SpeechPartsOf(clip))
    speech.push_back(speaker.Say(part.Voice, part.Text, part.Variant));
  Audio audio = MakeAudio(clip, speech);
  Finish(clip, audio, clip.IsMp3() ? kMp3CeilingDb : kWavCeilingDb);
  return audio;
}

void WriteClip(const Clip& clip, const Audio& audio, const fs::path& file) {
  if (!clip.IsMp3()) {
    WriteSoundFile(file, audio, FileFormat::Wav16);
    return;
  }
  // The encoder's ringing can lift a peak over the ceiling: then the whole piece goes down by
  // the excess and is encoded again.
  Audio lowered = audio;
  for (int pass = 0;; ++pass) {
    WriteSoundFile(file, lowered, FileFormat::Mp3);
    const double over = TruePeakEstimate(ReadSoundFile(file)) - kMp3CheckDb;
    if (over <= 0) return;
    if (pass == 3) throw std::runtime_error(file.string() + " peaks over the ceiling");
    const auto g = static_cast<float>(std::pow(10.0, -(over + 0.1) / 20));
    for (float& v : lowered.Data) v *= g;
  }
}

void StageClips(const std::vector<const Clip*>& clips, const fs::path& staging, int threads,
                Speaker& speaker) {
  for (const Clip* clip : clips) fs::create_directories(StagedPath(staging, *clip).parent_path());

  // What each clip needs spoken; eSpeak NG's parts in clip order on this thread, Flite's on
  // any, longest first so that no thread is left with a long one at the end.
  std::vector<std::vector<SpeechPart>> parts(clips.size());
  std::vector<std::vector<Samples>> speech(clips.size());
  std::vector<std::pair<std::size_t, std::size_t>> inOrder, anyOrder;
  for (std::size_t i = 0; i < clips.size(); ++i) {
    if (clips[i]->kind == voiceset::ClipKind::Data) continue;
    parts[i] = SpeechPartsOf(*clips[i]);
    speech[i].resize(parts[i].size());
    for (std::size_t j = 0; j < parts[i].size(); ++j) {
      (Speaker::SpeaksInOrder(parts[i][j].Voice) ? inOrder : anyOrder).emplace_back(i, j);
    }
  }
  std::stable_sort(anyOrder.begin(), anyOrder.end(), [&](const auto& a, const auto& b) {
    return parts[a.first][a.second].Text.size() > parts[b.first][b.second].Text.size();
  });
  const auto say = [&](std::pair<std::size_t, std::size_t> at) {
    const SpeechPart& part = parts[at.first][at.second];
    speech[at.first][at.second] = speaker.Say(part.Voice, part.Text, part.Variant);
  };
  const auto make = [&](std::size_t i) {
    const Clip& clip = *clips[i];
    const fs::path file = StagedPath(staging, clip);
    if (clip.effect == voiceset::Effect::NamesList) {
      WriteText(file, voiceset::NamesDatText());
      return;
    }
    Audio audio = MakeAudio(clip, speech[i]);
    speech[i].clear();
    speech[i].shrink_to_fit();
    Finish(clip, audio, clip.IsMp3() ? kMp3CeilingDb : kWavCeilingDb);
    WriteClip(clip, audio, file);
  };

  // First the speaking, and meanwhile every clip that needs no words; then the rest.
  std::vector<std::function<void()>> tasks, spoken;
  for (std::size_t i = 0; i < clips.size(); ++i) {
    if (parts[i].empty()) tasks.emplace_back([&make, i] { make(i); });
  }
  for (const auto& at : anyOrder) tasks.emplace_back([&say, at] { say(at); });
  RunTasks(tasks, threads, [&] {
    for (const auto& at : inOrder) say(at);
  });
  for (std::size_t i = 0; i < clips.size(); ++i) {
    if (!parts[i].empty()) spoken.emplace_back([&make, i] { make(i); });
  }
  RunTasks(spoken, threads);
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
