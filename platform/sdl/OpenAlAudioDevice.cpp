#include "platform/sdl/OpenAlAudioDevice.h"

#include <AL/al.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/AudioFile.h"
#include "platform/PlatformError.h"

namespace strikora::sdl {
namespace {

// Hundredths of a decibel to an amplitude factor; the bottom of the scale is silence.
double GainOf(int volume) {
  return volume <= -10000 ? 0.0 : std::pow(10.0, volume / 2000.0);
}

// One mono source and its buffer. The source goes first: a buffer still attached to a source
// cannot be deleted.
struct Voice {
  AlBuffer Buffer = MakeAlBuffer();
  AlSource Source = MakeAlSource();
};

// A clip on the mixer. A mono clip is one voice placed by the pan law. A stereo clip is two
// voices, its left channel on the left speaker and its right on the right, started together:
// so its pan works as a balance, the channel away from the pan turned down by |pan| hundredths
// of a decibel and the other left at full level.
class OpenAlSoundBuffer final : public SoundBuffer {
 public:
  OpenAlSoundBuffer(const OpenAlContext& context, std::filesystem::path file,
                    const DecodedAudio& audio)
      : context_(context),
        pans_(context.Pans()),
        file_(std::move(file)),
        info_(audio.Info),
        frequency_(info_.SampleRate) {
    // Clips with more than two channels keep their first two: the game mixes in stereo.
    const int channels = std::min(info_.Channels, 2);
    voices_.resize(static_cast<std::size_t>(channels));
    std::vector<std::int16_t> samples(static_cast<std::size_t>(info_.Frames));
    for (int c = 0; c < channels; ++c) {
      for (std::int64_t f = 0; f < info_.Frames; ++f) {
        samples[static_cast<std::size_t>(f)] = audio.Samples[f * info_.Channels + c];
      }
      Voice& v = voices_[static_cast<std::size_t>(c)];
      alGetError();
      alBufferData(v.Buffer.get(), AL_FORMAT_MONO16, samples.data(),
                   static_cast<ALsizei>(samples.size() * sizeof(std::int16_t)), info_.SampleRate);
      if (const ALenum err = alGetError(); err != AL_NO_ERROR) {
        throw PlatformError(ErrorCode::AudioFailure,
                            "The sound device refused " + file_.string() + ": " + alGetString(err));
      }
      const ALuint source = v.Source.get();
      alSourcei(source, AL_BUFFER, static_cast<ALint>(v.Buffer.get()));
      // Placed relative to the listener at a fixed distance: only the direction matters.
      alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
      alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
      alSourcef(source, AL_MAX_GAIN, 4.0f);
      ids_.push_back(source);
    }
    PlaceVoices();
    ApplyGain();
  }

  void Play(PlayMode mode) override {
    for (const ALuint id : ids_) {
      alSourcei(id, AL_LOOPING, mode == PlayMode::Looping ? AL_TRUE : AL_FALSE);
    }
    // Playing a clip that is already playing only changes its looping: it does not restart.
    // A paused clip resumes where it stopped; a finished one starts from the top.
    if (State() != AL_PLAYING) alSourcePlayv(static_cast<ALsizei>(ids_.size()), ids_.data());
  }
  void Stop() override {
    if (State() == AL_PLAYING) alSourcePausev(static_cast<ALsizei>(ids_.size()), ids_.data());
  }
  [[nodiscard]] bool IsPlaying() const override { return State() == AL_PLAYING; }

  [[nodiscard]] int GetVolume() const override { return volume_; }
  void SetVolume(int volume) override {
    volume_ = std::clamp(volume, -10000, 0);
    ApplyGain();
  }
  [[nodiscard]] int GetPan() const override { return pan_; }
  void SetPan(int pan) override {
    pan_ = std::clamp(pan, -10000, 10000);
    if (voices_.size() == 1) placement_ = pans_.For(pan_);
    PlaceVoices();
    ApplyGain();
  }

  [[nodiscard]] int GetFrequency() const override { return frequency_; }
  void SetFrequency(int hertz) override {
    frequency_ = hertz > 0 ? hertz : info_.SampleRate;
    for (const ALuint id : ids_) {
      alSourcef(id, AL_PITCH, static_cast<ALfloat>(frequency_) / info_.SampleRate);
    }
  }

