#pragma once

#include <string_view>

#include "tools/ClipList.h"
#include "tools/voicegen/Dsp.h"

namespace strikora::voicegen {

// eSpeak NG in synchronous mode, its samples captured through the synth callback. eSpeak keeps
// its state inside the library, so there is one Speaker at a time, used from one thread.
class Speaker {
 public:
  Speaker();  // throws std::runtime_error when eSpeak NG cannot start
  ~Speaker();
  Speaker(const Speaker&) = delete;
  Speaker& operator=(const Speaker&) = delete;

  // The words in the given voice at kRate, trimmed of the silence around them. variant picks
  // one of several people for the crowd voice.
  [[nodiscard]] Samples Say(voiceset::Voice voice, std::string_view text, int variant = 0);
};

}  // namespace strikora::voicegen
