#include "platform/sim/SimWorld.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "platform/AudioFile.h"
#include "platform/PlatformError.h"

namespace strikora::sim {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

// A clip on the virtual clock. A one-shot clip that reaches its end goes back to the start,
// as the sound device does; a stopped clip keeps its place.
class SimSoundBuffer final : public SoundBuffer {
 public:
  SimSoundBuffer(SimWorld& world, std::filesystem::path file, const AudioFileInfo& info)
      : world_(world), file_(std::move(file)), info_(info), frequency_(info.SampleRate) {
    world_.Attach(this);
  }
  ~SimSoundBuffer() override { world_.Detach(this); }

  void Play(PlayMode mode) override {
    Settle();
    looping_ = mode == PlayMode::Looping;
    if (!playing_) {
      playing_ = true;
      startMs_ = world_.now_;
      startFrame_ = pausedFrame_;
    }
    world_.NotifyPlay(file_);
  }
  void Stop() override {
    Settle();
    if (playing_) pausedFrame_ = FrameNow();
    playing_ = false;
  }
  [[nodiscard]] bool IsPlaying() const override {
    Settle();
    return playing_;
  }
  [[nodiscard]] int GetVolume() const override { return volume_; }
  void SetVolume(int v) override { volume_ = std::clamp(v, -10000, 0); }
  [[nodiscard]] int GetPan() const override { return pan_; }
  void SetPan(int p) override { pan_ = std::clamp(p, -10000, 10000); }
  [[nodiscard]] int GetFrequency() const override { return frequency_; }
  void SetFrequency(int hz) override {
    Settle();
    if (playing_) {
      startFrame_ = FrameNow();
      startMs_ = world_.now_;
    }
    frequency_ = hz > 0 ? hz : info_.SampleRate;
  }
  [[nodiscard]] std::int64_t GetCurrentPosition() const override {
    Settle();
    const std::int64_t frame = playing_ ? FrameNow() : pausedFrame_;
    return frame * info_.Channels * info_.BytesPerSample;
  }
  [[nodiscard]] std::int64_t GetByteLength() const override { return info_.ByteLength(); }
  [[nodiscard]] const std::filesystem::path& Source() const override { return file_; }

  [[nodiscard]] std::optional<std::int64_t> MsUntilEnd() const override {
    if (!IsPlaying()) return 0;
    const auto end = EndMs();
    if (!end) return std::nullopt;
    return *end - world_.now_;
  }

  // When a playing one-shot clip ends, on the virtual clock.
  [[nodiscard]] std::optional<std::int64_t> EndMs() const {
    Settle();
    if (!playing_ || looping_) return std::nullopt;
    return startMs_ + MsFor(info_.Frames - startFrame_);
  }

 private:
  [[nodiscard]] std::int64_t MsFor(std::int64_t frames) const {
    return static_cast<std::int64_t>(std::ceil(static_cast<double>(frames) * 1000.0 / frequency_));
  }
  [[nodiscard]] std::int64_t FrameNow() const {
    const std::int64_t played = (world_.now_ - startMs_) * frequency_ / 1000;
    const std::int64_t frame = startFrame_ + played;
    if (info_.Frames <= 0) return 0;
    return looping_ ? frame % info_.Frames : std::min(frame, info_.Frames);
  }
  // Brings the state up to the virtual clock: a one-shot clip past its end has stopped.
  void Settle() const {
    if (playing_ && !looping_ && world_.now_ >= startMs_ + MsFor(info_.Frames - startFrame_)) {
      playing_ = false;
      pausedFrame_ = 0;
    }
  }

