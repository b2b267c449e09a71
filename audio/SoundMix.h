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

// Speech is never turned down below this: every menu is spoken.
inline constexpr int kLeastSpeechVolume = 10;

// The player's mix as kept in the settings file (section "Sound"). A value that is missing,
// not a number or out of range reads as its default.
[[nodiscard]] MixSettings LoadMixSettings(const SettingsStore& store);
void SaveMixSettings(SettingsStore& store, const MixSettings& mix);

}  // namespace strikora
