#include "platform/sdl/OpenAlMusicPlayer.h"

#include <AL/al.h>
#include <AL/alext.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <system_error>
#include <utility>

#include "platform/AudioFile.h"
#include "platform/PlatformError.h"

namespace strikora::sdl {
namespace {

// About a tenth of a second per block at 44.1 kHz; four blocks ride out a busy moment.
constexpr sf_count_t kBlockFrames = 4096;
constexpr int kBlocks = 4;

void CloseSndFile(SNDFILE* file) {
  sf_close(file);
}
using SndFileHandle = UniqueHandle<SNDFILE*, &CloseSndFile>;

double GainOf(int volume) {
  return volume <= -10000 ? 0.0 : std::pow(10.0, volume / 2000.0);
}

std::int16_t Scaled(std::int16_t sample, double gain) {
  return static_cast<std::int16_t>(std::lround(sample * gain));
}

std::int64_t FramesIn(const std::vector<std::int16_t>& stereo) {
  return static_cast<std::int64_t>(stereo.size() / 2);
}

}  // namespace

struct OpenAlMusicPlayer::Stream {
  std::filesystem::path Path;
  SndFileHandle File;
  SF_INFO Info{};
  std::int64_t Decoded = 0;  // frames the decoder has handed over
  bool DecoderDone = false;  // and that was all of them

  // Throws PlatformError: FileNotFound, BadFileFormat.
  void Open(const std::filesystem::path& requested) {
    Path = ResolveClipPath(requested);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(Path, ec)) {
      throw PlatformError(ErrorCode::FileNotFound, "File not found: " + requested.string());
    }
    Info = {};
    File = SndFileHandle(sf_open(Path.c_str(), SFM_READ, &Info));
    if (!File || Info.channels < 1 || Info.samplerate < 1 || Info.frames < 0) {
      throw PlatformError(ErrorCode::BadFileFormat, "Cannot play music from " + requested.string() +
                                                        ": " + sf_strerror(File.get()));
    }
    Decoded = 0;
    DecoderDone = false;
  }
  [[nodiscard]] double Seconds() const {
    return static_cast<double>(Info.frames) / Info.samplerate;
  }
};

OpenAlMusicPlayer::OpenAlMusicPlayer(OpenAlContext& /*context*/, MusicFeeding feeding) {
  for (int i = 0; i < kBlocks; ++i) {
    buffers_.push_back(MakeAlBuffer());
    freeBuffers_.push_back(buffers_.back().get());
  }
  source_ = MakeAlSource();
  const ALuint source = source_.get();
  alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
  alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
  // The balance is written into the samples, so the two sides go out as they are.
  alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
  if (feeding == MusicFeeding::Thread) {
    feeder_ = std::jthread([this](const std::stop_token& stop) { Feeder(stop); });
  }
}

OpenAlMusicPlayer::~OpenAlMusicPlayer() {
  if (feeder_.joinable()) {
    feeder_.request_stop();
    feeder_.join();
  }
  const std::lock_guard lock(mutex_);
  ClearQueueLocked();
}

void OpenAlMusicPlayer::Feeder(const std::stop_token& stop) {
  using namespace std::chrono_literals;
  std::unique_lock lock(mutex_);
  while (!stop.stop_requested()) {
    FeedLocked();
    // While music plays, look in well before a block runs out (a block lasts ~40 ms even at
    // the fastest rate); otherwise sleep until the game asks for something.
    const auto period = PlayingWantedLocked() ? 10ms : 500ms;
    wake_.wait_for(lock, stop, period, [this] { return std::exchange(wakeRequested_, false); });
  }
}

void OpenAlMusicPlayer::Pump() {
  const std::lock_guard lock(mutex_);
  FeedLocked();
}

bool OpenAlMusicPlayer::PlayingWantedLocked() const {
  return stream_ != nullptr && running_ && rate_ > 0;
}

void OpenAlMusicPlayer::QueueLocked(std::vector<std::int16_t> raw) {
  const double left = balance_ > 0 ? GainOf(-balance_) : 1.0;
  const double right = balance_ < 0 ? GainOf(balance_) : 1.0;
  balanced_.resize(raw.size());
  for (std::size_t i = 0; i + 1 < raw.size(); i += 2) {
    balanced_[i] = Scaled(raw[i], left);
    balanced_[i + 1] = Scaled(raw[i + 1], right);
  }
  const ALuint buffer = freeBuffers_.back();
  freeBuffers_.pop_back();
  alBufferData(buffer, AL_FORMAT_STEREO16, balanced_.data(),
               static_cast<ALsizei>(balanced_.size() * sizeof(std::int16_t)),
               stream_->Info.samplerate);
  alSourceQueueBuffers(source_.get(), 1, &buffer);
  queued_.push_back(std::move(raw));
}

