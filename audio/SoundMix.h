#pragma once

#include <filesystem>
#include <string>

#include "audio/Folders.h"
#include "platform/Mixer.h"
#include "platform/SettingsStore.h"

namespace strikora {

// What each clip of the sound tree is to the player's mix, by its folder, name and slot:
// the announcer, numbers and names are voices; the alley's music, ambience, murmurs, other
// lanes and the menu music under the results are the background lowered under them; the
// ball, pins and aim tones stand on the lane; the crowd around the bowler.
[[nodiscard]] ClipRole RoleOfClip(const Folders& folders, const std::filesystem::path& file,
                                  const std::string& slot);

// What the error log says when headphones are asked for and no 3D can be had.
inline constexpr const char* kNoHeadphones3D =
    "No 3D sound (HRTF) for headphones on this sound device: the game plays in stereo.";

// Speech is never turned down below this: every menu is spoken.
inline constexpr int kLeastSpeechVolume = 10;

// The player's mix as kept in the settings file (section "Sound"). A value that is missing,
// not a number or out of range reads as its default.
[[nodiscard]] MixSettings LoadMixSettings(const SettingsStore& store);
void SaveMixSettings(SettingsStore& store, const MixSettings& mix);

}  // namespace strikora
