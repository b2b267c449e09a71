#pragma once

#include "tools/ClipList.h"
#include "tools/voicegen/Dsp.h"

// The last step of every clip: clean edges and the loudness the clip list plans for it.
namespace strikora::voicegen {

// Cuts a spoken take made at `rate` down to the words: from a little before the first sound to
// its end (sound meaning within 45 dB of the loudest moment), let go over a short release and
// followed by a little silence, so no word stops dead and a number joins the next one without
// a gap.
void TrimToWords(Samples& s, int rate = kRate);

// Scales to `lufs` integrated loudness, holding every true peak at or below `ceilingDb` dBTP.
// Returns the loudness reached (a clip made almost all of peaks may fall short).
double LevelTo(Audio& audio, double lufs, double ceilingDb);

// Removes DC offset, levels to the clip's planned loudness and gives it clean edges: a short
// fade in and out, or for a loop a start on a quiet zero crossing so it joins itself seamlessly.
void Finish(const voiceset::Clip& clip, Audio& audio, double ceilingDb);

// The highest true peak, in dBTP, by the same interpolation the levelling uses (quicker than
// libebur128's, and as close where it matters, near full scale).
[[nodiscard]] double TruePeakEstimate(const Audio& audio);

// Raised-cosine fades at both ends, in seconds, on every channel.
void FadeEdges(Audio& audio, double in, double out);

}  // namespace strikora::voicegen