void OpenAlMusicPlayer::FeedLocked() {
  if (!stream_) return;
  const ALuint source = source_.get();
  ALint processed = 0;
  alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
  for (; processed > 0 && !queued_.empty(); --processed) {
    ALuint buffer = 0;
    alSourceUnqueueBuffers(source, 1, &buffer);
    framesDone_ += FramesIn(queued_.front());
    queued_.pop_front();
    freeBuffers_.push_back(buffer);
  }

  const int channels = stream_->Info.channels;
  while (!stream_->DecoderDone && !freeBuffers_.empty()) {
    decoded_.resize(static_cast<std::size_t>(kBlockFrames * channels));
    const sf_count_t got = sf_readf_short(stream_->File.get(), decoded_.data(), kBlockFrames);
    if (got <= 0) {
      stream_->DecoderDone = true;
      break;
    }
    stream_->Decoded += got;
    // Always stereo: a mono file goes to both sides.
    std::vector<std::int16_t> raw(static_cast<std::size_t>(got) * 2);
    for (sf_count_t f = 0; f < got; ++f) {
      raw[2 * f] = decoded_[f * channels];
      raw[2 * f + 1] = channels > 1 ? decoded_[f * channels + 1] : raw[2 * f];
    }
    QueueLocked(std::move(raw));
  }

  if (PlayingWantedLocked() && !queued_.empty()) {
    ALint state = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    // First start, resume after a pause, or a source that ran dry: play what is queued.
    if (state != AL_PLAYING) alSourcePlay(source);
  }
}

void OpenAlMusicPlayer::ClearQueueLocked() {
  const ALuint source = source_.get();
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, 0);
  alSourceRewind(source);
  queued_.clear();
  freeBuffers_.clear();
  for (const AlBuffer& b : buffers_) freeBuffers_.push_back(b.get());
}

void OpenAlMusicPlayer::SeekDecoderLocked(std::int64_t frame) {
  // The MP3 decoder's own seek can land off the mark and hand back silence first; going back
  // means opening the file again, going forward means decoding and dropping. Only the start
  // is asked for in play, and that is a fresh open.
  if (frame < stream_->Decoded) {
    Stream fresh;
    fresh.Open(stream_->Path);  // a file gone since its load leaves the old stream as it was
    *stream_ = std::move(fresh);
  }
  const int channels = stream_->Info.channels;
  while (stream_->Decoded < frame && !stream_->DecoderDone) {
    const sf_count_t want = std::min<sf_count_t>(kBlockFrames, frame - stream_->Decoded);
    decoded_.resize(static_cast<std::size_t>(want * channels));
    const sf_count_t got = sf_readf_short(stream_->File.get(), decoded_.data(), want);
    if (got <= 0) {
      stream_->DecoderDone = true;
      break;
    }
    stream_->Decoded += got;
  }
  framesDone_ = stream_->Decoded;
}

std::int64_t OpenAlMusicPlayer::FrameLocked() const {
  const ALuint source = source_.get();
  ALint state = AL_INITIAL;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  if (state == AL_PLAYING || state == AL_PAUSED) {
    // Counted from the first block still queued, played ones included.
    ALint offset = 0;
    alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
    return framesDone_ + offset;
  }
  if (state == AL_STOPPED) {
    // Stopped on its own: everything queued has been heard.
    std::int64_t frames = framesDone_;
    for (const auto& block : queued_) frames += FramesIn(block);
    return frames;
  }
  return framesDone_;
}

void OpenAlMusicPlayer::RequireLoadedLocked() const {
  if (!stream_) throw PlatformError(ErrorCode::MusicFailure, "No music is loaded");
}

void OpenAlMusicPlayer::Load(const std::filesystem::path& file) {
  // Open outside the lock: the feeder need not wait for the disk.
  auto stream = std::make_unique<Stream>();
  stream->Open(file);

  const std::lock_guard lock(mutex_);
  ClearQueueLocked();
  stream_ = std::move(stream);
  running_ = false;
  rate_ = 1.0;
  alSourcef(source_.get(), AL_PITCH, 1.0f);
  framesDone_ = 0;
}

void OpenAlMusicPlayer::Unload() {
  const std::lock_guard lock(mutex_);
  ClearQueueLocked();
  stream_.reset();
  running_ = false;
  framesDone_ = 0;
}

