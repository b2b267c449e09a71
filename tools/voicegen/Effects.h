#pragma once

#include <string>
#include <vector>

#include "tools/ClipList.h"
#include "tools/voicegen/Dsp.h"

namespace strikora::voicegen {

// One thing a clip needs eSpeak NG to say before it can be made.
struct SpeechPart {
  voiceset::Voice Voice = voiceset::Voice::None;
  int Variant = 0;
  std::string Text;
};

// What the clip needs spoken, in order (nothing for pure effects and music).
[[nodiscard]] std::vector<SpeechPart> SpeechPartsOf(const voiceset::Clip& clip);

// Makes the clip's sound from its spoken parts (as SpeechPartsOf listed them). Pure and
// deterministic, so clips can be made on several threads at once. Not for Data clips.
[[nodiscard]] Audio MakeAudio(const voiceset::Clip& clip, const std::vector<Samples>& speech);

}  // namespace strikora::voicegen
