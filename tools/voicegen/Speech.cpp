#include "tools/voicegen/Speech.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace strikora::voicegen {
namespace {

struct VoiceSetting {
  const char* Name;
  int Rate;   // words per minute
  int Pitch;  // 0..100
  int Range;  // 0..100, how much the pitch moves
};

VoiceSetting SettingFor(voiceset::Voice voice, int variant) {
  using voiceset::Voice;
  switch (voice) {
    case Voice::Announcer:
      return {"en-us+m1", 160, 42, 70};
    case Voice::Menu:
      return {"en+f3", 170, 58, 50};
    case Voice::NumberPlain:
      return {"en-us+m3", 165, 38, 40};
    case Voice::NumberF:
      return {"en-us+f4", 165, 72, 50};
    case Voice::NumberP:
      return {"en-gb-x-rp+m7", 150, 22, 30};
    case Voice::Sponsor:
      return {"en-us+m4", 180, 60, 90};
    case Voice::Crowd: {
      static constexpr VoiceSetting kCrowd[] = {
          {"en-us+m2", 190, 70, 90}, {"en-us+f2", 195, 80, 90}, {"en+m5", 185, 62, 80}};
      return kCrowd[static_cast<std::size_t>(variant) % 3];
    }
    case Voice::None:
      break;
  }
  return {"en-us", 170, 50, 50};
}

int Capture(short* wav, int count, espeak_EVENT* events) {
  if (wav != nullptr && count > 0 && events != nullptr && events->user_data != nullptr) {
    auto* out = static_cast<Samples*>(events->user_data);
    for (int i = 0; i < count; ++i) out->push_back(static_cast<float>(wav[i]) / 32768.0F);
  }
  return 0;
}

void Trim(Samples& s) {
  constexpr float kQuiet = 0.004F;
  const auto first = std::find_if(s.begin(), s.end(), [](float v) { return std::abs(v) > kQuiet; });
  if (first == s.end()) {
    s.clear();
    return;
  }
  const auto last =
      std::find_if(s.rbegin(), s.rend(), [](float v) { return std::abs(v) > kQuiet; });
  const std::size_t pad = Len(0.02);
  const auto begin = static_cast<std::size_t>(first - s.begin());
  const auto end = static_cast<std::size_t>(s.rend() - last);
  const std::size_t from = begin > pad ? begin - pad : 0;
  const std::size_t to = std::min(s.size(), end + pad);
  s = Samples(s.begin() + static_cast<std::ptrdiff_t>(from),
              s.begin() + static_cast<std::ptrdiff_t>(to));
}

}  // namespace

Speaker::Speaker() {
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
  if (rate <= 0) throw std::runtime_error("eSpeak NG could not start");
  if (rate != kRate) {
    espeak_Terminate();
    throw std::runtime_error("eSpeak NG speaks at " + std::to_string(rate) + " Hz, not 22050");
  }
  espeak_SetSynthCallback(Capture);
}

Speaker::~Speaker() {
  espeak_Terminate();
}

Samples Speaker::Say(voiceset::Voice voice, std::string_view text, int variant) {
  const VoiceSetting v = SettingFor(voice, variant);
  if (espeak_SetVoiceByName(v.Name) != EE_OK) {
    throw std::runtime_error(std::string("eSpeak NG has no voice ") + v.Name);
  }
  espeak_SetParameter(espeakRATE, v.Rate, 0);
  espeak_SetParameter(espeakPITCH, v.Pitch, 0);
  espeak_SetParameter(espeakRANGE, v.Range, 0);
  const std::string words(text);
  Samples out;
  const espeak_ERROR err = espeak_Synth(words.c_str(), words.size() + 1, 0, POS_CHARACTER, 0,
                                        espeakCHARS_UTF8, nullptr, &out);
  if (err != EE_OK) throw std::runtime_error("eSpeak NG could not speak: " + words);
  espeak_Synchronize();
  Trim(out);
  Normalize(out, 0.89F);
  return out;
}

}  // namespace strikora::voicegen
