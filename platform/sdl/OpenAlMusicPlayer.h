#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "platform/Audio.h"
#include "platform/sdl/AlHandles.h"
#include "platform/sdl/OpenAlContext.h"

namespace strikora::sdl {

enum class MusicFeeding {
  Thread,  // a feeder thread keeps the stream's queue topped up
  Manual,  // whoever renders calls Pump (a loopback test counting frames)
};

// Streams one MP3 at a time: libsndfile decodes it a block at a time into a short queue of
// OpenAL buffers on one source. The rate is the source's pitch; rate 0 pauses in place.
// Positions are in seconds of the file. Every call may come from the game's thread while the
// feeder runs: one lock guards the decoder, the queue and the source.
class OpenAlMusicPlayer final : public MusicPlayer {
 public:
  explicit OpenAlMusicPlayer(OpenAlContext& context, MusicFeeding feeding = MusicFeeding::Thread);
  ~OpenAlMusicPlayer() override;
  OpenAlMusicPlayer(const OpenAlMusicPlayer&) = delete;
  OpenAlMusicPlayer& operator=(const OpenAlMusicPlayer&) = delete;

  // Throws PlatformError: FileNotFound, BadFileFormat.
  void Load(const std::filesystem::path& file) override;
  void Unload() override;
  [[nodiscard]] bool IsLoaded() const override;
  void Run() override;  // throws PlatformError(MusicFailure) when nothing is loaded
  void Stop() override;
  void SetRate(double rate) override;
  [[nodiscard]] double GetRate() const override;
  [[nodiscard]] double CurrentPosition() const override;
  void SetCurrentPosition(double seconds) override;
  [[nodiscard]] double Duration() const override;
  void SetVolume(int volume) override;    // hundredths of a dB, 0 full
  void SetBalance(int balance) override;  // -10000 left .. 10000 right

  // Takes back the blocks the source has played and queues freshly decoded ones; restarts a
  // source that ran dry. The feeder thread calls it; in Manual feeding, the renderer does.
  void Pump();

 private:
  struct Stream;
  void FeedLocked();
  void QueueLocked(std::vector<std::int16_t> raw);
  void SeekDecoderLocked(std::int64_t frame);
  void ClearQueueLocked();
  [[nodiscard]] bool PlayingWantedLocked() const;
  [[nodiscard]] std::int64_t FrameLocked() const;
  void RequireLoadedLocked() const;
  void Feeder(const std::stop_token& stop);

  mutable std::mutex mutex_;
  std::condition_variable_any wake_;
  bool wakeRequested_ = false;

  std::unique_ptr<Stream> stream_;  // the loaded file, none when empty
  bool running_ = false;
  double rate_ = 1.0;
  int volume_ = 0;
  int balance_ = 0;
  std::int64_t framesDone_ = 0;  // frames of the file before the first queued block
  // The queued blocks as decoded, stereo, before the balance: oldest first. Kept so that a
  // new balance can be applied to what is about to be heard without decoding it again.
  std::deque<std::vector<std::int16_t>> queued_;
  std::vector<unsigned> freeBuffers_;
  std::vector<std::int16_t> decoded_;
  std::vector<std::int16_t> balanced_;

  // The source goes before its buffers; the feeder goes before both.
  std::vector<AlBuffer> buffers_;
  AlSource source_;
  std::jthread feeder_;
};

}  // namespace strikora::sdl
