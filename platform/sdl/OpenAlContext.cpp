#include "platform/sdl/OpenAlContext.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>
#include <system_error>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/sdl/PrivateConfigFile.h"
#include "platform/sdl/UniqueHandle.h"

namespace strikora::sdl {
namespace {

void CloseAlcDevice(ALCdevice* device) {
  alcCloseDevice(device);
}
// Leaves no dangling current context behind.
void DestroyAlcContext(ALCcontext* context) {
  if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
  alcDestroyContext(context);
}
using AlcDevice = UniqueHandle<ALCdevice*, &CloseAlcDevice>;
using AlcContext = UniqueHandle<ALCcontext*, &DestroyAlcContext>;

struct LoopbackCalls {
  LPALCLOOPBACKOPENDEVICESOFT Open = nullptr;
  LPALCISRENDERFORMATSUPPORTEDSOFT IsFormatSupported = nullptr;
  LPALCRENDERSAMPLESSOFT Render = nullptr;

  static LoopbackCalls Find() {
    LoopbackCalls calls;
    if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") == ALC_FALSE) return calls;
    calls.Open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    calls.IsFormatSupported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
        alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
    calls.Render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
        alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    return calls;
  }
  [[nodiscard]] bool Usable() const {
    return Open != nullptr && IsFormatSupported != nullptr && Render != nullptr;
  }
};

// The player hears a stereo mix through plain panning: head-related filtering would colour
// every clip and undo the left/right levels the game sets.
const ALCint kPlainStereo[] = {ALC_HRTF_SOFT, ALC_FALSE, 0};

std::vector<ALCint> LoopbackAttributes(int rate, bool hrtf = false) {
  return {ALC_FORMAT_CHANNELS_SOFT,
          ALC_STEREO_SOFT,
          ALC_FORMAT_TYPE_SOFT,
          ALC_FLOAT_SOFT,
          ALC_FREQUENCY,
          rate,
          ALC_HRTF_SOFT,
          hrtf ? ALC_TRUE : ALC_FALSE,
          ALC_OUTPUT_LIMITER_SOFT,
          ALC_FALSE,
          0};
}

AlcDevice OpenLoopbackDevice(const LoopbackCalls& calls, int rate) {
  if (!calls.Usable()) return {};
  AlcDevice device(calls.Open(nullptr));
  if (device &&
      calls.IsFormatSupported(device.get(), rate, ALC_STEREO_SOFT, ALC_FLOAT_SOFT) == ALC_FALSE) {
    return {};
  }
  return device;
}

// The mixing period of OpenAL Soft comes from its configuration, not from the context: a
// default period makes every key press wait ~50 ms for its sound. Unless the player points
// OpenAL at a configuration of their own, hand it a small one that asks for a short period.
// The game pans left and right only, so it also asks for a stereo mix. OpenAL reads it once,
// before its first device opens; the file is gone again as soon as the device is open.
std::unique_ptr<PrivateConfigFile> AskForShortMixingPeriod() {
  if (const char* own = std::getenv("ALSOFT_CONF"); own != nullptr && *own != '\0') return {};
  auto config = std::make_unique<PrivateConfigFile>(
      "# Written by Strikora for its own sound device: a short mixing period.\n"
      "[general]\nperiod_size = 256\nperiods = 3\nchannels = stereo\n");
  if (config->File().empty()) return {};  // the default period still plays, only later
  setenv("ALSOFT_CONF", config->File().c_str(), 1);
  return config;
}

// Renders a tone at a sweep of directions on a private loopback device and notes the level
// each side gets. Runs before the program's own context is made current.
PanLaw MeasurePanLaw(const LoopbackCalls& calls) {
  constexpr int kRate = 44100;
  constexpr int kPeriod = 100;  // a 441 Hz tone: whole periods in every measured block
  AlcDevice device = OpenLoopbackDevice(calls, kRate);
  if (!device) return PanLaw::ConstantPower();
  const std::vector<ALCint> attributes = LoopbackAttributes(kRate);
  AlcContext context(alcCreateContext(device.get(), attributes.data()));
  if (!context) return PanLaw::ConstantPower();
  ALCcontext* const previous = alcGetCurrentContext();
  alcMakeContextCurrent(context.get());

  std::vector<ALshort> tone(kPeriod * 10);
  for (std::size_t i = 0; i < tone.size(); ++i) {
    tone[i] = static_cast<ALshort>(16000 * std::sin(2 * std::numbers::pi * i / kPeriod));
  }
  std::vector<PanLaw::Sample> samples;
  double centreLevel = PanLaw::kConstantPowerCentre;
  {
    const AlBuffer buffer = MakeAlBuffer();
    alBufferData(buffer.get(), AL_FORMAT_MONO16, tone.data(),
                 static_cast<ALsizei>(tone.size() * sizeof(ALshort)), kRate);
    const AlSource source = MakeAlSource();
    alSourcei(source.get(), AL_BUFFER, static_cast<ALint>(buffer.get()));
    alSourcei(source.get(), AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source.get(), AL_ROLLOFF_FACTOR, 0.0f);
    alSourcei(source.get(), AL_LOOPING, AL_TRUE);
    alSourcePlay(source.get());

    std::vector<float> mix(2 * 10 * kPeriod);
    double centre = 0;
    constexpr int kSteps = 360;  // quarter degrees over the right half
    for (int step = 0; step <= kSteps; ++step) {
      const double azimuth = std::numbers::pi / 2 * step / kSteps;
      alSource3f(source.get(), AL_POSITION, static_cast<ALfloat>(std::sin(azimuth)), 0.0f,
                 static_cast<ALfloat>(-std::cos(azimuth)));
      // The mixer glides to a new direction: let it settle before measuring.
      calls.Render(device.get(), mix.data(), 5 * kPeriod);
      calls.Render(device.get(), mix.data(), 10 * kPeriod);
      double left = 0, right = 0;
      for (std::size_t i = 0; i < mix.size(); i += 2) {
        left += double{mix[i]} * mix[i];
        right += double{mix[i + 1]} * mix[i + 1];
      }
      left = std::sqrt(left);
      right = std::sqrt(right);
      if (step == 0) {
        centre = right;
        // The tone's own level over the same block, whole periods: amplitude over root two.
        const double tone = 16000.0 / 32768.0 / std::numbers::sqrt2 * std::sqrt(mix.size() / 2.0);
        centreLevel = centre / tone;
      }
      if (right <= 0 || centre <= 0) break;
      samples.push_back({azimuth, left / right, right / centre});
    }
  }
  alcMakeContextCurrent(previous);
  if (samples.size() < 2) return PanLaw::ConstantPower();
  return PanLaw(std::move(samples), centreLevel);
}

[[noreturn]] void Unavailable(const std::string& what, ALCdevice* device) {
  const ALCenum err = alcGetError(device);
  std::string cause = what;
  if (err != ALC_NO_ERROR) cause += std::string(": ") + alcGetString(device, err);
  throw PlatformError(ErrorCode::DeviceUnavailable, cause);
}

}  // namespace

struct OpenAlContext::Device {
  // The context goes before its device.
  AlcDevice Output;
  AlcContext Mixing;
};

// The short period has to be asked for before the library reads its configuration, which it
// does once, on its first call: so before the pan law is measured.
OpenAlContext::OpenAlContext(OpenAlOutput output, int loopbackSampleRate)
    : output_(output),
      loopbackRate_(loopbackSampleRate),
      config_(output == OpenAlOutput::DefaultDevice ? AskForShortMixingPeriod() : nullptr),
      pans_(MeasurePanLaw(LoopbackCalls::Find())),
      device_(std::make_unique<Device>()) {
  AlcDevice& device = device_->Output;
  AlcContext& context = device_->Mixing;
  if (output_ == OpenAlOutput::DefaultDevice) {
    device = AlcDevice(alcOpenDevice(nullptr));
    if (!device) {
      // OpenAL's own error code says nothing a player can act on: name the device and the way
      // to play without one.
      const ALCchar* name = alcGetString(nullptr, ALC_DEFAULT_DEVICE_SPECIFIER);
      throw PlatformError(ErrorCode::DeviceUnavailable,
                          std::string("Cannot open the sound device \"") +
                              (name != nullptr && *name != '\0' ? name : "(none found)") +
                              "\". Check that a sound card is connected and not in use, or set "
                              "ALSOFT_DRIVERS=null to run the game without sound.");
    }
    context = AlcContext(alcCreateContext(device.get(), kPlainStereo));
    // Read by now: nothing of it is left for anyone to find, whatever way the game ends.
    if (config_) {
      config_.reset();
      unsetenv("ALSOFT_CONF");
    }
  } else {
    const LoopbackCalls calls = LoopbackCalls::Find();
    if (!calls.Usable()) Unavailable("This OpenAL cannot mix into memory", nullptr);
    device = OpenLoopbackDevice(calls, loopbackSampleRate);
    if (!device) Unavailable("Cannot open a loopback sound device", nullptr);
    const std::vector<ALCint> attributes = LoopbackAttributes(loopbackSampleRate);
    context = AlcContext(alcCreateContext(device.get(), attributes.data()));
  }
  if (!context) Unavailable("Cannot start mixing on the sound device", device.get());
  if (alcMakeContextCurrent(context.get()) == ALC_FALSE) {
    Unavailable("Cannot select the sound device", device.get());
  }
}

OpenAlContext::~OpenAlContext() = default;

bool OpenAlContext::SetHrtf(bool on) {
  ALCdevice* device = device_->Output.get();
  if (alcIsExtensionPresent(device, "ALC_SOFT_HRTF") == ALC_FALSE) return hrtf_ = false;
  const auto reset =
      reinterpret_cast<LPALCRESETDEVICESOFT>(alcGetProcAddress(device, "alcResetDeviceSOFT"));
  if (reset == nullptr) return hrtf_ = false;
  const ALCint plain[] = {ALC_HRTF_SOFT, on ? ALC_TRUE : ALC_FALSE, 0};
  const std::vector<ALCint> loopback = LoopbackAttributes(loopbackRate_, on);
  (void)reset(device, IsLoopback() ? loopback.data() : plain);
  ALCint status = ALC_HRTF_DISABLED_SOFT;
  alcGetIntegerv(device, ALC_HRTF_STATUS_SOFT, 1, &status);
  hrtf_ = status == ALC_HRTF_ENABLED_SOFT || status == ALC_HRTF_REQUIRED_SOFT;
  return hrtf_;
}

void OpenAlContext::Render(std::span<float> out) {
  if (!IsLoopback()) {
    throw PlatformError(ErrorCode::InvalidCall, "Only a loopback sound device renders to memory");
  }
  static const LoopbackCalls calls = LoopbackCalls::Find();
  calls.Render(device_->Output.get(), out.data(), static_cast<ALCsizei>(out.size() / 2));
}

int OpenAlContext::SampleRate() const {
  ALCint rate = 0;
  alcGetIntegerv(device_->Output.get(), ALC_FREQUENCY, 1, &rate);
  return rate;
}

double OpenAlContext::DeviceLatencyMs() const {
  if (alcIsExtensionPresent(device_->Output.get(), "ALC_SOFT_device_clock") == ALC_FALSE) return 0;
  const auto get = reinterpret_cast<LPALCGETINTEGER64VSOFT>(
      alcGetProcAddress(device_->Output.get(), "alcGetInteger64vSOFT"));
  if (get == nullptr) return 0;
  ALCint64SOFT clockAndLatency[2] = {0, 0};
  get(device_->Output.get(), ALC_DEVICE_CLOCK_LATENCY_SOFT, 2, clockAndLatency);
  return static_cast<double>(clockAndLatency[1]) / 1e6;
}

}  // namespace strikora::sdl
