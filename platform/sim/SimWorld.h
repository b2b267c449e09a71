#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"

namespace strikora::sim {

class SimSoundBuffer;

// A scripted run that would wait with nothing left to happen, or past its virtual-time limit.
// Deliberately not a std::exception: the game traps those where it carries on after a
// failure, and a stalled script must reach the test instead.
class SimStalled {
 public:
  explicit SimStalled(std::string what) : what_(std::move(what)) {}
  [[nodiscard]] const char* what() const noexcept { return what_.c_str(); }

 private:
  std::string what_;
};

// The simulated desktop: a virtual clock that jumps straight to the next thing that can happen
// (a timer, the end of a clip or of an MP3, a scripted key), scripted keys and held keys, and
// sound buffers whose lengths come from the real files. A whole game runs in milliseconds.
class SimWorld final : public Clock, public EventSource, public AudioDevice, public MusicPlayer {
 public:
  SimWorld();
  ~SimWorld() override;

  // Clock
  [[nodiscard]] LocalTime Now() const override;
  [[nodiscard]] std::int64_t MonotonicMs() const override { return now_; }
  // The local date and time at this moment of virtual time.
  void SetLocalTime(const LocalTime& t);

  // EventSource
  [[nodiscard]] std::optional<KeyEvent> PollKey() override;
  void WaitForEvent(std::optional<std::int64_t> nextTimerDueMs,
                    std::optional<std::int64_t> quietUntilMs) override;
  void SetTitle(const std::string& title) override { title_ = title; }
  void ShowMessageBox(const std::string& text, const std::string& title) override;
  [[nodiscard]] bool IsKeyHeld(HeldKey key) const override;

  // AudioDevice
  [[nodiscard]] std::unique_ptr<SoundBuffer> CreateSoundBufferFromFile(
      const std::filesystem::path& file, const std::string& slot) override;

  // MusicPlayer
  void Load(const std::filesystem::path& file) override;
  void Unload() override;
  [[nodiscard]] bool IsLoaded() const override { return mp3Loaded_; }
  void Run() override;
  void Stop() override;
  void SetRate(double rate) override;
  [[nodiscard]] double GetRate() const override { return mp3Rate_; }
  [[nodiscard]] double CurrentPosition() const override;
  void SetCurrentPosition(double seconds) override;
  [[nodiscard]] double Duration() const override;
  void SetVolume(int volume) override { mp3Volume_ = volume; }
  void SetBalance(int balance) override { mp3Balance_ = balance; }
  [[nodiscard]] bool Mp3Running() const { return mp3Running_; }

  // The script.
  // repeat: the key-down is the key's own auto-repeat.
  void PressKeyAt(std::int64_t ms, int keyCode, int shift = 0, bool repeat = false);
  void PressKeyAfter(std::int64_t delayMs, int keyCode, int shift = 0, bool repeat = false);
  // Presses the key when the n-th play of a clip whose path ends with clipName (any case)
  // starts, after delayMs.
  void PressKeyWhenClipStarts(const std::string& clipName, int keyCode, int shift = 0,
                              std::int64_t delayMs = 0, int occurrence = 1);
  void SetKeyHeld(HeldKey key, bool held);
  // Holds a key from one moment of virtual time to another.
  void HoldKeyBetween(HeldKey key, std::int64_t fromMs, std::int64_t toMs);
  void SetTimeLimit(std::int64_t ms) { limitMs_ = ms; }
  // The player closes the game window at this moment of virtual time.
  void CloseWindowAt(std::int64_t ms) { closeAt_ = ms; }
  [[nodiscard]] bool QuitRequested() const override { return closeAt_ && now_ >= *closeAt_; }
  // Says what the program was waiting for when a run stalls.
  std::function<std::string()> DescribeWait;
  // Told each time virtual time moves on, before it does: a real mixer beside the simulated
  // desktop renders exactly that stretch of sound.
  std::function<void(std::int64_t fromMs, std::int64_t toMs)> OnAdvance;
  // A clip began that is not one of this world's own buffers (a real mixer's): the key
  // triggers waiting for it fire as for the world's own.
  void ClipStarted(const std::filesystem::path& file) { NotifyPlay(file); }

  [[nodiscard]] const std::string& Title() const { return title_; }
  [[nodiscard]] const std::vector<std::string>& MessageBoxes() const { return messageBoxes_; }
  [[nodiscard]] std::size_t PendingKeys() const { return keys_.size() + triggers_.size(); }
  // The level the device was given for the newest clip whose path ends with fileSuffix, as the
  // player's mix left it; none when no such clip is loaded.
  [[nodiscard]] std::optional<int> DeviceVolume(const std::string& fileSuffix) const;

 private:
  friend class SimSoundBuffer;
  void Attach(SimSoundBuffer* b) { buffers_.push_back(b); }
  void Detach(SimSoundBuffer* b);
  void NotifyPlay(const std::filesystem::path& file);
  [[noreturn]] void Stall(const std::string& why) const;

  struct ScriptedKey {
    std::int64_t At;
    KeyEvent Key;
  };
  struct Trigger {
    std::string Suffix;
    KeyEvent Key;
    std::int64_t Delay;
    int Remaining;
  };
  struct Hold {
    HeldKey Key;
    std::int64_t From, To;
  };

  std::int64_t now_ = 0;
  std::int64_t limitMs_ = 6 * 60 * 60 * 1000;
  std::optional<std::int64_t> closeAt_;
  int idleWaits_ = 0;
  LocalTime localAtZero_{2026, 12, 6, 10, 0, 0};
  std::int64_t localSetAt_ = 0;
  std::deque<ScriptedKey> keys_;  // kept in time order
  std::vector<Trigger> triggers_;
  std::vector<Hold> holds_;
  bool held_[2] = {false, false};
  std::vector<SimSoundBuffer*> buffers_;
  std::string title_;
  std::vector<std::string> messageBoxes_;

  bool mp3Loaded_ = false;
  bool mp3Running_ = false;
  double mp3Duration_ = 0;
  double mp3Rate_ = 1.0;
  double mp3PosAtMark_ = 0;
  std::int64_t mp3Mark_ = 0;
  int mp3Volume_ = 0;
  int mp3Balance_ = 0;
};

}  // namespace strikora::sim