bool OpenAlMusicPlayer::IsLoaded() const {
  const std::lock_guard lock(mutex_);
  return stream_ != nullptr;
}

void OpenAlMusicPlayer::Run() {
  {
    const std::lock_guard lock(mutex_);
    RequireLoadedLocked();
    running_ = true;
    FeedLocked();
    wakeRequested_ = true;
  }
  wake_.notify_all();
}

void OpenAlMusicPlayer::Stop() {
  const std::lock_guard lock(mutex_);
  if (!stream_) return;
  running_ = false;
  ALint state = AL_INITIAL;
  alGetSourcei(source_.get(), AL_SOURCE_STATE, &state);
  if (state == AL_PLAYING) alSourcePause(source_.get());
}

void OpenAlMusicPlayer::SetRate(double rate) {
  {
    const std::lock_guard lock(mutex_);
    RequireLoadedLocked();
    rate_ = std::isfinite(rate) ? std::max(rate, 0.0) : 0.0;
    if (rate_ > 0) {
      alSourcef(source_.get(), AL_PITCH, static_cast<ALfloat>(rate_));
    } else {
      // The mixer has no pitch of zero: rate 0 holds the music where it is.
      ALint state = AL_INITIAL;
      alGetSourcei(source_.get(), AL_SOURCE_STATE, &state);
      if (state == AL_PLAYING) alSourcePause(source_.get());
    }
    FeedLocked();
    wakeRequested_ = true;
  }
  wake_.notify_all();
}

double OpenAlMusicPlayer::GetRate() const {
  const std::lock_guard lock(mutex_);
  return rate_;
}

double OpenAlMusicPlayer::CurrentPosition() const {
  const std::lock_guard lock(mutex_);
  RequireLoadedLocked();
  const double duration = stream_->Seconds();
  ALint state = AL_INITIAL;
  alGetSourcei(source_.get(), AL_SOURCE_STATE, &state);
  // Heard to its last frame: report the end exactly, so a wait for the end always ends even
  // when the decoder delivered a frame or two fewer than the header promised.
  if (stream_->DecoderDone && (state == AL_STOPPED || queued_.empty())) return duration;
  const double position = static_cast<double>(FrameLocked()) / stream_->Info.samplerate;
  return std::min(position, duration);
}

void OpenAlMusicPlayer::SetCurrentPosition(double seconds) {
  const std::lock_guard lock(mutex_);
  RequireLoadedLocked();
  const double frame = std::isfinite(seconds) ? seconds * stream_->Info.samplerate : 0.0;
  ClearQueueLocked();
  SeekDecoderLocked(
      std::clamp<std::int64_t>(std::llround(std::max(frame, 0.0)), 0, stream_->Info.frames));
  FeedLocked();
}

double OpenAlMusicPlayer::Duration() const {
  const std::lock_guard lock(mutex_);
  RequireLoadedLocked();
  return stream_->Seconds();
}

void OpenAlMusicPlayer::SetVolume(int volume) {
  const std::lock_guard lock(mutex_);
  volume_ = std::clamp(volume, -10000, 0);
  alSourcef(source_.get(), AL_GAIN, static_cast<ALfloat>(GainOf(volume_)));
}

void OpenAlMusicPlayer::SetBalance(int balance) {
  const std::lock_guard lock(mutex_);
  balance = std::clamp(balance, -10000, 10000);
  if (balance == balance_) return;
  balance_ = balance;
  if (!stream_ || queued_.empty()) return;
  // The balance lives in the samples: queue again what has not been heard yet, from the frame
  // being heard now, so the change is heard at once rather than a queue later.
  const ALuint source = source_.get();
  ALint state = AL_INITIAL;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  if (state == AL_STOPPED) return;  // all heard; the next blocks take the new balance
  ALint heard = 0;
  if (state == AL_PLAYING || state == AL_PAUSED) alGetSourcei(source, AL_SAMPLE_OFFSET, &heard);
  std::deque<std::vector<std::int16_t>> pending = std::move(queued_);
  ClearQueueLocked();
  std::int64_t skip = heard;
  while (!pending.empty() && skip >= FramesIn(pending.front())) {
    skip -= FramesIn(pending.front());
    framesDone_ += FramesIn(pending.front());
    pending.pop_front();
  }
  if (!pending.empty() && skip > 0) {
    auto& first = pending.front();
    first.erase(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(skip * 2));
    framesDone_ += skip;
  }
  for (auto& block : pending) QueueLocked(std::move(block));
  FeedLocked();
}

}  // namespace strikora::sdl
