#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Audio.h"
#include "platform/Clock.h"

namespace strikora {

// One line of the sound trace: what the player heard (or failed to hear), and when.
struct TraceEvent {
  std::int64_t Ms = 0;
  std::string Kind;  // play, stop, volume, pan, fail, mp3, focus, key, error, msgbox
  std::vector<std::string> Fields;

  // The tab-separated line written to the trace file (without the newline).
  [[nodiscard]] std::string Line() const;
};

// Records every sound event. A test keeps the events in memory; STRIKORA_TRACE sends them to a
// file as they happen, one flushed line each, so a crash loses nothing that came before it.
class SoundTrace {
 public:
  explicit SoundTrace(const Clock& clock) : clock_(clock) {}

  void KeepInMemory(bool keep) { keepInMemory_ = keep; }
  // Appends to the file; throws PlatformError when it cannot be opened.
  void WriteTo(const std::filesystem::path& file);

  void Play(const std::string& slot, const std::filesystem::path& file, int volume, int pan,
            PlayMode mode);
  void Stop(const std::string& slot);
  void Volume(const std::string& slot, int volume);
  void Pan(const std::string& slot, int pan);
  void Fail(const std::string& slot, const std::filesystem::path& file);
  void Mp3(const std::string& action, const std::string& argument);
  void Focus(const std::string& caption);
  void Key(int keyCode, int shift);
  void Error(int code, const std::string& where);
  // Message boxes are kept in memory only: the file keeps the documented set of events.
  void MessageBox(const std::string& text);

  // Told of every event as it is recorded, whether or not it is kept: the window follows
  // what is said through it.
  void SetListener(std::function<void(const TraceEvent&)> listener) {
    listener_ = std::move(listener);
  }

  [[nodiscard]] const std::vector<TraceEvent>& Events() const { return events_; }
  void Clear() { events_.clear(); }

 private:
  void Record(std::string kind, std::vector<std::string> fields, bool toFile = true);

  const Clock& clock_;
  bool keepInMemory_ = false;
  std::unique_ptr<std::ofstream> file_;
  std::vector<TraceEvent> events_;
  std::function<void(const TraceEvent&)> listener_;
};

// Wraps a backend's device so that every buffer it makes reports to the trace.
class TracingAudioDevice final : public AudioDevice {
 public:
  TracingAudioDevice(AudioDevice& inner, SoundTrace& trace) : inner_(inner), trace_(trace) {}
  [[nodiscard]] std::unique_ptr<SoundBuffer> CreateSoundBufferFromFile(
      const std::filesystem::path& file, const std::string& slot) override;
  [[nodiscard]] std::int64_t OutputLatencyMs() const override { return inner_.OutputLatencyMs(); }
  bool SetHeadphones(bool on) override { return inner_.SetHeadphones(on); }

 private:
  AudioDevice& inner_;
  SoundTrace& trace_;
};

// Wraps a backend's MP3 player so that loads, runs, stops, rates and the end are traced.
class TracingMusicPlayer final : public MusicPlayer {
 public:
  TracingMusicPlayer(MusicPlayer& inner, SoundTrace& trace) : inner_(inner), trace_(trace) {}
  void Load(const std::filesystem::path& file) override;
  void Unload() override { inner_.Unload(); }
  [[nodiscard]] bool IsLoaded() const override { return inner_.IsLoaded(); }
  void Run() override;
  void Stop() override;
  void SetRate(double rate) override;
  [[nodiscard]] double GetRate() const override { return inner_.GetRate(); }
  [[nodiscard]] double CurrentPosition() const override;
  void SetCurrentPosition(double seconds) override;
  [[nodiscard]] double Duration() const override { return inner_.Duration(); }
  void SetVolume(int volume) override { inner_.SetVolume(volume); }
  void SetBalance(int balance) override { inner_.SetBalance(balance); }

 private:
  MusicPlayer& inner_;
  SoundTrace& trace_;
  mutable bool endReported_ = false;
};

}  // namespace strikora
