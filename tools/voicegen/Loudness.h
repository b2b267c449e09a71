#pragma once

#include "tools/voicegen/Dsp.h"

// Loudness and true peak through libebur128, the same measure for the generator that levels
// the clips and the check that reads them back.
namespace strikora::voicegen {

// Integrated loudness in LUFS of interleaved audio at `rate` (one or two channels). A clip
// shorter than one 400 ms gating block is measured padded with silence to one block, so a
// short word still has a loudness. A silent clip gives -HUGE_VAL.
[[nodiscard]] double IntegratedLoudness(const Audio& audio, int rate = kRate);

// The highest true (inter-sample) peak of any channel, in dBTP; -HUGE_VAL for silence.
[[nodiscard]] double TruePeak(const Audio& audio, int rate = kRate);

}  // namespace strikora::voicegen
