#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "audio/Folders.h"
#include "audio/Mp3Music.h"
#include "audio/NumberSpeech.h"
#include "platform/Platform.h"
#include "platform/PlatformError.h"

namespace strikora {

// A loaded clip. Shared: a loop that pumps events while its clip plays (a glide, a fade, a
// cursor watch) holds its own LoadedClip, so a handler that loads another clip into the same slot
// meanwhile silences the loop's clip without freeing it under the loop.
using LoadedClip = std::shared_ptr<SoundBuffer>;

// One named buffer slot: holds at most one loaded clip, and keeps it after it stops.
struct SoundSlot {
  explicit SoundSlot(std::string name) : Name(std::move(name)) {}
  std::string Name;  // as the trace names it: "SpeechBuffer", "AimBuffers[1]"
  LoadedClip Buffer;
  [[nodiscard]] bool IsPlaying() const { return Buffer != nullptr && Buffer->IsPlaying(); }
};

// A family of slots named "Family[0]", "Family[1]", ...
template <std::size_t N>
[[nodiscard]] std::array<SoundSlot, N> MakeSlots(const std::string& family) {
  return [&]<std::size_t... I>(std::index_sequence<I...>) {
    return std::array<SoundSlot, N>{SoundSlot{family + "[" + std::to_string(I) + "]"}...};
  }
  (std::make_index_sequence<N>{});
}

// Everything the player hears apart from the MP3 music: prompts, announcer lines, number
// snippets, the crowd, ball, pins, the alley ambience and its music. Volumes are in hundredths
// of a decibel (0 full, -10000 silent), pans from -10000 (left) to 10000 (right), lane
// positions 0..20 with 10 the centre.
//
// Clips are loaded from their WAV files into their slot every time they play; the waits pump
// window events, so key handlers and timers run while a clip plays and may start other clips.
class SoundEngine {
 public:
  SoundEngine(Platform& platform, const Folders& folders);
  ~SoundEngine();
  SoundEngine(const SoundEngine&) = delete;
  SoundEngine& operator=(const SoundEngine&) = delete;

  // Where trapped failures are recorded (the error log, which sounds the buzzer). Without one,
  // a trapped failure is only traced.
  void SetErrorReporter(ErrorReporter* reporter) { errors_ = reporter; }

  // The loading pattern: a new buffer from the file replaces the slot's clip, which stops, and is
  // returned; keep the returned LoadedClip (not a reference into the slot) across any wait. On
  // failure the slot keeps what it held, still playing, and PlatformError goes to the caller.
  LoadedClip Load(SoundSlot& slot, const std::filesystem::path& file);
  // Waits (pumping events) until the slot is no longer playing; an empty slot returns at once.
  // The slot is read afresh on every poll: a clip loaded into it meanwhile is waited for too.
  void WaitFor(const SoundSlot& slot);
  // Waits until this one clip stops, whatever the slot it came from holds meanwhile.
  void WaitFor(const LoadedClip& clip, const char* what);
  // Loads, plays once and waits, without a trap: a failure goes to the caller.
  void PlayClipAndWait(SoundSlot& slot, const std::filesystem::path& file);

  // Trapped: a clip that cannot be played is logged (heard as the buzzer) and skipped.
  void PlayAndWait(const std::filesystem::path& file);
  // name begins with a backslash, e.g. "\intro1a.wav", and is joined to the announce folder.
  void PlayAnnouncerAndWait(std::string_view name);
  // count times "\silence.wav"; below 1 plays nothing. Not trapped.
  void PlaySilence(int count);
  void PlayActiveCue();
  // Stops the speech, announcer and number slots where they play; never fails.
  void StopSpeech();
  void DuckMusic();
  void RestoreMusic();
  // Starting or stopping the background music clears MusicDucked.
  void StopBackground();
  // Hour, a pause, then minutes; sets Busy and ducks the music around it, and always undoes both.
  void SpeakTime();
  void StartMenuMusic();
  // Alley background with its fade-in (waits), then the alley music.
  void StartAlleyAmbience();
  void StartAlleyMusic();
  // The two aim tones of a skill level (1..5).
  void LoadAimSounds(int skillLevel);
  // p: lane position 0..20. Plays the plain or landmark tone of the skill level, panned to p,
  // and waits. Throws PlatformError when that tone was never loaded.
  void PlayAimTone(int p, int skillLevel);
  void LoadAmbientSounds();
  // One tick of tmrAmbient(index): a clip not among the last three, then a new interval on
  // the timer (milliseconds).
  void PlayRandomAmbient(int index, Timer& tmrAmbient);
  void PlayRandomOhs();
  void PlayBowlSound();
  // The greeting by the hour, then the theme song to its end.
  void PlayIntro();
  // Clear speech lowers the lane's background under the announcer from the lane's opening to
  // the end of its results.
  void SetLaneOpen(bool open) { platform_.Mix.SetLaneOpen(open); }
  // Releases every slot in the order the devices were built; never fails.
  void ShutDownDirectX();

  // Records a trapped failure: to the error log when there is one, always to the trace.
  void LogError(std::string_view where);

  // The slots.
  SoundSlot SpeechBuffer{"SpeechBuffer"};
  SoundSlot AnnouncerBuffer{"AnnouncerBuffer"};
  SoundSlot NumberBuffer{"NumberBuffer"};
  SoundSlot BackgroundBuffer{"BackgroundBuffer"};
  SoundSlot MusicBuffer{"MusicBuffer"};
  SoundSlot BallBuffer{"BallBuffer"};
  SoundSlot CrowdBuffer{"CrowdBuffer"};
  SoundSlot PinBuffer{"PinBuffer"};
  std::array<SoundSlot, 2> AimBuffers = MakeSlots<2>("AimBuffers");
  std::array<SoundSlot, 16> AmbientBuffers = MakeSlots<16>("AmbientBuffers");  // 1..15 used
  std::array<SoundSlot, 8> OhsBuffers = MakeSlots<8>("OhsBuffers");            // 1..7 used

  // Engine state.
  bool MusicDucked = false;
  std::int16_t AmbientLevel = 0;  // 0..6, each step 250 hundredths of a dB quieter
  std::array<std::int16_t, 3> AmbientHistory{0, 0, 0};  // oldest first
  bool Busy = false;

  Mp3Music Mp3;
  NumberSpeech Numbers;

  [[nodiscard]] Platform& GetPlatform() const { return platform_; }
  [[nodiscard]] const Folders& GetFolders() const { return folders_; }

 private:
  // Loads a clip that is only played later (aim tones, ambience); a failure is logged.
  void LoadTrapped(SoundSlot& slot, const std::filesystem::path& file);
  // Load, set level and pan, play once or looping; trapped through LogError with the path.
  void LoadAndPlayTrapped(SoundSlot& slot, const std::filesystem::path& file, int volume, int pan,
                          PlayMode mode, bool wait);

  Platform& platform_;
  const Folders& folders_;
  ErrorReporter* errors_ = nullptr;
};

// Whether lane position p sounds the landmark tone at this skill level (1..5).
[[nodiscard]] bool IsLandmarkPosition(int skillLevel, int p);

}  // namespace strikora
