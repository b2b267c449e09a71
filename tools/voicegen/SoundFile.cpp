#include "tools/voicegen/SoundFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace strikora::voicegen {
namespace {

// Owns one SNDFILE*: closed exactly once, whatever way the writer leaves.
class SndFile {
 public:
  SndFile(const std::filesystem::path& file, int mode, SF_INFO& info)
      : Handle(sf_open(file.c_str(), mode, &info)) {
    if (Handle == nullptr) {
      throw std::runtime_error("cannot open " + file.string() + ": " + sf_strerror(nullptr));
    }
  }
  SndFile(SF_VIRTUAL_IO& io, void* source, SF_INFO& info)
      : Handle(sf_open_virtual(&io, SFM_READ, &info, source)) {
    if (Handle == nullptr)
      throw std::runtime_error(std::string("cannot decode: ") + sf_strerror(nullptr));
  }
  ~SndFile() {
    if (Handle != nullptr) sf_close(Handle);
  }
  SndFile(SndFile&& other) noexcept : Handle(std::exchange(other.Handle, nullptr)) {}
  SndFile& operator=(SndFile&& other) noexcept {
    if (this != &other) {
      if (Handle != nullptr) sf_close(Handle);
      Handle = std::exchange(other.Handle, nullptr);
    }
    return *this;
  }
  SndFile(const SndFile&) = delete;
  SndFile& operator=(const SndFile&) = delete;

  [[nodiscard]] SNDFILE* get() const { return Handle; }
  // Closes now so that a failure to finish the file is reported.
  void Close(const std::filesystem::path& file) {
    const int err = sf_close(std::exchange(Handle, nullptr));
    if (err != 0) throw std::runtime_error("cannot finish " + file.string());
  }

 private:
  SNDFILE* Handle = nullptr;
};

}  // namespace

void WriteSoundFile(const std::filesystem::path& file, const Audio& audio, FileFormat format) {
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = audio.Channels;
  info.format = format == FileFormat::Wav16 ? (SF_FORMAT_WAV | SF_FORMAT_PCM_16)
                                            : (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
  SndFile out(file, SFM_WRITE, info);
  if (format == FileFormat::Mp3) {
    int mode = SF_BITRATE_MODE_CONSTANT;
    sf_command(out.get(), SFC_SET_BITRATE_MODE, &mode, sizeof(mode));
    double level = 0.5;  // about 64 kbit/s at 22050 Hz: plenty for an alley PA
    sf_command(out.get(), SFC_SET_COMPRESSION_LEVEL, &level, sizeof(level));
  }
  if (format == FileFormat::Wav16) {
    // Rounded by hand rather than by libsndfile, so the bytes never depend on its version.
    std::vector<short> pcm(audio.Data.size());
    std::transform(audio.Data.begin(), audio.Data.end(), pcm.begin(), [](float v) {
      return static_cast<short>(std::lround(std::clamp(v, -1.0F, 1.0F) * 32767.0F));
    });
    if (sf_write_short(out.get(), pcm.data(), static_cast<sf_count_t>(pcm.size())) !=
        static_cast<sf_count_t>(pcm.size())) {
      throw std::runtime_error("cannot write " + file.string());
    }
  } else {
    Samples clipped = audio.Data;
    for (float& v : clipped) v = std::clamp(v, -1.0F, 1.0F);
    if (sf_write_float(out.get(), clipped.data(), static_cast<sf_count_t>(clipped.size())) !=
        static_cast<sf_count_t>(clipped.size())) {
      throw std::runtime_error("cannot write " + file.string());
    }
  }
  out.Close(file);
}

namespace {

Audio ReadAll(const SndFile& in, const SF_INFO& info, int* sampleRate) {
  Audio audio;
  audio.Channels = info.channels;
  Samples block(4096 * static_cast<std::size_t>(info.channels));
  for (;;) {
    const sf_count_t got =
        sf_read_float(in.get(), block.data(), static_cast<sf_count_t>(block.size()));
    if (got <= 0) break;
    audio.Data.insert(audio.Data.end(), block.begin(), block.begin() + got);
  }
  if (sampleRate != nullptr) *sampleRate = info.samplerate;
  return audio;
}

// Bytes in memory seen through libsndfile's virtual file.
struct MemoryFile {
  const std::vector<char>* Bytes;
  sf_count_t At = 0;
};

sf_count_t MemoryLength(void* user) {
  return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->Bytes->size());
}

sf_count_t MemorySeek(sf_count_t offset, int whence, void* user) {
  auto* m = static_cast<MemoryFile*>(user);
  const sf_count_t size = MemoryLength(user);
  const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? m->At : size;
  m->At = std::clamp<sf_count_t>(base + offset, 0, size);
  return m->At;
}

sf_count_t MemoryRead(void* ptr, sf_count_t count, void* user) {
  auto* m = static_cast<MemoryFile*>(user);
  const sf_count_t n = std::clamp<sf_count_t>(MemoryLength(user) - m->At, 0, count);
  std::copy_n(m->Bytes->data() + m->At, n, static_cast<char*>(ptr));
  m->At += n;
  return n;
}

sf_count_t MemoryWrite(const void*, sf_count_t, void*) {
  return 0;
}

sf_count_t MemoryTell(void* user) {
  return static_cast<MemoryFile*>(user)->At;
}

}  // namespace

Audio ReadSoundFile(const std::filesystem::path& file, int* sampleRate) {
  SF_INFO info{};
  const SndFile in(file, SFM_READ, info);
  return ReadAll(in, info, sampleRate);
}

Audio DecodeSound(const std::vector<char>& bytes, int* sampleRate) {
  SF_VIRTUAL_IO io{MemoryLength, MemorySeek, MemoryRead, MemoryWrite, MemoryTell};
  MemoryFile source{&bytes};
  SF_INFO info{};
  const SndFile in(io, &source, info);
  return ReadAll(in, info, sampleRate);
}

}  // namespace strikora::voicegen
