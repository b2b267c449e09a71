#include "platform/AudioFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <system_error>
#include <utility>

#include "platform/PlatformError.h"

namespace strikora {
namespace {

// Owns one open SNDFILE.
class SndFile {
 public:
  explicit SndFile(const std::filesystem::path& file) {
    handle_ = sf_open(file.c_str(), SFM_READ, &info_);
    if (handle_ == nullptr) {
      throw PlatformError(ErrorCode::BadFileFormat,
                          "Cannot read audio from " + file.string() + ": " + sf_strerror(nullptr));
    }
  }
  SndFile(SndFile&& o) noexcept : handle_(std::exchange(o.handle_, nullptr)), info_(o.info_) {}
  SndFile& operator=(SndFile&& o) noexcept {
    std::swap(handle_, o.handle_);
    info_ = o.info_;
    return *this;
  }
  SndFile(const SndFile&) = delete;
  SndFile& operator=(const SndFile&) = delete;
  ~SndFile() {
    if (handle_ != nullptr) sf_close(handle_);
  }
  [[nodiscard]] SNDFILE* get() const { return handle_; }
  [[nodiscard]] const SF_INFO& info() const { return info_; }

 private:
  SNDFILE* handle_ = nullptr;
  SF_INFO info_{};
};

int BytesPerSample(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
      return 1;
    case SF_FORMAT_PCM_24:
      return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
      return 4;
    case SF_FORMAT_DOUBLE:
      return 8;
    default:
      return 2;
  }
}

SndFile Open(const std::filesystem::path& requested) {
  const std::filesystem::path file = ResolveClipPath(requested);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    throw PlatformError(ErrorCode::FileNotFound, "File not found: " + requested.string());
  }
  SndFile f(file);
  if (f.info().channels < 1 || f.info().samplerate < 1 || f.info().frames < 0) {
    throw PlatformError(ErrorCode::BadFileFormat, "Not a playable clip: " + file.string());
  }
  return f;
}

AudioFileInfo InfoOf(const SF_INFO& in) {
  return {static_cast<std::int64_t>(in.frames), in.samplerate, in.channels,
          BytesPerSample(in.format)};
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

}  // namespace

std::filesystem::path ResolveClipPath(const std::filesystem::path& file) {
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) return file;
  const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
  const std::string wanted = Lower(file.filename().string());
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (Lower(it->path().filename().string()) == wanted) return it->path();
  }
  return file;
}

AudioFileInfo ReadAudioInfo(const std::filesystem::path& file) {
  return InfoOf(Open(file).info());
}

DecodedAudio DecodeAudioFile(const std::filesystem::path& file) {
  const SndFile f = Open(file);
  DecodedAudio out;
  out.Info = InfoOf(f.info());
  out.Samples.resize(static_cast<std::size_t>(out.Info.Frames * out.Info.Channels));
  const sf_count_t got = sf_readf_short(f.get(), out.Samples.data(), out.Info.Frames);
  if (got < 0) throw PlatformError(ErrorCode::BadFileFormat, "Cannot decode " + file.string());
  out.Samples.resize(static_cast<std::size_t>(got * out.Info.Channels));
  out.Info.Frames = got;
  return out;
}

}  // namespace strikora
