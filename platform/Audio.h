#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace strikora {

enum class PlayMode { Once, Looping };

// Where a clip stands when the lane is heard in 3D on headphones: at the listener's head
// (speech, menus, music), out on the lane in front (ball, pins, aim tones; its distance set
// as it rolls), or in the crowd around and behind. Stereo ignores it.
enum class Stage { Centre, Lane, Around };

// One loaded clip. Volume is in hundredths of a decibel (0 full, -10000 silent); pan runs
// from -10000 (left) to 10000 (right), the quieter side attenuated by |pan| hundredths of a
// decibel while the louder side stays at full level. Failures throw PlatformError.
class SoundBuffer {
 public:
  virtual ~SoundBuffer() = default;
  virtual void Play(PlayMode mode) = 0;
  virtual void Stop() = 0;  // keeps the play position: only a new load starts from the top
  [[nodiscard]] virtual bool IsPlaying() const = 0;
  [[nodiscard]] virtual int GetVolume() const = 0;
  virtual void SetVolume(int volume) = 0;
  [[nodiscard]] virtual int GetPan() const = 0;
  virtual void SetPan(int pan) = 0;
  [[nodiscard]] virtual int GetFrequency() const = 0;  // samples per second
  virtual void SetFrequency(int hertz) = 0;
  // Play cursor in bytes of the source PCM.
  [[nodiscard]] virtual std::int64_t GetCurrentPosition() const = 0;
  // Length of the source PCM in bytes.
  [[nodiscard]] virtual std::int64_t GetByteLength() const = 0;
  // Milliseconds until a clip playing once reaches its end at its present speed, so that a wait
  // for it can sleep instead of polling. A clip that is not playing (stopped, or ended since it
  // was last asked) answers 0: look again now. Only a looping clip, which never ends by itself,
  // answers none.
  [[nodiscard]] virtual std::optional<std::int64_t> MsUntilEnd() const = 0;
  [[nodiscard]] virtual const std::filesystem::path& Source() const = 0;
  // 3D only: where the clip stands, and how far away in metres (the pins are 18 m from the
  // foul line). A backend without 3D ignores both.
  virtual void SetStage(Stage stage) { (void)stage; }
  virtual void SetDistance(double metres) { (void)metres; }
};

// A clip that passes every call on to another: the sound trace and the player's mix each
// wrap the backend's clip in one and change only what they must.
class ForwardingSoundBuffer : public SoundBuffer {
 public:
  explicit ForwardingSoundBuffer(std::unique_ptr<SoundBuffer> inner) : inner_(std::move(inner)) {}
  void Play(PlayMode mode) override { inner_->Play(mode); }
  void Stop() override { inner_->Stop(); }
  [[nodiscard]] bool IsPlaying() const override { return inner_->IsPlaying(); }
  [[nodiscard]] int GetVolume() const override { return inner_->GetVolume(); }
  void SetVolume(int volume) override { inner_->SetVolume(volume); }
  [[nodiscard]] int GetPan() const override { return inner_->GetPan(); }
  void SetPan(int pan) override { inner_->SetPan(pan); }
  [[nodiscard]] int GetFrequency() const override { return inner_->GetFrequency(); }
  void SetFrequency(int hertz) override { inner_->SetFrequency(hertz); }
  [[nodiscard]] std::int64_t GetCurrentPosition() const override {
    return inner_->GetCurrentPosition();
  }
  [[nodiscard]] std::int64_t GetByteLength() const override { return inner_->GetByteLength(); }
  [[nodiscard]] std::optional<std::int64_t> MsUntilEnd() const override {
    return inner_->MsUntilEnd();
  }
  [[nodiscard]] const std::filesystem::path& Source() const override { return inner_->Source(); }
  void SetStage(Stage stage) override { inner_->SetStage(stage); }
  void SetDistance(double metres) override { inner_->SetDistance(metres); }

 protected:
  std::unique_ptr<SoundBuffer> inner_;
};

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  // Makes a buffer from a WAV file. slot names the game's buffer slot, for the trace.
  // Throws PlatformError (FileNotFound, BadFileFormat, AudioFailure).
  [[nodiscard]] virtual std::unique_ptr<SoundBuffer> CreateSoundBufferFromFile(
      const std::filesystem::path& file, const std::string& slot) = 0;
  // Milliseconds from starting a clip to the player hearing it (the output's latency); 0 where
  // a clip is heard the moment it starts. Timing games (the aim sweep) aim at what is heard.
  [[nodiscard]] virtual std::int64_t OutputLatencyMs() const { return 0; }
  // Asks for 3D sound on headphones (HRTF) or plain stereo; answers whether 3D is now heard.
  virtual bool SetHeadphones(bool on) {
    (void)on;
    return false;
  }
};

// Plays one MP3 at a time. Positions and durations are in seconds; rate 1.0 is normal speed
// and 0 pauses. Volume and balance use the buffer units above. Failures throw PlatformError.
class MusicPlayer {
 public:
  virtual ~MusicPlayer() = default;
  virtual void Load(const std::filesystem::path& file) = 0;  // stopped at position 0, rate 1
  virtual void Unload() = 0;
  [[nodiscard]] virtual bool IsLoaded() const = 0;
  virtual void Run() = 0;
  virtual void Stop() = 0;
  virtual void SetRate(double rate) = 0;
  [[nodiscard]] virtual double GetRate() const = 0;
  [[nodiscard]] virtual double CurrentPosition() const = 0;
  virtual void SetCurrentPosition(double seconds) = 0;
  [[nodiscard]] virtual double Duration() const = 0;
  virtual void SetVolume(int volume) = 0;
  virtual void SetBalance(int balance) = 0;
};

}  // namespace strikora