  [[nodiscard]] std::int64_t GetCurrentPosition() const override {
    // The mixer counts whole frames of the clip; the game counts bytes of the file's PCM,
    // whatever width and channels it had before decoding.
    ALint frame = 0;
    alGetSourcei(ids_.front(), AL_SAMPLE_OFFSET, &frame);
    return std::int64_t{frame} * info_.Channels * info_.BytesPerSample;
  }
  [[nodiscard]] std::int64_t GetByteLength() const override { return info_.ByteLength(); }
  [[nodiscard]] std::optional<std::int64_t> MsUntilEnd() const override {
    ALint looping = AL_FALSE;
    alGetSourcei(ids_.front(), AL_LOOPING, &looping);
    // The mixer may end the clip between a waiter's two questions: a clip no longer playing
    // says "now", never "unknown", or the waiter would sleep until the next key.
    if (State() != AL_PLAYING) return 0;
    if (looping == AL_TRUE) return std::nullopt;
    ALint frame = 0;
    alGetSourcei(ids_.front(), AL_SAMPLE_OFFSET, &frame);
    const std::int64_t left = std::max<std::int64_t>(0, info_.Frames - frame);
    // Rounded up: a clip still playing is never said to end now.
    return std::max<std::int64_t>(1, (left * 1000 + frequency_ - 1) / frequency_);
  }
  [[nodiscard]] const std::filesystem::path& Source() const override { return file_; }
  void SetStage(Stage stage) override {
    stage_ = stage;
    PlaceVoices();
    ApplyGain();
  }
  void SetDistance(double metres) override {
    distance_ = std::max(kNearMetres / 10, metres);
    PlaceVoices();
    ApplyGain();
  }

 private:
  [[nodiscard]] ALint State() const {
    ALint state = AL_INITIAL;
    alGetSourcei(ids_.front(), AL_SOURCE_STATE, &state);
    return state;
  }
  // In stereo every voice stands one metre away in the direction of its pan. In 3D a clip
  // on the lane stands at its distance in that direction, and one in the crowd behind.
  [[nodiscard]] bool InSpace() const { return context_.Hrtf() && stage_ != Stage::Centre; }
  void Place(const Voice& v, double azimuth) const {
    double d = 1, ahead = -1;
    if (InSpace()) {
      d = stage_ == Stage::Lane ? distance_ : kCrowdMetres;
      ahead = stage_ == Stage::Lane ? -1 : 1;
    }
    alSource3f(v.Source.get(), AL_POSITION, static_cast<ALfloat>(d * std::sin(azimuth)), 0.0f,
               static_cast<ALfloat>(ahead * d * std::cos(azimuth)));
  }
  void PlaceVoices() const {
    if (voices_.size() == 2) {
      Place(voices_[0], pans_.For(-10000).Azimuth);
      Place(voices_[1], pans_.For(10000).Azimuth);
    } else {
      Place(voices_[0], placement_.Azimuth);
    }
  }
  // Far down the lane a clip is quieter: full within kNearMetres, then falling as 1/distance.
  [[nodiscard]] double DistanceGain() const {
    return InSpace() && stage_ == Stage::Lane ? std::min(1.0, kNearMetres / distance_) : 1.0;
  }
  void ApplyGain() {
    const double level = GainOf(volume_) * DistanceGain();
    if (voices_.size() == 1) {
      alSourcef(ids_[0], AL_GAIN, static_cast<ALfloat>(std::min(1.0, level * placement_.Gain)));
      return;
    }
    const double side = level * pans_.FullSideGain();
    alSourcef(ids_[0], AL_GAIN, static_cast<ALfloat>(side * GainOf(-std::max(pan_, 0))));
    alSourcef(ids_[1], AL_GAIN, static_cast<ALfloat>(side * GainOf(std::min(pan_, 0))));
  }

  static constexpr double kNearMetres = 6;
  static constexpr double kCrowdMetres = 3;

  const OpenAlContext& context_;
  const PanLaw& pans_;
  std::filesystem::path file_;
  AudioFileInfo info_;
  int volume_ = 0;
  int pan_ = 0;
  int frequency_;
  PanLaw::Placement placement_ = pans_.For(0);
  Stage stage_ = Stage::Centre;
  double distance_ = 1;
  std::vector<Voice> voices_;
  std::vector<ALuint> ids_;  // the voices' sources, for starting and pausing them together
};

}  // namespace

std::unique_ptr<SoundBuffer> OpenAlAudioDevice::CreateSoundBufferFromFile(
    const std::filesystem::path& file, const std::string& /*slot*/) {
  return std::make_unique<OpenAlSoundBuffer>(context_, file, DecodeAudioFile(file));
}

std::int64_t OpenAlAudioDevice::OutputLatencyMs() const {
  return static_cast<std::int64_t>(context_.DeviceLatencyMs() + 0.5);
}

}  // namespace strikora::sdl