  SimWorld& world_;
  std::filesystem::path file_;
  AudioFileInfo info_;
  int volume_ = 0;
  int pan_ = 0;
  int frequency_;
  bool looping_ = false;
  mutable bool playing_ = false;
  std::int64_t startMs_ = 0;
  std::int64_t startFrame_ = 0;
  mutable std::int64_t pausedFrame_ = 0;
};

SimWorld::SimWorld() = default;
SimWorld::~SimWorld() = default;

void SimWorld::Detach(SimSoundBuffer* b) {
  std::erase(buffers_, b);
}

LocalTime SimWorld::Now() const {
  using namespace std::chrono;
  const sys_days day = year{localAtZero_.Year} / month{static_cast<unsigned>(localAtZero_.Month)} /
                       std::chrono::day{static_cast<unsigned>(localAtZero_.Day)};
  const auto t = sys_seconds{day} + hours{localAtZero_.Hour} + minutes{localAtZero_.Minute} +
                 seconds{localAtZero_.Second} + seconds{(now_ - localSetAt_) / 1000};
  const auto d = floor<days>(t);
  const year_month_day ymd{d};
  const hh_mm_ss hms{t - d};
  return {static_cast<int>(ymd.year()),
          static_cast<int>(static_cast<unsigned>(ymd.month())),
          static_cast<int>(static_cast<unsigned>(ymd.day())),
          static_cast<int>(hms.hours().count()),
          static_cast<int>(hms.minutes().count()),
          static_cast<int>(hms.seconds().count())};
}

void SimWorld::SetLocalTime(const LocalTime& t) {
  localAtZero_ = t;
  localSetAt_ = now_;
}

std::optional<KeyEvent> SimWorld::PollKey() {
  if (!keys_.empty() && keys_.front().At <= now_) {
    const KeyEvent k = keys_.front().Key;
    keys_.pop_front();
    return k;
  }
  return std::nullopt;
}

void SimWorld::Stall(const std::string& why) const {
  const std::string what = DescribeWait ? DescribeWait() : std::string("something");
  const std::string text = why + " at " + std::to_string(now_) + " ms while waiting for " + what;
  std::fprintf(stderr, "simulated desktop: %s\n", text.c_str());
  throw SimStalled(text);
}

void SimWorld::WaitForEvent(std::optional<std::int64_t> nextTimerDueMs,
                            std::optional<std::int64_t> quietUntilMs) {
  // Virtual time jumps straight to the next thing that can happen, clip ends included. The
  // waiter's hint is honoured as the real desktop honours it: a waiter told "look again at t"
  // is woken at t, so one that is never told when to look again is seen to stall.
  std::optional<std::int64_t> next;
  auto consider = [&](std::int64_t t) {
    if (!next || t < *next) next = t;
  };
  if (quietUntilMs) consider(*quietUntilMs);
  if (!keys_.empty()) consider(keys_.front().At);
  if (closeAt_) consider(*closeAt_);
  if (nextTimerDueMs) consider(*nextTimerDueMs);
  for (const SimSoundBuffer* b : buffers_) {
    if (auto end = b->EndMs()) consider(*end);
  }
  if (mp3Loaded_ && mp3Running_ && mp3Rate_ > 0 && CurrentPosition() < mp3Duration_) {
    const double left = (mp3Duration_ - CurrentPosition()) / mp3Rate_;
    consider(now_ + static_cast<std::int64_t>(std::ceil(left * 1000.0)));
  }
  if (!next) Stall("Nothing left to happen");
  if (*next > limitMs_) Stall("The virtual-time limit was passed");
  if (*next <= now_) {
    // Something is due now; the caller sees it on its next poll. Guard against a loop that
    // polls for ever without letting time move.
    if (++idleWaits_ > 1000000) Stall("Time stopped moving");
    return;
  }
  idleWaits_ = 0;
  if (OnAdvance) OnAdvance(now_, *next);
  now_ = *next;
}

void SimWorld::ShowMessageBox(const std::string& text, const std::string& /*title*/) {
  messageBoxes_.push_back(text);
}

bool SimWorld::IsKeyHeld(HeldKey key) const {
  const int i = key == HeldKey::LeftShift ? 0 : 1;
  if (held_[i]) return true;
  return std::any_of(holds_.begin(), holds_.end(),
                     [&](const Hold& h) { return h.Key == key && now_ >= h.From && now_ < h.To; });
}

std::unique_ptr<SoundBuffer> SimWorld::CreateSoundBufferFromFile(const std::filesystem::path& file,
                                                                 const std::string& /*slot*/) {
  const std::filesystem::path resolved = ResolveClipPath(file);
  return std::make_unique<SimSoundBuffer>(*this, file, ReadAudioInfo(resolved));
}

std::optional<int> SimWorld::DeviceVolume(const std::string& fileSuffix) const {
  for (auto it = buffers_.rbegin(); it != buffers_.rend(); ++it) {
    if (EndsWith(Lower((*it)->Source().generic_string()), Lower(fileSuffix))) {
      return (*it)->GetVolume();
    }
  }
  return std::nullopt;
}

void SimWorld::NotifyPlay(const std::filesystem::path& file) {
  const std::string path = Lower(file.generic_string());
  for (auto it = triggers_.begin(); it != triggers_.end();) {
    if (EndsWith(path, it->Suffix) && --it->Remaining == 0) {
      PressKeyAt(now_ + it->Delay, it->Key.KeyCode, it->Key.Shift);
      it = triggers_.erase(it);
    } else {
      ++it;
    }
  }
}

void SimWorld::PressKeyAt(std::int64_t ms, int keyCode, int shift, bool repeat) {
  const ScriptedKey k{std::max(ms, now_), {keyCode, shift, repeat}};
  auto pos = std::upper_bound(keys_.begin(), keys_.end(), k.At,
                              [](std::int64_t t, const ScriptedKey& s) { return t < s.At; });
  keys_.insert(pos, k);
}

void SimWorld::PressKeyAfter(std::int64_t delayMs, int keyCode, int shift, bool repeat) {
  PressKeyAt(now_ + delayMs, keyCode, shift, repeat);
}

void SimWorld::PressKeyWhenClipStarts(const std::string& clipName, int keyCode, int shift,
                                      std::int64_t delayMs, int occurrence) {
  std::string suffix = Lower(clipName);
  std::replace(suffix.begin(), suffix.end(), '\\', '/');
  triggers_.push_back({suffix, {keyCode, shift}, delayMs, std::max(occurrence, 1)});
}

void SimWorld::SetKeyHeld(HeldKey key, bool held) {
  held_[key == HeldKey::LeftShift ? 0 : 1] = held;
}

void SimWorld::HoldKeyBetween(HeldKey key, std::int64_t fromMs, std::int64_t toMs) {
  holds_.push_back({key, fromMs, toMs});
}

void SimWorld::Load(const std::filesystem::path& file) {
  Unload();
  mp3Duration_ = ReadAudioInfo(ResolveClipPath(file)).Seconds();
  mp3Loaded_ = true;
  mp3Running_ = false;
  mp3Rate_ = 1.0;
  mp3PosAtMark_ = 0;
  mp3Mark_ = now_;
}

void SimWorld::Unload() {
  mp3Loaded_ = false;
  mp3Running_ = false;
  mp3PosAtMark_ = 0;
  mp3Duration_ = 0;
}

void SimWorld::Run() {
  if (!mp3Loaded_) throw PlatformError(ErrorCode::MusicFailure, "No music is loaded");
  if (mp3Running_) return;
  mp3PosAtMark_ = CurrentPosition();
  mp3Mark_ = now_;
  mp3Running_ = true;
}

void SimWorld::Stop() {
  if (!mp3Loaded_) return;
  mp3PosAtMark_ = CurrentPosition();
  mp3Mark_ = now_;
  mp3Running_ = false;
}

void SimWorld::SetRate(double rate) {
  if (!mp3Loaded_) throw PlatformError(ErrorCode::MusicFailure, "No music is loaded");
  mp3PosAtMark_ = CurrentPosition();
  mp3Mark_ = now_;
  mp3Rate_ = std::max(rate, 0.0);
}

double SimWorld::CurrentPosition() const {
  if (!mp3Loaded_) throw PlatformError(ErrorCode::MusicFailure, "No music is loaded");
  double p = mp3PosAtMark_;
  if (mp3Running_) p += static_cast<double>(now_ - mp3Mark_) / 1000.0 * mp3Rate_;
  return std::min(p, mp3Duration_);
}

void SimWorld::SetCurrentPosition(double seconds) {
  if (!mp3Loaded_) throw PlatformError(ErrorCode::MusicFailure, "No music is loaded");
  mp3PosAtMark_ = std::clamp(seconds, 0.0, mp3Duration_);
  mp3Mark_ = now_;
}

double SimWorld::Duration() const {
  if (!mp3Loaded_) throw PlatformError(ErrorCode::MusicFailure, "No music is loaded");
  return mp3Duration_;
}

}  // namespace strikora::sim
