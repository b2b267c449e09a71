#include "platform/Mixer.h"

#include <algorithm>
#include <cmath>

namespace strikora {

int LevelOfPercent(int percent) {
  if (percent <= 0) return -10000;
  if (percent >= 100) return 0;
  return static_cast<int>(std::lround(4000.0 * std::log10(percent / 100.0)));
}

namespace {

int Clamped(int level) {
  return std::clamp(level, -10000, 0);
}

}  // namespace

// A clip as the game sees it: its own level, read back unchanged, while the device gets the
// mixed one.
class Mixer::MixedBuffer final : public ForwardingSoundBuffer {
 public:
  MixedBuffer(Mixer& mixer, std::unique_ptr<SoundBuffer> inner, ClipRole role)
      : ForwardingSoundBuffer(std::move(inner)),
        mixer_(&mixer),
        role_(role),
        volume_(inner_->GetVolume()) {
    mixer.live_.push_back(this);
    inner_->SetStage(role_.Place);
    mixer.Releveled(*this);
  }
  ~MixedBuffer() override {
    if (mixer_ != nullptr) std::erase(mixer_->live_, this);
  }
  MixedBuffer(const MixedBuffer&) = delete;
  MixedBuffer& operator=(const MixedBuffer&) = delete;

  void Play(PlayMode mode) override {
    inner_->Play(mode);
    if (role_.Voice && mixer_ != nullptr) mixer_->VoiceStarted();
  }
  [[nodiscard]] int GetVolume() const override { return volume_; }
  void SetVolume(int volume) override {
    volume_ = Clamped(volume);
    if (mixer_ != nullptr) {
      mixer_->Releveled(*this);
    } else {
      inner_->SetVolume(volume_);
    }
  }
  void SetStage(Stage stage) override {
    role_.Place = stage;
    inner_->SetStage(stage);
  }
  // The backend's clip itself, as the mixer levels it.
  [[nodiscard]] SoundBuffer& Inner() const { return *inner_; }

  Mixer* mixer_;
  ClipRole role_;
  int volume_;
};

// The music player with the music volume on top of the game's own level.
class Mixer::MixedMusic final : public MusicPlayer {
 public:
  explicit MixedMusic(MusicPlayer& inner) : inner_(inner) {}
  void Load(const std::filesystem::path& file) override { inner_.Load(file); }
  void Unload() override { inner_.Unload(); }
  [[nodiscard]] bool IsLoaded() const override { return inner_.IsLoaded(); }
  void Run() override { inner_.Run(); }
  void Stop() override { inner_.Stop(); }
  void SetRate(double rate) override { inner_.SetRate(rate); }
  [[nodiscard]] double GetRate() const override { return inner_.GetRate(); }
  [[nodiscard]] double CurrentPosition() const override { return inner_.CurrentPosition(); }
  void SetCurrentPosition(double seconds) override { inner_.SetCurrentPosition(seconds); }
  [[nodiscard]] double Duration() const override { return inner_.Duration(); }
  void SetVolume(int volume) override {
    volume_ = Clamped(volume);
    inner_.SetVolume(Clamped(volume_ + kindLevel_));
  }
  void SetBalance(int balance) override { inner_.SetBalance(balance); }
  void SetKindLevel(int level) {
    kindLevel_ = level;
    SetVolume(volume_);
  }

 private:
  MusicPlayer& inner_;
  int volume_ = 0;
  int kindLevel_ = 0;
};

Mixer::Mixer(AudioDevice& device, MusicPlayer& music, WindowSystem& windows)
    : device_(device), music_(std::make_unique<MixedMusic>(music)), fade_(windows, "mix") {
  fade_.OnTimer = [this] { Step(); };
}

Mixer::~Mixer() {
  // Clips the game still holds go on at their own levels.
  for (MixedBuffer* b : live_) b->mixer_ = nullptr;
}

std::unique_ptr<SoundBuffer> Mixer::CreateSoundBufferFromFile(const std::filesystem::path& file,
                                                              const std::string& slot) {
  auto inner = device_.CreateSoundBufferFromFile(file, slot);
  const ClipRole role = classify_ ? classify_(file, slot) : ClipRole{};
  return std::make_unique<MixedBuffer>(*this, std::move(inner), role);
}

MusicPlayer& Mixer::Music() {
  return *music_;
}

bool Mixer::SetHeadphones(bool on) {
  const bool heard = device_.SetHeadphones(on);
  // Each clip stands again where it belongs in the new way of listening.
  for (MixedBuffer* b : live_) b->Inner().SetStage(b->role_.Place);
  return heard;
}

bool Mixer::Apply(const MixSettings& settings) {
  const bool headphonesChanged = settings.Headphones != settings_.Headphones;
  settings_ = settings;
  for (int& v : settings_.Volume) v = std::clamp(v, 0, 100);
  for (MixedBuffer* b : live_) Releveled(*b);
  music_->SetKindLevel(LevelOfPercent(settings_.Volume[static_cast<int>(SoundKind::Music)]));
  Step();
  return headphonesChanged || settings_.Headphones ? SetHeadphones(settings_.Headphones) : false;
}

void Mixer::SetLaneOpen(bool open) {
  laneOpen_ = open;
  Step();
}

void Mixer::Releveled(MixedBuffer& b) const {
  int level = b.volume_ + LevelOfPercent(settings_.Volume[static_cast<int>(b.role_.Kind)]);
  if (b.role_.Background) level += dip_;
  b.Inner().SetVolume(Clamped(level));
}

bool Mixer::VoiceSpeaking() const {
  return std::any_of(live_.begin(), live_.end(),
                     [](const MixedBuffer* b) { return b->role_.Voice && b->Inner().IsPlaying(); });
}

void Mixer::VoiceStarted() {
  if (laneOpen_ && settings_.ClearSpeech) Step();
}

void Mixer::Step() {
  const bool speaking = laneOpen_ && settings_.ClearSpeech && VoiceSpeaking();
  const int target = speaking ? kClearSpeechDip : 0;
  if (dip_ != target) {
    if (target < dip_) {
      dip_ = std::max(target, dip_ + kClearSpeechDip * kStepMs / kDipDownMs);
    } else {
      dip_ = std::min(target, dip_ - kClearSpeechDip * kStepMs / kDipUpMs);
    }
    for (MixedBuffer* b : live_) {
      if (b->role_.Background) Releveled(*b);
    }
  }
  if (dip_ != target) {
    fade_.SetInterval(kStepMs);
  } else if (speaking) {
    // Nothing to do until a voice ends: look again then, not before.
    std::int64_t until = 250;
    for (const MixedBuffer* b : live_) {
      if (!b->role_.Voice || !b->Inner().IsPlaying()) continue;
      if (const auto left = b->Inner().MsUntilEnd()) until = std::min(until, *left);
    }
    fade_.SetInterval(static_cast<int>(std::max<std::int64_t>(until, kStepMs)));
  } else {
    fade_.SetEnabled(false);
    return;
  }
  fade_.SetEnabled(true);
}

}  // namespace strikora
