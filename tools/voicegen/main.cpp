// strikora-voicegen: speaks and synthesises the default sound set and writes the eight packs,
// silence.wav and logos.mp3 into the folder the game looks for them in.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tools/ClipList.h"
#include "tools/voicegen/Generator.h"
#include "tools/voicegen/Speech.h"

namespace {

int Usage() {
  std::fputs(
      "usage: strikora-voicegen --out DIR [--staging DIR] [--threads N]\n"
      "  Writes numbers.des ... initials.des, silence.wav and logos.mp3 into DIR.\n"
      "  The clips are first written as WAV and MP3 files into the staging folder\n"
      "  (default DIR/../voiceset-staging), laid out as the unpacked sound tree.\n",
      stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  fs::path out, staging;
  int threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--out" && hasValue) {
      out = args[++i];
    } else if (args[i] == "--staging" && hasValue) {
      staging = args[++i];
    } else if (args[i] == "--threads" && hasValue) {
      threads = std::max(1, std::atoi(std::string(args[++i]).c_str()));
    } else {
      return Usage();
    }
  }
  if (out.empty()) return Usage();
  if (staging.empty()) staging = out.parent_path() / "voiceset-staging";

  try {
    const auto start = std::chrono::steady_clock::now();
    std::vector<const strikora::voiceset::Clip*> clips;
    for (const auto& clip : strikora::voiceset::AllClips()) clips.push_back(&clip);
    strikora::voicegen::Speaker speaker;
    strikora::voicegen::StageClips(clips, staging, threads, speaker);
    const int written = strikora::voicegen::WritePacks(staging, out);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("strikora-voicegen: %zu clips, %d pack files updated, %.1f s\n", clips.size(),
                written, took.count());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "strikora-voicegen: %s\n", e.what());
    return 1;
  }
}
