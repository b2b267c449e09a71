#pragma once

#include <filesystem>
#include <vector>

#include "tools/ClipList.h"
#include "tools/voicegen/Dsp.h"
#include "tools/voicegen/Speech.h"

namespace strikora::voicegen {

// Where a clip lies in the staging tree, laid out as the unpacked sound tree:
// staging/numbers/7f.wav, staging/names.dat, staging/silence.wav.
[[nodiscard]] std::filesystem::path StagedPath(const std::filesystem::path& staging,
                                               const voiceset::Clip& clip);

// Speaks and makes one clip (not names.dat), levelled and with clean edges.
[[nodiscard]] Audio RenderClip(const voiceset::Clip& clip, Speaker& speaker);

// Writes a made clip: WAV or MP3 by its name. An MP3 whose encoding peaks over the ceiling is
// lowered and encoded again.
void WriteClip(const voiceset::Clip& clip, const Audio& audio, const std::filesystem::path& file);

// Speaks and makes every clip on `threads` threads (eSpeak NG's words all on this one, in
// clip order) and writes them. The bytes do not depend on the number of threads.
void StageClips(const std::vector<const voiceset::Clip*>& clips,
                const std::filesystem::path& staging, int threads, Speaker& speaker);

// Packs the staged tree into the eight ".des" packs in out, with silence.wav and logos.mp3
// beside them. A file whose bytes have not changed is left untouched. Returns how many files
// were written.
int WritePacks(const std::filesystem::path& staging, const std::filesystem::path& out);

}  // namespace strikora::voicegen
