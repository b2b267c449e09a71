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

class OpenAlSoundBuffer final : public SoundBuffer {
 public:
  OpenAlSoundBuffer(const PanLaw& pans, std::filesystem::path file, DecodedAudio audio)
      : pans_(pans), file_(std::move(file)), info_(audio.Info), frequency_(info_.SampleRate) {
    // Clips with more than two channels keep their first two: the game mixes in stereo.
    const int channels = std::min(info_.Channels, 2);
    if (info_.Channels > 2) {
      std::vector<std::int16_t> stereo(static_cast<std::size_t>(info_.Frames) * 2);
      for (std::int64_t f = 0; f < info_.Frames; ++f) {
        stereo[2 * f] = audio.Samples[f * info_.Channels];
        stereo[2 * f + 1] = audio.Samples[f * info_.Channels + 1];
      }
      audio.Samples = std::move(stereo);
    }
    alGetError();
    alBufferData(
        buffer_.get(), channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, audio.Samples.data(),
        static_cast<ALsizei>(audio.Samples.size() * sizeof(std::int16_t)), info_.SampleRate);
    if (const ALenum err = alGetError(); err != AL_NO_ERROR) {
      throw PlatformError(ErrorCode::AudioFailure,
                          "The sound device refused " + file_.string() + ": " + alGetString(err));
    }
    const ALuint source = source_.get();
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer_.get()));
    // Placed relative to the listener at a fixed distance: only the direction matters.
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, -1.0f);
    // A stereo clip (the speaker test) already has its sides in it: left goes to the left
    // speaker untouched, and it is not panned.
    if (channels == 2) alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    ApplyGain();
  }

  void Play(PlayMode mode) override {
    const ALuint source = source_.get();
    alSourcei(source, AL_LOOPING, mode == PlayMode::Looping ? AL_TRUE : AL_FALSE);
    // Playing a clip that is already playing only changes its looping: it does not restart.
    // A paused clip resumes where it stopped; a finished one starts from the top.
    if (State() != AL_PLAYING) alSourcePlay(source);
  }
  void Stop() override {
    if (State() == AL_PLAYING) alSourcePause(source_.get());
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
    if (info_.Channels != 1) return;
    placement_ = pans_.For(pan_);
    alSource3f(source_.get(), AL_POSITION, static_cast<ALfloat>(std::sin(placement_.Azimuth)), 0.0f,
               static_cast<ALfloat>(-std::cos(placement_.Azimuth)));
    ApplyGain();
  }

  [[nodiscard]] int GetFrequency() const override { return frequency_; }
  void SetFrequency(int hertz) override {
    frequency_ = hertz > 0 ? hertz : info_.SampleRate;
    alSourcef(source_.get(), AL_PITCH, static_cast<ALfloat>(frequency_) / info_.SampleRate);
  }

  [[nodiscard]] std::int64_t GetCurrentPosition() const override {
    // The mixer counts whole frames of the clip; the game counts bytes of the file's PCM,
    // whatever width and channels it had before decoding.
    ALint frame = 0;
    alGetSourcei(source_.get(), AL_SAMPLE_OFFSET, &frame);
    return std::int64_t{frame} * info_.Channels * info_.BytesPerSample;
  }
  [[nodiscard]] std::int64_t GetByteLength() const override { return info_.ByteLength(); }
  [[nodiscard]] std::optional<std::int64_t> MsUntilEnd() const override {
    ALint looping = AL_FALSE;
    alGetSourcei(source_.get(), AL_LOOPING, &looping);
    if (looping == AL_TRUE || State() != AL_PLAYING) return std::nullopt;
    ALint frame = 0;
    alGetSourcei(source_.get(), AL_SAMPLE_OFFSET, &frame);
    const std::int64_t left = std::max<std::int64_t>(0, info_.Frames - frame);
    return left * 1000 / frequency_;
  }
  [[nodiscard]] const std::filesystem::path& Source() const override { return file_; }

 private:
  [[nodiscard]] ALint State() const {
    ALint state = AL_INITIAL;
    alGetSourcei(source_.get(), AL_SOURCE_STATE, &state);
    return state;
  }
  void ApplyGain() {
    const double gain = std::min(1.0, GainOf(volume_) * placement_.Gain);
    alSourcef(source_.get(), AL_GAIN, static_cast<ALfloat>(gain));
  }

  const PanLaw& pans_;
  std::filesystem::path file_;
  AudioFileInfo info_;
  int volume_ = 0;
  int pan_ = 0;
  int frequency_;
  PanLaw::Placement placement_ = pans_.For(0);
  // The source goes first: a buffer still attached to a source cannot be deleted.
  AlBuffer buffer_ = MakeAlBuffer();
  AlSource source_ = MakeAlSource();
};

}  // namespace

std::unique_ptr<SoundBuffer> OpenAlAudioDevice::CreateSoundBufferFromFile(
    const std::filesystem::path& file, const std::string& /*slot*/) {
  return std::make_unique<OpenAlSoundBuffer>(context_.Pans(), file, DecodeAudioFile(file));
}

}  // namespace strikora::sdl
