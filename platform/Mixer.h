#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Audio.h"
#include "platform/WindowSystem.h"

namespace strikora {

// The kinds of sound the player gives a volume each.
enum class SoundKind { Speech, Effects, Crowd, Music };
inline constexpr int kSoundKinds = 4;

// What a clip is to the mix. Voice: speech the lane's background is lowered under.
// Background: the lane's bed (alley music, ambience, murmurs), lowered under that speech.
struct ClipRole {
  SoundKind Kind = SoundKind::Speech;
  bool Voice = false;
  bool Background = false;
  Stage Place = Stage::Centre;
};
using ClipClassifier =
    std::function<ClipRole(const std::filesystem::path& file, const std::string& slot)>;

// The player's choices: a volume for each kind in percent (0..100), clear speech, headphones.
struct MixSettings {
  std::array<int, kSoundKinds> Volume{100, 100, 100, 100};
  bool ClearSpeech = true;
  bool Headphones = false;
  friend bool operator==(const MixSettings&, const MixSettings&) = default;
};

// Hundredths of a decibel for a volume in percent: the square of the fraction, so that each
// step of ten sounds alike (50 % is 12 dB down, 10 % 40 dB); 0 % is silence.
[[nodiscard]] int LevelOfPercent(int percent);

// Sits between the game and a backend's device and music player. Every clip keeps the level
// the game gives it (that is what the game reads back and the trace shows); what reaches the
// device is that level plus its kind's volume and, for the lane's background while a voice
// speaks, the clear-speech dip, faded in and out by a timer that runs only while it is needed.
class Mixer final : public AudioDevice {
 public:
  Mixer(AudioDevice& device, MusicPlayer& music, WindowSystem& windows);
  ~Mixer() override;
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  [[nodiscard]] std::unique_ptr<SoundBuffer> CreateSoundBufferFromFile(
      const std::filesystem::path& file, const std::string& slot) override;
  [[nodiscard]] std::int64_t OutputLatencyMs() const override { return device_.OutputLatencyMs(); }
  bool SetHeadphones(bool on) override;
  // The music player with the music volume applied.
  [[nodiscard]] MusicPlayer& Music();

  // Tells each new clip's kind; without one every clip is speech at the centre.
  void SetClassifier(ClipClassifier classify) { classify_ = std::move(classify); }
  // Applies new choices to every clip playing and to come. Answers whether 3D is heard.
  bool Apply(const MixSettings& settings);
  [[nodiscard]] const MixSettings& Settings() const { return settings_; }
  // Clear speech lowers the background only while the lane or its results are open.
  void SetLaneOpen(bool open);
  // The background's dip now, in hundredths of a decibel (0, or down to kClearSpeechDip).
  [[nodiscard]] int BackgroundDip() const { return dip_; }

  static constexpr int kClearSpeechDip = -2000;
  static constexpr int kDipDownMs = 100;  // the background gives way quickly under a voice
  static constexpr int kDipUpMs = 400;    // and comes back gently
  static constexpr int kStepMs = 20;

 private:
  class MixedBuffer;
  class MixedMusic;
  friend class MixedBuffer;
  void Releveled(MixedBuffer& buffer) const;
  void VoiceStarted();
  void Step();
  [[nodiscard]] bool VoiceSpeaking() const;

  AudioDevice& device_;
  std::unique_ptr<MixedMusic> music_;
  ClipClassifier classify_;
  MixSettings settings_;
  bool laneOpen_ = false;
  int dip_ = 0;
  std::vector<MixedBuffer*> live_;
  Timer fade_;
};

}  // namespace strikora
