#pragma once

#include <mutex>
#include <string_view>

#include "tools/ClipList.h"
#include "tools/voicegen/Dsp.h"

// Flite's CMU voices carry no header of their own.
struct cst_voice_struct;

namespace strikora::voicegen {

// The two speech engines of the sound set, each voice chosen for how well it is understood:
// Flite's US voice rms speaks the menus, eSpeak NG's US voices the announcer, the three number
// speakers, the crowd and the sponsor.
class Speaker {
 public:
  Speaker();  // throws std::runtime_error when an engine cannot start
  ~Speaker();
  Speaker(const Speaker&) = delete;
  Speaker& operator=(const Speaker&) = delete;

  // The words in the given voice at kRate, trimmed to the words. variant picks one of several
  // people for the crowd voice. Each utterance is the same whatever was said before it.
  // Flite voices may be spoken from several threads at once; eSpeak NG keeps state from one
  // utterance to the next, so its voices must be spoken in the same order on every run, one
  // at a time.
  [[nodiscard]] Samples Say(voiceset::Voice voice, std::string_view text, int variant = 0);

  // True for the voices that must keep their order (eSpeak NG's).
  [[nodiscard]] static bool SpeaksInOrder(voiceset::Voice voice);

 private:
  cst_voice_struct* Rms = nullptr;  // cmu_us_rms
  Resampler FromFlite{16000};       // Flite's US voices speak at 16 kHz
  std::mutex EspeakLock;
};

}  // namespace strikora::voicegen
