#include "tools/voicegen/Speech.h"

#include <espeak-ng/speak_lib.h>
#include <flite/flite.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "tools/voicegen/Level.h"

extern "C" {
cst_voice* register_cmu_us_rms(const char* voxdir);
void unregister_cmu_us_rms(cst_voice* voice);
}

namespace {

// Flite's voices draw the noise of their breath and hiss from the C library's rand(), and
// eSpeak NG its pitch flutter: one sequence for the whole process, so an utterance would
// depend on every one spoken before it, on any thread. This program supplies rand() itself
// (the dynamic linker gives the engines this one): a sequence per thread, started afresh from
// the words of each utterance, so the same clip list always gives the same bytes.
thread_local std::uint64_t tRandState = 1;

void SeedRand(std::string_view engineVoice, std::string_view text) {
  std::uint64_t h = 1469598103934665603ULL;  // FNV-1a
  for (const std::string_view part : {engineVoice, std::string_view("|"), text}) {
    for (const char c : part) {
      h ^= static_cast<unsigned char>(c);
      h *= 1099511628211ULL;
    }
  }
  tRandState = h;
}

}  // namespace

extern "C" int rand() noexcept {
  tRandState = tRandState * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<int>((tRandState >> 33) & 0x7FFFFFFF);  // 0 .. RAND_MAX
}

namespace strikora::voicegen {
namespace {

using voiceset::Voice;

enum class SpeechEngine { Flite, Espeak };

struct VoiceSetting {
  SpeechEngine Engine;
  const char* Name;  // eSpeak NG voice; "rms" for Flite
  int Rate;          // eSpeak: words per minute
  int Pitch;         // eSpeak: 0..100, 50 its own
  int Range;         // eSpeak: 0..100, how much the pitch moves
};

// Chosen by how well each is understood. The menus, where a word missed is an item not found,
// speak with Flite's rms, the US voice best understood in whole phrases. Single words are
// understood best from eSpeak NG's US voices, so the announcer, who mostly slots names and
// scores into short lines, is eSpeak NG's default US voice (it also reads the names, the
// initials and the plain numbers, so a line and its name and score are one voice). The other two
// number speakers are eSpeak NG variants a listener cannot take for the first: a higher, breathy
// woman ("f") and a slower, deeper, flatter man ("p"). Number words are where a slip costs most
// (forty heard as fourteen is a wrong score), and among the variants these two were named right
// most often over a noise floor; Flite's slt, once "p", lost the "-ty" of 40, 50 and 60 under
// the faintest noise. The crowd and the sponsor stay with eSpeak NG, US voices too.
VoiceSetting SettingFor(Voice voice, int variant) {
  switch (voice) {
    case Voice::Announcer:
      return {SpeechEngine::Espeak, "en-us", 165, 50, 60};
    case Voice::Menu:
      return {SpeechEngine::Flite, "rms", 0, 0, 0};
    case Voice::NumberPlain:
      return {SpeechEngine::Espeak, "en-us", 160, 50, 50};
    case Voice::NumberF:
      return {SpeechEngine::Espeak, "en-us+f5", 160, 50, 50};
    case Voice::NumberP:
      return {SpeechEngine::Espeak, "en-us+m6", 150, 30, 40};
    case Voice::Sponsor:
      return {SpeechEngine::Espeak, "en-us+m4", 170, 55, 70};
    case Voice::Crowd: {
      static constexpr VoiceSetting kCrowd[] = {{SpeechEngine::Espeak, "en-us+m2", 190, 70, 90},
                                                {SpeechEngine::Espeak, "en-us+f2", 195, 75, 90},
                                                {SpeechEngine::Espeak, "en-us+m5", 185, 62, 80}};
      return kCrowd[static_cast<std::size_t>(variant) % 3];
    }
    case Voice::None:
      break;
  }
  return {SpeechEngine::Espeak, "en-us", 160, 50, 50};
}

int Capture(short* wav, int count, espeak_EVENT* events) {
  if (wav != nullptr && count > 0 && events != nullptr && events->user_data != nullptr) {
    auto* out = static_cast<Samples*>(events->user_data);
    for (int i = 0; i < count; ++i) out->push_back(static_cast<float>(wav[i]) / 32768.0F);
  }
  return 0;
}

struct WaveDeleter {
  void operator()(cst_wave* w) const { delete_wave(w); }
};

}  // namespace

Speaker::Speaker() {
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
  if (rate <= 0) throw std::runtime_error("eSpeak NG could not start");
  if (rate != kRate) {
    espeak_Terminate();
    throw std::runtime_error("eSpeak NG speaks at " + std::to_string(rate) + " Hz, not 22050");
  }
  espeak_SetSynthCallback(Capture);
  flite_init();
  Rms = register_cmu_us_rms(nullptr);
  if (Rms == nullptr) {
    espeak_Terminate();
    throw std::runtime_error("Flite could not load its US voice");
  }
}

Speaker::~Speaker() {
  unregister_cmu_us_rms(Rms);
  espeak_Terminate();
}

bool Speaker::SpeaksInOrder(Voice voice) {
  return SettingFor(voice, 0).Engine == SpeechEngine::Espeak;
}

Samples Speaker::Say(Voice voice, std::string_view text, int variant) {
  const VoiceSetting v = SettingFor(voice, variant);
  const std::string words(text);
  Samples out;
  if (v.Engine == SpeechEngine::Flite) {
    SeedRand(v.Name, words);
    const std::unique_ptr<cst_wave, WaveDeleter> wave(flite_text_to_wave(words.c_str(), Rms));
    if (!wave) throw std::runtime_error("Flite could not speak: " + words);
    Samples raw(static_cast<std::size_t>(wave->num_samples));
    for (std::size_t i = 0; i < raw.size(); ++i)
      raw[i] = static_cast<float>(wave->samples[i]) / 32768.0F;
    TrimToWords(raw,
                wave->sample_rate);  // before resampling: Flite leaves long pauses round its words
    if (wave->sample_rate != FromFlite.FromRate())
      throw std::runtime_error("Flite changed its rate");
    out = FromFlite(raw);
  } else {
    const std::lock_guard lock(EspeakLock);
    if (espeak_SetVoiceByName(v.Name) != EE_OK) {
      throw std::runtime_error(std::string("eSpeak NG has no voice ") + v.Name);
    }
    espeak_SetParameter(espeakRATE, v.Rate, 0);
    espeak_SetParameter(espeakPITCH, v.Pitch, 0);
    espeak_SetParameter(espeakRANGE, v.Range, 0);
    SeedRand(v.Name, words);
    const espeak_ERROR err = espeak_Synth(words.c_str(), words.size() + 1, 0, POS_CHARACTER, 0,
                                          espeakCHARS_UTF8, nullptr, &out);
    if (err != EE_OK) throw std::runtime_error("eSpeak NG could not speak: " + words);
    espeak_Synchronize();
    TrimToWords(out);
  }
  // A common peak before mixing into shouts and adverts; the clip's loudness is set last.
  Normalize(out, 0.89F);
  return out;
}

}  // namespace strikora::voicegen
